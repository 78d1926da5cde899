// The evaluator: run rules that scripts alone cannot show (flags, source
// kinds, counters, nesting, aborting, the debugger link, plug-in commands).

#include "actions/action_eval.h"
#include "actions/command_context.h"
#include "actions/headless_services.h"
#include "vars/builtin_vars.h"
#include "vars/variables.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace tomeric {
namespace {

class EvaluatorTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetVariableStore();
        SetShowErrors(true);
        SetSelfName(QString());
        AbortAllActions();
        services_ = std::make_unique<HeadlessServices>([this](const QString& line) { lines_ << line; });
    }
    void TearDown() override
    {
        services_.reset();
        ResetVariableStore();
        Runs().AbortAll = false;
    }

    void Run(const QString& script, uint8_t flags = 0, uint8_t sourceKind = 0,
             const QString& sourceName = QStringLiteral("test"))
    {
        RunActionText(services_->All(), script, sourceName, flags, sourceKind);
    }
    static QString Var(const char* name) { return GetVariable(QString::fromLatin1(name)); }

    std::unique_ptr<HeadlessServices> services_;
    QStringList lines_;
};

TEST_F(EvaluatorTest, PageChangesAreRefusedWhenTheRunForbidsThem)
{
    Run("SetVar \"[a]\" \"1\"\nGotoNextPage\nSetVar \"[b]\" \"2\"", afNoPageChange);
    EXPECT_EQ(Var("a"), "1");
    EXPECT_EQ(Var("b"), "");
    EXPECT_EQ(Var("LastError"), "GotoNextPage\r\rLes actions de changement de page ne sont pas autorisées ici.");
    EXPECT_FALSE(lines_.contains("CALL GotoNextPage"));
}

TEST_F(EvaluatorTest, PageChangesAreRefusedInSinglePagePreview)
{
    services_->singlePagePreview = true;
    Run("GotoPage \"Next\"");
    EXPECT_EQ(Var("LastError"),
              "GotoPage\r\rLa navigation par page n'est pas autorisée en mode de test de page simple.");
}

TEST_F(EvaluatorTest, BrowserLinksCannotRunDeniedCommands)
{
    Run("SetVar \"[a]\" \"1\"\nFileRead \"x.txt\" \"1\" \"[v]\"\nSetVar \"[b]\" \"2\"", afFromBrowserLink);
    EXPECT_EQ(Var("a"), "1");
    EXPECT_EQ(Var("b"), "");
    EXPECT_EQ(Var("LastError"), "FileRead\r\rL'action FileRead ne peut pas provenir d'un lien de Navigateur Web.");
}

TEST_F(EvaluatorTest, BrowserLinksMayRunOtherCommands)
{
    Run("SetVar \"[a]\" \"1\"\nAlertBox \"t\" \"m\"", afFromBrowserLink);
    EXPECT_EQ(Var("a"), "1");
    EXPECT_EQ(lines_, QStringList{"DIALOG AlertBox \"t\" \"m\""});
}

TEST_F(EvaluatorTest, SelfIsTheObjectWhoseEventRunsAndComesBackAfterwards)
{
    Run("SetVar \"[seen]\" \"[Self]\"", 0, 1, "Button1");
    EXPECT_EQ(Var("seen"), "Button1");
    EXPECT_EQ(SelfName(), "");
    Run("SetVar \"[page]\" \"[Self]\"", 0, skPageEnter, "Page2");
    EXPECT_EQ(Var("page"), "");
}

TEST_F(EvaluatorTest, EachRunHasItsOwnLocals)
{
    Run("DefineVar \"[x]\" \"Integer\" \"\" \"Local\" \"7\"\nSetVar \"[inside]\" \"[x]\"");
    EXPECT_EQ(Var("inside"), "7");
    EXPECT_EQ(Var("x"), "");
    EXPECT_EQ(LocalVars(), nullptr);
}

TEST_F(EvaluatorTest, NothingStartsWhileAbortAllIsSet)
{
    Runs().AbortAll = true;
    Run("SetVar \"[a]\" \"1\"");
    EXPECT_EQ(Var("a"), "");
}

