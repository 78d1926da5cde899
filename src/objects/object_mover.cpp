#include "objects/object_mover.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <chrono>
#include <cmath>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* address);
extern "C" void __tsan_release(void* address);
#endif

namespace tomeric {

namespace {

// Qt's event queue runs a posted call after it was posted, under Qt's own
// lock; the thread sanitizer cannot see that lock inside a Qt built without
// it, so the hand-over from a mover thread to the main thread is announced.
void* HandOverMark()
{
    static char mark;
    return &mark;
}
void Posting()
{
#if defined(__SANITIZE_THREAD__)
    __tsan_release(HandOverMark());
#endif
}
void Received()
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(HandOverMark());
#endif
}

// A whole-lap pause when a looping path has nowhere to go, so that a mover
// whose points all equal its position does not spin a core until stopped.
constexpr int kIdleLapPauseMs = 15;

int WholeNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return 0;
    return int(std::clamp(value, -1.0e9, 1.0e9));
}

int Towards(double accumulated, double increment, int target)
{
    const int rounded = int(std::lround(accumulated));
    if (increment > 0)
        return std::min(rounded, target);
    if (increment < 0)
        return std::max(rounded, target);
    return target;
}

} // namespace

std::vector<QPoint> ParseMoverPoints(const QString& text)
{
    const QStringList values = text.split(u',');
    std::vector<QPoint> points;
    if (text.trimmed().isEmpty())
        return points;
    for (qsizetype i = 0; i + 1 < values.size(); i += 2)
        points.emplace_back(WholeNumber(values[i]), WholeNumber(values[i + 1]));
    return points;
}

int ParseMoverDelay(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        return 15;
    return std::max(0, value);
}

void ParseMoverOptions(const QString& options, TMoverRequest& request)
{
    const auto has = [&](const char* word) { return options.contains(QLatin1String(word), Qt::CaseInsensitive); };
    request.mode = has("Loop") ? TMoverMode::mmLoop : has("Wait") ? TMoverMode::mmWait : TMoverMode::mmBackground;
    request.restore = has("Restore");
    request.leftTop = has("LeftTop");
}

// ---- TMoverPath -------------------------------------------------------------------

TMoverPath::TMoverPath(QPoint start, std::vector<QPoint> path, bool loop)
    : path_(std::move(path)), loop_(loop), current_(start), fx_(start.x()), fy_(start.y())
{
}

bool TMoverPath::AdvanceTarget()
{
    const int count = int(path_.size());
    if (count == 0)
        return false;
    if (index_ < 0) {
        index_ = 0;
        return true;
    }
    const int next = index_ + direction_;
    if (next >= 0 && next < count) {
        index_ = next;
        return true;
    }
    if (!loop_)
        return false;
    // The far end was reached: walk the path the other way.
    direction_ = -direction_;
    index_ = count == 1 ? 0 : index_ + direction_;
    return true;
}

void TMoverPath::AimAt(QPoint target)
{
    const double dx = std::abs(target.x() - current_.x());
    const double dy = std::abs(target.y() - current_.y());
    const double n = std::max(dx, dy) / 2.0;
    sx_ = n > 0 ? dx / n : 0.0;
    sy_ = n > 0 ? dy / n : 0.0;
    if (target.x() < current_.x())
        sx_ = -sx_;
    if (target.y() < current_.y())
        sy_ = -sy_;
    fx_ = current_.x();
    fy_ = current_.y();
}

std::optional<QPoint> TMoverPath::NextStep()
{
    idleLap_ = false;
    int reachedWithoutMoving = 0;
    for (;;) {
        if (!aiming_) {
            if (!AdvanceTarget())
                return std::nullopt;
            AimAt(path_[size_t(index_)]);
            aiming_ = true;
        }
        const QPoint target = path_[size_t(index_)];
        if (current_ == target) {
            aiming_ = false;
            if (loop_ && ++reachedWithoutMoving > int(path_.size())) {
                idleLap_ = true;
                return current_;
            }
            continue;
        }
        fx_ += sx_;
        fy_ += sy_;
        current_ = QPoint(Towards(fx_, sx_, target.x()), Towards(fy_, sy_, target.y()));
        return current_;
    }
}

// ---- TTomericObjMover -------------------------------------------------------------

TTomericObjMover::TTomericObjMover(QWidget& object, TMoverRequest request, MoveFunction move,
                                   DoneFunction done)
    : object_(&object), key_(&object), name_(object.objectName()), request_(std::move(request)),
      move_(std::move(move)), done_(std::move(done)), start_(object.pos())
{
    if (!request_.leftTop)
        offset_ = QPoint(object.width() / 2, object.height() / 2);
}

TTomericObjMover::~TTomericObjMover()
{
    RequestStop();
    Join();
}

void TTomericObjMover::Start(TMoverList* list)
{
    list_ = list;
    thread_ = std::thread([this] { Run(); });
}

void TTomericObjMover::RequestStop()
{
    stop_.store(true);
    std::lock_guard lock(mutex_);
    wake_.notify_all();
}

void TTomericObjMover::Join()
{
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
}

