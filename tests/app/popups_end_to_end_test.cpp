// Pop-ups in a driven publication: the pick list chosen by keys, by its
// accelerator and by a click, cancelled by Esc; balloons that flip below a
// point near the top of the screen and open at the pointer; a click outside
// a pop-up that closes it without reaching the button; sticky notes that
// close by themselves or wait for a key; a picture revealed through a
// transition, a second one that returns at once, a missing one. The
// screenshots show the pop-ups over the page (an 800 x 800 full-screen page,
// so page and screen coordinates are the same).

#include "player_test_support.h"

namespace tomeric::testing {
namespace {

const char* const kPopUpTour =
    "wait 50\n"
    // Menu "&One|-|T&hree": Down, Down skips the separator, Enter.
    "run GoSub \"MenuPick\"\n"
    "key Down\n"
    "screenshot menu.png\n"
    "key Down\n"
    "key Enter\n"
    "vars keys.txt\n"
    "run SetVar \"[Ran]\" \"\"\n"
    "run GoSub \"MenuPick\"\n"
    "type h\n"
    "wait 300\n"
    "vars accel.txt\n"
    "run SetVar \"[Ran]\" \"\"\n"
    "run GoSub \"MenuPick\"\n"
    "key Esc\n"
    "vars esc.txt\n"
    "run MenuEx \"-1\" \"-1\" \"First|Second\" \"[Pick]\"\n"
    "click popup@20,10\n"
    "answer 2\n"
    "run MenuEx \"-1\" \"-1\" \"First|Second\" \"[Answered]\"\n"
    // Taller than the screen: it scrolls to its last item.
    "run MenuEx \"10\" \"10\" \"%TALL%\" \"[Tall]\"\n"
    "key End\n"
    "key Enter\n"
    "vars pick.txt\n"
    // Balloons.
    "run Balloon \"Near the top\" \"100\" \"5\" \"0\"\n"
    "screenshot top.png\n"
    "key Esc\n"
    "hover Go\n"
    "run Balloon \"At the pointer\"\n"
    "screenshot pointer.png\n"
    "key Esc\n"
    "run Balloon \"Click away\" \"400\" \"300\" \"0\"\n"
    "click Go\n"
    "vars away.txt\n"
    "click Go\n"
    "vars clicked.txt\n"
    // Sticky notes: 3000 ms, then one that waits for a key.
    "run GoSub \"NoteTimed\"\n"
    "wait 1500\n"
    "screenshot note.png\n"
    "vars note_mid.txt\n"
    "wait 2500\n"
    "vars note_end.txt\n"
    "run GoSub \"NoteKey\"\n"
    "wait 300\n"
    "vars key_mid.txt\n"
    "key Space\n"
    "vars key_end.txt\n"
    // Pictures.
    "run PopUpImage \"-1\" \"-1\" \"pic.png\" \"0\" \"Wipe Right\" \"0\"\n"
    "run GoSub \"SecondPicture\"\n"
    "screenshot picture.png\n"
    "vars second.txt\n"
    "key Esc\n"
    "run PopUpImage \"0\" \"0\" \"nope.png\" \"0\" \"\" \"\"\n";

const QColor kPage(0, 0, 255);
const QColor kBalloon(255, 251, 240);

class PopUpsEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        session = new PlayerSession(QStringLiteral("popups"));
        QStringList items;
        for (int i = 1; i <= 60; ++i)
            items.append(QStringLiteral("Item %1").arg(i));
        const QString script = QString::fromUtf8(kPopUpTour).replace(QStringLiteral("%TALL%"), items.join(u'|'));
        run = new TPlayerRun(session->Drive(script));
    }
    static void TearDownTestSuite()
    {
        delete run;
        delete session;
    }
    static std::string Var(const char* file, const char* name)
    {
        const auto vars = session->Variables(QString::fromUtf8(file));
        const auto found = vars.find(QString::fromUtf8(name).toUpper());
        return found == vars.end() ? std::string("<none>") : found->second.toStdString();
    }
    static QColor Pixel(const char* file, int x, int y) { return session->Picture(QString::fromUtf8(file)).pixelColor(x, y); }

    static inline PlayerSession* session = nullptr;
    static inline TPlayerRun* run = nullptr;
};

TEST_F(PopUpsEndToEnd, RunsCleanlyAndPrintsOnePopUpLineEach)
{
    ASSERT_TRUE(run->finished);
    EXPECT_EQ(run->exitCode, 0) << run->err.toStdString();
    EXPECT_FALSE(run->err.contains(QStringLiteral("qxplay5:"))) << run->err.toStdString();
    for (const char* line : {"POPUP Menu \"&One|-|T&hree\"", "POPUP Menu \"First|Second\"",
                             "POPUP Balloon \"At the pointer\" \"-1\" \"-1\" \"0\"",
                             "POPUP StickyNote \"-1\" \"-1\" \"Back in three seconds\" \"3000\"",
                             "POPUP PopUpImage \"-1\" \"-1\" \"pic.png\" \"0\" \"Wipe Right\" \"0\""})
        EXPECT_TRUE(run->out.contains(QString::fromUtf8(line))) << line << "\n" << run->out.toStdString();
}

