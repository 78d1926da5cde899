#pragma once
// The automatic slide show: at most one at a time, a list of page names
// shown one after the other on a timer, optionally looping, with a
// subroutine called when it ends. Stopped -> Running <-> Paused -> Stopped.
//
// The show does not change pages itself: it asks its SlideShowPages (the
// page list) to show an entry, and it is driven by a SlideShowTimer the
// owner supplies (a QTimer in the player and the headless runner, a
// hand-driven fake in tests).

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace tomeric {

// The slide-show timer: one shot per slide; the show restarts it after each
// slide that was shown.
class SlideShowTimer {
public:
    virtual ~SlideShowTimer() = default;
    // (Re)starts the timer: `tick` runs once after `intervalMs` unless Stop
    // comes first.
    virtual void Start(int intervalMs, std::function<void()> tick) = 0;
    virtual void Stop() = 0;
};

// A SlideShowTimer on a single-shot QTimer (needs a running event loop,
// which the message pump of a script provides).
std::unique_ptr<SlideShowTimer> MakeQtSlideShowTimer();

// What the show needs of the page list.
class SlideShowPages {
public:
    virtual ~SlideShowPages() = default;
    // The names of pages 1..Count-1 (the "All" list).
    virtual QStringList SlidePageNames() const = 0;
    // Shows the page of that name (nothing when it is already shown).
    // False when there is no such page; the page list has then reported the
    // action error (the name in double quotes, a line break, message 246).
    virtual bool ShowSlide(const QString& name) = 0;
    // Calls the subroutine of an ended show; reports message 240 when the
    // publication has no such subroutine.
    virtual void CallSlideShowSubroutine(const QString& name) = 0;
};

class TSlideShow {
public:
    static constexpr int kDefaultDelayMs = 2000;
    static constexpr int kMinimumDelayMs = 100;

    TSlideShow(SlideShowPages& pages, std::unique_ptr<SlideShowTimer> timer);
    ~TSlideShow();
    TSlideShow(const TSlideShow&) = delete;
    TSlideShow& operator=(const TSlideShow&) = delete;

    // StartSlideShow pages, delay, loop, subroutine: `pages` is "All" or
    // names separated by "|"; `delay` in milliseconds (2000 when not a
    // number, at least 100); `loop` is on when it equals "Loop" (any case).
    // A running show is stopped first (its subroutine is called).
    void Start(const QString& pages, const QString& delay, const QString& loop, const QString& subroutine);
    // Pausing stops the timer; resuming shows the next slide at once.
    void Pause();
    // Ends the show; a show that was running (not paused) calls its subroutine.
    void Stop();
    // Drops the show without calling its subroutine (another publication
    // replaces the pages).
    void Discard();
    // The timer fired: the next slide, or the end of the show.
    void Tick();

    enum class State { Stopped, Running, Paused };
    State CurrentState() const;
    bool Exists() const { return show_.has_value(); }
    // The show's entries, position (0-based), delay and loop flag (empty
    // values when there is no show).
    QStringList Entries() const;
    int Position() const;
    int DelayMs() const;
    bool Loops() const;

    // The delay a StartSlideShow parameter gives.
    static int ParseDelay(const QString& text);

private:
    struct Show {
        QStringList entries;
        int position = 0;
        bool loop = false;
        QString subroutine;
        bool running = false;
        int delayMs = kDefaultDelayMs;
    };

    // Shows the entry at the current position; restarts the timer when the
    // slide was shown and this show is still the current one.
    bool ShowCurrentEntry();
    void StartTimer();

    SlideShowPages& pages_;
    std::unique_ptr<SlideShowTimer> timer_;
    std::optional<Show> show_;
    // Bumped whenever a show starts or ends, so that a slide whose page
    // scripts stopped or replaced the show does not touch the new one.
    int generation_ = 0;
};

} // namespace tomeric
