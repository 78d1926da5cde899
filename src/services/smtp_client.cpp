#include "services/smtp_client.h"

#include <QElapsedTimer>
#include <QHostAddress>

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
            return false;
        }
        if (socket_.state() == QAbstractSocket::UnconnectedState && buffer_.indexOf("\r\n") < 0) {
            error_ = socket_.errorString();
            return false;
        }
        pump_.WaitForMessages(kWaitSliceMs, false);
        buffer_ += socket_.readAll();
    }
    return true;
}

bool TSmtpClient::Connect(const QString& host, quint16 port)
{
    socket_.connectToHost(host, port);
    if (!WaitUntil([this] { return socket_.state() == QAbstractSocket::ConnectedState; }))
        return false;
    if (!Expect("220"))
        return false;
    // HELO names this side: a dotted address in brackets, a bare name with
    // the server's domain.
    QString local = socket_.localAddress().toString();
    local = IsDottedAddress(local) ? QLatin1Char('[') + local + QLatin1Char(']') : local;
    return Command("HELO " + local.toLatin1(), "250");
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
    if (socket_.state() == QAbstractSocket::ConnectedState && !cancelledSeen_)
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
    for (;;) {
        if (!WaitUntil([this] { return buffer_.indexOf("\r\n") >= 0; }))
            return false;
        const qsizetype end = buffer_.indexOf("\r\n");
        const QByteArray line = buffer_.left(end);
        buffer_.remove(0, end + 2);
        code_ = line.left(3).trimmed();
        text_ = QString::fromLatin1(line.mid(4, 64)).trimmed();
        if (line.size() >= 4 && line[3] == ' ')
            return true;
        if (line.size() == 3)
            return true;
    }
}

} // namespace tomeric
