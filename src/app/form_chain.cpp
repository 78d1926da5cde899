// Running another publication in this window (RunTomeric), the command line
// handed over by a second copy, and action requests posted to the window.
//
// RunTomeric closes the current publication through the usual close query
// and opens the new container in the same process and window. The switch
// happens from the event loop once the calling script has returned: the
// pages and scripts of the old publication are freed by it, so nothing of
// theirs may still be running.

#include "app/work_form.h"

#include "actions/action_eval.h"
#include "actions/command_table.h"
#include "package/command_line.h"
#include "package/package.h"
#include "vars/builtin_vars.h"
#include "vars/variables.h"

#include <QApplication>
#include <QFileInfo>
#include <QScrollArea>
#include <QTimer>

#include <iostream>

namespace tomeric {

namespace {

const QString kFileNotFound = QStringLiteral("Fichier introuvable !");
const QString kCommandLineHandler = QStringLiteral("CommandLine_OnChange");
constexpr uint8_t kSubroutineRequest = ':';
constexpr int kChainRetryMs = 10;

bool HasOption(const QString& options, const char* word)
{
    return options.contains(QLatin1String(word), Qt::CaseInsensitive);
}

// Plug-in command groups belong to the publication that loaded them; the
// new one starts from the built-in commands alone.
void RebuildCommandTable()
{
    TCommandTable& table = CommandTable();
    std::vector<TCommandGroup*> added;
    for (const auto& group : table.Groups())
        if (group.get() != table.BuiltinGroup())
            added.push_back(group.get());
    for (TCommandGroup* group : added)
        table.RemoveGroup(group);
}

} // namespace

TChainOptions ParseChainOptions(const QString& options, int windowStyle)
{
    TChainOptions chain;
    chain.fullScreen = windowStyle == 1 || windowStyle == 3;
    chain.clearVariables = HasOption(options, "CLEARVARS");
    chain.closeWindows = HasOption(options, "CLOSEWINDOWS");
    return chain;
}

ServiceReply TWorkForm::RunTomeric(const QString& file, const QString& options)
{
    ServiceReply reply;
    reply.LastError = QString();
    const QString containerFolder = QFileInfo(start_.request.containerPath).absolutePath();
    const QString found = LocatePublicationFile(file, containerFolder);
    if (found.isEmpty()) {
        reply.LastError = kFileNotFound;
        return reply;
    }
    const TChainOptions chain = ParseChainOptions(options, publication_.settings.windowStyle);
    QTimer::singleShot(0, this, [this, found, chain] { ChainWhenIdle(found, chain); });
    return reply;
}

void TWorkForm::ChainWhenIdle(const QString& container, TChainOptions options)
{
    // A script that waits pumps the event loop: the switch waits for it.
    if (Runs().Depth > 0) {
        QTimer::singleShot(kChainRetryMs, this, [this, container, options] { ChainWhenIdle(container, options); });
        return;
    }
    ChainTo(container, options);
}

void TWorkForm::ChainTo(const QString& container, TChainOptions options)
{
    if (closing_ || destroyed_)
        return;
    chaining_ = true;
    chain_ = options;
    if (!FormCloseQuery(TCloseSource::csTomeric)) {
        chaining_ = false; // refused: the publication goes on
        return;
    }
    FormClose();
    if (!chain_.fullScreen && area_)
        area_->hide();
    pageList_->Clear();
    ReleasePublication(chain_.clearVariables);
    CurrentPackage().ForgetImages();
    RebuildCommandTable();
    ResetRunFlags();
    start_.request.containerPath = container;
    const TCreateOutcome outcome = FormCreate();
    if (outcome != TCreateOutcome::coStarted) {
        chaining_ = false;
        if (outcome == TCreateOutcome::coFailed)
            std::cerr << "qxplay5: " << failureTitle_.toStdString() << ": "
                      << QString(failureText_).replace(QLatin1Char('\r'), QLatin1Char(' ')).simplified().toStdString()
                      << std::endl;
        ForceClose();
        QCoreApplication::exit(outcome == TCreateOutcome::coFailed ? 1 : 0);
        return;
    }
    // The window is already up: showing it again raises no show event, so
    // the first paint runs here.
    ShowForm();
    firstPaintPending_ = false;
    FirstPaint();
    chaining_ = false;
}

void TWorkForm::ResetRunFlags()
{
    closing_ = false;
    shuttingDown_ = false;
    forceClose_ = false;
    firstPaintPending_ = false;
    firstPaintDone_ = false;
    pendingSource_ = TCloseSource::csWindows;
}

// ---- requests from outside the running script ------------------------------------

void TWorkForm::PostActionRequest(const QString& text, uint8_t kind, uint8_t flags)
{
    if (text.isEmpty())
        return;
    QTimer::singleShot(0, this, [this, text, kind, flags] { RunActionRequest(text, kind, flags); });
}

void TWorkForm::RunActionRequest(const QString& text, uint8_t kind, uint8_t flags)
{
    if (shuttingDown_ || closing_)
        return;
    if (kind != kSubroutineRequest) {
        RunActionText(services_, text, QStringLiteral("Request"), flags, kind);
        return;
    }
    // A global subroutine, run from its label as GoSub would.
    TActionEval subroutine(services_, publication_.settings.subroutineAction, flags, kSubroutineRequest, dtScript,
                           text);
    const int label = subroutine.FindLabel(text);
    if (label > 0)
        subroutine.RunFrom(label);
}

void TWorkForm::CommandLineChanged(const QString& text)
{
    // The running copy comes to the front with the second copy's arguments.
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    CurrentPublicationFacts().commandLineText = text;
    start_.request.commandLineText = text;
    if (publication_.HasSubroutine(kCommandLineHandler))
        PostActionRequest(kCommandLineHandler, kSubroutineRequest, 0);
}

} // namespace tomeric
