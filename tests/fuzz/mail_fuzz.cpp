// libFuzzer entry point for the mail composer: the input's lines are the
// recipients, the sender, the subject and the body of a SendMail, as a
// publication hands them over. Whatever they hold, no line of the raw
// message is a lone "." that would end its DATA early. Build and run it with
// `scripts/fuzz mail`.

#include "fuzz_support.h"

#include "services/mail_message.h"

#include <QDateTime>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tomeric;
    fuzz::EnsureApplication();
    const QStringList fields = QString::fromUtf8(fuzz::Bytes(data, size)).split(QLatin1Char('\n'));
    TMailMessage message;
    const auto recipients = ParseMailAddresses(fields.value(0));
    if (!recipients)
        return 0;
    message.to = *recipients;
    message.from = ParseMailSender(fields.value(1));
    message.subject = fields.value(2);
    (fields.value(3).startsWith(QLatin1String("<html>")) ? message.htmlBody : message.plainBody) =
        fields.mid(3).join(QLatin1Char('\n'));
    const TRawMail raw = BuildRawMail(message, QDateTime(QDate(2026, 12, 9), QTime(12, 0), Qt::UTC));
    if (!raw.error.isEmpty())
        return 0;
    for (const QByteArray& line : raw.text.split('\n'))
        if (line == "." || line == ".\r")
            std::abort(); // a lone dot would end the message on the server
    return 0;
}
