#include "services/program_service.h"

#include "actions/action_eval.h"
#include "actions/system_error_text.h"
#include "platform/digits.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "services/internal_commands.h"
#include "services/process_list.h"
#include "vars/builtin_vars.h"
#include "vars/variables.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <csignal>

namespace tomeric {

using platform::AllDigits;

namespace {

constexpr int kPollMs = 500;
constexpr int kWaitSliceMs = 150;
constexpr int kStartTimeoutMs = 5000;
// How long a started program may take to show its main window: long for
// the programs a script waits for ("LoadComplete", a host rectangle), short
// when only the result variable wants the window.
constexpr int kWindowTimeoutMs = 5000;
constexpr int kWindowForVariableMs = 1000;
constexpr int kAfterLoadMs = 500;
constexpr int kTerminateGraceMs = 1000;

bool Is(const ServiceCall& call, const char* name)
{
    return call.Command.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

bool HasOption(const QString& options, const char* word)
{
    return options.contains(QLatin1String(word), Qt::CaseInsensitive);
}



TShowMode ShowModeOf(const QString& options)
{
    if (HasOption(options, "Hidden"))
        return TShowMode::smHidden;
    if (HasOption(options, "Minimized"))
        return TShowMode::smMinimized;
    return TShowMode::smNormal;
}

// The system's message for a process that did not start.
QString StartFailureText(const QProcess& process)
{
    if (process.error() == QProcess::FailedToStart && QFileInfo(process.program()).exists())
        return AccessDeniedText();
    return FileNotFoundText();
}

// The process a plan starts. Its output has no window to go to, as on
// Windows. Qt programs show their menus on the accessibility bus only when
// asked: the programs started here are, so that SendMenuCommand reaches them.
void PrepareProcess(QProcess& process, const TLaunchPlan& plan)
{
    process.setProgram(plan.program);
    process.setArguments(plan.arguments);
    if (!plan.workingFolder.isEmpty())
        process.setWorkingDirectory(plan.workingFolder);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON")))
        environment.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
}

// While a program that must not show starts, the window system keeps its
// windows so; over once the start is. Begun before the program starts, so
// that no window of it can map unseen in between.
class TQuietStart {
public:
    TQuietStart(TProgramWindows* windows, TShowMode mode)
        : windows_(mode == TShowMode::smNormal ? nullptr : windows)
    {
        if (windows_)
            windows_->BeginQuietStart(mode);
    }
    ~TQuietStart() { End(); }
    void Started(int64_t processId)
    {
        if (windows_)
            windows_->QuietStartIsFor(processId);
    }
    void End()
    {
        if (windows_)
            windows_->EndQuietStart();
        windows_ = nullptr;
    }
    TQuietStart(const TQuietStart&) = delete;
    TQuietStart& operator=(const TQuietStart&) = delete;

private:
    TProgramWindows* windows_;
};

void SetResultVariable(const QString& key, const char* suffix, const QString& value)
{
    SetVariable(QLatin1Char('[') + key + QLatin1String(suffix) + QLatin1Char(']'), value);
}

} // namespace

TProgramService::TProgramService(Services& services, ActionPoster postAction, CommandService* next)
    : services_(services), postAction_(std::move(postAction)), next_(next)
{
    poll_.setInterval(kPollMs);
    QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
}

TProgramService::~TProgramService()
{
    poll_.stop();
    for (auto& [number, entry] : registry_)
        if (entry->TerminateOnClose)
            EndProcess(*entry);
}

ServiceReply TProgramService::Perform(const ServiceCall& call)
{
    const QStringList& p = call.Params;
    if (Is(call, "Run"))
        return Run({p.value(0), p.value(1), p.value(2), p.value(3), p.value(4), QString()});
    if (Is(call, "RunInRectangle")) {
        if (!windows_)
            return next_ ? next_->Perform(call) : ServiceReply{};
        return Run({p.value(1), p.value(2), p.value(3), p.value(4), p.value(5), p.value(0)});
    }
    if (Is(call, "DOSCommand"))
        return Run({p.value(0), p.value(1), p.value(2), QString(), QString(), QString()});
    if (Is(call, "ExecuteAddOn")) {
        // The add-on learns which publication calls it.
        const QString publication = QFileInfo(CurrentPublicationFacts().publicationFile).completeBaseName();
        const QString parameters = QLatin1Char('\'') + publication + QStringLiteral("' ") + p.value(1);
        return Run({p.value(0), parameters, QStringLiteral("Wait"), QString(), QString(), QString()});
    }
    if (Is(call, "IsAppRunning"))
        return IsAppRunning(call);
    if (Is(call, "CloseApp"))
        return CloseApp(call);
    for (const char* name : {"SetWindowPos", "GetWindowPos", "BringAppToFront", "SendAppToBack", "DisableApp",
                             "EnableApp", "SendKeys", "SendMenuCommand", "DropFile"})
        if (Is(call, name))
            return ControlWindow(call);
    return next_ ? next_->Perform(call) : ServiceReply{};
}

TLaunchContext TProgramService::LaunchContext() const
{
    TLaunchContext context;
    context.publicationFolder = GetVariable(QStringLiteral("[PubDir]"));
    if (CurrentPublicationFacts().currentDirSet)
        context.publicationCurrentFolder = QDir::currentPath();
    return context;
}

// ---- starting ---------------------------------------------------------------

ServiceReply TProgramService::Run(const TRunRequest& request)
{
    if (!request.host.isEmpty()) {
        for (const auto& [number, entry] : registry_)
            if (entry->HostObject.compare(request.host, Qt::CaseInsensitive) == 0)
                return CommandMessageReply(Message(msgAppAlreadyHosted, request.host));
        if (!windows_->RectangleExists(request.host))
            return CommandMessageReply(QLatin1Char('"') + request.host + QStringLiteral("\"||") + Message(msgNoSuchObject));
    }
    const TLaunchPlan plan = PlanLaunch(request.program, request.parameters, LaunchContext());
    if (plan.kind == TLaunchKind::lkInternal)
        return RunInternal(request, plan);
    if (HasOption(request.options, "RunOnce")) {
        bool done = false;
        ServiceReply reply = RunOnce(request, plan, &done);
        if (done)
            return reply;
    }
    if (plan.kind == TLaunchKind::lkRefused)
        return CommandMessageReply(plan.failure);
    return Start(request, plan);
}

ServiceReply TProgramService::RunInternal(const TRunRequest& request, const TLaunchPlan& plan)
{
    // Done before the command returns, as a program that ended at once.
    const int code = RunInternalCommand(plan.internalCommand, plan.internalParameters, plan.workingFolder);
    TApplicationForm finished;
    finished.ResultVariable = request.variable;
    finished.EndAction = request.endAction;
    finished.TerminateOnClose = false;
    if (!finished.ResultVariable.isEmpty())
        SetResultVariable(finished.ResultVariable, ".ExitCode", QString::number(code));
    CloseEntry(finished);
    return SucceededReply();
}

ServiceReply TProgramService::RunOnce(const TRunRequest& request, const TLaunchPlan& plan, bool* done)
{
    const QString fileName = plan.fileName.isEmpty() ? platform::FilePart(request.program) : plan.fileName;
    const TShowMode mode = ShowModeOf(request.options);
    if (TApplicationForm* entry = FindRegistered(fileName)) {
        if (!entry->MainWindow && windows_)
            entry->MainWindow = windows_->MainWindowOf(entry->ProcessId);
        if (entry->MainWindow && windows_)
            windows_->Show(entry->MainWindow, mode);
        *done = true;
        return SucceededReply();
    }
    const int64_t running = TVexProcessList::FindByFileName(fileName);
    if (!running)
        return SucceededReply();
    // Attached to, not started: watched when the script wants to hear of it.
    *done = true;
    auto entry = std::make_unique<TApplicationForm>();
    entry->FileName = fileName;
    entry->ProgramPath = plan.programPath;
    entry->ResultVariable = request.variable;
    entry->EndAction = request.endAction;
    entry->ProcessId = running;
    entry->TerminateOnClose = false; // not ours to end with the player
    if (windows_)
        entry->MainWindow = windows_->MainWindowOf(running);
    if (entry->MainWindow)
        windows_->Show(entry->MainWindow, mode);
    if (!request.variable.isEmpty() || !request.endAction.isEmpty())
        Watch(std::move(entry));
    return SucceededReply();
}

ServiceReply TProgramService::Start(const TRunRequest& request, const TLaunchPlan& plan)
{
    const bool wait = HasOption(request.options, "Wait");
    const bool hosted = !request.host.isEmpty();
    if (!wait && !hosted && request.variable.isEmpty() && request.endAction.isEmpty())
        return StartUnwatched(request, plan);

    auto entry = std::make_unique<TApplicationForm>();
    entry->FileName = plan.fileName;
    entry->ProgramPath = plan.programPath;
    entry->HostObject = request.host;
    entry->Hosted = hosted;
    entry->ResultVariable = request.variable;
    entry->EndAction = request.endAction;
    entry->Process = std::make_unique<QProcess>();
    QProcess& process = *entry->Process;
    PrepareProcess(process, plan);
    // A program for a rectangle starts hidden, and shows only inside it.
    TQuietStart quiet(plan.viaHandler ? nullptr : windows_, hosted ? TShowMode::smHidden : ShowModeOf(request.options));
    process.start();
    if (!process.waitForStarted(kStartTimeoutMs))
        return CommandMessageReply(StartFailureText(process));
    entry->ProcessId = process.processId();
    quiet.Started(entry->ProcessId);

    const ServiceReply placed = PlaceWindow(request, *entry, plan.viaHandler);
    quiet.End();
    if (placed.ActionError)
        return placed;
    if (wait) {
        WaitForEnd(*entry);
        CloseEntry(*entry);
        return SucceededReply();
    }
    Watch(std::move(entry));
    return SucceededReply();
}

ServiceReply TProgramService::StartUnwatched(const TRunRequest& request, const TLaunchPlan& plan)
{
    // Nobody waits for it: it runs on by itself, even after the player.
    QProcess process;
    PrepareProcess(process, plan);
    const bool placed = windows_ && !plan.viaHandler;
    const TShowMode mode = ShowModeOf(request.options);
    TQuietStart quiet(placed ? windows_ : nullptr, mode);
    qint64 processId = 0;
    if (!process.startDetached(&processId))
        return CommandMessageReply(StartFailureText(process));
    quiet.Started(processId);
    const bool loadComplete = HasOption(request.options, "LoadComplete");
    if (!placed || (!loadComplete && mode == TShowMode::smNormal))
        return SucceededReply();
    if (const TWindowId window = WaitForMainWindow(processId, kWindowTimeoutMs)) {
        if (mode != TShowMode::smNormal)
            windows_->Show(window, mode);
        if (loadComplete)
            PumpFor(kAfterLoadMs);
    }
    return SucceededReply();
}

ServiceReply TProgramService::PlaceWindow(const TRunRequest& request, TApplicationForm& entry, bool viaHandler)
{
    const bool loadComplete = HasOption(request.options, "LoadComplete");
    const TShowMode mode = ShowModeOf(request.options);
    const bool wanted = entry.Hosted || loadComplete || !request.variable.isEmpty() || mode != TShowMode::smNormal;
    if (!windows_ || viaHandler || !wanted)
        return SucceededReply();
    const int timeout = (entry.Hosted || loadComplete) ? kWindowTimeoutMs : kWindowForVariableMs;
    entry.MainWindow = WaitForMainWindow(entry.ProcessId, timeout);
    if (entry.Hosted) {
        if (!entry.MainWindow || !windows_->Embed(entry.HostObject, entry.MainWindow, request.options)) {
            EndProcess(entry);
            return CommandMessageReply(Message(msgNoMainWindow));
        }
    } else if (entry.MainWindow && mode != TShowMode::smNormal) {
        windows_->Show(entry.MainWindow, mode);
    }
    if (entry.MainWindow && (entry.Hosted || loadComplete))
        PumpFor(kAfterLoadMs);
    return SucceededReply();
}

void TProgramService::Watch(std::unique_ptr<TApplicationForm> entry)
{
    entry->RunNumber = ++lastRunNumber_;
    if (!entry->ResultVariable.isEmpty()) {
        const QString& key = entry->ResultVariable;
        SetVariable(QLatin1Char('[') + key + QLatin1Char(']'), QString::number(entry->RunNumber));
        SetResultVariable(key, ".ExitCode", QString());
        const QString window = entry->MainWindow ? QString::number(entry->MainWindow) : QString();
        SetResultVariable(key, ".WinHandle", window);
        // Processes have no handle here apart from their id.
        SetResultVariable(key, ".ProcessHandle", QString::number(entry->ProcessId));
        SetResultVariable(key, ".ProcessID", QString::number(entry->ProcessId));
    }
    registry_[entry->RunNumber] = std::move(entry);
    if (!poll_.isActive())
        poll_.start();
}

// ---- waiting and ending -----------------------------------------------------

void TProgramService::PumpFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms && !services_.Pump->ShuttingDown())
        services_.Pump->WaitForMessages(int(ms - clock.elapsed()), false);
}