TEST_F(PopUpsEndToEnd, MenuRunsOnlyTheChosenLine)
{
    EXPECT_EQ(Var("keys.txt", "Ran"), "3");
    EXPECT_EQ(Var("keys.txt", "After"), "x");
    EXPECT_EQ(Var("accel.txt", "Ran"), "3");  // "h" of "T&hree"
    EXPECT_EQ(Var("esc.txt", "Ran"), "<none>"); // Esc: none of the three
    EXPECT_EQ(Var("esc.txt", "After"), "xxx");
    // The pick list at 10,20 with "One" selected; "Three" below the separator is not.
    EXPECT_NE(Pixel("menu.png", 15, 30), Pixel("menu.png", 15, 58));
    EXPECT_FALSE(Near(Pixel("menu.png", 15, 58), kPage));
    EXPECT_TRUE(Near(Pixel("menu.png", 15, 80), kPage));
}

TEST_F(PopUpsEndToEnd, MenuExStoresTheClickedOrAnsweredItem)
{
    EXPECT_EQ(Var("pick.txt", "Pick"), "1");
    EXPECT_EQ(Var("pick.txt", "Answered"), "2");
    EXPECT_EQ(Var("pick.txt", "Tall"), "60"); // End reached the last item below the screen
}

TEST_F(PopUpsEndToEnd, BalloonNearTheTopOpensBelowWithTheStemOnTop)
{
    EXPECT_TRUE(Near(Pixel("top.png", 100, 2), kPage));
    EXPECT_TRUE(Near(Pixel("top.png", 100, 12), kBalloon, 12)); // the stem, tip at 100,5
    EXPECT_TRUE(Near(Pixel("top.png", 100, 26), kBalloon));     // the body below it
}

TEST_F(PopUpsEndToEnd, BalloonWithItsTextAloneOpensAtThePointer)
{
    // The pointer rests on Go's centre, 640,713: the balloon stands above it.
    EXPECT_TRUE(Near(Pixel("pointer.png", 640, 690), kBalloon));
    EXPECT_TRUE(Near(Pixel("pointer.png", 640, 655), kPage));
}

TEST_F(PopUpsEndToEnd, ClickOutsideClosesThePopUpWithoutClickingTheButton)
{
    EXPECT_EQ(Var("away.txt", "Clicks"), "<none>");
    EXPECT_EQ(Var("clicked.txt", "Clicks"), "x");
}

TEST_F(PopUpsEndToEnd, StickyNotesCloseByTimeOrKey)
{
    EXPECT_EQ(Var("note_mid.txt", "NoteTimed"), "<none>");
    EXPECT_EQ(Var("note_end.txt", "NoteTimed"), "done");
    EXPECT_EQ(Var("key_mid.txt", "NoteKey"), "<none>");
    EXPECT_EQ(Var("key_end.txt", "NoteKey"), "done");
    // Centred on the page, in the tool-tip colour, with its shadow strip.
    const QImage shot = session->Picture(QStringLiteral("note.png"));
    int top = 400, bottom = 400;
    while (top > 0 && !Near(shot.pixelColor(400, top - 1), kPage))
        --top;
    while (bottom < shot.height() - 1 && !Near(shot.pixelColor(400, bottom + 1), kPage))
        ++bottom;
    EXPECT_NEAR((top + bottom) / 2, 400, 4);
    EXPECT_TRUE(Near(shot.pixelColor(400, bottom), QColor(148, 148, 148)));
    EXPECT_GT(shot.pixelColor(400, top + 3).lightness(), 200);
}

TEST_F(PopUpsEndToEnd, PictureEndsShownAndASecondOneReturnsAtOnce)
{
    EXPECT_TRUE(Near(Pixel("picture.png", 400, 400), QColor(220, 20, 20)));
    EXPECT_TRUE(Near(Pixel("picture.png", 371, 381), QColor(0, 200, 0)));
    EXPECT_TRUE(Near(Pixel("picture.png", 365, 400), kPage));
    EXPECT_EQ(Var("second.txt", "SecondBack"), "back");
    EXPECT_TRUE(run->out.contains(QStringLiteral("[#34]nope.png[#34][#13][#13]Ce fichier n'existe pas !")))
        << run->out.toStdString();
}

} // namespace
} // namespace tomeric::testing
