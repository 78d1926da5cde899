// libFuzzer entry point for reading an HTTP server's answers: a transfer of
// the Internet commands (to memory, or to a file when the first byte is odd)
// against a server on the loopback interface that answers every request
// with the input's bytes and hangs up. The server is also the proxy of every
// request, so redirects to other hosts come back to it instead of leaving
// the machine. Build and run it with `scripts/fuzz http`.

#include "fuzz_support.h"

#include "services/http_transfer.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

namespace {

// A transfer that stalls (a length never reached) ends after this long.
constexpr int kTransferTimeoutMs = 1000;

class TScriptedHttpServer : public QObject {
public:
    TScriptedHttpServer()
    {
        if (!server_.listen(QHostAddress::LocalHost, 0))
            std::abort();
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                socket->setParent(this);
                socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
            }
        });
    }

    quint16 Port() const { return server_.serverPort(); }
    // A new input: the connections of the last one go (the fuzzer never
    // returns to an event loop that would run their deleteLater).
    void SetAnswer(const QByteArray& answer)
    {
        answer_ = answer;
        requests_.clear();
        qDeleteAll(findChildren<QTcpSocket*>(Qt::FindDirectChildrenOnly));
    }

private:
    // Answers once the request's head is in (a POST's short body comes with it).
    void Read(QTcpSocket* socket)
    {
        QByteArray& request = requests_[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        requests_.remove(socket);
        socket->write(answer_);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    QByteArray answer_;
    QHash<QTcpSocket*, QByteArray> requests_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tomeric;
    fuzz::EnsureApplication();
    static TScriptedHttpServer server;
    static QTemporaryDir folder;
    static QNetworkAccessManager* network = [] {
        QNetworkProxy::setApplicationProxy(
            QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), server.Port()));
        return new QNetworkAccessManager;
    }();
    server.SetAnswer(fuzz::Bytes(data, size));

    THttpRequest request;
    request.url = QStringLiteral("http://publisher.example/page.htm");
    request.userAgent = QStringLiteral("Fuzz");
    request.timeoutMs = kTransferTimeoutMs;
    if (size > 0 && (data[0] & 1))
        request.targetFile = folder.filePath(QStringLiteral("download.bin"));
    THttpTransfer transfer(*network, request, [](int) { return true; });
    transfer.Start();
    QEventLoop loop;
    while (!transfer.Done())
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    return 0;
}
