// SetMousePos glides: straight steps of at most 8 pixels, never past the
// target, always ending on it, whatever the rounding of the short axis.

#include "app/player_system.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

void ExpectGlide(QPoint from, QPoint to)
{
    const QList<QPoint> path = TPlayerSystem::GlidePath(from, to);
    ASSERT_FALSE(path.isEmpty());
    EXPECT_EQ(path.last(), to);
    QPoint at = from;
    for (const QPoint& next : path) {
        EXPECT_LE(std::max(std::abs(next.x() - at.x()), std::abs(next.y() - at.y())), 8);
        // Never past the target on either axis.
        EXPECT_LE(std::abs(to.x() - next.x()), std::abs(to.x() - from.x()));
        EXPECT_LE(std::abs(to.y() - next.y()), std::abs(to.y() - from.y()));
        at = next;
    }
}

TEST(MouseGlide, StepsAreShortStraightAndEndOnTheTarget)
{
    ExpectGlide({0, 0}, {100, 3});     // the short axis rounds to no step at all
    ExpectGlide({500, 400}, {13, 7});  // up and left
    ExpectGlide({10, 10}, {10, 200});  // straight down
    ExpectGlide({0, 0}, {5, 2});       // less than one step
    EXPECT_EQ(TPlayerSystem::GlidePath({0, 0}, {100, 0}).size(), 13); // 100 / 8 steps, rounded up
}

TEST(MouseGlide, APointerOnItsTargetDoesNotMove)
{
    EXPECT_TRUE(TPlayerSystem::GlidePath({42, 17}, {42, 17}).isEmpty());
}

} // namespace
} // namespace tomeric