TEST_F(EvaluatorTest, CountersFollowTheRuns)
{
    {
        TActionEval first(services_->All(), "Return", 0, 0, dtScript, "a");
        TActionEval second(services_->All(), "Return", 0, 0, dtScript, "b");
        EXPECT_EQ(first.Serial, 1);
        EXPECT_EQ(second.Serial, 2);
        EXPECT_EQ(Runs().ActiveEvaluators, 2);
    }
    EXPECT_EQ(Runs().ActiveEvaluators, 0);
}

TEST_F(EvaluatorTest, ImmediateRunsAndSuspendBalance)
{
    {
        TActionEval eval(services_->All(), "Suspend \"True\"\nSetVar \"[n]\" \"[n]+1\"", afImmediate, 0, dtScript,
                         "x");
        EXPECT_EQ(Runs().ImmediateRuns, 1);
        eval.Run();
    }
    EXPECT_EQ(Runs().ImmediateRuns, 0);
    Run("Suspend \"Yes\"\nSuspend \"False+NOBUFFER\"\nSuspend \"0\"\nSuspend \"maybe\"");
    EXPECT_EQ(Runs().ImmediateRuns, 0);
}

TEST_F(EvaluatorTest, AStaleGenerationStopsAfterTheCurrentLine)
{
    TActionEval eval(services_->All(), "SetVar \"[a]\" \"1\"\nSetVar \"[b]\" \"2\"", 0, 0, dtScript, "x");
    AbortAllActions();
    eval.Run();
    EXPECT_EQ(Var("a"), "1");
    EXPECT_EQ(Var("b"), "");
}

TEST_F(EvaluatorTest, DelayWaitsAndRefusesTextThatIsNotANumber)
{
    QElapsedTimer clock;
    clock.start();
    Run("Delay \"!5*100\"\nDelay \"abc\"\nDelay \"0\"");
    EXPECT_LT(clock.elapsed(), 400);
    clock.restart();
    Run("SetVar \"[n]\" \"3\"\nDelay \"[n]*10\"");
    EXPECT_GE(clock.elapsed(), 30);
    clock.restart();
    Run("Delay \"-20\"");
    EXPECT_GE(clock.elapsed(), 20);
}

TEST_F(EvaluatorTest, TenThousandNestedGoSubsEndInAnErrorNotACrash)
{
    services_->subroutineText = ":Down\nSetVar \"[depth]\" \"[depth]+1\"\nIf \"[depth]\" \"<\" \"10000\"\nGoSub \"Down\"\nENDIF";
    SetShowErrors(false);
    Run("GoSub \"Down\"\nSetVar \"[after]\" \"yes\"");
    EXPECT_EQ(Var("depth"), QString::number(kMaxEvaluatorDepth - 1));
    EXPECT_EQ(Var("after"), "yes");
    EXPECT_TRUE(Var("LastError").startsWith("GoSub\r\r"));
    EXPECT_EQ(Runs().Depth, 0);
}

TEST_F(EvaluatorTest, HostileLinesAreErrorsNeverCrashes)
{
    SetShowErrors(false);
    const char* scripts[] = {"\"", "\"\"\"", "If", "ENDIF\nENDWHILE\nENDLOOP\nELSE", "IfEx \"((((((\"",
                             "IfEx \")\"", "IfEx \"[#34]\"", "Loop \"\" \"\" \"\"", "GotoLine \"-99999999999\"",
                             "Menu \"1\" \"1\" \"|||\"", "SetVar \"[\" \"]\"", "SetVar \"]\" \"[\"",
                             "Math \"(((((((((((((((((((((((1\" \"0\" \"[r]\"", "Delay \"1e400\""};
    for (const char* script : scripts) {
        Run(QString::fromUtf8(script));
        SUCCEED() << script;
    }
}

class FakeDebugger : public DebuggerLink {
public:
    int answer = 0;
    int reports = 0;
    int starts = 0;
    QString lastMessage;
    void ActionStart(int, const QString&, int, int) override { ++starts; }
    void AddAction(int, const QString&, int) override {}
    void ActionComplete(int) override {}
    int ErrorReport(const QString&, const QString& message, const QString&, int, int, int) override
    {
        ++reports;
        lastMessage = message;
        return answer;
    }
};

