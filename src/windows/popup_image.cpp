#include "windows/popup_image.h"

#include "pages/page_transition_overlay.h"
#include "pages/transitions.h"

#include <QPaintEvent>
#include <QPainter>

namespace tomeric {

QImage WithTransparentColour(const QImage& picture)
{
    if (picture.isNull())
        return picture;
    QImage keyed = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = keyed.pixel(0, keyed.height() - 1) | 0xFF000000u;
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x)
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
    }
    return keyed;
}

TPopUpImageForm::TPopUpImageForm(const TPopUpEnvironment& environment)
    : TPopUpPalette(TPopUpKind::pkImage, environment)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void TPopUpImageForm::SetPicture(const QImage& picture)
{
    picture_ = picture;
    resize(picture.size());
}

void TPopUpImageForm::SetTransition(const QString& name, const QString& options, const QImage& beneath, bool fast)
{
    transition_ = name;
    options_ = options;
    canvas_ = beneath.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    fast_ = fast;
}

void TPopUpImageForm::Opened()
{
    if (canvas_.isNull())
        return;
    // The new picture is the picture with its transparency over what lies
    // beneath, so the last step looks as the pop-up without a transition.
    QImage to = canvas_;
    {
        QPainter painter(&to);
        painter.drawImage(0, 0, picture_);
    }
    if (fast_) {
        canvas_ = to;
        repaint();
        return;
    }
    TTransitionRequest request;
    request.area = rect();
    request.name = transition_;
    request.options = options_;
    request.fromPicture = canvas_;
    request.toPicture = to;
    TTransitionEnvironment environment;
    environment.sleeper = LiveSleep;
    RunTransition(*this, request, environment);
}

void TPopUpImageForm::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (!canvas_.isNull()) {
        painter.drawImage(event->rect(), canvas_, event->rect());
        return;
    }
    painter.fillRect(event->rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(0, 0, picture_);
}

} // namespace tomeric
