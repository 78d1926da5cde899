#pragma once
// A script cut into lines once, with what the evaluator learns about each
// line (its command word, its class, its command, its quoted parameters, the
// opening line an ENDWHILE or ENDLOOP jumps back to) kept for the next pass.
// A loop then reads each of its lines once instead of once per iteration,
// and a timer or button that runs the same text again finds it read.

#include "actions/action_text.h"
#include "actions/command_table.h"
#include "actions/quick_lines.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

namespace tomeric {

struct ParsedLine {
    QString Text;          // leading blanks and control characters removed
    QString WordAsWritten; // the command word
    QString Word;          // upper-cased
    LineClass Class = lcEmpty;
    BlockWord Block = bwNone; // for Class lcBlockWord

    // Filled on first use by ParsedScript::SplitOf.
    bool Split = false;
    int SplitStatus = ssOk;
    ActionParams Params;   // as written, before evaluation

    // Filled on first use by ParsedScript::CommandOf; a change to the
    // command table makes it stale.
    std::uint64_t TableVersion = 0;
    CommandMatch Match;

    // Filled on first use by the evaluator: the line an end word jumps back
    // to (0: none); -1 while not known.
    int JumpTarget = -1;

    // Filled on first use by the evaluator for the table version of Match:
    // whether the line only computes, assigns and branches.
    std::uint64_t QuietVersion = 0;
    bool Quiet = false;

    // Filled on first use by ParsedScript::QuickOf for the handler it was
    // made for.
    CommandHandler QuickFor = nullptr;
    std::shared_ptr<const QuickLine> Quick;
};

class ParsedScript {
public:
    explicit ParsedScript(const QString& text);
    ParsedScript(const ParsedScript&) = delete;
    ParsedScript& operator=(const ParsedScript&) = delete;

    const QStringList& Lines() const { return lines_; }
    int LineCount() const { return static_cast<int>(lines_.size()); }
    // Line n (1..LineCount()).
    ParsedLine& Line(int n) { return parsed_[static_cast<std::size_t>(n - 1)]; }
    // The line's parameters as written and the split status.
    const ParsedLine& SplitOf(int n);
    // The line's command in the process-wide table (empty: unknown word).
    CommandMatch CommandOf(int n);
    // The quick form of the line for its built-in command `match` (see
    // QuickLine); null when it has none. The line is split already.
    const QuickLine* QuickOf(int n, const CommandMatch& match);

private:
    QStringList lines_;
    std::vector<ParsedLine> parsed_;
};

// The parsed form of a script text, shared by every run of the same text.
// The cache holds a bounded number of texts and starts afresh when full.
std::shared_ptr<ParsedScript> ParsedScriptFor(const QString& text);

} // namespace tomeric