TWindowId TProgramService::WaitForMainWindow(int64_t processId, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (true) {
        if (const TWindowId window = windows_->MainWindowOf(processId))
            return window;
        if (clock.elapsed() >= timeoutMs || !TVexProcessList::IsAlive(processId) || services_.Pump->ShuttingDown())
            return 0;
        PumpFor(50);
    }
}

void TProgramService::WaitForEnd(TApplicationForm& entry)
{
    if (windows_)
        windows_->HoldPage(true);
    while (entry.Process->state() != QProcess::NotRunning && !services_.Pump->ShuttingDown()) {
        services_.Pump->ProcessPendingMessages();
        if (!entry.Process->waitForFinished(0))
            services_.Pump->WaitForMessages(kWaitSliceMs, false);
    }
    if (windows_)
        windows_->HoldPage(false);
}

void TProgramService::Poll()
{
    std::vector<int> ended;
    for (const auto& [number, entry] : registry_) {
        const bool running = entry->Process ? entry->Process->state() != QProcess::NotRunning
                                            : TVexProcessList::IsAlive(entry->ProcessId);
        if (!running)
            ended.push_back(number);
    }
    for (const int number : ended) {
        auto node = registry_.extract(number);
        if (node.empty())
            continue;
        node.mapped()->TerminateOnClose = false;
        CloseEntry(*node.mapped());
    }
    if (registry_.empty())
        poll_.stop();
}

