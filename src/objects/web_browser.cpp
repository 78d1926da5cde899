#include "objects/web_browser.h"

#include "actions/action_eval.h"
#include "objects/object_command_handlers.h"
#include "package/package.h"
#include "vars/variables.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QJsonArray>
#include <QJsonDocument>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QTimer>
#include <QUrl>

namespace tomeric {

namespace {

const QString kEmbeddedScheme = QStringLiteral("tomeric-ie:");
const QString kActionScheme = QStringLiteral("TOMERIC:");
const QString kBlank = QStringLiteral("about:blank");

TBrowserEngineFactory engineFactory = nullptr;
TBrowserHost* browserHost = nullptr;

// How long a new window waits for its page's address before it shows (a
// page a script writes into has none).
constexpr int kWindowShowDelayMs = 500;

// The largest file BrowserSetElement hands to a file input.
constexpr qint64 kFileForInputMaxBytes = 32 * 1024 * 1024;

bool IsWebAddress(const QString& url)
{
    return url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

// Addresses that never name a file of the publication.
bool IsInternetOrFileAddress(const QString& url)
{
    static const char* const kMarks[] = {"://", "HTTP:/", "HTTPS:/", "HTTP:\\", "HTTPS:\\", "WWW.", "FILE://"};
    for (const char* mark : kMarks)
        if (url.contains(QLatin1String(mark), Qt::CaseInsensitive))
            return true;
    return url.startsWith(QLatin1String("about:"), Qt::CaseInsensitive) ||
           url.startsWith(kEmbeddedScheme, Qt::CaseInsensitive);
}

// A text as a JavaScript string literal.
QString JsString(const QString& text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// A file for a file input as a JavaScript object (name, type, Base64
// data); "null" when `path` is no readable file (or too large to hand over).
QString FileForInputJs(const QString& path)
{
    const QFileInfo info(path);
    QFile file(path);
    if (!info.isFile() || info.size() > kFileForInputMaxBytes || !file.open(QIODevice::ReadOnly))
        return QStringLiteral("null");
    const QString type = QMimeDatabase().mimeTypeForFile(info).name();
    return QStringLiteral("{name: %1, type: %2, data: '%3'}")
        .arg(JsString(info.fileName()), JsString(type), QString::fromLatin1(file.readAll().toBase64()));
}

// Finds a form element: "form.element" names the form first; otherwise every
// form of the page is searched. Radio buttons sharing a name come back as
// their group.
const char* const kFindElementJs = R"JS(
function __tomericFind(name) {
  var forms = document.forms, dot = name.indexOf('.');
  if (dot > 0) {
    var form = forms[name.substring(0, dot)];
    if (form && form.elements[name.substring(dot + 1)]) return form.elements[name.substring(dot + 1)];
  }
  for (var i = 0; i < forms.length; i++)
    if (forms[i].elements[name]) return forms[i].elements[name];
  return null;
}
function __tomericIsGroup(e) { return !e.tagName && e.length !== undefined; }
)JS";

} // namespace

void SetBrowserEngineFactory(TBrowserEngineFactory factory) { engineFactory = factory; }

void SetBrowserHost(TBrowserHost* host) { browserHost = host; }

TBrowserHost* BrowserHost() { return browserHost; }

QString BrowserSearchPage()
{
    const QString chosen = qEnvironmentVariable("TOMERIC_SEARCH_PAGE");
    return chosen.isEmpty() ? QStringLiteral("https://duckduckgo.com/") : chosen;
}

TTomericObj* CreateWebBrowser(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericWebBrowser(parent, record, host);
}

TTomericWebBrowser::TTomericWebBrowser(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericObj(parent, record, host)
{
    if (const auto* props = record.As<TWebBrowserProps>()) {
        defaultUrl_ = props->defaultUrl;
        beforeAction_ = props->beforeAction;
        afterAction_ = props->afterAction;
        downloadBeginAction_ = props->downloadBeginAction;
        downloadCompleteAction_ = props->downloadCompleteAction;
        statusVarName_ = props->statusVarName;
        titleVarName_ = props->titleVarName;
        urlVarName_ = props->urlVarName;
        enhancedSecurity_ = props->enhancedSecurity;
        silentMode_ = props->silentMode;
        allowContextMenu_ = props->allowContextMenu;
        trapPopups_ = props->trapPopups;
    }
    if (engineFactory)
        engine_.reset(engineFactory(this, *this, record));
    if (engine_) {
        engine_->SetContextMenuAllowed(allowContextMenu_);
        if (const auto* props = record.As<TWebBrowserProps>())
            BuildBars(props->showToolBar, props->showStatusBar);
        PlaceView();
    }
}

void TTomericWebBrowser::BuildBars(bool toolBar, bool statusBar)
{
    struct TNavButton {
        const char* image;
        QStyle::StandardPixmap fallback;
        void (TBrowserEngine::*operation)();
    };
    static const TNavButton kButtons[] = {
        {"Nav_Bouton_Précédent.png", QStyle::SP_ArrowBack, &TBrowserEngine::Back},
        {"Nav_Bouton_Suivant.png", QStyle::SP_ArrowForward, &TBrowserEngine::Forward},
        {"Nav_Bouton_Stopper.png", QStyle::SP_BrowserStop, &TBrowserEngine::Stop},
        {"Nav_Bouton_Rafraîchir.png", QStyle::SP_BrowserReload, &TBrowserEngine::Reload},
    };
    if (toolBar) {
        toolBar_ = new QWidget(this);
        auto* row = new QHBoxLayout(toolBar_);
        row->setContentsMargins(2, 2, 2, 2);
        for (const TNavButton& button : kButtons) {
            auto* tool = new QToolButton(toolBar_);
            const QImage image = Host().Picture(QString::fromUtf8(button.image));
            tool->setIcon(image.isNull() ? style()->standardIcon(button.fallback)
                                         : QIcon(QPixmap::fromImage(image)));
            if (!image.isNull())
                tool->setIconSize(image.size());
            tool->setAutoRaise(true);
            const auto operation = button.operation;
            connect(tool, &QToolButton::clicked, this, [this, operation] { (engine_.get()->*operation)(); });
            row->addWidget(tool);
        }
        row->addStretch();
    }
    if (statusBar) {
        statusBar_ = new QLabel(this);
        statusBar_->setContentsMargins(4, 1, 4, 1);
    }
}

void TTomericWebBrowser::PlaceView()
{
    QRect area = rect();
    if (toolBar_) {
        const int height = toolBar_->sizeHint().height();
        toolBar_->setGeometry(area.left(), area.top(), area.width(), height);
        area.setTop(area.top() + height);
    }
    if (statusBar_) {
        const int height = statusBar_->sizeHint().height();
        statusBar_->setGeometry(area.left(), area.bottom() - height + 1, area.width(), height);
        area.setBottom(area.bottom() - height);
    }
    engine_->View()->setGeometry(area);
}

TTomericWebBrowser::~TTomericWebBrowser() = default;

void TTomericWebBrowser::OnInit()
{
    if (!defaultUrl_.isEmpty())
        SetURL(defaultUrl_);
}

QString TTomericWebBrowser::AddressFor(const QString& url) const
{
    if (url.isEmpty())
        return kBlank;
    if (IsInternetOrFileAddress(url))
        return url;
    // In preview mode included files lie on disk where the authoring tool
    // keeps them.
    if (!CurrentPackage().IsPreview()) {
        const QString entry = FindIncludedName(url);
        if (FindEmbedded(entry))
            return kEmbeddedScheme + url;
    }
    if (!QFileInfo(url).suffix().isEmpty())
        return Host().ResolveFile(url);
    return url;
}

void TTomericWebBrowser::SetURL(const QString& url)
{
    const QString address = AddressFor(url);
    if (address == url_)
        return;
    url_ = address;
    if (engine_)
        engine_->Navigate(address);
}

std::optional<QString> TTomericWebBrowser::ActionLinkScript(const QString& url, const QString& pubTitle)
{
    QString prefix;
    const QString titlePrefix = QString(pubTitle).remove(u' ') + u':';
    if (url.startsWith(kActionScheme, Qt::CaseInsensitive))
        prefix = kActionScheme;
    else if (titlePrefix.size() > 1 && url.startsWith(titlePrefix, Qt::CaseInsensitive))
        prefix = titlePrefix;
    else
        return std::nullopt;
    QString script = QUrl::fromPercentEncoding(url.mid(prefix.size()).toUtf8());
    script.replace(QChar(0x00B6), QStringLiteral("\r\n"));
    return script;
}

QString TTomericWebBrowser::ShownAddress(const QString& url)
{
    QString shown = url;
    if (shown.startsWith(kEmbeddedScheme, Qt::CaseInsensitive))
        shown.remove(0, kEmbeddedScheme.size());
    return QUrl::fromPercentEncoding(shown.toUtf8());
}

void TTomericWebBrowser::SetVar(const QString& varName, const QString& value)
{
    if (!varName.isEmpty())
        SetVariable(varName, value);
}

// ---- what the engine reports --------------------------------------------------------

bool TTomericWebBrowser::BeforeNavigate(const QString& url, bool inPage, bool mainFrame)
{
    if (auto script = ActionLinkScript(url, GetVariable(QStringLiteral("[PubTitle]")))) {
        SetVar(statusVarName_, QString());
        RunObjectAction(*script, ekBrowserActionLink, enhancedSecurity_ ? afFromBrowserLink : 0);
        // A window opened only to run a link has nothing to show.
        if (floating_ && !windowShown_)
            CloseWindowLater();
        return false;
    }
    if (!mainFrame)
        return true;
    ShowWindowOnce(url);
    const QString shown = ShownAddress(url);
    SetVar(urlVarName_, shown);
    if (!inPage || beforeAction_.isEmpty() || urlVarName_.isEmpty())
        return true;
    RunObjectAction(beforeAction_, ekBrowserBeforeNavigate, afNoPageChange | afImmediate);
    // The action may redirect the navigation through the URL variable, or
    // cancel it by emptying the variable.
    const QString wanted = GetVariable(urlVarName_);
    if (wanted.isEmpty())
        return false;
    if (wanted != shown) {
        // The engine is inside its own navigation check: the new one starts
        // from the event loop.
        QTimer::singleShot(0, this, [this, wanted] {
            url_.clear();
            SetURL(wanted);
        });
        return false;
    }
    return true;
}

void TTomericWebBrowser::NavigationComplete(const QString& url)
{
    url_ = url;
    if (!Host().Running())
        return;
    SetVar(urlVarName_, ShownAddress(url));
    RunObjectAction(afterAction_, ekBrowserNavigated, 0);
}

void TTomericWebBrowser::TitleChanged(const QString& title)
{
    SetVar(titleVarName_, title);
    if (floating_)
        emit WindowTitleChanged(title);
}

void TTomericWebBrowser::StatusTextChanged(const QString& text)
{
    const bool actionLink = ActionLinkScript(text, GetVariable(QStringLiteral("[PubTitle]"))).has_value();
    const QString shown = actionLink ? QString() : ShownAddress(text);
    SetVar(statusVarName_, shown);
    if (statusBar_)
        statusBar_->setText(shown);
}

void TTomericWebBrowser::DownloadBegin() { RunObjectAction(downloadBeginAction_, ekDownloadBegin, 0); }

void TTomericWebBrowser::DownloadComplete() { RunObjectAction(downloadCompleteAction_, ekDownloadComplete, 0); }

void TTomericWebBrowser::ExecActionFromPage(const QString& action)
{
    RunObjectAction(action, ekBrowserActionLink, enhancedSecurity_ ? afFromBrowserLink : 0);
}

QString TTomericWebBrowser::GetVarFromPage(const QString& name) { return GetVariable(name); }

void TTomericWebBrowser::SetVarFromPage(const QString& name, const QString& value) { SetVariable(name, value); }

// ---- windows that pages open --------------------------------------------------------

TBrowserEngine* TTomericWebBrowser::NewWindow()
{
    if (!browserHost)
        return engine_.get(); // the page takes the new window's address
    if (!trapPopups_)
        return nullptr; // PopupAddress decides once the address is known
    TTomericWebBrowser* window = browserHost->OpenBrowserWindow(*this);
    return window ? window->Engine() : engine_.get();
}

// A window of a browser that does not trap them: Internet pages go to the
// desktop's browser; included files and local pages cannot be shown there,
// so they stay in the player.
void TTomericWebBrowser::PopupAddress(const QString& url)
{
    if (auto script = ActionLinkScript(url, GetVariable(QStringLiteral("[PubTitle]")))) {
        RunObjectAction(*script, ekBrowserActionLink, enhancedSecurity_ ? afFromBrowserLink : 0);
        return;
    }
    if (!browserHost)
        return;
    if (IsWebAddress(url)) {
        browserHost->OpenExternally(url);
        return;
    }
    if (TTomericWebBrowser* window = browserHost->OpenBrowserWindow(*this))
        window->SetURL(url);
}

void TTomericWebBrowser::MakeFloating()
{
    floating_ = true;
    QTimer::singleShot(kWindowShowDelayMs, this, [this] { ShowWindowOnce(url_); });
}

void TTomericWebBrowser::ShowWindowOnce(const QString& url)
{
    if (!floating_ || windowShown_ || windowClosing_)
        return;
    windowShown_ = true;
    emit WindowShowRequested(ShownAddress(url.isEmpty() ? kBlank : url));
}

void TTomericWebBrowser::CloseWindowLater()
{
    if (windowClosing_)
        return;
    windowClosing_ = true;
    // Never from inside the engine's own call.
    QTimer::singleShot(0, this, [this] { emit WindowCloseRequested(); });
}

QStringList TTomericWebBrowser::ChooseFiles(bool multiple, const QStringList& oldFiles)
{
    return browserHost ? browserHost->ChooseFiles(*this, multiple, oldFiles) : QStringList();
}

void TTomericWebBrowser::CloseRequested()
{
    if (floating_)
        CloseWindowLater();
}

void TTomericWebBrowser::GeometryRequested(const QRect& geometry)
{
    if (floating_)
        emit WindowGeometryRequested(geometry);
}

// ---- form elements and the document ------------------------------------------------

std::optional<QString> TTomericWebBrowser::RunFormScript(const QString& script)
{
    if (!engine_)
        return std::nullopt;
    return engine_->RunJavaScript(QLatin1String(kFindElementJs) + script);
}

std::optional<QString> TTomericWebBrowser::GetElement(const QString& name)
{
    const QString script = QStringLiteral(R"JS(
(function () {
  var e = __tomericFind(%1);
  if (!e) return null;
  if (__tomericIsGroup(e)) {
    for (var i = 0; i < e.length; i++) if (e[i].checked) return e[i].value;
    return '';
  }
  if (e.type == 'checkbox') return e.checked ? 'Checked' : '';
  return e.value === undefined ? '' : String(e.value);
})())JS").arg(JsString(name));
    return RunFormScript(script);
}

bool TTomericWebBrowser::SetElement(const QString& name, const QString& value)
{
    // A file input gets the file itself, as if the user had typed its name
    // into the field: the page can read and send it.
    QString fileJs = QStringLiteral("null");
    const QString typeScript =
        QStringLiteral("(function () { var e = __tomericFind(%1); return e && e.type ? String(e.type) : ''; })()");
    if (!value.isEmpty() && RunFormScript(typeScript.arg(JsString(name))) == QStringLiteral("file"))
        fileJs = FileForInputJs(Host().ResolveFile(value));
    const bool truth = ParseTruthWord(value).value_or(false);
    const QString script = QStringLiteral(R"JS(
(function () {
  var e = __tomericFind(%1), text = %2;
  if (!e) return null;
  if (__tomericIsGroup(e)) {
    for (var i = 0; i < e.length; i++) if (e[i].value == text) e[i].checked = true;
  } else if (e.type == 'radio') {
    if (e.value == text) e.checked = true;
  } else if (e.type == 'checkbox') {
    e.checked = %3;
  } else if (e.type == 'file') {
    e.focus();
    var file = %4;
    if (file) {
      var bytes = atob(file.data), array = new Uint8Array(bytes.length);
      for (var i = 0; i < bytes.length; i++) array[i] = bytes.charCodeAt(i);
      var transfer = new DataTransfer();
      transfer.items.add(new File([array], file.name, {type: file.type}));
      e.files = transfer.files;
      e.dispatchEvent(new Event('input', {bubbles: true}));
      e.dispatchEvent(new Event('change', {bubbles: true}));
    }
  } else {
    e.value = text;
  }
  return 'done';
})())JS").arg(JsString(name), JsString(value), truth ? QStringLiteral("true") : QStringLiteral("false"), fileJs);
    return RunFormScript(script).has_value();
}

QString TTomericWebBrowser::DocumentHtml()
{
    if (!engine_)
        return {};
    return engine_->RunJavaScript(QStringLiteral("document.documentElement ? document.documentElement.outerHTML : ''"))
        .value_or(QString());
}

void TTomericWebBrowser::LoadFromString(const QString& html)
{
    if (engine_)
        engine_->LoadHtml(html);
}

// ---- TTomericObj ------------------------------------------------------------------

std::optional<QString> TTomericWebBrowser::FamilyInfo(const QString& upperInfo) const
{
    if (upperInfo == QLatin1String("FILENAME"))
        return ShownAddress(url_);
    return std::nullopt;
}

bool TTomericWebBrowser::SetObjectFileName(const QString& file)
{
    SetURL(file);
    return true;
}

void TTomericWebBrowser::RefreshObject()
{
    if (engine_)
        engine_->Reload();
}

QWidget* TTomericWebBrowser::FocusTarget() { return engine_ ? engine_->View() : nullptr; }

void TTomericWebBrowser::PaintContent(QPainter& painter)
{
    PaintShape(painter);
    if (engine_)
        return;
    painter.setPen(Qt::black);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, QStringLiteral("Requires Internet Explorer 4+"));
}

void TTomericWebBrowser::resizeEvent(QResizeEvent* event)
{
    TTomericObj::resizeEvent(event);
    if (engine_)
        PlaceView();
}

} // namespace tomeric
