// tomeric-script: runs an action script without any window.
//
//   tomeric-script [--pub CONTAINER | --pubtext FILE] [--start] [--answer TEXT]... [--vars OUT] FILE
//
// Dialogs and every other call to the world outside the script print one
// line each on standard output (formats in actions/headless_services.h);
// dialogs take their answers from the --answer options in order.

#include "actions/script_session.h"
#include "extensions/function_loader.h"
#include "extensions/debugger_link.h"
#include "extensions/plugins.h"
#include "platform/string_table.h"
#include "package/package.h"
#include "actions/action_eval.h"
#include "services/internet_service.h"
#include "services/program_service.h"
#include "platform/cp1252.h"
#ifdef TOMERIC_HAVE_SCRIPTING
#include "scripting/script_host.h"
#endif

#include <QCoreApplication>
#include <QTimer>
#include <QFile>
#include <QTextStream>

#include <tomeric/plugin.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "Usage: tomeric-script [--pub CONTAINER | --pubtext FILE | --subroutines FILE]\n"
    "                      [--start] [--answer TEXT]... [--vars OUT] FILE\n"
    "\n"
    "Runs the action script FILE (UTF-8; \"-\" reads standard input) as one script,\n"
    "without any window.\n"
    "\n"
    "  --pub CONTAINER  run inside the publication of CONTAINER: its settings, pages,\n"
    "                   subroutines and included files apply (its start-up script\n"
    "                   does not run). Without it: an empty publication with one page\n"
    "                   whose folder ([PubDir]) is the current folder.\n"    "                   Its plug-ins load, and a preview package runs under its\n"
    "                   debugger, as in the player.\n"
    "  --pubtext FILE   run inside the publication of a publication text FILE\n"
    "                   (the RUNTIME.PUB format) without a container.\n"
    "  --start          enter the start page first, as the player does when it\n"
    "                   shows the publication: STARTUPACTION, then the page's\n"
    "                   enter action. Without it the script starts on the start\n"
    "                   page and STARTUPACTION never runs.\n"
    "  --answer TEXT    the next answer a dialog or menu receives (repeatable):\n"
    "                   MessageBox and menus a number, InputBox the text, file and\n"
    "                   folder boxes the path. With none left a dialog is cancelled.\n"
    "  --subroutines FILE  without a container: the publication's subroutines (the\n"
    "                   labels GoSub finds) are the text of FILE (UTF-8).\n"
    "  --vars OUT       at the end, write every global variable as key=value lines\n"
    "                   (the SaveVariables format, Windows-1252) to OUT\n"
    "                   (\"-\": standard output, in UTF-8).\n"
    "  --help           show this text.\n"
    "\n"
    "Output, one line per event:\n"
    "  DIALOG <Command> \"p1\" \"p2\" ...   a dialog (AlertBox, MessageBox, InputBox,\n"
    "                                    FileOpenBox, FileSaveBox, FolderBox)\n"
    "  ERROR \"text\"                      the error box ([LastError] while ShowErrors is on)\n"
    "  POPUP <Kind> \"p1\" ...             a pop-up, which returns at once: Balloon \"text\"\n"
    "                                    \"x\" \"y\" \"time\", StickyNote \"x\" \"y\" \"text\" \"time\",\n"
    "                                    PopUpImage \"x\" \"y\" \"picture\" \"time\" \"transition\"\n"
    "                                    \"options\", Menu \"items\" (Menu and MenuEx; they take\n"
    "                                    the next --answer: the item number, none = 0)\n"
    "  CALL <Command> \"p1\" \"p2\" ...     any other command the player would carry out\n"
    "                                    (InternetLink too; HTTP and SendMail run for real,\n"
    "                                    and so do Run, DOSCommand, ExecuteAddOn,\n"
    "                                    IsAppRunning and CloseApp; the commands on other\n"
    "                                    programs' windows print CALL lines)\n"
    "  RUN <SCRIPT> \"page\"             a page script starts: PAGECHANGEACTION \"target\",\n"
    "                                    PGEXITACTION, STARTUPACTION, PGENTERACTION,\n"
    "                                    SUBROUTINE \"name\" (end of a slide show)\n"
    "  PAGE <n> \"name\"                 the page shown after a page change\n"
    "Inside quotes a double quote is [#34], CR [#13], LF [#10].\n"
    "\n"
    "Exit status: 0 when the script ran (its errors are its own), 2 for bad usage\n"
    "or a container that cannot be opened.\n";

