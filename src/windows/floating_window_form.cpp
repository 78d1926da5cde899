#include "windows/floating_window_form.h"

#include "objects/articles.h"
#include "objects/hot_keys.h"
#include "objects/picture_object.h"
#include "objects/repositor.h"
#include "objects/web_browser.h"
#include "actions/headless_services.h"
#include "pages/page_stack.h"
#include "vars/variables.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QStyle>
#include <QTimer>

#include <cmath>

namespace tomeric {

namespace {

// Brackets in a file name are not variable references: "[#91]" and "[#93]"
// come back as the brackets themselves when the object substitutes.
QString EscapeBrackets(const QString& file)
{
    QString escaped;
    for (const QChar c : file) {
        if (c == QLatin1Char('['))
            escaped += QStringLiteral("[#91]");
        else if (c == QLatin1Char(']'))
            escaped += QStringLiteral("[#93]");
        else
            escaped += c;
    }
    return escaped;
}

// Window handles are unique numbers where the platform has none of its own.
quint64 NextWindowNumber()
{
    static quint64 next = 0x10000;
    return next++;
}

TObjectRecord ContentRecord(int type, QSize size)
{
    TObjectRecord record = MakeObjectRecord(type);
    record.name = QStringLiteral("FloatingContent");
    record.width = size.width();
    record.height = size.height();
    record.lineStyle = qxpsClear;
    record.lineWidth = 0;
    return record;
}

constexpr std::int32_t kWhite = 0x00FFFFFF;
// A browser window before its page asks for a size.
constexpr QSize kBrowserWindowSize(640, 480);

} // namespace

TFloatingWindowForm::TFloatingWindowForm(TFloatingHost& host, TFloatingKind kind, const QString& name, int flags)
    : QWidget(flags & foFixedPosition ? host.ClientArea() : nullptr), host_(host), kind_(kind), name_(name),
      flags_(flags)
{
    setObjectName(QStringLiteral("FloatingWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    if (!FixedPosition())
        setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
    if (kind == fkText)
        setProperty("TextWindowFile", name);
    qApp->installEventFilter(this);
}

TFloatingWindowForm::~TFloatingWindowForm()
{
    // Freed without its close (its parent went first): no script runs, but
    // the page still goes home when its container is there.
    if (!closed_) {
        closed_ = true;
        GiveBackPage();
    }
}

QWidget* TFloatingWindowForm::PageRoot() const
{
    return page_ ? static_cast<QWidget*>(page_.data()) : nullptr;
}

TTomericObj* TFloatingWindowForm::ContentObject() const
{
    return kind_ == fkCustom ? nullptr : qobject_cast<TTomericObj*>(content_.data());
}

void TFloatingWindowForm::SetClientSize(QSize client)
{
    resize(client);
    if (content_)
        content_->setGeometry(rect());
}

// ---- content ------------------------------------------------------------------

void TFloatingWindowForm::BuildPicture(const QString& file)
{
    setWindowFlags((windowFlags() & ~Qt::WindowMaximizeButtonHint) | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    TObjectRecord record = ContentRecord(otPicture, size());
    auto& props = std::get<TPictureProps>(record.props);
    props.fileName = EscapeBrackets(file);
    props.scrollBars = true;
    props.mousePan = false;
    auto* picture = static_cast<TTomericPicture*>(CreatePicture(this, record, host_.Objects()));
    content_ = picture;
    picture->show();
    // A picture that cannot be read leaves the smallest window.
    SetClientSize(QSize(picture->ImageWidth(), picture->ImageHeight()).expandedTo(QSize(1, 1)));
    // The window cannot grow past the picture.
    setMaximumSize(size());
}

void TFloatingWindowForm::BuildText(const QString& file, int width, int height)
{
    TObjectRecord record = ContentRecord(otArticle, size());
    record.fillColor = kWhite;
    auto& props = std::get<TArticleProps>(record.props);
    props.fileName = EscapeBrackets(file);
    props.allowCopy = false;
    props.wordWrap = false; // measured unwrapped first
    props.scrollBars = false;
    auto* article = static_cast<TTomericArticle*>(CreateArticle(this, record, host_.Objects()));
    content_ = article;
    article_ = article;
    article->show();

    const QTextDocument& document = article->Document();
    const QSize text(int(std::ceil(document.idealWidth())), int(std::ceil(document.size().height())));
    const int arrow = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QSize measured = TextWindowClientSize(text, width, height, arrow);
    // A positive width or height is the window's outer size.
    const QSize frame = frameGeometry().size() - geometry().size();
    QSize client(measured.width() >= 0 ? measured.width() : width - frame.width(),
                 measured.height() >= 0 ? measured.height() : height - frame.height());
    SetClientSize(client.expandedTo(QSize(1, 1)));
    article->SetWordWrap(flags_ & foWordWrap);
    article->SetScrollBars(true);
}

TTomericWebBrowser* TFloatingWindowForm::BuildBrowser(const TTomericWebBrowser& opener)
{
    TObjectRecord record = ContentRecord(otWebBrowser, kBrowserWindowSize);
    record.name = opener.Name();
    auto& props = std::get<TWebBrowserProps>(record.props);
    props.showToolBar = true;
    props.showStatusBar = true;
    props.trapPopups = true;
    props.enhancedSecurity = opener.EnhancedSecurity();
    props.silentMode = opener.SilentMode();
    props.allowContextMenu = opener.AllowContextMenu();
    auto* browser = static_cast<TTomericWebBrowser*>(CreateWebBrowser(this, record, host_.Objects()));
    content_ = browser;
    browser->show();
    SetClientSize(kBrowserWindowSize);
    FollowBrowser(*browser);
    browser->MakeFloating();
    return browser;
}

void TFloatingWindowForm::FollowBrowser(TTomericWebBrowser& browser)
{
    connect(&browser, &TTomericWebBrowser::WindowShowRequested, this, [this](const QString& address) {
        name_ = address;
        host_.Trace(EventLine(QStringLiteral("WINDOW"), QStringLiteral("OPEN"), {name_}));
        ShowWindow();
    });
    connect(&browser, &TTomericWebBrowser::WindowCloseRequested, this, &TFloatingWindowForm::PostClose);
    connect(&browser, &TTomericWebBrowser::WindowTitleChanged, this, &QWidget::setWindowTitle);
    connect(&browser, &TTomericWebBrowser::WindowGeometryRequested, this, [this, &browser](const QRect& view) {
        // The page sizes its view; the bars come on top of it.
        const QWidget* shown = browser.Engine() ? browser.Engine()->View() : nullptr;
        const QSize bars = shown ? browser.size() - shown->size() : QSize();
        SetClientSize(view.size() + bars);
        if (!view.topLeft().isNull())
            move(view.topLeft());
    });
}

bool TFloatingWindowForm::BuildCustom(int page, TFloatingFrame frame, const QString& title)
{
    TPageStack* stack = host_.Stack();
    TQXPageWidget* widget = stack ? stack->LendPage(page) : nullptr;
    if (!widget)
        return false;
    pageIndex_ = page;
    ApplyFrame(frame);
    setWindowTitle(frame == TFloatingFrame::ffToolWindow ? QLatin1Char(' ') + title : title);
    background_ = new TTomericBackground(this, {});
    TBackgroundLook look;
    look.color = kColourButtonFace;
    background_->SetLook(look);
    content_ = background_;
    background_->show();
    SetClientSize(widget->size());
    LendPage(*widget);
    NoteVariableInterestChanged(); // its objects now answer from this window
    SetVariable(PageVariable(".WinHandle"), WindowHandleText());
    host_.SendPageMessage(page, TFloatingPageMessage::fmEntered);
    host_.SendPageMessage(page, TFloatingPageMessage::fmShown);
    if (frame == TFloatingFrame::ffNoBorder && !FixedPosition())
        DragByBackground();
    return true;
}

void TFloatingWindowForm::ApplyFrame(TFloatingFrame frame)
{
    if (FixedPosition())
        return; // a child of the main window has no frame
    Qt::WindowFlags flags = Qt::Window | Qt::WindowStaysOnTopHint;
    switch (frame) {
    case TFloatingFrame::ffNoBorder: flags |= Qt::FramelessWindowHint; break;
    case TFloatingFrame::ffToolWindow: flags |= Qt::Tool; break;
    case TFloatingFrame::ffSizeable: sizeable_ = true; break;
    case TFloatingFrame::ffDialog: flags |= Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint; break;
    }
    if (flags_ & foNoCloseButton)
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    setWindowFlags(flags);
}

void TFloatingWindowForm::LendPage(TQXPageWidget& page)
{
    page_ = &page;
    pageParent_ = page.parentWidget();
    pageGeometry_ = page.geometry();
    pageVisible_ = page.isVisibleTo(pageParent_);
    // Its place among its siblings: the one just in front of it.
    pageNextSibling_ = nullptr;
    if (pageParent_) {
        const QObjectList& siblings = pageParent_->children();
        const qsizetype at = siblings.indexOf(&page);
        for (qsizetype i = at + 1; i >= 1 && i < siblings.size(); ++i)
            if (auto* widget = qobject_cast<QWidget*>(siblings[i])) {
                pageNextSibling_ = widget;
                break;
            }
    }
    page.setParent(background_);
    page.move(0, 0);
    if (sizeable_)
        page.resize(background_->size());
    page.show();
}

void TFloatingWindowForm::GiveBackPage()
{
    TQXPageWidget* page = page_;
    page_ = nullptr;
    if (!page)
        return;
    if (freePageOnClose_ || !pageParent_) {
        page->hide();
        page->deleteLater();
        return;
    }
    page->setParent(pageParent_);
    page->setGeometry(pageGeometry_);
    if (pageNextSibling_ && pageNextSibling_->parentWidget() == pageParent_)
        page->stackUnder(pageNextSibling_);
    else
        page->raise();
    page->setVisible(pageVisible_);
    if (auto* stack = qobject_cast<TPageStack*>(pageParent_.data()))
        stack->TakeBackPage(pageIndex_);
    NoteVariableInterestChanged();
}

void TFloatingWindowForm::DragByBackground()
{
    TTomericBackground* own = page_ ? page_->Background() : nullptr;
    if (!own)
        return;
    draggable_ = true;
    connect(own, &TTomericBackground::BackgroundMousePressed, this, [this](QPoint global) {
        dragging_ = true;
        dragOffset_ = global - pos();
    });
    connect(own, &TTomericBackground::BackgroundMouseMoved, this, [this](QPoint global) {
        if (dragging_)
            move(global - dragOffset_);
    });
    connect(own, &TTomericBackground::BackgroundMouseReleased, this, [this](QPoint) { dragging_ = false; });
}

// ---- showing ---------------------------------------------------------------------

QString TFloatingWindowForm::PageVariable(const char* suffix) const
{
    return name_ + QLatin1String(suffix);
}

QString TFloatingWindowForm::WindowHandleText()
{
    // A child widget is not made native only to have a number.
    const quint64 handle = FixedPosition() ? quint64(internalWinId()) : quint64(winId());
    return QString::number(handle ? handle : NextWindowNumber());
}

void TFloatingWindowForm::ShowWindow()
{
    show();
    raise();
    if (!FixedPosition())
        activateWindow();
    if (kind_ != fkCustom)
        return;
    host_.CallSubroutineIfAny(name_ + QStringLiteral("_OnOpen"));
    ReadSizeLimits();
}

void TFloatingWindowForm::ShowModal()
{
    setWindowModality(Qt::ApplicationModal);
    QPointer<TFloatingWindowForm> self(this);
    QEventLoop loop;
    modalLoop_ = &loop;
    ShowWindow();
    if (self && !closed_ && !closingRequested_)
        loop.exec();
    if (!self)
        return;
    modalLoop_ = nullptr;
    if (!closed_)
        close();
}

void TFloatingWindowForm::ReadSizeLimits()
{
    const QSize frame = frameGeometry().size() - geometry().size();
    auto pair = [&](const char* width, const char* height) {
        return TrackingSize(SizeVariableValue(GetVariable(PageVariable(width))),
                            SizeVariableValue(GetVariable(PageVariable(height))), frame);
    };
    // Qt limits the client; the tracking sizes are window sizes.
    if (const auto minimum = pair("_MinWidth", "_MinHeight"))
        setMinimumSize((*minimum - frame).expandedTo(QSize(0, 0)));
    if (const auto maximum = pair("_MaxWidth", "_MaxHeight"))
        setMaximumSize((*maximum - frame).expandedTo(QSize(1, 1)));
}

void TFloatingWindowForm::SetStaysOnTop(bool onTop)
{
    if (FixedPosition() || StaysOnTop() == onTop)
        return;
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (shown)
        show(); // changing the flags hides a window
}

bool TFloatingWindowForm::StaysOnTop() const
{
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void TFloatingWindowForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Enabled again (a modal window closed) while the main window stays on
    // top: back to the top, without taking the focus.
    if (event->type() == QEvent::EnabledChange && isEnabled() && StaysOnTop() && host_.MainStaysOnTop())
        raise();
}

void TFloatingWindowForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (content_)
        content_->setGeometry(rect());
    RelayoutPage();
}

void TFloatingWindowForm::RelayoutPage()
{
    if (!page_ || !sizeable_ || !background_)
        return;
    page_->resize(background_->size());
    std::vector<TTomericObj*> objects;
    for (QObject* child : page_->Background()->children())
        if (auto* object = qobject_cast<TTomericObj*>(child))
            objects.push_back(object);
    DockObjects(objects, page_->Background()->rect());
}

// ---- keys -----------------------------------------------------------------------------

bool TFloatingWindowForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || kind_ != fkCustom)
        return QWidget::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || (widget != this && !isAncestorOf(widget)))
        return QWidget::eventFilter(watched, event);
    return HandleKey(*static_cast<QKeyEvent*>(event)) || QWidget::eventFilter(watched, event);
}

