// Track bars: the value formulas of the thumb and of dragging, the range
// rules, drags past the end and clicks beside the thumb, the changing and
// changed actions, the variable, and the thumb and track images.

#include "actions/action_eval.h"
#include "objects/track_bar.h"

#include "inputs_test_support.h"

#include <QTemporaryDir>

namespace tomeric::testing {
namespace {

// ---- formulas ------------------------------------------------------------------------------------

struct TOffsetCase {
    int value, minimum, maximum, length, thumb, offset;
};

class ThumbOffset : public ::testing::TestWithParam<TOffsetCase> {};

TEST_P(ThumbOffset, IsTheValuesShareOfTheTravelRoundedHalfToEven)
{
    const TOffsetCase& c = GetParam();
    EXPECT_EQ(TrackThumbOffset(c.value, c.minimum, c.maximum, c.length, c.thumb), c.offset);
}

INSTANTIATE_TEST_SUITE_P(Formula, ThumbOffset, ::testing::Values(
    TOffsetCase{0, 0, 100, 110, 10, 0}, TOffsetCase{100, 0, 100, 110, 10, 100},
    TOffsetCase{50, 0, 100, 210, 10, 100}, TOffsetCase{-5, -10, 10, 50, 10, 10},
    TOffsetCase{1, 0, 4, 10, 0, 2},   // 2.5 rounds to 2
    TOffsetCase{3, 0, 4, 10, 0, 8},   // 7.5 rounds to 8
    TOffsetCase{7, 7, 7, 50, 10, 0})); // an empty range counts as 1

struct TDragCase {
    int edge, minimum, maximum, length, thumb;
    bool vertical;
    int value;
};

class DragValue : public ::testing::TestWithParam<TDragCase> {};

TEST_P(DragValue, FollowsTheThumbEdgeAndStaysInRange)
{
    const TDragCase& c = GetParam();
    EXPECT_EQ(TrackDragValue(c.edge, c.minimum, c.maximum, c.length, c.thumb, c.vertical), c.value);
}

INSTANTIATE_TEST_SUITE_P(Formula, DragValue, ::testing::Values(
    TDragCase{45, 0, 100, 110, 10, false, 45}, TDragCase{500, 0, 100, 110, 10, false, 100},
    TDragCase{-30, 0, 100, 110, 10, false, 0}, TDragCase{50, 0, 10, 210, 10, false, 2}, // 2.5 -> 2
    TDragCase{70, 0, 10, 210, 10, false, 4},   // 3.5 -> 4
    TDragCase{25, 10, 20, 60, 10, false, 15},
    TDragCase{0, 0, 100, 110, 10, true, 100},  // the top is the maximum
    TDragCase{100, 0, 100, 110, 10, true, 0}, TDragCase{30, 0, 100, 110, 10, true, 70},
    TDragCase{5, 0, 100, 10, 10, false, 100})); // no travel: divided by 1

// ---- the object ----------------------------------------------------------------------------------

class TrackBarTest : public InputsFixture {
protected:
    TTomericTrackBar* Make(const std::function<void(TTrackBarProps&)>& tweak = {}, QSize size = {110, 20})
    {
        TObjectRecord record = Record(otTrackBar, QStringLiteral("Volume"), 10, 10, size.width(), size.height());
        auto* props = record.As<TTrackBarProps>();
        props->varName = QStringLiteral("Vol");
        props->changeAction = QStringLiteral("Changed");
        props->changingAction = QStringLiteral("Moving");
        if (tweak)
            tweak(*props);
        auto* bar = new TTomericTrackBar(&page, record, host);
        bar->OnInit();
        return bar;
    }
    static QString Vol() { return GetVariable(QStringLiteral("[Vol]")); }
};

TEST_F(TrackBarTest, InitWritesTheInitialValueClampedWithoutActions)
{
    TTomericTrackBar* bar = Make([](TTrackBarProps& p) { p.initialValue = 140; });
    EXPECT_EQ(bar->Value(), 100);
    EXPECT_EQ(Vol(), QStringLiteral("100"));
    EXPECT_EQ(Runs(ekTrackBarChanged), 0);
}

TEST_F(TrackBarTest, RangeRulesPushAndPull)
{
    TTomericTrackBar* low = Make([](TTrackBarProps& p) { p.minimum = 200; p.maximum = 300; });
    EXPECT_EQ(low->Minimum(), 200);
    EXPECT_EQ(low->Value(), 200);
    TTomericTrackBar* bar = Make([](TTrackBarProps& p) { p.initialValue = 50; });
    bar->SetMin(150);
    EXPECT_EQ(bar->Maximum(), 151);
    EXPECT_EQ(bar->Value(), 150);
    EXPECT_EQ(Vol(), QStringLiteral("150")) << "a value clamped by a new range is a change";
    bar->SetMax(20);
    EXPECT_EQ(bar->Minimum(), 19);
    EXPECT_EQ(bar->Value(), 20);
}

TEST_F(TrackBarTest, DraggedPastItsEndStopsAtTheMaximumAndChangesOnceOnRelease)
{
    TTomericTrackBar* bar = Make();
    SendMouse(*bar, QEvent::MouseButtonPress, {5, 10});
    SendMouse(*bar, QEvent::MouseMove, {50, 10});
    EXPECT_TRUE(bar->Dragging());
    EXPECT_EQ(bar->Value(), 45);
    EXPECT_EQ(Vol(), QStringLiteral("45")) << "the variable follows the drag";
    ASSERT_FALSE(host.runs.empty());
    EXPECT_EQ(host.runs.back().kind, ekTrackBarMoving);
    EXPECT_EQ(host.runs.back().flags, afNoPageChange) << "the changing action runs at once";
    SendMouse(*bar, QEvent::MouseMove, {400, 10});
    SendMouse(*bar, QEvent::MouseMove, {600, 10});
    EXPECT_EQ(bar->Value(), 100);
    EXPECT_EQ(Runs(ekTrackBarMoving), 2) << "moves that keep the value run nothing";
    SendMouse(*bar, QEvent::MouseButtonRelease, {600, 10});
    EXPECT_FALSE(bar->Dragging());
    EXPECT_EQ(Vol(), QStringLiteral("100"));
    EXPECT_EQ(Runs(ekTrackBarChanged), 1);
}

TEST_F(TrackBarTest, DragBackToTheStartingValueIsNoChange)
{
    TTomericTrackBar* bar = Make([](TTrackBarProps& p) { p.initialValue = 10; });
    SendMouse(*bar, QEvent::MouseButtonPress, {12, 10});
    SendMouse(*bar, QEvent::MouseMove, {40, 10});
    SendMouse(*bar, QEvent::MouseMove, {12, 10});
    SendMouse(*bar, QEvent::MouseButtonRelease, {12, 10});
    EXPECT_EQ(bar->Value(), 10);
    EXPECT_EQ(Runs(ekTrackBarChanged), 0);
}

struct TClickCase {
    bool vertical;
    QPoint at;
    int value;
};

class TrackClick : public TrackBarTest, public ::testing::WithParamInterface<TClickCase> {};

TEST_P(TrackClick, BesideTheThumbMovesByOneTowardsThePress)
{
    const bool vertical = GetParam().vertical;
    TTomericTrackBar* bar = Make([&](TTrackBarProps& p) {
        p.initialValue = 50;
        p.orientation = vertical ? slVertical : slHoriz;
    }, vertical ? QSize(20, 110) : QSize(110, 20));
    SendMouse(*bar, QEvent::MouseButtonPress, GetParam().at);
    SendMouse(*bar, QEvent::MouseButtonRelease, GetParam().at);
    EXPECT_EQ(bar->Value(), GetParam().value);
    EXPECT_EQ(Vol(), QString::number(GetParam().value));
    EXPECT_EQ(Runs(ekTrackBarChanged), GetParam().value == 50 ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Clicks, TrackClick, ::testing::Values(
    // Horizontal: the thumb covers x 50..59.
    TClickCase{false, {10, 10}, 49}, TClickCase{false, {100, 10}, 51}, TClickCase{false, {55, 10}, 50},
    // Vertical: the thumb covers y 50..59; above is up.
    TClickCase{true, {10, 5}, 51}, TClickCase{true, {10, 100}, 49}));

TEST_F(TrackBarTest, VariableMovesTheThumbWithoutActionsAndNonNumbersAreIgnored)
{
    TTomericTrackBar* bar = Make();
    SetVariable(QStringLiteral("[Vol]"), QStringLiteral("30"));
    EXPECT_EQ(bar->Value(), 30);
    EXPECT_EQ(bar->ThumbRect(), QRect(30, 0, 10, 20));
    SetVariable(QStringLiteral("[Vol]"), QStringLiteral("loud"));
    EXPECT_EQ(bar->Value(), 30);
    SetVariable(QStringLiteral("[Vol]"), QStringLiteral("250"));
    EXPECT_EQ(bar->Value(), 100);
    EXPECT_EQ(Runs(ekTrackBarChanged) + Runs(ekTrackBarMoving), 0);
}

TEST_F(TrackBarTest, ChangingActionIsNeverReenteredAndNotRunAtStartUp)
{
    TTomericTrackBar* bar = Make();
    int nested = 0;
    host.onRun = [&](const TRecordedRun& run) {
        if (run.kind == ekTrackBarMoving && nested++ == 0)
            SendMouse(*bar, QEvent::MouseMove, {80, 10}); // the action pumps events
    };
    SendMouse(*bar, QEvent::MouseButtonPress, {5, 10});
    SendMouse(*bar, QEvent::MouseMove, {30, 10});
    EXPECT_EQ(bar->Value(), 75);
    EXPECT_EQ(Runs(ekTrackBarMoving), 1);
    host.onRun = {};
    host.suppressed = true;
    SendMouse(*bar, QEvent::MouseMove, {20, 10});
    EXPECT_EQ(Runs(ekTrackBarMoving), 1);
    EXPECT_EQ(Vol(), QStringLiteral("15"));
}

TEST_F(TrackBarTest, MediaPlayerHandlerReplacesVariableAndActions)
{
    TTomericTrackBar* bar = Make();
    int handled = -1;
    bar->SetChangeHandler([&](int value) { handled = value; });
    bar->SetValue(33);
    EXPECT_EQ(handled, 33);
    EXPECT_EQ(Vol(), QStringLiteral("0"));
    EXPECT_EQ(Runs(ekTrackBarChanged), 0);
}

TEST_F(TrackBarTest, ImagesSetSizesAndTheirTransparentColourShowsWhatIsBehind)
{
    QTemporaryDir dir;
    QImage thumb(8, 20, QImage::Format_RGB32);
    thumb.fill(QColor(255, 0, 0));
    thumb.setPixelColor(0, 0, QColor(0, 255, 0)); // the transparent colour
    const QString thumbFile = dir.filePath(QStringLiteral("thumb.png"));
    ASSERT_TRUE(thumb.save(thumbFile));
    TTomericTrackBar* bar = Make([&](TTrackBarProps& p) {
        p.thumbImage = thumbFile;
        p.thumbTransColor = 0x0000FF00;
        p.trackSize = 4;
    });
    EXPECT_EQ(bar->ThumbWidth(), 8);
    EXPECT_EQ(bar->ThumbHeight(), 20);
    EXPECT_EQ(bar->TrackRect(), QRect(0, 8, 110, 4));
    page.show();
    QImage shot(page.size(), QImage::Format_ARGB32);
    page.render(&shot);
    EXPECT_EQ(shot.pixelColor(10 + 4, 10 + 2), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(Qt::white)) << "the transparent pixel shows the page";
    EXPECT_EQ(shot.pixelColor(10 + 50, 10 + 2), QColor(Qt::white)) << "track bars are transparent";
}

} // namespace
} // namespace tomeric::testing
