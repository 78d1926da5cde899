#pragma once
// The player's command line: which container to open, the switches "/B" and
// "/K"page, the text [CommandLine] reports, and the screen-saver arguments.
// Everything here is a pure function of the argument list, which always
// includes the executable path as its first element (as argv does).

#include <QChar>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace tomeric {

// True when the executable is the stand-alone player: its base name is
// "QXPlay5" (any case) with or without ".exe"; our build calls it "qxplay5".
bool IsStandalonePlayer(const QString& executablePath);

struct TContainerChoice {
    QString containerPath; // empty when none could be found
    bool standalone = false;
    // True when the container was named on the command line (the stand-alone
    // player); false when the executable itself is the container.
    bool fromArguments = false;
    // Index in the argument list of the first argument after the container
    // switch (1, or 3 after "/R" file, or 2 after a bare container name).
    int firstTextArgument = 1;
    bool found = false; // false: "Ce n'est pas une application !" and end
};

// Container discovery. The stand-alone player takes the container from
// "/R" file (arguments 1 and 2, "/R" compared case-insensitively) and, for
// convenience, from a single argument that names an existing file. Any other
// executable is its own container.
TContainerChoice DiscoverContainer(const QStringList& arguments);

// The arguments from `firstTextArgument` to the last, joined with CR.
QString CommandLineText(const QStringList& arguments, int firstTextArgument);
// [CommandLine]: the executable path, CR and the text (only the path when
// the text is empty).
QString CommandLineVariable(const QString& executablePath, const QString& text);

// The value of the last switch with this letter among the arguments from
// `firstArgument` on: an argument starting with "-" or "/" whose second
// character, upper-cased, is the letter; the value is the rest from the
// third character, upper-cased. No value when no argument matches.
// An argument that names an existing file or folder (a native absolute path
// such as "/Books/a.txt") is data, not a switch.
std::optional<QString> SwitchValue(const QStringList& arguments, QChar letter,
                                   int firstArgument = 1);

// "/B": bypass the print dialog.
bool BypassPrintDialogSwitch(const QStringList& arguments, int firstArgument = 1);
// "/K"name: the start page's name, upper-cased; empty when absent or empty.
QString StartPageSwitch(const QStringList& arguments, int firstArgument = 1);

// The container another publication is run from (RunTomeric): the name as
// written when it has a folder and the file exists; otherwise the bare name
// in the current container's folder; otherwise the bare name in a folder of
// the system search path. Empty when none exists.
QString LocatePublicationFile(const QString& name, const QString& containerFolder);

// Screen-saver run modes.
enum TScreenSaverMode : int {
    ssNone = 0,           // not a screen saver
    ssConfigureNoParent = 1,
    ssConfigure = 2,
    ssRun = 3,
    ssPreview = 4,
    ssChangePassword = 5,
};

struct TScreenSaverArguments {
    TScreenSaverMode mode = ssNone;
    std::uintptr_t windowHandle = 0; // argument 2 for modes 4 and 5; 0 when not a number
};

// True when the executable's extension is ".SCR" (compared upper-case).
bool IsScreenSaverExecutable(const QString& executablePath);
// The run mode from the first argument: none or shorter than 2 characters →
// 1; second character "A" → 5, "C" → 2, "P" → 4, anything else → 3.
// Returns mode ssNone when the executable is not a screen saver.
TScreenSaverArguments ParseScreenSaverArguments(const QStringList& arguments);

} // namespace tomeric
