// Buttons in a running publication: a push button's click action runs once
// per click, its right click runs the other action; a check box toggles its
// variable; the radio group switches its variable by click and follows a
// script; a library strip shows its up, hover and pressed frames; a press
// dragged off a button clicks nothing; a hot key presses a button.

#include "player_test_support.h"

namespace tomeric::testing {
namespace {

const char* const kButtonsTour =
    "vars start.txt\n"
    "screenshot up.png\n"
    "click Go\n"
    "rclick Go\n"
    "wait 50\n"
    "hover Strip\n"
    "wait 50\n"
    "screenshot hover.png\n"
    "press Strip\n"
    "screenshot pressed.png\n"
    "release\n"
    "drag Go 150 0\n"
    "click Agree\n"
    "wait 50\n"
    "vars checked.txt\n"
    "click Agree\n"
    "click Blue\n"
    "click Blue\n"
    "wait 50\n"
    "vars radio.txt\n"
    "run SetVar \"[Colour]\" \"red\"\n"
    "run SetVar \"[News]\" \"\"\n"
    "screenshot script.png\n"
    "key Ctrl+G\n"
    "wait 400\n"
    "vars final.txt\n";

class ButtonsEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        session = new PlayerSession(QStringLiteral("buttons_basic"));
        run = new TPlayerRun(session->Drive(QString::fromUtf8(kButtonsTour)));
    }
    static void TearDownTestSuite()
    {
        delete run;
        delete session;
    }
    static QString Var(const char* file, const char* name)
    {
        const auto vars = session->Variables(QString::fromUtf8(file));
        const auto found = vars.find(QString::fromUtf8(name));
        return found == vars.end() ? QString() : found->second;
    }
    static QImage Shot(const char* file) { return session->Picture(QString::fromUtf8(file)); }

    static inline PlayerSession* session = nullptr;
    static inline TPlayerRun* run = nullptr;
};

TEST_F(ButtonsEndToEnd, PlayerFinishes)
{
    ASSERT_TRUE(run->finished);
    EXPECT_EQ(run->exitCode, 0) << run->err.toStdString();
}

TEST_F(ButtonsEndToEnd, InitialStatesAreWrittenAtStart)
{
    EXPECT_EQ(Var("start.txt", "COLOUR"), "Green");
    EXPECT_EQ(Var("start.txt", "NEWS"), "Checked");
    EXPECT_EQ(Var("start.txt", "AGREE"), "");
}

TEST_F(ButtonsEndToEnd, PushButtonClickAndRightClickRunTheirActionsOnce)
{
    // One click; the press dragged off the button afterwards ran nothing.
    EXPECT_EQ(Var("checked.txt", "CLICKS"), "c");
    EXPECT_EQ(Var("checked.txt", "RCLICKS"), "r");
}

TEST_F(ButtonsEndToEnd, CheckBoxTogglesItsVariableBeforeItsActionRuns)
{
    EXPECT_EQ(Var("checked.txt", "AGREE"), "Checked");
    EXPECT_EQ(Var("checked.txt", "CHECKS"), "kChecked;");
    EXPECT_EQ(Var("radio.txt", "AGREE"), "");
    EXPECT_EQ(Var("radio.txt", "CHECKS"), "kChecked;k;");
}

TEST_F(ButtonsEndToEnd, RadioClickSwitchesTheGroupAndASecondClickRunsNothing)
{
    EXPECT_EQ(Var("radio.txt", "COLOUR"), "Blue");
    EXPECT_EQ(Var("radio.txt", "PICKED"), "B");
}

bool Dark(const QColor& c) { return c.red() < 80 && c.green() < 80 && c.blue() < 80; }
bool Light(const QColor& c) { return c.red() > 200 && c.green() > 200 && c.blue() > 200; }

TEST_F(ButtonsEndToEnd, ScriptsSettingTheVariablesMoveTheChecks)
{
    const QImage shot = Shot("script.png");
    ASSERT_FALSE(shot.isNull());
    // Radio dots at the box centres (x 16; rows 89, 114, 139): "red" in
    // another case checks Red and clears Blue.
    EXPECT_TRUE(Dark(shot.pixelColor(16, 89)));
    EXPECT_TRUE(Light(shot.pixelColor(16, 114)));
    EXPECT_TRUE(Light(shot.pixelColor(16, 139)));
    // News emptied: its box is white in the middle.
    EXPECT_TRUE(Light(shot.pixelColor(156, 60)));
    const QImage start = Shot("up.png");
    EXPECT_TRUE(Dark(start.pixelColor(156, 60)));
    EXPECT_TRUE(Dark(start.pixelColor(16, 114)));
}

TEST_F(ButtonsEndToEnd, LibraryStripShowsOneFramePerState)
{
    EXPECT_TRUE(Near(Shot("up.png").pixelColor(115, 20), QColor(255, 0, 0), 10));
    EXPECT_TRUE(Near(Shot("hover.png").pixelColor(115, 20), QColor(0, 255, 0), 10));
    EXPECT_TRUE(Near(Shot("pressed.png").pixelColor(115, 20), QColor(0, 0, 255), 10));
}

TEST_F(ButtonsEndToEnd, HotKeyPressesTheButton)
{
    EXPECT_EQ(Var("final.txt", "CLICKS"), "cc");
}

} // namespace
} // namespace tomeric::testing
