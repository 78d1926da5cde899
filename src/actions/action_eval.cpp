#include "actions/action_eval.h"

#include "actions/command_context.h"
#include "actions/core_commands.h"
#include "platform/string_table.h"
#include "vars/builtin_vars.h"

#include <algorithm>
#include <vector>

namespace tomeric {

namespace {

std::vector<std::function<void()>>& AbortAllHooks()
{
    static std::vector<std::function<void()>> hooks;
    return hooks;
}

// Params = from, touching only the slots that hold or held a text: a line
// runs with few parameters, and the empty slots need no copying.
void CopyParams(const ActionParams& from, ActionParams& to)
{
    to.Count = from.Count;
    to.Exact = from.Exact;
    for (std::size_t i = 0; i < from.Text.size(); ++i)
        if (!from.Text[i].isNull() || !to.Text[i].isNull())
            to.Text[i] = from.Text[i];
}

QString Quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

using PumpClock = std::chrono::steady_clock;

// Between lines that only compute, assign and branch, the queue is looked
// at this often: painting, timers and Escape stay live, while a tight loop
// no longer spends most of its time asking an empty queue for messages.
constexpr auto kQuietPumpInterval = std::chrono::milliseconds(4);
constexpr int kQuietLinesPerClockRead = 8;

PumpClock::time_point& LastPump()
{
    static PumpClock::time_point last;
    return last;
}

// Commands that touch nothing but variables and the evaluator's own state:
// nothing they do waits in the message queue for the next line.
bool IsQuietCommand(const TCommandRecord& command)
{
    static const CommandHandler kQuiet[] = {CmdSetVar,  CmdMath,      CmdIf,       CmdIfEx,
                                            CmdWhile,   CmdWhileEx,   CmdExitWhile, CmdLoop,
                                            CmdExitLoop, CmdGotoLine};
    return command.Handler != nullptr &&
           std::find(std::begin(kQuiet), std::end(kQuiet), command.Handler) != std::end(kQuiet);
}

} // namespace

RunState& Runs()
{
    static RunState state;
    return state;
}

QString ActionErrorMessage(int code, const QString& text, int number)
{
    switch (code) {
    case aeUnbalancedQuotes: return Message(msgUnbalancedQuotes);
    case aeParameterCount: return Message(msgParameterCount, QString::number(number));
    case aeLoopVariable: return Message(msgLoopNeedsVariable);
    case aeUnknownCommand: return Message(msgUnknownCommand);
    case aePageChangeRefused: return Message(msgPageChangeRefused);
    case aeNoSuchPage: return Quoted(text) + QLatin1Char('\r') + Message(msgNoSuchPage);
    case aeBrowserLinkRefused: return Message(msgBrowserLinkRefused, text);
    case aeNoSuchLabel: return Message(msgNoSuchLabel);
    case aeNoSuchSubroutine: return Message(msgNoSuchSubroutine);
    case aeMathSyntax: return Message(msgMathSyntax);
    case aeNoSuchFile: return Quoted(text) + QStringLiteral("\r\r") + Message(msgNoSuchFile);
    case aeNoSuchFunction: return Quoted(text) + QLatin1Char('\r') + Message(msgNoSuchFunction);
    case aeInvalidKey: return Message(msgInvalidKey);
    case aeMissingBrace: return Message(msgMissingBrace);
    case aeInvalidOperator: return Message(msgInvalidOperator, text);
    case aeMissingOperator: return Message(msgMissingOperator);
    case aeInvalidExpression: return Message(msgInvalidExpression);
    case aeSinglePagePreview: return Message(msgSinglePagePreview);
    case aeExitOutsideLoop: return Message(msgExitOutsideLoop);
    case aeNestingTooDeep: return Message(msgNestingTooDeep, QString::number(kMaxEvaluatorDepth));
    case aeScriptFailed: return text;
    case aeCommandMessage: return text;
    default: return Message(msgSyntaxError);
    }
}

TActionEval::TActionEval(Services& services, const QString& text, uint8_t flags, uint8_t sourceKind,
                         int debugType, const QString& sourceName)
    : SourceName(sourceName), Flags(flags), SourceKind(sourceKind), DebugType(debugType),
      services_(services)
{
    RunState& runs = Runs();
    Serial = ++runs.ActiveEvaluators;
    Generation = runs.RunGeneration;
    script_ = ParsedScriptFor(text);
    Lines = script_->Lines();
    if (services_.Debugger) {
        if (Serial == 1)
            services_.Debugger->AddAction(Serial, QString(), 4); // a run begins while no other runs
        if (text.left(8).compare(QLatin1String("DebugOff"), Qt::CaseInsensitive) != 0)
            services_.Debugger->ActionStart(Serial, SourceName, debugType, sourceKind);
    }
    if (sourceKind >= 1 && sourceKind <= 25 && sourceName != SelfName()) {
        savedSelf_ = SelfName();
        SetSelfName(sourceName);
    }
    if (flags & afImmediate) {
        ++SuspendCount;
        ++runs.ImmediateRuns;
    }
}

TActionEval::~TActionEval()
{
    RunState& runs = Runs();
    runs.ActiveEvaluators = std::max(0, runs.ActiveEvaluators - 1);
    // An event script nested in another one gives [Self] back to the outer
    // script instead of leaving it empty.
    if (savedSelf_)
        SetSelfName(*savedSelf_);
}

const QString& TActionEval::CurrentLine() const
{
    static const QString kNone;
    return currentIndex_ >= 1 && currentIndex_ <= script_->LineCount() ? script_->Line(currentIndex_).Text
                                                                         : kNone;
}

const QString& TActionEval::CurrentWord() const
{
    static const QString kNone;
    return wordIndex_ >= 1 ? script_->Line(wordIndex_).Word : kNone;
}

const QString& TActionEval::CurrentWordAsWritten() const
{
    static const QString kNone;
    return wordIndex_ >= 1 ? script_->Line(wordIndex_).WordAsWritten : kNone;
}

QString TActionEval::GetLine(int n) const
{
    if (n < 1 || n > script_->LineCount())
        return QString();
    return script_->Line(n).Text;
}

int TActionEval::FindLabel(const QString& name) const
{
    const QString key = LabelKey(name);
    for (int i = 1; i <= Lines.size(); ++i) {
        const QString line = GetLine(i).trimmed();
        if (line.startsWith(u':') && line.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return 0;
}

int TActionEval::FindEnclosingBlock(const QStringList& openWords, const QString& endWord) const
{
    int depth = 0;
    for (int i = LineNo - 1; i >= 1; --i) {
        const QString& word = script_->Line(i).Word;
        if (word == endWord) {
            ++depth;
        } else if (openWords.contains(word)) {
            if (depth == 0)
                return i;
            --depth;
        }
    }
    return 0;
}

void TActionEval::JumpBack(const QStringList& openWords, const QString& endWord)
{
    // The match depends only on where the end word stands, so it is looked
    // for once per line of the script.
    const bool cacheable = currentIndex_ == LineNo;
    int match = cacheable ? script_->Line(LineNo).JumpTarget : -1;
    if (match < 0) {
        match = FindEnclosingBlock(openWords, endWord);
        if (cacheable)
            script_->Line(LineNo).JumpTarget = match;
    }
    if (match > 0) {
        LineNo = match - 1;
        if (endWord == QLatin1String("ENDLOOP"))
            LoopReentry = true;
    }
}

bool TActionEval::ShouldStop() const
{
    const RunState& runs = Runs();
    return LineNo >= Lines.size() || Returned || ErrorCode != 0 || runs.AbortAll ||
           Generation != runs.RunGeneration;
}

bool TActionEval::PumpIsDue()
{
    if (!lastLineQuiet_)
        return true;
    // Quiet lines are short (a loop's take well under a microsecond): the
    // clock is read after every few of them rather than after each.
    if (++quietLines_ < kQuietLinesPerClockRead)
        return false;
    quietLines_ = 0;
    return PumpClock::now() - LastPump() >= kQuietPumpInterval;
}

void TActionEval::PumpMessages()
{
    if (!services_.Pump)
        return;
    LastPump() = PumpClock::now();
    services_.Pump->RestartIdleTimer();
    if (Runs().ImmediateRuns > 0)
        services_.Pump->ProcessEscapeOnly();
    else
        services_.Pump->ProcessPendingMessages();
}

void TActionEval::Run()
{
    RunFrom(0);
}

void TActionEval::RunFrom(int lineNo)
{
    LineNo = lineNo;
    RunState& runs = Runs();
    ++runs.Depth;
    if (runs.Depth > kMaxEvaluatorDepth) {
        ReportActionError(aeNestingTooDeep);
    } else {
        do {
            if (!Started && services_.Pump)
                services_.Pump->RestartIdleTimer();
            if (Started && PumpIsDue())
                PumpMessages();
            Started = true;
            lastLineQuiet_ = true;
            ++LineNo;
            currentIndex_ = LineNo;
            if (SkipAfterNext > 0) {
                LineNo += SkipAfterNext;
                SkipAfterNext = 0;
            }
            if (currentIndex_ <= script_->LineCount() && !script_->Line(currentIndex_).Text.isEmpty())
                ProcessLine();
            if (services_.Debugger && DebugOffDepth == 0)
                services_.Debugger->ActionComplete(Serial);
        } while (!ShouldStop());
    }
    --runs.Depth;
    runs.ImmediateRuns = std::max(0, runs.ImmediateRuns - SuspendCount);
    SuspendCount = 0;
}

void TActionEval::ProcessLine()
{
    const ParsedLine& line = script_->Line(currentIndex_);
    wordIndex_ = currentIndex_;
    CurrentGroup = nullptr;
    CurrentCommand = nullptr;
    switch (line.Class) {
    case lcEmpty:
        return;
    case lcComment:
    case lcLabel:
        if (services_.Debugger && DebugOffDepth == 0)
            services_.Debugger->AddAction(Serial, CurrentLine(), 3);
        return;
    case lcBlockWord:
        HandleBlockWord();
        return;
    case lcCommand:
        break;
    }
    // The word is looked up before the skip state counts: an unknown command
    // stops the script even inside a branch that does not run.
    const CommandMatch match = script_->CommandOf(currentIndex_);
    if (!match) {
        ReportActionError(aeUnknownCommand);
        return;
    }
    CurrentGroup = match.Group;
    CurrentCommand = match.Command;
    if (SkipState != ssExecuting) {
        CountBlockOpening(*match.Command);
        if (services_.Debugger && DebugOffDepth == 0)
            services_.Debugger->AddAction(Serial, CurrentLine(), 0);
        return;
    }
    if (services_.Debugger && DebugOffDepth == 0)
        services_.Debugger->AddAction(Serial, CurrentLine(), 1);
    lastLineQuiet_ = IsQuiet(match);
    HandleCommand(match);
}

bool TActionEval::IsQuiet(const CommandMatch& match)
{
    // The match depends on the line's word and the command table alone.
    ParsedLine& line = script_->Line(currentIndex_);
    if (line.QuietVersion != line.TableVersion) {
        line.Quiet = match.Group->Kind == gkBuiltin && IsQuietCommand(*match.Command);
        line.QuietVersion = line.TableVersion;
    }
    return line.Quiet;
}

void TActionEval::HandleBlockWord()
{
    const BlockWord w = script_->Line(currentIndex_).Block;
    if (w == bwDebugOff) {
        ++DebugOffDepth;
    } else if (w == bwDebugOn) {
        --DebugOffDepth;
    } else if (w == bwElse) {
        if (SkipState == ssToElseOrEndIf && IfDepth == 0)
            SkipState = ssExecuting;
        else if (SkipState == ssExecuting)
            SkipState = ssToEndIf;
    } else if (w == bwEndIf) {
        if (SkipState == ssToElseOrEndIf || SkipState == ssToEndIf) {
            if (IfDepth > 0)
                --IfDepth;
            else
                SkipState = ssExecuting;
        }
    } else if (w == bwEndWhile) {
        if (SkipState == ssToEndWhile) {
            if (WhileDepth > 0)
                --WhileDepth;
            else
                SkipState = ssExecuting;
        } else if (SkipState == ssExecuting) {
            static const QStringList kWhileWords = {QStringLiteral("WHILE"), QStringLiteral("WHILEEX")};
            JumpBack(kWhileWords, QStringLiteral("ENDWHILE"));
        }
    } else if (w == bwEndLoop) {
        if (SkipState == ssToEndLoop) {
            if (LoopDepth > 0)
                --LoopDepth;
            else
                SkipState = ssExecuting;
        } else if (SkipState == ssExecuting) {
            static const QStringList kLoopWords = {QStringLiteral("LOOP")};
            JumpBack(kLoopWords, QStringLiteral("ENDLOOP"));
        }
    }
}

void TActionEval::CountBlockOpening(const TCommandRecord& command)
{
    if (CurrentGroup == nullptr || CurrentGroup->Kind != gkBuiltin)
        return;
    const int id = command.Id;
    if ((SkipState == ssToElseOrEndIf || SkipState == ssToEndIf) && (id == ciIf || id == ciIfEx))
        ++IfDepth;
    else if (SkipState == ssToEndWhile && (id == ciWhile || id == ciWhileEx))
        ++WhileDepth;
    else if (SkipState == ssToEndLoop && id == ciLoop)
        ++LoopDepth;
}

void TActionEval::HandleCommand(const CommandMatch& match)
{
    const TCommandRecord& command = *match.Command;
    if ((Flags & afFromBrowserLink) &&
        (match.Group->Kind == gkPlugIn || command.Has(cfBrowserDenied))) {
        ReportActionError(aeBrowserLinkRefused, command.Name);
        return;
    }
    const ParsedLine& line = script_->SplitOf(currentIndex_);
    if (const QuickLine* quick = script_->QuickOf(currentIndex_, match); quick && quick->Run(*this))
        return;
    CopyParams(line.Params, Params);
    if (line.SplitStatus != ssOk) {
        ReportActionError(aeUnbalancedQuotes);
        return;
    }
    const bool isCall = match.Group->Kind == gkBuiltin && command.Id == ciCall;
    const bool countOk = isCall ? Params.Count >= command.MaxParams
                                : Params.Count >= command.MinParams && Params.Count <= command.MaxParams;
    if (!countOk) {
        ReportActionError(aeParameterCount, QString(), command.MinParams);
        return;
    }
    Dispatch(match);
}

bool TActionEval::PassesPageChangeRule(const TCommandRecord& command)
{
    if (!command.Has(cfPageChange))
        return true;
    if (services_.Publication && services_.Publication->SinglePagePreview()) {
        ReportActionError(aeSinglePagePreview);
        return false;
    }
    if (Flags & afNoPageChange) {
        ReportActionError(aePageChangeRefused);
        return false;
    }
    return true;
}

void TActionEval::Dispatch(const CommandMatch& match)
{
    const TCommandRecord& command = *match.Command;
    CommandContext ctx(*this, *match.Group, command);
    if (match.Group->Kind == gkPlugIn) {
        EvaluateParameters();
        if (match.Group->Library)
            match.Group->Library->Execute(ctx);
        return;
    }
    if (!command.Has(cfSelfEvaluating))
        EvaluateParameters();
    if (!PassesPageChangeRule(command))
        return;
    if (command.Handler)
        command.Handler(ctx);
}

void TActionEval::EvaluateParameter(int slot, int kind, bool computeExpressions)
{
    if (slot < 1 || slot > kMaxParams)
        return;
    tomeric::EvaluateParameter(Params.Text[slot - 1], Params.Exact[slot - 1], kind,
                               computeExpressions, services_.Publication);
}

void TActionEval::EvaluateParameters()
{
    const uint8_t* kinds = CurrentCommand ? CurrentCommand->Kinds.data() : nullptr;
    for (int i = 1; i <= Params.Count; ++i)
        EvaluateParameter(i, kinds && i <= kMaxParams ? kinds[i - 1] : uint8_t(pkText), true);
}

void TActionEval::ReportActionError(int code, const QString& text, int number)
{
    const QString message = ActionErrorMessage(code, text, number);
    const QString report = CurrentWordAsWritten() + QStringLiteral("\r\r") + message;
    if (!services_.Debugger) {
        SetLastError(report);
        ErrorCode = code;
        return;
    }
    {
        ErrorDisplaySuppressor quiet;
        SetLastError(report);
    }
    const int answer =
        services_.Debugger->ErrorReport(Lines.join(QStringLiteral("\r\n")), message, SourceName, 0,
                                        LineNo, SourceKind);
    if (answer == 1) {
        ErrorCode = code;
    } else if (answer == 3) {
        ErrorCode = code;
        if (SourceKind != skShutdown)
            Runs().AbortAll = true;
    }
}

void RunActionText(Services& services, const QString& text, const QString& sourceName,
                   uint8_t flags, uint8_t sourceKind)
{
    if (Runs().AbortAll)
        return;
    const int debugType = (sourceKind == skPageEnter || sourceKind == skPageExit) ? dtPageScript : dtScript;
    TActionEval eval(services, text, flags, sourceKind, debugType, sourceName);
    eval.Run();
}

void AbortAllActions()
{
    RunState& runs = Runs();
    ++runs.RunGeneration;
    runs.AbortAll = false;
    runs.ActiveEvaluators = 0;
    runs.ImmediateRuns = 0;
    for (const auto& hook : AbortAllHooks())
        hook();
}

void AddAbortAllHook(std::function<void()> hook)
{
    AbortAllHooks().push_back(std::move(hook));
}

} // namespace tomeric
