#pragma once
// What only a program with a window system can do for the program
// commands: find other programs' windows, show, order, move and close
// them, type into them, and embed one in a rectangle of the page. The
// player gives one (X11; under Wayland or without X every request fails and
// the command reports it); the headless runner has none, and prints the
// window commands as CALL lines.

#include "actions/services.h"

#include <QString>
#include <cstdint>

namespace tomeric {

using TWindowId = uint64_t; // 0: no window

enum class TShowMode { smNormal, smMinimized, smHidden };

class TProgramWindows {
public:
    virtual ~TProgramWindows() = default;

    // The main window of a process (a visible top-level window it owns);
    // 0 when it has none (yet).
    virtual TWindowId MainWindowOf(int64_t processId) = 0;
    // A top-level window whose title or class is `name` (any case); 0 when none.
    virtual TWindowId FindWindowNamed(const QString& name) = 0;
    // The process that owns a window; 0 when it does not say.
    virtual int64_t ProcessOf(TWindowId window) = 0;
    // RunOnce and started programs: shown as asked (normal: raised and focused).
    virtual void Show(TWindowId window, TShowMode mode) = 0;
    // A program about to start that must not show ("Minimized", "Hidden", a
    // program for a rectangle): begun before the program starts, so even a
    // window it maps at once is caught. Requests to map are held until
    // QuietStartIsFor names the started program; from then its windows are
    // kept so, as far as the window system allows, until EndQuietStart,
    // which lets any other window held meanwhile map. Meanwhile
    // MainWindowOf finds them.
    virtual void BeginQuietStart(TShowMode mode) = 0;
    virtual void QuietStartIsFor(int64_t processId) = 0;
    virtual void EndQuietStart() = 0;
    // CloseApp "RequestClose": the window is asked to close, raised first
    // unless it is embedded. False when the request could not be sent.
    virtual bool RequestClose(TWindowId window, bool raise) = 0;

    // SetWindowPos, GetWindowPos, BringAppToFront, SendAppToBack,
    // DisableApp, EnableApp, SendKeys, SendMenuCommand, DropFile on the
    // found window of a program.
    virtual ServiceReply Control(const ServiceCall& call, TWindowId window) = 0;
    // SendKeys with an empty application: into the player itself.
    virtual ServiceReply SendKeysToPlayer(const QString& keys) = 0;

    // RunInRectangle: whether the page shows a rectangle object of that
    // name; embedding a started program's window in it (inset by its line
    // width, on its fill colour, following its moves); giving it back when
    // the program ends.
    virtual bool RectangleExists(const QString& objectName) = 0;
    virtual bool Embed(const QString& objectName, TWindowId window, const QString& options) = 0;
    virtual void Release(const QString& objectName) = 0;

    // While a program started with "Wait" runs, the page takes no input
    // and shows the busy cursor.
    virtual void HoldPage(bool hold) = 0;
};

} // namespace tomeric
