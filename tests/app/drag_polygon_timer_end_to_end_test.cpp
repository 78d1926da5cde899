// Dragging, polygons and timers in the running player, driven with real
// mouse events: a dragged square lands on the target it overlaps most, goes
// back when the drop action refuses it, and a triangle dropped anywhere
// stays where it was let go; a click beside a polygon's shape reaches the
// object beneath; timers run once, outlive their page or stop with it, and
// a slow action never overlaps itself.

#include "player_test_support.h"


namespace tomeric::testing {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kGrey(128, 128, 128);

// ---- drag and drop ----------------------------------------------------------------

// Chip (40 x 40 at 10,20) may land on TargetA (100,20), TargetB (180,20)
// or Refuser (100,120); Free (a triangle at 10,120) lands anywhere. Corner,
// a triangle filling the upper-left half of its rectangle, covers Backdrop
// (both at 200,120, 80 x 70). Label, a text at 10,70, lands anywhere.
constexpr const char* kDragTour =
    "wait 200\n"
    // Dropped at 170,30: 10 pixels over TargetA, 30 over TargetB.
    "drag Chip 160 10\n"
    "run GetObjectInfo \"Chip\", \"Left\", \"[ChipLeftOnB]\"\n"
    "run GetObjectInfo \"Chip\", \"Top\", \"[ChipTopOnB]\"\n"
    "drag Chip Refuser\n"
    "run GetObjectInfo \"Chip\", \"Left\", \"[ChipLeftRefused]\"\n"
    "run GetObjectInfo \"Chip\", \"Top\", \"[ChipTopRefused]\"\n"
    // Dropped beside every target.
    "drag Chip -170 120\n"
    "run GetObjectInfo \"Chip\", \"Left\", \"[ChipLeftBeside]\"\n"
    "screenshot chip.png\n"
    // Pressed on its text; the drop action moves the drop to x 120.
    "drag Label@10,5 190 30\n"
    "run GetObjectInfo \"Label\", \"Left\", \"[LabelLeft]\"\n"
    "run GetObjectInfo \"Label\", \"Top\", \"[LabelTop]\"\n"
    // Pointer over TargetB, beside Corner's shape, then over the bare page.
    "drag Free 200 -100\n"
    "drag Free Corner@70,60\n"
    "drag Free -200 -100\n"
    "run GetObjectInfo \"Free\", \"Left\", \"[FreeLeft]\"\n"
    "run GetObjectInfo \"Free\", \"Top\", \"[FreeTop]\"\n"
    "screenshot free.png\n"
    "vars vars.txt\n"
    "quit\n";

struct DragTour {
    static constexpr const char* kPublication = "drag_drop";
    static constexpr const char* kScript = kDragTour;
};
using DragDropEndToEnd = DrivenTourTest<DragTour>;

TEST_F(DragDropEndToEnd, ThePlayerRunsTheTourCleanly)
{
    tour->ExpectCleanRun();
}

TEST_F(DragDropEndToEnd, TheDropActionSeesEachDropInTurn)
{
    // Larger overlap wins and the square is clamped inside it; the refuser
    // is offered the drop; beside every target the drop comes refused.
    EXPECT_EQ(Var("CHIPDROPS"), "TargetB@180,30=True;Refuser@120,130=True;@10,150=False;");
}

TEST_F(DragDropEndToEnd, AnAcceptedDropLeavesTheObjectAtTheDropPoint)
{
    EXPECT_EQ(Var("CHIPLEFTONB"), "180");
    EXPECT_EQ(Var("CHIPTOPONB"), "30");
}

TEST_F(DragDropEndToEnd, ARefusedDropSendsTheObjectBack)
{
    EXPECT_EQ(Var("CHIPLEFTREFUSED"), "180");
    EXPECT_EQ(Var("CHIPTOPREFUSED"), "30");
    EXPECT_EQ(Var("CHIPLEFTBESIDE"), "180");
}

TEST_F(DragDropEndToEnd, TheDroppedSquareIsDrawnInFrontOfItsTarget)
{
    const QImage page = tour->session.Picture(QStringLiteral("chip.png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_TRUE(Near(page.pixelColor(200, 50), kRed));   // over TargetB, brought to the front
    EXPECT_TRUE(Near(page.pixelColor(30, 40), kWhite));  // its starting place is empty
    EXPECT_TRUE(Near(page.pixelColor(140, 150), kGrey)); // the refuser kept nothing
}

TEST_F(DragDropEndToEnd, ADropAnywhereNamesTheObjectUnderThePointer)
{
    // Beside a polygon's shape the pointer is over what lies beneath it.
    EXPECT_EQ(Var("FREEDROPS"), "TargetB@210,20=True;Backdrop@250,160=True;@50,60=True;");
    EXPECT_EQ(Var("FREELEFT"), "50");
    EXPECT_EQ(Var("FREETOP"), "60");
    const QImage page = tour->session.Picture(QStringLiteral("free.png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_TRUE(Near(page.pixelColor(70, 90), kYellow));
    EXPECT_TRUE(Near(page.pixelColor(30, 150), kWhite));
}

TEST_F(DragDropEndToEnd, ATextIsDraggedByItsTextAndItsDropActionCanMoveTheDrop)
{
    EXPECT_EQ(Var("LABELDROP"), "@200,100");
    EXPECT_EQ(Var("LABELLEFT"), "120");
    EXPECT_EQ(Var("LABELTOP"), "100");
}

TEST_F(DragDropEndToEnd, TheDropVariablesAreClearedAfterwards)
{
    for (const char* name : {"DROPACCEPT", "DROPX", "DROPY", "DROPTARGET"})
        EXPECT_TRUE(Var(name).empty()) << name;
}

// ---- polygons -----------------------------------------------------------------------

// Tri: the upper-left half of a 100 x 100 rectangle over the push button
// Under; Lone: the same shape, 50 x 50, over the bare page.
constexpr const char* kPolygonTour =
    "wait 200\n"
    "click Tri@20,20\n"
    "click Tri@80,80\n"
    "rclick Tri@15,30\n"
    "click Lone@40,40\n"
    "click Lone@5,5\n"
    "hover Tri@20,20\n"
    "hover Tri@80,80\n"
    "hover Tri@85,85\n"
    "hover Tri@10,10\n"
    "screenshot page.png\n"
    "vars vars.txt\n"
    "quit\n";

TEST(PolygonEndToEnd, ClicksAndThePointerCountOnlyInsideTheShape)
{
    const DrivenTour tour(QStringLiteral("polygon_clicks"), kPolygonTour);
    tour.ExpectCleanRun();

    EXPECT_EQ(tour.Var("TRICLICKS"), "t");
    EXPECT_EQ(tour.Var("TRIRCLICKS"), "r");
    // Beside the triangle, inside its rectangle: the button beneath.
    EXPECT_EQ(tour.Var("UNDERCLICKS"), "u");
    // Beside the lone triangle there is only the page.
    EXPECT_EQ(tour.Var("LONECLICKS"), "l");
    // The pointer enters the triangle, leaves it for the button beside the
    // shape, moves over the button and comes back.
    EXPECT_EQ(tour.Var("TRIMOVES"), "+-+");

    const QImage page = tour.session.Picture(QStringLiteral("page.png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_TRUE(Near(page.pixelColor(40, 40), kRed));
    EXPECT_FALSE(Near(page.pixelColor(100, 100), kRed, 60)); // the button shows there
}

// ---- timers ---------------------------------------------------------------------------

constexpr const char* kTimerTour =
    "wait 300\n"
    "run GotoPage \"Second\"\n"
    "wait 300\n"
    "run TimerStop \"Keeper\"\n"
    "run TimerStop \"Slow\"\n"
    "wait 150\n"
    "vars vars.txt\n"
    "quit\n";

struct TimerTour {
    static constexpr const char* kPublication = "timers_live";
    static constexpr const char* kScript = kTimerTour;
};
using TimersEndToEnd = DrivenTourTest<TimerTour>;

TEST_F(TimersEndToEnd, ThePlayerRunsTheTourCleanly)
{
    tour->ExpectCleanRun();
}

TEST_F(TimersEndToEnd, ARunOnceTimerTicksExactlyOnce)
{
    EXPECT_EQ(Var("ONCEATENTER"), "x");
    EXPECT_EQ(Var("ONCETICKS"), "x");
}

TEST_F(TimersEndToEnd, ATimerWithoutAutoStopKeepsTickingAfterItsPageIsLeft)
{
    EXPECT_GE(Number("KEEPATENTER"), 1);
    EXPECT_GT(Number("KEEPTICKS"), Number("KEEPATENTER"));
    // TimerStop wrote the time since the page first showed.
    EXPECT_GE(Number("KEEPELAPSED"), 300);
}

TEST_F(TimersEndToEnd, ATimerWithAutoStopStopsWithItsPage)
{
    EXPECT_GE(Number("STOPATENTER"), 1);
    EXPECT_EQ(Var("STOPTICKS"), Var("STOPATENTER"));
    // Leaving the page does not write the elapsed time: the last tick's stays.
    EXPECT_FALSE(Var("STOPELAPSED").empty());
    EXPECT_EQ(Var("STOPELAPSED"), Var("STOPLASTTICK"));
}

TEST_F(TimersEndToEnd, AnActionSlowerThanItsIntervalNeverOverlapsItself)
{
    const std::string trail = Var("DEPTHTRAIL");
    EXPECT_GE(trail.size(), 2u) << trail;
    EXPECT_EQ(trail, std::string(trail.size(), '1'));
    EXPECT_EQ(Var("DEPTH"), "0");
}

} // namespace
} // namespace tomeric::testing
