#pragma once
// The notification-area icon of a system-tray publication. Clicking it shows
// the application again; its menu is the publication's tray menu; the hint
// is the short part of the title (before a "|"), at most 63 characters.
// Minimising the main window hides it, leaving only the icon.
//
// Some desktops (and the offscreen platform) have no notification area: a
// tray publication there would have no way back to its window, so the window
// is shown as an ordinary one and the log says why.

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>

class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace tomeric {

class TTrayIcon : public QObject {
    Q_OBJECT
public:
    // `menu` may be null; it must outlive the icon.
    TTrayIcon(QWidget& window, QMenu* menu, const QString& hint);
    ~TTrayIcon() override;

    // True when this desktop has a notification area.
    static bool Available();
    // The hint the icon shows for a text: its part before "|", cut to 63 characters.
    static QString ShortHint(const QString& text);

    // The menu the icon opens; null for none. It must outlive the icon.
    void SetMenu(QMenu* menu);
    void SetHint(const QString& text);
    QString Hint() const;
    void SetIcon(const QIcon& icon);
    QIcon Icon() const;

    // Shows, restores and activates the main window.
    void ShowApplication();

signals:
    // The application was shown from the icon (top-most floating windows
    // come back with it).
    void ApplicationShown();

private:
    QPointer<QWidget> window_;
    QSystemTrayIcon* icon_ = nullptr;
};

} // namespace tomeric