void TProgramService::CloseEveryProgram()
{
    poll_.stop();
    auto closing = std::move(registry_);
    registry_.clear();
    for (auto& [number, entry] : closing) {
        entry->EndAction.clear();
        CloseEntry(*entry);
    }
}

void TProgramService::EndProcess(TApplicationForm& entry)
{
    if (entry.Process) {
        if (entry.Process->state() == QProcess::NotRunning)
            return;
        entry.Process->terminate();
        if (!entry.Process->waitForFinished(kTerminateGraceMs)) {
            entry.Process->kill();
            entry.Process->waitForFinished(kTerminateGraceMs);
        }
        return;
    }
    if (!TVexProcessList::IsAlive(entry.ProcessId))
        return;
    ::kill(pid_t(entry.ProcessId), SIGTERM);
    QElapsedTimer clock;
    clock.start();
    while (TVexProcessList::IsAlive(entry.ProcessId) && clock.elapsed() < kTerminateGraceMs)
        PumpFor(20);
    if (TVexProcessList::IsAlive(entry.ProcessId))
        ::kill(pid_t(entry.ProcessId), SIGKILL);
}

void TProgramService::CloseEntry(TApplicationForm& entry)
{
    if (entry.TerminateOnClose)
        EndProcess(entry);
    if (!entry.ResultVariable.isEmpty()) {
        const QString& key = entry.ResultVariable;
        if (entry.Process)
            SetResultVariable(key, ".ExitCode", QString::number(entry.Process->exitCode()));
        SetVariable(QLatin1Char('[') + key + QLatin1Char(']'), QString());
        SetResultVariable(key, ".WinHandle", QString());
        SetResultVariable(key, ".ProcessHandle", QString());
        SetResultVariable(key, ".ProcessID", QString());
    }
    if (entry.Hosted && windows_)
        windows_->Release(entry.HostObject);
    if (!entry.EndAction.isEmpty() && postAction_)
        postAction_(entry.EndAction);
}

