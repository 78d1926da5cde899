// The main window's side of running another publication in it (the chain
// itself is TPublicationChain), the command line handed over by a second
// copy, and action requests posted to the window.

#include "app/work_form.h"

#include "actions/action_eval.h"
#include "package/package.h"
#include "vars/builtin_vars.h"

#include <QApplication>
#include <QScrollArea>
#include <QTimer>

#include <iostream>

namespace tomeric {

namespace {

const QString kCommandLineHandler = QStringLiteral("CommandLine_OnChange");
constexpr uint8_t kSubroutineRequest = ':';

} // namespace

ServiceReply TWorkForm::RunTomeric(const QString& file, const QString& options)
{
    return chain_.RunTomeric(file, options, start_.request.containerPath, publication_.settings.windowStyle);
}

bool TWorkForm::CloseForChain(const TChainOptions& options)
{
    if (phase_ >= TFormPhase::fpClosed)
        return false;
    if (!FormCloseQuery(TCloseSource::csTomeric, !options.closeWindows))
        return false; // refused: the publication goes on
    FormClose();
    if (!options.fullScreen && area_)
        area_->hide();
    services_->Pages().Clear();
    ReleasePublication(options.clearVariables);
    CurrentPackage().ForgetImages();
    pendingSource_ = TCloseSource::csWindows;
    return true;
}

void TWorkForm::OpenFromChain(const QString& container)
{
    start_.request.containerPath = container;
    const TCreateOutcome outcome = FormCreate();
    if (outcome != TCreateOutcome::coStarted) {
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
    FirstPaint();
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
    if (ShuttingDown())
        return;
    if (kind != kSubroutineRequest) {
        RunActionText(services_->All(), text, QStringLiteral("Request"), flags, kind);
        return;
    }
    // A global subroutine, run from its label as GoSub would.
    TActionEval subroutine(services_->All(), publication_.settings.subroutineAction, flags, kSubroutineRequest, dtScript,
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
