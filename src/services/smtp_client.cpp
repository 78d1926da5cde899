#include "services/smtp_client.h"

#include <QElapsedTimer>
#include <QHostAddress>

#include <algorithm>

namespace tomeric {

namespace {

constexpr int kWaitSliceMs = 20;
constexpr int kProgressStep = 10;

bool IsDottedAddress(const QString& host)
{
    QHostAddress address;
    return address.setAddress(host) && address.protocol() == QAbstractSocket::IPv4Protocol;
}

} // namespace

TSmtpClient::TSmtpClient(MessagePump& pump, std::function<bool()> cancelled)
    : pump_(pump), cancelled_(std::move(cancelled))
{
}

bool TSmtpClient::WaitUntil(const std::function<bool()>& ready)
{
    QElapsedTimer waited;
    waited.start();
    while (!ready()) {
        if (cancelled_ && cancelled_()) {
            cancelledSeen_ = true;
            return false;
        }
        if (waited.elapsed() > kReplyTimeoutMs || pump_.ShuttingDown()) {
            error_ = QStringLiteral("Timed out.");
            timedOut_ = true;
            return false;
        }
        // A closed connection brings nothing more: what the buffer holds
        // decides at once, instead of waiting out the reply timeout for a
        // line or a handshake that can no longer come.
        if (socket_.state() == QAbstractSocket::UnconnectedState) {
            buffer_ += socket_.readAll();
            if (ready())
                return true;
            error_ = socket_.errorString();
            return false;
        }
        pump_.WaitForMessages(kWaitSliceMs, false);
        buffer_ += socket_.readAll();
    }
    return true;
}

bool TSmtpClient::Connect(const QString& host, quint16 port, bool implicitTls)
{
    QObject::connect(&socket_, &QSslSocket::sslErrors, &socket_, [this](const QList<QSslError>& errors) {
        tlsError_ = errors.isEmpty() ? QString() : errors.front().errorString();
    });
    if (implicitTls) {
        socket_.connectToHostEncrypted(host, port);
        if (!WaitForEncryption())
            return false;
    } else {
        socket_.connectToHost(host, port);
        if (!WaitUntil([this] { return socket_.state() == QAbstractSocket::ConnectedState; }))
            return false;
    }
    if (!Expect("220"))
        return false;
    // HELO names this side: a dotted address in brackets, a bare name with
    // the server's domain.
    QString local = socket_.localAddress().toString();
    local = IsDottedAddress(local) ? QLatin1Char('[') + local + QLatin1Char(']') : local;
    if (!Greet(local.toLatin1()))
        return false;
    const bool offersTls = std::any_of(replyLines_.begin(), replyLines_.end(), [](const QByteArray& line) {
        return line.trimmed().compare("STARTTLS", Qt::CaseInsensitive) == 0;
    });
    // Without a TLS back end the dialogue goes on in plain text, as servers
    // that offer nothing better get it.
    if (socket_.isEncrypted() || !offersTls || !QSslSocket::supportsSsl())
        return true;
    return StartTls() && Greet(local.toLatin1());
}

bool TSmtpClient::Greet(const QByteArray& local)
{
    // EHLO lists what the server offers; an older server answers it with an
    // error and gets the plain HELO.
    if (!WriteLine("EHLO " + local) || !ReadReply())
        return false;
    return code_ == "250" || Command("HELO " + local, "250");
}

bool TSmtpClient::StartTls()
{
    if (!Command("STARTTLS", "220"))
        return false;
    // Whatever came in plain text behind the 220 was never protected: it
    // is dropped, never read later as a reply under TLS.
    socket_.readAll();
    buffer_.clear();
    socket_.startClientEncryption();
    return WaitForEncryption();
}

bool TSmtpClient::WaitForEncryption()
{
    if (WaitUntil([this] { return socket_.isEncrypted(); }))
        return true;
    if (!tlsError_.isEmpty())
        error_ = tlsError_;
    return false;
}

bool TSmtpClient::Authenticate(const QString& user, const QString& password)
{
    if (!WriteLine("AUTH LOGIN") || !ReadReply())
        return false;
    if (code_ != "334") {
        // A server without AUTH LOGIN: the older USER and PASS lines, any answer.
        WriteLine("USER " + user.toUtf8());
        ReadReply();
        WriteLine("PASS " + password.toUtf8());
        ReadReply();
        return true;
    }
    return Command(user.toUtf8().toBase64(), "334") && Command(password.toUtf8().toBase64(), "235");
}

bool TSmtpClient::Send(const TMailMessage& message, const QByteArray& raw, const std::function<void(int)>& progress)
{
    const QList<QByteArray> lines = raw.split('\n');
    lastProgress_ = 0;
    for (const auto* list : {&message.to, &message.cc, &message.bcc}) {
        if (list->empty())
            continue;
        if (!Transaction(message.from.address, *list, lines, progress))
            return false;
    }
    if (progress)
        progress(100);
    return true;
}

bool TSmtpClient::Transaction(const QString& from, const std::vector<TMailAddress>& recipients,
                              const QList<QByteArray>& lines, const std::function<void(int)>& progress)
{
    if (!Command("MAIL FROM:<" + from.toLatin1() + ">", "250"))
        return false;
    for (const TMailAddress& recipient : recipients)
        if (!Command("RCPT TO:<" + recipient.address.toLower().toLatin1() + ">", "250"))
            return false;
    if (!Command("DATA", "354"))
        return false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (!WriteLine(line))
            return false;
        if (cancelled_ && cancelled_()) {
            cancelledSeen_ = true;
            return false;
        }
        const int percent = int((i + 1) * 100 / lines.size());
        if (progress && percent >= lastProgress_ + kProgressStep) {
            lastProgress_ = percent - percent % kProgressStep;
            progress(lastProgress_);
        }
    }
    return Command(".", "250") && Command("RSET", "250");
}

