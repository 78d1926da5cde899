// The page container: pages get widgets only when first needed, the master
// page shows the look of the page it lies in, and pages are drawn off-screen.

#include "pages/page_stack.h"
#include "windows/file_boxes.h"
#include "windows/simple_dialogs.h"

#include <gtest/gtest.h>

#include "gui_application.h"

namespace tomeric {
namespace {

QApplication& App()
{
    return testing::GuiApplication();
}

TPublication ThreePages()
{
    TPublication publication;
    for (const char* name : {"One", "Two", "Three"}) {
        TPageRecord page;
        page.name = QString::fromLatin1(name);
        publication.pages.push_back(page);
    }
    publication.pages[1].background.color = 0x0000FF; // red
    publication.pages[2].background.color = 0x00FF00; // green
    publication.pages[2].background.showMasterPage = false;
    publication.pages[3].background.style = pbGradient;
    publication.pages[3].background.gradient1 = 0;
    publication.pages[3].background.gradient2 = 0;
    return publication;
}

class PageStackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        stack = std::make_unique<TPageStack>(nullptr, publication, TWallpaperSource());
        stack->resize(40, 30);
    }
    TPublication publication = ThreePages();
    std::unique_ptr<TPageStack> stack;
};

TEST_F(PageStackTest, OnlyTheMasterPageExistsAtFirst)
{
    EXPECT_EQ(stack->Count(), 4);
    EXPECT_EQ(stack->CreatedPageCount(), 1);
    EXPECT_NE(stack->ExistingPage(0), nullptr);
    EXPECT_EQ(stack->ExistingPage(2), nullptr);
}

TEST_F(PageStackTest, ShowingAPageCreatesItAloneAndHidesThePrevious)
{
    stack->ShowPageAt(2);
    EXPECT_EQ(stack->CreatedPageCount(), 2);
    stack->ShowPageAt(1);
    EXPECT_EQ(stack->CreatedPageCount(), 3);
    EXPECT_TRUE(stack->ExistingPage(2)->isHidden());
    EXPECT_FALSE(stack->ExistingPage(1)->isHidden());
    EXPECT_EQ(stack->ShownIndex(), 1);
}

TEST_F(PageStackTest, InvalidIndexesChangeNothing)
{
    stack->ShowPageAt(1);
    stack->ShowPageAt(9);
    stack->ShowPageAt(-1);
    EXPECT_EQ(stack->ShownIndex(), 1);
    EXPECT_EQ(stack->EnsurePage(4), nullptr);
}

TEST_F(PageStackTest, TheMasterBackgroundTakesTheLookOfThePageThatShowsIt)
{
    stack->ShowPageAt(1);
    TTomericBackground* master = stack->ExistingPage(0)->Background();
    EXPECT_EQ(master->parentWidget(), stack->ExistingPage(1)->Background());
    EXPECT_EQ(master->Look().color, 0x0000FF);
    // A page without the master page sends it back to page 0, plain white.
    stack->ShowPageAt(2);
    EXPECT_EQ(master->parentWidget(), stack->ExistingPage(0));
    EXPECT_EQ(master->Look(), TBackgroundLook::PlainWhite());
}

TEST_F(PageStackTest, PagesAreDrawnOffScreenAtTheContainersSize)
{
    const QImage red = stack->RenderPage(1);
    EXPECT_EQ(red.size(), QSize(40, 30));
    EXPECT_EQ(red.pixelColor(20, 15), QColor(255, 0, 0));
    EXPECT_EQ(stack->RenderPage(2).pixelColor(0, 0), QColor(0, 255, 0));
    EXPECT_EQ(stack->RenderPage(3).pixelColor(39, 29), QColor(0, 0, 0));
    EXPECT_EQ(stack->ShownIndex(), -1); // drawing shows nothing
}

TEST_F(PageStackTest, PagesFollowTheContainersSize)
{
    stack->show(); // a hidden widget hears of its new size only when shown
    stack->ShowPageAt(1);
    stack->resize(60, 50);
    EXPECT_EQ(stack->ExistingPage(1)->size(), QSize(60, 50));
    EXPECT_EQ(stack->ExistingPage(1)->Background()->size(), QSize(60, 50));
}

