#pragma once
// A small HTTP/1.1 server on the loopback interface for the Internet
// commands' tests. It runs on the test's own event loop (the commands wait
// in it), answers one request per connection and closes.
//
//   GET  /text        200 "Bonjour, Tomeric" with a length
//   GET  /missing     404 Not Found
//   GET  /redirect    302 to /text
//   POST /echo        200 with the request's body
//   HEAD /text        the length only
//   GET  /nolength    200 without a length (closed to end it)
//   GET  /slow        200, 100 000 bytes announced, 100 sent every 20 ms
//   GET  /secret      200 with Basic credentials "ann:pw", else 401

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <utility>

namespace tomeric::testing {

class THttpTestServer : public QObject {
public:
    THttpTestServer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
        });
    }

    QString Url(const char* path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(QLatin1String(path));
    }
    quint16 Port() const { return server_.serverPort(); }
    QByteArray lastUserAgent;
    // Called once the first bytes of a /slow answer are on their way: a
    // test acts while that transfer is under way, however slowly it runs.
    std::function<void()> onSlowUnderWay;

private:
    void Read(QTcpSocket* socket)
    {
        QByteArray& buffer = buffers_[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        QHash<QByteArray, QByteArray> headers;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                headers[lines[i].left(colon).trimmed().toLower()] = lines[i].mid(colon + 1).trimmed();
        }
        const qsizetype length = headers.value("content-length").toLongLong();
        if (buffer.size() < end + 4 + length)
            return;
        const QByteArray body = buffer.mid(end + 4, length);
        lastUserAgent = headers.value("user-agent");
        buffers_.remove(socket);
        Answer(socket, first.value(0), first.value(1), headers, body);
    }

    static void Send(QTcpSocket* socket, const QByteArray& status, const QByteArray& body, bool head = false,
                     const QByteArray& extra = {})
    {
        socket->write("HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) +
                      "\r\nConnection: close\r\n" + extra + "\r\n");
        if (!head)
            socket->write(body);
        socket->disconnectFromHost();
    }

    void Answer(QTcpSocket* socket, const QByteArray& verb, const QByteArray& path,
                const QHash<QByteArray, QByteArray>& headers, const QByteArray& body)
    {
        if (path == "/text")
            Send(socket, "200 OK", "Bonjour, Tomeric", verb == "HEAD", "Content-Type: text/plain\r\n");
        else if (path == "/redirect")
            Send(socket, "302 Found", {}, false, "Location: /text\r\n");
        else if (path == "/echo")
            Send(socket, "200 OK", body);
        else if (path == "/secret")
            Send(socket, headers.value("authorization") == "Basic " + QByteArray("ann:pw").toBase64()
                             ? QByteArray("200 OK") : QByteArray("401 Unauthorized"), "inside");
        else if (path == "/nolength") {
            socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nno length here");
            socket->disconnectFromHost();
        } else if (path == "/slow")
            Trickle(socket);
        else
            Send(socket, "404 Not Found", "nothing here");
    }

    void Trickle(QTcpSocket* socket)
    {
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\nConnection: close\r\n\r\n");
        auto* timer = new QTimer(socket);
        QPointer<QTcpSocket> alive(socket);
        QObject::connect(timer, &QTimer::timeout, socket, [this, alive, first = true]() mutable {
            if (alive && alive->state() == QAbstractSocket::ConnectedState)
                alive->write(QByteArray(100, 'x'));
            if (std::exchange(first, false) && onSlowUnderWay)
                onSlowUnderWay();
        });
        timer->start(20);
    }

    QTcpServer server_;
    QHash<QTcpSocket*, QByteArray> buffers_;
};

} // namespace tomeric::testing
