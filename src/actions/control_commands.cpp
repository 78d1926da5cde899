// Control flow: conditions, loops, jumps, subroutines, waiting and the
// switches that change how the evaluator runs.

#include "actions/action_eval.h"
#include "actions/conditions.h"
#include "actions/core_commands.h"
#include "vars/typed_values.h"
#include "vars/variables.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace tomeric {

namespace {

const QStringList kWhileWords = {QStringLiteral("WHILE"), QStringLiteral("WHILEEX")};
const QStringList kLoopWords = {QStringLiteral("LOOP")};

// An If/While line's condition; reports an invalid operator and gives false.
std::optional<bool> SimpleCondition(CommandContext& ctx)
{
    const QString op = ctx.Param(2);
    if (!IsComparisonOperator(op)) {
        ctx.ReportActionError(aeInvalidOperator, op);
        return std::nullopt;
    }
    return CompareOperands({ctx.Param(1), ctx.Exact(1)}, op, {ctx.Param(3), ctx.Exact(3)}, false);
}

std::optional<bool> ExpressionCondition(CommandContext& ctx)
{
    const ConditionResult result = EvaluateConditionExpression(ctx.Param(1), ctx.Eval().Publication());
    if (result.Error != 0) {
        ctx.ReportActionError(result.Error, result.Token);
        return std::nullopt;
    }
    return result.Value;
}

void EnterIf(CommandContext& ctx, std::optional<bool> condition)
{
    if (condition && !*condition)
        ctx.Eval().SkipState = ssToElseOrEndIf;
}

void EnterWhile(CommandContext& ctx, std::optional<bool> condition)
{
    if (condition && !*condition)
        ctx.Eval().SkipState = ssToEndWhile;
}

int IntegerOrZero(const QString& text)
{
    return ReadInteger(text).value_or(0);
}

// A boolean word before any "+" ("True+NOBUFFER" is true).
std::optional<bool> ModeWord(const QString& parameter)
{
    const QString word = parameter.section(u'+', 0, 0).trimmed();
    const TypedValue value = ConvertTypedValue(vtBoolean, QString(), word);
    if (!value.ok)
        return std::nullopt;
    return value.value == QLatin1String("True");
}

bool WaitInterrupted(const TActionEval& eval)
{
    const RunState& runs = Runs();
    const MessagePump* pump = eval.Svc().Pump;
    return runs.AbortAll || eval.Generation != runs.RunGeneration || (pump && pump->ShuttingDown());
}

// The delay in milliseconds; 0 when the text is not a number.
long long DelayMilliseconds(const QString& text)
{
    if (const auto whole = ReadInteger(text))
        return *whole;
    bool ok = false;
    const double value = QString(text).replace(u',', u'.').trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return 0;
    return static_cast<long long>(std::clamp(value, -2147483647.0, 2147483647.0));
}

} // namespace

void CmdIf(CommandContext& ctx) { EnterIf(ctx, SimpleCondition(ctx)); }

void CmdIfEx(CommandContext& ctx) { EnterIf(ctx, ExpressionCondition(ctx)); }

void CmdWhile(CommandContext& ctx) { EnterWhile(ctx, SimpleCondition(ctx)); }

void CmdWhileEx(CommandContext& ctx) { EnterWhile(ctx, ExpressionCondition(ctx)); }

void CmdExitWhile(CommandContext& ctx)
{
    TActionEval& eval = ctx.Eval();
    if (eval.FindEnclosingBlock(kWhileWords, QStringLiteral("ENDWHILE")) == 0) {
        ctx.ReportActionError(aeExitOutsideLoop);
        return;
    }
    eval.WhileDepth = 0;
    eval.SkipState = ssToEndWhile;
}

void CmdExitLoop(CommandContext& ctx)
{
    TActionEval& eval = ctx.Eval();
    if (eval.FindEnclosingBlock(kLoopWords, QStringLiteral("ENDLOOP")) == 0) {
        ctx.ReportActionError(aeExitOutsideLoop);
        return;
    }
    eval.LoopDepth = 0;
    eval.SkipState = ssToEndLoop;
}

void CmdLoop(CommandContext& ctx)
{
    TActionEval& eval = ctx.Eval();
    if (!eval.LoopReentry) {
        if (ctx.Param(3).isEmpty()) {
            ctx.ReportActionError(aeLoopVariable);
            return;
        }
        ctx.SetResult(3, QString::number(IntegerOrZero(ctx.Param(1))));
        return;
    }
    eval.LoopReentry = false;
    const int from = IntegerOrZero(ctx.Param(1));
    const int to = IntegerOrZero(ctx.Param(2));
    const int current = IntegerOrZero(GetVariable(QLatin1Char('[') + ctx.Param(3) + QLatin1Char(']')));
    if (from < to) {
        if (current < to)
            ctx.SetResult(3, QString::number(current + 1));
        else
            eval.SkipState = ssToEndLoop;
    } else {
        if (to < current)
            ctx.SetResult(3, QString::number(current - 1));
        else
            eval.SkipState = ssToEndLoop;
    }
}

