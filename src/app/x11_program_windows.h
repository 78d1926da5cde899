#pragma once
// Other programs' windows under X11: found through _NET_WM_PID, their title
// and WM_CLASS; moved, ordered and activated through the window manager's
// standard (EWMH) requests when a manager runs, directly otherwise; typed
// into through the X test extension; files dropped through XDND; closed
// through WM_DELETE_WINDOW; their menus chosen through the accessibility
// bus (TAtSpiMenus). Without an X display (Wayland without
// XWayland, no display at all) every request fails and the command reports
// its failure message.

#include "services/program_windows.h"

#include <QHash>

#include <functional>
#include <memory>

class QWidget;

namespace tomeric {

class TAtSpiMenus;
class TTomericRect;

class TX11ProgramWindows final : public TProgramWindows {
public:
    // The player's side: the rectangle objects of the page, the player's
    // window (for keys sent to itself, and to hold while a program runs).
    struct TPlayerSide {
        std::function<TTomericRect*(const QString& name)> findRectangle;
        std::function<QWidget*()> mainWindow;
    };

    // `displayName` empty: $DISPLAY.
    explicit TX11ProgramWindows(TPlayerSide player, const QString& displayName = QString());
    ~TX11ProgramWindows() override;

    TWindowId MainWindowOf(int64_t processId) override;
    TWindowId FindWindowNamed(const QString& name) override;
    int64_t ProcessOf(TWindowId window) override;
    void Show(TWindowId window, TShowMode mode) override;
    void BeginQuietStart(TShowMode mode) override;
    void QuietStartIsFor(int64_t processId) override;
    void EndQuietStart() override;
    bool RequestClose(TWindowId window, bool raise) override;
    ServiceReply Control(const ServiceCall& call, TWindowId window) override;
    ServiceReply SendKeysToPlayer(const QString& keys) override;
    bool RectangleExists(const QString& objectName) override;
    bool Embed(const QString& objectName, TWindowId window, const QString& options) override;
    void Release(const QString& objectName) override;
    void HoldPage(bool hold) override;

    // The window rectangle (frame included) as GetWindowPos reads it.
    struct TRect {
        int left = 0, top = 0, width = 0, height = 0;
    };

private:
    struct TX11;
    struct TQuietStart;
    // The requests and notices of the root window while a program starts
    // quietly.
    void HandleQuietEvents();
    // Kept from showing by the player (held back, withdrawn): still the
    // program's windows for MainWindowOf. (The server gives a closed
    // window's number to later windows: the process tells them apart.)
    bool KeptHidden(TWindowId window, int64_t processId) const { return keptHidden_.value(window) == processId; }
    ServiceReply SetWindowPos(const ServiceCall& call, TWindowId window);
    ServiceReply GetWindowPos(const ServiceCall& call, TWindowId window);
    ServiceReply BringToFront(TWindowId window);
    ServiceReply SendToBack(TWindowId window);
    ServiceReply Disable(TWindowId window, bool disable);
    ServiceReply SendKeys(const QString& keys, TWindowId window);
    ServiceReply DropFiles(const QString& files, TWindowId window);
    ServiceReply SendMenuCommand(const QString& path, TWindowId window);

    TPlayerSide player_;
    std::unique_ptr<TX11> x_;
    std::unique_ptr<TAtSpiMenus> menus_; // made on the first menu command
    QHash<TWindowId, unsigned long> inputShields_; // DisableApp: window -> its shield
    std::unique_ptr<TQuietStart> quiet_;
    QHash<TWindowId, int64_t> keptHidden_; // window -> its process
    int holds_ = 0;
};

} // namespace tomeric
