#include "objects/timer_object.h"

#include "vars/variables.h"

#include <algorithm>
#include <climits>

namespace tomeric {
namespace {

// The system timer never fires faster than this (a 0 interval would
// otherwise spin the event loop).
constexpr int kMinimumClockMs = 10;
constexpr int kTimerSize = 32;

int AbsoluteInterval(int ms)
{
    return ms == INT_MIN ? INT_MAX : std::abs(ms);
}

} // namespace

TTomericTimer::TTomericTimer(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericObj(parent, record, host)
{
    if (const auto* props = record.As<TTimerProps>()) {
        interval_ = AbsoluteInterval(props->interval);
        autoStart_ = props->autoStart;
        autoStop_ = props->autoStop;
        runOnce_ = props->runOnce;
        varName_ = props->varName;
        timerAction_ = props->timerAction;
    }
    // Never seen: a fixed small window that no show command makes visible.
    resize(kTimerSize, kTimerSize);
    hide();
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
    clock_.setSingleShot(true);
    connect(&clock_, &QTimer::timeout, this, &TTomericTimer::Tick);
}

void TTomericTimer::Start(int intervalMs)
{
    clock_.stop();
    interval_ = AbsoluteInterval(intervalMs);
    started_.start();
    running_ = true;
    WriteElapsed();
    Arm();
}

void TTomericTimer::Stop()
{
    clock_.stop();
    running_ = false;
    WriteElapsed();
}

void TTomericTimer::Arm()
{
    if (!running_ || paused_ || inTick_) return;
    clock_.start(std::max(interval_, kMinimumClockMs));
}

void TTomericTimer::WriteElapsed()
{
    if (varName_.isEmpty()) return;
    const qint64 elapsed = started_.isValid() ? started_.elapsed() : 0;
    SetVariable(varName_, QString::number(elapsed));
}

void TTomericTimer::Tick()
{
    // The clock is single-shot, so it is already off; a tick that comes while
    // an earlier one still runs its script is dropped.
    if (inTick_ || !running_) return;
    inTick_ = true;
    ++tickCount_;
    if (runOnce_) running_ = false;
    WriteElapsed();
    if (!timerAction_.isEmpty())
        Host().RunObjectScript(timerAction_, ekTimerTick, 0, ObjType(), Name());
    inTick_ = false;
    Arm();
}

void TTomericTimer::OnPagePaint(bool shown, const QRect& area)
{
    (void)area;
    if (!shown || !autoStart_) return;
    if (running_) Arm();
    else Start(interval_);
}

void TTomericTimer::OnPageHide()
{
    if (!autoStop_) return;
    clock_.stop();
    running_ = false;
}

void TTomericTimer::OnTimers(bool resume)
{
    paused_ = !resume;
    if (!running_) return;
    if (paused_) clock_.stop();
    else Arm();
}

TTomericObj* CreateTimer(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericTimer(parent, record, host);
}

} // namespace tomeric
