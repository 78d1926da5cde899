// The variable and arithmetic commands: thin bindings of the variable store
// and the expression evaluator to the command table.

#include "actions/action_eval.h"
#include "actions/core_commands.h"
#include "actions/expression_template.h"
#include "math/math_expression.h"
#include "vars/dates.h"
#include "vars/short_text.h"
#include "vars/typed_values.h"
#include "vars/variable_commands.h"
#include "vars/variables.h"

namespace tomeric {

namespace {

QString Bracketed(const QString& key)
{
    return QLatin1Char('[') + key + QLatin1Char(']');
}

// Values for String and Date variables are kept as written, never computed.
bool ComputesValues(const QString& key)
{
    const bool plain = !HasBracket(key);
    const TVarType type = plain ? GetKeyType(key) : GetVarType(Bracketed(key));
    return type != vtString && type != vtDate;
}

} // namespace

void CmdSetVar(CommandContext& ctx)
{
    ctx.EvaluateParameter(1, pkVariable, true);
    ctx.EvaluateParameter(2, pkValue, ComputesValues(ctx.Param(1)));
    ctx.SetResult(1, ctx.Param(2));
}

void CmdDefineVar(CommandContext& ctx)
{
    ctx.EvaluateParameter(1, pkVariable, true);
    for (int slot = 2; slot <= 4; ++slot)
        ctx.EvaluateParameter(slot, pkText, true);
    const QString key = ctx.Param(1);
    const bool isLocal = ctx.Param(4).trimmed().compare(QLatin1String("Local"), Qt::CaseInsensitive) == 0;
    const bool changed = DefineVariable(Bracketed(key), ctx.Param(2), ctx.Param(3), isLocal);
    const bool typed = GetVarType(Bracketed(key)) != vtUndefined;
    if ((!changed && typed) || ctx.Param(5).isEmpty())
        return;
    ctx.EvaluateParameter(5, pkValue, ComputesValues(key));
    ctx.SetResult(1, ctx.Param(5));
}

void CmdSaveVariables(CommandContext& ctx)
{
    SaveVariables(ctx.Param(1));
}

void CmdLoadVariables(CommandContext& ctx)
{
    const PublicationAccess* publication = ctx.Eval().Publication();
    LoadVariables(ctx.Param(1), [publication](const QString& name) {
        return publication ? publication->ResolveFile(name) : name;
    });
}

void CmdClearVariables(CommandContext& ctx)
{
    ClearVariables(ctx.Count() > 0 ? ctx.Param(1) : QString());
}

void CmdDeleteArray(CommandContext& ctx)
{
    DeleteArray(ctx.Param(1), ctx.Param(2));
}

void CmdGetArrayInfo(CommandContext& ctx)
{
    GetArrayInfo(ctx.Param(1), Bracketed(ctx.Param(2)), Bracketed(ctx.Param(3)), Bracketed(ctx.Param(4)));
}

void CmdMath(CommandContext& ctx)
{
    SetLastError(QString());
    const bool hadVariables = HasChar(ctx.Param(1), u'[');
    // The expression is substituted but not computed before Math computes
    // it; a loop's "[i]+1" is computed from its cut tokens instead.
    const std::optional<MathResult> quick = ComputeByTemplate(ctx.Param(1));
    if (!quick)
        ctx.EvaluateParameter(1, pkNumber, false);
    ctx.EvaluateParameter(2, pkNumber, true);
    ctx.EvaluateParameter(3, pkVariable, true);
    const int decimals = ReadInteger(ctx.Param(2)).value_or(0);
    const MathResult result = quick ? *quick : ParseAndEvaluate(ctx.Param(1));
    if (result.status == MathResult::Status::SyntaxError && !hadVariables) {
        ctx.ReportActionError(aeMathSyntax);
        return;
    }
    ctx.SetResult(3, MathResultText(result, decimals));
}

void CmdRandom(CommandContext& ctx)
{
    ctx.SetResult(2, RandomText(ctx.Param(1)));
}

void CmdDateToNum(CommandContext& ctx)
{
    ctx.SetResult(3, DateToNum(ctx.Param(1), ctx.Param(2)));
}

void CmdNumToDate(CommandContext& ctx)
{
    ctx.SetResult(3, NumToDate(ctx.Param(1), ctx.Param(2)));
}

} // namespace tomeric