// ---- finding and controlling ------------------------------------------------

TApplicationForm* TProgramService::FindRegistered(const QString& fileName)
{
    for (auto& [number, entry] : registry_)
        if (!fileName.isEmpty() && entry->FileName.compare(fileName, Qt::CaseInsensitive) == 0)
            return entry.get();
    return nullptr;
}

TProgramService::TTarget TProgramService::FindApplication(const QString& name)
{
    const QString wanted = name.trimmed();
    TTarget target;
    if (AllDigits(wanted))
        if (const auto it = registry_.find(wanted.toInt()); it != registry_.end())
            target.entry = it->second.get();
    if (!target.entry)
        target.entry = FindRegistered(wanted);
    if (target.entry) {
        target.processId = target.entry->ProcessId;
        target.window = target.entry->MainWindow;
        target.found = true;
    } else if (!AllDigits(wanted) && !wanted.isEmpty()) {
        target.processId = TVexProcessList::FindByFileName(wanted);
        if (!target.processId && windows_)
            if ((target.window = windows_->FindWindowNamed(wanted)))
                target.processId = windows_->ProcessOf(target.window);
        target.found = target.processId || target.window;
    }
    if (target.found && !target.window && target.processId && windows_) {
        target.window = windows_->MainWindowOf(target.processId);
        if (target.entry)
            target.entry->MainWindow = target.window;
    }
    return target;
}

