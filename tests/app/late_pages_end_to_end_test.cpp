// Pages whose widgets are created when first needed: a publication cannot
// tell. Its start page reads and changes the objects of a page it never
// shows, variable changes reach a page visited later, and two fields on
// one variable leave the later page's text. The same driven tour runs
// with every page created at start-up (TOMERIC_CREATE_ALL_PAGES) and
// without; the variables at each step and the pages as drawn must match.
// Variables written while no object heard them ([Pick] at the start,
// [Combo] before its page exists) still reach the objects made later.

#include "player_test_support.h"

namespace tomeric::testing {
namespace {

const char* const kLatePagesTour =
    "vars start.txt\n"
    "screenshot start.png\n"
    "run SetVar \"[Pick]\" \"Cherry\"\n"
    "click Probe\n"
    "wait 50\n"
    "vars probe.txt\n"
    "run GotoPage \"Form\"\n"
    "wait 50\n"
    "screenshot form.png\n"
    "vars form.txt\n"
    "run SetVar \"[Combo]\" \"Two\"\n"
    "run GotoPage \"Other\"\n"
    "wait 50\n"
    "run SetVar \"[Combo]\" \"One\"\n"
    "wait 50\n"
    "screenshot other.png\n"
    "vars other.txt\n";

const char* const kSteps[] = {"start", "probe", "form", "other"};
const char* const kPictures[] = {"start", "form", "other"};

class LatePagesEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        late = std::make_unique<DrivenTour>(QStringLiteral("late_pages"), kLatePagesTour);
        eager = std::make_unique<PlayerSession>(QStringLiteral("late_pages"));
        eager->SetEnvironment(QStringLiteral("TOMERIC_CREATE_ALL_PAGES"), QStringLiteral("1"));
        eagerRun = eager->Drive(QString::fromUtf8(kLatePagesTour));
    }
    static void TearDownTestSuite()
    {
        late.reset();
        eager.reset();
    }
    static std::string Var(const char* step, const char* name)
    {
        const std::map<QString, QString> vars = late->session.Variables(QString::fromLatin1(step) + ".txt");
        const auto found = vars.find(QString::fromLatin1(name));
        return found == vars.end() ? std::string() : found->second.toStdString();
    }

    static inline std::unique_ptr<DrivenTour> late;
    static inline std::unique_ptr<PlayerSession> eager;
    static inline TPlayerRun eagerRun;
};

TEST_F(LatePagesEndToEnd, BothRunsEndCleanly)
{
    late->ExpectCleanRun();
    ASSERT_TRUE(eagerRun.finished);
    EXPECT_EQ(eagerRun.exitCode, 0) << eagerRun.err.toStdString();
}

TEST_F(LatePagesEndToEnd, FirstValuesOfUnseenPagesAreThereAtStart)
{
    EXPECT_EQ(Var("start", "NAME"), "Bob"); // the later page's field wins
    EXPECT_EQ(Var("start", "AGREE"), "Checked");
    EXPECT_EQ(Var("start", "SIZE"), "Large");
    EXPECT_EQ(Var("start", "LEVEL"), "40");
    EXPECT_EQ(Var("start", "PICK"), "");
    EXPECT_EQ(Var("start", "CODE"), "ABC[#13][#10]DEF"); // upper case, the line break kept
    EXPECT_EQ(Var("start", "BRIEF"), "abc");
    EXPECT_EQ(Var("start", "ODD"), "50");
}

TEST_F(LatePagesEndToEnd, TheStartPageReadsAndChangesObjectsOfAnUnseenPage)
{
    EXPECT_EQ(Var("probe", "SEENNAME"), "Bob");
    EXPECT_EQ(Var("probe", "SEENAGREE"), "I agree");
    EXPECT_EQ(Var("probe", "SEENFRUITS"), "Apple|Banana|Cherry");
    EXPECT_EQ(Var("probe", "SEENCOUNT"), "3");
    EXPECT_EQ(Var("probe", "SEENNOTEVISIBLE"), "True");
    EXPECT_EQ(Var("probe", "SEENAGREELEFT"), "200");
    EXPECT_EQ(Var("probe", "LEVEL"), "70");
    EXPECT_EQ(Var("probe", "PICK"), "Banana");
}

TEST_F(LatePagesEndToEnd, EveryStepMatchesTheRunWithAllPagesCreatedAtStart)
{
    for (const char* step : kSteps) {
        const QString vars = QString::fromLatin1(step) + ".txt";
        EXPECT_EQ(late->session.Variables(vars), eager->Variables(vars)) << step;
    }
    for (const char* step : kPictures) {
        const QString picture = QString::fromLatin1(step) + ".png";
        const QImage lateImage = late->session.Picture(picture), eagerImage = eager->Picture(picture);
        ASSERT_FALSE(lateImage.isNull()) << step;
        EXPECT_EQ(lateImage, eagerImage) << step;
    }
}

TEST_F(LatePagesEndToEnd, TheVisitedPageShowsTheChangesMadeBeforeIt)
{
    // The form page's lamp was hidden from the start page: its green circle
    // is not drawn. The check box moved there shows its tick.
    const QImage form = late->session.Picture(QStringLiteral("form.png"));
    ASSERT_FALSE(form.isNull());
    EXPECT_FALSE(Near(form.pixelColor(220, 220), QColor(0, 255, 0)));
    EXPECT_EQ(Var("form", "NAME"), "Bob");
    EXPECT_EQ(Var("form", "LEVEL"), "70");
    EXPECT_EQ(Var("form", "PICK"), "Banana");
}

} // namespace
} // namespace tomeric::testing
