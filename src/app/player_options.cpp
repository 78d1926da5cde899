#include "app/player_options.h"

#include "package/command_line.h"

namespace tomeric {

const char* const kPlayerUsage =
    "Usage: qxplay5 [/R] CONTAINER [/B] [/Kpage] [--drive FILE] [--fast] [--print-to DIR]\n"
    "       qxplay5 [/R] CONTAINER --render-pages DIR\n"
    "\n"
    "Plays the Tomeric publication in CONTAINER (a compiled publication or a\n"
    "package made with tomeric-pack).\n"
    "\n"
    "  /B                 print without asking for a printer (BYPASSPRINTDLG=Yes)\n"
    "  /Kpage             start at the page of that name\n"
    "  --drive FILE       run the driver script FILE (one verb a line, see below),\n"
    "                     then close the publication. Dialogs print one line each on\n"
    "                     standard output and take the answers the script queues.\n"
    "  --fast             transitions show their last picture at once, the splash\n"
    "                     screen does not wait\n"
    "  --render-pages DIR show no window: draw every page, entered without actions,\n"
    "                     to DIR/NNN-<page name>.png and print where\n"
    "  --print-to DIR     every print job becomes DIR/NNN-<title>.pdf (NNN counts the\n"
    "                     jobs from 001), without a print dialog\n"
    "  --help             show this text\n"
    "\n"
    "Without a display (QT_QPA_PLATFORM=offscreen) and without --drive, the pages\n"
    "are drawn to a folder as with --render-pages.\n"
    "Where the system has no printer, print jobs become PDF files in the documents\n"
    "folder ([MyDocuments]).\n"
    "\n"
    "Driver verbs (one a line; blank lines and lines starting with # are ignored):\n"
    "  wait MS            let the publication run for MS milliseconds\n"
    "  click NAME | rclick NAME | dblclick NAME | hover NAME\n"
    "                     mouse on the centre of the named object of a page shown in\n"
    "                     a custom window or of the current page, or on a control of\n"
    "                     another open window (ProgressCancel); popup@X,Y: that\n"
    "                     point of the open pop-up (also for press and release)\n"
    "  key KEY            Esc, Enter, PgUp, PgDn, Home, End, Up, Down, Left, Right,\n"
    "                     F1..F12, Tab, Space, Pause or a letter, with optional\n"
    "                     Ctrl+, Shift+, Alt+ in front\n"
    "  type TEXT          type the text into the focused control\n"
    "  answer VALUE       queue the answer of the next dialog, Menu or MenuEx\n"
    "  run ACTION LINE    run one line of the action language\n"
    "  vars FILE          write every global variable to FILE (SaveVariables format)\n"
    "  screenshot FILE    save the publication area as a PNG picture, with the open\n"
    "                     pop-ups and other windows of the player over it\n"
    "  windowshot NAME FILE  save the floating window NAME (its file or page name)\n"
    "                     as a PNG picture\n"
    "  closewindow NAME   close the floating window NAME as its close button does\n"
    "  media FILE         write what plays in the open-media list, one item a line\n"
    "  quit               close the publication (through the close query)\n"
    "\n"
    "While a pop-up waits, key and type reach it through its rules (Esc cancels,\n"
    "Enter confirms), a click outside it cancels it without reaching the object,\n"
    "and the pop-up prints one POPUP line when it opens.\n"
    "\n"
    "Exit status: 0 after a normal run, 1 when the publication cannot be opened,\n"
    "2 for bad usage.\n";

namespace {

// Where an option that takes a value keeps it; null for any other argument.
QString* ValueOption(TPlayerOptions& options, const QString& arg)
{
    if (arg == QLatin1String("--drive"))
        return &options.driveScript;
    if (arg == QLatin1String("--render-pages"))
        return &options.renderPagesFolder;
    if (arg == QLatin1String("--print-to"))
        return &options.printToFolder;
    return nullptr;
}

} // namespace

TPlayerOptions ParsePlayerOptions(const QStringList& arguments)
{
    TPlayerOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (i > 0 && (arg == QLatin1String("--help") || arg == QLatin1String("-h"))) {
            options.help = true;
        } else if (i > 0 && arg == QLatin1String("--fast")) {
            options.fast = true;
        } else if (QString* value = i > 0 ? ValueOption(options, arg) : nullptr) {
            if (!hasValue) {
                options.error = arg + QStringLiteral(" needs a value");
                return options;
            }
            *value = arguments[++i];
        } else if (i > 0 && arg.startsWith(QLatin1String("--"))) {
            options.error = QStringLiteral("unknown option ") + arg;
            return options;
        } else {
            options.publicationArguments.append(arg);
        }
    }
    if (!options.driveScript.isEmpty() && !options.renderPagesFolder.isEmpty())
        options.error = QStringLiteral("--drive and --render-pages cannot be combined");
    return options;
}

TStartRequest ReadStartRequest(const QStringList& publicationArguments)
{
    TStartRequest request;
    const TContainerChoice choice = DiscoverContainer(publicationArguments);
    request.found = choice.found;
    request.containerPath = choice.containerPath;
    request.containerFromArguments = choice.fromArguments;
    request.commandLineText = CommandLineText(publicationArguments, choice.firstTextArgument);
    request.commandLineVariable =
        CommandLineVariable(publicationArguments.value(0), request.commandLineText);
    request.bypassPrintDialog = BypassPrintDialogSwitch(publicationArguments, choice.firstTextArgument);
    request.startPageName = StartPageSwitch(publicationArguments, choice.firstTextArgument);
    request.screenSaver = ParseScreenSaverArguments(publicationArguments);
    return request;
}

} // namespace tomeric
