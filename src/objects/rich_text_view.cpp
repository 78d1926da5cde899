#include "objects/rich_text_view.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace tomeric {

namespace {

// The word of the copy pop-up menu (the player speaks French).
const char* const kCopyCaption = "Copier";

QAbstractTextDocumentLayout* LayoutOf(const QTextDocument& document)
{
    return const_cast<QTextDocument&>(document).documentLayout();
}

} // namespace

void DrawDocument(QPainter& painter, const QTextDocument& document, QPointF origin,
                  const QRectF& clip, const QColor& defaultColour, const QTextCursor& selection)
{
    painter.save();
    painter.setClipRect(clip, Qt::IntersectClip);
    painter.translate(origin);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = clip.translated(-origin);
    context.palette.setColor(QPalette::Text, defaultColour);
    if (selection.hasSelection()) {
        QAbstractTextDocumentLayout::Selection highlighted;
        highlighted.cursor = selection;
        highlighted.format.setBackground(QApplication::palette().color(QPalette::Highlight));
        highlighted.format.setForeground(QApplication::palette().color(QPalette::HighlightedText));
        context.selections.append(highlighted);
    }
    LayoutOf(document)->draw(&painter, context);
    painter.restore();
}

std::optional<int> DocumentPositionAt(const QTextDocument& document, QPointF point)
{
    const int near = LayoutOf(document)->hitTest(point, Qt::FuzzyHit);
    if (near < 0)
        return std::nullopt;
    const QTextBlock block = document.findBlock(near);
    if (!block.isValid() || !block.layout())
        return std::nullopt;
    const QRectF blockRect = LayoutOf(document)->blockBoundingRect(block);
    const QPointF inBlock = point - blockRect.topLeft();
    const QTextLayout* layout = block.layout();
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        const QRectF box = line.naturalTextRect();
        if (inBlock.y() < line.y() || inBlock.y() >= line.y() + line.height())
            continue;
        if (inBlock.x() < box.left() || inBlock.x() >= box.right())
            return std::nullopt;
        const int offset = line.xToCursor(inBlock.x(), QTextLine::CursorOnCharacter);
        if (offset < line.textStart() || offset >= line.textStart() + line.textLength())
            return std::nullopt;
        return block.position() + offset;
    }
    return std::nullopt;
}

qreal LineTop(const QTextDocument& document, int position)
{
    const QTextBlock block = document.findBlock(position);
    if (!block.isValid())
        return 0;
    const QRectF blockRect = LayoutOf(document)->blockBoundingRect(block);
    const QTextLayout* layout = block.layout();
    if (!layout)
        return blockRect.top();
    const QTextLine line = layout->lineForTextPosition(position - block.position());
    return blockRect.top() + (line.isValid() ? line.y() : 0);
}

// ---- the view ------------------------------------------------------------------------

TRichTextView::TRichTextView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    // Nothing is erased: the object beneath has painted its fill (or the
    // page, when it is transparent), and the text goes on top.
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TRichTextView::SetDocument(QTextDocument* document)
{
    document_ = document;
    selection_ = QTextCursor();
    Relayout();
}

void TRichTextView::SetScrollBars(bool on)
{
    scrollBars_ = on;
    Relayout();
}

void TRichTextView::SetWordWrap(bool on)
{
    if (wordWrap_ == on)
        return;
    wordWrap_ = on;
    Relayout();
}

void TRichTextView::SetAllowCopy(bool on)
{
    allowCopy_ = on;
    if (!on)
        ClearSelection();
}

void TRichTextView::SetDefaultColour(const QColor& colour)
{
    if (defaultColour_ == colour)
        return;
    defaultColour_ = colour;
    viewport()->update();
}

void TRichTextView::SetVisibleHeight(int height)
{
    if (visibleHeight_ == height)
        return;
    visibleHeight_ = height;
    viewport()->update();
}

int TRichTextView::LayoutWidth() const
{
    return layoutWidth_;
}

