#pragma once
// How a program line of Run, DOSCommand and ExecuteAddOn becomes something
// this system can start. Publications name Windows programs, documents,
// folders and the command interpreter's internal commands; each maps to its
// nearest native form:
//
//   internal command (DIR, COPY, ...)   carried out in-process (internal_commands.h)
//   URL, document                       the desktop's handler (xdg-open)
//   .URL (Internet shortcut)            its URL= address, the same way
//   folder                              the file manager (xdg-open)
//   .EXE .COM .BAT .MSI .SCR            Wine when it is installed, else refused
//   .LNK .CPL .PIF .HLP .CHM            refused: nothing here opens them
//   .SH without execute permission      /bin/sh
//   native program                      started directly
//
// Planning starts nothing: it only decides, so every rule can be read here.

#include <QString>
#include <QStringList>

namespace tomeric {

enum class TLaunchKind {
    lkInternal, // an internal command of the command interpreter
    lkProcess,  // a process to start: program + arguments
    lkRefused,  // cannot start here; `failure` says why
};

struct TLaunchPlan {
    TLaunchKind kind = TLaunchKind::lkRefused;
    QString program;            // what QProcess starts (lkProcess)
    QStringList arguments;      // its arguments
    QString workingFolder;      // empty: the player's current folder
    QString fileName;           // the program's file name without path (the run registry's key)
    QString programPath;        // the full path of the program the publication named
    QString internalCommand;    // lkInternal: the command word, upper case
    QString internalParameters; // lkInternal: the parameters as written
    bool viaHandler = false;    // opened by the desktop's handler (no window of its own to find)
    QString failure;            // lkRefused: the message to report
};

// What the rules need to know of the running publication.
struct TLaunchContext {
    QString publicationFolder; // [PubDir], native, trailing separator
    // The folder the publication set through [CurrentDir]; empty when it
    // never did.
    QString publicationCurrentFolder;
};

TLaunchPlan PlanLaunch(const QString& program, const QString& parameters, const TLaunchContext& context);

// The parameters text cut into arguments the way Windows programs read
// their command line: blanks separate, double quotes group, "" inside
// quotes is one quote. Nothing is handed to a shell.
QStringList SplitWindowsArguments(const QString& parameters);

} // namespace tomeric
