#pragma once
// The qxplay5 command line: the player's own options (--drive, --fast,
// --render-pages, --print-to, --fullscreen, --windowed, --scale, --help) are
// taken out first; what remains is the
// publication's command line, from which the container and the switches
// "/B" and "/K"page are read.
//
#include "package/command_line.h"

#include <QString>
#include <QStringList>

namespace tomeric {

// How the main window shows the publication: as the publication sets it
// up, full screen with the page area scaled to fit, or in an ordinary window.
enum class TPresentation { prAsPublished, prFullScreen, prWindowed };

constexpr double kMinimumScale = 0.25;
constexpr double kMaximumScale = 8;

struct TPlayerOptions {
    QStringList publicationArguments; // argv[0] and the arguments that are not ours
    QString driveScript;              // --drive FILE
    QString renderPagesFolder;        // --render-pages DIR
    QString printToFolder;            // --print-to DIR: print jobs become PDF files there
    bool fast = false;                // --fast
    TPresentation presentation = TPresentation::prAsPublished; // --fullscreen, --windowed
    QString scaleText;                // --scale N as typed
    double scale = 1;                 // --scale N
    bool help = false;                // --help / -h
    QString error;                    // a usage error to report
};

TPlayerOptions ParsePlayerOptions(const QStringList& arguments);

// What the publication's command line asks for.
struct TStartRequest {
    bool found = false;          // false: "Ce n'est pas une application !"
    QString containerPath;
    bool containerFromArguments = false;
    QString commandLineText;     // the arguments after the container, joined by CR
    QString commandLineVariable; // [CommandLine]
    bool bypassPrintDialog = false; // "/B"
    QString startPageName;       // "/K"name, upper-cased; empty: the directory's start page
    TScreenSaverArguments screenSaver; // run as a screen saver (an executable named ".scr")
};

TStartRequest ReadStartRequest(const QStringList& publicationArguments);

} // namespace tomeric