struct Options {
    QString container;
    QString publicationText;
    bool start = false;
    QStringList answers;
    QString subroutinesFile;
    std::optional<QString> varsOut;
    QString scriptFile;
};

int UsageError(const QString& message)
{
    std::cerr << "tomeric-script: " << message.toStdString() << "\n\n" << kUsage;
    return kExitUsage;
}

// Parses the arguments; returns an exit code when the program should stop.
std::optional<int> ParseArguments(const QStringList& args, Options& options)
{
    bool haveFile = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::cout << kUsage;
            return kExitOk;
        }
        if (arg == QLatin1String("--start")) {
            options.start = true;
            continue;
        }
        if (arg == QLatin1String("--pub") || arg == QLatin1String("--answer") || arg == QLatin1String("--vars") ||
            arg == QLatin1String("--subroutines") || arg == QLatin1String("--pubtext")) {
            const auto v = value();
            if (!v)
                return UsageError(arg + QStringLiteral(" needs a value"));
            if (arg == QLatin1String("--pub"))
                options.container = *v;
            else if (arg == QLatin1String("--answer"))
                options.answers.append(*v);
            else if (arg == QLatin1String("--pubtext"))
                options.publicationText = *v;
            else if (arg == QLatin1String("--subroutines"))
                options.subroutinesFile = *v;
            else
                options.varsOut = *v;
            continue;
        }
        if (arg.startsWith(QLatin1String("--")))
            return UsageError(QStringLiteral("unknown option ") + arg);
        if (haveFile)
            return UsageError(QStringLiteral("only one script file may be given"));
        options.scriptFile = arg;
        haveFile = true;
    }
    if (!haveFile)
        return UsageError(QStringLiteral("no script file given"));
    return std::nullopt;
}

std::optional<QString> ReadScript(const QString& name)
{
    QFile file;
    const bool ok = name == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                               : (file.setFileName(name), file.open(QIODevice::ReadOnly));
    if (!ok)
        return std::nullopt;
    return QString::fromUtf8(file.readAll());
}

bool WriteVariables(const QString& out)
{
    // A file is a variable file LoadVariables reads back (Windows-1252);
    // standard output carries UTF-8 like the event lines before it.
    const QByteArray text = tomeric::ScriptSession::GlobalVariablesText();
    if (out == QLatin1String("-")) {
        const QByteArray utf8 = tomeric::DecodeWindows1252(text).toUtf8();
        std::fflush(stdout);
        return std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stdout) == size_t(utf8.size());
    }
    QFile file(out);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Options options;
    if (const auto exitCode = ParseArguments(QCoreApplication::arguments(), options))
        return *exitCode;

    const auto script = ReadScript(options.scriptFile);
    if (!script)
        return UsageError(QStringLiteral("cannot read ") + options.scriptFile);

    QTextStream out(stdout);
    // The composition root: the headless services print every outside call;
    // Call runs user functions as in the player.
    tomeric::ScriptSession session([&out](const QString& line) {
        out << line << '\n';
        out.flush();
    });
    tomeric::TUserFunctions userFunctions;
    session.Services().All().Functions = &userFunctions;
#ifdef TOMERIC_HAVE_SCRIPTING
    tomeric::InstallScriptFunctions();
