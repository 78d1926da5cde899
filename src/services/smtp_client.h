#pragma once
// TSmtpClient: the SMTP dialogue of SendMail on the main thread. Each step
// writes its line and waits for the server's reply in the message pump
// (pages stay live, Cancel and [MailProgress] take effect), at most 60
// seconds a reply; a server that hangs up ends the wait at once:
//
//   greeting 220, EHLO 250 (HELO 250 for a server that does not know it),
//   [STARTTLS 220, EHLO 250 again], [AUTH LOGIN 334 user 334 password 235],
//   per recipient list: MAIL FROM 250, RCPT TO 250 each, DATA 354, the
//   message, "." 250, RSET 250; then QUIT 221.
//
// Credentials never travel readable when the server can do better: a server
// that offers STARTTLS is switched to TLS before AUTH, and the mail port 465
// speaks TLS from the first byte. A certificate that cannot be trusted ends
// the dialogue rather than falling back to plain text.

#include "actions/services.h"
#include "services/mail_message.h"

#include <QByteArray>
#include <QString>
#include <QSslSocket>
#include <QStringList>

#include <functional>

namespace tomeric {

class TSmtpClient {
public:
    static constexpr int kReplyTimeoutMs = 60000;
    // A reply, all its lines together, is at most this long: a server that
    // sends more (one endless line, continuation lines without end) is
    // dropped rather than buffered until memory runs out.
    static constexpr qsizetype kMaxReplyBytes = 64 * 1024;
    static constexpr quint16 kImplicitTlsPort = 465;

    // `cancelled` is asked while waiting and after every line of a message.
    TSmtpClient(MessagePump& pump, std::function<bool()> cancelled);

    // `implicitTls`: TLS from the first byte (the mail port 465) instead of
    // a plain connection that may switch to TLS when the server offers it.
    bool Connect(const QString& host, quint16 port, bool implicitTls);
    // AUTH LOGIN; a server that does not know it gets USER and PASS lines.
    bool Authenticate(const QString& user, const QString& password);
    // `progress` receives 10, 20 ... 100 per cent as the lines go out.
    bool Send(const TMailMessage& message, const QByteArray& raw, const std::function<void(int)>& progress);
    void Disconnect();

    const QString& Error() const { return error_; }
    bool Cancelled() const { return cancelledSeen_; }
    bool Encrypted() const { return socket_.isEncrypted(); }

private:
    bool Command(const QByteArray& line, const char* expected);
    bool Expect(const char* expected);
    bool ReadReply();
    bool Greet(const QByteArray& local);
    bool StartTls();
    bool WaitForEncryption();
    bool WriteLine(const QByteArray& line);
    bool Transaction(const QString& from, const std::vector<TMailAddress>& recipients, const QList<QByteArray>& lines,
                     const std::function<void(int)>& progress);
    bool WaitUntil(const std::function<bool()>& ready);

    MessagePump& pump_;
    std::function<bool()> cancelled_;
    QSslSocket socket_;
    QByteArray buffer_;
    QByteArray code_;
    QString text_;
    QList<QByteArray> replyLines_; // the texts of every line of the last reply
    QString tlsError_;
    QString error_;
    bool cancelledSeen_ = false;
    bool timedOut_ = false;
    int lastProgress_ = 0;
};

} // namespace tomeric
