#include "app/player_main.h"

#include "app/container_chooser.h"
#include "app/driver.h"
#include "app/player_help.h"
#include "app/player_options.h"
#include "app/screen_scale.h"
#include "app/single_instance.h"
#include "app/work_form.h"
#include "package/package.h"
#include "platform/string_table.h"

#ifdef TOMERIC_HAS_WEBENGINE
#include "browser/ruffle_flash_engine.h"
#include "browser/web_engine_browser.h"
#include "browser/web_engine_setup.h"
#endif

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTextStream>

#include <cstdio>
#include <iostream>

namespace tomeric {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitCannotOpen = 1;
constexpr int kExitUsage = 2;

const QString kPlayerTitle = QStringLiteral("Tomeric 5 Player");

bool NoDisplay()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

void PrintLine(const QString& line)
{
    static QTextStream out(stdout);
    out << line << '\n';
    out.flush();
}

void PrintError(const QString& text)
{
    std::cerr << "qxplay5: " << text.toStdString() << std::endl;
}

// A failure box, or its text on standard error when nobody can see a box.
// The box keeps the original's message and says in plain words what it
// means (`explanation`).
void ShowFailure(const QString& title, const QString& message, bool visible, const QString& explanation = {})
{
    QString shown = message;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (!visible) {
        PrintError(title + QStringLiteral(": ") + shown.simplified());
        return;
    }
    QMessageBox box(QMessageBox::Critical, title, shown);
    box.setInformativeText(explanation);
    box.addButton(Message(msgOk), QMessageBox::AcceptRole);
    box.exec();
}

// Where pages go when there is no display and no folder was named.
QString DefaultRenderFolder(const QString& container)
{
    return QDir::current().absoluteFilePath(QFileInfo(container).completeBaseName() + QStringLiteral("-pages"));
}

int RenderPages(TWorkForm& form, const QString& folder)
{
    QString error;
    const QStringList written = form.RenderPages(folder, &error);
    if (!error.isEmpty()) {
        PrintError(error);
        return kExitCannotOpen;
    }
    PrintLine(QStringLiteral("%1 pages drawn to %2").arg(written.size()).arg(QDir(folder).absolutePath()));
    return kExitOk;
}

std::optional<QStringList> ReadDriveScript(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

QStringList RawArguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// Without any display to connect to, the player draws off-screen instead
// of failing to start.
void UseOffscreenWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The directory's single-instance byte, read before anything is shown.
bool WantsSingleInstance(const QString& containerPath)
{
    TPackage package;
    const bool single = package.Open(containerPath) == kPackageOk && package.SingleInstance();
    package.Close(false);
    return single;
}

} // namespace

int RunPlayer(int argc, char** argv)
{
    // Options first: --help and usage errors need no display.
    TPlayerOptions options = ParsePlayerOptions(RawArguments(argc, argv));
    if (options.help) {
        std::cout << PlayerUsage().toStdString();
        return kExitOk;
    }
    if (!options.error.isEmpty()) {
        std::cerr << "qxplay5: " << options.error.toStdString() << "\n\n" << PlayerUsage().toStdString();
        return kExitUsage;
    }
    UseOffscreenWithoutDisplay();
    ApplyUserScale(options.scale);
#ifdef TOMERIC_HAS_WEBENGINE
    PrepareWebEngine();
#endif
    QApplication app(argc, argv);
    RestoreScaleEnvironment();
    app.setQuitOnLastWindowClosed(true);
    const bool driven = !options.driveScript.isEmpty();
    bool renderOnly = !options.renderPagesFolder.isEmpty();
    const bool visible = !NoDisplay() && !driven && !renderOnly;

    std::optional<QStringList> driveLines;
    if (driven && !(driveLines = ReadDriveScript(options.driveScript))) {
        PrintError(QStringLiteral("cannot read the driver script ") + options.driveScript);
        return kExitUsage;
    }

    TFormStart start;
    start.request = ReadStartRequest(options.publicationArguments);
    // Started from the desktop without a file: ask for one.
    if (!start.request.found && visible && options.publicationArguments.size() == 1) {
        const QString chosen = ChooseContainer();
        if (chosen.isEmpty())
            return kExitOk;
        start.request = ReadStartRequest({options.publicationArguments[0], QStringLiteral("/R"), chosen});
    }
    if (!start.request.found) {
        ShowFailure(kPlayerTitle, Message(msgNotAnApplication), visible, ExplainUnopenedContainer({}));
        return kExitCannotOpen;
    }
    // The password change and the preview in the display settings are
    // services of the Windows desktop; as a screen saver here, only the run
    // and configuration modes exist.
    const TScreenSaverMode saverMode = start.request.screenSaver.mode;
    if (saverMode == ssChangePassword || saverMode == ssPreview) {
        PrintError(saverMode == ssPreview
                       ? QStringLiteral("this desktop has no screen-saver preview; nothing to show")
                       : QStringLiteral("this desktop has no screen-saver password to change"));
        return kExitOk;
    }
    // A second copy of a single-instance publication hands its command line
    // to the first one and ends without a window.
    std::unique_ptr<TSingleInstance> single;
    if (!renderOnly && WantsSingleInstance(start.request.containerPath)) {
        single = std::make_unique<TSingleInstance>(SingleInstanceName(start.request.containerPath));
        if (single->HandOver(start.request.commandLineText))
            return kExitOk;
    }
    const bool drawInsteadOfShowing = NoDisplay() && !driven && !renderOnly;
    if (drawInsteadOfShowing) {
        renderOnly = true;
        options.renderPagesFolder = DefaultRenderFolder(start.request.containerPath);
    }
#ifdef TOMERIC_HAS_WEBENGINE
    // Pages drawn to files show browser objects with their notice.
    if (!renderOnly) {
        SetBrowserEngineFactory(CreateWebEngineBrowser);
        SetFlashEngineFactory(CreateRuffleFlashEngine);
    }
#endif
    start.fast = options.fast || renderOnly;
    start.driven = driven;
    start.renderOnly = renderOnly;
    start.printToFolder = options.printToFolder;
    start.presentation = options.presentation;
    start.lineSink = PrintLine;

    TWorkForm form(start);
    if (driveLines)
        for (const QString& answer : TakeLeadingAnswers(*driveLines))
            form.Dialogs().QueueAnswer(answer);
    switch (form.FormCreate()) {
    case TCreateOutcome::coFailed:
        ShowFailure(form.FailureTitle(), form.FailureText(), visible,
                    ExplainUnopenedContainer(start.request.containerPath));
        return kExitCannotOpen;
    case TCreateOutcome::coRefused:
        return kExitOk;
    case TCreateOutcome::coStarted:
        break;
    }
    if (drawInsteadOfShowing)
        PrintLine(QStringLiteral("qxplay5: no display; drawing the pages instead of showing them"));
    if (renderOnly)
        return RenderPages(form, options.renderPagesFolder);

    if (single && !drawInsteadOfShowing)
        single->Listen([&form](const QString& text) { form.CommandLineChanged(text); });
    if (driven) {
        auto* driver = new TDriver(form, *driveLines, PrintError);
        // Only the first publication starts the driver; one run in the same
        // window afterwards does not start it again.
        QObject::connect(&form, &TWorkForm::FirstPaintFinished, driver, &TDriver::Start,
                         Qt::SingleShotConnection);
    }
    form.ShowForm();
    return app.exec();
}

} // namespace tomeric
