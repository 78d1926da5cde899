#pragma once
// TWindowManager: the floating windows of the running player and the
// commands that open and close them:
//
//   ImageWindow "title" "x" "y" "picture"            a picture viewer
//   TextWindow "title" "x" "y" "w" "h" "file" "opt"  a text-file viewer
//   CustomWindow "title" "x" "y" "page" "options"    a live page in a window
//   CloseWindow "name"        one window, or every non-custom one ("")
//   CloseCustomWindow "page"  one window, or every custom one ("")
//
// It keeps the ordered list of open windows, found by name ignoring case:
// opening a name that is open brings that window forward instead. Windows
// opened with "@" are protected from the close commands, not from the user
// nor from the end of the player. "Exclusive" custom windows are modal:
// while one is open the others are not kept on top. Commands it does not
// know go on to `next`.

#include "actions/services.h"
#include "windows/floating_window_form.h"

#include <QPointer>

#include <functional>
#include <vector>

namespace tomeric {

class TTomericWebBrowser;

class TWindowManager final : public CommandService {
public:
    TWindowManager(TFloatingHost& host, CommandService* next) : host_(host), next_(next) {}
    ~TWindowManager() override;
    TWindowManager(const TWindowManager&) = delete;
    TWindowManager& operator=(const TWindowManager&) = delete;

    ServiceReply Perform(const ServiceCall& call) override;

    // A browser window for a page of `opener` (see
    // TFloatingWindowForm::BuildBrowser): placed and listed, shown by its
    // browser. Null when no browser can be made.
    TTomericWebBrowser* OpenBrowserWindow(TTomericWebBrowser& opener);

    // The open window of that name (ignoring case); null when none.
    TFloatingWindowForm* Find(const QString& name) const;
    // Every open window, oldest first.
    std::vector<TFloatingWindowForm*> Windows() const;
    // The object of that name (any case) on a page shown in a custom
    // window, the oldest window first; null when none.
    QWidget* FindObjectInWindows(const QString& name) const;

    // An object message to the picture and text windows' objects (the
    // pages of custom windows get theirs as pages).
    void SendToContentObjects(const std::function<void(TTomericObj&)>& deliver);

    // The player ends: every window closes, protected ones too.
    void CloseAll();
    // Another publication replaces this one and the windows stay: the
    // pages of custom windows are freed when they close, not given back.
    void KeepForNextPublication();
    // The main window is minimised (true) or restored with WINDOWORDER=1:
    // the stay-on-top windows hide and show with it.
    void MainWindowMinimised(bool minimised);

private:
    using Command = ServiceReply (TWindowManager::*)(const ServiceCall&);
    struct CommandRow {
        const char* name;
        Command run;
    };
    static const CommandRow kCommands[];

    ServiceReply ImageWindow(const ServiceCall& call);
    ServiceReply TextWindow(const ServiceCall& call);
    ServiceReply CustomWindow(const ServiceCall& call);
    ServiceReply CloseWindow(const ServiceCall& call);
    ServiceReply CloseCustomWindow(const ServiceCall& call);

    // An open window of that name comes to the front; false when none.
    bool BringForward(const QString& name);
    TFloatingWindowForm* Create(TFloatingKind kind, const QString& name, int flags, const QString& title);
    // Placed, listed and shown (modally for exclusive custom windows).
    void Open(TFloatingWindowForm* form, QPoint scriptPosition);
    void Place(TFloatingWindowForm& form, QPoint scriptPosition);
    void Closed(TFloatingWindowForm* form);
    // The window a close command names: by its name, or by the included
    // file that name stands for.
    TFloatingWindowForm* FindForClose(const QString& name) const;
    void CloseNamed(const QString& name);

    TFloatingHost& host_;
    CommandService* next_;
    std::vector<QPointer<TFloatingWindowForm>> windows_;
    std::vector<QPointer<TFloatingWindowForm>> hiddenWithMain_;
    int exclusiveCount_ = 0;
};

} // namespace tomeric
