#include "services/mail_message.h"

#include "platform/cp1252.h"

#include <QRandomGenerator>
#include <QTimeZone>

namespace tomeric {

namespace {

constexpr int kBase64LineLength = 76;

QString RandomHex()
{
    return QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, QLatin1Char('0')).toUpper();
}

QString StripQuotes(QString text)
{
    text.remove(QLatin1Char('"'));
    text.remove(QLatin1Char('\''));
    return text.trimmed();
}

// The part between `open` and `close`, or nothing.
std::optional<QString> Between(const QString& text, QChar open, QChar close)
{
    const qsizetype start = text.indexOf(open);
    const qsizetype end = start < 0 ? -1 : text.indexOf(close, start + 1);
    if (end < 0)
        return std::nullopt;
    return text.mid(start + 1, end - start - 1).trimmed();
}

QString Mailbox(const TMailAddress& address)
{
    const QString name = address.name.isEmpty() ? QString() : QLatin1Char('"') + address.name + QStringLiteral("\" ");
    return name + QLatin1Char('<') + address.address + QLatin1Char('>');
}

QString AddressHeader(const char* field, const std::vector<TMailAddress>& list)
{
    QStringList boxes;
    for (const TMailAddress& address : list)
        boxes << Mailbox(address);
    return QLatin1String(field) + QStringLiteral(": ") + boxes.join(QStringLiteral(",\r\n\t"));
}

// Body lines as they go inside DATA: CR LF line ends, a leading "." doubled.
QString StuffedText(const QString& text)
{
    QStringList lines = QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line.startsWith(QLatin1Char('.')))
            line.prepend(QLatin1Char('.'));
    return lines.join(QLatin1String("\r\n"));
}

QString Boundary(const QDateTime& now)
{
    return QStringLiteral("----=_boundary_") + now.toString(QStringLiteral("hh_mmss_yyyyMMdd_")) + RandomHex() +
           QLatin1Char('.') + RandomHex();
}

QString TextPartHeaders(const char* subtype, const QString& charset)
{
    return QStringLiteral("Content-Type: text/%1;\r\n\tcharset=\"%2\"\r\nContent-Transfer-Encoding: 8Bit")
        .arg(QLatin1String(subtype), charset);
}

// The text of the message: plain alone, or plain and HTML as alternatives.
// Returns the part's own headers and its body.
std::pair<QString, QString> TextPart(const TMailMessage& m, const QDateTime& now)
{
    if (m.htmlBody.isEmpty())
        return {TextPartHeaders("plain", m.charset), StuffedText(m.plainBody)};
    const QString b = Boundary(now);
    const QString headers =
        QStringLiteral("Content-Type: multipart/alternative;\r\n\tboundary=\"%1\"\r\nContent-Transfer-Encoding: 8Bit").arg(b);
    const QString body = QStringLiteral("This is a multi-part message in MIME format.\r\n\r\n--") + b + QStringLiteral("\r\n") +
                         TextPartHeaders("plain", m.charset) + QStringLiteral("\r\n\r\n") + StuffedText(m.plainBody) +
                         QStringLiteral("\r\n\r\n--") + b + QStringLiteral("\r\n") + TextPartHeaders("html", m.charset) +
                         QStringLiteral("\r\n\r\n") + StuffedText(m.htmlBody) + QStringLiteral("\r\n\r\n--") + b +
                         QStringLiteral("--");
    return {headers, body};
}

QString AttachmentPart(const TMailAttachment& file)
{
    return QStringLiteral("Content-Type: %1;\r\n\tname=\"%2\"\r\nContent-Transfer-Encoding: base64\r\n"
                          "Content-Disposition: attachment;\r\n\tfilename=\"%2\"\r\n\r\n")
               .arg(file.mimeType, file.fileName) +
           QString::fromLatin1(Base64Lines(file.bytes));
}

} // namespace

std::optional<std::vector<TMailAddress>> ParseMailAddresses(const QString& text)
{
    // A comma before the next "@" belongs to the next address's name.
    QStringList pieces;
    QString current;
    const QString joined = QString(text).replace(QLatin1Char('|'), QLatin1Char(','));
    for (qsizetype i = 0; i < joined.size(); ++i) {
        if (joined[i] == QLatin1Char(',') && current.contains(QLatin1Char('@'))) {
            pieces << current;
            current.clear();
            continue;
        }
        current += joined[i];
    }
    if (!current.trimmed().isEmpty())
        pieces << current;
    std::vector<TMailAddress> addresses;
    for (const QString& piece : pieces) {
        TMailAddress address;
        if (const auto inside = Between(piece, QLatin1Char('<'), QLatin1Char('>'))) {
            address.address = *inside;
            address.name = StripQuotes(piece.left(piece.indexOf(QLatin1Char('<'))));
        } else {
            address.address = piece.trimmed();
        }
        address.address.remove(QLatin1Char(' '));
        if (!address.address.contains(QLatin1Char('@')))
            return std::nullopt;
        addresses.push_back(address);
    }
    return addresses;
}

