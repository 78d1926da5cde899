// Floating windows in the running player, driven through one tour of the
// "floating" publication: a custom window whose button changes what the main
// page shows, the current page lent to a window and shown again when it
// closes, a FIXEDPOS window in the screenshot of the page, "@" protection
// against the close commands but not the user, text and picture windows
// opened once per name and closed by CloseWindow "", an exclusive window
// that keeps the mouse to itself, OnOpen and OnClose with the window handle;
// and, in a publication larger than the screen, a custom window cut to the
// screen and one held to its size variables.

#include "player_test_support.h"

namespace tomeric::testing {
namespace {

struct FloatingTour {
    static constexpr const char* kPublication = "floating";
    static constexpr const char* kScript =
        "wait 50\n"
        "screenshot before.png\n"
        "run CustomWindow \"Tool box\" \"10\" \"10\" \"Tools\" \"\"\n"
        "vars open.txt\n"
        "click AddTap\n"
        "click AddTap\n"
        "wait 20\n"
        "screenshot main.png\n"
        "windowshot Tools tools.png\n"
        "run CustomWindow \"Tool box\" \"10\" \"10\" \"TOOLS\" \"\"\n"
        "click CloseMe\n"
        "wait 20\n"
        "vars closed.txt\n"
        // The current page in a window of its own, then back.
        "run CustomWindow \"Self\" \"-1\" \"-1\" \"Main\" \"Sizeable\"\n"
        "windowshot Main lent.png\n"
        "closewindow Main\n"
        "screenshot back.png\n"
        // Pinned to the client area: over the page, and in its screenshot.
        "run CustomWindow \"Pinned\" \"30\" \"30\" \"Tools\" \"FIXEDPOS\"\n"
        "screenshot pinned.png\n"
        "closewindow Tools\n"
        // "@": only the user closes it.
        "run CustomWindow \"Keep\" \"0\" \"0\" \"Keep\" \"@ ToolWindow\"\n"
        "run CloseCustomWindow \"\"\n"
        "run CloseCustomWindow \"Keep\"\n"
        "run CloseWindow \"Keep\"\n"
        "vars kept.txt\n"
        "closewindow Keep\n"
        "vars unkept.txt\n"
        // Text and picture windows; CloseWindow "" spares custom windows.
        "run TextWindow \"Notes\" \"5\" \"5\" \"0\" \"0\" \"notes.txt\" \"\"\n"
        "run TextWindow \"Notes\" \"5\" \"5\" \"0\" \"0\" \"notes.txt\" \"\"\n"
        "run ImageWindow \"Strip\" \"5\" \"5\" \"strip.png\"\n"
        "windowshot notes.txt notes.png\n"
        "windowshot strip.png strip.png\n"
        "run CustomWindow \"Tool box\" \"10\" \"10\" \"Tools\" \"\"\n"
        "run CloseWindow \"\"\n"
        "wait 20\n"
        "vars textclosed.txt\n"
        "run CloseCustomWindow \"\"\n"
        "run CustomWindow \"x\" \"0\" \"0\" \"Nowhere\" \"\"\n"
        // An exclusive window: the main page is out of reach meanwhile.
        "click OpenDialog\n"
        "wait 50\n"
        "vars modal.txt\n"
        "click MainButton\n"
        "click Done\n"
        "wait 50\n"
        "vars aftermodal.txt\n"
        "click MainButton\n"
        "vars vars.txt\n";
};

int DarkPixels(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    return count;
}

class FloatingWindowsTour : public DrivenTourTest<FloatingTour> {
protected:
    // A variable of one of the files the tour wrote; "<none>" when unset.
    static std::string VarIn(const char* file, const char* name)
    {
        const auto vars = tour->session.Variables(QString::fromLatin1(file));
        const auto found = vars.find(QString::fromLatin1(name).toUpper());
        return found == vars.end() ? std::string("<none>") : found->second.toStdString();
    }
    static QImage Shot(const char* name) { return tour->session.Picture(QString::fromLatin1(name)); }
    // How many lines of the driven output are exactly `text`.
    static int Lines(const char* text)
    {
        int count = 0;
        for (const QString& line : tour->run.out.split(QLatin1Char('\n')))
            count += line.trimmed() == QString::fromLatin1(text);
        return count;
    }
};

const QRect kCounter(10, 10, 100, 40);

TEST_F(FloatingWindowsTour, RunsCleanly)
{
    tour->ExpectCleanRun();
}

TEST_F(FloatingWindowsTour, AButtonInACustomWindowChangesWhatTheMainPageShows)
{
    EXPECT_EQ(DarkPixels(Shot("before.png"), kCounter), 0);
    EXPECT_GT(DarkPixels(Shot("main.png"), kCounter), 20);
    EXPECT_EQ(VarIn("closed.txt", "Taps"), "TT");
    const QImage tools = Shot("tools.png");
    ASSERT_EQ(tools.size(), QSize(240, 160));
    EXPECT_TRUE(Near(tools.pixelColor(200, 140), QColor(255, 0, 0)));
}

TEST_F(FloatingWindowsTour, OnOpenAndOnCloseRunOnceEachAndTheHandleLivesWithTheWindow)
{
    EXPECT_EQ(VarIn("open.txt", "Opened"), "o");
    EXPECT_NE(VarIn("open.txt", "Tools.WinHandle"), "<none>");
    EXPECT_EQ(VarIn("open.txt", "HandleAtOpen"), VarIn("open.txt", "Tools.WinHandle"));
    // The second CustomWindow of the same page brought the window forward.
    EXPECT_EQ(VarIn("closed.txt", "Opened"), "o");
    EXPECT_EQ(VarIn("closed.txt", "Closed"), "c");
    EXPECT_EQ(VarIn("closed.txt", "Tools.WinHandle"), "<none>");
}

TEST_F(FloatingWindowsTour, TheCurrentPageLentToAWindowShowsAgainWhenItCloses)
{
    // While lent, the page with its counter is in the window (a screenshot
    // of the main window would show the window over it).
    EXPECT_GT(DarkPixels(Shot("lent.png"), kCounter), 20);
    const QImage back = Shot("back.png");
    EXPECT_TRUE(Near(back.pixelColor(5, 5), Qt::white));
    EXPECT_GT(DarkPixels(back, kCounter), 20);
}

TEST_F(FloatingWindowsTour, AFixedPositionWindowIsInTheScreenshotOfThePage)
{
    // The tool page's red corner, over the main page where there is none.
    const auto red = [](const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += Near(image.pixelColor(x, y), QColor(255, 0, 0)) ? 1 : 0;
        return count;
    };
    EXPECT_EQ(red(Shot("back.png")), 0);
    EXPECT_GT(red(Shot("pinned.png")), 100);
}

TEST_F(FloatingWindowsTour, AProtectedWindowOutlivesTheCloseCommandsButNotTheUser)
{
    EXPECT_NE(VarIn("kept.txt", "Keep.WinHandle"), "<none>");
    EXPECT_EQ(VarIn("unkept.txt", "Keep.WinHandle"), "<none>");
}

TEST_F(FloatingWindowsTour, TextAndPictureWindowsOpenOnceAndCloseWindowSparesCustomWindows)
{
    EXPECT_EQ(Lines("WINDOW OPEN \"notes.txt\""), 1);
    EXPECT_EQ(Lines("WINDOW CLOSE \"notes.txt\""), 1);
    EXPECT_EQ(Lines("WINDOW CLOSE \"strip.png\""), 1);
    EXPECT_NE(VarIn("textclosed.txt", "Tools.WinHandle"), "<none>");
    // The picture window has the picture's size; the text window is as
    // wide as its longest line and as tall as its text.
    EXPECT_EQ(Shot("strip.png").size(), QSize(30, 10));
    const QImage notes = Shot("notes.png");
    EXPECT_GT(notes.width(), 100);
    EXPECT_LT(notes.height(), 60);
    EXPECT_GT(DarkPixels(notes, notes.rect()), 20);
}

TEST_F(FloatingWindowsTour, AnUnknownPageIsNoObject)
{
    EXPECT_TRUE(tour->run.out.contains(QStringLiteral("ERROR \"[#34]Nowhere[#34][#13]Cet objet n'existe pas.\"")))
        << tour->run.out.toStdString();
}

TEST_F(FloatingWindowsTour, AnExclusiveWindowKeepsTheMouseUntilItCloses)
{
    // The script that opened it waits for it.
    EXPECT_EQ(VarIn("modal.txt", "AfterDialog"), "<none>");
    EXPECT_EQ(VarIn("aftermodal.txt", "AfterDialog"), "yes");
    EXPECT_EQ(VarIn("aftermodal.txt", "DoneClicks"), "d");
    EXPECT_EQ(VarIn("aftermodal.txt", "MainClicks"), "<none>");
    EXPECT_EQ(Var("MAINCLICKS"), "m");
}

TEST(FloatingWindowSizes, AWindowLargerThanTheScreenIsCutAndSizeVariablesHoldIt)
{
    PlayerSession session(QStringLiteral("floating_big"));
    const TPlayerRun run = session.Drive(QStringLiteral(
        "wait 50\n"
        "run CustomWindow \"Big\" \"-1\" \"-1\" \"Big\" \"Sizeable\"\n"
        "windowshot Big cut.png\n"
        "run CloseCustomWindow \"Big\"\n"
        "run SetVar \"[Big_MaxWidth]\" \"300\"\n"
        "run SetVar \"[Big_MaxHeight]\" \"200\"\n"
        "run CustomWindow \"Big\" \"20\" \"20\" \"Big\" \"Sizeable\"\n"
        "windowshot Big held.png\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // The page is 1000 x 800; the off-screen display is smaller.
    const QSize cut = session.Picture(QStringLiteral("cut.png")).size();
    EXPECT_GT(cut.width(), 0);
    EXPECT_LE(cut.width(), 800);
    EXPECT_LT(cut.height(), 800);
    EXPECT_EQ(session.Picture(QStringLiteral("held.png")).size(), QSize(300, 200));
}

TEST(FloatingWindowsAndRunTomeric, WindowsStayLiveIntoTheNextPublicationUnlessCloseWindowsIsGiven)
{
    PlayerSession session(QStringLiteral("floating"));
    TFolderPackOptions other;
    other.sourceFolder = QStringLiteral(TOMERIC_SOURCE_DIR "/tests/publications/chain_b");
    other.outputPath = session.Path(QStringLiteral("chain_b.tpk"));
    ASSERT_TRUE(PackFolder(other).ok);
    const TPlayerRun run = session.Drive(QStringLiteral(
        "wait 50\n"
        "run CustomWindow \"Tool box\" \"10\" \"10\" \"Tools\" \"\"\n"
        "run RunTomeric \"chain_b.tpk\" \"\"\n"
        "wait 300\n"
        "click AddTap\n"
        "vars in_b.txt\n"
        "run RunTomeric \"floating.tpk\" \"CLOSEWINDOWS\"\n"
        "wait 300\n"
        "vars back.txt\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // The page kept in its window still has its live objects.
    const auto inB = session.Variables(QStringLiteral("in_b.txt"));
    EXPECT_EQ(inB.count(QStringLiteral("TOOLS.WINHANDLE")), 1u);
    EXPECT_EQ(inB.count(QStringLiteral("TAPS")) ? inB.at(QStringLiteral("TAPS")) : QString(), QStringLiteral("T"));
    // CLOSEWINDOWS: closed before the next publication shows its page.
    const QString out = run.out;
    const qsizetype closed = out.indexOf(QStringLiteral("WINDOW CLOSE \"Tools\""));
    const qsizetype again = out.lastIndexOf(QStringLiteral("PAGE 1 \"Main\""));
    EXPECT_GT(closed, out.indexOf(QStringLiteral("PAGE 1 \"Second\""))) << out.toStdString();
    EXPECT_LT(closed, again) << out.toStdString();
    EXPECT_EQ(session.Variables(QStringLiteral("back.txt")).count(QStringLiteral("TOOLS.WINHANDLE")), 0u);
}

} // namespace
} // namespace tomeric::testing
