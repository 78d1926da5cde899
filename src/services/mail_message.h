#pragma once
// The e-mail SendMail sends: its addresses as the command's parameters give
// them, and the raw message (headers, a blank line, the body) as it goes
// over SMTP: 8-bit text with lines that begin with "." doubled, an HTML body
// inside multipart/alternative, attachments as Base64 parts with 76-column
// lines.
//
// Blind copies are sent to, never named in a header: a "BCC:" header would
// show every recipient who was meant to stay hidden.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace tomeric {

struct TMailAddress {
    QString name;    // display name, may be empty
    QString address; // user@host
};

// "Ann <ann@x.org>|bob@y.org": one address per "|" (or ","), each a bare
// address or a display name with the address in "<" ">"; a comma before
// the next "@" belongs to the display name that follows. Nothing when a
// piece cannot be read ("Unable to parse email address").
std::optional<std::vector<TMailAddress>> ParseMailAddresses(const QString& text);
// The sender: "Name <address>", "address (Name)" or a bare address.
TMailAddress ParseMailSender(const QString& text);

struct TMailAttachment {
    QString fileName;  // as shown in the message
    QString mimeType;  // application/octet-stream when unknown
    QByteArray bytes;
};

struct TMailMessage {
    TMailAddress from;
    std::vector<TMailAddress> to, cc, bcc;
    QString subject;
    QString plainBody; // lines joined by CR LF
    QString htmlBody;
    std::vector<TMailAttachment> attachments;
    QString charset = QStringLiteral("iso-8859-1");
    QString localHost; // in the message identifier; "a.b.c" when empty
};

// The raw message; `now` stamps the Date header and the identifier. Throws
// nothing: a message without a usable sender or recipient gives the error
// text instead ('"From" address not complete.', "No e-mail addresses in the
// SendTo field.").
struct TRawMail {
    QByteArray text; // CR LF lines, ready for DATA (dot-stuffed)
    QString error;
};
TRawMail BuildRawMail(const TMailMessage& message, const QDateTime& now);

// "Wed, 9 Dec 2026 21:40:07 +0100".
QString MailDateText(const QDateTime& now);
// Base64 with a CR LF after every 76 characters.
QByteArray Base64Lines(const QByteArray& bytes);

} // namespace tomeric
