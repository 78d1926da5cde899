// Timers: ticks run the script directly, RunOnce ticks once, the variable
// of elapsed milliseconds, AutoStart and AutoStop with the page, pause and
// resume by dialogs, and ticks that never overlap a running script.
// Intervals are short and counts are asserted with generous bounds, so a
// busy machine slows the tests down without failing them.

#include "objects/object_factory.h"
#include "objects/timer_object.h"
#include "vars/variables.h"

#include "shapes_test_support.h"
#include "test_object_host.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

namespace tomeric {
namespace {

using testing::Record;
using testing::RunEventLoop;
using testing::RunUntil;
using testing::TTestObjectHost;
using testing::TTestPage;

const QString kVar = QStringLiteral("[ShapesTimerElapsed]");

class Timers : public ::testing::Test {
protected:
    TTomericTimer* Make(int interval = 10, bool autoStart = true, bool autoStop = true,
                        bool runOnce = false)
    {
        TObjectRecord r = Record(otTimer, QStringLiteral("Clock"), 0, 0, 50, 50);
        auto& props = *r.As<TTimerProps>();
        props.interval = interval;
        props.autoStart = autoStart;
        props.autoStop = autoStop;
        props.runOnce = runOnce;
        props.varName = kVar;
        props.timerAction = QStringLiteral("SetVar \"[T]\" \"tick\"");
        return dynamic_cast<TTomericTimer*>(CreateObject(&page, r, host));
    }
    void TearDown() override { SetVariable(kVar, QString()); }
    int Runs() const { return int(host.runs.size()); }
    qint64 Elapsed() const { return GetVariable(kVar).toLongLong(); }

