#include "services/http_transfer.h"

#include "platform/string_table.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <cmath>

namespace tomeric {

namespace {

constexpr qint64 kBlockSize = 8191;

QNetworkRequest MakeRequest(const THttpRequest& request)
{
    QNetworkRequest made{QUrl(HttpRequestUrl(request.url, request.port))};
    if (!request.userAgent.isEmpty())
        made.setRawHeader("User-Agent", request.userAgent.toUtf8());
    made.setRawHeader("Accept", "*/*");
    made.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    made.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    made.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    made.setMaximumRedirectsAllowed(THttpTransfer::kMaxRedirects);
    if (request.timeoutMs > 0)
        made.setTransferTimeout(request.timeoutMs);
    if (!request.user.isEmpty()) {
        const QByteArray pair = (request.user + QLatin1Char(':') + request.password).toUtf8();
        made.setRawHeader("Authorization", "Basic " + pair.toBase64());
    }
    if (request.verb == "POST")
        made.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
    return made;
}

} // namespace

QString HttpRequestUrl(const QString& url, int port)
{
    QString text = url.trimmed();
    if (!text.contains(QLatin1String("://")))
        text.prepend(QLatin1String("http://"));
    QUrl parsed(text);
    if (port >= 0)
        parsed.setPort(port);
    return parsed.toString();
}

bool HttpStatusSucceeded(int status)
{
    return status >= 100 && status < 300;
}

QString HttpStatusError(int status, const QString& reason)
{
    const int code = status < 100 ? 404 : status;
    return QString::number(code) + QLatin1Char(' ') + (reason.isEmpty() ? Message(msgNotFound) : reason);
}

int HttpProgressValue(qint64 received, qint64 length)
{
    if (length > 0)
        return int(std::lround(double(received) / double(length) * 100.0));
    return int(-std::min<qint64>(received, std::numeric_limits<int>::max()));
}

THttpTransfer::THttpTransfer(QNetworkAccessManager& network, THttpRequest request, ProgressSink progress)
    : network_(network), request_(std::move(request)), progress_(std::move(progress))
{
}

THttpTransfer::~THttpTransfer()
{
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
}

void THttpTransfer::Start()
{
    if (!request_.targetFile.isEmpty()) {
        // Written beside the target and renamed over it at the end, so a
        // failed or cancelled download never leaves half a file.
        file_ = std::make_unique<QSaveFile>(request_.targetFile);
        if (!file_->open(QIODevice::WriteOnly)) {
            Fail(file_->errorString());
            return;
        }
    }
    const QNetworkRequest made = MakeRequest(request_);
    if (request_.verb == "POST")
        reply_ = network_.post(made, request_.body);
    else if (request_.verb == "HEAD")
        reply_ = network_.head(made);
    else
        reply_ = network_.get(made);
    reply_->setReadBufferSize(0);
    connect(reply_, &QNetworkReply::readyRead, this, &THttpTransfer::ReadAvailable);
    connect(reply_, &QNetworkReply::finished, this, &THttpTransfer::Finish);
}

void THttpTransfer::ReadAvailable()
{
    if (!reply_ || done_)
        return;
    // Bodies of error answers are not the file asked for.
    const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && !HttpStatusSucceeded(status.toInt()))
        return;
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    result_.contentLength = length.isValid() ? length.toLongLong() : 0;
    while (reply_->bytesAvailable() > 0) {
        const QByteArray block = reply_->read(kBlockSize);
        if (block.isEmpty())
            break;
        received_ += block.size();
        if (file_) {
            if (file_->write(block) != block.size()) {
                Fail(file_->errorString());
                return;
            }
        } else {
            result_.body += block;
        }
    }
    if (progress_ && !progress_(HttpProgressValue(received_, result_.contentLength)))
        Cancel();
}

void THttpTransfer::Finish()
{
    if (done_ || !reply_)
        return;
    ReadAvailable();
    if (done_)
        return;
    const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) {
        Fail(reply_->errorString());
        return;
    }
    const int code = status.toInt();
    if (!HttpStatusSucceeded(code)) {
        Fail(HttpStatusError(code, reply_->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()));
        return;
    }
    if (reply_->error() != QNetworkReply::NoError) { // cut off after a good status
        Fail(reply_->errorString());
        return;
    }
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    result_.contentLength = length.isValid() ? length.toLongLong() : 0;
    result_.contentType = reply_->header(QNetworkRequest::ContentTypeHeader).toString();
    if (file_ && !file_->commit()) {
        file_.reset();
        Fail(QStringLiteral("cannot write ") + request_.targetFile);
        return;
    }
    file_.reset();
    result_.ok = true;
    done_ = true;
    reply_->deleteLater();
}

void THttpTransfer::Cancel()
{
    if (done_)
        return;
    result_.cancelled = true;
    Fail(QString());
}

void THttpTransfer::Fail(const QString& text)
{
    if (file_) {
        file_->cancelWriting();
        file_.reset();
    }
    result_.ok = false;
    result_.errorText = text;
    result_.body.clear();
    done_ = true;
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
        reply_ = nullptr;
    }
}

} // namespace tomeric
