#pragma once
// TSmtpClient: the SMTP dialogue of SendMail on the main thread. Each step
// writes its line and waits for the server's reply in the message pump
// (pages stay live, Cancel and [MailProgress] take effect), at most 60
// seconds a reply:
//
//   greeting 220, HELO 250, [AUTH LOGIN 334 user 334 password 235],
//   per recipient list: MAIL FROM 250, RCPT TO 250 each, DATA 354, the
//   message, "." 250, RSET 250; then QUIT 221.

#include "actions/services.h"
#include "services/mail_message.h"

#include <QByteArray>
#include <QString>
#include <QTcpSocket>

#include <functional>

namespace tomeric {

class TSmtpClient {
public:
    static constexpr int kReplyTimeoutMs = 60000;

    // `cancelled` is asked while waiting and after every line of a message.
    TSmtpClient(MessagePump& pump, std::function<bool()> cancelled);

    bool Connect(const QString& host, quint16 port);
    // AUTH LOGIN; a server that does not know it gets USER and PASS lines.
    bool Authenticate(const QString& user, const QString& password);
    // `progress` receives 10, 20 ... 100 per cent as the lines go out.
    bool Send(const TMailMessage& message, const QByteArray& raw, const std::function<void(int)>& progress);
    void Disconnect();

    const QString& Error() const { return error_; }
    bool Cancelled() const { return cancelledSeen_; }

private:
    bool Command(const QByteArray& line, const char* expected);
    bool Expect(const char* expected);
    bool ReadReply();
    bool WriteLine(const QByteArray& line);
    bool Transaction(const QString& from, const std::vector<TMailAddress>& recipients, const QList<QByteArray>& lines,
                     const std::function<void(int)>& progress);
    bool WaitUntil(const std::function<bool()>& ready);

    MessagePump& pump_;
    std::function<bool()> cancelled_;
    QTcpSocket socket_;
    QByteArray buffer_;
    QByteArray code_;
    QString text_;
    QString error_;
    bool cancelledSeen_ = false;
    int lastProgress_ = 0;
};

} // namespace tomeric
