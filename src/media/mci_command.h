#pragma once
// MCI command strings as publications send them ("open x.wav type waveaudio
// alias a wait", "status a length"): cut into the verb, the device and the
// words that follow, with the Windows MCI error numbers and their texts.

#include <QString>
#include <QStringList>

#include <optional>

namespace tomeric {

// The Windows MCI error numbers the interpreter reports.
enum TMciError : int {
    mciOk = 0,
    mciInvalidDeviceId = 257,
    mciUnrecognizedKeyword = 259,
    mciUnrecognizedCommand = 261,
    mciHardware = 262,
    mciInvalidDeviceName = 263,
    mciMissingCommandString = 267,
    mciMissingStringArgument = 269,
    mciBadInteger = 270,
    mciMissingParameter = 273,
    mciUnsupportedFunction = 274,
    mciFileNotFound = 275,
    mciDeviceNotReady = 276,
    mciOutOfRange = 282,
    mciCannotUseAll = 279,
    mciDuplicateAlias = 289,
    mciBadConstant = 290,
    mciMissingDeviceName = 292,
    mciBadTimeFormat = 293,
    mciNoClosingQuote = 294,
    mciInvalidFile = 296,
    mciExtraCharacters = 305,
    mciCannotLoadDriver = 266,
};

// The text the system gives for an MCI error number (an unknown number has
// a text of its own).
QString MciErrorText(int code);

// One command string, cut into words. Double quotes keep a file name with
// blanks together ("open \"my file.wav\" alias a").
struct TMciCommand {
    QString verb;      // lower case
    QString device;    // as written (an alias, a file name, "all")
    QStringList words; // what follows the device, lower case
    QStringList rawWords; // the same, as written (file names, aliases)

    // The word after `keyword` ("alias" -> "a"); nothing when absent.
    std::optional<QString> ValueAfter(const QString& keyword) const;
    bool Has(const QString& keyword) const { return words.contains(keyword); }
    // The words from `index` on, joined with blanks ("media present").
    QString Tail(int index) const { return words.mid(index).join(QLatin1Char(' ')); }
};

// Cuts a command string; `error` receives the MCI error of a malformed
// string (an empty one, an unbalanced quote).
std::optional<TMciCommand> ParseMciCommand(const QString& text, int* error);

} // namespace tomeric