// Lays the document out at the width it gets and decides which scroll bars
// show: the vertical one when the text is taller than the view, the
// horizontal one only when it is wider (a table, a picture or an unwrapped
// line). The bars are shown or hidden here, at once (Qt would only do it
// from the event loop, after a page snapshot was taken), and the ranges are
// computed from the space the bars leave, not from the viewport's current
// geometry, which a view never shown does not have yet.
void TRichTextView::Relayout()
{
    if (relayingOut_)
        return;
    relayingOut_ = true;
    const QRect area = contentsRect();
    const int barWidth = verticalScrollBar()->sizeHint().width();
    const int barHeight = horizontalScrollBar()->sizeHint().height();
    auto layOut = [&](int viewWidth) {
        layoutWidth_ = std::max(1, viewWidth - kLeftInset);
        if (!document_)
            return QSizeF();
        QTextOption option = document_->defaultTextOption();
        option.setWrapMode(wordWrap_ ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
        if (document_->defaultTextOption().wrapMode() != option.wrapMode())
            document_->setDefaultTextOption(option);
        document_->setTextWidth(layoutWidth_);
        // Unwrapped lines keep their length; alignment works over the widest.
        if (!wordWrap_ && document_->idealWidth() > layoutWidth_)
            document_->setTextWidth(document_->idealWidth());
        return document_->size();
    };
    QSizeF size = layOut(area.width());
    bool vertical = false;
    bool horizontal = false;
    if (scrollBars_ && document_) {
        auto wider = [&](int viewWidth) { return std::ceil(size.width()) + kLeftInset > viewWidth; };
        vertical = std::ceil(size.height()) > area.height();
        if (vertical)
            size = layOut(area.width() - barWidth);
        horizontal = wider(area.width() - (vertical ? barWidth : 0));
        if (horizontal && !vertical && std::ceil(size.height()) > area.height() - barHeight) {
            vertical = true;
            size = layOut(area.width() - barWidth);
            horizontal = wider(area.width() - barWidth);
        }
    }
    viewSize_ = QSize(std::max(1, area.width() - (vertical ? barWidth : 0)),
                      std::max(1, area.height() - (horizontal ? barHeight : 0)));
    const auto policy = [](bool on) { return on ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff; };
    if (verticalScrollBarPolicy() != policy(vertical))
        setVerticalScrollBarPolicy(policy(vertical));
    if (horizontalScrollBarPolicy() != policy(horizontal))
        setHorizontalScrollBarPolicy(policy(horizontal));
    UpdateScrollRanges();
    viewport()->update();
    relayingOut_ = false;
}

void TRichTextView::UpdateScrollRanges()
{
    const QSizeF size = document_ ? document_->size() : QSizeF();
    const int height = int(std::ceil(size.height()));
    const int width = int(std::ceil(size.width())) + kLeftInset;
    verticalScrollBar()->setRange(0, std::max(0, height - viewSize_.height()));
    verticalScrollBar()->setPageStep(std::max(1, viewSize_.height()));
    const QFont font = document_ ? document_->defaultFont() : this->font();
    verticalScrollBar()->setSingleStep(std::max(1, int(QFontMetricsF(font).lineSpacing())));
    horizontalScrollBar()->setRange(0, std::max(0, width - viewSize_.width()));
    horizontalScrollBar()->setPageStep(std::max(1, viewSize_.width()));
}

void TRichTextView::ScrollToPosition(int position)
{
    if (!document_)
        return;
    verticalScrollBar()->setValue(int(LineTop(*document_, position)));
}

int TRichTextView::ScrollPosition() const { return verticalScrollBar()->value(); }

void TRichTextView::SetScrollPosition(int value) { verticalScrollBar()->setValue(value); }

void TRichTextView::ScrollByLines(int lines)
{
    verticalScrollBar()->setValue(verticalScrollBar()->value() + lines * verticalScrollBar()->singleStep());
}

void TRichTextView::ClearSelection()
{
    if (!selection_.hasSelection())
        return;
    selection_.clearSelection();
    viewport()->update();
}

void TRichTextView::ShowSelection(const QTextCursor& selection)
{
    selection_ = selection;
    viewport()->update();
}

void TRichTextView::CopySelection()
{
    if (!allowCopy_ || !selection_.hasSelection())
        return;
    const QString text = selectionText ? selectionText(selection_) : selection_.selectedText();
    QApplication::clipboard()->setText(text);
}

QPointF TRichTextView::ToDocument(QPoint viewportPoint) const
{
    return QPointF(viewportPoint) +
           QPointF(horizontalScrollBar()->value() - kLeftInset, verticalScrollBar()->value());
}

std::optional<int> TRichTextView::HotTextAt(QPoint viewportPoint) const
{
    if (!document_ || !isLink_)
        return std::nullopt;
    if (visibleHeight_ >= 0 && viewportPoint.y() >= visibleHeight_)
        return std::nullopt;
    const std::optional<int> position = DocumentPositionAt(*document_, ToDocument(viewportPoint));
    if (position && isLink_(*position))
        return position;
    return std::nullopt;
}

void TRichTextView::paintEvent(QPaintEvent* event)
{
    if (!document_)
        return;
    QPainter painter(viewport());
    QRectF clip = event->rect();
    if (visibleHeight_ >= 0)
        clip = clip.intersected(QRectF(0, 0, viewport()->width(), visibleHeight_));
    const QPointF origin(kLeftInset - horizontalScrollBar()->value(), -verticalScrollBar()->value());
    DrawDocument(painter, *document_, origin, clip, defaultColour_, selection_);
}

void TRichTextView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    Relayout();
}

