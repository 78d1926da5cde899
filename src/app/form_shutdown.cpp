// Closing the publication: the close query (exit password, SHUTDOWNACTION),
// FormClose (timers stopped) and FormDestroy (variables cleared, package
// closed with its extracted files deleted).

#include "app/work_form.h"

#include "package/package.h"
#include "vars/builtin_vars.h"
#include "vars/variables.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>

namespace tomeric {

namespace {

constexpr uint8_t kShutdownSourceKind = 53;

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
    if (closing_)
        return true;
    pendingSource_ = source;
    return close();
}

void TWorkForm::ForceClose()
{
    forceClose_ = true;
    close();
}

void TWorkForm::closeEvent(QCloseEvent* event)
{
    // A close from the window system counts as the close button.
    const TCloseSource source = event->spontaneous() ? TCloseSource::csCloseButton : pendingSource_;
    pendingSource_ = TCloseSource::csWindows;
    if (closing_ || forceClose_ || FormCloseQuery(source)) {
        if (!closing_)
            FormClose();
        event->accept();
        return;
    }
    event->ignore();
}

bool TWorkForm::FormCloseQuery(TCloseSource source)
{
    const TPublicationSettings& s = publication_.settings;
    if (!s.exitPassword.isEmpty() && dialogs_.AskPassword(s.exitPassword) != kPasswordMatched)
        return false;
    if (!RunShutdownAction(source))
        return false;
    // The publication closes: its slide show stops, the current page's exit
    // action runs, and no script runs after it.
    pageList_->Shutdown();
    shuttingDown_ = true;
    return true;
}

bool TWorkForm::RunShutdownAction(TCloseSource source)
{
    const QString& action = publication_.settings.shutdownAction;
    if (action.isEmpty() || shuttingDown_)
        return true;
    SetVariable(QStringLiteral("ShutdownStatus"), QStringLiteral("TRUE"));
    SetVariable(QStringLiteral("ShutdownSource"), SourceWord(source));
    RunScript(action, QStringLiteral("SHUTDOWNACTION"), kShutdownSourceKind);
    const bool allowed =
        GetVariable(QStringLiteral("ShutdownStatus")).compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0;
    SetVariable(QStringLiteral("ShutdownStatus"), QString());
    SetVariable(QStringLiteral("ShutdownSource"), QString());
    return allowed;
}

void TWorkForm::FormClose()
{
    closing_ = true;
    shuttingDown_ = true;
    if (firstPaintDone_)
        SaveWindowPosition();
    updateTimer_.stop();
    idleTimer_.stop();
    LeaveSystemModes();
}

void TWorkForm::FormDestroy()
{
    if (destroyed_)
        return;
    destroyed_ = true;
    if (!closing_)
        FormClose();
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
    if (pageList_)
        pageList_->SetView(nullptr);
    pageView_.reset();
    ReleasePageObjects();
    if (clearVariables)
        ResetVariableStore();
    pictures_.Clear();
    tray_.reset();
    for (int id : fontIds_)
        QFontDatabase::removeApplicationFont(id);
    fontIds_.clear();
    if (packageOpen_)
        ClosePackage(true);
    packageOpen_ = false;
}

} // namespace tomeric
