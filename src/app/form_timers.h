#pragma once
// The main window's two publication timers:
//
//   the update timer (USEUPDATETIMER=): once a second the clock variables
//   ([TIME], [HOUR] ...) are shown anew, and the date variables too when
//   midnight has passed;
//   the idle timer (AUTORETURN=, RETURNTIME=): RETURNACTION runs after that
//   many seconds without input; input and running scripts start it again.

#include "publication/publication_settings.h"

#include <QObject>
#include <QTime>
#include <QTimer>

#include <functional>

namespace tomeric {

class TFormTimers {
public:
    struct Hooks {
        // A clock variable's texts are redrawn ("[TIME]" ...).
        std::function<void(const QString& bracketedName)> refreshVariable;
        // The idle time is up: runs RETURNACTION; false when the
        // publication is shutting down (the timer then stays stopped).
        std::function<bool()> idleReturn;
    };

    TFormTimers(QObject* owner, Hooks hooks);

    void Start(const TPublicationSettings& settings);
    void Stop();
    // Input or a running script: the idle time starts again.
    void RestartIdle();

private:
    void UpdateTick();
    void IdleFired();

    Hooks hooks_;
    QTimer update_;
    QTimer idle_;
    QTime lastTick_;
};

} // namespace tomeric
