#pragma once
// TTomericTimer (type 15): an invisible page object that runs its script at
// a fixed interval while it runs. Its page starts it when shown (AutoStart)
// and stops it when left (AutoStop); TimerStart and TimerStop start and stop
// it from scripts; dialogs pause and resume it (OM_TIMERS).
//
// A tick never overlaps the previous one: the clock is off while the tick's
// script runs, and the next tick comes one interval after it returned. A
// tick that arrives while the script of the previous one still runs (the
// script restarted the timer and waits in a message loop) is skipped.

#include "objects/tomeric_obj.h"

#include <QElapsedTimer>
#include <QTimer>

namespace tomeric {

class TTomericTimer : public TTomericObj {
    Q_OBJECT
public:
    TTomericTimer(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    // TimerStart: stops the clock, takes the absolute value of `intervalMs`
    // as the interval, notes the start time, writes the variable (0) and
    // runs.
    void Start(int intervalMs);
    // TimerStop: stops and writes the milliseconds elapsed since the start.
    void Stop();

    int Interval() const { return interval_; }
    bool AutoStart() const { return autoStart_; }
    bool AutoStop() const { return autoStop_; }
    bool RunOnce() const { return runOnce_; }
    const QString& VarName() const { return varName_; }
    const QString& TimerAction() const { return timerAction_; }
    // Running: the timer should tick (it may be paused by OM_TIMERS).
    bool Running() const { return running_; }
    // Paused by OM_TIMERS "0" until resumed.
    bool Paused() const { return paused_; }
    // The ticks since the object was made (for tests and the debugger).
    int TickCount() const { return tickCount_; }

    // Page displayed: with AutoStart a running timer goes on, a stopped one
    // starts with its interval. Page left: with AutoStop it stops without
    // writing the variable.
    void OnPagePaint(bool shown, const QRect& area) override;
    void OnPageHide() override;
    // Dialogs pause (false) and resume (true) the running timers.
    void OnTimers(bool resume) override;

protected:
    // A timer draws nothing, even if something made its window visible.
    void PaintContent(QPainter& painter) override { (void)painter; }

private:
    void Tick();
    void WriteElapsed();
    // Turns the clock on when the timer runs, is not paused and no tick is
    // in progress.
    void Arm();

    QTimer clock_;
    QElapsedTimer started_;
    int interval_ = 1000;
    bool autoStart_ = true;
    bool autoStop_ = true;
    bool runOnce_ = false;
    QString varName_, timerAction_;
    bool running_ = false;
    bool paused_ = false;
    bool inTick_ = false;
    int tickCount_ = 0;
};

TTomericObj* CreateTimer(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
