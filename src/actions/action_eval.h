#pragma once
// TActionEval runs one action script from its first line to its end, an
// error, a Return or a global abort, on the main thread. Between two lines it
// lets the message queue run, so further events may start further scripts;
// those nested runs are new evaluators on the same call stack.

#include "actions/action_text.h"
#include "actions/command_table.h"
#include "actions/parsed_script.h"
#include "actions/services.h"
#include "vars/variables.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace tomeric {

// Run flags.
enum ActionFlag : uint8_t {
    afNoPageChange = 1,
    afFromBrowserLink = 2,
    afImmediate = 4,
};

// What started a script. Object events use their object's own kinds (1..25,
// beside the two menu kinds); the rest are named here, once.
enum SourceKind : uint8_t {
    skMainMenu = 23,
    skTrayMenu = 24,
    skPageEnter = 50,
    skPageExit = 51,
    skStartup = 52,
    skShutdown = 53,
    skActivate = 54,
    skDeactivate = 55,
    skPageChange = 56,
    skIdleReturn = 57,
    skGoSub = 58,     // also posted subroutines, Find's actions and movers' done actions
    skExternalMacro = 59,
    skUserFunction = 60,
    skPlugIn = 61,
};

// Debug types handed to an attached debugger.
enum DebugType : int { dtPageScript = 25, dtScript = 26, dtPlugIn = 27 };

// Skip states while walking over blocks that do not run.
enum SkipState : uint8_t {
    ssExecuting = 0,
    ssToElseOrEndIf = 1,
    ssToEndIf = 2,
    ssToEndWhile = 3,
    ssToEndLoop = 4,
};

// Error codes of the single error path (ReportActionError).
enum ActionError : int {
    aeUnbalancedQuotes = -1,
    aeParameterCount = -2,
    aeLoopVariable = -3,
    aeUnknownCommand = -4,
    aePageChangeRefused = -5,
    aeNoSuchPage = -6,
    aeBrowserLinkRefused = -7,
    aeNoSuchLabel = -8,
    aeNoSuchSubroutine = -9,
    aeMathSyntax = -10,
    aeNoSuchFile = -11,
    aeNoSuchFunction = -12,
    aeInvalidKey = -13,
    aeMissingBrace = -14,
    aeInvalidOperator = -15,
    aeMissingOperator = -16,
    aeInvalidExpression = -17,
    aeSinglePagePreview = -18,
    aeExitOutsideLoop = -19,
    aeNestingTooDeep = -20,
    aeScriptFailed = -21, // a function in another script language failed; the text says why
    // A command's own failure message (the program commands): the text is
    // the message.
    aeCommandMessage = -100,
};

// How deep evaluators may nest (GoSub, Call, scripts started from scripts)
// before the next one is refused with an error instead of exhausting the
// stack.
inline constexpr int kMaxEvaluatorDepth = 256;

// Process-wide run state.
struct RunState {
    int RunGeneration = 0;
    int ActiveEvaluators = 0;
    int ImmediateRuns = 0;
    bool AbortAll = false;
    int Depth = 0; // evaluators on the call stack now
};
RunState& Runs();

// The message text of an error code with its added text or number.
QString ActionErrorMessage(int code, const QString& text, int number);

class TActionEval {
public:
    TActionEval(Services& services, const QString& text, uint8_t flags, uint8_t sourceKind,
                int debugType, const QString& sourceName);
    ~TActionEval();
    TActionEval(const TActionEval&) = delete;
    TActionEval& operator=(const TActionEval&) = delete;

    void Run();
    // Runs the script from the line after `lineNo` (GoSub starts after its label).
    void RunFrom(int lineNo);

    void ReportActionError(int code, const QString& text = QString(), int number = 0);

    // Evaluates one slot of the current line in place (Part of dispatch).
    void EvaluateParameter(int slot, int kind, bool computeExpressions);
    void EvaluateParameters();

    // Line text of line n (1-based), leading blanks removed; empty beyond the end.
    QString GetLine(int n) const;
    // The line of the label (1-based), or 0.
    int FindLabel(const QString& name) const;
    // The enclosing block's opening line searching back from the current
    // line: `openWords` are upper-cased opening words, `endWord` the closing word.
    int FindEnclosingBlock(const QStringList& openWords, const QString& endWord) const;

    Services& Svc() const { return services_; }
    const PublicationAccess* Publication() const { return services_.Publication; }

    // ---- state (the names scripts' developers know) ----
    QString SourceName;
    uint8_t Flags = 0;
    uint8_t SourceKind = 0;
    int Serial = 0;
    int Generation = 0;
    QStringList Lines;
    int DebugOffDepth = 0;
    int LineNo = 0;
    int SkipAfterNext = 0;
    // The line being run (leading blanks removed), and the command word of
    // the last line that had one, upper-cased and as written. They are
    // read from the parsed script, not copied for every line.
    const QString& CurrentLine() const;
    const QString& CurrentWord() const;
    const QString& CurrentWordAsWritten() const;
    bool Started = false;
    bool Returned = false;
    int ErrorCode = 0;
    ActionParams Params;      // Params.Count, Params[1..10], Params.Exact
    int IfDepth = 0;
    int WhileDepth = 0;
    int LoopDepth = 0;
    bool LoopReentry = false;
    uint8_t SkipState = ssExecuting;
    TCommandGroup* CurrentGroup = nullptr;
    const TCommandRecord* CurrentCommand = nullptr;
    int SuspendCount = 0;
    int DebugType = dtScript;

private:
    bool ShouldStop() const;
    bool PumpIsDue();
    void PumpMessages();
    void ProcessLine();
    bool IsQuiet(const CommandMatch& match);
    void HandleBlockWord();
    void HandleCommand(const CommandMatch& match);
    void CountBlockOpening(const TCommandRecord& command);
    void Dispatch(const CommandMatch& match);
    bool PassesPageChangeRule(const TCommandRecord& command);
    void JumpBack(const QStringList& openWords, const QString& endWord);

    Services& services_;
    std::shared_ptr<ParsedScript> script_;
    int currentIndex_ = 0;      // the line CurrentLine() is read from
    int wordIndex_ = 0;         // the line CurrentWord() is read from; 0: none yet
    bool lastLineQuiet_ = true; // the last line only computed and branched
    int quietLines_ = 0;        // quiet lines run since the clock was last read
    LocalScope locals_;
    std::optional<QString> savedSelf_;
    bool countedDepth_ = false;
};

// Runs a script the way the main window does: nothing while AbortAll is
// set; debug type 25 for page enter/leave scripts, 26 for all others.
void RunActionText(Services& services, const QString& text, const QString& sourceName,
                   uint8_t flags, uint8_t sourceKind);

// A new publication starts: every evaluator of the previous run becomes
// stale, the counters restart, and the loaded user function is dropped.
void AbortAllActions();
// Called by AbortAllActions (the user-function loader registers here).
void AddAbortAllHook(std::function<void()> hook);

} // namespace tomeric
