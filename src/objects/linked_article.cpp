#include "objects/linked_article.h"

#include "objects/object_tree.h"
#include "pages/page_widgets.h"
#include "richtext/rich_text_properties.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <map>

namespace tomeric {
namespace {

// A copy of `source` from `start` to its end, laid out like a frame's text.
std::unique_ptr<QTextDocument> CopyFrom(const QTextDocument& source, int start)
{
    std::unique_ptr<QTextDocument> part(source.clone());
    part->setDocumentMargin(0);
    part->setDefaultFont(source.defaultFont());
    if (start > 0) {
        QTextCursor cursor(part.get());
        cursor.setPosition(start);
        cursor.setPosition(0, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        // The continued paragraph keeps its own alignment and spacing.
        cursor.setPosition(0);
        cursor.setBlockFormat(source.findBlock(start).blockFormat());
    }
    return part;
}

// A cut never falls inside a table: Qt widens a selection that reaches
// into a table to the whole table, so both frames would drop it. The table
// moves on whole to the next frame; a table that begins the frame stays
// whole in it (clipped at the bottom), so the text still moves on.
int OutsideTables(QTextDocument& part, int cut)
{
    QTextCursor cursor(&part);
    cursor.setPosition(cut);
    QTextTable* table = cursor.currentTable();
    if (!table)
        return cut;
    while (auto* outer = qobject_cast<QTextTable*>(table->parentFrame()))
        table = outer;
    const int before = table->firstPosition() - 1;
    if (before > 0)
        return before;
    return std::min(table->lastPosition() + 1, part.characterCount() - 1);
}

// Where the last whole line that fits in `height` pixels ends.
int FittingLineEnd(QTextDocument& part, qreal height)
{
    QAbstractTextDocumentLayout* layout = part.documentLayout();
    (void)part.size(); // lays the text out
    for (QTextBlock block = part.begin(); block.isValid(); block = block.next()) {
        const QRectF box = layout->blockBoundingRect(block);
        const QTextLayout* lines = block.layout();
        if (!lines || lines->lineCount() == 0) {
            if (box.bottom() > height + 0.5)
                return block.position();
            continue;
        }
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            if (box.top() + line.y() + line.height() > height + 0.5)
                return block.position() + line.textStart();
        }
    }
    return part.characterCount() - 1;
}

// How many characters from the start of `part` fit in `height` pixels:
// whole lines only, and at least nothing.
int FittingLength(QTextDocument& part, qreal height)
{
    return OutsideTables(part, FittingLineEnd(part, height));
}

// Drops what follows the first `length` characters.
void TruncateAt(QTextDocument& part, int length)
{
    const int end = part.characterCount() - 1;
    if (length >= end)
        return;
    QTextCursor cursor(&part);
    // A cut at a paragraph start also takes the paragraph end before it.
    const bool atBlockStart = length > 0 && part.findBlock(length).position() == length;
    int from = atBlockStart ? length - 1 : length;
    // ...unless that paragraph end closes a table, which would go with it.
    cursor.setPosition(from);
    if (cursor.currentTable())
        from = length;
    cursor.setPosition(from);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void SetWrapWidth(QTextDocument& document, int width)
{
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document.setDefaultTextOption(option);
    document.setTextWidth(std::max(width, 1));
}

} // namespace

TTomericLinkedArticle::TTomericLinkedArticle(QWidget* parent, const TObjectRecord& record,
                                             ObjectHost& host)
    : TBaseArticle(parent, record, host)
{
    wordWrap_ = true;
    view_->SetScrollBars(false);
    view_->SetWordWrap(true);
    // The text loads when the chains form (FormChains), once per chain.
}

TTomericLinkedArticle::~TTomericLinkedArticle() { Unlink(); }

void TTomericLinkedArticle::Unlink()
{
    // The next frame becomes the first of what is left and takes the text.
    if (next_) {
        next_->prev_ = prev_;
        if (!prev_ && source_) {
            next_->source_ = std::move(source_);
            NoteVariableInterestChanged();
        }
    }
    if (prev_)
        prev_->next_ = next_;
    prev_ = nullptr;
    next_ = nullptr;
}

TTomericLinkedArticle* TTomericLinkedArticle::Head()
{
    TTomericLinkedArticle* frame = this;
    // Bounded: a chain never holds more frames than there are objects.
    for (int guard = 0; frame->prev_ && guard < 1000000; ++guard)
        frame = frame->prev_;
    return frame;
}

void TTomericLinkedArticle::FormChains(const std::vector<QWidget*>& roots)
{
    std::vector<TTomericLinkedArticle*> frames;
    for (QWidget* root : roots)
        ForEachObject(root, [&frames](TTomericObj& object) {
            if (auto* frame = qobject_cast<TTomericLinkedArticle*>(&object))
                frames.push_back(frame);
            return true;
        });
    std::map<QString, std::vector<TTomericLinkedArticle*>> chains;
    std::vector<QString> order;
    for (TTomericLinkedArticle* frame : frames) {
        frame->chained_ = true;
        const QString key = frame->TextFile().trimmed().toLower();
        if (key.isEmpty()) {
            frame->Reload(false); // no chain: the frame shows its own TEXT=
            continue;
        }
        auto& chain = chains[key];
        if (chain.empty())
            order.push_back(key);
        chain.push_back(frame);
    }
    for (const QString& key : order) {
        const auto& chain = chains[key];
        for (std::size_t i = 0; i < chain.size(); ++i) {
            chain[i]->prev_ = i > 0 ? chain[i - 1] : nullptr;
            chain[i]->next_ = i + 1 < chain.size() ? chain[i + 1] : nullptr;
            if (i > 0)
                chain[i]->source_.reset();
        }
        chain.front()->Reload(false);
    }
}

QSize TTomericLinkedArticle::TextArea() const
{
    const int inset = std::max(LineWidth(), 0);
    return QSize(width() - 2 * inset - TRichTextView::kLeftInset, height() - 2 * inset);
}

void TTomericLinkedArticle::Reload(bool resetScroll)
{
    (void)resetScroll; // frames do not scroll
    TTomericLinkedArticle* head = Head();
    if (head != this) {
        head->Reload(resetScroll);
        return;
    }
    if (!source_)
        source_ = std::make_unique<QTextDocument>();
    LoadText(*source_, true);
    Reflow();
}

void TTomericLinkedArticle::ShowPart(int start, std::unique_ptr<QTextDocument> part, int length)
{
    flowStart_ = start;
    flowLength_ = length;
    Show(std::move(part));
}

void TTomericLinkedArticle::Reflow()
{
    TTomericLinkedArticle* head = Head();
    if (head != this) {
        head->Reflow();
        return;
    }
    if (!source_)
        return;
    const int total = source_->characterCount() - 1;
    int start = 0;
    for (TTomericLinkedArticle* frame = this; frame; frame = frame->next_) {
        const QSize area = frame->TextArea();
        std::unique_ptr<QTextDocument> part = CopyFrom(*source_, std::min(start, total));
        SetWrapWidth(*part, area.width());
        const int length = start >= total ? 0 : FittingLength(*part, area.height());
        TruncateAt(*part, length);
        frame->ShowPart(start, std::move(part), length);
        start += length;
        if (frame->next_ && start < total)
            Host().AdvanceLoadingProgress(); // the overflow goes on to the next frame
    }
}

void TTomericLinkedArticle::RequestReflow()
{
    TTomericLinkedArticle* head = Head();
    if (head->reflowPosted_)
        return;
    head->reflowPosted_ = true;
    QMetaObject::invokeMethod(
        head,
        [head] {
            head->reflowPosted_ = false;
            head->Reflow();
        },
        Qt::QueuedConnection);
}

void TTomericLinkedArticle::SetTextFile(const QString& name)
{
    TTomericLinkedArticle* head = Head();
    for (TTomericLinkedArticle* frame = head; frame; frame = frame->next_)
        frame->StoreTextFile(name);
    head->Reload(true);
}

bool TTomericLinkedArticle::JumpTo(const QString& bookmark)
{
    for (TTomericLinkedArticle* frame = Head(); frame; frame = frame->next_)
        if (frame->TBaseArticle::JumpTo(bookmark))
            return true;
    return false;
}

void TTomericLinkedArticle::LinkClicked(int position)
{
    FollowLink(*this, Document(), position, [this](const QString& bookmark) { JumpTo(bookmark); });
}

void TTomericLinkedArticle::SetObjectFont(const TFontChange& change)
{
    TTomericLinkedArticle* head = Head();
    if (head != this) {
        head->SetObjectFont(change);
        return;
    }
    TBaseArticle::SetObjectFont(change); // the head reloads and flows
}

void TTomericLinkedArticle::OnInit()
{
    if (!chained_ && window()) {
        // Nobody formed the chains: every page of the window, in order.
        std::vector<QWidget*> pages;
        for (TTomericBackground* background : window()->findChildren<TTomericBackground*>())
            pages.push_back(background);
        if (pages.empty())
            pages.push_back(window());
        FormChains(pages);
    }
    if (Head() == this && source_ && RefreshFields(*source_) > 0)
        Reflow();
}

bool TTomericLinkedArticle::HearsVariable(const QString& upperName) const
{
    return source_ && FieldsShowVariable(*source_, upperName);
}

void TTomericLinkedArticle::OnVarChanged(const QString& upperName, const QString& value)
{
    (void)value;
    if (Head() == this && source_ && RefreshFields(*source_, upperName) > 0)
        RequestReflow();
}

void TTomericLinkedArticle::resizeEvent(QResizeEvent* event)
{
    TBaseArticle::resizeEvent(event);
    RequestReflow();
}

TTomericObj* CreateLinkedArticle(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericLinkedArticle(parent, record, host);
}

} // namespace tomeric