#endif
    // Transfers run for real; a link is only printed (no browser opens
    // from a headless run).
    tomeric::TInternetService internet(session.Services().All(), [&out](const QString& url) -> std::optional<QString> {
        out << tomeric::EventLine(QStringLiteral("CALL"), QStringLiteral("InternetLink"), {url}) << '\n';
        out.flush();
        return std::nullopt;
    }, &session.Services());
    session.Services().All().Internet = &internet;
    // Programs run for real; their end actions run when the script lets
    // messages through (Delay, waits). Window commands print CALL lines.
    tomeric::Services& all = session.Services().All();
    tomeric::TProgramService programs(all, [&all](const QString& text) {
        QTimer::singleShot(0, [&all, text] { tomeric::RunActionText(all, text, QStringLiteral("Run"), 0, 0); });
    }, &session.Services());
    all.Programs = &programs;
    if (!options.container.isEmpty() && !options.publicationText.isEmpty())
        return UsageError(QStringLiteral("--pub and --pubtext cannot be used together"));
    if (!options.publicationText.isEmpty()) {
        QString error;
        if (!session.OpenPublicationText(options.publicationText, &error)) {
            std::cerr << "tomeric-script: " << error.toStdString() << "\n";
            return kExitUsage;
        }
    } else if (options.container.isEmpty()) {
        session.UseEmptyPublication();
    } else {
        QString error;
        if (!session.OpenContainer(options.container, &error)) {
            std::cerr << "tomeric-script: " << error.toStdString() << "\n";
            return kExitUsage;
        }
    }
    if (!options.subroutinesFile.isEmpty()) {
        const auto subroutines = ReadScript(options.subroutinesFile);
        if (!subroutines)
            return UsageError(QStringLiteral("cannot read ") + options.subroutinesFile);
        session.Services().subroutineText = *subroutines;
    }
    for (const QString& answer : options.answers)
        session.AddAnswer(answer);

    // A container's plug-ins load as in the player and hear the same
    // messages: started, each page change, closing.
    tomeric::TPlugInHost plugInHost;
    plugInHost.services = &session.Services().All();
    plugInHost.pages = &session.Pages();
    plugInHost.title = QStringLiteral("Tomeric 5 Player");
    tomeric::SetPlugInHost(&plugInHost);
    if (!options.container.isEmpty()) {
        session.Pages().SetPlugInNotifier([](int message, int parameter) { tomeric::NotifyPlugIns(message, parameter); });
        tomeric::LoadPlugIns(tomeric::CurrentPackage().PreparePlugInFiles());
        tomeric::NotifyPlugIns(QX_MSG_LOADED); // the settings were applied before the plug-ins loaded
        tomeric::NotifyPlugIns(QX_MSG_STARTED);
    }

    // A preview package that names a debugger folder runs under that
    // debugger, as in the player.
    std::unique_ptr<tomeric::TDebuggerLibrary> debugger;
    const tomeric::TPackage& package = tomeric::CurrentPackage();
    if (!options.container.isEmpty() && package.IsPreview() && !package.DebuggerFolder().isEmpty()) {
        debugger = tomeric::TDebuggerLibrary::Link(package.DebuggerFolder(), package.PreviewMode(), nullptr);
        if (!debugger) {
            session.Services().AlertBox(plugInHost.title, tomeric::Message(tomeric::msgDebuggerNotStarted));
            return kExitUsage;
        }
        session.Services().All().Debugger = debugger.get();
    }

    if (options.start)
        session.StartPublication();
    session.Run(*script);
    out.flush();

    const bool varsWritten = !options.varsOut || WriteVariables(*options.varsOut);
    tomeric::NotifyPlugIns(QX_MSG_CLOSING);
    session.Services().All().Debugger = nullptr;
    debugger.reset();
    tomeric::UnloadPlugIns();
    tomeric::SetPlugInHost(nullptr);
    if (!varsWritten) {
        std::cerr << "tomeric-script: cannot write " << options.varsOut->toStdString() << "\n";
        return kExitUsage;
    }
    return kExitOk;
}