TEST(DrivenDialogs, PrintOneLineEachAndTakeQueuedAnswers)
{
    App();
    QStringList lines;
    TSimpleDialogs dialogs;
    dialogs.DriveWith([&](const QString& line) { lines.append(line); });
    dialogs.QueueAnswer(QStringLiteral("2"));
    dialogs.QueueAnswer(QStringLiteral("typed"));
    EXPECT_EQ(dialogs.MessageBox(QStringLiteral("T"), QStringLiteral("a \"b\""), QStringLiteral("Yes|No")), 2);
    EXPECT_EQ(dialogs.InputBox(QStringLiteral("T"), QStringLiteral("P"), QStringLiteral("c")), QStringLiteral("typed"));
    EXPECT_EQ(dialogs.InputBox(QStringLiteral("T"), QStringLiteral("P"), QString()), std::nullopt);
    dialogs.ShowError(QStringLiteral("bad"));
    EXPECT_EQ(lines, (QStringList{QStringLiteral("DIALOG MessageBox \"T\" \"a [#34]b[#34]\" \"Yes|No\""),
                                  QStringLiteral("DIALOG InputBox \"T\" \"P\" \"c\""),
                                  QStringLiteral("DIALOG InputBox \"T\" \"P\" \"\""),
                                  QStringLiteral("ERROR \"bad\"")}));
}

struct PasswordCase {
    const char* answer; // null: none queued
    int result;
};

class DrivenPassword : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(DrivenPassword, MatchesIgnoringCaseOnce)
{
    App();
    TSimpleDialogs dialogs;
    dialogs.DriveWith([](const QString&) {});
    if (GetParam().answer)
        dialogs.QueueAnswer(QString::fromLatin1(GetParam().answer));
    EXPECT_EQ(dialogs.AskPassword(QStringLiteral("Secret")), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Table, DrivenPassword,
                         ::testing::Values(PasswordCase{"Secret", kPasswordMatched},
                                           PasswordCase{"sECRET", kPasswordMatched},
                                           PasswordCase{"Secret ", kPasswordWrong},
                                           PasswordCase{"nope", kPasswordWrong},
                                           PasswordCase{"", kPasswordCancelled},
                                           PasswordCase{nullptr, kPasswordCancelled}));

TEST(DialogTexts, BarsBreakLinesAndFiltersBecomeQtFilters)
{
    EXPECT_EQ(TSimpleDialogs::DisplayText(QStringLiteral("a|b")), QStringLiteral("a\nb"));
    EXPECT_EQ(QtFileFilter(QStringLiteral("Texts|*.txt;*.log|All|*.*")),
              QStringLiteral("Texts (*.txt *.log);;All (*.*)"));
}

} // namespace
} // namespace tomeric

namespace tomeric {
namespace {

TEST_F(PageStackTest, ObjectsAreFoundByNameOnTheShownPageThenOnTheMasterPage)
{
    stack->ShowPageAt(1);
    auto* own = new QWidget(stack->ExistingPage(1)->Background());
    own->setObjectName(QStringLiteral("Button"));
    auto* onMaster = new QWidget(stack->ExistingPage(0)->Background());
    onMaster->setObjectName(QStringLiteral("Footer"));
    auto* sameName = new QWidget(stack->ExistingPage(0)->Background());
    sameName->setObjectName(QStringLiteral("BUTTON"));
    EXPECT_EQ(stack->FindShownObject(QStringLiteral("button")), own);
    EXPECT_EQ(stack->FindShownObject(QStringLiteral("footer")), onMaster);
    EXPECT_EQ(stack->FindShownObject(QStringLiteral("nothing")), nullptr);
    // Page 2 does not show the master page: its objects are out of reach.
    stack->ShowPageAt(2);
    EXPECT_EQ(stack->FindShownObject(QStringLiteral("Footer")), nullptr);
}

} // namespace
} // namespace tomeric
