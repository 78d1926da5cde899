#pragma once
// The read-only view that shows an article's document: it paints the
// document over whatever lies beneath (it never erases, so a transparent
// article shows the page), scrolls it, lets the user select and copy when
// the article allows it, and reports clicks on hot text. Text objects paint
// their document themselves with the same helpers (DrawDocument,
// DocumentPositionAt).

#include <QAbstractScrollArea>
#include <QColor>
#include <QPointer>
#include <QTextCursor>

#include <functional>
#include <optional>

class QMenu;
class QTextDocument;

namespace tomeric {

// Paints `document` with its top-left corner at `origin`, text without a
// colour of its own in `defaultColour`, `selection` highlighted when it has
// one. Only the part inside `clip` (painter coordinates) is drawn.
void DrawDocument(QPainter& painter, const QTextDocument& document, QPointF origin,
                  const QRectF& clip, const QColor& defaultColour,
                  const QTextCursor& selection = QTextCursor());

// The character position under `point` (document coordinates), when the
// point lies on text.
std::optional<int> DocumentPositionAt(const QTextDocument& document, QPointF point);

// The top of the line holding `position`, in document coordinates.
qreal LineTop(const QTextDocument& document, int position);

class TRichTextView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TRichTextView(QWidget* parent);

    // The document shown (owned by the caller, which keeps it alive while it
    // is shown); null shows nothing.
    void SetDocument(QTextDocument* document);
    QTextDocument* Document() const { return document_; }

    // Scroll bars as needed (the vertical one for text taller than the view,
    // the horizontal one only for text wider than it), or none.
    void SetScrollBars(bool on);
    // Word wrap: lines broken at the view's width; off: one line a paragraph.
    void SetWordWrap(bool on);
    bool WordWrap() const { return wordWrap_; }
    // Selection and the copy menu (ALLOWCOPY=).
    void SetAllowCopy(bool on);
    bool AllowCopy() const { return allowCopy_; }
    void SetDefaultColour(const QColor& colour);
    // Lines below this height (viewport pixels) are not drawn: a linked
    // frame shows only the lines that fit. Negative: no limit.
    void SetVisibleHeight(int height);

    // `isLink(position)`: whether a character is hot text (the pointer shows
    // the hot-spot cursor over it and a click reports it).
    void SetLinkTest(std::function<bool(int)> isLink) { isLink_ = std::move(isLink); }
    void SetLinkCursor(const QCursor& cursor) { linkCursor_ = cursor; }

    // Scrolls so that the line holding `position` is at the top.
    void ScrollToPosition(int position);
    int ScrollPosition() const;
    void SetScrollPosition(int value);
    // Re-lays out the document at the current width (after a load or font change).
    void Relayout();

    QTextCursor Selection() const { return selection_; }
    void ClearSelection();
    // Highlights a range of the document (a found text), copy allowed or not.
    void ShowSelection(const QTextCursor& selection);
    // The selection as plain text for the user (copy, SelectedText).
    std::function<QString(const QTextCursor&)> selectionText;
    void CopySelection();

    // The width the document is laid out at (the view's width without the
    // vertical scroll bar, minus the left inset).
    int LayoutWidth() const;
    static constexpr int kLeftInset = 4;

signals:
    // A click (press and release without selecting) on hot text.
    void LinkClicked(int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    QPointF ToDocument(QPoint viewportPoint) const;
    std::optional<int> HotTextAt(QPoint viewportPoint) const;
    void UpdateScrollRanges();
    void ScrollByLines(int lines);

    QPointer<QTextDocument> document_;
    bool scrollBars_ = false;
    bool relayingOut_ = false;
    int layoutWidth_ = 1;
    QSize viewSize_{1, 1}; // the viewport's size once the shown bars are placed
    bool wordWrap_ = true;
    bool allowCopy_ = false;
    QColor defaultColour_ = Qt::black;
    int visibleHeight_ = -1;
    std::function<bool(int)> isLink_;
    QCursor linkCursor_ = Qt::PointingHandCursor;
    QTextCursor selection_;
    std::optional<int> pressedLink_;
    bool selecting_ = false;
};

} // namespace tomeric
