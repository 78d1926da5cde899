#pragma once
// User functions: function files run by the Call command.
//
// A function file is plain 8-bit text. When its first line is
// "{Tomeric Function}" a header follows, up to a line "{End}":
//
//     {Tomeric Function}
//     Version=1
//     Language=Tomeric
//     Param=[Text]|Text
//     Param=[Result]|Variable
//     {End}
//     StrUpper "[Text]" "[Result]"
//
// and the rest is the body. Without that first line the whole file is the
// body, in the action language, with no parameters.
//
// `Call "file" "arg1" ... "argN"` loads the file (the last one loaded is
// kept, so calling one function in a loop reads it once), checks the
// argument count against the declared parameters, evaluates each argument
// by its declared kind and runs the body in a new evaluator. A Variable
// parameter is the caller's own variable: its name is written into the body
// in place of the declared name. Every other parameter is a local variable
// of the function, invisible to the caller (and the caller's locals are
// invisible to the function).

#include "actions/command_context.h"
#include "actions/services.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace tomeric {

// Parameter type words of the header ("Number", "Mixed", "FileName",
// "Variable", "DataFile", any case) as parameter kinds; any other word is 1
// (text).
uint8_t FunctionParamKind(const QString& typeWord);

class TFunctionLoader {
public:
    static constexpr int kMaxParams = 9;

    // Reads a function file's bytes by the name Call evaluated; nothing when
    // it cannot be read. The default looks in the publication's package,
    // then on disk (in preview mode, first in the authoring tool's function
    // folder).
    using FileReader = std::function<std::optional<QByteArray>(const QString& name)>;

    TFunctionLoader();
    explicit TFunctionLoader(FileReader reader);

    // Loads the function (reusing the loaded one when the name matches,
    // ignoring case); false when the file cannot be read.
    bool LoadFunction(const QString& name);
    // Takes the header and body from a text (what LoadFunction does once
    // the file is read).
    void LoadFromText(const QString& name, const QString& text);
    // Forgets the loaded function.
    void Reset();

    QString LoadedFunction;
    QString Language = QStringLiteral("Tomeric");
    uint8_t ParamCount = 0;
    std::array<QString, kMaxParams + 1> ParamNames;  // [1..9]
    std::array<uint8_t, kMaxParams + 1> ParamKinds{}; // [1..9]
    QStringList Body;

    bool IsActionLanguage() const { return Language.compare(QLatin1String("Tomeric"), Qt::CaseInsensitive) == 0; }

private:
    void ReadHeaderLine(const QString& line);
    FileReader reader_;
};

// The process-wide loader: created on the first Call, dropped when a
// publication starts (AbortAllActions).
TFunctionLoader& FunctionLoader();
void DropFunctionLoader();
// Tests replace how function files are read (null: the default reader).
void SetFunctionFileReader(TFunctionLoader::FileReader reader);

// Runs the body of a function written in another language (JScript,
// VBScript ...). Installed by the script host; without one such a Call
// reports that the language is not available.
using ScriptFunctionRunner = std::function<void(CommandContext& ctx, const TFunctionLoader& function,
                                                const QString& body)>;
void SetScriptFunctionRunner(ScriptFunctionRunner runner);

// The function service both programs hand the core: Call runs function
// files through the process-wide loader, and the loaded function is dropped
// whenever a publication starts.
class TUserFunctions final : public FunctionService {
public:
    TUserFunctions();
    void Call(CommandContext& ctx) override;
};

} // namespace tomeric
