#include "app/player_help.h"

#include <QStringList>

namespace tomeric {

namespace {

constexpr int kDescriptionColumn = 21;

const std::vector<THelpRow>& OptionRows()
{
    static const std::vector<THelpRow> rows = {
        {"/B", "print without asking for a printer (BYPASSPRINTDLG=Yes)"},
        {"/Kpage", "start at the page of that name"},
        {"--fullscreen", "fill the screen: the page area is scaled to fit and the\n"
                         "rest is the publication's background colour (F11\n"
                         "switches too)"},
        {"--windowed", "an ordinary window, even for a full-screen or shaped\n"
                       "publication (to try a kiosk publication out)"},
        {"--scale N", "show the publication N times its size (2, 1.5...), on top\n"
                      "of the desktop's own scale; whole numbers stay sharp"},
        {"--drive FILE", "run the driver script FILE (one verb a line, see below),\n"
                         "then close the publication. Dialogs print one line each on\n"
                         "standard output and take the answers the script queues."},
        {"--fast", "transitions show their last picture at once, the splash\n"
                   "screen does not wait"},
        {"--render-pages DIR", "show no window: draw every page, entered without actions,\n"
                               "to DIR/NNN-<page name>.png and print where"},
        {"--print-to DIR", "every print job becomes DIR/NNN-<title>.pdf (NNN counts the\n"
                           "jobs from 001), without a print dialog"},
        {"--help", "show this text"},
    };
    return rows;
}

// Rows with the synopsis on the left and the description from a fixed
// column, a long synopsis on a line of its own.
QString FormatRows(const std::vector<THelpRow>& rows)
{
    QString text;
    const QString indent(kDescriptionColumn, QLatin1Char(' '));
    for (const THelpRow& row : rows) {
        QString line = QStringLiteral("  ") + QString::fromUtf8(row.synopsis);
        if (line.size() >= kDescriptionColumn)
            line += QLatin1Char('\n') + indent;
        else
            line = line.leftJustified(kDescriptionColumn, QLatin1Char(' '));
        const QStringList description = QString::fromUtf8(row.description).split(QLatin1Char('\n'));
        text += line + description.join(QLatin1Char('\n') + indent) + QLatin1Char('\n');
    }
    return text;
}

} // namespace

const std::vector<THelpRow>& DriverVerbRows()
{
    static const std::vector<THelpRow> rows = {
        {"wait MS", "let the publication run for MS milliseconds"},
        {"waitfor NAME [MS]", "let it run until the object or control NAME is shown\n"
                              "(at most MS milliseconds, 10000 when not given)"},
        {"click SPOT | rclick SPOT | dblclick SPOT | hover SPOT",
         "mouse on that object of the current page (inside groups\n"
         "and containers too; pages shown in custom windows first),\n"
         "or on a control of another open window (ProgressCancel).\n"
         "SPOT NAME: the object's centre, or a point inside a shaped\n"
         "object's shape; NAME@X,Y: that point of the object's\n"
         "rectangle, reaching what a real pointer there would;\n"
         "popup@X,Y: that point of the open pop-up (also for press\n"
         "and release)"},
        {"drag SPOT SPOT | drag SPOT DX DY",
         "press the left button on the first spot, move in steps,\n"
         "release on the second spot or DX, DY pixels from the press"},
        {"press SPOT | release [SPOT | DX DY]",
         "the two halves of a drag; a bare release lets go where the\n"
         "button went down"},
        {"key KEY", "Esc, Enter, PgUp, PgDn, Home, End, Up, Down, Left, Right,\n"
                    "F1..F12, Tab, Space, Pause or a letter, with optional\n"
                    "Ctrl+, Shift+, Alt+ in front"},
        {"type TEXT", "type the text into the focused control"},
        {"answer VALUE", "queue the answer of the next dialog, Menu or MenuEx"},
        {"run ACTION LINE", "run one line of the action language"},
        {"vars FILE", "write every global variable to FILE (SaveVariables format)"},
        {"screenshot FILE", "save the publication area as a PNG picture, with the open\n"
                            "pop-ups and other windows of the player over it"},
        {"windowshot NAME FILE", "save the floating window NAME (its file or page name)\n"
                                 "as a PNG picture"},
        {"closewindow NAME", "close the floating window NAME as its close button does"},
        {"media FILE", "write what plays in the open-media list, one item a line"},
        {"quit", "close the publication (through the close query)"},
    };
    return rows;
}

QString PlayerUsage()
{
    return QStringLiteral(
               "Usage: qxplay5 [/R] CONTAINER [/B] [/Kpage] [--fullscreen | --windowed] [--scale N]\n"
               "               [--drive FILE] [--fast] [--print-to DIR]\n"
               "       qxplay5 [/R] CONTAINER --render-pages DIR\n"
               "       qxplay5\n"
               "\n"
               "Plays the Tomeric publication in CONTAINER (a compiled publication or a\n"
               "package made with tomeric-pack). Without a container, a file chooser asks\n"
               "for one.\n"
               "\n") +
           FormatRows(OptionRows()) +
           QStringLiteral(
               "\n"
               "Without a display (QT_QPA_PLATFORM=offscreen) and without --drive, the pages\n"
               "are drawn to a folder as with --render-pages.\n"
               "Where the system has no printer, print jobs become PDF files in the documents\n"
               "folder ([MyDocuments]).\n"
               "\n"
               "Driver verbs (one a line; blank lines and lines starting with # are ignored):\n") +
           FormatRows(DriverVerbRows()) +
           QStringLiteral(
               "\n"
               "While a pop-up waits, key and type reach it through its rules (Esc cancels,\n"
               "Enter confirms), a click outside it cancels it without reaching the object,\n"
               "and the pop-up prints one POPUP line when it opens.\n"
               "\n"
               "Exit status: 0 after a normal run, 1 when the publication cannot be opened,\n"
               "2 for bad usage.\n");
}

} // namespace tomeric
