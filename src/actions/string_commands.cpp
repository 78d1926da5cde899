// The string commands: thin handlers over the text operations of
// string_operations.h. Parameters arrive evaluated by their kinds (positions
// and counts already computed), results go to the variable parameter.

#include "actions/string_commands.h"

#include "actions/string_operations.h"
#include "vars/variables.h"

namespace tomeric {
namespace {

std::int64_t Number(const CommandContext& ctx, int slot) { return WholeNumberOrZero(ctx.Param(slot)); }

} // namespace

// StrIns "insert" "target" "position" "[var]"
void CmdStrIns(CommandContext& ctx) {
    ctx.SetResult(4, InsertText(ctx.Param(1), ctx.Param(2), Number(ctx, 3)));
}

// StrDel "text" "position" "count" "[var]"
void CmdStrDel(CommandContext& ctx) {
    ctx.SetResult(4, DeleteText(ctx.Param(1), Number(ctx, 2), Number(ctx, 3)));
}

// StrLen "text" "[var]"
void CmdStrLen(CommandContext& ctx) { ctx.SetResult(2, QString::number(ctx.Param(1).size())); }

// SubStr "text" "position" "count" "[var]"
void CmdSubStr(CommandContext& ctx) {
    ctx.SetResult(4, CopyText(ctx.Param(1), Number(ctx, 2), Number(ctx, 3)));
}

// SearchStr "find" "text" "[var]" ["CaseSensitive"]: case-sensitive when the
// option says so or either text was written with "!".
void CmdSearchStr(CommandContext& ctx) {
    const bool caseSensitive =
        HasOption(ctx.Param(4), QStringLiteral("CaseSensitive")) || ctx.Exact(1) || ctx.Exact(2);
    const std::int64_t at = FindText(ctx.Param(1), ctx.Param(2),
                                     caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
    ctx.SetResult(3, QString::number(at));
}

void CmdStrUpper(CommandContext& ctx) { ctx.SetResult(2, ctx.Param(1).toUpper()); }

void CmdStrLower(CommandContext& ctx) { ctx.SetResult(2, ctx.Param(1).toLower()); }

// StrReplace "text" "find" "replacement" "[var]" ["CaseSensitive"]: case-
// sensitive when the option says so or the find text was written with "!".
void CmdStrReplace(CommandContext& ctx) {
    const bool caseSensitive = HasOption(ctx.Param(5), QStringLiteral("CaseSensitive")) || ctx.Exact(2);
    ctx.SetResult(4, ReplaceText(ctx.Param(1), ctx.Param(2), ctx.Param(3),
                                 caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive));
}

// StrParse "text" "delimiter" "[Part]" "[count]": the pieces go to [Part1],
// [Part2] ...; an empty piece removes its element; elements beyond the new
// count keep whatever they held.
void CmdStrParse(CommandContext& ctx) {
    const QStringList pieces = ParsePieces(ctx.Param(1), ctx.Param(2));
    const QString arrayKey = ctx.Param(3);
    if (!arrayKey.isEmpty()) {
        for (qsizetype k = 0; k < pieces.size(); ++k)
            SetVariable(u'[' + arrayKey + QString::number(k + 1) + u']', pieces[k]);
    }
    ctx.SetResult(4, QString::number(pieces.size()));
}

} // namespace tomeric
