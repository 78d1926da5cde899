// The order of events when the page changes, the page-change action's
// cancel and redirect, the history behind ReturnToPage, the navigation
// commands and their refusals, and the page built-ins.

#include "page_navigation_fixture.h"

namespace tomeric::testing {
namespace {

const QString kNoSuchPage = QStringLiteral("Cette page n'existe pas.");
const QString kPageChangeRefused = QStringLiteral("Les actions de changement de page ne sont pas autorisées ici.");
const QString kSinglePagePreview =
    QStringLiteral("La navigation par page n'est pas autorisée en mode de test de page simple.");

QString Quoted(const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

std::vector<PageDef> ThreePagesWithScripts()
{
    return {
        {"Intro", "SystemSound \"enter [PageTitle]\"", "SystemSound \"exit [PageTitle]\""},
        {"Second", "SystemSound \"enter [PageTitle]\"", "SystemSound \"exit [PageTitle]\"", "Wipe", "3"},
        {"Third", "SystemSound \"enter [PageTitle]\"", "SystemSound \"exit [PageTitle]\""},
    };
}

// ---- order of events ---------------------------------------------------------------

TEST_F(PageListTest, FirstPaintEntersTheStartPageThenStartupThenEnterAction)
{
    LoadPages(ThreePagesWithScripts(), QString(), QStringLiteral("SystemSound \"startup\""));
    list.Start();
    const Log expected = {
        QStringLiteral("view Begin 1 1"),
        QStringLiteral("view Show 1 \"\" \"\" 0"),
        QStringLiteral("view Shown 1"),
        QStringLiteral("view Focus"),
        QStringLiteral("view End 1"),
        QStringLiteral("PAGE 1 \"Intro\""),
        QStringLiteral("RUN STARTUPACTION"),
        QStringLiteral("CALL SystemSound \"startup\""),
        QStringLiteral("RUN PGENTERACTION \"Intro\""),
        QStringLiteral("CALL SystemSound \"enter Intro\""),
    };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(list.History(), QStringList{QStringLiteral("1")});
}

TEST_F(PageListTest, PageChangeRunsEveryStepInOrder)
{
    LoadPages(ThreePagesWithScripts(), QStringLiteral("SystemSound \"change [PageChangeName] on [PageNumber]\""));
    StartQuietly();
    Run(QStringLiteral("GotoNextPage"));
    const Log expected = {
        QStringLiteral("CALL GotoNextPage"),
        QStringLiteral("RUN PAGECHANGEACTION \"Second\""),
        QStringLiteral("CALL SystemSound \"change Second on 1\""),
        QStringLiteral("RUN PGEXITACTION \"Intro\""),
        QStringLiteral("CALL SystemSound \"exit Intro\""),
        QStringLiteral("plugin 6 2"),
        QStringLiteral("view Begin 1 2 transition"),
        QStringLiteral("view Hiding 1"),
        QStringLiteral("view Entering 2"),
        QStringLiteral("view Switch 1 2"),
        QStringLiteral("view Changed 2"),
        QStringLiteral("view Show 2 \"Wipe\" \"3\" 1"),
        QStringLiteral("view Shown 2"),
        QStringLiteral("view Focus"),
        QStringLiteral("view End 2"),
        QStringLiteral("PAGE 2 \"Second\""),
        QStringLiteral("RUN PGENTERACTION \"Second\""),
        QStringLiteral("CALL SystemSound \"enter Second\""),
    };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(list.PageIndex(), 2);
    EXPECT_EQ(GetVariable(QStringLiteral("[PageChangeName]")), QString()); // cleared after the action
}

TEST_F(PageListTest, DirectionIsNewIndexMinusOld)
{
    LoadNumberedPages(5);
    list.SetPageIndex(4);
    log.clear();
    Run(QStringLiteral("GotoPage \"p2\""));
    EXPECT_EQ(Only({QStringLiteral("view Show ")}), Log{QStringLiteral("view Show 2 \"\" \"\" -2")});
}

TEST_F(PageListTest, StartupActionRunsOnceAndOnlyAtTheFirstEntry)
{
    LoadPages(ThreePagesWithScripts(), QString(), QStringLiteral("SystemSound \"startup\""));
    list.Start();
    Run(QStringLiteral("GotoNextPage\r\nGotoNextPage"));
    EXPECT_EQ(ScriptLog(), (Log{"startup", "enter Intro", "exit Intro", "enter Second", "exit Second",
                                "enter Third"}));
}

TEST_F(PageListTest, StartupActionThatChangesPagePreventsTheFirstEnterAction)
{
    LoadPages(ThreePagesWithScripts(), QString(), QStringLiteral("GotoPage \"Third\""));
    list.Start();
    // The start-up script is not a page script: it may change page, and the
    // page it left never had its enter action run.
    EXPECT_EQ(ScriptLog(), (Log{"exit Intro", "enter Third"}));
    EXPECT_EQ(list.PageIndex(), 3);
}

// ---- PAGECHANGEACTION --------------------------------------------------------------

struct PageChangeCase {
    const char* name;
    const char* action;       // the PAGECHANGEACTION
    int expectedPage;         // after GotoNextPage from page 1
    const char* scriptLog;    // what the scripts logged, "|"-separated
    const char* errorWord;    // the command word of the error box, "" for none
    const char* errorMessage;
    bool callerStops;         // the script that asked for the change stopped
};

const PageChangeCase kPageChangeCases[] = {
    {"LeavesTheTargetAlone", "SystemSound \"asked [PageChangeName]\"", 2, "asked Second|exit Intro|enter Second",
     "", "", false},
    {"EmptyNameCancelsWithoutExitAction", "SetVar \"[PageChangeName]\" \"\"", 1, "", "", "", false},
    {"RedirectsIgnoringCase", "SetVar \"[PageChangeName]\" \"tHIRD\"", 3, "exit Intro|enter Third", "", "", false},
    {"MissingRedirectCancelsWithAnError", "SetVar \"[PageChangeName]\" \"Nowhere\"", 1, "", "GotoNextPage",
     "\"Nowhere\"\r" "Cette page n'existe pas.", true},
    {"MayNotChangePageItself", "GotoPage \"Third\"\r\nSystemSound \"not reached\"", 2, "exit Intro|enter Second",
     "GotoPage", "Les actions de changement de page ne sont pas autorisées ici.", false},
};

class PageChangeActionTest : public PageListTest, public ::testing::WithParamInterface<PageChangeCase> {};

TEST_P(PageChangeActionTest, DecidesTheTarget)
{
    const PageChangeCase& c = GetParam();
    LoadPages(ThreePagesWithScripts(), QString::fromUtf8(c.action));
    StartQuietly();
    Run(QStringLiteral("GotoNextPage\r\nSystemSound \"caller goes on\""));

    EXPECT_EQ(list.PageIndex(), c.expectedPage);
    QStringList expectedLog = QString::fromUtf8(c.scriptLog).split(u'|', Qt::SkipEmptyParts);
    if (!c.callerStops)
        expectedLog.append(QStringLiteral("caller goes on"));
    const Log scripts = ScriptLog();
    EXPECT_EQ(QStringList(scripts.begin(), scripts.end()), expectedLog);
    const Log errors = Only({QStringLiteral("ERROR")});
    if (*c.errorWord == '\0') {
        EXPECT_TRUE(errors.empty());
    } else {
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0], ErrorLine(QString::fromUtf8(c.errorWord), QString::fromUtf8(c.errorMessage)));
    }
    EXPECT_EQ(GetVariable(QStringLiteral("[PageChangeName]")), QString());
}

INSTANTIATE_TEST_SUITE_P(Outcomes, PageChangeActionTest, ::testing::ValuesIn(kPageChangeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PageListTest, PageChangeActionRunsOnlyForChangesAskedByScripts)
{
    LoadPages(ThreePagesWithScripts(), QStringLiteral("SystemSound \"asked\""));
    StartQuietly();
    list.GotoPageIndex(3, false);
    // Without a script asking, neither the page-change nor the exit action runs.
    EXPECT_EQ(ScriptLog(), Log{"enter Third"});
}

// ---- exit actions -------------------------------------------------------------------

TEST_F(PageListTest, ExitActionMayNotChangePage)
{
    LoadPages({{"A", "", "GotoPage \"C\"\r\nSystemSound \"after refusal\""}, {"B", "SystemSound \"enter B\""}, {"C"}});
    StartQuietly();
    Run(QStringLiteral("GotoPage \"B\""));
    EXPECT_EQ(list.PageIndex(), 2);
    EXPECT_EQ(ScriptLog(), Log{"enter B"});
    EXPECT_EQ(Only({QStringLiteral("ERROR")}), Log{ErrorLine(QStringLiteral("GotoPage"), kPageChangeRefused)});
}

TEST_F(PageListTest, ShutdownRunsTheExitActionAndThenNoMoreScripts)
{
    LoadPages({{"A", "SystemSound \"enter A\"", "SystemSound \"exit [PageTitle]\"\r\nGotoPage \"B\""}, {"B"}});
    StartQuietly();
    list.Shutdown();
    EXPECT_EQ(ScriptLog(), Log{"exit A"});
    EXPECT_EQ(list.PageIndex(), 1);
    log.clear();
    list.ShowPage(2);
    EXPECT_TRUE(ScriptLog().empty());
}

// ---- navigation commands and their refusals -------------------------------------------

struct NavigationCase {
    const char* script;
    int startPage;
    int expectedPage;
    const char* errorWord;   // "" when no error
    const char* errorText;   // the name shown with message 246, or the whole message
    bool pageError;          // errorText is a page name (message 246 follows)
};

const NavigationCase kNavigationCases[] = {
    {"GotoPage \"P3\"", 1, 3, "", "", false},
    {"GotoPage \"p3\"", 1, 3, "", "", false},
    {"GotoPage \"P2\"", 2, 2, "", "", false},
    {"GotoPage \"Nowhere\"", 1, 1, "GotoPage", "Nowhere", true},
    {"GotoPage \"\"", 2, 2, "GotoPage", "", true},
    {"GotoPageNum \"4\"", 1, 4, "", "", false},
    {"GotoPageNum \"1+2\"", 1, 3, "", "", false},
    {"GotoPageNum \"0\"", 2, 2, "GotoPageNum", "0", true},
    {"GotoPageNum \"5\"", 2, 2, "GotoPageNum", "5", true},
    {"GotoPageNum \"-1\"", 2, 2, "GotoPageNum", "-1", true},
    {"GotoFirstPage", 3, 1, "", "", false},
    {"GotoFirstPage", 1, 1, "", "", false},
    {"GotoLastPage", 1, 4, "", "", false},
    {"GotoNextPage", 2, 3, "", "", false},
    {"GotoNextPage", 4, 4, "", "", false},
    {"GotoPrevPage", 3, 2, "", "", false},
    {"GotoPrevPage", 1, 1, "", "", false},
};

class NavigationCommandTest : public PageListTest, public ::testing::WithParamInterface<NavigationCase> {};

TEST_P(NavigationCommandTest, ReachesItsTargetOrRefuses)
{
    const NavigationCase& c = GetParam();
    LoadNumberedPages(4);
    list.SetPageIndex(c.startPage);
    log.clear();
    Run(QString::fromUtf8(c.script) + QStringLiteral("\r\nSetVar \"[after]\" \"ran\""));
    EXPECT_EQ(list.PageIndex(), c.expectedPage) << c.script;
    const Log errors = Only({QStringLiteral("ERROR")});
    if (*c.errorWord == '\0') {
        EXPECT_TRUE(errors.empty()) << c.script;
        EXPECT_EQ(GetVariable(QStringLiteral("[after]")), QStringLiteral("ran"));
        return;
    }
    const QString text = QString::fromUtf8(c.errorText);
    const QString message = c.pageError ? Quoted(text) + QLatin1Char('\r') + kNoSuchPage : text;
    EXPECT_EQ(errors, Log{ErrorLine(QString::fromUtf8(c.errorWord), message)}) << c.script;
    EXPECT_EQ(GetVariable(QStringLiteral("[after]")), QString()) << "the script stops";
}

INSTANTIATE_TEST_SUITE_P(Commands, NavigationCommandTest, ::testing::ValuesIn(kNavigationCases));

TEST_F(PageListTest, IgnoredMovesShowNothing)
{
    LoadNumberedPages(3);
    list.SetPageIndex(3);
    log.clear();
    Run(QStringLiteral("GotoNextPage\r\nGotoLastPage\r\nGotoPage \"P3\""));
    EXPECT_TRUE(Only({QStringLiteral("view"), QStringLiteral("PAGE"), QStringLiteral("plugin")}).empty());
}

const char* const kAllNavigationCommands[] = {
    "GotoPage \"P2\"", "GotoPageNum \"2\"", "GotoPrevPage", "GotoNextPage", "GotoFirstPage", "GotoLastPage",
    "ReturnToPage", "StartSlideShow \"All\" \"500\" \"\" \"\"", "PauseSlideShow", "StopSlideShow",
};

class NavigationRefusalTest : public PageListTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(NavigationRefusalTest, RefusedInsidePageScripts)
{
    LoadNumberedPages(3);
    list.SetPageIndex(2);
    log.clear();
    const QString word = QString::fromUtf8(GetParam()).section(u' ', 0, 0);
    Run(QString::fromUtf8(GetParam()), afNoPageChange);
    EXPECT_EQ(list.PageIndex(), 2);
    EXPECT_EQ(log, (Log{ErrorLine(word, kPageChangeRefused)}));
}

TEST_P(NavigationRefusalTest, RefusedInSinglePagePreview)
{
    LoadNumberedPages(3);
    list.SetPageIndex(2);
    SetSinglePagePreview(true);
    log.clear();
    const QString word = QString::fromUtf8(GetParam()).section(u' ', 0, 0);
    Run(QString::fromUtf8(GetParam()));
    EXPECT_EQ(list.PageIndex(), 2);
    EXPECT_EQ(log, (Log{ErrorLine(word, kSinglePagePreview)}));
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, NavigationRefusalTest, ::testing::ValuesIn(kAllNavigationCommands));

// ---- history and ReturnToPage --------------------------------------------------------------

TEST_F(PageListTest, HistoryKeepsTheTwentyFiveMostRecentPreviousPages)
{
    LoadNumberedPages(9);
    StartQuietly(); // history: 1
    QStringList previous{QStringLiteral("1")};
    for (int change = 0; change < 30; ++change) {
        const int target = change % 8 + 2; // 2..9, never the page shown
        previous.append(QString::number(list.PageIndex()));
        Run(QStringLiteral("GotoPageNum \"%1\"").arg(target));
        ASSERT_EQ(list.PageIndex(), target);
    }
    EXPECT_EQ(list.History(), previous.mid(previous.size() - kHistoryLimit));
}

TEST_F(PageListTest, ReturnToPageWalksBackThroughTheHistory)
{
    LoadNumberedPages(9);
    StartQuietly();
    std::vector<int> shown{1};
    for (int change = 0; change < 30; ++change) {
        Run(QStringLiteral("GotoPageNum \"%1\"").arg(change % 8 + 2));
        shown.push_back(list.PageIndex());
    }
    // Each return shows the page shown before, 25 pages back at most.
    for (int step = 1; step <= kHistoryLimit; ++step) {
        Run(QStringLiteral("ReturnToPage"));
        ASSERT_EQ(list.PageIndex(), shown[shown.size() - 1 - static_cast<size_t>(step)]) << "step " << step;
    }
    EXPECT_TRUE(list.History().isEmpty());
    const int last = list.PageIndex();
    Run(QStringLiteral("ReturnToPage"));
    EXPECT_EQ(list.PageIndex(), last);
}

TEST_F(PageListTest, ReturnToPageRightAfterStartShowsNothingNew)
{
    LoadNumberedPages(3);
    StartQuietly();
    ASSERT_EQ(list.History(), QStringList{QStringLiteral("1")});
    Run(QStringLiteral("ReturnToPage"));
    EXPECT_EQ(list.PageIndex(), 1);
    EXPECT_TRUE(list.History().isEmpty());
    EXPECT_TRUE(Only({QStringLiteral("view"), QStringLiteral("PAGE")}).empty());
}

TEST_F(PageListTest, ReturnToPageAddsNoHistoryAndRunsThePageScripts)
{
    LoadPages(ThreePagesWithScripts(), QStringLiteral("SystemSound \"asked [PageChangeName]\""));
    StartQuietly();
    Run(QStringLiteral("GotoPage \"Third\""));
    log.clear();
    Run(QStringLiteral("ReturnToPage"));
    EXPECT_EQ(list.PageIndex(), 1);
    EXPECT_EQ(ScriptLog(), (Log{"asked Intro", "exit Third", "enter Intro"}));
    EXPECT_EQ(list.History(), QStringList{QStringLiteral("1")});
    EXPECT_TRUE(list.HistoryEnabled());
}

TEST_F(PageListTest, CancelledReturnKeepsItsEntry)
{
    LoadPages(ThreePagesWithScripts(), QStringLiteral("SetVar \"[PageChangeName]\" \"\""));
    StartQuietly();
    list.GotoPageIndex(3, false); // history: 1 1
    Run(QStringLiteral("ReturnToPage"));
    EXPECT_EQ(list.PageIndex(), 3);
    EXPECT_EQ(list.History(), (QStringList{QStringLiteral("1"), QStringLiteral("1")}));
    EXPECT_TRUE(list.HistoryEnabled());
}

// ---- the page list as state ---------------------------------------------------------------------

TEST_F(PageListTest, FindPageIgnoresCaseAndKnowsTheMasterPage)
{
    LoadPages({{"Intro"}, {"Été"}, {"intro"}});
    EXPECT_EQ(list.FindPage(QStringLiteral("INTRO")), 1);
    EXPECT_EQ(list.FindPage(QStringLiteral("été")), 2);
    EXPECT_EQ(list.FindPage(QString()), 0);
    EXPECT_EQ(list.FindPage(QStringLiteral("Nowhere")), -1);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Page(4), nullptr);
    EXPECT_EQ(list.Page(-1), nullptr);
}

TEST_F(PageListTest, AddPageKeepsTheShownPage)
{
    LoadNumberedPages(3);
    list.SetPageIndex(2);
    list.AddPage(TQXPage{QStringLiteral("New")}, 1);
    EXPECT_EQ(list.PageIndex(), 3);
    EXPECT_EQ(list.PageName(3), QStringLiteral("P2"));
    list.AddPage(TQXPage{QStringLiteral("Last")}, list.Count());
    EXPECT_EQ(list.PageIndex(), 3);
    EXPECT_THROW(list.AddPage(TQXPage{}, list.Count() + 1), EInvalidPageIndex);
    EXPECT_THROW(list.AddPage(TQXPage{}, -1), EInvalidPageIndex);
}

TEST_F(PageListTest, SetPageIndexRefusesInvalidIndexes)
{
    LoadNumberedPages(2);
    EXPECT_THROW(list.SetPageIndex(3), EInvalidPageIndex);
    EXPECT_THROW(list.SetPageIndex(-1), EInvalidPageIndex);
    EXPECT_EQ(list.PageIndex(), 1);
    try {
        list.SetPageIndex(7);
    } catch (const EInvalidPageIndex& error) {
        EXPECT_STREQ(error.what(), "Invalid page index.");
    }
}

TEST_F(PageListTest, WhileLoadingOnlyTheSwitchIsShown)
{
    LoadNumberedPages(3);
    list.SetLoading(true);
    list.SetPageIndex(3);
    list.SetLoading(false);
    EXPECT_EQ(log, Log{QStringLiteral("view Switch 1 3")});
    EXPECT_EQ(list.PageIndex(), 3);
    EXPECT_EQ(list.NextPageIndex(), 3);
}

// ---- page built-ins -----------------------------------------------------------------------

TEST_F(PageListTest, PageBuiltinsFollowThePageList)
{
    LoadPages({{"Intro"}, {"Second", "SystemSound \"[PageTitle] [PageNumber] [P] of [PageCount]\""}, {"Third"}},
              QStringLiteral("SystemSound \"from [PageNumber] [PageTitle]\""));
    StartQuietly();
    EXPECT_EQ(SubstituteVars(QStringLiteral("[PageTitle]/[PageNumber]/[PageCount]")), QStringLiteral("Intro/1/3"));
    Run(QStringLiteral("GotoNextPage"));
    // The page-change action still sees the page being left.
    EXPECT_EQ(ScriptLog(), (Log{"from 1 Intro", "Second 2 2 of 3"}));
    EXPECT_EQ(SubstituteVars(QStringLiteral("[PageNumberLeft]-[PageNumberRight]")), QStringLiteral("3-4"));
}

} // namespace
} // namespace tomeric::testing
