#include "browser/embedded_scheme.h"

#include "package/package.h"
#include "vars/variables.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>

namespace tomeric {

namespace {

const QString kHost = QStringLiteral("app");
const QString kPrefix = QStringLiteral("tomeric-ie:");

// The included file of that name, or a file of that name in the
// publication's folder.
std::optional<QByteArray> FileContents(const QString& fileName)
{
    if (fileName.isEmpty())
        return std::nullopt;
    const QString entry = FindIncludedName(fileName);
    if (FindEmbedded(entry)) {
        TEmbeddedLoad load = LoadEmbeddedToMemory(entry);
        if (load.code == 0)
            return load.data;
        return std::nullopt;
    }
    const QString folder = GetVariable(QStringLiteral("[PubDir]"));
    if (folder.isEmpty())
        return std::nullopt;
    QFile file(QDir(folder).filePath(fileName));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

QUrl EngineUrl(const QString& address)
{
    QString name = address.mid(kPrefix.size());
    name.replace(u'\\', u'/');
    while (name.startsWith(u'/'))
        name.remove(0, 1);
    QUrl url;
    url.setScheme(QLatin1String(kEmbeddedSchemeName));
    url.setHost(kHost);
    url.setPath(u'/' + name);
    return url;
}

QString PublicationAddress(const QUrl& url)
{
    if (url.scheme() == QLatin1String(kEmbeddedSchemeName))
        return kPrefix + url.path(QUrl::FullyEncoded).mid(1);
    return url.toString(QUrl::FullyEncoded);
}

QUrl EmbeddedBaseUrl() { return EngineUrl(kPrefix); }

void TEmbeddedFileScheme::requestStarted(QWebEngineUrlRequestJob* job)
{
    const QString fileName = QFileInfo(job->requestUrl().path()).fileName();
    const std::optional<QByteArray> data = FileContents(fileName);
    if (!data) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    QByteArray mime = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension).name().toLatin1();
    auto* buffer = new QBuffer(job);
    buffer->setData(*data);
    buffer->open(QIODevice::ReadOnly);
    job->reply(mime, buffer);
}

void InstallEmbeddedScheme()
{
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    if (profile->urlSchemeHandler(kEmbeddedSchemeName))
        return;
    profile->installUrlSchemeHandler(kEmbeddedSchemeName, new TEmbeddedFileScheme(profile));
}

} // namespace tomeric