    QApplication& app = testing::ObjectsApplication();
    TTestPage page;
    TTestObjectHost host;
};

TEST_F(Timers, AreInvisibleFixedSizeObjectsThatDoNotRunAtCreation)
{
    TTomericTimer* timer = Make();
    page.show();
    EXPECT_FALSE(timer->isVisible());
    EXPECT_EQ(timer->size(), QSize(32, 32));
    EXPECT_FALSE(timer->Running());
    RunEventLoop(50);
    EXPECT_EQ(Runs(), 0);
}

TEST_F(Timers, TicksRunTheScriptDirectlyAsKind13)
{
    TTomericTimer* timer = Make();
    timer->Start(10);
    ASSERT_TRUE(RunUntil([&] { return Runs() >= 3; }));
    for (const auto& run : host.runs) {
        EXPECT_EQ(run.kind, ekTimerTick);
        EXPECT_EQ(run.flags, 0);
        EXPECT_EQ(run.objType, otTimer);
        EXPECT_EQ(run.name, "Clock");
        EXPECT_EQ(run.text, "SetVar \"[T]\" \"tick\"");
    }
    EXPECT_GE(timer->TickCount(), 3);
}

TEST_F(Timers, RunOnceTicksExactlyOnce)
{
    TTomericTimer* timer = Make(10, true, true, true);
    timer->Start(10);
    ASSERT_TRUE(RunUntil([&] { return Runs() >= 1; }));
    RunEventLoop(100);
    EXPECT_EQ(Runs(), 1);
    EXPECT_FALSE(timer->Running());
}

TEST_F(Timers, StartTakesTheAbsoluteInterval)
{
    TTomericTimer* timer = Make();
    timer->Start(-250);
    EXPECT_EQ(timer->Interval(), 250);
    EXPECT_TRUE(timer->Running());
}

TEST_F(Timers, NegativeIntervalOfTheRecordIsTakenPositive)
{
    TObjectRecord r = Record(otTimer, QStringLiteral("T"), 0, 0, 1, 1);
    r.As<TTimerProps>()->interval = -40;
    auto* timer = dynamic_cast<TTomericTimer*>(CreateObject(&page, r, host));
    EXPECT_EQ(timer->Interval(), 40);
}

TEST_F(Timers, StartWritesZeroAndTicksWriteTheElapsedTime)
{
    TTomericTimer* timer = Make();
    QElapsedTimer outside;
    outside.start();
    timer->Start(20);
    EXPECT_EQ(GetVariable(kVar), "0");
    ASSERT_TRUE(RunUntil([&] { return Runs() >= 2; }));
    const qint64 written = Elapsed();
    EXPECT_GE(written, 15);
    EXPECT_LE(written, outside.elapsed());
}

TEST_F(Timers, StopWritesTheTimeUpToTheStop)
{
    TTomericTimer* timer = Make(10000);
    QElapsedTimer outside;
    outside.start();
    timer->Start(10000);
    RunEventLoop(30);
    timer->Stop();
    const qint64 bound = outside.elapsed();
    EXPECT_FALSE(timer->Running());
    EXPECT_GE(Elapsed(), 25);
    EXPECT_LE(Elapsed(), bound);
}

TEST_F(Timers, AutoStartStartsAStoppedTimerWhenThePageIsShown)
{
    TTomericTimer* timer = Make(10, true);
    timer->OnPagePaint(false, QRect(0, 0, 10, 10)); // a repaint only
    EXPECT_FALSE(timer->Running());
    timer->OnPagePaint(true, QRect());
    EXPECT_TRUE(timer->Running());
    ASSERT_TRUE(RunUntil([&] { return Runs() >= 1; }));
}

TEST_F(Timers, WithoutAutoStartThePageLeavesItStopped)
{
    TTomericTimer* timer = Make(10, false);
    timer->OnPagePaint(true, QRect());
    EXPECT_FALSE(timer->Running());
}

TEST_F(Timers, AutoStopStopsWithThePageWithoutWritingTheVariable)
{
    TTomericTimer* timer = Make(10);
    timer->Start(10);
    ASSERT_TRUE(RunUntil([&] { return Runs() >= 1; }));
    const QString lastTick = GetVariable(kVar);
    timer->OnPageHide();
    EXPECT_FALSE(timer->Running());
    EXPECT_EQ(GetVariable(kVar), lastTick);
    const int runs = Runs();
    RunEventLoop(80);
    EXPECT_EQ(Runs(), runs);
}

TEST_F(Timers, WithoutAutoStopItKeepsRunningAfterThePageIsLeft)
{
    TTomericTimer* timer = Make(10, true, false);
    timer->Start(10);
    timer->OnPageHide();
    EXPECT_TRUE(timer->Running());
    ASSERT_TRUE(RunUntil([&] { return Runs() >= 2; }));
}

TEST_F(Timers, PageShownAgainResumesARunningTimer)
{
    TTomericTimer* timer = Make(10, true, false);
    timer->Start(10);
    timer->OnTimers(false);
    timer->OnTimers(true);
    timer->OnPagePaint(true, QRect());
    ASSERT_TRUE(RunUntil([&] { return Runs() >= 2; }));
}

TEST_F(Timers, DialogsPauseAndResumeRunningTimers)
{
    TTomericTimer* timer = Make(10);
    timer->Start(10);
    ASSERT_TRUE(RunUntil([&] { return Runs() >= 1; }));
    timer->OnTimers(false);
    EXPECT_TRUE(timer->Paused());
    EXPECT_TRUE(timer->Running());
    const int runs = Runs();
    RunEventLoop(80);
    EXPECT_EQ(Runs(), runs);
    timer->OnTimers(true);
    ASSERT_TRUE(RunUntil([&] { return Runs() >= runs + 2; }));
}

TEST_F(Timers, ResumingDoesNotStartAStoppedTimer)
{
    TTomericTimer* timer = Make(10);
    timer->OnTimers(false);
    timer->OnTimers(true);
    RunEventLoop(60);
    EXPECT_EQ(Runs(), 0);
    EXPECT_FALSE(timer->Running());
}

// A tick's script that waits in a message loop longer than the interval
// (as Delay or a dialog does).
class SlowTimers : public Timers {
protected:
    void RunSlowly(TTomericTimer* timer, int scriptMs, const std::function<void()>& inside = {})
    {
        host.onRun = [this, timer, scriptMs, inside](const testing::TRecordedRun&) {
            ++depth;
            maxDepth = std::max(maxDepth, depth);
            starts.push_back(clock.elapsed());
            if (inside) inside();
            RunEventLoop(scriptMs);
            (void)timer;
            --depth;
        };
        clock.start();
    }
    int depth = 0, maxDepth = 0;
    std::vector<qint64> starts;
    QElapsedTimer clock;
};

TEST_F(SlowTimers, ScriptSlowerThanTheIntervalNeverOverlapsItself)
{
    TTomericTimer* timer = Make(10);
    RunSlowly(timer, 60);
    timer->Start(10);
    ASSERT_TRUE(RunUntil([&] { return Runs() >= 3; }));
    EXPECT_EQ(maxDepth, 1);
}

TEST_F(SlowTimers, NextTickComesOneIntervalAfterTheScriptReturned)
{
    TTomericTimer* timer = Make(40);
    RunSlowly(timer, 80);
    timer->Start(40);
    ASSERT_TRUE(RunUntil([&] { return Runs() >= 3; }));
    // Script 80 ms + interval 40 ms between starts; timers may fire a
    // little early, never a lot.
    for (size_t i = 1; i < starts.size(); ++i) EXPECT_GE(starts[i] - starts[i - 1], 110) << i;
}

TEST_F(SlowTimers, RestartFromItsOwnScriptStillNeverOverlaps)
{
    TTomericTimer* timer = Make(10);
    RunSlowly(timer, 60, [timer] { timer->Start(5); });
    timer->Start(10);
    ASSERT_TRUE(RunUntil([&] { return Runs() >= 3; }));
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(timer->Interval(), 5);
}

TEST_F(SlowTimers, StopFromItsOwnScriptEndsTheTicks)
{
    TTomericTimer* timer = Make(10);
    RunSlowly(timer, 20, [timer] { timer->Stop(); });
    timer->Start(10);
    ASSERT_TRUE(RunUntil([&] { return Runs() >= 1; }));
    RunEventLoop(80);
    EXPECT_EQ(Runs(), 1);
}

TEST_F(SlowTimers, DialogInsideTheScriptPausesAndResumesWithoutADoubleTick)
{
    TTomericTimer* timer = Make(10);
    RunSlowly(timer, 40, [timer] {
        timer->OnTimers(false);
        RunEventLoop(20);
        timer->OnTimers(true);
    });
    timer->Start(10);
    ASSERT_TRUE(RunUntil([&] { return Runs() >= 3; }));
    EXPECT_EQ(maxDepth, 1);
}

} // namespace
} // namespace tomeric
