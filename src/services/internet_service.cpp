#include "services/internet_service.h"

#include "platform/cp1252.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "services/http_transfer.h"
#include "vars/variables.h"

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

} // namespace

TInternetService::TInternetService(MessagePump& pump, LinkOpener openLink, CommandService* next)
    : pump_(pump), openLink_(std::move(openLink)), next_(next)
{
    QNetworkProxyFactory::setUseSystemConfiguration(true);
}

bool TInternetService::SystemConnected()
{
    if (QNetworkInformation::load(QNetworkInformation::Feature::Reachability)) {
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
    if (FindTransfer(call.Command))
        return RunTransfer(call);
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
    if (busy_) {
        reply.LastError = Message(msgOneInternetCommand);
        return reply;
    }
    busy_ = true;
    const QString options = call.Params.value(command.optionsSlot - 1);
    const bool withProgress = command.kind == TTransferKind::tkDownload || command.kind == TTransferKind::tkGet;
    if (withProgress)
        SetVariable(QStringLiteral("[DownloadProgress]"), QStringLiteral("0"));
    if (view_)
        view_->Begin(call.Params.value(0), withProgress && !HasOption(options, "HideProgress"),
                     !HasOption(options, "Async"));

    THttpTransfer transfer(network_, RequestFor(call, command), [this, withProgress](int value) {
        if (!withProgress)
            return true;
        if (CancelWanted())
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
    busy_ = false;
    return reply;
}

bool TInternetService::CancelWanted() const
{
    return GetVariable(QStringLiteral("[DownloadProgress]")).compare(QLatin1String("Cancel"), Qt::CaseInsensitive) == 0 ||
           (view_ && view_->CancelRequested()) || pump_.ShuttingDown();
}

void TInternetService::Wait(THttpTransfer& transfer, bool cancellable)
{
    // A timer action may ask for the cancel while no data arrives.
    while (!transfer.Done()) {
        if (pump_.ShuttingDown() || (cancellable && CancelWanted())) {
            transfer.Cancel();
            return;
        }
        pump_.WaitForMessages(kWaitSliceMs, false);
    }
}

} // namespace tomeric
