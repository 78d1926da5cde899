#include "extensions/function_loader.h"

#include "actions/action_eval.h"
#include "package/package.h"
#include "platform/cp1252.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "vars/variables.h"

#include <QFile>
#include <QRegularExpression>

#include <memory>

namespace tomeric {
namespace {

// Everything the process keeps about user functions: the loaded function,
// how files are read, and the runner of other script languages.
struct UserFunctions {
    std::unique_ptr<TFunctionLoader> loader;
    TFunctionLoader::FileReader reader;
    ScriptFunctionRunner scriptRunner;
    bool hookInstalled = false;
};

UserFunctions& State() {
    static UserFunctions state;
    return state;
}

std::optional<QByteArray> ReadDiskFile(const QString& nativePath) {
    QFile file(nativePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool HasDrive(const QString& name) {
    return (name.size() >= 2 && name[1] == u':') || name.startsWith(QLatin1String("\\\\"));
}

// Package first, then the disk: in preview mode a name without drive is
// looked for in the authoring tool's function folder before anywhere else.
std::optional<QByteArray> ReadFunctionFile(const QString& name) {
    TPackage& package = CurrentPackage();
    if (package.FindEmbedded(name) != nullptr) {
        const TEmbeddedLoad load = package.LoadEmbeddedToMemory(name);
        return load.code == 0 ? std::optional<QByteArray>(load.data) : std::nullopt;
    }
    if (package.IsPreview() && !HasDrive(name) && !package.UserFunctionFolder().isEmpty()) {
        const QString inFolder = platform::WithTrailingSeparator(package.UserFunctionFolder()) + name;
        if (auto bytes = ReadDiskFile(platform::NativePath(inFolder)))
            return bytes;
    }
    const TResolvedFile resolved = package.ResolveFile(name);
    return ReadDiskFile(resolved.ok ? resolved.path : platform::NativePath(name));
}

QStringList FileLines(const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineBreak);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

uint8_t FunctionParamKind(const QString& typeWord) {
    static const struct {
        const char* word;
        uint8_t kind;
    } kWords[] = {{"Number", pkNumber}, {"Mixed", pkValue}, {"FileName", pkFile},
                  {"Variable", pkVariable}, {"DataFile", pkDataFile}};
    const QString word = typeWord.trimmed();
    for (const auto& entry : kWords)
        if (word.compare(QLatin1String(entry.word), Qt::CaseInsensitive) == 0)
            return entry.kind;
    return pkText;
}

// ---- TFunctionLoader --------------------------------------------------------------

TFunctionLoader::TFunctionLoader() : reader_(ReadFunctionFile) {}

TFunctionLoader::TFunctionLoader(FileReader reader)
    : reader_(reader ? std::move(reader) : FileReader(ReadFunctionFile)) {}

void TFunctionLoader::Reset() {
    LoadedFunction.clear();
    Language = QStringLiteral("Tomeric");
    ParamCount = 0;
    ParamNames.fill(QString());
    ParamKinds.fill(0);
    Body.clear();
}

bool TFunctionLoader::LoadFunction(const QString& name) {
    if (!LoadedFunction.isEmpty() && LoadedFunction.compare(name, Qt::CaseInsensitive) == 0)
        return true;
    Reset();
    const std::optional<QByteArray> bytes = name.isEmpty() ? std::nullopt : reader_(name);
    if (!bytes)
        return false;
    LoadFromText(name, DecodeWindows1252(*bytes));
    return true;
}

void TFunctionLoader::LoadFromText(const QString& name, const QString& text) {
    Reset();
    LoadedFunction = name;
    QStringList lines = FileLines(text);
    if (lines.isEmpty() ||
        lines.first().trimmed().compare(QLatin1String("{Tomeric Function}"), Qt::CaseInsensitive) != 0) {
        Body = lines;
        return;
    }
    qsizetype next = 1;
    while (next < lines.size()) {
        const QString line = lines[next++];
        const qsizetype equals = line.indexOf(u'=');
        const QString value = (equals < 0 ? line : line.mid(equals + 1)).trimmed();
        if (value.compare(QLatin1String("{End}"), Qt::CaseInsensitive) == 0)
            break;
        ReadHeaderLine(line);
    }
    Body = lines.mid(next);
}

void TFunctionLoader::ReadHeaderLine(const QString& line) {
    const qsizetype equals = line.indexOf(u'=');
    const QString key = equals < 0 ? QString() : line.left(equals).trimmed();
    const QString value = (equals < 0 ? line : line.mid(equals + 1)).trimmed();
    if (key.compare(QLatin1String("Language"), Qt::CaseInsensitive) == 0) {
        Language = value;
    } else if (key.compare(QLatin1String("Param"), Qt::CaseInsensitive) == 0 && ParamCount < kMaxParams) {
        const qsizetype bar = value.indexOf(u'|');
        ++ParamCount;
        ParamNames[ParamCount] = (bar < 0 ? value : value.left(bar)).trimmed();
        ParamKinds[ParamCount] = FunctionParamKind(bar < 0 ? QString() : value.mid(bar + 1));
    }
}

// ---- the process-wide loader --------------------------------------------------------

TFunctionLoader& FunctionLoader() {
    UserFunctions& state = State();
    if (!state.loader)
        state.loader = std::make_unique<TFunctionLoader>(state.reader);
    return *state.loader;
}

void DropFunctionLoader() { State().loader.reset(); }

void SetFunctionFileReader(TFunctionLoader::FileReader reader) {
    State().reader = std::move(reader);
    DropFunctionLoader();
}

void SetScriptFunctionRunner(ScriptFunctionRunner runner) { State().scriptRunner = std::move(runner); }

// ---- Call ------------------------------------------------------------------------------

namespace {

// The body with every Variable parameter's declared name replaced by the
// caller's variable, and, for other languages, every other parameter's name
// by its value.
QString PrepareBody(const TFunctionLoader& function, const CommandContext& ctx) {
    QString body = function.Body.join(QStringLiteral("\r\n"));
    for (int i = 1; i <= function.ParamCount; ++i) {
        const QString& name = function.ParamNames[i];
        if (name.isEmpty())
            continue;
        if (function.ParamKinds[i] == pkVariable)
            body.replace(name, NormalizeVarName(ctx.Param(i + 1)), Qt::CaseInsensitive);
        else if (!function.IsActionLanguage())
            body.replace(name, ctx.Param(i + 1), Qt::CaseInsensitive);
    }
    return body;
}

void RunActionLanguageFunction(CommandContext& ctx, const TFunctionLoader& function, const QString& body) {
    TActionEval& caller = ctx.Eval();
    // The arguments are read before the function's own local scope begins.
    QStringList values;
    for (int i = 1; i <= function.ParamCount; ++i)
        values.append(ctx.Param(i + 1));
    const QString name = function.LoadedFunction;
    TActionEval callee(caller.Svc(), body, caller.Flags, skUserFunction, dtScript, name);
    for (int i = 1; i <= function.ParamCount; ++i) {
        if (function.ParamKinds[i] == pkVariable || function.ParamNames[i].isEmpty())
            continue;
        DefineVariable(function.ParamNames[i], QStringLiteral("Undefined"), QString(), true);
        // Assigning an empty text would delete the local again, and the
        // function would then read a global of the same name instead of
        // its empty argument.
        if (!values[i - 1].isEmpty())
            SetVariable(function.ParamNames[i], values[i - 1]);
    }
    callee.Run();
}

} // namespace

void TUserFunctions::Call(CommandContext& ctx) {
    if (Runs().Depth >= kMaxEvaluatorDepth) {
        ctx.ReportActionError(aeNestingTooDeep);
        return;
    }
    ctx.EvaluateParameter(1, pkFile, true);
    const QString name = ctx.Param(1);
    TFunctionLoader& function = FunctionLoader();
    if (!function.LoadFunction(name)) {
        ctx.ReportActionError(aeNoSuchFunction, name);
        return;
    }
    if (function.ParamCount > 0 && ctx.Count() != function.ParamCount + 1) {
        ctx.ReportActionError(aeParameterCount, QString(), function.ParamCount);
        return;
    }
    for (int i = 1; i <= function.ParamCount; ++i)
        ctx.EvaluateParameter(i + 1, function.ParamKinds[i], true);

    // The loader may be replaced by a nested Call; run from a copy.
    const TFunctionLoader loaded = function;
    const QString body = PrepareBody(loaded, ctx);
    if (loaded.IsActionLanguage()) {
        RunActionLanguageFunction(ctx, loaded, body);
        return;
    }
    if (State().scriptRunner) {
        State().scriptRunner(ctx, loaded, body);
        return;
    }
    ctx.ReportActionError(aeScriptFailed, Message(msgScriptLanguageMissing, loaded.Language));
}

TUserFunctions::TUserFunctions() {
    UserFunctions& state = State();
    if (!state.hookInstalled) {
        AddAbortAllHook(DropFunctionLoader);
        state.hookInstalled = true;
    }
}

} // namespace tomeric
