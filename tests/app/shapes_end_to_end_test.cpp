// Shapes, pictures and timers in the running player: timers tick into
// variables while their page is shown (once with RunOnce, only after
// TimerStart without AutoStart), a picture's click and right click run
// their actions, and the page picture shows the shapes where the author put
// them.

#include "player_test_support.h"

namespace tomeric::testing {
namespace {

const char* const kShapesTour =
    "wait 400\n"
    "click Pic\n"
    "rclick Pic\n"
    "run TimerStart \"Later\", \"-10\"\n"
    "wait 300\n"
    "run TimerStop \"Clock\"\n"
    "run GetObjectInfo \"Pic\", \"ImageWidth\", \"[PicWidth]\"\n"
    "run GetObjectInfo \"Pic\", \"FileName\", \"[PicFile]\"\n"
    "run GetObjectInfo \"Arrow\", \"Width\", \"[ArrowWidth]\"\n"
    "screenshot page.png\n"
    "vars vars.txt\n"
    "quit\n";

TEST(ShapesEndToEnd, TimersTickAndAPictureClickRunsItsAction)
{
    PlayerSession session(QStringLiteral("shapes_live"));
    const TPlayerRun run = session.Drive(QString::fromUtf8(kShapesTour));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    auto vars = session.Variables(QStringLiteral("vars.txt"));

    // The clock ticked several times and wrote its elapsed time.
    EXPECT_GE(vars[QStringLiteral("TICKS")].size(), 2);
    EXPECT_GT(vars[QStringLiteral("ELAPSED")].toInt(), 0);
    EXPECT_EQ(vars[QStringLiteral("ONCETICKS")], QStringLiteral("x"));
    // Started by TimerStart, stopped by its own script: one tick.
    EXPECT_EQ(vars[QStringLiteral("LATERTICKS")], QStringLiteral("x"));

    EXPECT_EQ(vars[QStringLiteral("PICCLICKED")], QStringLiteral("Yes"));
    EXPECT_EQ(vars[QStringLiteral("PICRIGHTCLICKED")], QStringLiteral("Yes"));
    EXPECT_EQ(vars[QStringLiteral("PICWIDTH")], QStringLiteral("20"));
    EXPECT_EQ(vars[QStringLiteral("PICFILE")], QStringLiteral("halves.png"));
    EXPECT_EQ(vars[QStringLiteral("ARROWWIDTH")], QStringLiteral("160"));

    const QImage page = session.Picture(QStringLiteral("page.png"));
    ASSERT_FALSE(page.isNull());
    // The picture stretched over 80 x 40: red on the left, blue on the right.
    EXPECT_TRUE(Near(page.pixelColor(30, 30), QColor(255, 0, 0)));
    EXPECT_TRUE(Near(page.pixelColor(70, 30), QColor(0, 0, 255)));
    // The green ellipse, and the page in the corner of its rectangle.
    EXPECT_TRUE(Near(page.pixelColor(150, 35), QColor(0, 255, 0)));
    EXPECT_TRUE(Near(page.pixelColor(111, 11), QColor(255, 255, 255)));
    // The blue arrow: its stroke and a head at each end.
    EXPECT_TRUE(Near(page.pixelColor(100, 100), QColor(0, 0, 255), 40));
    EXPECT_TRUE(Near(page.pixelColor(175, 99), QColor(0, 0, 255), 60));
    EXPECT_TRUE(Near(page.pixelColor(25, 99), QColor(0, 0, 255), 60));
    EXPECT_TRUE(Near(page.pixelColor(100, 97), QColor(255, 255, 255), 40));
}

} // namespace
} // namespace tomeric::testing
