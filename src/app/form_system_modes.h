#pragma once
// TFormSystemModes: what the main window does when the publication runs as
// a screen saver (blank cursor, MOUSEEXIT), as an icon in the notification
// area (the tray icon, minimising into it), and the system modes a kiosk
// asks for (reported when this system cannot grant them).

#include "app/system_modes.h"
#include "app/tray_icon.h"

#include <functional>
#include <memory>

class QMainWindow;
class QMenu;

namespace tomeric {

class TFormSystemModes {
public:
    // `requestClose` asks the window to close (the mouse moved while a
    // screen saver runs); it answers whether it closes.
    TFormSystemModes(QMainWindow& window, TPublicationSettings& settings, TScreenSaverMode mode,
                     std::function<bool()> requestClose);
    ~TFormSystemModes();

    TScreenSaverMode ScreenSaverMode() const { return mode_; }
    // The settings the screen-saver mode forces, before they are applied.
    void ApplyScreenSaverMode();
    // A tray publication gets its icon (not when pages are only drawn).
    void CreateTrayIcon(bool renderOnly);
    // The tray menu joins the icon once the menus exist.
    void SetTrayMenu(QMenu* menu);
    TTrayIcon* Tray() const { return tray_.get(); }
    // A tray publication without a start-up script stays in the tray.
    bool StaysInTrayAtStart() const;
    // At the first paint, and when the publication closes.
    void Enter();
    void Leave();
    // The window's state changed: a minimised tray publication hides.
    void WindowStateChanged();
    // The publication goes: its icon goes with it.
    void Release();

private:
    QMainWindow& window_;
    TPublicationSettings& settings_;
    TScreenSaverMode mode_;
    std::function<bool()> requestClose_;
    std::unique_ptr<TTrayIcon> tray_;
    std::unique_ptr<TMouseExitFilter> mouseExit_;
    bool cursorHidden_ = false; // the screen saver's blank cursor is set
};

} // namespace tomeric
