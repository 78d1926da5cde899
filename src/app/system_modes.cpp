#include "app/system_modes.h"

#include <QEvent>
#include <QMouseEvent>
#include <QSet>

#include <cstdlib>
#include <iostream>

namespace tomeric {

namespace {

constexpr int kConfigureWindowProps = 13;

} // namespace

void LogNoticeOnce(const QString& text)
{
    static QSet<QString> said;
    if (said.contains(text))
        return;
    said.insert(text);
    std::cerr << "qxplay5: " << text.toStdString() << std::endl;
}

void ApplyScreenSaverSettings(TPublicationSettings& settings, TScreenSaverMode mode)
{
    switch (mode) {
    case ssRun:
        settings.windowStyle = 1;
        settings.windowOrder = 1;
        settings.noCtrlAltDel = true;
        break;
    case ssConfigureNoParent:
    case ssConfigure:
        settings.windowStyle = 0;
        settings.windowProps = kConfigureWindowProps;
        break;
    default:
        break;
    }
}

bool StartsOnConfigPage(TScreenSaverMode mode)
{
    return mode == ssConfigureNoParent || mode == ssConfigure;
}

void ReportUnavailableSystemModes(const TPublicationSettings& settings, TScreenSaverMode mode,
                                  const TDisplayModeRequest& displayMode)
{
    if (settings.noCtrlAltDel)
        LogNoticeOnce(QStringLiteral("NOCTRLALTDEL: this system does not let a program block "
                                     "Ctrl+Alt+Del or Alt+Tab; the publication runs without the block"));
    else if (mode == ssRun)
        LogNoticeOnce(QStringLiteral("the desktop is not told that a screen saver runs"));
    if (settings.noPrintScrn)
        LogNoticeOnce(QStringLiteral("NOPRINTSCRN: this system does not let a program block "
                                     "Print Screen; the publication runs without the block"));
    if (displayMode.change)
        LogNoticeOnce(QStringLiteral("the display mode %1x%2 at %3 bits is not switched on this "
                                     "system; the publication runs in the current mode")
                          .arg(displayMode.width)
                          .arg(displayMode.height)
                          .arg(displayMode.bitsPerPixel));
}

TMouseExitFilter::TMouseExitFilter(std::function<bool()> close, QObject* parent)
    : QObject(parent), close_(std::move(close))
{
}

bool TMouseExitFilter::MovedAway(QPoint first, QPoint position)
{
    return std::abs(position.x() - first.x()) > 1 || std::abs(position.y() - first.y()) > 1;
}

bool TMouseExitFilter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        RequestClose();
        return true;
    case QEvent::MouseMove: {
        const QPoint position = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        if (!firstPosition_)
            firstPosition_ = position;
        else if (MovedAway(*firstPosition_, position))
            RequestClose();
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void TMouseExitFilter::RequestClose()
{
    // One close request at a time: the events that follow it while the
    // publication shuts down must not ask again. A refused close (an exit
    // password not given) lets the next event ask again.
    if (closing_)
        return;
    closing_ = true;
    if (!close_())
        closing_ = false;
}

} // namespace tomeric
