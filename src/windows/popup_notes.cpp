#include "windows/popup_notes.h"

#include "windows/dialog_look.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

namespace tomeric {

namespace {

constexpr int kTextFlags = Qt::TextWordWrap | Qt::TextExpandTabs;
const QColor kBalloonBorder(178, 178, 162);
const QColor kNoteBorder(118, 118, 118);
const QColor kNoteShadow(148, 148, 148);
const QColor kNoteShadowEdge(188, 188, 188);
const QColor kNoteShadowOuterEdge(220, 220, 220);

// `percent` of `a` over the rest of `b`.
QColor Blend(const QColor& a, const QColor& b, int percent)
{
    auto mix = [percent](int x, int y) { return (x * percent + y * (100 - percent)) / 100; };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

bool HighColour()
{
    return DisplayColourCount() > 256;
}

// The seam where the stem meets the body: the body's three border lines
// across the stem's base, painted over in the background.
void PaintSeam(QPainter& painter, const TBalloonShape& shape, const QColor& background)
{
    const bool horizontal = shape.baseStart.y() == shape.baseEnd.y();
    const QPoint inwards = horizontal ? QPoint(0, shape.tip.y() < shape.baseStart.y() ? 1 : -1)
                                      : QPoint(shape.tip.x() < shape.baseStart.x() ? 1 : -1, 0);
    const QPoint along = horizontal ? QPoint(1, 0) : QPoint(0, 1);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(background);
    for (int line = 0; line < 3; ++line)
        painter.drawLine(shape.baseStart + along + inwards * line, shape.baseEnd - along + inwards * line);
}

} // namespace

QString PopUpDisplayText(const QString& text)
{
    return DialogDisplayText(text);
}

QSize MeasurePopUpText(const QFont& font, const QString& text, int wrapWidth)
{
    if (text.isEmpty())
        return {0, 0};
    const QFontMetrics metrics(font);
    const int width = wrapWidth > 0 ? wrapWidth : 1 << 20;
    const int flags = Qt::TextExpandTabs | (wrapWidth > 0 ? Qt::TextWordWrap : 0);
    return metrics.boundingRect(QRect(0, 0, width, 1 << 20), flags, text).size();
}

void DrawPopUpText(QPainter& painter, const QRect& area, const QString& text, Qt::Alignment alignment,
                   bool enabled)
{
    painter.setPen(enabled ? QColor(Qt::black) : QColor(Qt::gray));
    painter.drawText(area, kTextFlags | int(alignment) | Qt::AlignVCenter, text);
}

// ---- balloon ------------------------------------------------------------------------

TTomericBalloon::TTomericBalloon(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void TTomericBalloon::SetText(const QString& text)
{
    if (text_ == text)
        return;
    text_ = text;
    update();
}

void TTomericBalloon::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const TBalloonShape shape = BalloonShape(size(), stemPos, stemOffset, metrics);
    if (HighColour())
        PaintHighColour(painter, shape);
    else
        PaintLowColour(painter, shape);
    painter.setFont(font());
    const QRect textArea = shape.body.adjusted(metrics.xOffset, metrics.yOffset, -metrics.xOffset, -metrics.yOffset);
    DrawPopUpText(painter, textArea, text_, alignment, isEnabled());
}

void TTomericBalloon::PaintHighColour(QPainter& painter, const TBalloonShape& shape)
{
    // A 3-pixel border that fades into the body: the border colour, then
    // it blended with the background at 40 and at 20 per cent; the corners
    // are anti-aliased arcs.
    const QRectF outer = QRectF(shape.body).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(kBalloonBorder, 1));
    painter.setBrush(backgroundColor);
    painter.drawRoundedRect(outer, 4, 4);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Blend(kBalloonBorder, backgroundColor, 40), 1));
    painter.drawRoundedRect(outer.adjusted(1, 1, -1, -1), 3, 3);
    painter.setPen(QPen(Blend(kBalloonBorder, backgroundColor, 20), 1));
    painter.drawRoundedRect(outer.adjusted(2, 2, -2, -2), 2, 2);

    const QPointF half(0.5, 0.5);
    const QPolygonF stem{QPointF(shape.tip) + half, QPointF(shape.baseStart) + half, QPointF(shape.baseEnd) + half};
    painter.setPen(QPen(kBalloonBorder, 1));
    painter.setBrush(backgroundColor);
    painter.drawPolygon(stem);
    PaintSeam(painter, shape, backgroundColor);
}