void TRichTextView::scrollContentsBy(int, int) { viewport()->update(); }

void TRichTextView::mousePressEvent(QMouseEvent* event)
{
    pressedLink_.reset();
    selecting_ = false;
    if (event->button() != Qt::LeftButton || !document_) {
        event->ignore();
        return;
    }
    pressedLink_ = HotTextAt(event->position().toPoint());
    if (pressedLink_ || !allowCopy_) {
        event->accept();
        return;
    }
    const int position = LayoutOf(*document_)->hitTest(ToDocument(event->position().toPoint()), Qt::FuzzyHit);
    selection_ = QTextCursor(document_);
    selection_.setPosition(std::max(0, position));
    selecting_ = true;
    viewport()->update();
}

void TRichTextView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (selecting_ && document_) {
        const int position = LayoutOf(*document_)->hitTest(ToDocument(point), Qt::FuzzyHit);
        if (position >= 0)
            selection_.setPosition(position, QTextCursor::KeepAnchor);
        viewport()->update();
        return;
    }
    if (HotTextAt(point))
        viewport()->setCursor(linkCursor_);
    else
        viewport()->unsetCursor();
    event->ignore();
}

void TRichTextView::mouseReleaseEvent(QMouseEvent* event)
{
    selecting_ = false;
    const std::optional<int> pressed = pressedLink_;
    pressedLink_.reset();
    if (pressed && event->button() == Qt::LeftButton && HotTextAt(event->position().toPoint())) {
        emit LinkClicked(*pressed);
        return;
    }
    event->ignore();
}

void TRichTextView::keyPressEvent(QKeyEvent* event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    // Up and Down scroll the text by a line instead of moving a caret.
    if (event->key() == Qt::Key_Up && !shift)
        ScrollByLines(-1);
    else if (event->key() == Qt::Key_Down && !shift)
        ScrollByLines(1);
    else if (event->key() == Qt::Key_PageUp)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
    else if (event->key() == Qt::Key_PageDown)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    else if (event->key() == Qt::Key_Home && control)
        verticalScrollBar()->setValue(0);
    else if (event->key() == Qt::Key_End && control)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    else if (event->matches(QKeySequence::Copy))
        CopySelection();
    else if (event->matches(QKeySequence::SelectAll) && allowCopy_ && document_) {
        selection_ = QTextCursor(document_);
        selection_.select(QTextCursor::Document);
        viewport()->update();
    } else {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TRichTextView::contextMenuEvent(QContextMenuEvent* event)
{
    if (!allowCopy_) {
        event->ignore();
        return;
    }
    QMenu menu(this);
    QAction* copy = menu.addAction(QString::fromUtf8(kCopyCaption));
    copy->setEnabled(selection_.hasSelection());
    connect(copy, &QAction::triggered, this, &TRichTextView::CopySelection);
    menu.exec(event->globalPos());
}

} // namespace tomeric
