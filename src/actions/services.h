#pragma once
// What a script asks of the world outside the core: dialogs, page changes,
// objects, media, windows, programs, the network, printing, the system, and
// the message pump that keeps pages live while a script runs. The core owns
// these narrow interfaces; the player implements them with widgets, the
// headless runner and the tests with scripted doubles (headless_services.h).

#include "publication/publication_model.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace tomeric {

// One command handed across the seam with its evaluated parameters.
struct ServiceCall {
    QString Command;                 // the name as the command table spells it
    int Id = 0;                      // the command's id (object router key)
    QStringList Params;              // evaluated parameters 1..count
    std::array<bool, 10> Exact{};    // "!" prefix per parameter
    std::array<uint8_t, 10> Kinds{}; // parameter kinds, for formatting results
};

// What came back. Results go to the variables named by the call's kind-6
// parameters (slot number -> value); LastError, when set, is written to
// [LastError] (soft failure or success: empty clears it); ActionError stops
// the script through the evaluator's error path with ErrorText as its text.
struct ServiceReply {
    std::map<int, QString> Results;
    std::optional<QString> LastError;
    int ActionError = 0;
    QString ErrorText;
};

// The command succeeded: [LastError] is cleared.
ServiceReply SucceededReply();
// The command failed with a message of its own, which stops the script
// through the evaluator's error path.
ServiceReply CommandMessageReply(const QString& message);

// A subsystem reached through one generic call, selected by command id:
// objects, media, windows, programs, internet, printing, system, menus.
class CommandService {
public:
    virtual ~CommandService() = default;
    virtual ServiceReply Perform(const ServiceCall& call) = 0;
};

// Modal dialogs. Every method returns when the user has answered.
class DialogService {
public:
    virtual ~DialogService() = default;
    // One OK button.
    virtual void AlertBox(const QString& title, const QString& message) = 0;
    // `buttons` is the "|"-separated caption list; returns the button number
    // clicked (1 = first) or 0 for none (Esc).
    virtual int MessageBox(const QString& title, const QString& message, const QString& buttons) = 0;
    // nullopt when cancelled.
    virtual std::optional<QString> InputBox(const QString& title, const QString& prompt,
                                            const QString& current) = 0;
    virtual std::optional<QString> FileOpenBox(const QString& title, const QString& filter,
                                               const QString& initialFolder, const QString& options) = 0;
    virtual std::optional<QString> FileSaveBox(const QString& title, const QString& filter,
                                               const QString& defaultName) = 0;
    virtual std::optional<QString> FolderBox(const QString& title, const QString& startFolder) = 0;
    // The error report shown when [LastError] is set while ShowErrors is on.
    virtual void ShowError(const QString& text) = 0;
};

// Page changes. The page-change rule has been applied before these run.
class PageService {
public:
    virtual ~PageService() = default;
    // A page change can fail after the command has handed it over: a
    // PAGECHANGEACTION naming a missing page, a slide show without its first
    // slide. Runs `change` so that such errors reach `sink` (the script that
    // asked), instead of [LastError].
    using ErrorSink = std::function<void(int code, const QString& text)>;
    virtual void Navigate(const ErrorSink& sink, const std::function<void()>& change)
    {
        (void)sink;
        change();
    }
    // False when there is no such page (the script then stops with "Cette
    // page n'existe pas.").
    virtual bool GotoPage(const QString& name) = 0;
    virtual bool GotoPageNum(const QString& number) = 0;
    virtual void GotoFirstPage() = 0;
    virtual void GotoLastPage() = 0;
    virtual void GotoPrevPage() = 0;
    virtual void GotoNextPage() = 0;
    virtual void ReturnToPage() = 0;
    virtual void StartSlideShow(const QStringList& params) = 0;
    virtual void PauseSlideShow() = 0;
    virtual void StopSlideShow() = 0;
};