bool TFloatingWindowForm::HandleKey(QKeyEvent& event)
{
    // Esc is left to the focused field (it drops the field's change).
    if (event.key() == Qt::Key_Escape)
        return false;
    if (event.key() == Qt::Key_F1) {
        host_.OpenHelp();
        return true;
    }
    return page_ && DispatchHotKey(page_->Background(), nullptr, event);
}

// ---- closing ----------------------------------------------------------------------------

void TFloatingWindowForm::CloseByCommand()
{
    if (closingRequested_ || closed_)
        return;
    closingRequested_ = true;
    if (modalLoop_) {
        hide();
        modalLoop_->quit();
        return;
    }
    close();
}

void TFloatingWindowForm::PostClose()
{
    if (closingRequested_ || closed_)
        return;
    closingRequested_ = true;
    QPointer<TFloatingWindowForm> self(this);
    QTimer::singleShot(0, this, [self] {
        if (!self || self->closed_)
            return;
        if (self->modalLoop_)
            self->modalLoop_->quit();
        else
            self->close();
    });
}

void TFloatingWindowForm::closeEvent(QCloseEvent* event)
{
    if (!closed_)
        FormClose();
    event->accept();
}

void TFloatingWindowForm::FormClose()
{
    closed_ = true;
    closingRequested_ = true;
    qApp->removeEventFilter(this);
    if (kind_ == fkCustom) {
        host_.CallSubroutineIfAny(name_ + QStringLiteral("_OnClose"));
        SetVariable(PageVariable(".WinHandle"), QString());
    }
    if (closedCallback_)
        closedCallback_(this);
    // A page of a publication that has since been replaced is only freed:
    // the page numbers now belong to the new one.
    if (kind_ == fkCustom && page_ && freePageOnClose_) {
        GiveBackPage();
    } else if (kind_ == fkCustom && page_) {
        host_.SendPageMessage(pageIndex_, TFloatingPageMessage::fmLeft);
        GiveBackPage();
        const int current = host_.CurrentPage();
        const bool shownAgain = pageIndex_ == current || (pageIndex_ == 0 && host_.ShowsMasterPage(current));
        if (shownAgain) {
            host_.SendPageMessage(current, TFloatingPageMessage::fmEntered);
            host_.SendPageMessage(current, TFloatingPageMessage::fmShown);
        }
    }
    if (modalLoop_)
        modalLoop_->quit();
}

// ---- the Find window ---------------------------------------------------------------------

std::optional<TFindMatch> TFloatingWindowForm::FindText(const QString& text, int from) const
{
    if (!article_)
        return std::nullopt;
    return static_cast<const TFindSearchable*>(article_)->FindText(text, from);
}

void TFloatingWindowForm::ShowFindMatch(const TFindMatch& match)
{
    if (article_)
        static_cast<TFindSearchable*>(article_)->ShowFindMatch(match);
    raise();
}

} // namespace tomeric
