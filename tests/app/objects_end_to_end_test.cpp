// Page objects in the running player: members of a group are found and
// clicked by name, a hot key presses a button inside a group, a click
// between a group's members reaches the object beneath, a container docks
// its member inside its margins, a page-level object docks in the page, objects of a page never visited take
// their initial values at start-up, and a page's timer runs only while the
// page shows.

#include "player_test_support.h"

namespace tomeric::testing {
namespace {

const char* const kObjectsTour =
    "wait 300\n"
    "vars start.txt\n"
    "click Inner\n"
    "click Pair@65,20\n"
    "click Pair@20,20\n"
    "key F2\n"
    "wait 400\n"
    "run GetObjectInfo \"Docked\", \"Width\", \"[DockedWidth]\"\n"
    "run GetObjectInfo \"Docked\", \"Height\", \"[DockedHeight]\"\n"
    "run GetObjectInfo \"Footer\", \"Width\", \"[FooterWidth]\"\n"
    "run GetObjectInfo \"Footer\", \"Top\", \"[FooterTop]\"\n"
    "screenshot page.png\n"
    "run GotoPage \"Second\"\n"
    "wait 300\n"
    "run GotoPage \"First\"\n"
    "run SetVar \"[AfterBack]\" \"[SecondTicks]\"\n"
    "wait 200\n"
    "vars vars.txt\n"
    "quit\n";

class ObjectsEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        session = new PlayerSession(QStringLiteral("objects_basic"));
        run = new TPlayerRun(session->Drive(QString::fromUtf8(kObjectsTour)));
    }
    static void TearDownTestSuite()
    {
        delete run;
        delete session;
    }
    static PlayerSession* session;
    static TPlayerRun* run;
};

PlayerSession* ObjectsEndToEnd::session = nullptr;
TPlayerRun* ObjectsEndToEnd::run = nullptr;

TEST_F(ObjectsEndToEnd, ThePlayerRunsTheTourCleanly)
{
    ASSERT_TRUE(run->finished);
    EXPECT_EQ(run->exitCode, 0) << run->err.toStdString();
    EXPECT_FALSE(run->err.contains(QStringLiteral("no object"))) << run->err.toStdString();
}

TEST_F(ObjectsEndToEnd, ObjectsOfUnvisitedPagesTakeTheirInitialValues)
{
    auto vars = session->Variables(QStringLiteral("start.txt"));
    EXPECT_FALSE(vars[QStringLiteral("AGREED")].isEmpty());
    EXPECT_TRUE(vars[QStringLiteral("SECONDTICKS")].isEmpty()); // its page has not shown yet
}

TEST_F(ObjectsEndToEnd, ClicksAndHotKeysReachAButtonInsideAGroup)
{
    auto vars = session->Variables(QStringLiteral("vars.txt"));
    EXPECT_EQ(vars[QStringLiteral("INNERCLICKS")], QStringLiteral("ii"));
}

TEST_F(ObjectsEndToEnd, TheContainerDocksItsMemberInsideFrameAndMargins)
{
    auto vars = session->Variables(QStringLiteral("vars.txt"));
    EXPECT_EQ(vars[QStringLiteral("DOCKEDWIDTH")], QStringLiteral("138"));
    EXPECT_EQ(vars[QStringLiteral("DOCKEDHEIGHT")], QStringLiteral("50"));
}

TEST_F(ObjectsEndToEnd, AClickBetweenAGroupsMembersReachesTheObjectBeneath)
{
    auto vars = session->Variables(QStringLiteral("vars.txt"));
    EXPECT_EQ(vars[QStringLiteral("UNDERCLICKS")], QStringLiteral("u")) << "only the click in the gap";
}

TEST_F(ObjectsEndToEnd, AnObjectAnchoredAtPageLevelDocksInThePublicationArea)
{
    auto vars = session->Variables(QStringLiteral("vars.txt"));
    EXPECT_EQ(vars[QStringLiteral("FOOTERWIDTH")], QStringLiteral("300"));
    EXPECT_EQ(vars[QStringLiteral("FOOTERTOP")], QStringLiteral("188"));
    const QImage page = session->Picture(QStringLiteral("page.png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(page.pixelColor(2, 195), QColor(255, 255, 0));
    EXPECT_EQ(page.pixelColor(297, 195), QColor(255, 255, 0));
}

TEST_F(ObjectsEndToEnd, APagesTimerRunsOnlyWhileThePageShows)
{
    auto vars = session->Variables(QStringLiteral("vars.txt"));
    EXPECT_FALSE(vars[QStringLiteral("SECONDTICKS")].isEmpty());
    EXPECT_EQ(vars[QStringLiteral("SECONDTICKS")], vars[QStringLiteral("AFTERBACK")]);
}

TEST_F(ObjectsEndToEnd, ThePageShowsTheGroupsShapesAndTheDockedMember)
{
    const QImage page = session->Picture(QStringLiteral("page.png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(page.pixelColor(11, 11), QColor(255, 255, 255));  // raised frame, light edge
    EXPECT_EQ(page.pixelColor(68, 48), QColor(0, 0, 0));        // raised frame, dark edge
    EXPECT_EQ(page.pixelColor(40, 30), QColor(255, 0, 0));      // the left rectangle's fill
    EXPECT_EQ(page.pixelColor(110, 30), QColor(0, 0, 255));     // the right rectangle's fill
    EXPECT_EQ(page.pixelColor(80, 120), QColor(0, 255, 0));     // the docked member
    EXPECT_NE(page.pixelColor(14, 120), QColor(0, 255, 0));     // inside the margin
}

} // namespace
} // namespace tomeric::testing
