#include "objects/shapes.h"

#include "imaging/opaque_region.h"
#include "pages/background_painter.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QResizeEvent>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace tomeric {

// ---- shared geometry -------------------------------------------------------------------

namespace shapes {

QPen OutlinePen(const TTomericObj& object, int width)
{
    if (width <= 0 || object.LineStyle() == qxpsClear) return Qt::NoPen;
    QPen pen(OpaqueColor(object.LineColor()), width);
    switch (object.LineStyle()) {
    case qxpsDash: pen.setStyle(Qt::DashLine); break;
    case qxpsDot: pen.setStyle(Qt::DotLine); break;
    case qxpsDashDot: pen.setStyle(Qt::DashDotLine); break;
    case qxpsDashDotDot: pen.setStyle(Qt::DashDotDotLine); break;
    default: pen.setStyle(Qt::SolidLine); break;
    }
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

QRegion PaintedRegion(const QSize& size, const QPainterPath& area, const QPen& pen)
{
    if (size.isEmpty()) return {};
    // Drawn white on black: every pixel the shape touches, however lightly,
    // is not black any more.
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing, true);
        QPen white = pen;
        if (white.style() != Qt::NoPen) {
            white.setColor(Qt::white);
            white.setStyle(Qt::SolidLine);
        }
        painter.setPen(white);
        painter.setBrush(Qt::white);
        painter.drawPath(area);
    }
    return BuildOpaqueRegion(canvas, 0x000000).value_or(QRegion());
}

bool IsTransparentColour(std::int32_t colour)
{
    return colour >= 0 && colour <= 0xFFFFFF;
}

QImage WithTransparentColour(const QImage& image, std::int32_t colour)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    if (!IsTransparentColour(colour) || out.isNull()) return out;
    const QRgb key = PixelOfColour(std::uint32_t(colour)) & 0xFFFFFF;
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((row[x] & 0xFFFFFF) == key) row[x] = 0;
    }
    return out;
}

} // namespace shapes

using shapes::OutlinePen;

namespace {

bool DrawsBorder(const TTomericObj& object)
{
    return object.LineWidth() > 0 && object.LineStyle() != qxpsClear;
}

// Shapes are drawn on pixel centres, as the author's renderer did: a line
// at y = 20 one pixel wide fills pixel row 20 rather than half of rows 19
// and 20.
constexpr qreal kPixelCentre = 0.5;

QPainterPath OnPixelCentres(const QPainterPath& path)
{
    return path.translated(kPixelCentre, kPixelCentre);
}

// The outline as the mouse sees it: the border's width whatever its style,
// so that changing only the style never leaves the mask stale.
QPen MaskPen(const TTomericObj& object)
{
    if (object.LineWidth() <= 0) return Qt::NoPen;
    return QPen(Qt::white, object.LineWidth());
}

} // namespace

// ---- rectangle ---------------------------------------------------------------------------

