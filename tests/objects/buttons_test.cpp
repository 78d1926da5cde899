// Buttons: the press-and-release state machine of the three kinds, the
// keyboard and hot keys, the hot look, the right click and the object
// commands of push buttons.

#include "buttons_test_support.h"

#include <QTemporaryDir>

namespace tomeric {
namespace {

using namespace testing;

// ---- the press state machine ------------------------------------------------------

enum class TKind { Push, Check, Radio };
enum TStep { kPress, kOut, kIn, kReleaseIn, kReleaseOut };

struct TPressCase {
    const char* label;
    TKind kind;
    int initial;               // VisualState before the press
    std::vector<TStep> steps;
    std::vector<int> states;   // VisualState after each step
    int clicks;
};

class ButtonPressStateMachine : public ButtonsFixture, public ::testing::WithParamInterface<TPressCase> {
protected:
    TTomericButton* Make(TKind kind, int initial)
    {
        switch (kind) {
        case TKind::Push: return MakePush("B", [](TObjectRecord& r) { r.As<TPushButtonProps>()->clickAction = "Go"; });
        case TKind::Check:
            return MakeCheck("B", [initial](TObjectRecord& r) {
                r.As<TCheckBoxProps>()->clickAction = "Go";
                r.As<TCheckBoxProps>()->initialState = initial;
            });
        case TKind::Radio: return MakeRadio("B", "One", QString(), initial);
        }
        return nullptr;
    }
};

TEST_P(ButtonPressStateMachine, FollowsThePointerAndClicksOnlyOnReleaseInside)
{
    const TPressCase& c = GetParam();
    TTomericButton* button = Make(c.kind, c.initial);
    button->OnInit();
    ASSERT_EQ(button->VisualState(), c.initial);
    const QPoint inside = button->rect().center();
    const QPoint outside(button->width() + 20, -10);
    for (size_t i = 0; i < c.steps.size(); ++i) {
        switch (c.steps[i]) {
        case kPress: Press(*button, inside); break;
        case kOut: Move(*button, outside); break;
        case kIn: Move(*button, inside); break;
        case kReleaseIn: Release(*button, inside); break;
        case kReleaseOut: Release(*button, outside); break;
        }
        EXPECT_EQ(button->VisualState(), c.states[i]) << "after step " << i;
    }
    EXPECT_FALSE(button->Tracking());
    EXPECT_EQ(Clicks(), c.clicks);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ButtonPressStateMachine,
    ::testing::Values(
        TPressCase{"PushClick", TKind::Push, 0, {kPress, kReleaseIn}, {1, 0}, 1},
        TPressCase{"PushDraggedOut", TKind::Push, 0, {kPress, kOut, kReleaseOut}, {1, 0, 0}, 0},
        TPressCase{"PushOutAndBack", TKind::Push, 0, {kPress, kOut, kIn, kReleaseIn}, {1, 0, 1, 0}, 1},
        TPressCase{"CheckOn", TKind::Check, 0, {kPress, kReleaseIn}, {2, 1}, 1},
        TPressCase{"CheckOff", TKind::Check, 1, {kPress, kReleaseIn}, {2, 0}, 1},
        TPressCase{"CheckDraggedOut", TKind::Check, 0, {kPress, kOut, kReleaseOut}, {2, 0, 0}, 0},
        TPressCase{"CheckedDraggedOut", TKind::Check, 1, {kPress, kOut, kReleaseOut}, {2, 1, 1}, 0},
        TPressCase{"RadioOn", TKind::Radio, 0, {kPress, kReleaseIn}, {2, 1}, 1},
        TPressCase{"RadioAlreadyOn", TKind::Radio, 1, {kPress, kReleaseIn}, {2, 1}, 0},
        TPressCase{"RadioDraggedOut", TKind::Radio, 0, {kPress, kOut, kReleaseOut}, {2, 0, 0}, 0}),
    [](const auto& info) { return std::string(info.param.label); });

class ButtonBasics : public ButtonsFixture {};

TEST_F(ButtonBasics, ClickActionRunsPostedAfterTheMouseHandlingWithTheClickKind)
{
    auto* button = MakePush("Ok", [](TObjectRecord& r) { r.As<TPushButtonProps>()->clickAction = "GotoPage \"Next\""; });
    Click(*button);
    EXPECT_TRUE(host.runs.empty()); // not yet: posted
    TurnEventLoop();
    ASSERT_EQ(host.runs.size(), 1u);
    EXPECT_EQ(host.runs[0].text, "GotoPage \"Next\"");
    EXPECT_EQ(host.runs[0].kind, ekClick);
    EXPECT_EQ(host.runs[0].objType, otPushBtn);
    EXPECT_EQ(host.runs[0].name, "Ok");
}

TEST_F(ButtonBasics, RightClickRunsOnlyTheRightClickActionAndDoesNotPress)
{
    auto* button = MakePush("Menu", [](TObjectRecord& r) {
        r.As<TPushButtonProps>()->clickAction = "Left";
        r.As<TPushButtonProps>()->rClickAction = "Right";
    });
    Press(*button, {5, 5}, Qt::RightButton);
    EXPECT_EQ(button->VisualState(), bvUp);
    Release(*button, {5, 5}, Qt::RightButton);
    TurnEventLoop();
    ASSERT_EQ(host.runs.size(), 1u);
    EXPECT_EQ(host.runs[0].text, "Right");
    EXPECT_EQ(host.runs[0].kind, ekRightClick);
}

TEST_F(ButtonBasics, RightReleaseOutsideRunsNothing)
{
    auto* button = MakePush("Menu", [](TObjectRecord& r) { r.As<TPushButtonProps>()->rClickAction = "Right"; });
    Release(*button, {-5, -5}, Qt::RightButton);
    EXPECT_EQ(Clicks(), 0);
    EXPECT_TRUE(host.runs.empty());
}

TEST_F(ButtonBasics, DisabledButtonNeitherPressesNorClicks)
{
    auto* button = MakePush("Off", [](TObjectRecord& r) { r.As<TPushButtonProps>()->clickAction = "Go"; });
    button->SetEnabledState(false);
    Click(*button);
    button->SimulatePress(10);
    EXPECT_EQ(button->VisualState(), bvUp);
    EXPECT_FALSE(button->Tracking());
    EXPECT_EQ(Clicks(), 0);
}

TEST_F(ButtonBasics, StandAloneButtonCallsItsHandlerInsteadOfTheAction)
{
    auto* button = MakePush("Play", [](TObjectRecord& r) { r.As<TPushButtonProps>()->clickAction = "Go"; });
    int handled = 0;
    button->SetStandAlone([&handled] { ++handled; });
    Click(*button);
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(Clicks(), 0);
}

TEST_F(ButtonBasics, EveryButtonUsesTheHotSpotCursor)
{
    EXPECT_EQ(MakePush("P")->CursorSlot(), csHotSpot);
    EXPECT_EQ(MakeCheck("C")->CursorSlot(), csHotSpot);
    EXPECT_EQ(MakeRadio("R", "x", "")->CursorSlot(), csHotSpot);
}

// ---- keyboard and hot keys -------------------------------------------------------------

TEST_F(ButtonBasics, HotKeyShowsThePressForAboutOneHundredFiftyMillisecondsThenClicks)
{
    auto* button = MakePush("Key", [](TObjectRecord& r) { r.As<TPushButtonProps>()->clickAction = "Go"; });
    button->HotKeyPressed();
    EXPECT_TRUE(button->Tracking());
    EXPECT_EQ(button->VisualState(), bvDown);
    const qint64 held = WaitFor([button] { return !button->Tracking(); });
    EXPECT_GE(held, 140);
    EXPECT_LT(held, 1000);
    EXPECT_EQ(button->VisualState(), bvUp);
    EXPECT_EQ(Clicks(), 1);
}

TEST_F(ButtonBasics, HotKeyTogglesACheckBox)
{
    auto* box = MakeCheck("Key");
    box->OnInit();
    box->HotKeyPressed();
    EXPECT_EQ(box->VisualState(), bvHot);
    WaitFor([box] { return !box->Tracking(); });
    EXPECT_EQ(box->VisualState(), bvDown);
}

TEST_F(ButtonBasics, WithTheMarqueeButtonsAreTabStopsAndSpaceOrEnterPress)
{
    host.marquee = true;
    auto* button = MakePush("Focus", [](TObjectRecord& r) { r.As<TPushButtonProps>()->clickAction = "Go"; });
    button->OnInit();
    EXPECT_NE(button->focusPolicy(), Qt::NoFocus);
    page.show();
    page.activateWindow();
    QApplication::setActiveWindow(&page);
    button->setFocus();
    WaitFor([button] { return button->hasFocus(); }, 500);
    ASSERT_TRUE(button->hasFocus());
    for (int key : {Qt::Key_Space, Qt::Key_Return}) {
        SendKey(*button, key);
        EXPECT_TRUE(button->Tracking());
        const qint64 held = WaitFor([button] { return !button->Tracking(); });
        EXPECT_GE(held, 90);
    }
    EXPECT_EQ(Clicks(), 2);
    page.hide();
}

TEST_F(ButtonBasics, WithoutTheMarqueeButtonsTakeNoFocus)
{
    auto* button = MakePush("NoFocus");
    button->OnInit();
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    SendKey(*button, Qt::Key_Space);
    EXPECT_FALSE(button->Tracking());
}

// ---- hot look and enter/exit --------------------------------------------------------------

class ButtonPushImages : public ButtonsFixture {
protected:
    QString Strip()
    {
        const QString path = dir.filePath("strip.png");
        StripImage().save(path);
        return path;
    }
    QString Plain(const QString& name, QColor colour)
    {
        QImage image(10, 10, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = dir.filePath(name);
        image.save(path);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(ButtonPushImages, LibraryStripGivesAHoverLookThatEnterAndLeaveSwitch)
{
    const QString strip = Strip();
    auto* button = MakePush("Lib", [&](TObjectRecord& r) {
        r.As<TPushButtonProps>()->imageStyle = qxbsLibrary;
        r.As<TPushButtonProps>()->libImage = strip;
    });
    EXPECT_TRUE(button->HasHoverLook());
    Enter(*button);
    EXPECT_EQ(button->VisualState(), bvHot);
    Leave(*button);
    EXPECT_EQ(button->VisualState(), bvUp);
}

TEST_F(ButtonPushImages, ReleasingAHotButtonInsideLeavesItHot)
{
    const QString strip = Strip();
    auto* button = MakePush("Lib", [&](TObjectRecord& r) {
        r.As<TPushButtonProps>()->imageStyle = qxbsLibrary;
        r.As<TPushButtonProps>()->libImage = strip;
    });
    Enter(*button);
    Press(*button, {5, 5});
    EXPECT_EQ(button->VisualState(), bvDown);
    Release(*button, {5, 5});
    EXPECT_EQ(button->VisualState(), bvHot);
}

TEST_F(ButtonPushImages, WithoutAnOverImageThereIsNoHotLook)
{
    const QString up = Plain("up.png", Qt::yellow);
    auto* button = MakePush("Ind", [&](TObjectRecord& r) {
        r.As<TPushButtonProps>()->imageStyle = qxbsIndividual;
        r.As<TPushButtonProps>()->upImage = up;
    });
    Enter(*button);
    EXPECT_EQ(button->VisualState(), bvUp);
    button->SetOverImage(Plain("over.png", Qt::cyan));
    Leave(*button);
    Enter(*button);
    EXPECT_EQ(button->VisualState(), bvHot);
}

TEST_F(ButtonPushImages, AnUnreadableImageLeavesTheCaptionOnly)
{
    auto* button = MakePush("Broken", [&](TObjectRecord& r) {
        r.As<TPushButtonProps>()->imageStyle = qxbsLibrary;
        r.As<TPushButtonProps>()->libImage = dir.filePath("missing.png");
    });
    EXPECT_FALSE(button->HasHoverLook());
}

TEST_F(ButtonBasics, EnterAndExitActionsRunAtOnce)
{
    auto* button = MakePush("Hover", [](TObjectRecord& r) {
        r.As<TPushButtonProps>()->enterAction = "In";
        r.As<TPushButtonProps>()->exitAction = "Out";
    });
    Enter(*button);
    Leave(*button);
    ASSERT_EQ(host.runs.size(), 2u);
    EXPECT_EQ(host.runs[0].kind, ekEnter);
    EXPECT_EQ(host.runs[1].kind, ekExit);
}

// ---- object commands of push buttons ------------------------------------------------------

TEST_F(ButtonPushImages, FileNameIsTheStripInLibraryStyleAndTheUpImageOtherwise)
{
    auto* library = MakePush("L", [](TObjectRecord& r) {
        r.As<TPushButtonProps>()->imageStyle = qxbsLibrary;
        r.As<TPushButtonProps>()->libImage = "a.bmp";
        r.As<TPushButtonProps>()->upImage = "b.bmp";
    });
    EXPECT_EQ(library->FamilyInfo("FILENAME"), QString("a.bmp"));
    EXPECT_TRUE(library->SetObjectFileName(Strip()));
    EXPECT_EQ(library->LibImage(), dir.filePath("strip.png"));
    EXPECT_TRUE(library->HasHoverLook());

    auto* individual = MakePush("I", [](TObjectRecord& r) { r.As<TPushButtonProps>()->imageStyle = qxbsIndividual; });
    EXPECT_TRUE(individual->SetObjectFileName("up.bmp"));
    EXPECT_EQ(individual->UpImage(), "up.bmp");
    EXPECT_EQ(individual->FamilyInfo("FILENAME"), QString("up.bmp"));

    auto* plain = MakePush("N");
    EXPECT_TRUE(plain->SetObjectFileName("x.bmp"));
    EXPECT_TRUE(plain->UpImage().isEmpty());
    EXPECT_TRUE(plain->LibImage().isEmpty());
}

TEST_F(ButtonBasics, TransparentPushButtonsUseTheBackgroundStyle)
{
    auto* solid = MakePush("S");
    EXPECT_EQ(solid->ButtonStyle(), bsStandard);
    EXPECT_FALSE(solid->GetIsTransparent());
    solid->SetFillPattern(1);
    EXPECT_EQ(solid->ButtonStyle(), bsStandardBknd);
    EXPECT_TRUE(solid->GetIsTransparent());
    auto* themed = MakePush("T", [](TObjectRecord& r) { r.As<TPushButtonProps>()->useXPTheme = true; });
    EXPECT_TRUE(themed->GetIsTransparent());
    EXPECT_EQ(themed->ButtonStyle(), bsStandard);
}

TEST_F(ButtonBasics, CheckBoxesAndRadioButtonsAreAlwaysTransparent)
{
    auto* box = MakeCheck("C");
    box->SetFillPattern(0);
    EXPECT_TRUE(box->GetIsTransparent());
    EXPECT_TRUE(MakeRadio("R", "r", "")->GetIsTransparent());
    EXPECT_EQ(box->ButtonStyle(), bsToggle);
}

TEST_F(ButtonBasics, OutOfRangeEnumeratedValuesAreIgnored)
{
    auto* button = MakePush("E", [](TObjectRecord& r) {
        r.As<TPushButtonProps>()->imageStyle = 7;
        r.As<TPushButtonProps>()->alignment = 3;
    });
    EXPECT_EQ(button->ImageStyle(), qxbsNone);
    EXPECT_EQ(button->Alignment(), baCentre);
    button->SetImageStyle(9);
    button->SetAlignment(5);
    EXPECT_EQ(button->ImageStyle(), qxbsNone);
    EXPECT_EQ(button->Alignment(), baCentre);
}

} // namespace
} // namespace tomeric
