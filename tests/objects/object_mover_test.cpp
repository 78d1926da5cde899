// Moving objects along a path: the step arithmetic, the parameters, and the
// mover threads driven through MoveObjectAlongPath and StopMovingObject.

#include "objects/object_commands.h"
#include "actions/action_eval.h"
#include "objects/object_factory.h"
#include "objects/object_mover.h"
#include "objects_test_support.h"
#include "test_object_host.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <cstdlib>

namespace tomeric {
namespace {

using testing::RunUntil;

using testing::ObjectsApplication;
using testing::Record;
using testing::TTestObjectHost;
using testing::TTestPage;

std::vector<QPoint> Walk(TMoverPath& path, int limit = 1000)
{
    std::vector<QPoint> steps;
    while (int(steps.size()) < limit)
        if (auto point = path.NextStep())
            steps.push_back(*point);
        else
            break;
    return steps;
}

// ---- step arithmetic ----------------------------------------------------------------

TEST(MoverPath, LongerAxisAdvancesTwoPixelsPerStepAndStopsOnTheTarget)
{
    TMoverPath path({0, 0}, {{10, 4}}, false);
    const auto steps = Walk(path);
    ASSERT_EQ(steps.size(), 5u);
    for (size_t i = 0; i < steps.size(); ++i)
        EXPECT_EQ(steps[i].x(), int(2 * (i + 1)));
    EXPECT_EQ(steps.back(), QPoint(10, 4));
}

TEST(MoverPath, NeverPassesTheTargetOnAnOddDistance)
{
    TMoverPath path({5, 5}, {{0, 12}}, false);
    const auto steps = Walk(path);
    ASSERT_FALSE(steps.empty());
    for (const QPoint& p : steps) {
        EXPECT_GE(p.x(), 0);
        EXPECT_LE(p.y(), 12);
    }
    EXPECT_EQ(steps.back(), QPoint(0, 12));
}

TEST(MoverPath, VisitsEveryPointInTurn)
{
    TMoverPath path({0, 0}, {{4, 0}, {4, 4}, {0, 4}}, false);
    const auto steps = Walk(path);
    const std::vector<QPoint> expected = {{2, 0}, {4, 0}, {4, 2}, {4, 4}, {2, 4}, {0, 4}};
    EXPECT_EQ(steps, expected);
}

TEST(MoverPath, SinglePointAtTheCurrentPlaceEndsAtOnce)
{
    TMoverPath path({7, 9}, {{7, 9}}, false);
    EXPECT_FALSE(path.NextStep().has_value());
}

TEST(MoverPath, LoopWalksBackFromTheLastPointToTheFirst)
{
    TMoverPath path({0, 0}, {{0, 0}, {4, 0}}, true);
    const auto steps = Walk(path, 8);
    const std::vector<QPoint> expected = {{2, 0}, {4, 0}, {2, 0}, {0, 0}, {2, 0}, {4, 0}, {2, 0}, {0, 0}};
    EXPECT_EQ(steps, expected);
}

TEST(MoverPath, LoopWithNowhereToGoReportsAnIdleLapInsteadOfSpinning)
{
    TMoverPath path({3, 3}, {{3, 3}}, true);
    auto step = path.NextStep();
    ASSERT_TRUE(step.has_value());
    EXPECT_TRUE(path.IdleLap());
    EXPECT_EQ(*step, QPoint(3, 3));
}

// ---- parameters -------------------------------------------------------------------

struct PointsCase {
    const char* text;
    std::vector<QPoint> points;
};

TEST(MoverParameters, PointsAreTakenInPairs)
{
    const PointsCase cases[] = {
        {"10,20,30,40", {{10, 20}, {30, 40}}},
        {"10,20,30", {{10, 20}}},             // a trailing odd value is ignored
        {"a,5", {{0, 5}}},                    // a non-number counts as 0
        {" 7 , 8 ", {{7, 8}}},
        {"1.6,2", {{1, 2}}},                  // whole numbers
        {"", {}},
    };
    for (const PointsCase& c : cases)
        EXPECT_EQ(ParseMoverPoints(QString::fromLatin1(c.text)), c.points) << c.text;
}

TEST(MoverParameters, DelayDefaultsToFifteen)
{
    EXPECT_EQ(ParseMoverDelay(""), 15);
    EXPECT_EQ(ParseMoverDelay("x"), 15);
    EXPECT_EQ(ParseMoverDelay("40"), 40);
    EXPECT_EQ(ParseMoverDelay("0"), 0);
    EXPECT_EQ(ParseMoverDelay("-5"), 0);
}

TEST(MoverParameters, OptionsAreWordsAnywhereInAnyCase)
{
    struct Case {
        const char* options;
        TMoverMode mode;
        bool restore, leftTop;
    };
    const Case cases[] = {
        {"", TMoverMode::mmBackground, false, false},
        {"loop", TMoverMode::mmLoop, false, false},
        {"Wait,Restore", TMoverMode::mmWait, true, false},
        {"LOOP WAIT", TMoverMode::mmLoop, false, false}, // Loop wins over Wait
        {"lefttop", TMoverMode::mmBackground, false, true},
    };
    for (const Case& c : cases) {
        TMoverRequest request;
        ParseMoverOptions(QString::fromLatin1(c.options), request);
        EXPECT_EQ(request.mode, c.mode) << c.options;
        EXPECT_EQ(request.restore, c.restore) << c.options;
        EXPECT_EQ(request.leftTop, c.leftTop) << c.options;
    }
}

// ---- movers on objects --------------------------------------------------------------

class ObjectMover : public ::testing::Test {
protected:
    void SetUp() override
    {
        ObjectsApplication();
        pagePtr = std::make_unique<TTestPage>(QSize(400, 300));
        box = CreateObject(&page(), Record(otRect, QStringLiteral("Box"), 10, 20, 20, 10), host);
        TObjectWorld world;
        world.shownRoots = [this] { return std::vector<TObjectRoot>{{&page(), 1, true, false}}; };
        commands = std::make_unique<TObjectCommands>(world);
    }

