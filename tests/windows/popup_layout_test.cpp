// Where pop-ups go and how big they are, without any window.

#include "windows/popup_layout.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

const QRect kScreen(0, 0, 800, 600);

TEST(PopUpLayout, FittingKeepsTheWindowInsideTheWorkArea)
{
    const QRect work(0, 0, 800, 560); // a task bar below
    EXPECT_EQ(FitIntoWorkArea(QRect(-20, -5, 100, 50), work), QPoint(0, 0));
    EXPECT_EQ(FitIntoWorkArea(QRect(750, 540, 100, 50), work), QPoint(700, 510));
    // Wider than the work area: its left edge wins.
    EXPECT_EQ(FitIntoWorkArea(QRect(300, 10, 900, 50), work), QPoint(0, 10));
    // A second monitor to the right.
    EXPECT_EQ(FitIntoWorkArea(QRect(1590, 20, 40, 40), QRect(800, 0, 800, 600)), QPoint(1560, 20));
}

// The screen point the stem's tip lands on: the tip row is the balloon's
// outer row, just above the point for a stem below.
QPoint TipOnScreen(const TBalloonPlacement& placement)
{
    const TBalloonShape shape = BalloonShape(placement.window.size(), placement.stemPos, placement.stemOffset);
    return placement.window.topLeft() + shape.tip + QPoint(0, placement.stemPos == spBottom ? 1 : 0);
}

TEST(PopUpLayout, BalloonStandsAboveItsPointAndFlipsNearTheTop)
{
    const QSize client = BalloonClientSize(QSize(60, 13));
    EXPECT_EQ(client, QSize(76, 13 + 16 + 16));

    const TBalloonPlacement above = PlaceBalloon(client, QPoint(300, 200), kScreen);
    EXPECT_EQ(above.stemPos, spBottom);
    EXPECT_EQ(above.window.bottom(), 199);
    EXPECT_EQ(TipOnScreen(above), QPoint(300, 200));

    const TBalloonPlacement below = PlaceBalloon(client, QPoint(300, 10), kScreen);
    EXPECT_EQ(below.stemPos, spTop);
    EXPECT_EQ(below.window.top(), 10);
    EXPECT_EQ(TipOnScreen(below), QPoint(300, 10));
}

TEST(PopUpLayout, BalloonStaysOnTheScreenWithItsTipOnThePoint)
{
    const QSize client = BalloonClientSize(QSize(100, 13));
    const TBalloonPlacement left = PlaceBalloon(client, QPoint(5, 300), kScreen);
    EXPECT_EQ(left.window.left(), 0);
    EXPECT_EQ(TipOnScreen(left), QPoint(5, 300));
    const TBalloonPlacement right = PlaceBalloon(client, QPoint(798, 300), kScreen);
    EXPECT_EQ(right.window.right(), 799);
    EXPECT_EQ(TipOnScreen(right), QPoint(798, 300));
    // Below the screen's bottom: pulled back up.
    EXPECT_EQ(PlaceBalloon(client, QPoint(400, 700), kScreen).window.bottom(), 599);
    // The stem's base keeps clear of the rounded corner.
    const TBalloonShape shape = BalloonShape(left.window.size(), left.stemPos, left.stemOffset);
    EXPECT_GE(shape.baseStart.x(), 8);
}

TEST(PopUpLayout, StickyNoteWrapsWhenWiderThanTheScreenAndCentresOnThePage)
{
    const TStickyNoteMetrics metrics; // offsets 8, shadow 5
    EXPECT_EQ(StickyNoteWrapWidth(300, 800, metrics), 0);
    const int wrap = StickyNoteWrapWidth(2000, 800, metrics);
    EXPECT_EQ(wrap, 800 - 5 - 10 - 16);
    const QSize client = StickyNoteClientSize(QSize(wrap, 60), 800, metrics);
    EXPECT_EQ(client, QSize(800 - 5 - 10, 60 + 16 + 5));

    const QRect page(100, 50, 400, 300);
    EXPECT_EQ(PlaceStickyNote(QSize(100, 40), -1, -1, page, kScreen), QRect(250, 180, 100, 40));
    EXPECT_EQ(PlaceStickyNote(QSize(100, 40), 10, 20, page, kScreen).topLeft(), QPoint(110, 70));
    EXPECT_EQ(PlaceStickyNote(QSize(100, 40), 760, 590, page, kScreen).topLeft(), QPoint(700, 560));
    EXPECT_EQ(PlaceStickyNote(QSize(100, 40), -300, -100, page, kScreen).topLeft(), QPoint(0, 0));
}

TEST(PopUpLayout, MenuHeightCountsItemsAndHalfHeightSeparators)
{
    const auto items = ParseMenuItems(QStringLiteral("One|-|Three"));
    ASSERT_EQ(items.size(), 3u);
    EXPECT_TRUE(items[1].separator);
    const TMenuSize size = MenuSize(items, 50, 560, 17);
    EXPECT_EQ(size.size, QSize(50 + 20 + 4, 18 + 9 + 18 + 2));
    EXPECT_FALSE(size.scrollBar);

    // Taller than the work area: as tall as it, with a scroll bar.
    const auto many = ParseMenuItems(QStringLiteral("a|b|c|d|e|f|g|h|i|j|k|l|m|n|o|p|q|r|s|t"));
    const TMenuSize tall = MenuSize(many, 50, 300, 17);
    EXPECT_EQ(tall.size, QSize(74 + 17, 300));
    EXPECT_TRUE(tall.scrollBar);

    EXPECT_EQ(PlaceMenu(QSize(74, 47), -1, -1, QRect(100, 100, 400, 300)).topLeft(), QPoint(263, 227));
    EXPECT_EQ(PlaceMenu(QSize(74, 47), 10, 20, QRect(100, 100, 400, 300)).topLeft(), QPoint(110, 120));
}

TEST(PopUpLayout, MenuSelectionSkipsSeparatorsAndTurnsBackAtTheEnds)
{
    const auto items = ParseMenuItems(QStringLiteral("-|One|-|Three|-"));
    EXPECT_EQ(MenuStep(items, -1, +1), 1);
    EXPECT_EQ(MenuStep(items, 1, +1), 3);
    EXPECT_EQ(MenuStep(items, 3, +1), 1);  // past the end, back to the top
    EXPECT_EQ(MenuStep(items, 1, -1), 3);
    EXPECT_EQ(MenuFirst(items), 1);
    EXPECT_EQ(MenuLast(items), 3);
    EXPECT_EQ(MenuStep(ParseMenuItems(QStringLiteral("-|-")), -1, +1), -1);
}

TEST(PopUpLayout, AcceleratorIsTheLetterAfterTheAmpersand)
{
    EXPECT_EQ(MenuAccelerator(QStringLiteral("&Open")), QChar(u'O'));
    EXPECT_EQ(MenuAccelerator(QStringLiteral("Save && e&xit")), QChar(u'X'));
    EXPECT_TRUE(MenuAccelerator(QStringLiteral("Tom & Jerry")).isNull());
    const auto items = ParseMenuItems(QStringLiteral("&One|-|T&hree"));
    EXPECT_EQ(MenuItemForKey(items, u'h'), 2);
    EXPECT_EQ(MenuItemForKey(items, u'z'), -1);
}

} // namespace
} // namespace tomeric