TTomericRect::TTomericRect(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericObj(parent, record, host)
{
}

namespace {

// Where a hosted window lies: inside the rectangle's outline, on its fill.
QRect HostArea(const TTomericRect& rectangle)
{
    const int inset = rectangle.LineWidth();
    return rectangle.rect().adjusted(inset, inset, -inset, -inset);
}

} // namespace

QWidget* TTomericRect::EmbedWindow(QWindow* window)
{
    if (!window) return nullptr;
    QWidget* container = QWidget::createWindowContainer(window, this);
    EmbedWidget(container);
    return container;
}

void TTomericRect::EmbedWidget(QWidget* widget)
{
    if (!widget) return;
    widget->setParent(this);
    widget->setGeometry(HostArea(*this));
    widget->setEnabled(EnabledState());
    widget->show();
    hosted_.emplace_back(widget);
    // While it hosts a window the rectangle passes the keyboard on to it.
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(widget);
}

std::vector<QWidget*> TTomericRect::HostedWidgets() const
{
    std::vector<QWidget*> alive;
    for (const QPointer<QWidget>& widget : hosted_)
        if (widget) alive.push_back(widget.data());
    return alive;
}

void TTomericRect::SetEnabledState(bool value)
{
    TTomericObj::SetEnabledState(value);
    for (QWidget* widget : HostedWidgets()) widget->setEnabled(value);
}

void TTomericRect::OnPageHide()
{
    for (QWidget* widget : HostedWidgets()) widget->hide();
}

void TTomericRect::OnPageShow()
{
    for (QWidget* widget : HostedWidgets()) widget->show();
}

QWidget* TTomericRect::FocusTarget()
{
    const std::vector<QWidget*> alive = HostedWidgets();
    if (!alive.empty()) return alive.front();
    return TTomericObj::FocusTarget();
}

void TTomericRect::resizeEvent(QResizeEvent* event)
{
    TTomericObj::resizeEvent(event);
    for (QWidget* widget : HostedWidgets()) widget->setGeometry(HostArea(*this));
}

// ---- masked shapes -----------------------------------------------------------------------

TTomericMaskedShape::TTomericMaskedShape(QWidget* parent, const TObjectRecord& record,
                                         ObjectHost& host)
    : TTomericObj(parent, record, host)
{
    FixTransparency(true);
}

void TTomericMaskedShape::UpdateHitMask()
{
    const QRegion region = HitRegion();
    // A shape too small to cover a pixel still answers over its rectangle
    // rather than vanishing from the mouse altogether.
    if (region.isEmpty()) clearMask();
    else setMask(region);
}

void TTomericMaskedShape::resizeEvent(QResizeEvent* event)
{
    TTomericObj::resizeEvent(event);
    UpdateHitMask();
}

// ---- rounded rectangle ----------------------------------------------------------------------

TTomericRoundRect::TTomericRoundRect(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericMaskedShape(parent, record, host)
{
    // The mask follows with the first resize event, delivered when the
    // object is first shown or rendered.
}

int TTomericRoundRect::CornerSize(int width, int height)
{
    return std::max(0, std::min({15, width / 4, height / 4}));
}

QPainterPath TTomericRoundRect::Outline() const
{
    QRectF area(0, 0, width() - 1, height() - 1);
    if (DrawsBorder(*this) && LineWidth() > 1) {
        const qreal half = LineWidth() / 2.0;
        area.adjust(half, half, -half, -half);
    }
    const qreal radius = CornerSize(width(), height()) / 2.0;
    QPainterPath path;
    path.addRoundedRect(area, radius, radius);
    return path;
}

void TTomericRoundRect::DrawShape(QPainter& painter)
{
    painter.setBrush(ShapeBrush());
    painter.setPen(OutlinePen(*this, LineWidth()));
    painter.drawPath(OnPixelCentres(Outline()));
}

QRegion TTomericRoundRect::HitRegion() const
{
    return shapes::PaintedRegion(size(), OnPixelCentres(Outline()), MaskPen(*this));
}

// ---- ellipse -----------------------------------------------------------------------------------

TTomericCircle::TTomericCircle(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericMaskedShape(parent, record, host)
{
    // The mask follows with the first resize event, delivered when the
    // object is first shown or rendered.
}

QRectF TTomericCircle::EllipseRect() const
{
    QRectF area(0, 0, width() - 1, height() - 1);
    if (DrawsBorder(*this) && LineWidth() > 1) {
        const qreal half = LineWidth() / 2.0;
        area.adjust(half, half, -half, -half);
    }
    return area;
}

void TTomericCircle::DrawShape(QPainter& painter)
{
    painter.setBrush(ShapeBrush());
    painter.setPen(OutlinePen(*this, LineWidth()));
    painter.drawEllipse(EllipseRect().translated(kPixelCentre, kPixelCentre));
}

QRegion TTomericCircle::HitRegion() const
{
    QPainterPath path;
    path.addEllipse(EllipseRect());
    return shapes::PaintedRegion(size(), OnPixelCentres(path), MaskPen(*this));
}

// ---- line ---------------------------------------------------------------------------------------

namespace {

// Below this width a line is hard to hit; the mouse sees it this wide.
constexpr double kMinimumHitWidth = 5.0;

QPointF Direction(QPointF from, QPointF to)
{
    const QPointF d = to - from;
    // Vertical (and degenerate) lines point straight down or up by the order
    // of their points.
    if (d.x() == 0) return QPointF(0, d.y() < 0 ? -1 : 1);
    const double length = std::hypot(d.x(), d.y());
    return d / length;
}

} // namespace

TTomericLine::TTomericLine(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericMaskedShape(parent, record, host)
{
    QPoint start(LineWidth(), LineWidth());
    QPoint end(width() - LineWidth(), height() - LineWidth());
    QPoint origin; // the parent's offset of the points (the publication area's origin)
    if (const auto* props = record.As<TLineProps>()) {
        start = props->start;
        end = props->end;
        startArrow_ = props->HasStartArrow();
        endArrow_ = props->HasEndArrow();
        const QPoint boxCorner(std::min(start.x(), end.x()) - LineWidth(),
                               std::min(start.y(), end.y()) - LineWidth());
        origin = pos() - boxCorner;
    } else {
        origin = pos();
    }
    SetEndPoints(start + origin, end + origin);
}

QPoint TTomericLine::StartPoint() const { return pos() + start_; }
QPoint TTomericLine::EndPoint() const { return pos() + end_; }

void TTomericLine::SetArrows(bool atStart, bool atEnd)
{
    if (startArrow_ == atStart && endArrow_ == atEnd) return;
    const QPoint start = StartPoint(), end = EndPoint();
    startArrow_ = atStart;
    endArrow_ = atEnd;
    SetEndPoints(start, end);
}

int TTomericLine::Margin() const
{
    int margin = LineWidth();
    if (startArrow_ || endArrow_) {
        // Half the base of a head, and a pixel for its outline.
        const int halfBase = int(std::ceil(ArrowLength(LineWidth()) / 2.0)) + 1;
        margin = std::max(margin, halfBase);
    }
    return margin;
}

void TTomericLine::SetEndPoints(QPoint start, QPoint end)
{
    const int margin = Margin();
    placedMargin_ = margin;
    const QPoint topLeft(std::min(start.x(), end.x()) - margin, std::min(start.y(), end.y()) - margin);
    start_ = start - topLeft;
    end_ = end - topLeft;
    const QSize span(std::abs(end.x() - start.x()), std::abs(end.y() - start.y()));
    const QRect window(topLeft, span + QSize(2 * margin, 2 * margin));
    const bool sameSize = window.size() == size();
    setGeometry(window);
    if (sameSize) UpdateHitMask();
    LookChanged();
}

void TTomericLine::MoveStrokeTo(QPoint topLeft)
{
    move(topLeft - QPoint(Margin(), Margin()));
}

void TTomericLine::SizeStrokeTo(int width, int height)
{
    const QPoint start = StartPoint(), end = EndPoint();
    const QPoint corner(std::min(start.x(), end.x()), std::min(start.y(), end.y()));
    const QPointF centre = (QPointF(start) + QPointF(end)) / 2.0;
    // The start point keeps its side of the old centre on each axis; a
    // horizontal or vertical line counts as on the left or top.
    const bool startRight = start.x() > centre.x();
    const bool startBottom = start.y() > centre.y();
    const int w = std::max(width, 0), h = std::max(height, 0);
    const QPoint newStart(corner.x() + (startRight ? w : 0), corner.y() + (startBottom ? h : 0));
    const QPoint newEnd(corner.x() + (startRight ? 0 : w), corner.y() + (startBottom ? 0 : h));
    SetEndPoints(newStart, newEnd);
}

double TTomericLine::ArrowLength(int lineWidth, double scale)
{
    return (std::max(1, lineWidth) + 1) * 4.0 * scale;
}

TArrowHead TTomericLine::ArrowHead(QPointF tip, QPointF from, double length)
{
    // `back` runs from the tip into the line; the back corners lie half the
    // length to either side of the point `length` along it, which puts them
    // length x sqrt(1.25) from the tip at atan(0.5) off the line.
    const QPointF back = Direction(tip, from);
    const QPointF across(-back.y(), back.x());
    TArrowHead head;
    head.tip = tip;
    head.baseMiddle = tip + back * length;
    head.left = head.baseMiddle + across * (length / 2.0);
    head.right = head.baseMiddle - across * (length / 2.0);
    return head;
}

std::optional<QString> TTomericLine::FamilyInfo(const QString& upperInfo) const
{
    const int margin = Margin();
    if (upperInfo == QLatin1String("LEFT")) return QString::number(x() + margin);
    if (upperInfo == QLatin1String("TOP")) return QString::number(y() + margin);
    if (upperInfo == QLatin1String("WIDTH")) return QString::number(width() - 2 * margin);
    if (upperInfo == QLatin1String("HEIGHT")) return QString::number(height() - 2 * margin);
    return std::nullopt;
}

void TTomericLine::DrawLine(QPainter& painter, QPointF start, QPointF end, const QPen& pen,
                            double arrowScale) const
{
    if (pen.style() == Qt::NoPen) return;
    const double length = ArrowLength(LineWidth(), arrowScale);
    QPointF strokeStart = start, strokeEnd = end;
    std::vector<TArrowHead> heads;
    if (startArrow_) heads.push_back(ArrowHead(start, end, length));
    if (endArrow_) heads.push_back(ArrowHead(end, start, length));
    if (startArrow_) strokeStart = heads.front().baseMiddle;
    if (endArrow_) strokeEnd = heads.back().baseMiddle;

    painter.save();
    // The stroke is left out when the heads already cover a line shorter
    // than themselves (it would run backwards between their bases).
    const QPointF along = end - start, stroke = strokeEnd - strokeStart;
    if (QPointF::dotProduct(along, stroke) > 0 || heads.empty()) {
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawLine(strokeStart, strokeEnd);
    }
    QPen outline(pen.color(), 1);
    outline.setJoinStyle(Qt::MiterJoin);
    painter.setPen(outline);
    painter.setBrush(pen.color());
    for (const TArrowHead& head : heads)
        painter.drawPolygon(QPolygonF{head.tip, head.left, head.right});
    painter.restore();
}

QPainterPath TTomericLine::LinePath(QPointF start, QPointF end, double arrowScale,
                                    double minWidth) const
{
    QPainterPath centre;
    centre.moveTo(start);
    centre.lineTo(end);
    QPainterPathStroker stroker;
    stroker.setWidth(std::max<double>(LineWidth(), minWidth));
    stroker.setCapStyle(Qt::FlatCap);
    QPainterPath path = stroker.createStroke(centre);
    const double length = ArrowLength(LineWidth(), arrowScale);
    if (startArrow_ || endArrow_) {
        for (const auto& [tip, from] : {std::pair{start, end}, std::pair{end, start}}) {
            if ((tip == start && !startArrow_) || (tip == end && !endArrow_)) continue;
            const TArrowHead head = ArrowHead(tip, from, length);
            QPainterPath triangle;
            triangle.addPolygon(QPolygonF{head.tip, head.left, head.right, head.tip});
            path = path.united(triangle);
        }
    }
    return path;
}

void TTomericLine::DrawShape(QPainter& painter)
{
    const QPointF centre(kPixelCentre, kPixelCentre);
    DrawLine(painter, start_ + centre, end_ + centre, OutlinePen(*this, LineWidth()), 1.0);
}

QRegion TTomericLine::HitRegion() const
{
    return shapes::PaintedRegion(size(),
                                 OnPixelCentres(LinePath(start_, end_, 1.0, kMinimumHitWidth)));
}

void TTomericLine::LineChanged()
{
    if (placedMargin_ != Margin()) {
        // The window keeps a margin of LineWidth around the stroke.
        const QPoint start = pos() + start_, end = pos() + end_;
        SetEndPoints(start, end);
        return;
    }
    UpdateHitMask();
}

void TTomericLine::PaintScaled(QPainter& painter, const QRect& target, bool scaled,
                               int pixelsPerInch, double factorX, double factorY)
{
    (void)pixelsPerInch;
    if (!scaled) factorX = factorY = 1.0;
    const double mean = (factorX + factorY) / 2.0;
    auto map = [&](QPoint p) {
        return QPointF(target.left() + (p.x() + kPixelCentre) * factorX,
                       target.top() + (p.y() + kPixelCentre) * factorY);
    };
    const int width = std::max(1, int(std::lround(LineWidth() * mean)));
    QPen pen = OutlinePen(*this, LineWidth() > 0 ? width : 0);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    // Arrow sizes follow the factor, rounded to whole pixels.
    const double arrowScale = std::round(ArrowLength(LineWidth(), mean)) / ArrowLength(LineWidth());
    DrawLine(painter, map(start_), map(end_), pen, arrowScale);
    painter.restore();
}

// ---- creators ---------------------------------------------------------------------------------------

TTomericObj* CreateRect(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericRect(parent, record, host);
}

TTomericObj* CreateRoundRect(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericRoundRect(parent, record, host);
}

TTomericObj* CreateCircle(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericCircle(parent, record, host);
}

TTomericObj* CreateLine(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericLine(parent, record, host);
}

} // namespace tomeric