void TTomericBalloon::PaintLowColour(QPainter& painter, const TBalloonShape& shape)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::black);
    painter.setBrush(backgroundColor);
    const int radius = metrics.cornerSize / 2;
    painter.drawRoundedRect(shape.body.adjusted(0, 0, -1, -1), radius, radius);
    painter.drawPolygon(QPolygon{shape.tip, shape.baseStart, shape.baseEnd});
    PaintSeam(painter, shape, backgroundColor);
}

TPopUpBalloonForm::TPopUpBalloonForm(const TPopUpEnvironment& environment, const QFont& dialogFont)
    : TPopUpPalette(TPopUpKind::pkBalloon, environment), balloon_(new TTomericBalloon(this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFont(dialogFont);
    balloon_->backgroundColor = QColor(255, 251, 240);
    balloon_->alignment = Qt::AlignHCenter;
    balloon_->metrics = TBalloonMetrics{8, 8, 16, 5, 16};
}

QPoint TPopUpBalloonForm::Prepare(const QString& text, const QPoint& target, const QRect& screen)
{
    const QString shown = PopUpDisplayText(text);
    balloon_->SetText(shown);
    const QSize client = BalloonClientSize(MeasurePopUpText(font(), shown), balloon_->metrics);
    const TBalloonPlacement placement = PlaceBalloon(client, target, screen, balloon_->metrics);
    balloon_->stemPos = placement.stemPos;
    balloon_->stemOffset = placement.stemOffset;
    resize(client);
    balloon_->setGeometry(rect());
    return placement.window.topLeft();
}

// ---- sticky note --------------------------------------------------------------------

TTomericStickyNote::TTomericStickyNote(QWidget* parent)
    : QWidget(parent), backgroundColor(QToolTip::palette().color(QPalette::Inactive, QPalette::ToolTipBase))
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void TTomericStickyNote::SetText(const QString& text)
{
    if (text_ == text)
        return;
    text_ = text;
    update();
}

void TTomericStickyNote::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const int shadow = metrics.shadowSize;
    const QRect note(0, 0, width(), height() - shadow);
    const bool high = HighColour();
    painter.setPen(high ? kNoteBorder : QColor(Qt::black));
    painter.setBrush(backgroundColor);
    painter.drawRect(note.adjusted(0, 0, -1, -1));
    if (shadow > 1) {
        // A strip under the note, softened at its ends by two lighter columns.
        const int top = note.bottom() + 1;
        const int left = note.left() + 4;
        const int right = note.right() - 4;
        painter.fillRect(QRect(QPoint(left, top), QPoint(right, top + shadow - 1)), high ? kNoteShadow : QColor(128, 128, 128));
        if (high) {
            painter.fillRect(QRect(left - 1, top, 1, shadow), kNoteShadowEdge);
            painter.fillRect(QRect(right + 1, top, 1, shadow), kNoteShadowEdge);
            painter.fillRect(QRect(left - 2, top, 1, shadow), kNoteShadowOuterEdge);
            painter.fillRect(QRect(right + 2, top, 1, shadow), kNoteShadowOuterEdge);
        }
    }
    painter.setFont(font());
    const QRect textArea = note.adjusted(metrics.xOffset, metrics.yOffset, -metrics.xOffset, -metrics.yOffset);
    DrawPopUpText(painter, textArea, text_, alignment, isEnabled());
}

TPopUpStickyNoteForm::TPopUpStickyNoteForm(const TPopUpEnvironment& environment, const QFont& dialogFont)
    : TPopUpPalette(TPopUpKind::pkStickyNote, environment), note_(new TTomericStickyNote(this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFont(dialogFont);
    // Windows adds its drop shadow under the note; no window system here
    // does that for such a window, so the note draws its own strip.
    note_->metrics = TStickyNoteMetrics{8, 8, 5};
}

QPoint TPopUpStickyNoteForm::Prepare(const QString& text, int x, int y, const QRect& pageArea, const QRect& screen)
{
    const QString shown = PopUpDisplayText(text);
    note_->SetText(shown);
    const QSize oneLine = MeasurePopUpText(font(), shown);
    const int wrapWidth = StickyNoteWrapWidth(oneLine.width(), screen.width(), note_->metrics);
    const QSize textSize =
        wrapWidth > 0 ? QSize(wrapWidth, MeasurePopUpText(font(), shown, wrapWidth).height()) : oneLine;
    const QSize client = StickyNoteClientSize(textSize, screen.width(), note_->metrics);
    resize(client);
    note_->setGeometry(rect());
    return PlaceStickyNote(client, x, y, pageArea, screen).topLeft();
}

} // namespace tomeric
