// The web browser object in the running player: an included page with an
// included picture through "tomeric-ie:", action links that run scripts
// (refused commands under enhanced security), the before-navigate action
// cancelling a navigation, the title and URL variables following the page,
// form elements read and written, and the page's window.external object.
// Without a web engine the object shows its notice and its commands fail.

#include "player_test_support.h"

#include <unistd.h>

namespace tomeric::testing {
namespace {

constexpr const char* kBrowserTour =
    "wait 2500\n"
    "screenshot page.png\n"
    "run BrowserExecScript \"Web\" \"document.getElementById('set').click()\" \"JavaScript\"\n"
    "wait 300\n"
    "run BrowserExecScript \"Web\" \"document.getElementById('run').click()\" \"\"\n"
    "wait 300\n"
    "run SetVar \"[RunError]\" \"[LastError]\"\n"
    "run BrowserExecScript \"Web\" \"document.getElementById('titled').click()\" \"\"\n"
    "run BrowserExecScript \"Web\" \"fromPage()\" \"\"\n"
    "run BrowserExecScript \"Web\" \"probe('Included', 'next.htm')\" \"\"\n"
    "run BrowserExecScript \"Web\" \"probe('Outside', 'tomeric-ie://app/..%2F..%2F..%2F..%2Fetc%2Fpasswd')\" \"\"\n"
    "run BrowserExecScript \"Web\" \"1\" \"VBScript\"\n"
    "run SetVar \"[LanguageError]\" \"[LastError]\"\n"
    "wait 300\n"
    "run SetVar \"[UrlBeforeBlocked]\" \"[WebUrl]\"\n"
    "run BrowserExecScript \"Web\" \"document.getElementById('blocked').click()\" \"\"\n"
    "wait 800\n"
    "run SetVar \"[TitleAfterBlocked]\" \"[WebTitle]\"\n"
    "run BrowserExecScript \"Web\" \"document.getElementById('next').click()\" \"\"\n"
    "wait 1500\n"
    "run BrowserLoadFromStr \"Web\" \"<form name='f'><input name='t'><input type='radio' name='r' value='a'>"
    "<input type='radio' name='r' value='b'><input type='checkbox' name='c'></form>\"\n"
    "wait 1000\n"
    "run BrowserSetElement \"Web\" \"f.t\" \"typed\"\n"
    "run BrowserSetElement \"Web\" \"r\" \"b\"\n"
    "run BrowserSetElement \"Web\" \"c\" \"True\"\n"
    "run BrowserGetElement \"Web\" \"f.t\" \"[T]\"\n"
    "run BrowserGetElement \"Web\" \"r\" \"[R]\"\n"
    "run BrowserGetElement \"Web\" \"c\" \"[C]\"\n"
    "run BrowserGetElement \"Web\" \"f.missing\" \"[M]\"\n"
    "run SetVar \"[MissingError]\" \"[LastError]\"\n"
    "run GotoPage \"Second\"\n"
    "wait 1000\n"
    "screenshot bars.png\n"
    "run FlashPlay \"Movie\" \"\"\n"
    "run SetVar \"[FlashError]\" \"[LastError]\"\n"
    "vars vars.txt\n"
    "quit\n";

struct BrowserTour {
    static constexpr const char* kPublication = "browser_live";
    static constexpr const char* kScript = kBrowserTour;
};
// Every check but the notice's needs the engine; a build without it runs
// the same tour and checks that the object says so instead.
class BrowserEndToEnd : public DrivenTourTest<BrowserTour> {
protected:
    void SetUp() override
    {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        if (!kHasEngine && name.rfind("WithoutTheEngine", 0) != 0 && name.rfind("AFlashObject", 0) != 0)
            GTEST_SKIP() << "built without a web engine";
    }
#ifdef TOMERIC_HAS_WEBENGINE
    static constexpr bool kHasEngine = true;
#else
    static constexpr bool kHasEngine = false;
#endif
};

TEST_F(BrowserEndToEnd, ThePlayerRunsTheTourCleanly)
{
    tour->ExpectCleanRun();
}

TEST_F(BrowserEndToEnd, AnIncludedPageShowsItsIncludedPicture)
{
    const QImage page = tour->session.Picture(QStringLiteral("page.png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_TRUE(Near(page.pixelColor(50, 40), QColor(255, 0, 0), 8)) << page.pixelColor(50, 40).name().toStdString();
    EXPECT_TRUE(Near(page.pixelColor(250, 40), QColor(255, 255, 255), 8));
}

TEST_F(BrowserEndToEnd, ActionLinksRunTheirScriptsInsteadOfNavigating)
{
    EXPECT_EQ(Var("X"), "1");
    // A link starting with the publication's title without spaces, "¶" a
    // line break.
    EXPECT_EQ(Var("Y"), "two");
    EXPECT_EQ(Var("Z"), "three");
    EXPECT_EQ(Var("URLBEFOREBLOCKED"), "page.htm");
}

TEST_F(BrowserEndToEnd, EnhancedSecurityRefusesRunFromALink)
{
    EXPECT_NE(Var("RUNERROR").find("L'action Run ne peut pas provenir d'un lien de Navigateur Web."),
              std::string::npos)
        << Var("RUNERROR");
}

TEST_F(BrowserEndToEnd, TheBeforeNavigateActionCancelsByEmptyingTheUrl)
{
    EXPECT_NE(Var("BEFORE").find("blocked.htm;"), std::string::npos) << Var("BEFORE");
    EXPECT_EQ(Var("TITLEAFTERBLOCKED"), "Home page");
}

TEST_F(BrowserEndToEnd, TitleAndUrlVariablesFollowNavigations)
{
    EXPECT_NE(Var("AFTER").find("next.htm;"), std::string::npos) << Var("AFTER");
    EXPECT_EQ(Var("AFTER").find("blocked.htm"), std::string::npos) << Var("AFTER");
}

TEST_F(BrowserEndToEnd, PageScriptsReachThePublicationObject)
{
    EXPECT_EQ(Var("FROMPAGE"), "hello");
    EXPECT_EQ(Var("RAN"), "hello");
}

TEST_F(BrowserEndToEnd, PagesReadIncludedFilesAndNothingOutsideThePublication)
{
    EXPECT_EQ(Var("INCLUDED"), "read 68");
    EXPECT_EQ(Var("OUTSIDE"), "failed");
}

TEST_F(BrowserEndToEnd, RunningAsRootIsSaidOnce)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "not root";
    EXPECT_EQ(tour->run.err.count(QStringLiteral("sandbox is turned off")), 1) << tour->run.err.toStdString();
}

TEST_F(BrowserEndToEnd, FormElementsAreWrittenAndReadBack)
{
    EXPECT_EQ(Var("T"), "typed");
    EXPECT_EQ(Var("R"), "b");
    EXPECT_EQ(Var("C"), "Checked");
    EXPECT_EQ(Var("MISSINGERROR"), "\"f.missing\"||Cet élément n'existe pas.");
}

TEST_F(BrowserEndToEnd, TheNavigationAndStatusBarsFrameThePage)
{
    EXPECT_EQ(Var("BARTITLE"), "Next page");
    // The page starts below the navigation bar, whose built-in look is not
    // the page's white.
    const QImage bars = tour->session.Picture(QStringLiteral("bars.png"));
    ASSERT_FALSE(bars.isNull());
    EXPECT_FALSE(Near(bars.pixelColor(160, 2), QColor(255, 255, 255), 8));
    EXPECT_TRUE(Near(bars.pixelColor(160, 100), QColor(255, 255, 255), 8));
}

TEST_F(BrowserEndToEnd, OnlyJavaScriptRunsInPages)
{
    EXPECT_NE(Var("LANGUAGEERROR").find("VBScript"), std::string::npos) << Var("LANGUAGEERROR");
}

TEST_F(BrowserEndToEnd, WithoutTheEngineTheObjectShowsItsNoticeAndItsCommandsFail)
{
    if (kHasEngine)
        GTEST_SKIP() << "built with the web engine";
    tour->ExpectCleanRun();
    const QImage page = tour->session.Picture(QStringLiteral("page.png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_FALSE(Near(page.pixelColor(50, 40), QColor(255, 0, 0), 8)); // no included picture
    EXPECT_EQ(Var("T"), "");
    EXPECT_NE(Var("MISSINGERROR"), "") << "a command of a browser without its engine must fail";
}

TEST_F(BrowserEndToEnd, AFlashObjectWithoutItsEngineSaysSo)
{
    EXPECT_EQ(Var("FLASHERROR"), "\"Movie\"||La commande requiert un objet visible.");
}

} // namespace
} // namespace tomeric::testing
