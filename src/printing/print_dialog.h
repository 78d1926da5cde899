#pragma once
// The print dialog before a print command, and PrintSetup.
//
// With "BYPASSPRINTDLG=" (or the /B switch) the print commands go on at
// once; with --print-to no dialog appears at all (an unattended run). Any
// other time the system's print dialog asks: Cancel ends the command, OK
// keeps the chosen printer and number of copies for the following jobs.
//
// A driven player prints a line and takes the driver's answer instead:
//
//   DIALOG Print "document title"     answer: OK or a number of copies;
//                                     Cancel, anything else or none cancels

#include <QString>

namespace tomeric {

class TPrintTarget;
class TSimpleDialogs;

class TPrintDialog {
public:
    TPrintDialog(TPrintTarget& target, TSimpleDialogs& dialogs) : target_(target), dialogs_(dialogs) {}

    // Before a print command: true to go on.
    bool ConfirmJob(const QString& title, bool bypass);
    // PrintSetup: the dialog always asks (but with --print-to); true when
    // confirmed.
    bool Setup();

private:
    bool Ask(const QString& title);
    bool AskDriven(const QString& title);
    bool AskSystem(const QString& title);

    TPrintTarget& target_;
    TSimpleDialogs& dialogs_;
};

} // namespace tomeric