void TSmtpClient::Disconnect()
{
    // A server that let a reply time out gets no second wait for its 221.
    if (socket_.state() == QAbstractSocket::ConnectedState && !cancelledSeen_ && !timedOut_)
        Command("QUIT", "221");
    socket_.abort();
}

bool TSmtpClient::Command(const QByteArray& line, const char* expected)
{
    return WriteLine(line) && Expect(expected);
}

bool TSmtpClient::Expect(const char* expected)
{
    if (!ReadReply())
        return false;
    if (code_ == expected)
        return true;
    error_ = QString::fromLatin1(code_) + QLatin1Char(' ') + text_;
    return false;
}

bool TSmtpClient::WriteLine(const QByteArray& line)
{
    if (socket_.state() != QAbstractSocket::ConnectedState) {
        error_ = QStringLiteral("Not connected.");
        return false;
    }
    socket_.write(line + "\r\n");
    return true;
}

bool TSmtpClient::ReadReply()
{
    // Continuation lines ("250-...") come before the last one ("250 ...").
    replyLines_.clear();
    qsizetype replyBytes = 0;
    for (;;) {
        const bool lineIn = WaitUntil([this, &replyBytes] {
            return buffer_.indexOf("\r\n") >= 0 || replyBytes + buffer_.size() > kMaxReplyBytes;
        });
        if (!lineIn)
            return false;
        const qsizetype end = buffer_.indexOf("\r\n");
        replyBytes += end < 0 ? buffer_.size() : end + 2;
        if (end < 0 || replyBytes > kMaxReplyBytes) {
            error_ = QStringLiteral("The server's reply is too long.");
            socket_.abort();
            return false;
        }
        const QByteArray line = buffer_.left(end);
        buffer_.remove(0, end + 2);
        code_ = line.left(3).trimmed();
        text_ = QString::fromLatin1(line.mid(4, 64)).trimmed();
        replyLines_ << line.mid(4);
        if (line.size() >= 4 && line[3] == ' ')
            return true;
        if (line.size() == 3)
            return true;
    }
}

} // namespace tomeric
