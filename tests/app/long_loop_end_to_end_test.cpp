// A button starts a script that counts to 200 000 in a While loop: while it
// runs, the page's timer keeps ticking, the text showing its ticks follows
// it, and Esc closes the publication in the middle of the loop. Each pass
// computes a few values besides its count, so that the loop outlasts the
// driver's 400 ms now that a bare count finishes sooner.
//
// The button starts the loop through a one-shot timer object so that the
// driver's next step is under way before the loop begins: a step that
// follows a click at once waits for the click's script to end.

#include "player_test_support.h"

namespace tomeric::testing {
namespace {

int NumberIn(const std::map<QString, QString>& vars, const char* name)
{
    const auto found = vars.find(QString::fromLatin1(name));
    return found == vars.end() ? 0 : found->second.toInt();
}

TEST(LongLoopEndToEnd, EscClosesThePublicationWhileTheLoopRunsAndTheTimerKeepsTicking)
{
    PlayerSession session(QStringLiteral("long_loop"));
    const TPlayerRun run = session.Drive(QStringLiteral("wait 100\n"
                                                        "click Go\n"
                                                        "wait 400\n"
                                                        "key Esc\n"
                                                        "wait 100\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // The shutdown action saved the variables in the middle of the loop,
    // and the loop stopped there: it never reached its last line.
    const auto closing = session.Variables(QStringLiteral("closing.txt"));
    EXPECT_GT(NumberIn(closing, "I"), 0);
    EXPECT_LT(NumberIn(closing, "I"), 200000);
    EXPECT_EQ(closing.count(QStringLiteral("LOOPDONE")), 0u);
    // About 400 ms of loop at a 20 ms interval.
    EXPECT_GE(NumberIn(closing, "TICKSINLOOP"), 5);
}

TEST(LongLoopEndToEnd, TheClockTextFollowsTheTimerWhileTheLoopRuns)
{
    PlayerSession session(QStringLiteral("long_loop"));
    const TPlayerRun run = session.Drive(QStringLiteral("wait 100\n"
                                                        "screenshot before.png\n"
                                                        "wait 1\n"
                                                        "vars before.txt\n"
                                                        "click Go\n"
                                                        "wait 400\n"
                                                        "screenshot during.png\n"
                                                        "vars during.txt\n"));
    ASSERT_TRUE(run.finished);
    const auto during = session.Variables(QStringLiteral("during.txt"));
    EXPECT_GT(NumberIn(during, "TICKSINLOOP"), 0);
    const QImage before = session.Picture(QStringLiteral("before.png"));
    const QImage inLoop = session.Picture(QStringLiteral("during.png"));
    ASSERT_FALSE(before.isNull());
    ASSERT_FALSE(inLoop.isNull());
    const QRect clock(10, 50, 220, 30);
    EXPECT_NE(before.copy(clock), inLoop.copy(clock));
}

} // namespace
} // namespace tomeric::testing
