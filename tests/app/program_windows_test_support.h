#pragma once
// What the tests of other programs' windows share: waiting for the probe or
// the window manager to act, reading the probe's log, and building calls.

#include "actions/services.h"

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QThread>

#include <functional>

namespace tomeric::testing {

// Waits up to `ms` milliseconds for `done`.
inline bool Eventually(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        if (done())
            return true;
        QThread::msleep(50);
    }
    return done();
}

inline QString ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

inline ServiceCall Call(const char* command, QStringList params)
{
    ServiceCall call;
    call.Command = QString::fromLatin1(command);
    call.Params = std::move(params);
    return call;
}

} // namespace tomeric::testing
