#include "browser/web_engine_browser.h"

#include "browser/embedded_scheme.h"
#include "browser/web_engine_setup.h"

#include "publication/object_model.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <QWebEngineFindTextResult>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <memory>

namespace tomeric {

namespace {

// How long a command waits for the page to answer a script or a search.
constexpr int kScriptAnswerMs = 5000;
// How long printing may take before the command gives up.
constexpr int kPrintMs = 60000;

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

// Runs the event loop until `finished` is called or `timeoutMs` passed, as
// every wait of a script does; the value given to `finished`, or nothing.
template <class T, class Start>
std::optional<T> WaitFor(int timeoutMs, Start start)
{
    QEventLoop loop;
    auto answer = std::make_shared<std::optional<T>>();
    QPointer<QEventLoop> guard(&loop);
    start([answer, guard](const T& value) {
        *answer = value;
        if (guard)
            guard->quit();
    });
    if (!answer->has_value()) {
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return *answer;
}

// The window of a browser that does not keep pop-ups: a page that only
// learns where the window was to go, tells its browser and goes.
class TPopupAddressPage final : public QWebEnginePage {
public:
    TPopupAddressPage(TBrowserEngineEvents& events, QWebEngineProfile* profile, QObject* parent)
        : QWebEnginePage(profile, parent), events_(events)
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        if (isMainFrame && !told_) {
            told_ = true;
            events_.PopupAddress(PublicationAddress(url));
            deleteLater();
        }
        return false;
    }

private:
    TBrowserEngineEvents& events_;
    bool told_ = false;
};

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

// A window a page opens: a browser floating window's page, or, when the
// browser does not keep pop-ups, a page that only learns the address.
QWebEnginePage* TBrowserPage::createWindow(WebWindowType)
{
    if (TBrowserEngine* engine = events_.NewWindow()) {
        if (auto* browser = dynamic_cast<TWebEngineBrowser*>(engine))
            return browser->Page();
        return this;
    }
    return new TPopupAddressPage(events_, profile(), this);
}

QStringList TBrowserPage::chooseFiles(FileSelectionMode mode, const QStringList& oldFiles, const QStringList&)
{
    return events_.ChooseFiles(mode == FileSelectOpenMultiple, oldFiles);
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
    QObject::connect(page_, &QWebEnginePage::windowCloseRequested, view_, [&events] { events.CloseRequested(); });
    QObject::connect(page_, &QWebEnginePage::geometryChangeRequested, view_,
                     [&events](const QRect& geometry) { events.GeometryRequested(geometry); });
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

QWebEnginePage* TWebEngineBrowser::Page() const { return page_; }

std::optional<QString> TWebEngineBrowser::RunJavaScript(const QString& script)
{
    const std::optional<QVariant> value = WaitFor<QVariant>(kScriptAnswerMs, [&](auto finished) {
        page_->runJavaScript(script, [finished](const QVariant& result) { finished(result); });
    });
    if (!value || !value->isValid() || value->isNull())
        return std::nullopt;
    return value->toString();
}

int TWebEngineBrowser::Find(const QString& text, bool matchCase, bool backward)
{
    QWebEnginePage::FindFlags flags;
    if (matchCase)
        flags |= QWebEnginePage::FindCaseSensitively;
    if (backward)
        flags |= QWebEnginePage::FindBackward;
    if (text.isEmpty()) {
        page_->findText(QString());
        return 0;
    }
    const std::optional<int> matches = WaitFor<int>(kScriptAnswerMs, [&](auto finished) {
        page_->findText(text, flags,
                        [finished](const QWebEngineFindTextResult& result) { finished(result.numberOfMatches()); });
    });
    return matches.value_or(0);
}

bool TWebEngineBrowser::PrintToPdf(const QString& path, const QPageLayout& layout)
{
    const std::optional<bool> written = WaitFor<bool>(kPrintMs, [&](auto finished) {
        QObject::connect(page_, &QWebEnginePage::pdfPrintingFinished, view_,
                         [finished, path](const QString& file, bool success) {
                             if (file == path)
                                 finished(success);
                         }, Qt::SingleShotConnection);
        page_->printToPdf(path, layout);
    });
    return written.value_or(false);
}

bool TWebEngineBrowser::PrintTo(QPrinter& printer)
{
    const std::optional<bool> printed = WaitFor<bool>(kPrintMs, [&](auto finished) {
        QObject::connect(view_, &QWebEngineView::printFinished, view_,
                         [finished](bool success) { finished(success); }, Qt::SingleShotConnection);
        view_->print(&printer);
    });
    return printed.value_or(false);
}

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