// The main thread's message queue as the evaluator sees it.
class MessagePump {
public:
    virtual ~MessagePump() = default;
    // Runs every pending message, then one more without waiting for one.
    virtual void ProcessPendingMessages() = 0;
    // Suspended mode: runs pending messages only when Escape may close the
    // publication and an Escape press for the main window is waiting.
    virtual void ProcessEscapeOnly() = 0;
    // Waits at most `ms` milliseconds for a message; with `urgentOnly`, only
    // timer, paint and Escape messages are handled, otherwise all.
    virtual void WaitForMessages(int ms, bool urgentOnly) = 0;
    // Drops pending mouse, key and menu-command messages.
    virtual void DiscardUserInput() = 0;
    // True once the application is shutting down.
    virtual bool ShuttingDown() const = 0;
    // A running script counts as activity for the idle timer.
    virtual void RestartIdleTimer() = 0;
};

// What the evaluator needs to know of the running publication.
class PublicationAccess {
public:
    virtual ~PublicationAccess() = default;
    // The publication's subroutine text (GoSub labels live there).
    virtual QString SubroutineText() const = 0;
    // The publication's included files, in the package's order; entries
    // starting with ":" are matched whole, others by their file-name part.
    virtual QStringList IncludedFiles() const = 0;
    // The first included file a literal name matches: an entry beginning
    // with ":" matches ":" + name, any other entry matches when its file-name
    // part equals the name (any case).
    virtual std::optional<QString> FindIncludedFile(const QString& name) const;
    // A file the publication names, as a path on disk (included files are
    // extracted first); the name itself when it is not included.
    virtual QString ResolveFile(const QString& name) const { return name; }
    virtual bool PreviewMode() const = 0;
    virtual bool SinglePagePreview() const = 0;
    // In preview mode: the disk path the preview maps an embedded name to.
    virtual std::optional<QString> PreviewEmbeddedPath(const QString& embeddedName) const = 0;
    // A word of the built-in windows: the publication's language text (L_
    // keys), or the player's own word when it has none.
    virtual QString LanguageText(TLanguageText which) const { return BuiltinWord(which); }
};

class CommandContext;

// User functions: the Call command. The line's first parameter names the
// function file; the service evaluates the rest by the function's declared
// parameter kinds and runs its body.
class FunctionService {
public:
    virtual ~FunctionService() = default;
    virtual void Call(CommandContext& ctx) = 0;
};

// The optional debugger link (preview mode only).
class DebuggerLink {
public:
    virtual ~DebuggerLink() = default;
    virtual void ActionStart(int serial, const QString& sourceName, int debugType, int sourceKind) = 0;
    // kind: 0 skipped, 1 executed, 2 [LastError] set, 3 comment/label, 4 run begins
    virtual void AddAction(int serial, const QString& text, int kind) = 0;
    virtual void ActionComplete(int serial) = 0;
    // mode 0 error, 1 breakpoint; answer 1 stops the script, 3 aborts all.
    virtual int ErrorReport(const QString& script, const QString& message, const QString& sourceName,
                            int mode, int lineNo, int sourceKind) = 0;
    // 0 the page changed (parameter: the new index), 3 the window order
    // changed, 4 a floating window was shown or an exclusive one closed.
    virtual void Message(int message, int parameter) { (void)message; (void)parameter; }
};

// Every service a script can reach. Each program fills this in one place
// (its composition root); a null generic command service makes its commands
// do nothing.
struct Services {
    DialogService* Dialogs = nullptr;
    PageService* Pages = nullptr;
    MessagePump* Pump = nullptr;
    PublicationAccess* Publication = nullptr;
    DebuggerLink* Debugger = nullptr; // null: no debugger attached
    FunctionService* Functions = nullptr; // null: Call is reported as not carried out

    CommandService* Objects = nullptr;   // page objects, menu items
    CommandService* Media = nullptr;     // sound, video, MCI, volume
    CommandService* Windows = nullptr;   // floating windows, pop-ups, Find, help, Exit
    CommandService* Programs = nullptr;  // running and controlling programs, RunTomeric
    CommandService* Internet = nullptr;  // HTTP, connection, mail, links
    CommandService* Printing = nullptr;  // printers, print dialogs
    CommandService* System = nullptr;    // mouse, system information, icon
    // Where a command goes when the service it needs is missing above: the
    // program says that it does not carry the command out (never silently).
    CommandService* NotCarriedOut = nullptr;
};

} // namespace tomeric
