#include "pages/page_transition_overlay.h"

#include "pages/plugin_transitions.h"

#include "pages/transitions.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QPainter>
#include <QThread>
#include <QWidget>

namespace tomeric {

namespace {

class TOverlaySurface final : public QWidget, public TTransitionSurface {
public:
    TOverlaySurface(QWidget& parent, const QRect& area, QImage canvas)
        : QWidget(&parent), canvas_(std::move(canvas))
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(area);
        raise();
        show();
    }

    QImage& Canvas() override { return canvas_; }
    void Present(const QRect& dirty) override { repaint(dirty); }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.drawImage(event->rect(), canvas_, event->rect());
    }

private:
    QImage canvas_;
};

} // namespace

void LiveSleep(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    do {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (clock.elapsed() < milliseconds)
            QThread::msleep(1);
    } while (clock.elapsed() < milliseconds);
}

TTransitionPlayer MakeOverlayTransitionPlayer()
{
    return [](TPageStack& stack, const TPageTransition& transition) {
        TTransitionRequest request;
        request.area = stack.rect();
        request.name = transition.effect;
        request.options = transition.options;
        request.direction = transition.direction;
        request.fromPicture = transition.from;
        request.toPicture = transition.to;
        PlayTransitionOver(stack, stack.rect(), request);
    };
}

void PlayTransitionOver(QWidget& parent, const QRect& area, const TTransitionRequest& request)
{
    TOverlaySurface surface(parent, area, request.fromPicture);
    TTransitionEnvironment environment;
    environment.sleeper = LiveSleep;
    environment.plugIns = PlugInTransitions(LiveSleep);
    RunTransition(surface, request, environment);
}

} // namespace tomeric
