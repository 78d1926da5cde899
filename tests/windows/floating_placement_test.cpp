// Where floating windows go and how large they may be, without a window:
// positions from the page area, centring, cutting to the desktop, the
// FIXEDPOS child rules, the size variables and the option words.

#include "windows/floating_placement.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

// A main window whose page area starts at 100,50 on the screen and at 0,20
// in its client area (below a menu bar), scrolled by 30,10.
TMainWindowGeometry Main(bool fullScreen = false)
{
    TMainWindowGeometry main;
    main.pageAreaOnScreen = {100, 50};
    main.pageAreaInClient = {0, 20};
    main.scroll = {30, 10};
    main.clientSize = {640, 480};
    main.pageAreaSize = {400, 300};
    main.fullScreenLayout = fullScreen;
    return main;
}

const QRect kDesktop(0, 0, 1024, 768);
const QRect kWorkArea(0, 0, 1024, 728); // a task bar at the bottom

TEST(FloatingPlacement, ScriptPositionsCountFromThePageAreaAndMinusOneStaysForCentring)
{
    EXPECT_EQ(ScreenPosition({10, 20}, Main()), QPoint(110, 70));
    EXPECT_EQ(ScreenPosition({-1, 5}, Main()), QPoint(-1, 55));
}

TEST(FloatingPlacement, FixedWindowsTakeTheScrollPositionsAndInFullScreenThePageOrigin)
{
    EXPECT_EQ(FixedPosition({10, 20}, Main()), QPoint(-20, 10));
    EXPECT_EQ(FixedPosition({10, 20}, Main(true)), QPoint(-20, 30));
    EXPECT_EQ(FixedPosition({-1, -1}, Main(true)), QPoint(-1, -1));
}

TEST(FloatingPlacement, FixedWindowsCentreInThePageAreaOrInAFullScreenClient)
{
    // Page area 400 x 300 less the scroll positions.
    EXPECT_EQ(PlaceFixedWindow({-1, -1}, {100, 100}, Main()), QPoint(150 - 30, 100 - 10));
    EXPECT_EQ(PlaceFixedWindow({-1, -1}, {100, 100}, Main(true)), QPoint(270, 190));
    EXPECT_EQ(PlaceFixedWindow({5, -1}, {100, 100}, Main()), QPoint(5, 90));
}

TEST(FloatingPlacement, TopLevelWindowsCentreInTheWorkAreaAndStayOnTheDesktop)
{
    EXPECT_EQ(PlaceTopLevelWindow({-1, -1, 200, 100}, kDesktop, kWorkArea), QRect(412, 314, 200, 100));
    // Past the right and bottom edges: pulled back inside.
    EXPECT_EQ(PlaceTopLevelWindow({1000, 700, 200, 100}, kDesktop, kWorkArea), QRect(824, 668, 200, 100));
    // Left alone when it fits, even off the work area.
    EXPECT_EQ(PlaceTopLevelWindow({10, 650, 200, 100}, kDesktop, kWorkArea), QRect(10, 650, 200, 100));
}

TEST(FloatingPlacement, AWindowLargerThanTheDesktopIsCutToIt)
{
    EXPECT_EQ(PlaceTopLevelWindow({50, 50, 2000, 1000}, kDesktop, kWorkArea), QRect(0, 0, 1024, 768));
    // Taller than the work area: centred in the desktop instead.
    EXPECT_EQ(PlaceTopLevelWindow({-1, -1, 300, 750}, kDesktop, kWorkArea), QRect(362, 9, 300, 750));
}

TEST(FloatingPlacement, SizeVariablesBecomeTrackingSizesWhenBothConvertedValuesAreAboveZero)
{
    const QSize frame(8, 30);
    EXPECT_EQ(TrackingSize(300, 200, frame), QSize(308, 230));
    // Only a width: the frame makes the height positive.
    EXPECT_EQ(TrackingSize(300, 0, frame), QSize(308, 30));
    EXPECT_EQ(TrackingSize(300, 0, QSize(0, 0)), std::nullopt);
    // Both empty: no limit, the window is sized freely.
    EXPECT_EQ(TrackingSize(0, 0, frame), std::nullopt);
    EXPECT_EQ(SizeVariableValue(QString()), 0);
    EXPECT_EQ(SizeVariableValue(QStringLiteral("wide")), 0);
    EXPECT_EQ(SizeVariableValue(QStringLiteral(" 120 ")), 120);
}

TEST(FloatingPlacement, TextWindowsWithoutASizeTakeTheirTexts)
{
    EXPECT_EQ(TextWindowClientSize({150, 40}, 0, -5, 17), QSize(175, 40));
    EXPECT_EQ(TextWindowClientSize({150, 40}, 300, 200, 17), QSize(-1, -1));
}

TEST(FloatingOptions, FrameWordsCountInTheirOrderAndFixedPositionOverridesTheRest)
{
    const TCustomWindowOptions tool = ParseCustomWindowOptions(QStringLiteral("sizeable toolwindow exclusive"));
    EXPECT_EQ(tool.frame, TFloatingFrame::ffToolWindow);
    EXPECT_EQ(tool.flags, foExclusive);
    const TCustomWindowOptions plain = ParseCustomWindowOptions(QStringLiteral("@ NoCloseBtn"));
    EXPECT_EQ(plain.frame, TFloatingFrame::ffDialog);
    EXPECT_EQ(plain.flags, foProtected | foNoCloseButton);
    const TCustomWindowOptions fixed = ParseCustomWindowOptions(QStringLiteral("FixedPos Exclusive @ Sizeable"));
    EXPECT_EQ(fixed.frame, TFloatingFrame::ffNoBorder);
    EXPECT_EQ(fixed.flags, foFixedPosition);
    EXPECT_EQ(ParseTextWindowOptions(QStringLiteral("wordwrap")), foWordWrap);
    EXPECT_EQ(ParseTextWindowOptions(QStringLiteral("")), 0);
}

} // namespace
} // namespace tomeric
