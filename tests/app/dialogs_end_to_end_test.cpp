// The dialogs of a driven publication: each prints its line and takes the
// queued answer; the scripts see the answers in their variables.

#include "player_test_support.h"

namespace tomeric::testing {
namespace {

QString Value(const std::map<QString, QString>& vars, const char* key)
{
    const auto it = vars.find(QString::fromLatin1(key));
    return it == vars.end() ? QStringLiteral("<missing>") : it->second;
}

int CountLines(const QString& out, const QString& start)
{
    int count = 0;
    for (const QString& line : out.split(QLatin1Char('\n')))
        if (line.trimmed().startsWith(start))
            ++count;
    return count;
}

TEST(DrivenDialogs, MessageBoxWithThreeCaptionsAnsweredTwoThenCancelled)
{
    PlayerSession session(QStringLiteral("dialogs_boxes"));
    const TPlayerRun run = session.Drive(QStringLiteral(
        "wait 20\n"
        "answer 2\n"
        "run MessageBox \"Pick\" \"Which colour?|Choose one.\" \"Red|Green|Blue\" \"Choice\"\n"
        "run MessageBox \"Pick\" \"Again?\" \"Red|Green|Blue\" \"Again\"\n"
        "vars vars.txt\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(
        QStringLiteral("DIALOG MessageBox \"Pick\" \"Which colour?|Choose one.\" \"Red|Green|Blue\"")))
        << run.out.toStdString();
    const auto vars = session.Variables(QStringLiteral("vars.txt"));
    EXPECT_EQ(Value(vars, "CHOICE"), QStringLiteral("2")) << run.out.toStdString();
    EXPECT_EQ(Value(vars, "AGAIN"), QStringLiteral("0")) << run.out.toStdString();
}

TEST(DrivenDialogs, InputBoxAnsweredThenCancelledEmptiesTheVariable)
{
    PlayerSession session(QStringLiteral("dialogs_boxes"));
    const TPlayerRun run = session.Drive(QStringLiteral(
        "wait 20\n"
        "run SetVar \"[Name]\" \"old\"\n"
        "answer Ann\n"
        "run InputBox \"Who\" \"Your name?\" \"Name\"\n"
        "vars first.txt\n"
        "run InputBox \"Who\" \"Your name?\" \"Name\"\n"
        "run SetVar \"[Check]\" \"<[Name]>\"\n"
        "vars second.txt\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // The edit starts with the variable's value.
    EXPECT_TRUE(run.out.contains(QStringLiteral("DIALOG InputBox \"Who\" \"Your name?\" \"old\"")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("DIALOG InputBox \"Who\" \"Your name?\" \"Ann\"")));
    EXPECT_EQ(Value(session.Variables(QStringLiteral("first.txt")), "NAME"), QStringLiteral("Ann"));
    EXPECT_EQ(Value(session.Variables(QStringLiteral("second.txt")), "CHECK"), QStringLiteral("<>"));
}

TEST(DrivenDialogs, TheErrorBoxShowsWhileShowErrorsIsOnOnly)
{
    PlayerSession session(QStringLiteral("dialogs_boxes"));
    const TPlayerRun run = session.Drive(QStringLiteral(
        "wait 20\n"
        "run GotoPage \"Nowhere\"\n"
        "run ShowErrors \"False\"\n"
        "run GotoPage \"Nowhere\"\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(CountLines(run.out, QStringLiteral("ERROR ")), 1) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("[#34]Nowhere[#34][#13]Cette page n'existe pas.")));
}

TEST(DrivenDialogs, ExitAsksWithThePublicationsYesAndNo)
{
    PlayerSession session(QStringLiteral("dialogs_boxes"));
    const TPlayerRun run = session.Drive(QStringLiteral(
        "wait 20\n"
        "answer 2\n"
        "run Exit \"Leave\" \"Really?\"\n"
        "vars still.txt\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.out.contains(QStringLiteral("DIALOG MessageBox \"Leave\" \"Really?\" \"Yes|No\"")));
    EXPECT_TRUE(QFile::exists(session.Path(QStringLiteral("still.txt"))));
}

TEST(DrivenHelp, HelpTopicOpensTheHelpFileAtTheTopicAndAMissingFileNothing)
{
    PlayerSession help(QStringLiteral("help"));
    const TPlayerRun opened = help.Drive(QStringLiteral("wait 20\nrun HelpTopic \"install\"\n"));
    ASSERT_TRUE(opened.finished);
    EXPECT_TRUE(opened.out.contains(QStringLiteral("guide.txt\" \"install\""))) << opened.out.toStdString();

    PlayerSession none(QStringLiteral("dialogs_boxes"));
    const TPlayerRun nothing = none.Drive(QStringLiteral("wait 20\nrun HelpTopic \"install\"\n"));
    ASSERT_TRUE(nothing.finished);
    EXPECT_FALSE(nothing.out.contains(QStringLiteral("CALL Help"))) << nothing.out.toStdString();
}

// ---- passwords -----------------------------------------------------------------------

struct StartPasswordCase {
    const char* name;
    const char* answer; // null: nothing typed (cancelled)
    bool opens;
    bool toldWrong;
};

class StartPasswords : public ::testing::TestWithParam<StartPasswordCase> {};

TEST_P(StartPasswords, OnlyTheRightPasswordInAnyCaseOpens)
{
    const StartPasswordCase c = GetParam();
    PlayerSession session(QStringLiteral("dialogs_password"));
    QString script;
    if (c.answer)
        script += QStringLiteral("answer ") + QString::fromUtf8(c.answer) + QLatin1Char('\n');
    script += QStringLiteral("vars vars.txt\nanswer bye\nquit\n");
    const TPlayerRun run = session.Drive(script);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(
        QStringLiteral("DIALOG Password \"Locked door\" \"This publication is locked.|Type its key.\" \"Key:\"")))
        << run.out.toStdString();
    EXPECT_EQ(run.out.contains(QStringLiteral("DIALOG AlertBox \"Locked door\" \"Wrong key\"")), c.toldWrong);
    EXPECT_EQ(QFile::exists(session.Path(QStringLiteral("vars.txt"))), c.opens);
}

INSTANTIATE_TEST_SUITE_P(Cases, StartPasswords,
                         ::testing::Values(StartPasswordCase{"Wrong", "nope", false, true},
                                           StartPasswordCase{"OtherCase", "sECRET", true, false},
                                           StartPasswordCase{"Cancelled", nullptr, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ExitPasswordCase {
    const char* name;
    const char* answer; // null: cancelled
    bool closes;
};

class ExitPasswords : public ::testing::TestWithParam<ExitPasswordCase> {};

TEST_P(ExitPasswords, OnlyTheRightPasswordInAnyCaseCloses)
{
    const ExitPasswordCase c = GetParam();
    PlayerSession session(QStringLiteral("dialogs_password"));
    QString script = QStringLiteral("answer Secret\nwait 20\n");
    if (c.answer)
        script += QStringLiteral("answer ") + QString::fromUtf8(c.answer) + QLatin1Char('\n');
    // After the first close: still open only when it was refused.
    script += QStringLiteral("quit\nvars still.txt\nanswer Bye\nquit\n");
    const TPlayerRun run = session.Drive(script);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(CountLines(run.out, QStringLiteral("DIALOG Password")), c.closes ? 2 : 3) << run.out.toStdString();
    EXPECT_EQ(QFile::exists(session.Path(QStringLiteral("still.txt"))), !c.closes);
}

INSTANTIATE_TEST_SUITE_P(Cases, ExitPasswords,
                         ::testing::Values(ExitPasswordCase{"Wrong", "hello", false},
                                           ExitPasswordCase{"OtherCase", "BYE", true},
                                           ExitPasswordCase{"Cancelled", nullptr, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the Find window -------------------------------------------------------------------

TEST(DrivenFind, AMatchOnAnotherPageGoesThereAndNoMatchIsTold)
{
    PlayerSession session(QStringLiteral("dialogs_find"));
    const TPlayerRun run = session.Drive(QStringLiteral(
        "wait 20\n"
        "run FindFirst \"chocolate\" \"ALL\"\n"
        "vars found.txt\n"
        "run FindFirst \"zzz\" \"ALL\"\n"
        "run FindFirst \"secret\" \"ALL\"\n"
        "run FindNext\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("PAGE 2 \"Recipes\""))) << run.out.toStdString();
    EXPECT_EQ(Value(session.Variables(QStringLiteral("found.txt")), "ENTERED"),
              QStringLiteral("Intro;Recipes;"));
    // "zzz" is nowhere and the invisible button is not searched.
    EXPECT_GE(CountLines(run.out, QStringLiteral("DIALOG AlertBox \"Search\" \"Nothing found\"")), 2);
}

TEST(DrivenFind, ATextFileNamedByATextWindowCommandIsSearchedAndItsWindowOpenedWithTheMatchSelected)
{
    PlayerSession session(QStringLiteral("dialogs_find"));
    const TPlayerRun run = session.Drive(QStringLiteral(
        "wait 20\n"
        "run FindFirst \"VANILLA\" \"Recipes\"\n"
        "windowshot tips.txt tips.png\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("PAGE 2 \"Recipes\""))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("WINDOW OPEN \"tips.txt\""))) << run.out.toStdString();
    EXPECT_FALSE(run.out.contains(QStringLiteral("Nothing found")));
    // The file's lines are joined in the window ("Tips for bakers Add a pinch
    // of vanilla."): the selection covers "vanilla", at the start of the
    // second line, and not the "." after it.
    const QImage window = session.Picture(QStringLiteral("tips.png"));
    ASSERT_FALSE(window.isNull());
    int selectedLeft = window.width(), selectedRight = -1;
    for (int y = 0; y < window.height(); ++y)
        for (int x = 0; x < window.width(); ++x) {
            const QColor c = window.pixelColor(x, y);
            if (c.blue() > c.red() + 60) {
                selectedLeft = std::min(selectedLeft, x);
                selectedRight = std::max(selectedRight, x);
            }
        }
    EXPECT_LT(selectedLeft, 8);
    EXPECT_GT(selectedRight - selectedLeft, 25);
}

TEST(DrivenFind, AMatchInAnEditFieldIsSelected)
{
    PlayerSession session(QStringLiteral("dialogs_find"));
    const TPlayerRun run = session.Drive(QStringLiteral(
        "wait 20\n"
        "run FindFirst \"BUTTER\" \"CURRENT\"\n"
        "run GetObjectInfo \"Butter\" \"SelectedText\" \"Sel\"\n"
        "vars vars.txt\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(Value(session.Variables(QStringLiteral("vars.txt")), "SEL"), QStringLiteral("butter"))
        << run.out.toStdString();
}

TEST(DrivenFind, APageNameThatIsNoPageIsAnError)
{
    PlayerSession session(QStringLiteral("dialogs_find"));
    const TPlayerRun run = session.Drive(QStringLiteral(
        "wait 20\n"
        "run FindFirst \"cake\" \"Nowhere|Recipes\"\n"
        "run CloseWindow \"FIND\"\n"
        "run FindNext\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("[#34]Nowhere[#34][#13]Cette page n'existe pas."))) << run.out.toStdString();
    EXPECT_FALSE(run.out.contains(QStringLiteral("PAGE 2")));
    EXPECT_FALSE(run.out.contains(QStringLiteral("DIALOG AlertBox")));
}

} // namespace
} // namespace tomeric::testing
