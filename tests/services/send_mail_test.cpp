// SendMail and the mail composer against a real SMTP server on the loopback
// interface: what arrives is what was sent, byte for byte.

#include "headless_internet.h"
#include "platform/string_table.h"
#include "services/mail_message.h"
#include "services/smtp_client.h"
#include "smtp_test_server.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace tomeric::testing {
namespace {

// The decoded content of the MIME part named `fileName` in a message.
QByteArray AttachmentBytes(const QByteArray& data, const QByteArray& fileName)
{
    const qsizetype named = data.indexOf("filename=\"" + fileName + "\"");
    const qsizetype start = data.indexOf("\r\n\r\n", named) + 4;
    const qsizetype end = data.indexOf("\r\n--", start);
    if (named < 0 || start < 4 || end < 0)
        return "<no such part>";
    return QByteArray::fromBase64(data.mid(start, end - start).replace("\r\n", ""));
}

class SendMail : public HeadlessInternet {
protected:
    void SetUp() override
    {
        HeadlessInternet::SetUp();
        SetVariable(QStringLiteral("[MailServer]"), QStringLiteral("127.0.0.1"));
        SetVariable(QStringLiteral("[MailPort]"), QString::number(smtp.Port()));
    }
    TSmtpTestServer smtp;
};

TEST_F(SendMail, AMessageWithAnHtmlBodyAndAttachmentsArrivesByteExact)
{
    QByteArray binary;
    for (int i = 0; i < 300; ++i)
        binary += char(i % 256);
    Write("picture.bin", binary);
    Write("notes.txt", "first line\r\n.second line starts with a dot\r\n");
    SetVariable(QStringLiteral("[MailUserID]"), QStringLiteral("ann"));
    SetVariable(QStringLiteral("[MailUserPassword]"), QStringLiteral("secret"));
    Run(QStringLiteral("SendMail \"Bob <bob@example.org>|carol@example.org\" \"tom@museum.org (The Museum)\" \"Report\" "
                       "\"<html><b>Hello</b>|.hidden</html>\" \"%1|%2\" \"HideProgress\"\r\n"
                       "SetVar \"[error]\" \"<[LastError]>\"")
            .arg(File("picture.bin"), File("notes.txt")));
    EXPECT_EQ(Var("error"), QStringLiteral("<>"));
    ASSERT_EQ(smtp.transactions.size(), 1);
    const TSmtpTransaction& mail = smtp.transactions.front();
    EXPECT_EQ(mail.from, QByteArray("tom@museum.org"));
    EXPECT_EQ(mail.recipients, (QList<QByteArray>{"bob@example.org", "carol@example.org"}));
    EXPECT_TRUE(smtp.commands.contains("AUTH LOGIN"));
    EXPECT_TRUE(mail.data.contains("From: \"The Museum\" <tom@museum.org>"));
    EXPECT_TRUE(mail.data.contains("To: \"Bob\" <bob@example.org>,\r\n\t<carol@example.org>"));
    EXPECT_TRUE(mail.data.contains("Content-Type: multipart/alternative;"));
    EXPECT_TRUE(mail.data.contains("\r\n..hidden</html>\r\n")) << "a line starting with a dot goes out doubled";
    EXPECT_EQ(AttachmentBytes(mail.data, "picture.bin"), binary);
    EXPECT_EQ(AttachmentBytes(mail.data, "notes.txt"), QByteArray("first line\r\n.second line starts with a dot\r\n"));
    for (const QByteArray& line : mail.data.split('\n'))
        EXPECT_LE(line.size(), 78) << "Base64 lines stay within 76 columns";
    EXPECT_EQ(Var("MailProgress"), QString());
}

TEST_F(SendMail, CredentialsAndServersThatRefuse)
{
    SetVariable(QStringLiteral("[MailUserID]"), QStringLiteral("ann"));
    SetVariable(QStringLiteral("[MailUserPassword]"), QStringLiteral("wrong"));
    Run(QStringLiteral("SendMail \"bob@example.org\" \"ann@example.org\" \"S\" \"Hi\" \"\" \"\"\r\n"
                       "SetVar \"[denied]\" \"[LastError]\""));
    EXPECT_EQ(Var("denied"), Message(msgMailAccessDenied));
    EXPECT_TRUE(smtp.transactions.isEmpty());

    // A server that refuses the connection: the setting is cleared, so the
    // next SendMail asks for the server (answered here with nothing).
    SetVariable(QStringLiteral("[MailPort]"), QStringLiteral("1"));
    Run(QStringLiteral("SendMail \"bob@example.org\" \"ann@example.org\" \"S\" \"Hi\" \"\" \"\"\r\n"
                       "SetVar \"[refused]\" \"[LastError]\"\r\n"
                       "SendMail \"bob@example.org\" \"ann@example.org\" \"S\" \"Hi\" \"\" \"\"\r\n"
                       "SetVar \"[asked]\" \"[LastError]\""));
    EXPECT_EQ(Var("refused"), Message(msgMailHostUnreachable) + QStringLiteral(" 127.0.0.1"));
    EXPECT_TRUE(lines.filter(QStringLiteral("DIALOG InputBox")).size() == 1) << lines.join(u'\n').toStdString();
    EXPECT_EQ(Var("asked"), Message(msgNoMailServer));
}

TEST_F(SendMail, AServerWithoutAuthLoginGetsUserAndPass)
{
    TSmtpTestServer older(false);
    SetVariable(QStringLiteral("[MailPort]"), QString::number(older.Port()));
    SetVariable(QStringLiteral("[MailUserID]"), QStringLiteral("ann"));
    SetVariable(QStringLiteral("[MailUserPassword]"), QStringLiteral("pw"));
    Run(QStringLiteral("SendMail \"bob@example.org\" \"ann@example.org\" \"S\" \"Hi\" \"\" \"\""));
    EXPECT_TRUE(older.commands.contains("USER ann"));
    EXPECT_TRUE(older.commands.contains("PASS pw"));
    EXPECT_EQ(older.transactions.size(), 1);
}

// Credentials never cross the network readable when the server can do TLS:
// STARTTLS comes before AUTH, port 465 speaks TLS from the start, and a
// certificate that cannot be trusted stops the mail instead of sending the
// password in plain text.
TEST_F(SendMail, CredentialsTravelOnlyOverTls)
{
    const QString send = QStringLiteral("SendMail \"bob@example.org\" \"ann@example.org\" \"S\" \"Hi\" \"\" \"\"\r\n"
                                        "SetVar \"[error]\" \"<[LastError]>\"");
    SetVariable(QStringLiteral("[MailUserID]"), QStringLiteral("ann"));
    SetVariable(QStringLiteral("[MailUserPassword]"), QStringLiteral("secret"));
    {
        TSmtpTestServer untrusted(true, TSmtpTls::StartTls);
        SetVariable(QStringLiteral("[MailPort]"), QString::number(untrusted.Port()));
        Run(send);
        EXPECT_EQ(Var("error"), QLatin1Char('<') + Message(msgMailHostUnreachable) + QStringLiteral(" 127.0.0.1>"));
        EXPECT_FALSE(untrusted.commands.contains("AUTH LOGIN"));
        EXPECT_TRUE(untrusted.transactions.isEmpty());
    }
    TTrustTestCertificate trust;
    TSmtpTestServer offering(true, TSmtpTls::StartTls);
    SetVariable(QStringLiteral("[MailServer]"), QStringLiteral("127.0.0.1"));
    SetVariable(QStringLiteral("[MailPort]"), QString::number(offering.Port()));
    Run(send);
    EXPECT_EQ(Var("error"), QStringLiteral("<>"));
    ASSERT_EQ(offering.transactions.size(), 1);
    const qsizetype startTls = offering.commands.indexOf("STARTTLS");
    const qsizetype auth = offering.commands.indexOf("AUTH LOGIN");
    ASSERT_GE(startTls, 0);
    EXPECT_GT(auth, startTls);
    EXPECT_FALSE(offering.commandsEncrypted[startTls]);
    EXPECT_TRUE(offering.commandsEncrypted[auth]);
    EXPECT_TRUE(offering.commands[startTls + 1].startsWith("EHLO")) << "the greeting is repeated under TLS";

    TSmtpTestServer implicit(true, TSmtpTls::Implicit);
    TSmtpClient client(*session->Services().All().Pump, [] { return false; });
    ASSERT_TRUE(client.Connect(QStringLiteral("127.0.0.1"), implicit.Port(), true)) << client.Error().toStdString();
    EXPECT_TRUE(client.Encrypted());
    ASSERT_TRUE(client.Authenticate(QStringLiteral("ann"), QStringLiteral("secret"))) << client.Error().toStdString();
    client.Disconnect();
    ASSERT_FALSE(implicit.commands.isEmpty());
    EXPECT_TRUE(implicit.commandsEncrypted.front());
}

// Replies slipped in as plain text behind the answer to STARTTLS are never
// taken for the server's replies under TLS; and a server that hangs up
// there, with such lines still unread, fails the mail at once instead of
// after the minute a reply may take.
TEST_F(SendMail, PlainTextBehindStartTlsIsNeverReadAsAReply)
{
    TTrustTestCertificate trust;
    TSmtpTestServer server(true, TSmtpTls::StartTls);
    server.plainAfterStartTls = "250-injected\r\n250 STARTTLS\r\n";
    TMailMessage message;
    message.from = ParseMailSender(QStringLiteral("ann@example.org"));
    message.to = *ParseMailAddresses(QStringLiteral("bob@example.org"));
    message.plainBody = QStringLiteral("Hello");
    TSmtpClient client(*session->Services().All().Pump, [] { return false; });
    ASSERT_TRUE(client.Connect(QStringLiteral("127.0.0.1"), server.Port(), false)) << client.Error().toStdString();
    ASSERT_TRUE(client.Authenticate(QStringLiteral("ann"), QStringLiteral("secret"))) << client.Error().toStdString();
    EXPECT_TRUE(client.Send(message, BuildRawMail(message, QDateTime::currentDateTime()).text, {}))
        << "the dialogue lost its step: " << client.Error().toStdString();
    client.Disconnect();
    EXPECT_EQ(server.transactions.size(), 1);

    QTcpServer hangsUp;
    ASSERT_TRUE(hangsUp.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&hangsUp, &QTcpServer::newConnection, &hangsUp, [&hangsUp] {
        QTcpSocket* socket = hangsUp.nextPendingConnection();
        socket->write("220 ready\r\n");
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
            const QByteArray line = socket->readAll();
            if (line.startsWith("EHLO"))
                socket->write("250-here\r\n250 STARTTLS\r\n");
            if (line.startsWith("STARTTLS")) {
                socket->write("220 go ahead\r\n250 pending\r\n");
                socket->disconnectFromHost();
            }
        });
    });
    TSmtpClient abandoned(*session->Services().All().Pump, [] { return false; });
    EXPECT_FALSE(abandoned.Connect(QStringLiteral("127.0.0.1"), hangsUp.serverPort(), false));
    EXPECT_NE(abandoned.Error(), QStringLiteral("Timed out."));
}

