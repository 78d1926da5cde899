#pragma once
// What the floating windows ask of the main window: where it is, its pages
// (a custom window borrows one), page messages and subroutines, the object
// host their picture and text objects use, help and the driven trace. The
// player implements it on TWorkForm; tests may give their own.

#include "windows/floating_placement.h"

#include <QString>

#include <optional>

class QWidget;

namespace tomeric {

class ObjectHost;
class TPageStack;

// The page messages a custom window sends to the page it shows.
enum class TFloatingPageMessage { fmEntered, fmShown, fmLeft };

class TFloatingHost {
public:
    virtual ~TFloatingHost() = default;

    // The main window's client area: FIXEDPOS windows are its children.
    virtual QWidget* ClientArea() = 0;
    virtual TMainWindowGeometry MainGeometry() const = 0;
    // Null while there are no pages.
    virtual TPageStack* Stack() = 0;
    // The page of that name (any case; "" is the master page); -1 when none.
    virtual int FindPage(const QString& name) const = 0;
    virtual int CurrentPage() const = 0;
    virtual bool ShowsMasterPage(int page) const = 0;
    // Object messages to the objects of one page only.
    virtual void SendPageMessage(int page, TFloatingPageMessage message) = 0;
    // Calls the global subroutine of that name from a fresh evaluator when
    // the publication has it.
    virtual void CallSubroutineIfAny(const QString& name) = 0;
    // The host of the objects a floating window makes (picture, article).
    virtual ObjectHost& Objects() = 0;
    // F1: the publication's help contents, when it has a help file.
    virtual void OpenHelp() = 0;
    // WINDOWORDER=1: the main window stays on top.
    virtual bool MainStaysOnTop() const = 0;
    // The included file a literal name stands for (the name a picture or
    // text window was opened under); nothing when none.
    virtual std::optional<QString> FindIncludedFile(const QString& name) const = 0;
    // A line of the driven trace ("WINDOW OPEN ..."); nothing when not driven.
    virtual void Trace(const QString& line) = 0;
    // A window was shown (its handle) or an exclusive one closed (0): an
    // attached debugger hears it.
    virtual void TellDebuggerWindowShown(quint64 handle) { (void)handle; }
};

} // namespace tomeric
