#include "actions/parsed_script.h"

#include <QHash>

namespace tomeric {

namespace {

// Scripts a publication runs over and over (timers, buttons, page scripts)
// are few; beyond this many texts the cache starts again rather than grow.
constexpr qsizetype kMaxCachedScripts = 256;

} // namespace

ParsedScript::ParsedScript(const QString& text) : lines_(SplitActionLines(text))
{
    parsed_.resize(static_cast<std::size_t>(lines_.size()));
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        ParsedLine& line = parsed_[static_cast<std::size_t>(i)];
        line.Text = StripLeading(lines_[i]);
        if (line.Text.isEmpty())
            continue;
        line.WordAsWritten = CommandWord(line.Text);
        line.Word = line.WordAsWritten.toUpper();
        line.Class = ClassifyWord(line.Word);
        line.Block = BlockWordOf(line.Word);
    }
}

const ParsedLine& ParsedScript::SplitOf(int n)
{
    ParsedLine& line = Line(n);
    if (!line.Split) {
        line.SplitStatus = SplitParameters(line.Text, line.Params);
        line.Split = true;
    }
    return line;
}

CommandMatch ParsedScript::CommandOf(int n)
{
    ParsedLine& line = Line(n);
    const std::uint64_t version = CommandTable().Version();
    if (line.TableVersion != version) {
        line.Match = CommandTable().FindCommand(line.Word);
        line.TableVersion = version;
    }
    return line.Match;
}

const QuickLine* ParsedScript::QuickOf(int n, const CommandMatch& match)
{
    ParsedLine& line = Line(n);
    if (match.Group->Kind != gkBuiltin || line.SplitStatus != ssOk || !QuickLinesEnabled())
        return nullptr;
    if (line.QuickFor != match.Command->Handler) {
        line.Quick = QuickLine::Compile(*match.Command, line.Params);
        line.QuickFor = match.Command->Handler;
    }
    return line.Quick.get();
}

std::shared_ptr<ParsedScript> ParsedScriptFor(const QString& text)
{
    static QHash<QString, std::shared_ptr<ParsedScript>> cache;
    if (const auto it = cache.constFind(text); it != cache.constEnd())
        return *it;
    if (cache.size() >= kMaxCachedScripts)
        cache.clear();
    auto parsed = std::make_shared<ParsedScript>(text);
    cache.insert(text, parsed);
    return parsed;
}

} // namespace tomeric
