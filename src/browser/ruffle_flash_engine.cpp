#include "browser/ruffle_flash_engine.h"

#include "browser/ruffle_location.h"
#include "browser/ruffle_movie.h"
#include "browser/ruffle_player_page.h"
#include "browser/ruffle_scheme.h"
#include "browser/web_engine_setup.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <iostream>

namespace tomeric {

namespace {

// ScaleMode → Ruffle's scale; other values show all of the movie.
QString RuffleScale(int scaleMode)
{
    static const char* const kScales[] = {"showAll", "noBorder", "exactFit", "noScale"};
    if (scaleMode < 0 || scaleMode >= int(std::size(kScales)))
        scaleMode = 0;
    return QLatin1String(kScales[scaleMode]);
}

// The object's properties as Ruffle's configuration. Script access is
// always on here: the object decides what a movie's commands may do.
QJsonObject RuffleConfig(const TFlashPlayback& playback, const QUrl& movieUrl)
{
    QJsonObject config{
        {QStringLiteral("url"), movieUrl.toString(QUrl::FullyEncoded)},
        {QStringLiteral("allowScriptAccess"), true},
        {QStringLiteral("splashScreen"), false},
        {QStringLiteral("unmuteOverlay"), QStringLiteral("hidden")},
        {QStringLiteral("letterbox"), QStringLiteral("off")},
        {QStringLiteral("contextMenu"), playback.contextMenu ? QStringLiteral("on") : QStringLiteral("off")},
        {QStringLiteral("menu"), playback.contextMenu},
        {QStringLiteral("scale"), RuffleScale(playback.scaleMode)},
        {QStringLiteral("wmode"), playback.transparent ? QStringLiteral("transparent") : QStringLiteral("window")},
        {QStringLiteral("logLevel"), QStringLiteral("error")},
    };
    if (playback.background)
        config.insert(QStringLiteral("backgroundColor"), playback.background->name(QColor::HexRgb));
    return config;
}

QString NextToken()
{
    static int counter = 0;
    return QString::number(++counter);
}

} // namespace

TRufflePage::TRufflePage(TFlashEngineEvents& events, QObject* parent) : QWebEnginePage(parent), events_(events) {}

// The page stays the player page: a movie's links lead nowhere from here.
bool TRufflePage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame)
{
    return isMainFrame && url == RufflePlayerPageUrl();
}

bool TRufflePage::javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                                   QString* result)
{
    const QString marker = QLatin1String(kRufflePromptMarker);
    if (!message.startsWith(marker))
        return QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
    const QString what = message.mid(marker.size());
    const QJsonArray args = QJsonDocument::fromJson(defaultValue.toUtf8()).array();
    const QString first = args.at(0).toString(), second = args.at(1).toString();
    if (what == QLatin1String("ready"))
        events_.MovieReady(first.toInt());
    else if (what == QLatin1String("fscommand"))
        events_.MovieCommand(first, second);
    else if (what == QLatin1String("end"))
        events_.MovieEnded();
    else if (what == QLatin1String("failed"))
        events_.MovieFailed(first);
    *result = QString();
    return true;
}

QWebEnginePage* TRufflePage::createWindow(WebWindowType) { return nullptr; }

// Ruffle's messages say why a movie does not show; they go to standard
// error when TOMERIC_FLASH_LOG is set (its errors include harmless ones,
// such as a missing WebGL off screen).
void TRufflePage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                           const QString&)
{
    if (qEnvironmentVariableIsSet("TOMERIC_FLASH_LOG"))
        std::cerr << "flash: " << message.toStdString() << std::endl;
}

TRuffleFlashEngine::TRuffleFlashEngine(QWidget* parent, TFlashEngineEvents& events)
    : view_(new QWebEngineView(parent)), page_(new TRufflePage(events, view_)), token_(NextToken())
{
    WebEngineStarting();
    InstallRuffleScheme();
    QWebEngineSettings* settings = page_->settings();
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    settings->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    view_->setPage(page_);
    QObject::connect(page_, &QWebEnginePage::loadFinished, view_, [this](bool ok) {
        pageReady_ = ok;
        if (!ok)
            return;
        const QStringList calls = std::exchange(waiting_, {});
        for (const QString& call : calls)
            page_->runJavaScript(call);
    });
    page_->load(RufflePlayerPageUrl());
    // Ruffle runs only in a view that is shown.
    view_->show();
}

TRuffleFlashEngine::~TRuffleFlashEngine()
{
    ForgetMovie(token_);
    delete view_;
}

QWidget* TRuffleFlashEngine::View() { return view_; }

void TRuffleFlashEngine::Call(const QString& script)
{
    if (pageReady_)
        page_->runJavaScript(script);
    else
        waiting_.append(script);
}

void TRuffleFlashEngine::Load(const TFlashPlayback& playback)
{
    page_->setBackgroundColor(playback.transparent ? QColor(Qt::transparent) : QColor(Qt::white));
    const QUrl movieUrl = ServeMovie(token_, playback.name, PreparedMovie(playback.movie, playback.playOnce));
    const QByteArray config = QJsonDocument(RuffleConfig(playback, movieUrl)).toJson(QJsonDocument::Compact);
    waiting_.clear();
    Call(QStringLiteral("tomericFlash.load(%1, %2)")
             .arg(QString::fromUtf8(config), playback.autoStart ? QStringLiteral("false") : QStringLiteral("true")));
}

void TRuffleFlashEngine::Play() { Call(QStringLiteral("tomericFlash.play()")); }

void TRuffleFlashEngine::Pause() { Call(QStringLiteral("tomericFlash.pause()")); }

void TRuffleFlashEngine::Rewind() { Call(QStringLiteral("tomericFlash.rewind()")); }

TFlashEngine* CreateRuffleFlashEngine(QWidget* parent, TFlashEngineEvents& events)
{
    if (RuffleFolder().isEmpty())
        return nullptr;
    return new TRuffleFlashEngine(parent, events);
}

} // namespace tomeric