// The composer and the client without the command: carbon and blind copies
// each get their own transaction, and the blind ones appear in no header.
TEST_F(SendMail, BlindCopiesAreSentButNeverNamed)
{
    TMailMessage message;
    message.from = ParseMailSender(QStringLiteral("Ann <ann@example.org>"));
    message.to = *ParseMailAddresses(QStringLiteral("bob@example.org"));
    message.cc = *ParseMailAddresses(QStringLiteral("Carol <carol@example.org>"));
    message.bcc = *ParseMailAddresses(QStringLiteral("dan@example.org"));
    message.subject = QStringLiteral("Copies");
    message.plainBody = QStringLiteral("Hello");
    const TRawMail raw = BuildRawMail(message, QDateTime::currentDateTime());
    ASSERT_TRUE(raw.error.isEmpty());
    TSmtpClient client(*session->Services().All().Pump, [] { return false; });
    ASSERT_TRUE(client.Connect(QStringLiteral("127.0.0.1"), smtp.Port(), false)) << client.Error().toStdString();
    ASSERT_TRUE(client.Send(message, raw.text, {})) << client.Error().toStdString();
    client.Disconnect();
    ASSERT_EQ(smtp.transactions.size(), 3);
    EXPECT_EQ(smtp.transactions[2].recipients, QList<QByteArray>{"dan@example.org"});
    EXPECT_TRUE(smtp.transactions[0].data.contains("CC: \"Carol\" <carol@example.org>"));
    EXPECT_FALSE(smtp.transactions[0].data.contains("dan@example.org"));
    EXPECT_TRUE(smtp.commands.contains("QUIT"));
}

// A server that never ends its reply, in one endless line or in endless
// continuation lines, is dropped once the reply passes its limit, instead
// of being read into memory for as long as it sends.
TEST_F(SendMail, EndlessRepliesAreCutOff)
{
    for (const QByteArray& unit : {QByteArray("220 no end in sight "), QByteArray("220-and more\r\n")}) {
        QTcpServer endless;
        ASSERT_TRUE(endless.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&endless, &QTcpServer::newConnection, &endless, [&endless, unit] {
            QTcpSocket* socket = endless.nextPendingConnection();
            socket->write(unit.repeated(TSmtpClient::kMaxReplyBytes / unit.size() + 100));
        });
        TSmtpClient client(*session->Services().All().Pump, [] { return false; });
        EXPECT_FALSE(client.Connect(QStringLiteral("127.0.0.1"), endless.serverPort(), false));
        EXPECT_EQ(client.Error(), QStringLiteral("The server's reply is too long.")) << unit.toStdString();
    }
}

} // namespace
} // namespace tomeric::testing