void TTomericObjMover::Run()
{
    TMoverPath path(start_ + offset_, request_.path, request_.mode == TMoverMode::mmLoop);
    while (!stop_.load()) {
        const std::optional<QPoint> point = path.NextStep();
        if (!point)
            break;
        if (path.IdleLap()) {
            SleepFor(std::max(request_.delayMs, kIdleLapPauseMs));
            continue;
        }
        if (!ApplyOnMainThread(*point - offset_))
            break;
        if (request_.delayMs > 0)
            SleepFor(request_.delayMs);
    }
    finished_.store(true);
    Ended();
}

bool TTomericObjMover::ApplyOnMainThread(QPoint topLeft)
{
    {
        std::lock_guard lock(mutex_);
        stepApplied_ = false;
    }
    list_->PostToMainThread([this, topLeft] {
        if (!object_)
            stop_.store(true); // the object is gone: nothing left to move
        else if (!stop_.load())
            move_(*object_, topLeft);
        std::lock_guard lock(mutex_);
        stepApplied_ = true;
        wake_.notify_all();
    });
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return stepApplied_ || stop_.load(); });
    return !stop_.load();
}

void TTomericObjMover::SleepFor(int ms)
{
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop_.load(); });
}

void TTomericObjMover::Ended()
{
    // The list keeps this mover alive until the main thread has joined it.
    TMoverList* list = list_;
    TTomericObjMover* self = this;
    list->PostToMainThread([list, self] {
        if (auto keep = list->Find(self))
            list->Ended(keep);
    });
}

// ---- TMoverList -------------------------------------------------------------------

TMoverList::TMoverList() = default;

TMoverList::~TMoverList()
{
    std::vector<std::shared_ptr<TTomericObjMover>> all;
    {
        std::lock_guard lock(mutex_);
        all = movers_;
        all.insert(all.end(), stopping_.begin(), stopping_.end());
    }
    for (const auto& mover : all)
        mover->RequestStop();
    for (const auto& mover : all)
        mover->Join();
    // Calls the threads posted last are dropped with their events.
    Received();
    QCoreApplication::removePostedEvents(&inbox_);
}

std::shared_ptr<TTomericObjMover> TMoverList::Start(QWidget& object, TMoverRequest request,
                                                    TTomericObjMover::MoveFunction move,
                                                    TTomericObjMover::DoneFunction done)
{
    if (IsMoving(&object))
        return nullptr;
    auto mover = std::make_shared<TTomericObjMover>(object, std::move(request), std::move(move), std::move(done));
    {
        std::lock_guard lock(mutex_);
        movers_.push_back(mover);
    }
    mover->Start(this);
    return mover;
}

bool TMoverList::IsMoving(const QWidget* object) const
{
    std::lock_guard lock(mutex_);
    return std::any_of(movers_.begin(), movers_.end(),
                       [&](const auto& mover) { return mover->key_ == object && !mover->endedOnMain_; });
}

void TMoverList::Stop(const QString& objectName)
{
    std::lock_guard lock(mutex_);
    for (const auto& mover : movers_)
        if (mover->name_.compare(objectName, Qt::CaseInsensitive) == 0)
            mover->RequestStop();
}

void TMoverList::StopAll()
{
    std::lock_guard lock(mutex_);
    for (const auto& mover : movers_) {
        mover->RequestStop();
        stopping_.push_back(mover);
    }
    movers_.clear();
}

int TMoverList::Count() const
{
    std::lock_guard lock(mutex_);
    return int(movers_.size());
}

std::shared_ptr<TTomericObjMover> TMoverList::Find(const TTomericObjMover* mover) const
{
    std::lock_guard lock(mutex_);
    for (const auto* list : {&movers_, &stopping_})
        for (const auto& entry : *list)
            if (entry.get() == mover)
                return entry;
    return nullptr;
}

void TMoverList::Ended(const std::shared_ptr<TTomericObjMover>& mover)
{
    mover->Join();
    {
        std::lock_guard lock(mutex_);
        for (auto* list : {&movers_, &stopping_})
            list->erase(std::remove(list->begin(), list->end(), mover), list->end());
    }
    mover->endedOnMain_ = true;
    QWidget* object = mover->object_.data();
    if (mover->request_.restore && object)
        mover->move_(*object, mover->start_);
    if (!mover->request_.doneAction.isEmpty() && mover->done_)
        mover->done_(object, mover->request_.doneAction);
}

void TMoverList::PostToMainThread(std::function<void()> call)
{
    {
        std::lock_guard lock(inboxMutex_);
        posted_.push_back(std::move(call));
    }
    auto* event = new QEvent(QEvent::User);
    Posting();
    QCoreApplication::postEvent(&inbox_, event);
}

void TMoverList::RunPosted()
{
    std::vector<std::function<void()>> calls;
    {
        std::lock_guard lock(inboxMutex_);
        calls.swap(posted_);
    }
    for (const auto& call : calls)
        call();
}

bool TMoverList::TInbox::event(QEvent* event)
{
    Received(); // before the event, written by a mover thread, is read
    if (event->type() != QEvent::User)
        return QObject::event(event);
    list_.RunPosted();
    return true;
}

void TMoverList::WaitFor(const std::shared_ptr<TTomericObjMover>& mover)
{
    while (mover && !mover->endedOnMain_ && !QCoreApplication::closingDown())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace tomeric