    ServiceReply Run(const QString& command, const QStringList& params)
    {
        ServiceCall call;
        call.Command = command;
        call.Params = params;
        return commands->Perform(call);
    }

    // Runs the event loop until every mover has ended (or 5 s).
    bool WaitForMovers()
    {
        QElapsedTimer clock;
        clock.start();
        while (commands->Movers().Count() > 0 && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        return commands->Movers().Count() == 0;
    }


    int DoneRuns() const
    {
        int count = 0;
        for (const auto& run : host.runs)
            if (run.kind == skGoSub)
                ++count;
        return count;
    }

    TTestPage& page() { return *pagePtr; }

    // Made in SetUp, once the application exists.
    std::unique_ptr<TTestPage> pagePtr;
    TTestObjectHost host;
    TTomericObj* box = nullptr;
    std::unique_ptr<TObjectCommands> commands;
};

TEST_F(ObjectMover, SinglePointAtTheCurrentPlaceStillRunsTheDoneAction)
{
    // The centre of a 20x10 box at (10, 20) is (20, 25).
    Run("MoveObjectAlongPath", {"Box", "20,25", "0", "", "SetVar \"[Moved]\", \"yes\""});
    ASSERT_TRUE(WaitForMovers());
    EXPECT_EQ(box->pos(), QPoint(10, 20));
    ASSERT_EQ(DoneRuns(), 1);
    EXPECT_EQ(host.runs.back().text, QStringLiteral("SetVar \"[Moved]\", \"yes\""));
    EXPECT_EQ(host.runs.back().name, QStringLiteral("Box"));
}

TEST_F(ObjectMover, PathPointsGiveTheCentreUnlessLeftTop)
{
    Run("MoveObjectAlongPath", {"Box", "60,45", "0", "", ""});
    ASSERT_TRUE(WaitForMovers());
    EXPECT_EQ(box->pos(), QPoint(50, 40));

    Run("MoveObjectAlongPath", {"Box", "5,6", "0", "LeftTop", ""});
    ASSERT_TRUE(WaitForMovers());
    EXPECT_EQ(box->pos(), QPoint(5, 6));
}

TEST_F(ObjectMover, WaitReturnsOnlyWhenTheMovementHasEnded)
{
    Run("MoveObjectAlongPath", {"Box", "0,0,30,30", "1", "Wait,LeftTop", "Done"});
    EXPECT_EQ(box->pos(), QPoint(30, 30));
    EXPECT_EQ(commands->Movers().Count(), 0);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(DoneRuns(), 1);
}

TEST_F(ObjectMover, LoopGoesBackAndForthUntilStopped)
{
    Run("MoveObjectAlongPath", {"Box", "10,20,40,20", "1", "Loop,LeftTop", "Done"});
    // It reaches the far end and comes back to the first point at least once.
    ASSERT_TRUE(RunUntil([&] { return box->pos() == QPoint(40, 20); }));
    ASSERT_TRUE(RunUntil([&] { return box->pos() == QPoint(10, 20); }));
    ASSERT_TRUE(RunUntil([&] { return box->pos().x() > 10; }));
    EXPECT_EQ(commands->Movers().Count(), 1);
    Run("StopMovingObject", {"box"});
    ASSERT_TRUE(WaitForMovers());
    EXPECT_EQ(DoneRuns(), 1);
    const QPoint stoppedAt = box->pos();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(box->pos(), stoppedAt);
}

TEST_F(ObjectMover, RestorePutsAStoppedObjectBackWhereItStarted)
{
    Run("MoveObjectAlongPath", {"Box", "300,200", "5", "Restore,LeftTop", ""});
    ASSERT_TRUE(RunUntil([&] { return box->pos().x() > 30; }));
    Run("StopMovingObject", {""});
    ASSERT_TRUE(RunUntil([&] { return box->pos() == QPoint(10, 20); }));
    EXPECT_TRUE(WaitForMovers());
}

TEST_F(ObjectMover, ASecondMoverOnAMovingObjectIsIgnored)
{
    Run("MoveObjectAlongPath", {"Box", "10,20,200,20", "2", "Loop,LeftTop", "First"});
    Run("MoveObjectAlongPath", {"Box", "0,0", "0", "LeftTop", "Second"});
    EXPECT_EQ(commands->Movers().Count(), 1);
    ASSERT_TRUE(RunUntil([&] { return box->pos().x() > 12; }));
    EXPECT_GT(box->pos().x(), 0); // the second path never ran
    Run("StopMovingObject", {"Box"});
    ASSERT_TRUE(WaitForMovers());
    ASSERT_EQ(DoneRuns(), 1);
    EXPECT_EQ(host.runs.back().text, QStringLiteral("First"));
}

TEST_F(ObjectMover, StopWithoutANameStopsEveryMover)
{
    TTomericObj* other = CreateObject(&page(), Record(otRect, QStringLiteral("Other"), 0, 100, 10, 10), host);
    Run("MoveObjectAlongPath", {"Box", "10,20,200,20", "2", "Loop,LeftTop", ""});
    Run("MoveObjectAlongPath", {"Other", "0,100,0,250", "2", "Loop,LeftTop", ""});
    EXPECT_EQ(commands->Movers().Count(), 2);
    Run("StopMovingObject", {""});
    EXPECT_EQ(commands->Movers().Count(), 0);
    EXPECT_TRUE(WaitForMovers());
    (void)other;
}

TEST_F(ObjectMover, AnObjectThatGoesAwayWhileMovingEndsItsMover)
{
    Run("MoveObjectAlongPath", {"Box", "10,20,200,20", "1", "Loop,LeftTop", "Done"});
    ASSERT_TRUE(RunUntil([&] { return box->pos().x() > 12; }));
    delete box;
    box = nullptr;
    Run("StopMovingObject", {"Box"});
    EXPECT_TRUE(WaitForMovers());
    EXPECT_EQ(DoneRuns(), 0); // no object left to run it
}

TEST_F(ObjectMover, ClosingThePlayerWithMoversRunningJoinsThem)
{
    Run("MoveObjectAlongPath", {"Box", "10,20,200,20", "1", "Loop,LeftTop", ""});
    ASSERT_TRUE(RunUntil([&] { return box->pos().x() > 12; }));
    commands.reset(); // stops and joins; no step arrives afterwards
    const QPoint at = box->pos();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 30);
    EXPECT_EQ(box->pos(), at);
}

} // namespace
} // namespace tomeric
