#pragma once
// One HTTP request of the Internet commands and its answer. The transfer runs
// on Qt's network access, asynchronously on the calling (main) thread; the
// command waits for it in the message pump, so pages stay live and the user
// can cancel.
//
// What the publication asks is kept: the publication's title as user agent,
// the credentials and time-out of the script's variables, a port that
// replaces the URL's, never an answer from a cache. Beyond that, as users
// expect today: HTTPS with the system's certificates, redirects followed (at
// most kMaxRedirects), the system's proxy settings.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QSaveFile>
#include <QString>

#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

namespace tomeric {

struct THttpRequest {
    QString url;                  // "http://", "https://" or none (then http)
    QByteArray verb = "GET";      // GET, POST, or HEAD for the checks
    QByteArray body;              // POST: sent as a form
    QString userAgent;
    QString user, password;       // empty user: no credentials
    int port = -1;                // 0 or above replaces the URL's port
    int timeoutMs = 0;            // 0: none
    QString targetFile;           // non-empty: the body goes to this file
};

struct THttpResult {
    bool ok = false;
    bool cancelled = false;
    QString errorText;            // set when !ok and not cancelled
    QByteArray body;              // what arrived, for a transfer to memory
    QString contentType;
    qint64 contentLength = -1;    // -1 until known; 0 when the server gives none
};

// The status rule: a code below 100 or none at all counts as 404; below 300
// is success. The error text is the code, a blank and the server's status
// text, or "Fichier introuvable !" without one.
bool HttpStatusSucceeded(int status);
QString HttpStatusError(int status, const QString& reason);

// Progress as the commands report it: 0..100 per cent when the length is
// known, otherwise minus the bytes received so far.
int HttpProgressValue(qint64 received, qint64 length);

class THttpTransfer : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxRedirects = 10;

    // Called on the main thread as data arrives; false cancels the transfer.
    using ProgressSink = std::function<bool(int value)>;

    THttpTransfer(QNetworkAccessManager& network, THttpRequest request, ProgressSink progress = {});
    ~THttpTransfer() override;

    void Start();
    bool Done() const { return done_; }
    // Ends the transfer; a file being written is dropped and an earlier
    // file of that name stays as it was.
    void Cancel();
    const THttpResult& Result() const { return result_; }

private:
    void ReadAvailable();
    void Finish();
    void Fail(const QString& text);

    QNetworkAccessManager& network_;
    THttpRequest request_;
    ProgressSink progress_;
    QPointer<QNetworkReply> reply_;
    std::unique_ptr<QSaveFile> file_;
    qint64 received_ = 0;
    bool done_ = false;
    THttpResult result_;
};

// The URL as the request goes out: a missing scheme means http, and a port
// of 0 or above replaces the URL's.
QString HttpRequestUrl(const QString& url, int port);

} // namespace tomeric