void CmdGotoLine(CommandContext& ctx)
{
    TActionEval& eval = ctx.Eval();
    const QString target = ctx.Param(1);
    if (const auto line = ReadInteger(target)) {
        eval.LineNo = std::max(1, *line) - 1;
        return;
    }
    const int label = eval.FindLabel(target);
    if (label == 0) {
        ctx.ReportActionError(aeNoSuchLabel);
        return;
    }
    eval.LineNo = label - 1;
}

void CmdGoSub(CommandContext& ctx)
{
    TActionEval& eval = ctx.Eval();
    if (Runs().Depth >= kMaxEvaluatorDepth) {
        ctx.ReportActionError(aeNestingTooDeep);
        return;
    }
    const PublicationAccess* publication = eval.Publication();
    const QString text = publication ? publication->SubroutineText() : QString();
    const QString label = ctx.Param(1);
    TActionEval subroutine(eval.Svc(), text, eval.Flags, skGoSub, dtScript, label);
    const int labelLine = subroutine.FindLabel(label);
    if (labelLine == 0) {
        ctx.ReportActionError(aeNoSuchSubroutine);
        return;
    }
    subroutine.RunFrom(labelLine);
}

void CmdReturn(CommandContext& ctx) { ctx.Eval().Returned = true; }

void CmdDelay(CommandContext& ctx)
{
    const TActionEval& eval = ctx.Eval();
    const long long ms = DelayMilliseconds(ctx.Param(1));
    if (ms == 0)
        return;
    QElapsedTimer clock;
    clock.start();
    const long long total = ms > 0 ? ms : -ms;
    while (!WaitInterrupted(eval)) {
        const long long remaining = total - clock.elapsed();
        if (remaining <= 0)
            break;
        if (ms < 0 || !eval.Svc().Pump)
            QThread::msleep(1); // a negative delay handles no message at all
        else
            eval.Svc().Pump->WaitForMessages(static_cast<int>(remaining), Runs().ImmediateRuns > 0);
    }
}

void CmdSuspend(CommandContext& ctx)
{
    const auto on = ModeWord(ctx.Param(1));
    if (!on)
        return;
    TActionEval& eval = ctx.Eval();
    RunState& runs = Runs();
    if (*on) {
        ++eval.SuspendCount;
        ++runs.ImmediateRuns;
        return;
    }
    eval.SuspendCount = std::max(0, eval.SuspendCount - 1);
    runs.ImmediateRuns = std::max(0, runs.ImmediateRuns - 1);
    if (runs.ImmediateRuns == 0 && !ctx.Param(1).contains(QLatin1String("NOBUFFER"), Qt::CaseInsensitive) &&
        eval.Svc().Pump)
        eval.Svc().Pump->DiscardUserInput();
}

void CmdShowErrors(CommandContext& ctx)
{
    if (const auto on = ModeWord(ctx.Param(1)))
        SetShowErrors(*on);
}

void CmdDebugBreakPoint(CommandContext& ctx)
{
    TActionEval& eval = ctx.Eval();
    const PublicationAccess* publication = eval.Publication();
    if (!publication || !publication->PreviewMode())
        return;
    if (DebuggerLink* debugger = eval.Svc().Debugger) {
        const int answer = debugger->ErrorReport(eval.Lines.join(QStringLiteral("\r\n")), ctx.Param(1),
                                                 eval.SourceName, 1, eval.LineNo, eval.SourceKind);
        if (answer == 1)
            eval.Returned = true;
        else if (answer == 3)
            Runs().AbortAll = true;
        return;
    }
    if (DialogService* dialogs = eval.Svc().Dialogs)
        dialogs->AlertBox(QStringLiteral("BreakPoint"), ctx.Param(1));
}

void CmdCall(CommandContext& ctx)
{
    if (FunctionService* functions = ctx.Svc().Functions) {
        functions->Call(ctx);
        return;
    }
    // A program without user functions reports the call with its parameters.
    ctx.EvaluateParameter(1, pkFile, true);
    for (int i = 2; i <= ctx.Count(); ++i)
        ctx.EvaluateParameter(i, pkText, true);
    ForwardToService(ctx, nullptr);
}

} // namespace tomeric
