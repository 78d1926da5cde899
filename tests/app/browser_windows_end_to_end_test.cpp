// Browser objects and the player around them: pages that open windows
// (a link with a target, window.open with a size, an action link with a
// target, window.close from the opener) in browser floating windows or, for
// a browser that does not keep pop-ups, in the desktop's browser; the find
// dialog over a page; a file given to a file input; BrowserPrint to the
// --print-to folder, text kept as text; BrowserSearch's page.

#include "player_test_support.h"

#include <QProcess>

namespace tomeric::testing {
namespace {

constexpr const char* kWindowsTour =
    "wait 2500\n"
    // A link with target=_blank: a browser window named after its page.
    "run BrowserExecScript \"Web\" \"document.getElementById('blank').click()\" \"\"\n"
    "wait 1500\n"
    "windowshot popup.htm popup.png\n"
    "closewindow popup.htm\n"
    // An action link with a target runs and opens nothing.
    "run BrowserExecScript \"Web\" \"document.getElementById('linkpop').click()\" \"\"\n"
    "wait 1000\n"
    // window.open with a size, closed by its opener.
    "run BrowserExecScript \"Web\" \"openSized()\" \"\"\n"
    "wait 1500\n"
    "windowshot popup.htm sized.png\n"
    "run BrowserExecScript \"Web\" \"closeSized()\" \"\"\n"
    "wait 800\n"
    // Pop-ups not kept: the web goes out, included pages stay in.
    "run BrowserExecScript \"Out\" \"document.getElementById('web').click()\" \"\"\n"
    "wait 800\n"
    "run BrowserExecScript \"Out\" \"document.getElementById('included').click()\" \"\"\n"
    "wait 1500\n"
    "run CloseWindow \"\"\n"
    "wait 500\n"
    // Find First, then Find Next, then a text the page does not hold.
    "run BrowserFind \"Web\"\n"
    "wait 300\n"
    "type beta\n"
    "click FindBtn\n"
    "wait 300\n"
    "screenshot first.png\n"
    "click NextBtn\n"
    "wait 300\n"
    "screenshot next.png\n"
    "key Ctrl+A\n"
    "type zzz\n"
    "click FindBtn\n"
    "wait 300\n"
    "click CloseBtn\n"
    // A file input receives an included file.
    "run BrowserSetElement \"Web\" \"f.upload\" \"upload.txt\"\n"
    "wait 300\n"
    "run BrowserGetElement \"Web\" \"f.upload\" \"[UploadValue]\"\n"
    "run BrowserExecScript \"Web\" \"uploaded()\" \"\"\n"
    "wait 500\n"
    "run BrowserPrint \"Web\" \"\"\n"
    "run SetVar \"[PrintError]\" \"[LastError]\"\n"
    "run BrowserPrint \"Web\" \"PrintPreview\"\n"
    "run BrowserSearch \"Web\"\n"
    "wait 1500\n"
    "vars vars.txt\n"
    "quit\n";

class BrowserWindowsEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        session = std::make_unique<PlayerSession>(QStringLiteral("browser_windows"));
        session->SetEnvironment(QStringLiteral("TOMERIC_SEARCH_PAGE"), QStringLiteral("search.htm"));
        run = session->Drive(QString::fromUtf8(kWindowsTour),
                             {QStringLiteral("--print-to"), session->Path(QStringLiteral("prints"))});
        vars = session->Variables(QStringLiteral("vars.txt"));
    }
    static void TearDownTestSuite() { session.reset(); }

    void SetUp() override
    {
#ifndef TOMERIC_HAS_WEBENGINE
        GTEST_SKIP() << "built without a web engine";
#endif
    }

    static std::string Var(const char* name) { return vars[QString::fromLatin1(name)].toStdString(); }
    static qsizetype Lines(const char* text) { return run.out.count(QString::fromUtf8(text)); }
    // Where the active match of a search is drawn (orange), in the page's
    // text line; -1 when none is.
    static int ActiveMatchX(const QImage& shot)
    {
        for (int y = 20; y < 60 && y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (Near(shot.pixelColor(x, y), QColor(255, 150, 50), 12))
                    return x;
        return -1;
    }

    static inline std::unique_ptr<PlayerSession> session;
    static inline TPlayerRun run;
    static inline std::map<QString, QString> vars;
};

// Each test runs the whole tour (ctest runs tests one by one), so the
// rules are grouped into three.

TEST_F(BrowserWindowsEndToEnd, PagesThatOpenWindowsGetBrowserWindows)
{
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral("qxplay5:"))) << run.err.toStdString();
    // The link, window.open and the included page of the other browser; the
    // action link with a target runs and opens nothing.
    EXPECT_EQ(Lines("WINDOW OPEN \"popup.htm\""), 3) << run.out.toStdString();
    EXPECT_EQ(Lines("WINDOW CLOSE \"popup.htm\""), 3) << run.out.toStdString();
    EXPECT_EQ(Var("POPLINK"), "ran");
    // Each window's page reached the publication through window.external.
    EXPECT_EQ(Var("POPUPSEEN"), "yes;yes;yes;");
    const QImage popup = session->Picture(QStringLiteral("popup.png"));
    ASSERT_FALSE(popup.isNull());
    EXPECT_TRUE(Near(popup.pixelColor(popup.width() / 2, popup.height() / 2), QColor(0, 255, 0), 8));
    // 300 x 150 asked for the page, the navigation and status bars added.
    const QImage sized = session->Picture(QStringLiteral("sized.png"));
    ASSERT_FALSE(sized.isNull());
    EXPECT_EQ(sized.width(), 300);
    EXPECT_GT(sized.height(), 150);
    // A browser that does not keep pop-ups hands web pages to the desktop.
    EXPECT_EQ(Lines("CALL BrowserWindow \"http://example.invalid/away.htm\""), 1) << run.out.toStdString();
}

TEST_F(BrowserWindowsEndToEnd, TheFindDialogMovesThroughTheMatchesAndSaysWhenThereIsNone)
{
    const int first = ActiveMatchX(session->Picture(QStringLiteral("first.png")));
    const int next = ActiveMatchX(session->Picture(QStringLiteral("next.png")));
    EXPECT_GE(first, 0);
    EXPECT_GT(next, first);
    EXPECT_EQ(Lines("DIALOG AlertBox \"Rechercher\" \"Texte introuvable.\""), 1) << run.out.toStdString();
}

TEST_F(BrowserWindowsEndToEnd, FileInputsPrintingAndSearchActOnThePage)
{
    // The file input holds the file itself: the page reads it.
    EXPECT_EQ(Var("UPLOADVALUE"), "C:\\fakepath\\upload.txt");
    EXPECT_EQ(Var("UPLOADED"), "file for the form");
    // BrowserPrint, then its preview (printed at once with --print-to).
    EXPECT_EQ(Var("PRINTERROR"), "");
    for (const char* name : {"prints/001-Opener.pdf", "prints/002-Opener.pdf"}) {
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {session->Path(QString::fromLatin1(name)), QStringLiteral("-")});
        ASSERT_TRUE(text.waitForFinished(30000)) << name;
        EXPECT_TRUE(QString::fromUtf8(text.readAllStandardOutput()).contains(QStringLiteral("alpha beta gamma beta")))
            << name;
    }
    EXPECT_EQ(Var("WEBTITLE"), "Search page");
}

} // namespace
} // namespace tomeric::testing
