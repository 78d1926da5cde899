#include "app/form_timers.h"

#include <QStringList>

#include <algorithm>

namespace tomeric {

namespace {

constexpr int kUpdateIntervalMs = 1000;

} // namespace

TFormTimers::TFormTimers(QObject* owner, Hooks hooks) : hooks_(std::move(hooks))
{
    update_.setInterval(kUpdateIntervalMs);
    QObject::connect(&update_, &QTimer::timeout, owner, [this] { UpdateTick(); });
    QObject::connect(&idle_, &QTimer::timeout, owner, [this] { IdleFired(); });
}

void TFormTimers::Start(const TPublicationSettings& s)
{
    lastTick_ = QTime::currentTime();
    if (s.useUpdateTimer)
        update_.start();
    idle_.setInterval(std::max(0, s.returnTime) * 1000);
    if (s.autoReturn && !s.returnAction.isEmpty())
        idle_.start();
}

void TFormTimers::Stop()
{
    update_.stop();
    idle_.stop();
}

void TFormTimers::RestartIdle()
{
    if (idle_.isActive())
        idle_.start();
}

void TFormTimers::UpdateTick()
{
    static const QStringList timeNames = {QStringLiteral("[TIME]"), QStringLiteral("[TIME24]"),
                                          QStringLiteral("[HOUR]"), QStringLiteral("[MINUTE]"),
                                          QStringLiteral("[SECOND]")};
    static const QStringList dateNames = {QStringLiteral("[DATESHORT]"), QStringLiteral("[DATELONG]"),
                                          QStringLiteral("[MONTH]"), QStringLiteral("[MONTHNUM]"),
                                          QStringLiteral("[DAY]"), QStringLiteral("[DAYNUM]"),
                                          QStringLiteral("[YEAR]")};
    const QTime now = QTime::currentTime();
    for (const QString& name : timeNames)
        hooks_.refreshVariable(name);
    // Midnight passed since the last tick: the date changed too.
    if (now < lastTick_)
        for (const QString& name : dateNames)
            hooks_.refreshVariable(name);
    lastTick_ = now;
}

void TFormTimers::IdleFired()
{
    idle_.stop();
    if (hooks_.idleReturn())
        idle_.start();
}

} // namespace tomeric