TMailAddress ParseMailSender(const QString& text)
{
    TMailAddress sender;
    QString address = text;
    if (const auto name = Between(text, QLatin1Char('('), QLatin1Char(')'))) {
        sender.name = StripQuotes(*name);
        address.remove(address.indexOf(QLatin1Char('(')), address.indexOf(QLatin1Char(')')) - address.indexOf(QLatin1Char('(')) + 1);
    }
    if (const auto inside = Between(address, QLatin1Char('<'), QLatin1Char('>'))) {
        if (sender.name.isEmpty())
            sender.name = StripQuotes(address.left(address.indexOf(QLatin1Char('<'))));
        address = *inside;
    }
    sender.address = address.trimmed();
    return sender;
}

QString MailDateText(const QDateTime& now)
{
    static const char* const kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate date = now.date();
    const int offset = now.offsetFromUtc() / 60;
    const QString zone = offset == 0 ? QStringLiteral("GMT")
                                     : QStringLiteral("%1%2%3")
                                           .arg(offset > 0 ? QLatin1Char('+') : QLatin1Char('-'))
                                           .arg(std::abs(offset) / 60, 2, 10, QLatin1Char('0'))
                                           .arg(std::abs(offset) % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1, %2 %3 %4 %5 %6")
        .arg(QLatin1String(kDays[date.dayOfWeek() - 1]))
        .arg(date.day())
        .arg(QLatin1String(kMonths[date.month() - 1]))
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(now.time().toString(QStringLiteral("hh:mm:ss")), zone);
}

QByteArray Base64Lines(const QByteArray& bytes)
{
    const QByteArray encoded = bytes.toBase64();
    QByteArray lines;
    for (qsizetype at = 0; at < encoded.size(); at += kBase64LineLength) {
        lines += encoded.mid(at, kBase64LineLength);
        lines += "\r\n";
    }
    return lines;
}

TRawMail BuildRawMail(const TMailMessage& m, const QDateTime& now)
{
    if (!m.from.address.contains(QLatin1Char('@')))
        return {{}, QStringLiteral("\"From\" address not complete.")};
    if (m.to.empty())
        return {{}, QStringLiteral("No e-mail addresses in the SendTo field.")};
    const QString host = m.localHost.isEmpty() ? QStringLiteral("a.b.c") : m.localHost;
    TMailAddress from = m.from;
    if (from.name.isEmpty())
        from.name = from.address.section(QLatin1Char('@'), 0, 0);

    QStringList headers;
    headers << QStringLiteral("Message-ID: <QX%1$%2.$%3@%4>")
                   .arg(now.toString(QStringLiteral("yyyyMMdd")), RandomHex(), RandomHex(), host);
    headers << QStringLiteral("From: ") + Mailbox(from);
    headers << AddressHeader("To", m.to);
    if (!m.cc.empty())
        headers << AddressHeader("CC", m.cc);
    headers << QStringLiteral("Subject: ") + m.subject << QStringLiteral("Date: ") + MailDateText(now)
            << QStringLiteral("MIME-Version: 1.0");

    auto [textHeaders, textBody] = TextPart(m, now);
    QString body;
    if (m.attachments.empty()) {
        headers << textHeaders;
        body = textBody;
    } else {
        const QString b = Boundary(now);
        headers << QStringLiteral("Content-Type: multipart/mixed;\r\n\tboundary=\"%1\"\r\nContent-Transfer-Encoding: 8Bit").arg(b);
        body = QStringLiteral("This is a multi-part message in MIME format.\r\n\r\n--") + b + QStringLiteral("\r\n") +
               textHeaders + QStringLiteral("\r\n\r\n") + textBody + QStringLiteral("\r\n");
        for (const TMailAttachment& file : m.attachments)
            body += QStringLiteral("\r\n--") + b + QStringLiteral("\r\n") + AttachmentPart(file);
        body += QStringLiteral("\r\n--") + b + QStringLiteral("--");
    }
    headers << QStringLiteral("X-Priority: 3");
    const QString raw = headers.join(QLatin1String("\r\n")) + QStringLiteral("\r\n\r\n") + body;
    return {m.charset.compare(QLatin1String("utf-8"), Qt::CaseInsensitive) == 0 ? raw.toUtf8() : EncodeWindows1252(raw), {}};
}

} // namespace tomeric
