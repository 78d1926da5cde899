#include "app/player_system.h"

#include "actions/action_eval.h"
#include "app/system_modes.h"
#include "app/tray_icon.h"
#include "app/work_form.h"
#include "app/x11_pointer.h"
#include "platform/string_table.h"
#include "vars/variables.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include <cmath>

namespace tomeric {

namespace {

constexpr int kGlideStep = 8;        // pixels along the longer axis
constexpr int kGlideDelayMs = 15;
constexpr int kClickHoldMs = 100;

std::optional<int> WholeNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return int(std::lround(value));
}

// `at` on the way from `from` to `to`, held at `to` when it would pass it.
int NotPast(int from, int at, int to)
{
    return (to >= from && at > to) || (to < from && at < to) ? to : at;
}

void SendButton(QWidget* widget, QEvent::Type type, const QPoint& global)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, QPointF(widget->mapFromGlobal(global)), QPointF(global), Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

ServiceReply TPlayerSystem::Perform(const ServiceCall& call)
{
    using Handler = ServiceReply (TPlayerSystem::*)(const ServiceCall&);
    static const struct {
        const char* command;
        Handler handler;
    } kCommands[] = {
        {"SetMousePos", &TPlayerSystem::SetMousePos}, {"GetMousePos", &TPlayerSystem::GetMousePos},
        {"ClickMouse", &TPlayerSystem::ClickMouse},   {"SystemInfo", &TPlayerSystem::SystemInfo},
        {"LoadIcon", &TPlayerSystem::LoadIcon},
    };
    for (const auto& row : kCommands)
        if (call.Command.compare(QLatin1String(row.command), Qt::CaseInsensitive) == 0)
            return (this->*row.handler)(call);
    return {};
}

QPoint TPlayerSystem::PageOrigin() const
{
    const TPageStack* stack = form_.StackOrNull();
    return stack ? stack->mapToGlobal(QPoint(0, 0)) : form_.mapToGlobal(QPoint(0, 0));
}

void TPlayerSystem::Pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

QList<QPoint> TPlayerSystem::GlidePath(QPoint from, QPoint to)
{
    QList<QPoint> path;
    const QPoint delta = to - from;
    const double steps = std::max(std::abs(delta.x()), std::abs(delta.y())) / double(kGlideStep);
    if (steps <= 0)
        return path;
    // Each point is rounded from the straight line itself: rounding each
    // step instead lets the short axis drift and end with a jump.
    const int count = int(std::ceil(steps));
    for (int i = 1; i < count; ++i) {
        const QPoint on(from.x() + int(std::lround(delta.x() * i / steps)),
                        from.y() + int(std::lround(delta.y() * i / steps)));
        path.append(QPoint(NotPast(from.x(), on.x(), to.x()), NotPast(from.y(), on.y(), to.y())));
    }
    path.append(to);
    return path;
}

ServiceReply TPlayerSystem::SetMousePos(const ServiceCall& call)
{
    const std::optional<int> y = WholeNumber(call.Params.value(1));
    if (!y) {
        ServiceReply reply;
        reply.ActionError = aeInvalidExpression;
        return reply;
    }
    const QPoint target = PageOrigin() + QPoint(WholeNumber(call.Params.value(0)).value_or(0), *y);
    for (const QPoint& point : GlidePath(QCursor::pos(), target)) {
        QCursor::setPos(point);
        Pause(kGlideDelayMs);
        if (form_.ShuttingDown())
            break;
    }
    return {};
}

ServiceReply TPlayerSystem::GetMousePos(const ServiceCall& call)
{
    (void)call;
    const QPoint at = QCursor::pos() - PageOrigin();
    ServiceReply reply;
    reply.Results[1] = QString::number(at.x());
    reply.Results[2] = QString::number(at.y());
    return reply;
}

ServiceReply TPlayerSystem::ClickMouse(const ServiceCall& call)
{
    (void)call;
    const QPoint at = QCursor::pos();
    QPointer<QWidget> target = QApplication::widgetAt(at);
    if (!target) {
        // Another program's window: the X server clicks it, where it can.
        if (!ClickThroughXTest([this] { Pause(kClickHoldMs); }))
            LogNoticeOnce(QStringLiteral("ClickMouse cannot click other programs' windows in this session"));
        return {};
    }
    SendButton(target, QEvent::MouseButtonPress, at);
    Pause(kClickHoldMs);
    if (target)
        SendButton(target, QEvent::MouseButtonRelease, at);
    return {};
}

// "%NAME%" reads the environment; any other name is a variable of the
// player, the built-in ones included.
ServiceReply TPlayerSystem::SystemInfo(const ServiceCall& call)
{
    const QString name = call.Params.value(0);
    ServiceReply reply;
    if (name.contains(u'%')) {
        QString variable = name;
        variable.remove(u'%');
        reply.Results[2] = qEnvironmentVariable(variable.toLocal8Bit().constData());
    } else {
        reply.Results[2] = GetVariable(name);
    }
    return reply;
}

ServiceReply TPlayerSystem::LoadIcon(const ServiceCall& call)
{
    if (!builtinIcon_)
        builtinIcon_ = QApplication::windowIcon();
    const QString file = call.Params.value(0);
    QIcon icon = *builtinIcon_;
    if (!file.trimmed().isEmpty()) {
        const QString path = form_.AllServices().Publication->ResolveFile(file);
        icon = QFileInfo(path).isFile() ? QIcon(path) : QIcon();
        if (icon.availableSizes().isEmpty() && icon.pixmap(32).isNull()) {
            ServiceReply reply;
            reply.LastError = Message(msgCannotOpenFile, file);
            return reply;
        }
    }
    if (call.Params.value(1).trimmed().compare(QLatin1String("TRAYICON"), Qt::CaseInsensitive) == 0) {
        if (TTrayIcon* tray = form_.Tray())
            tray->SetIcon(icon);
        return {};
    }
    QApplication::setWindowIcon(icon);
    form_.setWindowIcon(icon);
    return {};
}

} // namespace tomeric
