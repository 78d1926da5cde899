#pragma once
// A private X server for the tests of other programs' windows: Xvfb on the
// first free display number from 90 up, without a window manager, local
// connections only, never resetting between clients (a test connecting just
// as the last one left would be refused); it stops with the object.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

namespace tomeric::testing {

class XvfbServer {
public:
    // `screen`: width x height x depth of its one screen.
    explicit XvfbServer(const QString& screen = QStringLiteral("1024x768x24"))
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            return;
        for (int number = 90; number < 190 && !running_; ++number) {
            if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) ||
                QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
                continue;
            display_ = QStringLiteral(":%1").arg(number);
            server_.start(xvfb, {display_, QStringLiteral("-screen"), QStringLiteral("0"), screen,
                                 QStringLiteral("-noreset"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            server_.waitForStarted();
            for (int wait = 0; wait < 100 && server_.state() == QProcess::Running; ++wait) {
                if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))) {
                    running_ = true;
                    break;
                }
                QThread::msleep(50);
            }
            if (!running_)
                Stop();
        }
    }
    ~XvfbServer() { Stop(); }

    bool Running() const { return running_; }
    const QString& Display() const { return display_; }

private:
    void Stop()
    {
        if (server_.state() != QProcess::NotRunning) {
            server_.terminate();
            if (!server_.waitForFinished(3000))
                server_.kill();
            server_.waitForFinished(1000);
        }
    }

    QProcess server_;
    QString display_;
    bool running_ = false;
};

} // namespace tomeric::testing