TEST_F(EvaluatorTest, TheDebuggerDecidesWhetherAnErrorStopsTheScript)
{
    FakeDebugger debugger;
    services_->All().Debugger = &debugger;
    debugger.answer = 0;
    Run("Nonsense\nSetVar \"[continued]\" \"yes\"");
    EXPECT_EQ(Var("continued"), "yes");
    EXPECT_EQ(debugger.lastMessage, "Je ne comprends pas cette commande !");
    EXPECT_TRUE(lines_.isEmpty()) << "the error box stays closed while a debugger is asked";

    debugger.answer = 1;
    Run("Nonsense\nSetVar \"[stopped]\" \"no\"");
    EXPECT_EQ(Var("stopped"), "");

    debugger.answer = 3;
    Run("Nonsense\nSetVar \"[aborted]\" \"no\"");
    EXPECT_TRUE(Runs().AbortAll);
    Runs().AbortAll = false;
    services_->All().Debugger = nullptr;
}

TEST_F(EvaluatorTest, ScriptsBeginningWithDebugOffAreNotAnnounced)
{
    FakeDebugger debugger;
    services_->All().Debugger = &debugger;
    Run("debugoff\nSetVar \"[a]\" \"1\"\nDEBUGON");
    EXPECT_EQ(debugger.starts, 0);
    Run("SetVar \"[a]\" \"1\"");
    EXPECT_EQ(debugger.starts, 1);
    services_->All().Debugger = nullptr;
}

TEST_F(EvaluatorTest, BreakPointsOnlyInPreview)
{
    Run("DebugBreakPoint \"here\"");
    EXPECT_TRUE(lines_.isEmpty());
    services_->previewMode = true;
    Run("DebugBreakPoint \"here\"");
    EXPECT_EQ(lines_, QStringList{"DIALOG AlertBox \"BreakPoint\" \"here\""});
}

// A plug-in that records what it was asked to do.
class RecordingPlugIn : public TPlugInLibrary {
public:
    QStringList* calls;
    explicit RecordingPlugIn(QStringList* c) : calls(c) {}
    void Execute(CommandContext& ctx) override
    {
        calls->append(QString::number(ctx.Command().Id) + ":" + ctx.Param(1) + ":" + ctx.Param(2));
        ctx.SetResult(2, "from plug-in");
    }
};

TEST_F(EvaluatorTest, PlugInCommandsGetEvaluatedParametersAndAreDeniedToBrowserLinks)
{
    QStringList calls;
    TCommandGroup& group = CommandTable().AddCommandGroup("Recorder", "recorder.so",
                                                          std::make_unique<RecordingPlugIn>(&calls), gkPlugIn);
    CommandTable().AddCommand(group, 42, "Record", {pkNumber, pkVariable}, 2, 2);
    Run("SetVar \"[n]\" \"4\"\nRecord \"[n]*2\" \"[out]\"");
    EXPECT_EQ(calls, QStringList{"42:8:out"});
    EXPECT_EQ(Var("out"), "from plug-in");

    Run("Record \"1\" \"[x]\"", afFromBrowserLink);
    EXPECT_EQ(calls.size(), 1);
    EXPECT_EQ(Var("LastError"), "Record\r\rL'action Record ne peut pas provenir d'un lien de Navigateur Web.");
    CommandTable().RemoveGroup(&group);
}

TEST_F(EvaluatorTest, CallAcceptsAnyCountOfAtLeastOne)
{
    SetShowErrors(false);
    Run("Call \"f\" \"1\" \"2\" \"3\"\nSetVar \"[after]\" \"yes\"");
    EXPECT_EQ(Var("after"), "yes");
    Run("Call\nSetVar \"[never]\" \"yes\"");
    EXPECT_EQ(Var("never"), "");
    EXPECT_EQ(Var("LastError"), "Call\r\rCette action nécessite 1 paramètre(s).");
}

TEST_F(EvaluatorTest, LastErrorNamesTheCommandWordAsWritten)
{
    SetShowErrors(false);
    Run("  alertBOX \"one\"");
    EXPECT_EQ(Var("LastError"), "alertBOX\r\rCette action nécessite 2 paramètre(s).");
}

} // namespace
} // namespace tomeric
