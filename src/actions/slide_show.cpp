#include "actions/slide_show.h"

#include <QTimer>

#include <algorithm>

namespace tomeric {

namespace {

class QtSlideShowTimer final : public SlideShowTimer {
public:
    QtSlideShowTimer()
    {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            // The tick may restart or replace the timer's callback.
            if (auto tick = tick_)
                tick();
        });
    }
    void Start(int intervalMs, std::function<void()> tick) override
    {
        tick_ = std::move(tick);
        timer_.start(intervalMs);
    }
    void Stop() override { timer_.stop(); }

private:
    QTimer timer_;
    std::function<void()> tick_;
};

} // namespace

std::unique_ptr<SlideShowTimer> MakeQtSlideShowTimer()
{
    return std::make_unique<QtSlideShowTimer>();
}

TSlideShow::TSlideShow(SlideShowPages& pages, std::unique_ptr<SlideShowTimer> timer)
    : pages_(pages), timer_(std::move(timer))
{
}

TSlideShow::~TSlideShow()
{
    if (timer_)
        timer_->Stop();
}

int TSlideShow::ParseDelay(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return std::max(ok ? value : kDefaultDelayMs, kMinimumDelayMs);
}

void TSlideShow::Start(const QString& pages, const QString& delay, const QString& loop,
                       const QString& subroutine)
{
    Stop();
    Show show;
    show.delayMs = ParseDelay(delay);
    show.loop = loop.compare(QLatin1String("Loop"), Qt::CaseInsensitive) == 0;
    show.subroutine = subroutine;
    show.entries = pages.compare(QLatin1String("All"), Qt::CaseInsensitive) == 0
                       ? pages_.SlidePageNames()
                       : pages.split(QLatin1Char('|'));
    show.running = true;
    show_ = std::move(show);
    ++generation_;
    if (!ShowCurrentEntry() && show_) {
        // The first slide could not be shown: the show never ran, so its
        // subroutine is not called.
        show_.reset();
        ++generation_;
    }
}

bool TSlideShow::ShowCurrentEntry()
{
    const int generation = generation_;
    const Show& show = *show_;
    const QString name = show.position < show.entries.size() ? show.entries[show.position] : QString();
    const bool shown = pages_.ShowSlide(name);
    // The page's scripts may have stopped or replaced the show meanwhile.
    if (shown && show_ && generation == generation_ && show_->running)
        StartTimer();
    return shown;
}

void TSlideShow::StartTimer()
{
    if (!timer_ || !show_)
        return;
    timer_->Start(show_->delayMs, [this] { Tick(); });
}

void TSlideShow::Tick()
{
    if (timer_)
        timer_->Stop();
    if (!show_ || !show_->running)
        return;
    Show& show = *show_;
    ++show.position;
    if (show.position >= show.entries.size()) {
        if (!show.loop || show.entries.isEmpty()) {
            Stop();
            return;
        }
        show.position = 0;
    }
    // A slide that is missing leaves the show halted (no timer) until it
    // is stopped or started again.
    ShowCurrentEntry();
}

void TSlideShow::Pause()
{
    if (!show_)
        return;
    show_->running = !show_->running;
    if (show_->running) {
        Tick();
    } else if (timer_) {
        timer_->Stop();
    }
}

void TSlideShow::Stop()
{
    if (timer_)
        timer_->Stop();
    if (!show_)
        return;
    const QString subroutine = show_->running ? show_->subroutine : QString();
    show_.reset();
    ++generation_;
    if (!subroutine.isEmpty())
        pages_.CallSlideShowSubroutine(subroutine);
}

void TSlideShow::Discard()
{
    if (timer_)
        timer_->Stop();
    if (show_) {
        show_.reset();
        ++generation_;
    }
}

TSlideShow::State TSlideShow::CurrentState() const
{
    if (!show_)
        return State::Stopped;
    return show_->running ? State::Running : State::Paused;
}

QStringList TSlideShow::Entries() const { return show_ ? show_->entries : QStringList(); }
int TSlideShow::Position() const { return show_ ? show_->position : 0; }
int TSlideShow::DelayMs() const { return show_ ? show_->delayMs : 0; }
bool TSlideShow::Loops() const { return show_ && show_->loop; }

} // namespace tomeric
