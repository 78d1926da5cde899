#pragma once
// The program commands: Run, RunInRectangle, DOSCommand, ExecuteAddOn,
// IsAppRunning, CloseApp and the commands that control another program's
// window. Processes run on QProcess; the run registry watches the programs
// a script wants to hear from (a result variable, an end action, a host
// rectangle), polling every 500 ms for their end.
//
// Applications are named by run number, by the file name of a registered
// program, by the executable name of any running process, or (where a
// window system is there) by a window's title or class.
//
// Without TProgramWindows (the headless runner) the window commands and
// RunInRectangle go on to `next`.

#include "actions/services.h"
#include "services/program_launcher.h"
#include "services/program_windows.h"

#include <QProcess>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

namespace tomeric {

// A program the player watches (a registry entry).
struct TApplicationForm {
    int RunNumber = 0;
    QString FileName;       // without path, as the publication named it
    QString ProgramPath;
    QString HostObject;     // the rectangle it is embedded in; empty when none
    QString ResultVariable; // the key of the result variable; empty when none
    QString EndAction;
    std::unique_ptr<QProcess> Process; // null when attached to a running process
    int64_t ProcessId = 0;
    TWindowId MainWindow = 0;
    bool TerminateOnClose = true;
    bool Hosted = false;
};

class TProgramService final : public CommandService {
public:
    // Queues an action text to the main window (run after the command).
    using ActionPoster = std::function<void(const QString& text)>;

    TProgramService(Services& services, ActionPoster postAction, CommandService* next);
    // Every watched program still running ends with the player.
    ~TProgramService() override;

    // The window system's part; null: none.
    void SetWindows(TProgramWindows* windows) { windows_ = windows; }

    ServiceReply Perform(const ServiceCall& call) override;

    // The publication closes (the player ends, or another publication
    // takes the window): the programs it watches end with it (those it
    // attached to run on), their variables are emptied, and their end
    // actions no longer run.
    void CloseEveryProgram();

private:
    struct TRunRequest {
        QString program, parameters, options, endAction, variable, host;
    };
    struct TTarget {
        TApplicationForm* entry = nullptr;
        int64_t processId = 0;
        TWindowId window = 0;
        bool found = false;
    };

    ServiceReply Run(const TRunRequest& request);
    ServiceReply RunOnce(const TRunRequest& request, const TLaunchPlan& plan, bool* done);
    ServiceReply RunInternal(const TRunRequest& request, const TLaunchPlan& plan);
    ServiceReply Start(const TRunRequest& request, const TLaunchPlan& plan);
    ServiceReply StartUnwatched(const TRunRequest& request, const TLaunchPlan& plan);
    // After the start: the main window found, embedded or shown as asked.
    ServiceReply PlaceWindow(const TRunRequest& request, TApplicationForm& entry, bool viaHandler);
    // Watches the entry (run number, result variables) until it ends.
    void Watch(std::unique_ptr<TApplicationForm> entry);
    ServiceReply IsAppRunning(const ServiceCall& call);
    ServiceReply CloseApp(const ServiceCall& call);
    ServiceReply ControlWindow(const ServiceCall& call);

    TTarget FindApplication(const QString& name);
    TApplicationForm* FindRegistered(const QString& fileName);
    TWindowId WaitForMainWindow(int64_t processId, int timeoutMs);
    void PumpFor(int ms);
    void WaitForEnd(TApplicationForm& entry);
    // The registry's 500 ms look at its programs.
    void Poll();
    // The end of a watched program: result variables, end action, host.
    void CloseEntry(TApplicationForm& entry);
    void EndProcess(TApplicationForm& entry);
    TLaunchContext LaunchContext() const;

    Services& services_;
    ActionPoster postAction_;
    CommandService* next_;
    TProgramWindows* windows_ = nullptr;
    std::map<int, std::unique_ptr<TApplicationForm>> registry_;
    int lastRunNumber_ = 0;
    QTimer poll_;
};

} // namespace tomeric
