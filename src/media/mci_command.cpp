#include "media/mci_command.h"
#include "platform/quoted_words.h"

#include <utility>

namespace tomeric {

namespace {

constexpr std::pair<int, const char*> kMciErrorTexts[] = {
    {mciInvalidDeviceId, "Invalid MCI device ID. Use the ID returned when opening the MCI device."},
    {mciUnrecognizedKeyword, "The driver cannot recognize the specified command parameter."},
    {mciUnrecognizedCommand, "The driver cannot recognize the specified command."},
    {mciHardware, "There is a problem with your media device. Make sure it is working correctly or "
                  "contact the device manufacturer."},
    {mciInvalidDeviceName, "The specified device is not open or is not recognized by MCI."},
    {mciCannotLoadDriver, "The specified device driver cannot be loaded."},
    {mciMissingCommandString, "No command was specified."},
    {mciMissingStringArgument, "The specified command requires a character-string parameter. "
                               "Please provide one."},
    {mciBadInteger, "The specified integer is invalid for this command."},
    {mciMissingParameter, "The specified command requires a parameter. Please supply one."},
    {mciUnsupportedFunction, "The MCI device you are using does not support the specified command."},
    {mciFileNotFound, "Cannot find the specified file. Make sure the path and filename are correct."},
    {mciDeviceNotReady, "The device driver is not ready."},
    {mciCannotUseAll, "The device name \"all\" is not allowed for this command."},
    {mciOutOfRange, "The specified parameter is out of range for the specified command."},
    {mciDuplicateAlias, "The specified alias is already being used in this application. "
                        "Use a unique alias."},
    {mciBadConstant, "The specified parameter value is invalid for this command."},
    {mciMissingDeviceName, "The specified command requires an alias, file, driver, or device name. "
                           "Please supply one."},
    {mciBadTimeFormat, "The specified value for the time format is invalid. Refer to the MCI "
                       "documentation for valid formats."},
    {mciNoClosingQuote, "A closing double-quotation mark is missing from the parameter value. "
                        "Please supply one."},
    {mciInvalidFile, "The specified file cannot be played on the specified MCI device. The file may "
                     "be corrupt, or not in the correct format."},
    {mciExtraCharacters, "You must enclose this string with double quotation marks."},
    {mciOk, "The specified command was carried out."},
};

// Blank-separated words; double quotes group, and are dropped. An open
// quote makes the string unreadable.
std::optional<QStringList> SplitWords(const QString& text)
{
    platform::TQuotedWords split = platform::SplitQuotedWords(text);
    if (!split.balanced)
        return std::nullopt;
    return std::move(split.words);
}

} // namespace

QString MciErrorText(int code)
{
    for (const auto& [number, text] : kMciErrorTexts)
        if (number == code)
            return QString::fromLatin1(text);
    return QStringLiteral("Unknown error code.");
}

std::optional<QString> TMciCommand::ValueAfter(const QString& keyword) const
{
    const qsizetype at = words.indexOf(keyword);
    if (at < 0 || at + 1 >= rawWords.size())
        return std::nullopt;
    return rawWords[at + 1];
}

std::optional<TMciCommand> ParseMciCommand(const QString& text, int* error)
{
    const std::optional<QStringList> words = SplitWords(text);
    if (!words) {
        *error = mciNoClosingQuote;
        return std::nullopt;
    }
    if (words->isEmpty()) {
        *error = mciMissingCommandString;
        return std::nullopt;
    }
    TMciCommand command;
    command.verb = words->first().toLower();
    if (words->size() > 1)
        command.device = words->at(1);
    command.rawWords = words->mid(2);
    for (const QString& word : command.rawWords)
        command.words.append(word.toLower());
    *error = mciOk;
    return command;
}

} // namespace tomeric
