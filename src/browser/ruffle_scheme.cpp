#include "browser/ruffle_scheme.h"

#include "browser/ruffle_location.h"
#include "browser/ruffle_player_page.h"
#include "package/package.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

#include <optional>

namespace tomeric {

namespace {

const QString kHost = QStringLiteral("player");
const QString kRuffleFolder = QStringLiteral("ruffle");
const QString kMovieFolder = QStringLiteral("movie");

struct TServedMovie {
    QString name;
    QByteArray bytes;
};

// The movies of the Flash objects, by token (main thread only).
QHash<QString, TServedMovie>& ServedMovies()
{
    static QHash<QString, TServedMovie> movies;
    return movies;
}

QByteArray MimeType(const QString& fileName)
{
    struct TMime {
        const char* suffix;
        const char* type;
    };
    static const TMime kTypes[] = {
        {"html", "text/html"},
        {"js", "text/javascript"},
        {"wasm", "application/wasm"},
        {"swf", "application/x-shockwave-flash"},
        {"json", "application/json"},
    };
    const QString suffix = QFileInfo(fileName).suffix();
    for (const TMime& mime : kTypes)
        if (suffix.compare(QLatin1String(mime.suffix), Qt::CaseInsensitive) == 0)
            return mime.type;
    return "application/octet-stream";
}

std::optional<QByteArray> ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

std::optional<QByteArray> RuffleFile(const QString& fileName)
{
    const QString folder = RuffleFolder();
    if (folder.isEmpty() || fileName.isEmpty())
        return std::nullopt;
    return ReadFile(QDir(folder).filePath(fileName));
}

std::optional<QByteArray> IncludedFile(const QString& fileName)
{
    const QString entry = FindIncludedName(fileName);
    if (!FindEmbedded(entry))
        return std::nullopt;
    TEmbeddedLoad load = LoadEmbeddedToMemory(entry);
    if (load.code != 0)
        return std::nullopt;
    return std::move(load.data);
}

std::optional<QByteArray> MovieFile(const QString& token, const QString& fileName)
{
    const auto served = ServedMovies().constFind(token);
    if (served != ServedMovies().constEnd() && served->name.compare(fileName, Qt::CaseInsensitive) == 0)
        return served->bytes;
    return IncludedFile(fileName);
}

// What a path of the scheme names: its folders, then the file name.
std::optional<QByteArray> Contents(const QStringList& folders, const QString& fileName)
{
    if (folders.isEmpty() && fileName == QLatin1String("player.html"))
        return RufflePlayerPage();
    if (folders.size() == 1 && folders[0] == kRuffleFolder)
        return RuffleFile(fileName);
    if (folders.size() == 2 && folders[0] == kMovieFolder)
        return MovieFile(folders[1], fileName);
    return std::nullopt;
}

} // namespace

void RegisterRuffleScheme()
{
    QWebEngineUrlScheme scheme(kRuffleSchemeName);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled |
                    QWebEngineUrlScheme::ContentSecurityPolicyIgnored);
    QWebEngineUrlScheme::registerScheme(scheme);
}

void InstallRuffleScheme()
{
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    if (profile->urlSchemeHandler(kRuffleSchemeName))
        return;
    profile->installUrlSchemeHandler(kRuffleSchemeName, new TRuffleScheme(profile));
}

QUrl RufflePlayerPageUrl()
{
    QUrl url;
    url.setScheme(QLatin1String(kRuffleSchemeName));
    url.setHost(kHost);
    url.setPath(QStringLiteral("/player.html"));
    return url;
}

QUrl ServeMovie(const QString& token, const QString& name, const QByteArray& movie)
{
    ServedMovies().insert(token, {name, movie});
    QUrl url = RufflePlayerPageUrl();
    url.setPath(QStringLiteral("/%1/%2/%3").arg(kMovieFolder, token, name));
    return url;
}

void ForgetMovie(const QString& token) { ServedMovies().remove(token); }

void TRuffleScheme::requestStarted(QWebEngineUrlRequestJob* job)
{
    const QUrl url = job->requestUrl();
    QStringList parts = url.path().split(u'/', Qt::SkipEmptyParts);
    const QString fileName = parts.isEmpty() ? QString() : parts.takeLast();
    const std::optional<QByteArray> data =
        url.host() == kHost ? Contents(parts, fileName) : std::nullopt;
    if (!data) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto* buffer = new QBuffer(job);
    buffer->setData(*data);
    buffer->open(QIODevice::ReadOnly);
    job->reply(MimeType(fileName), buffer);
}

} // namespace tomeric
