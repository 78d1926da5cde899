#include "objects/articles.h"

#include "pages/background_painter.h"
#include "platform/paths.h"
#include "richtext/rich_text_properties.h"
#include "richtext/rtf_tables.h"
#include "vars/variables.h"

#include <QCoreApplication>
#include <QResizeEvent>
#include <QFile>
#include <QMouseEvent>

#include <algorithm>
#include <QScrollBar>

namespace tomeric {
namespace {

// Larger text files are not read (the rich-text engine refuses them anyway).
constexpr qint64 kMaxTextFileBytes = 64 * 1024 * 1024;

// The file on disk a text file name stands for: an included file (extracted),
// else the name as written, relative names taken from the publication's folder.
QString TextFilePath(ObjectHost& host, const QString& name)
{
    const QString resolved = platform::NativePath(host.ResolveFile(name));
    if (platform::FileExists(resolved) || platform::IsAbsolute(name))
        return resolved;
    const QString inPublication = platform::NativePath(GetVariable(QStringLiteral("[PubDir]")) + name);
    return platform::FileExists(inPublication) ? inPublication : resolved;
}

std::optional<QByteArray> ReadWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxTextFileBytes)
        return std::nullopt;
    return file.readAll();
}

} // namespace

TBaseArticle::TBaseArticle(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericObj(parent, record, host), view_(new TRichTextView(this)),
      document_(std::make_unique<QTextDocument>()), linkColor_(host.LinkColor())
{
    if (const auto* props = record.As<TArticleProps>()) {
        textFile_ = props->fileName;
        allowCopy_ = props->allowCopy;
        overrideFont_ = props->overrideFont;
        wordWrap_ = props->wordWrap;
    }
    view_->SetAllowCopy(allowCopy_);
    view_->SetDefaultColour(OpaqueColor(FontProps().textColor));
    view_->SetLinkCursor(host.Cursor(csHotSpot));
    view_->SetLinkTest([this](int position) { return IsLinkCharacter(*document_, position); });
    view_->selectionText = [](const QTextCursor& selection) { return SelectionPlainText(selection); };
    connect(view_, &TRichTextView::LinkClicked, this, [this](int position) { LinkClicked(position); });
    view_->SetDocument(document_.get());
    PlaceView();
}

TBaseArticle::~TBaseArticle()
{
    // The view goes first: it must not paint a document already gone.
    delete view_;
}

void TBaseArticle::PlaceView()
{
    const int inset = std::max(LineWidth(), 0);
    view_->setGeometry(rect().adjusted(inset, inset, -inset, -inset));
}

void TBaseArticle::resizeEvent(QResizeEvent* event)
{
    TTomericObj::resizeEvent(event);
    PlaceView();
}

void TBaseArticle::ForwardToView(QMouseEvent* event)
{
    // A view never shown still waits for its resize, and its viewport keeps
    // the default size until then: lay it out first, so that the point
    // lands where the text is drawn.
    if (view_->testAttribute(Qt::WA_PendingResizeEvent)) {
        view_->setAttribute(Qt::WA_PendingResizeEvent, false);
        QResizeEvent resize(view_->size(), QSize());
        QCoreApplication::sendEvent(view_, &resize);
    }
    QWidget* viewport = view_->viewport();
    const QPoint local = viewport->mapFrom(this, event->position().toPoint());
    // An event the text left alone comes back here through its parents.
    if (forwarding_ || !viewport->rect().contains(local)) {
        event->ignore();
        return;
    }
    forwarding_ = true;
    QMouseEvent forwarded(event->type(), QPointF(local), event->globalPosition(), event->button(),
                          event->buttons(), event->modifiers());
    QCoreApplication::sendEvent(viewport, &forwarded);
    forwarding_ = false;
    event->setAccepted(forwarded.isAccepted());
}

void TBaseArticle::SetTextFile(const QString& name)
{
    textFile_ = name;
    Reload(true);
}

void TBaseArticle::SetAllowCopy(bool value)
{
    allowCopy_ = value;
    view_->SetAllowCopy(value);
}

void TBaseArticle::SetOverrideFont(bool value)
{
    if (overrideFont_ == value)
        return;
    overrideFont_ = value;
    Reload(false);
}

TTextLook TBaseArticle::Look(bool wordWrap) const
{
    TTextLook look;
    look.font = font();
    look.fontPoints = FontProps().fontSize;
    look.textColour = OpaqueColor(FontProps().textColor);
    look.linkColour = OpaqueColor(linkColor_);
    look.wordWrap = wordWrap;
    return look;
}

void TBaseArticle::LoadText(QTextDocument& document, bool wordWrap)
{
    const TTextLook look = Look(wordWrap);
    const QString name = textFile_.contains(u'[') ? SubstituteVars(textFile_) : textFile_;
    if (name.trimmed().isEmpty()) {
        LoadCaption(document, Txt(), look);
    } else if (const auto bytes = ReadWholeFile(TextFilePath(Host(), name))) {
        LoadDocument(document, *bytes, FileTextFormat(name, *bytes), look);
    } else {
        LoadCaption(document, QString(), look);
    }
    if (overrideFont_) {
        ApplyFontToAll(document, font(), true);
        FitTableRowHeights(document); // rows with a height fit the new text
    }
    MakeVariableFields(document);
}

void TBaseArticle::Show(std::unique_ptr<QTextDocument> document)
{
    view_->SetDocument(document.get());
    document_ = std::move(document);
    NoteVariableInterestChanged();
    view_->SetDefaultColour(OpaqueColor(FontProps().textColor));
}

void TBaseArticle::Reload(bool resetScroll)
{
    const int scroll = view_->ScrollPosition();
    auto document = std::make_unique<QTextDocument>();
    LoadText(*document, wordWrap_);
    Show(std::move(document));
    view_->SetScrollPosition(resetScroll ? 0 : scroll);
}

bool TBaseArticle::JumpTo(const QString& bookmark)
{
    const std::optional<int> position = BookmarkPosition(*document_, bookmark);
    if (!position)
        return false;
    view_->ClearSelection();
    view_->ScrollToPosition(*position);
    return true;
}

void TBaseArticle::LinkClicked(int position)
{
    FollowLink(*this, *document_, position, [this](const QString& bookmark) { JumpTo(bookmark); });
}

QString TBaseArticle::SelectedText() const
{
    const QTextCursor selection = view_->Selection();
    return selection.hasSelection() ? SelectionPlainText(selection) : QString();
}

std::optional<QTextCursor> TBaseArticle::FindText(const QString& text, int from,
                                                  bool includeLinkCommands) const
{
    return FindInDocument(*document_, text, from, includeLinkCommands);
}

void TBaseArticle::ShowFound(const QTextCursor& found)
{
    if (found.isNull() || found.document() != document_.get())
        return;
    view_->ScrollToPosition(found.selectionStart());
    view_->ShowSelection(found);
}

std::optional<TFindMatch> TBaseArticle::FindText(const QString& text, int from) const
{
    return FindWildcardMatch(*document_, text, from);
}

void TBaseArticle::ShowFindMatch(const TFindMatch& match)
{
    QTextCursor cursor(document_.get());
    const int end = document_->characterCount() - 1;
    cursor.setPosition(std::clamp(match.position, 0, end));
    cursor.setPosition(std::clamp(match.position + match.length, 0, end), QTextCursor::KeepAnchor);
    ShowFound(cursor);
}

QStringList TBaseArticle::LinkActions() const { return LinkCommands(*document_); }

std::optional<QString> TBaseArticle::FamilyInfo(const QString& upperInfo) const
{
    if (upperInfo == QLatin1String("FILENAME"))
        return textFile_;
    if (upperInfo == QLatin1String("SELECTEDTEXT"))
        return SelectedText();
    return std::nullopt;
}

bool TBaseArticle::SetObjectFileName(const QString& file)
{
    SetTextFile(file);
    return true;
}

void TBaseArticle::SetObjectFont(const TFontChange& change)
{
    // A font, size, style or character set goes over the whole text; a
    // colour alone only changes the text's default colour.
    if (change.name || change.size || change.style || change.charset)
        overrideFont_ = true;
    TTomericObj::SetObjectFont(change); // reloads through FontChanged
}

void TBaseArticle::FontChanged()
{
    Reload(false);
}

void TBaseArticle::OnInit()
{
    if (RefreshFields(*document_) > 0)
        view_->Relayout();
}

bool TBaseArticle::HearsVariable(const QString& upperName) const
{
    return document_ && FieldsShowVariable(*document_, upperName);
}

void TBaseArticle::OnVarChanged(const QString& upperName, const QString& value)
{
    (void)value;
    if (RefreshFields(*document_, upperName) > 0)
        view_->Relayout();
}

// ---- the scrolling article --------------------------------------------------------

TTomericArticle::TTomericArticle(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TBaseArticle(parent, record, host)
{
    if (const auto* props = record.As<TArticleProps>())
        scrollBars_ = props->scrollBars;
    view_->SetScrollBars(scrollBars_);
    view_->SetWordWrap(wordWrap_);
    Reload(true);
}

void TTomericArticle::SetScrollBars(bool value)
{
    if (scrollBars_ == value)
        return;
    scrollBars_ = value;
    view_->SetScrollBars(value);
}

void TTomericArticle::SetWordWrap(bool value)
{
    if (wordWrap_ == value)
        return;
    wordWrap_ = value;
    view_->SetWordWrap(value);
    // Caret markup joins lines into paragraphs only with word wrap.
    Reload(false);
}

TTomericObj* CreateArticle(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericArticle(parent, record, host);
}

} // namespace tomeric
