// Closing the publication: the close query (exit password, SHUTDOWNACTION),
// FormClose (timers stopped) and FormDestroy (variables cleared, package
// closed with its extracted files deleted).

#include "app/work_form.h"

#include "actions/action_eval.h"
#include "package/package.h"
#include "vars/builtin_vars.h"
#include "vars/variables.h"

#include <tomeric/plugin.h>

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>

#include <algorithm>

namespace tomeric {

namespace {

QString SourceWord(TCloseSource source)
{
    switch (source) {
    case TCloseSource::csTomeric: return QStringLiteral("Tomeric");
    case TCloseSource::csCloseButton: return QStringLiteral("CloseButton");
    default: return QStringLiteral("Windows");
    }
}

} // namespace

bool TWorkForm::RequestClose(TCloseSource source)
{
    if (phase_ >= TFormPhase::fpClosed)
        return true;
    pendingSource_ = source;
    return close();
}

void TWorkForm::closeEvent(QCloseEvent* event)
{
    // A close from the window system counts as the close button.
    const TCloseSource source = event->spontaneous() ? TCloseSource::csCloseButton : pendingSource_;
    pendingSource_ = TCloseSource::csWindows;
    const bool closed = phase_ >= TFormPhase::fpClosed;
    if (closed || source == TCloseSource::csForced || FormCloseQuery(source)) {
        if (!closed)
            FormClose();
        event->accept();
        return;
    }
    event->ignore();
}

bool TWorkForm::FormCloseQuery(TCloseSource source, bool keepWindows)
{
    const TPublicationSettings& s = publication_.settings;
    if (!s.exitPassword.isEmpty() && services_->Dialogs().AskPassword(s.exitPassword) != kPasswordMatched)
        return false;
    if (!RunShutdownAction(source))
        return false;
    // The publication closes: its slide show stops, the floating windows
    // close (or stay for the next publication), the current page's exit
    // action runs, and no script runs after it.
    if (keepWindows)
        FloatingWindows().KeepForNextPublication();
    else
        FloatingWindows().CloseAll();
    services_->Pages().Shutdown();
    phase_ = std::max(phase_, TFormPhase::fpShuttingDown);
    NotifyPlugIns(QX_MSG_CLOSING);
    return true;
}

bool TWorkForm::RunShutdownAction(TCloseSource source)
{
    const QString& action = publication_.settings.shutdownAction;
    if (action.isEmpty() || ShuttingDown())
        return true;
    SetVariable(QStringLiteral("ShutdownStatus"), QStringLiteral("TRUE"));
    SetVariable(QStringLiteral("ShutdownSource"), SourceWord(source));
    RunScript(action, QStringLiteral("SHUTDOWNACTION"), skShutdown);
    const bool allowed =
        GetVariable(QStringLiteral("ShutdownStatus")).compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0;
    SetVariable(QStringLiteral("ShutdownStatus"), QString());
    SetVariable(QStringLiteral("ShutdownSource"), QString());
    return allowed;
}

void TWorkForm::FormClose()
{
    const bool shown = isVisible();
    phase_ = TFormPhase::fpClosed;
    if (shown)
        window_.SaveWindowPosition();
    timers_.Stop();
    services_->Media().StopEverything();
    services_->Programs().CloseEveryProgram();
    systemModes_.Leave();
    // A forced close skipped the close query: the windows go now, without
    // their scripts. Another publication may keep them.
    if (!chain_.InProgress()) {
        FloatingWindows().CloseAll();
        UnlinkDebugger();
    }
}

void TWorkForm::FormDestroy()
{
    if (phase_ == TFormPhase::fpDestroyed)
        return;
    if (phase_ < TFormPhase::fpClosed)
        FormClose();
    phase_ = TFormPhase::fpDestroyed;
    ReleasePublication(true);
}

// What FormDestroy frees, also when another publication follows in this
// window (the variables then survive unless CLEARVARS was given).
void TWorkForm::ReleasePublication(bool clearVariables)
{
    qApp->removeEventFilter(this);
    observer_.reset();
    SetBuiltinHost(nullptr);
    builtinHost_.reset();
    services_->Pages().SetView(nullptr);
    pageView_.reset();
    ReleasePageObjects();
    if (clearVariables)
        ClearVariableStore();
    UnloadPlugIns();
    SetPlugInHost(nullptr);
    pictures_.Clear();
    systemModes_.Release();
    for (int id : fontIds_)
        QFontDatabase::removeApplicationFont(id);
    fontIds_.clear();
    if (packageOpen_)
        ClosePackage(true);
    packageOpen_ = false;
}

} // namespace tomeric