ServiceReply TProgramService::IsAppRunning(const ServiceCall& call)
{
    const TTarget target = FindApplication(call.Params.value(0));
    bool running = target.found;
    if (target.entry)
        running = target.entry->Process ? target.entry->Process->state() != QProcess::NotRunning
                                        : TVexProcessList::IsAlive(target.entry->ProcessId);
    ServiceReply reply = SucceededReply();
    reply.Results[2] = running ? QStringLiteral("True") : QStringLiteral("False");
    return reply;
}

ServiceReply TProgramService::CloseApp(const ServiceCall& call)
{
    const TTarget target = FindApplication(call.Params.value(0));
    if (!target.found)
        return CommandMessageReply(Message(msgAppNotFound));
    if (HasOption(call.Params.value(1), "RequestClose")) {
        const bool hosted = target.entry && target.entry->Hosted;
        if (!target.window || !windows_ || !windows_->RequestClose(target.window, !hosted))
            return CommandMessageReply(Message(msgNoMainWindow));
        return SucceededReply();
    }
    if (target.entry) {
        auto node = registry_.extract(target.entry->RunNumber);
        node.mapped()->TerminateOnClose = true;
        CloseEntry(*node.mapped());
        return SucceededReply();
    }
    TApplicationForm other;
    other.ProcessId = target.processId;
    EndProcess(other);
    return SucceededReply();
}

ServiceReply TProgramService::ControlWindow(const ServiceCall& call)
{
    if (!windows_)
        return next_ ? next_->Perform(call) : ServiceReply{};
    const QString application = call.Params.value(0).trimmed();
    if (Is(call, "SendKeys") && application.isEmpty())
        return windows_->SendKeysToPlayer(call.Params.value(1));
    TTarget target = FindApplication(application);
    const bool startsWhenMissing = Is(call, "SendKeys") || Is(call, "SendMenuCommand") || Is(call, "DropFile");
    if (!target.found && startsWhenMissing && !AllDigits(application)) {
        const ServiceReply started = Run({application, QString(), QStringLiteral("LoadComplete"), QString(), QString(), QString()});
        if (started.ActionError)
            return CommandMessageReply(Message(msgAppNotFound));
        target = FindApplication(application);
    }
    if (!target.found)
        return CommandMessageReply(Message(msgAppNotFound));
    if (!target.window)
        return CommandMessageReply(Message(msgNoMainWindow));
    ServiceReply reply = windows_->Control(call, target.window);
    if (!reply.LastError)
        reply.LastError = QString();
    return reply;
}

} // namespace tomeric
