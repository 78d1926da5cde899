// libFuzzer entry point for reading an SMTP server's replies: SendMail's
// whole dialogue (greeting, EHLO, STARTTLS when offered, AUTH LOGIN, MAIL,
// RCPT, DATA, QUIT) against a server on the loopback interface whose
// replies are the input, cut at each NUL byte: the first piece greets, each
// later one answers one command, then the server hangs up (at once when
// the client starts TLS after STARTTLS). Build and run it with
// `scripts/fuzz smtp`.

#include "fuzz_support.h"

#include "actions/headless_services.h"
#include "services/mail_message.h"
#include "services/smtp_client.h"

#include <QDateTime>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

// A reply the client cannot finish (no CR LF, a continuation line) would
// keep it waiting for its minute: the server hangs up once the client has
// said nothing for this long. Client and server share one thread, so a
// client that has its reply answers within the same turn of the event
// loop; a longer wait only slows the campaign (20 ms held it to 75 inputs
// a second, 2 ms lets it run 500).
constexpr int kQuietHangUpMs = 2;

// Answers each command line with the next reply; the lines of a message
// (between DATA and the lone ".") get no answer, as on a real server.
class TScriptedSmtpServer : public QObject {
public:
    TScriptedSmtpServer()
    {
        if (!server_.listen(QHostAddress::LocalHost, 0))
            std::abort();
        quiet_.setSingleShot(true);
        quiet_.setInterval(kQuietHangUpMs);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                // One client at a time: the connection of the previous input goes.
                delete connection_;
                connection_ = socket;
                socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
                quiet_.disconnect();
                connect(&quiet_, &QTimer::timeout, socket, &QTcpSocket::disconnectFromHost);
                received_.clear();
                inData_ = false;
                startedTls_ = false;
                Answer(socket);
            }
        });
    }

    quint16 Port() const { return server_.serverPort(); }
    void SetReplies(const QList<QByteArray>& replies) { replies_ = replies; }

private:
    void Read(QTcpSocket* socket)
    {
        // After STARTTLS the client speaks TLS (or gives up, as it does on
        // any answer but 220), which this server does not: it hangs up at
        // the first bytes that follow.
        if (startedTls_) {
            socket->disconnectFromHost();
            return;
        }
        received_ += socket->readAll();
        for (qsizetype end; (end = received_.indexOf("\r\n")) >= 0;) {
            const QByteArray line = received_.left(end);
            received_.remove(0, end + 2);
            if (inData_ && line != ".")
                continue;
            inData_ = line == "DATA";
            startedTls_ = line.trimmed().compare("STARTTLS", Qt::CaseInsensitive) == 0;
            Answer(socket);
        }
    }

    void Answer(QTcpSocket* socket)
    {
        quiet_.start();
        if (replies_.isEmpty()) {
            socket->disconnectFromHost();
            return;
        }
        socket->write(replies_.takeFirst());
    }

    QTcpServer server_;
    QList<QByteArray> replies_;
    QTimer quiet_;
    QPointer<QTcpSocket> connection_;
    QByteArray received_;
    bool inData_ = false;
    bool startedTls_ = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tomeric;
    fuzz::EnsureApplication();
    static TScriptedSmtpServer server;
    static HeadlessServices pump([](const QString&) {});
    server.SetReplies(fuzz::Bytes(data, size).split('\0'));

    TMailMessage message;
    message.from = ParseMailSender(QStringLiteral("ann@example.org"));
    message.to = *ParseMailAddresses(QStringLiteral("bob@example.org|carol@example.org"));
    message.subject = QStringLiteral("Fuzz");
    message.plainBody = QStringLiteral("Hello\r\n.a dot\r\nbye");
    const TRawMail raw = BuildRawMail(message, QDateTime(QDate(2026, 12, 9), QTime(12, 0), Qt::UTC));

    TSmtpClient client(pump, {});
    if (client.Connect(QStringLiteral("127.0.0.1"), server.Port(), false) &&
        client.Authenticate(QStringLiteral("ann"), QStringLiteral("secret")))
        (void)client.Send(message, raw.text, {});
    client.Disconnect();
    // Let the server side see the hang-up before the next input connects.
    pump.ProcessPendingMessages();
    return 0;
}
