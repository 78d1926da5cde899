#pragma once
// Only one copy of a single-instance publication runs. The first copy
// listens on a local socket named after the container (its file name
// without extension) and the user; a later copy hands it its command-line
// text and ends without showing a window.

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <functional>

namespace tomeric {

// The socket name for a container: "tomeric-" + base name + "-" + user.
QString SingleInstanceName(const QString& containerPath);

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    using TextHandler = std::function<void(const QString& commandLineText)>;
    explicit TSingleInstance(QString name, QObject* parent = nullptr);

    // True when another copy was listening and took `commandLineText`.
    bool HandOver(const QString& commandLineText) const;
    // Becomes the first copy: texts handed over later go to `handler`.
    // False when the name cannot be taken (the publication runs anyway).
    bool Listen(TextHandler handler);

private:
    void Receive();

    QString name_;
    QLocalServer server_;
    TextHandler handler_;
};

} // namespace tomeric
