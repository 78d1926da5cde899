#include "browser/web_engine_browser.h"

#include "browser/embedded_scheme.h"
#include "browser/web_engine_setup.h"

#include "publication/object_model.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <memory>

namespace tomeric {

namespace {

// How long a command waits for the page to answer a script.
constexpr int kScriptAnswerMs = 5000;

const QString kBridgeMarker = QStringLiteral("__tomeric_external__:");

// `window.external` for pages written for the original player; the calls
// reach TBrowserPage::javaScriptPrompt.
const QString kExternalJs = QStringLiteral(R"JS(
(function () {
  var marker = '__tomeric_external__:';
  var call = function (op, a, b) {
    return window.prompt(marker + op, JSON.stringify([String(a), b === undefined ? '' : String(b)]));
  };
  var external = {
    qxExecAction: function (action) { call('exec', action); },
    qxGetVar: function (name) { var v = call('get', name); return v === null ? '' : v; },
    qxSetVar: function (name, value) { call('set', name, value); }
  };
  try { window.external = external; } catch (e) {}
  if (window.external !== external)
    Object.defineProperty(window, 'external', {value: external, configurable: true});
})();
)JS");

QWebEngineScript ExternalObjectScript()
{
    QWebEngineScript script;
    script.setName(QStringLiteral("tomeric-external"));
    script.setSourceCode(kExternalJs);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    return script;
}

QUrl UrlForAddress(const QString& address)
{
    if (address.startsWith(QLatin1String("tomeric-ie:"), Qt::CaseInsensitive))
        return EngineUrl(address);
    if (address.contains(QLatin1String("://")) || address.startsWith(QLatin1String("about:"), Qt::CaseInsensitive))
        return QUrl(address);
    if (QFileInfo(address).isAbsolute())
        return QUrl::fromLocalFile(address);
    return QUrl::fromUserInput(address);
}

} // namespace

TBrowserPage::TBrowserPage(TBrowserEngineEvents& events, QObject* parent)
    : QWebEnginePage(parent), events_(events)
{
}

bool TBrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    // Documents loaded from a text need no rules.
    if (url.scheme() == QLatin1String("data"))
        return true;
    const bool inPage = type == NavigationTypeLinkClicked || type == NavigationTypeFormSubmitted ||
                        type == NavigationTypeOther;
    return events_.BeforeNavigate(PublicationAddress(url), inPage, isMainFrame);
}

bool TBrowserPage::javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                                    QString* result)
{
    if (!message.startsWith(kBridgeMarker))
        return QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
    const QString op = message.mid(kBridgeMarker.size());
    const QStringList args = QVariant(QJsonDocument::fromJson(defaultValue.toUtf8()).toVariant()).toStringList();
    const QString first = args.value(0), second = args.value(1);
    if (op == QLatin1String("exec"))
        events_.ExecActionFromPage(first);
    else if (op == QLatin1String("set"))
        events_.SetVarFromPage(first, second);
    else if (op == QLatin1String("get"))
        *result = events_.GetVarFromPage(first);
    return true;
}

// Windows a page opens stay in the object: the page takes their address.
QWebEnginePage* TBrowserPage::createWindow(WebWindowType type)
{
    (void)type;
    return this;
}

TWebEngineBrowser::TWebEngineBrowser(QWidget* parent, TBrowserEngineEvents& events, bool hideScrollBars)
    : view_(new QWebEngineView(parent)), page_(new TBrowserPage(events, view_))
{
    WebEngineStarting();
    InstallEmbeddedScheme();
    QWebEngineSettings* settings = page_->settings();
    settings->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowAllUnknownUrlSchemes);
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    settings->setAttribute(QWebEngineSettings::ShowScrollBars, !hideScrollBars);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    page_->scripts().insert(ExternalObjectScript());
    view_->setPage(page_);
    QObject::connect(page_, &QWebEnginePage::loadStarted, view_, [&events] { events.DownloadBegin(); });
    QObject::connect(page_, &QWebEnginePage::loadFinished, view_, [this, &events](bool) {
        events.DownloadComplete();
        const QUrl url = page_->url();
        events.NavigationComplete(url.scheme() == QLatin1String("data") ? QStringLiteral("about:blank")
                                                                          : PublicationAddress(url));
    });
    QObject::connect(page_, &QWebEnginePage::titleChanged, view_,
                     [&events](const QString& title) { events.TitleChanged(title); });
    QObject::connect(page_, &QWebEnginePage::linkHovered, view_,
                     [&events](const QString& url) { events.StatusTextChanged(url); });
    view_->show();
}

TWebEngineBrowser::~TWebEngineBrowser() { delete view_; }

QWidget* TWebEngineBrowser::View() { return view_; }

void TWebEngineBrowser::Navigate(const QString& url) { page_->load(UrlForAddress(url)); }

void TWebEngineBrowser::Back() { page_->triggerAction(QWebEnginePage::Back); }

void TWebEngineBrowser::Forward() { page_->triggerAction(QWebEnginePage::Forward); }

void TWebEngineBrowser::Reload() { page_->triggerAction(QWebEnginePage::Reload); }

void TWebEngineBrowser::Stop() { page_->triggerAction(QWebEnginePage::Stop); }

void TWebEngineBrowser::LoadHtml(const QString& html) { page_->setHtml(html, EmbeddedBaseUrl()); }

std::optional<QString> TWebEngineBrowser::RunJavaScript(const QString& script)
{
    // Commands wait for the answer while the event loop runs, as every wait
    // of a script does.
    QEventLoop loop;
    auto answer = std::make_shared<std::optional<QString>>();
    auto done = std::make_shared<bool>(false);
    QPointer<QEventLoop> guard(&loop);
    page_->runJavaScript(script, [answer, done, guard](const QVariant& value) {
        *done = true;
        if (value.isValid() && !value.isNull())
            *answer = value.toString();
        if (guard)
            guard->quit();
    });
    if (!*done) {
        QTimer::singleShot(kScriptAnswerMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return *answer;
}

void TWebEngineBrowser::Find(const QString& text) { page_->findText(text); }

void TWebEngineBrowser::SetContextMenuAllowed(bool allowed)
{
    view_->setContextMenuPolicy(allowed ? Qt::DefaultContextMenu : Qt::NoContextMenu);
}

TBrowserEngine* CreateWebEngineBrowser(QWidget* parent, TBrowserEngineEvents& events, const TObjectRecord& record)
{
    const auto* props = record.As<TWebBrowserProps>();
    return new TWebEngineBrowser(parent, events, props && props->hideScrollBars);
}

} // namespace tomeric
