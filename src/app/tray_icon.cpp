#include "app/tray_icon.h"

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

namespace tomeric {

namespace {

constexpr int kMaxHintLength = 63;

} // namespace

TTrayIcon::TTrayIcon(QWidget& window, QMenu* menu, const QString& hint)
    : window_(&window), icon_(new QSystemTrayIcon(this))
{
    icon_->setIcon(QApplication::windowIcon().isNull() ? window.windowIcon() : QApplication::windowIcon());
    icon_->setToolTip(ShortHint(hint));
    if (menu)
        icon_->setContextMenu(menu);
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::Trigger:
        case QSystemTrayIcon::DoubleClick:
            ShowApplication();
            break;
        case QSystemTrayIcon::Context:
            // The menu opens by itself; the window comes to the front first.
            if (window_ && window_->isVisible())
                window_->raise();
            break;
        default:
            break;
        }
    });
    icon_->show();
}

TTrayIcon::~TTrayIcon()
{
    icon_->hide();
}

bool TTrayIcon::Available()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

QString TTrayIcon::ShortHint(const QString& text)
{
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    return (bar < 0 ? text : text.left(bar)).left(kMaxHintLength);
}

void TTrayIcon::SetMenu(QMenu* menu)
{
    icon_->setContextMenu(menu);
}

void TTrayIcon::SetHint(const QString& text)
{
    icon_->setToolTip(ShortHint(text));
}

QString TTrayIcon::Hint() const
{
    return icon_->toolTip();
}

void TTrayIcon::SetIcon(const QIcon& icon)
{
    icon_->setIcon(icon);
}

QIcon TTrayIcon::Icon() const
{
    return icon_->icon();
}

void TTrayIcon::ShowApplication()
{
    if (!window_)
        return;
    if (window_->isMinimized())
        window_->showNormal();
    else
        window_->show();
    window_->raise();
    window_->activateWindow();
    emit ApplicationShown();
}

} // namespace tomeric
