#pragma once
// Moving an object along a path of points (MoveObjectAlongPath).
//
// TMoverPath is the arithmetic: from the current point towards each path
// point in turn, the longer axis advancing 2 pixels per step, never passing
// the target; with Loop it walks the path back and forth.
//
// TTomericObjMover runs one path on a worker thread. The thread only computes
// points: every step is handed to the main thread (a queued call) which moves
// the widget, and the thread waits until that step has been applied before it
// sleeps and computes the next. No thread but the main one touches a widget
// or a variable. When the path ends or a stop is asked, the main thread
// restores the start position (Restore), joins the thread and posts the done
// action.
//
// TMoverList holds the live movers of the player: at most one per object;
// StopMovingObject asks one (by object name) or all of them to stop. It is
// changed on the main thread and read by the workers under one lock.

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tomeric {

// What MoveObjectAlongPath asks for, parsed from its parameters.
enum class TMoverMode { mmBackground = 0, mmWait = 1, mmLoop = 2 };

struct TMoverRequest {
    std::vector<QPoint> path;  // in the parent's coordinates
    int delayMs = 15;          // sleep after each step
    TMoverMode mode = TMoverMode::mmBackground;
    bool restore = false;      // back to the start position at the end
    bool leftTop = false;      // points are the top-left corner, not the centre
    QString doneAction;
};

// "10,20,30,40" -> (10,20), (30,40): whole numbers, a non-number counts as 0,
// a trailing odd value is ignored.
std::vector<QPoint> ParseMoverPoints(const QString& text);
// The delay text: 15 when empty or not a number; never negative.
int ParseMoverDelay(const QString& text);
// The options words, anywhere in the text, ignoring case: Loop, Wait,
// Restore, LeftTop.
void ParseMoverOptions(const QString& options, TMoverRequest& request);

// The step arithmetic of one mover, free of threads and widgets.
class TMoverPath {
public:
    // `start` is the object's current point (its left/top plus the offset).
    TMoverPath(QPoint start, std::vector<QPoint> path, bool loop);

    // The next point to move to; nothing when the path has ended (never
    // with loop, unless the path is empty).
    std::optional<QPoint> NextStep();
    QPoint Current() const { return current_; }
    // True when the last NextStep went round a whole loop without moving
    // (every path point is the current point): the caller should pause.
    bool IdleLap() const { return idleLap_; }

private:
    bool AdvanceTarget();
    void AimAt(QPoint target);

    std::vector<QPoint> path_;
    bool loop_;
    QPoint current_;
    double fx_ = 0, fy_ = 0;   // floating accumulators
    double sx_ = 0, sy_ = 0;   // per-step increments
    int index_ = -1;           // the path point aimed at
    int direction_ = 1;        // +1 forwards, -1 backwards (loop)
    bool aiming_ = false;
    bool movedThisLap_ = false;
    bool idleLap_ = false;
};

class TMoverList;

// One moving object. Created and started on the main thread.
class TTomericObjMover : public std::enable_shared_from_this<TTomericObjMover> {
public:
    // Moves the widget's top-left corner to the point (main thread).
    using MoveFunction = std::function<void(QWidget& object, QPoint topLeft)>;
    // Runs the done action (main thread; posted by the caller's choice).
    using DoneFunction = std::function<void(QWidget* object, const QString& doneAction)>;

    TTomericObjMover(QWidget& object, TMoverRequest request, MoveFunction move, DoneFunction done);
    ~TTomericObjMover();

    // Starts the thread. `list` is told when the mover has ended.
    void Start(TMoverList* list);
    // Asks the thread to end after the current step (any thread).
    void RequestStop();
    // Joins the thread (main thread; the thread never waits for it).
    void Join();

    QWidget* Object() const { return object_.data(); }
    const QString& ObjectName() const { return name_; }
    bool Finished() const { return finished_.load(); }
    TMoverMode Mode() const { return request_.mode; }

private:
    void Run();
    bool ApplyOnMainThread(QPoint topLeft);
    void SleepFor(int ms);
    void Ended();

    QPointer<QWidget> object_;
    QWidget* const key_;   // identity in the list, even once the widget is gone
    QString name_;
    TMoverRequest request_;
    MoveFunction move_;
    DoneFunction done_;
    QPoint offset_;        // half the size when the path gives the centre
    QPoint start_;         // left/top when the mover was made
    TMoverList* list_ = nullptr; // outlives the thread

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stepApplied_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> endedOnMain_{false}; // restored, joined, done action posted

    friend class TMoverList;
};

class TMoverList {
public:
    TMoverList();
    ~TMoverList(); // stops and joins every mover
    TMoverList(const TMoverList&) = delete;
    TMoverList& operator=(const TMoverList&) = delete;

    // Starts a mover for `object`; null (and nothing started) when the object
    // already has a running mover.
    std::shared_ptr<TTomericObjMover> Start(QWidget& object, TMoverRequest request,
                                            TTomericObjMover::MoveFunction move,
                                            TTomericObjMover::DoneFunction done);
    bool IsMoving(const QWidget* object) const;
    // The mover of the object with that name (any case) is asked to stop.
    void Stop(const QString& objectName);
    // Every mover is taken off the list and asked to stop.
    void StopAll();
    // Number of movers on the list.
    int Count() const;
    // Waits (running the event loop) until `mover` has ended, or the
    // application quits.
    static void WaitFor(const std::shared_ptr<TTomericObjMover>& mover);

private:
    friend class TTomericObjMover;
    void Ended(const std::shared_ptr<TTomericObjMover>& mover);
    std::shared_ptr<TTomericObjMover> Find(const TTomericObjMover* mover) const;
    // Runs `call` on the main thread soon (any thread).
    void PostToMainThread(std::function<void()> call);
    void RunPosted();

    // Receives the posted calls on the main thread.
    class TInbox : public QObject {
    public:
        explicit TInbox(TMoverList& list) : list_(list) {}
        bool event(QEvent* event) override;

    private:
        TMoverList& list_;
    };

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<TTomericObjMover>> movers_;
    // Movers taken off the list by StopAll that have not ended yet.
    std::vector<std::shared_ptr<TTomericObjMover>> stopping_;
    std::mutex inboxMutex_;
    std::vector<std::function<void()>> posted_;
    TInbox inbox_{*this}; // lives on the main thread; destroyed first
};

} // namespace tomeric
