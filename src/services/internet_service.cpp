#include "services/internet_service.h"

#include "platform/cp1252.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "services/http_transfer.h"
#include "services/mail_message.h"
#include "services/smtp_client.h"
#include "platform/registry_store.h"
#include "vars/builtin_vars.h"
#include "vars/variables.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QNetworkInformation>
#include <QNetworkInterface>
#include <QNetworkProxyFactory>
#include <QStringDecoder>

namespace tomeric {

namespace {

constexpr int kWaitSliceMs = 20;

enum class TTransferKind { tkDownload, tkGet, tkPost, tkExists, tkSize };

// What each transfer command sends and where its parameters are.
struct TTransferCommand {
    const char* name;
    TTransferKind kind;
    int resultSlot;  // the variable parameter; 0: none
    int optionsSlot;
};

constexpr TTransferCommand kTransfers[] = {
    {"DownloadFile", TTransferKind::tkDownload, 0, 3},
    {"InternetGet", TTransferKind::tkGet, 2, 3},
    {"InternetPost", TTransferKind::tkPost, 3, 4},
    {"InternetFileExists", TTransferKind::tkExists, 2, 3},
    {"InternetFileSize", TTransferKind::tkSize, 2, 3},
};

const TTransferCommand* FindTransfer(const QString& command)
{
    for (const TTransferCommand& entry : kTransfers)
        if (command.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return &entry;
    return nullptr;
}

bool Is(const ServiceCall& call, const char* name)
{
    return call.Command.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

bool HasOption(const QString& options, const char* word)
{
    return options.contains(QLatin1String(word), Qt::CaseInsensitive);
}

// A number of a variable; `fallback` when it holds none.
int NumberVariable(const char* name, int fallback)
{
    bool ok = false;
    const int value = GetVariable(QString::fromLatin1(name)).trimmed().toInt(&ok);
    return ok ? value : fallback;
}

// Text as the server sent it: UTF-8 when it says so or the bytes are valid
// UTF-8, otherwise the Windows code page publications are written in.
QString DecodeBody(const QByteArray& body, const QString& contentType)
{
    if (contentType.contains(QLatin1String("utf-8"), Qt::CaseInsensitive))
        return QString::fromUtf8(body);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(body);
    return utf8.hasError() ? DecodeWindows1252(body) : decoded;
}

THttpRequest RequestFor(const ServiceCall& call, const TTransferCommand& command)
{
    THttpRequest request;
    request.url = call.Params.value(0);
    request.userAgent = GetVariable(QStringLiteral("[PubTitle]"));
    request.user = GetVariable(QStringLiteral("[HTTPUserID]"));
    request.password = GetVariable(QStringLiteral("[HTTPUserPassword]"));
    request.timeoutMs = std::max(0, NumberVariable("[HTTPTimeOut]", 0));
    request.port = NumberVariable("[HTTPPort]", -1);
    switch (command.kind) {
    case TTransferKind::tkDownload:
        request.targetFile = platform::NativePath(call.Params.value(1));
        break;
    case TTransferKind::tkPost:
        request.verb = "POST";
        request.body = EncodeWindows1252(call.Params.value(1));
        break;
    case TTransferKind::tkExists:
    case TTransferKind::tkSize:
        request.verb = "HEAD";
        break;
    case TTransferKind::tkGet:
        break;
    }
    return request;
}

bool IsLoopbackHost(const QString& host)
{
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 || host.startsWith(QLatin1String("127.")) ||
           host == QLatin1String("::1");
}

// The system's default mail account's SMTP server, as the mail programs of
// the era kept it in the registry.
QString DefaultMailAccountServer()
{
    const QString manager = QStringLiteral("Software\\Microsoft\\Internet Account Manager");
    platform::RegistryStore store;
    platform::RegistryValue account, server;
    if (!store.ReadValue(platform::RegistryRoot::CurrentUser, manager, QStringLiteral("Default Mail Account"), &account).ok() ||
        account.text.isEmpty())
        return QString();
    if (!store.ReadValue(platform::RegistryRoot::CurrentUser, manager + QStringLiteral("\\Accounts\\") + account.text,
                         QStringLiteral("SMTP Server"), &server).ok())
        return QString();
    return server.text;
}

// The body text: "|" is a line break.
QString MailText(const QString& text)
{
    return QString(text).replace(QLatin1Char('|'), QLatin1String("\r\n"));
}

} // namespace

TInternetService::TInternetService(Services& services, LinkOpener openLink, CommandService* next)
    : services_(services), openLink_(std::move(openLink)), next_(next)
{
    QNetworkProxyFactory::setUseSystemConfiguration(true);
}

bool TInternetService::SystemConnected()
{
    if (QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        const auto reachability = QNetworkInformation::instance()->reachability();
        if (reachability != QNetworkInformation::Reachability::Unknown)
            return reachability == QNetworkInformation::Reachability::Online;
    }
    for (const QNetworkInterface& face : QNetworkInterface::allInterfaces()) {
        const auto flags = face.flags();
        if ((flags & QNetworkInterface::IsUp) && (flags & QNetworkInterface::IsRunning) &&
            !(flags & QNetworkInterface::IsLoopBack) && !face.addressEntries().isEmpty())
            return true;
    }
    return false;
}

ServiceReply TInternetService::Perform(const ServiceCall& call)
{
    ServiceReply reply;
    reply.LastError = QString(); // every Internet command clears it first
    if (FindTransfer(call.Command) || Is(call, "SendMail")) {
        if (busy_) {
            reply.LastError = Message(msgOneInternetCommand);
            return reply;
        }
        busy_ = true;
        reply = FindTransfer(call.Command) ? RunTransfer(call) : SendMail(call);
        busy_ = false;
        return reply;
    }
    if (Is(call, "CheckInternetConnection") || Is(call, "ConnectToInternet")) {
        reply.Results[1] = SystemConnected() ? QStringLiteral("True") : QStringLiteral("False");
    } else if (Is(call, "DisconnectFromInternet")) {
        // No dial-up connection to hang up here: nothing to do.
    } else if (Is(call, "InternetLink")) {
        if (openLink_)
            if (const std::optional<QString> failure = openLink_(call.Params.value(0)))
                reply.LastError = *failure;
    } else {
        return next_ ? next_->Perform(call) : ServiceReply{};
    }
    return reply;
}

ServiceReply TInternetService::RunTransfer(const ServiceCall& call)
{
    const TTransferCommand& command = *FindTransfer(call.Command);
    ServiceReply reply;
    reply.LastError = QString();
    const QString options = call.Params.value(command.optionsSlot - 1);
    const bool withProgress = command.kind == TTransferKind::tkDownload || command.kind == TTransferKind::tkGet;
    if (withProgress)
        SetVariable(QStringLiteral("[DownloadProgress]"), QStringLiteral("0"));
    if (view_) {
        QString message = services_.Publication ? services_.Publication->LanguageText(ltDownloadFile) : QString();
        message.replace(QLatin1String("%s"), call.Params.value(0));
        view_->Begin(message, withProgress && !HasOption(options, "HideProgress"), !HasOption(options, "Async"));
    }

    THttpTransfer transfer(network_, RequestFor(call, command), [this, withProgress](int value) {
        if (!withProgress)
            return true;
        if (CancelWanted(QStringLiteral("[DownloadProgress]")))
            return false;
        SetVariable(QStringLiteral("[DownloadProgress]"), QString::number(value));
        if (view_)
            view_->Progress(value);
        return true;
    });
    transfer.Start();
    Wait(transfer, withProgress);
    const THttpResult& result = transfer.Result();

    switch (command.kind) {
    case TTransferKind::tkGet:
    case TTransferKind::tkPost:
        reply.Results[command.resultSlot] = result.ok ? DecodeBody(result.body, result.contentType) : QString();
        break;
    case TTransferKind::tkExists:
        reply.Results[command.resultSlot] =
            result.ok && result.contentLength > 0 ? QStringLiteral("True") : QStringLiteral("False");
        break;
    case TTransferKind::tkSize:
        reply.Results[command.resultSlot] = QString::number(result.ok ? std::max<qint64>(0, result.contentLength) : -1);
        break;
    case TTransferKind::tkDownload:
        break;
    }
    if (!result.ok && !result.cancelled && command.kind != TTransferKind::tkExists)
        reply.LastError = result.errorText;
    if (view_)
        view_->End();
    return reply;
}

bool TInternetService::CancelWanted(const QString& progressVariable) const
{
    return GetVariable(progressVariable).compare(QLatin1String("Cancel"), Qt::CaseInsensitive) == 0 ||
           (view_ && view_->CancelRequested()) || Pump().ShuttingDown();
}

void TInternetService::Wait(THttpTransfer& transfer, bool cancellable)
{
    // A timer action may ask for the cancel while no data arrives.
    while (!transfer.Done()) {
        if (Pump().ShuttingDown() || (cancellable && CancelWanted(QStringLiteral("[DownloadProgress]")))) {
            transfer.Cancel();
            return;
        }
        Pump().WaitForMessages(kWaitSliceMs, false);
    }
}

} // namespace tomeric

namespace tomeric {

QString TInternetService::MailServer()
{
    PublicationFacts& facts = CurrentPublicationFacts();
    QString server = facts.mailServer;
    const bool setByPublication = !server.isEmpty() && server.compare(QLatin1String("DETECT"), Qt::CaseInsensitive) != 0;
    if (!setByPublication)
        server = DefaultMailAccountServer();
    if (!setByPublication && services_.Dialogs) {
        const PublicationAccess* publication = services_.Publication;
        const auto answer = services_.Dialogs->InputBox(
            publication ? publication->LanguageText(ltSendEmail) : BuiltinWord(ltSendEmail),
            publication ? publication->LanguageText(ltMailServer) : BuiltinWord(ltMailServer), server);
        server = answer.value_or(QString()).trimmed();
        facts.mailServer = server; // later mails do not ask again
    }
    return server;
}

ServiceReply TInternetService::SendMail(const ServiceCall& call)
{
    ServiceReply reply;
    const auto finish = [this, &reply](const QString& error) {
        SetVariable(QStringLiteral("[MailProgress]"), QString());
        if (view_)
            view_->End();
        reply.LastError = error;
        return reply;
    };

    const QString server = MailServer();
    if (server.isEmpty())
        return finish(Message(msgNoMailServer));
    if (!IsLoopbackHost(server) && !SystemConnected())
        return finish(Message(msgNotConnected));

    TMailMessage message;
    message.from = ParseMailSender(call.Params.value(1));
    if (message.from.name.isEmpty())
        message.from.name = GetVariable(QStringLiteral("[UserName]"));
    message.localHost = message.from.address.section(QLatin1Char('@'), 1);
    const auto recipients = ParseMailAddresses(call.Params.value(0));
    if (!recipients)
        return finish(QStringLiteral("Unable to parse email address"));
    message.to = *recipients;
    message.subject = call.Params.value(2);
    const QString text = MailText(call.Params.value(3));
    (text.contains(QLatin1String("<HTML>"), Qt::CaseInsensitive) ? message.htmlBody : message.plainBody) = text;
    const QStringList files = call.Params.value(4).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    for (const QString& name : files) {
        const QString path = platform::NativePath(services_.Publication ? services_.Publication->ResolveFile(name) : name);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return finish(QStringLiteral("Cannot read ") + name);
        message.attachments.push_back(
            {QFileInfo(path).fileName(), QMimeDatabase().mimeTypeForFile(path).name(), file.readAll()});
    }
    const TRawMail raw = BuildRawMail(message, QDateTime::currentDateTime());
    if (!raw.error.isEmpty())
        return finish(raw.error);

    SetVariable(QStringLiteral("[MailProgress]"), QStringLiteral("0"));
    TSmtpClient client(Pump(), [this] { return CancelWanted(QStringLiteral("[MailProgress]")); });
    bool portOk = false;
    const int port = GetVariable(QStringLiteral("[MailPort]")).trimmed().toInt(&portOk);
    const quint16 mailPort = portOk && port > 0 && port < 65536 ? quint16(port) : quint16(25);
    if (!client.Connect(server, mailPort, mailPort == TSmtpClient::kImplicitTlsPort)) {
        CurrentPublicationFacts().mailServer.clear(); // the next SendMail asks again
        return finish(Message(msgMailHostUnreachable) + QLatin1Char(' ') + server);
    }
    const QString user = GetVariable(QStringLiteral("[MailUserID]"));
    const QString password = GetVariable(QStringLiteral("[MailUserPassword]"));
    if (!user.isEmpty() && !password.isEmpty() && !client.Authenticate(user, password)) {
        client.Disconnect();
        return finish(Message(msgMailAccessDenied));
    }
    if (view_) {
        const QString words = services_.Publication ? services_.Publication->LanguageText(ltSendEmail) : QString();
        view_->Begin(words, !HasOption(call.Params.value(5), "HideProgress"), true);
        view_->Progress(0);
    }
    const bool sent = client.Send(message, raw.text, [this](int percent) {
        SetVariable(QStringLiteral("[MailProgress]"), QString::number(percent));
        if (view_)
            view_->Progress(percent);
    });
    client.Disconnect();
    if (client.Cancelled())
        return finish(Message(msgMailCancelled));
    if (!sent)
        return finish(Message(msgMailHostUnreachable) + QLatin1Char(' ') + server);
    return finish(QString());
}

} // namespace tomeric
