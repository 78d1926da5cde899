#include "app/single_instance.h"

#include <QFileInfo>
#include <QLocalSocket>

namespace tomeric {

namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr int kTransferTimeoutMs = 3000;

QString UserName()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    return user;
}

} // namespace

QString SingleInstanceName(const QString& containerPath)
{
    QString name = QStringLiteral("tomeric-") + QFileInfo(containerPath).completeBaseName();
    const QString user = UserName();
    if (!user.isEmpty())
        name += QLatin1Char('-') + user;
    return name;
}

TSingleInstance::TSingleInstance(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {}

bool TSingleInstance::HandOver(const QString& commandLineText) const
{
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    // The text travels as UTF-8 and ends with the connection.
    socket.write(commandLineText.toUtf8());
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(kTransferTimeoutMs))
            return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kTransferTimeoutMs);
    return true;
}

bool TSingleInstance::Listen(TextHandler handler)
{
    handler_ = std::move(handler);
    // Nobody answered: a name left behind by a copy that crashed is stale.
    QLocalServer::removeServer(name_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(name_))
        return false;
    connect(&server_, &QLocalServer::newConnection, this, &TSingleInstance::Receive);
    return true;
}

void TSingleInstance::Receive()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            const QString text = QString::fromUtf8(socket->readAll());
            socket->deleteLater();
            if (handler_)
                handler_(text);
        });
        if (socket->state() != QLocalSocket::ConnectedState) {
            // Already gone: everything it sent is buffered.
            const QString text = QString::fromUtf8(socket->readAll());
            socket->deleteLater();
            if (handler_)
                handler_(text);
        }
    }
}

} // namespace tomeric
