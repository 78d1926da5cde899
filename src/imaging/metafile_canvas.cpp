#include "imaging/metafile_canvas.h"

#include <QPaintEngine>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tomeric {
namespace {

constexpr double kCoordinateLimit = 1 << 22;
constexpr double kMaxPenWidth = 1 << 14;
constexpr double kRecordCost = 16;
// A play may paint this many times the target's area, plus a margin for
// small targets.
constexpr double kBudgetAreas = 256;
constexpr double kBudgetMargin = 1 << 24;

// The part of a segment inside `box` (Liang-Barsky); false when none is.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& box) {
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    double from = 0, to = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(), box.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            from = std::max(from, t);
        else
            to = std::min(to, t);
        if (from > to)
            return false;
    }
    const QPointF start = a;
    a = start + QPointF(dx, dy) * from;
    b = start + QPointF(dx, dy) * to;
    return true;
}

// Qt's antialiased rasterizer takes time in proportion to a shape's size,
// however little of it shows: a shape reaching far beyond `box` is cut down
// to it first (fills figure by figure, which keeps them exact inside the
// box; strokes segment by segment, so only joins outside the box change).
QPainterPath WithinBox(const QPainterPath& path, const QRectF& box, bool stroke) {
    if (box.contains(path.controlPointRect()))
        return path;
    QPainterPath cut;
    cut.setFillRule(path.fillRule());
    for (const QPolygonF& polygon : path.toSubpathPolygons()) {
        if (!stroke) {
            const QPolygonF inside = ClipPolygonToRect(polygon, box);
            if (inside.size() >= 3) {
                cut.addPolygon(inside);
                cut.closeSubpath();
            }
            continue;
        }
        bool joined = false;
        for (qsizetype i = 0; i + 1 < polygon.size(); ++i) {
            QPointF a = polygon[i], b = polygon[i + 1];
            if (!ClipSegment(a, b, box)) {
                joined = false;
                continue;
            }
            if (!joined || a != polygon[i])
                cut.moveTo(a);
            cut.lineTo(b);
            joined = b == polygon[i + 1];
        }
    }
    return cut;
}

Qt::BrushStyle HatchStyle(int hatch) {
    switch (hatch) {
    case 0: return Qt::HorPattern;
    case 1: return Qt::VerPattern;
    case 2: return Qt::FDiagPattern;
    case 3: return Qt::BDiagPattern;
    case 4: return Qt::CrossPattern;
    case 5: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
    }
}

// The parametric angle (degrees, counter-clockwise with y down) of the ray
// from the box's centre through `point`.
double RayAngle(const QRectF& box, QPointF point) {
    const QPointF centre = box.center();
    const double rx = box.width() / 2, ry = box.height() / 2;
    return std::atan2(-(point.y() - centre.y()) / ry, (point.x() - centre.x()) / rx) * 180
        / std::numbers::pi;
}

// Pixels equal to `key` become transparent.
QImage WithoutColour(const QImage& image, QRgb key) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if ((line[x] & 0xFFFFFF) == (key & 0xFFFFFF))
                line[x] = 0;
    }
    return result;
}

} // namespace

double KeptInRange(double value) {
    return std::isfinite(value) ? std::clamp(value, -kCoordinateLimit, kCoordinateLimit) : 0.0;
}

QPointF KeptInRange(QPointF point) { return QPointF(KeptInRange(point.x()), KeptInRange(point.y())); }

QRegion RegionOfRects(const std::vector<QRectF>& rects, const QTransform& transform, const QRectF& box) {
    std::vector<QRegion> regions;
    for (const QRectF& rect : rects) {
        const QRectF mapped = transform.mapRect(rect.normalized()).intersected(box);
        if (mapped.isEmpty())
            continue;
        const QPoint topLeft(int(std::lround(mapped.left())), int(std::lround(mapped.top())));
        const QPoint end(int(std::lround(mapped.right())), int(std::lround(mapped.bottom())));
        if (end.x() > topLeft.x() && end.y() > topLeft.y())
            regions.emplace_back(QRect(topLeft, end - QPoint(1, 1)));
    }
    while (regions.size() > 1) {
        std::vector<QRegion> next;
        next.reserve(regions.size() / 2 + 1);
        for (std::size_t i = 0; i + 1 < regions.size(); i += 2)
            next.push_back(regions[i].united(regions[i + 1]));
        if (regions.size() % 2)
            next.push_back(regions.back());
        regions.swap(next);
    }
    return regions.empty() ? QRegion() : regions.front();
}

TMetaCanvas::TMetaCanvas(QPainter& painter, TMetaDc& dc) : painter_(painter), dc_(dc) {
    painter_.save();
    base_ = painter_.worldTransform();
    if (painter_.hasClipping())
        originalClip_ = painter_.clipPath();
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::TextAntialiasing);
    painter_.setBackgroundMode(Qt::TransparentMode);
    const QRectF& target = dc.Target();
    const double area = std::min(target.width() * target.height(), 1e12);
    budget_ = kBudgetAreas * std::max(area, 1.0) + kBudgetMargin;
}

TMetaCanvas::~TMetaCanvas() { painter_.restore(); }

bool TMetaCanvas::SpendRecord() {
    budget_ -= kRecordCost;
    return budget_ >= 0;
}

bool TMetaCanvas::Spend(const QRectF& targetBounds) {
    const QRectF visible = targetBounds.intersected(dc_.Target());
    budget_ -= kRecordCost + std::max(0.0, visible.width() * visible.height());
    return budget_ >= 0;
}

void TMetaCanvas::ApplyClip() {
    if (appliedClip_ == dc_.ClipGeneration())
        return;
    appliedClip_ = dc_.ClipGeneration();
    const QRegion region = dc_.ClipOrTarget().intersected(dc_.Target().toAlignedRect());
    if (originalClip_) {
        painter_.setClipPath(*originalClip_);
        painter_.setClipRegion(region, Qt::IntersectClip);
    } else {
        painter_.setClipRegion(region);
    }
}

QPainterPath TMetaCanvas::ToTarget(const QPainterPath& logical) const {
    QPainterPath path = dc_.LogicalToTarget().map(logical);
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        const QPointF kept = KeptInRange(QPointF(element.x, element.y));
        if (kept != QPointF(element.x, element.y))
            path.setElementPositionAt(i, kept.x(), kept.y());
    }
    return path;
}

// ---- pens and brushes ------------------------------------------------------------

std::optional<QPen> TMetaCanvas::Pen() const {
    const TMetaDcState& s = dc_.State();
    const TMetaPen& pen = s.pen;
    const int kind = pen.Kind();
    if (kind == gdi::psNull || s.rop2 == gdi::r2Nop)
        return std::nullopt;
    // GDI draws at least one device pixel.
    const double width = std::clamp(pen.width * dc_.ScaleX(), 1.0, kMaxPenWidth);
    QColor colour = pen.colour;
    if (s.rop2 == gdi::r2Black)
        colour = Qt::black;
    else if (s.rop2 == gdi::r2White)
        colour = Qt::white;
    QPen result(colour, width);
    // Paths arrive in target units, so a pen's width is in target units too
    // (a printer's transform scales both); the thinnest pens stay one device
    // pixel, as GDI's do.
    result.setCosmetic(width <= 1.0);
    const bool geometric = pen.style & gdi::kPenGeometric;
    const std::uint32_t cap = pen.style & gdi::kPenEndCapMask;
    const std::uint32_t join = pen.style & gdi::kPenJoinMask;
    result.setCapStyle(cap == gdi::kPenEndCapSquare ? Qt::SquareCap
                       : cap == gdi::kPenEndCapFlat ? Qt::FlatCap : Qt::RoundCap);
    result.setJoinStyle(join == gdi::kPenJoinBevel ? Qt::BevelJoin
                        : join == gdi::kPenJoinMiter ? Qt::MiterJoin : Qt::RoundJoin);
    // Wide cosmetic pens are always solid in GDI.
    if (width > 1.5 && !geometric)
        return result;
    switch (kind) {
    case gdi::psDash: result.setStyle(Qt::DashLine); break;
    case gdi::psDot: result.setStyle(Qt::DotLine); break;
    case gdi::psDashDot: result.setStyle(Qt::DashDotLine); break;
    case gdi::psDashDotDot: result.setStyle(Qt::DashDotDotLine); break;
    case gdi::psUserStyle: {
        QList<qreal> pattern;
        for (const double dash : pen.dashes)
            pattern.append(std::clamp(dash * dc_.ScaleX() / width, 0.1, 1000.0));
        if (pattern.size() % 2)
            pattern.append(pattern.back());
        if (!pattern.isEmpty())
            result.setDashPattern(pattern);
        break;
    }
    default: break;
    }
    return result;
}

std::optional<QBrush> TMetaCanvas::Brush(const TMetaBrush& brush) const {
    const TMetaDcState& s = dc_.State();
    if (s.rop2 == gdi::r2Nop)
        return std::nullopt;
    if (s.rop2 == gdi::r2Black || s.rop2 == gdi::r2White)
        return brush.style == gdi::bsNull ? std::nullopt
                                          : std::optional<QBrush>(s.rop2 == gdi::r2Black ? Qt::black : Qt::white);
    switch (brush.style) {
    case gdi::bsNull: return std::nullopt;
    case gdi::bsHatched: return QBrush(brush.colour, HatchStyle(brush.hatch));
    case gdi::bsPattern:
    case gdi::bsDibPattern:
    case gdi::bsDibPatternPt:
        if (!brush.pattern.isNull())
            return QBrush(brush.pattern);
        return QBrush(brush.colour);
    default: return QBrush(brush.colour);
    }
}

// ---- painting ---------------------------------------------------------------------

void TMetaCanvas::AddToPath(const QPainterPath& target) {
    path_.addPath(target);
    figureOpen_ = false;
}

void TMetaCanvas::Paint(const QPainterPath& target, bool fill, bool stroke) {
    if (inPath_) {
        AddToPath(target);
        return;
    }
    if (!Spend(target.controlPointRect()))
        return;
    ApplyClip();
    const TMetaDcState& s = dc_.State();
    const std::optional<QPen> pen = stroke ? Pen() : std::nullopt;
    const double margin = std::max(dc_.Target().width(), dc_.Target().height()) + (pen ? 2 * pen->widthF() : 0);
    const QRectF box = dc_.Target().adjusted(-margin, -margin, margin, margin);
    if (fill) {
        if (const std::optional<QBrush> brush = Brush(s.brush)) {
            QPainterPath filled = target;
            filled.setFillRule(s.polyFillMode == gdi::pfWinding ? Qt::WindingFill : Qt::OddEvenFill);
            filled = WithinBox(filled, box, false);
            if (s.brush.style == gdi::bsHatched && s.bkMode == gdi::bkOpaque)
                painter_.fillPath(filled, s.bkColour);
            painter_.fillPath(filled, *brush);
        }
    }
    if (pen)
        painter_.strokePath(WithinBox(target, box, true), *pen);
}

void TMetaCanvas::FillTarget(const QPainterPath& target, const QBrush& brush) {
    if (inPath_ || !Spend(target.controlPointRect()))
        return;
    ApplyClip();
    const double margin = std::max(dc_.Target().width(), dc_.Target().height());
    painter_.fillPath(WithinBox(target, dc_.Target().adjusted(-margin, -margin, margin, margin), false), brush);
}

void TMetaCanvas::MoveTo(QPointF point) {
    dc_.State().position = point;
    figureOpen_ = false;
}

void TMetaCanvas::Continue(const QPainterPath& logical) {
    const QPainterPath mapped = ToTarget(logical);
    if (!inPath_) {
        Paint(mapped, false, true);
        return;
    }
    if (figureOpen_)
        path_.connectPath(mapped);
    else
        path_.addPath(mapped);
    figureOpen_ = true;
}

void TMetaCanvas::LineTo(QPointF point) {
    TMetaDcState& s = dc_.State();
    QPainterPath line(s.position);
    line.lineTo(point);
    s.position = point;
    Continue(line);
}

void TMetaCanvas::Polyline(const QPolygonF& points) {
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    Paint(ToTarget(path), false, true);
}

void TMetaCanvas::PolylineTo(const QPolygonF& points) {
    if (points.isEmpty())
        return;
    TMetaDcState& s = dc_.State();
    QPainterPath path(s.position);
    for (const QPointF& point : points)
        path.lineTo(point);
    s.position = points.back();
    Continue(path);
}

void TMetaCanvas::Polygon(const QPolygonF& points) {
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    Paint(ToTarget(path), true, true);
}

void TMetaCanvas::PolyPolygon(const std::vector<QPolygonF>& polygons) {
    QPainterPath path;
    for (const QPolygonF& polygon : polygons) {
        if (polygon.size() < 2)
            continue;
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    if (!path.isEmpty())
        Paint(ToTarget(path), true, true);
}

void TMetaCanvas::PolyPolyline(const std::vector<QPolygonF>& polylines) {
    QPainterPath path;
    for (const QPolygonF& polyline : polylines)
        if (polyline.size() >= 2)
            path.addPolygon(polyline);
    if (!path.isEmpty())
        Paint(ToTarget(path), false, true);
}

void TMetaCanvas::PolyBezier(const QPolygonF& points, bool fromCurrent) {
    TMetaDcState& s = dc_.State();
    const qsizetype first = fromCurrent ? 0 : 1;
    if (points.size() < first + 3)
        return;
    QPainterPath path(fromCurrent ? s.position : points.front());
    qsizetype i = first;
    for (; i + 3 <= points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    if (!fromCurrent) {
        Paint(ToTarget(path), false, true);
        return;
    }
    s.position = points[i - 1];
    Continue(path);
}

void TMetaCanvas::DrawPath(const QPainterPath& logical) {
    if (!logical.isEmpty())
        Paint(ToTarget(logical), false, true);
}

void TMetaCanvas::Rectangle(const QRectF& box) {
    QPainterPath path;
    path.addRect(box.normalized());
    Paint(ToTarget(path), true, true);
}

void TMetaCanvas::RoundRect(const QRectF& box, QSizeF corner) {
    QPainterPath path;
    const QRectF rect = box.normalized();
    const double rx = std::min(std::abs(corner.width()) / 2, rect.width() / 2);
    const double ry = std::min(std::abs(corner.height()) / 2, rect.height() / 2);
    path.addRoundedRect(rect, rx, ry);
    Paint(ToTarget(path), true, true);
}

void TMetaCanvas::Ellipse(const QRectF& box) {
    QPainterPath path;
    path.addEllipse(box.normalized());
    Paint(ToTarget(path), true, true);
}

QPainterPath TMetaCanvas::ArcPath(ArcKind kind, const QRectF& box, QPointF start, QPointF end) const {
    const QRectF rect = box.normalized();
    QPainterPath path;
    if (rect.width() <= 0 || rect.height() <= 0)
        return path;
    const double from = RayAngle(rect, start);
    double sweep = std::fmod(RayAngle(rect, end) - from + 720, 360);
    if (sweep <= 1e-9)
        sweep = 360; // the same ray twice: the whole ellipse
    // Arcs run counter-clockwise on the device by default; a mapping that
    // flips an axis turns the logical direction round.
    const bool counterClockwise = (dc_.State().arcDirection != gdi::adClockwise) != Flipped();
    if (!counterClockwise)
        sweep -= 360;
    switch (kind) {
    case ArcKind::Pie:
        path.moveTo(rect.center());
        path.arcTo(rect, from, sweep);
        path.closeSubpath();
        break;
    case ArcKind::Chord:
        path.arcMoveTo(rect, from);
        path.arcTo(rect, from, sweep);
        path.closeSubpath();
        break;
    case ArcKind::ArcTo:
        path.moveTo(dc_.State().position);
        path.arcTo(rect, from, sweep);
        break;
    case ArcKind::Arc:
        path.arcMoveTo(rect, from);
        path.arcTo(rect, from, sweep);
        break;
    }
    return path;
}

void TMetaCanvas::Arc(ArcKind kind, const QRectF& box, QPointF start, QPointF end) {
    const QPainterPath path = ArcPath(kind, box, start, end);
    if (path.isEmpty())
        return;
    if (kind == ArcKind::ArcTo) {
        dc_.State().position = path.currentPosition();
        Continue(path);
        return;
    }
    Paint(ToTarget(path), kind != ArcKind::Arc, true);
}

void TMetaCanvas::AngleArc(QPointF centre, double radius, double startDegrees, double sweepDegrees) {
    if (!std::isfinite(startDegrees) || !std::isfinite(sweepDegrees) || radius <= 0)
        return;
    sweepDegrees = std::clamp(sweepDegrees, -3600.0, 3600.0);
    startDegrees = std::fmod(startDegrees, 360);
    if (Flipped()) { // angles count counter-clockwise on the device
        startDegrees = -startDegrees;
        sweepDegrees = -sweepDegrees;
    }
    TMetaDcState& s = dc_.State();
    QPainterPath path(s.position);
    path.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), startDegrees,
               sweepDegrees);
    s.position = path.currentPosition();
    Continue(path);
}

void TMetaCanvas::SetPixel(QPointF point, const QColor& colour) {
    const QPointF at = KeptInRange(dc_.LogicalToTarget().map(point));
    const double size = std::clamp(std::max(dc_.ScaleX(), dc_.ScaleY()), 1.0, 64.0);
    QPainterPath dot;
    dot.addRect(QRectF(at, QSizeF(size, size)));
    FillTarget(dot, colour);
}

// ---- path bracket ------------------------------------------------------------------

void TMetaCanvas::BeginPath() {
    inPath_ = true;
    figureOpen_ = false;
    path_ = QPainterPath();
}

void TMetaCanvas::EndPath() { inPath_ = false; }

void TMetaCanvas::CloseFigure() {
    if (inPath_) {
        path_.closeSubpath();
        figureOpen_ = false;
    }
}

void TMetaCanvas::AbortPath() {
    inPath_ = false;
    path_ = QPainterPath();
}

void TMetaCanvas::FillPath() {
    inPath_ = false;
    Paint(path_, true, false);
    path_ = QPainterPath();
}

void TMetaCanvas::StrokePath() {
    inPath_ = false;
    Paint(path_, false, true);
    path_ = QPainterPath();
}

void TMetaCanvas::StrokeAndFillPath() {
    inPath_ = false;
    Paint(path_, true, true);
    path_ = QPainterPath();
}

void TMetaCanvas::WidenPath() {
    const std::optional<QPen> pen = Pen();
    if (!pen || path_.isEmpty())
        return;
    QPainterPathStroker stroker(*pen);
    path_ = stroker.createStroke(path_);
}

void TMetaCanvas::SelectClipPath(int mode) {
    inPath_ = false;
    QPainterPath path = path_;
    path.setFillRule(dc_.State().polyFillMode == gdi::pfWinding ? Qt::WindingFill : Qt::OddEvenFill);
    dc_.CombineClip(dc_.PathRegion(path), mode);
    path_ = QPainterPath();
}

// ---- regions ------------------------------------------------------------------------

void TMetaCanvas::FillRegion(const QRegion& target, const TMetaBrush& brush) {
    const std::optional<QBrush> qbrush = Brush(brush);
    if (!qbrush || target.isEmpty())
        return;
    QPainterPath path;
    path.addRegion(target);
    FillTarget(path, *qbrush);
}

void TMetaCanvas::FrameRegion(const QRegion& target, const TMetaBrush& brush, QSizeF logicalSize) {
    const std::optional<QBrush> qbrush = Brush(brush);
    if (!qbrush || target.isEmpty())
        return;
    // The frame is the region less the region shrunk by the frame's width
    // and height (region arithmetic, so any region will do).
    const int width = int(std::clamp(std::abs(logicalSize.width()) * dc_.ScaleX(), 1.0, kMaxPenWidth));
    const int height = int(std::clamp(std::abs(logicalSize.height()) * dc_.ScaleY(), 1.0, kMaxPenWidth));
    const QRegion inner = target.intersected(target.translated(width, 0))
                              .intersected(target.translated(-width, 0))
                              .intersected(target.translated(0, height))
                              .intersected(target.translated(0, -height));
    QPainterPath frame;
    frame.addRegion(target.subtracted(inner));
    FillTarget(frame, *qbrush);
}

// ---- bitmaps --------------------------------------------------------------------------

void TMetaCanvas::Bitmap(const QImage& image, const QRectF& source, const QTransform& toTarget,
                         std::uint32_t rasterOperation) {
    if (inPath_ || image.isNull())
        return;
    const QRectF area(QPointF(0, 0), source.size());
    QPainterPath destination;
    destination.addRect(area);
    const QPainterPath target = toTarget.map(destination);
    switch (rasterOperation) {
    case rop::kPatCopy:
    case rop::kBlackness:
    case rop::kWhiteness: PatBltTarget(target, rasterOperation); return;
    case rop::kDstCopy: return;
    default: break;
    }
    const QRectF inImage = source.normalized().intersected(QRectF(image.rect()));
    if (inImage.isEmpty() || !Spend(target.controlPointRect()))
        return;
    QImage drawn = image;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    const bool blends = painter_.paintEngine() && painter_.paintEngine()->hasFeature(QPaintEngine::BlendModes);
    switch (rasterOperation) {
    case rop::kSrcAnd: // white leaves the destination as it is
        drawn = WithoutColour(image, qRgb(255, 255, 255));
        if (blends)
            mode = QPainter::CompositionMode_Multiply;
        break;
    case rop::kSrcPaint: // black leaves the destination as it is
        drawn = WithoutColour(image, qRgb(0, 0, 0));
        if (blends)
            mode = QPainter::CompositionMode_Screen;
        break;
    case rop::kSrcInvert:
        drawn = WithoutColour(image, qRgb(0, 0, 0));
        if (blends)
            mode = QPainter::CompositionMode_Difference;
        break;
    case rop::kNotSrcCopy:
        drawn = image.convertToFormat(QImage::Format_RGB32);
        drawn.invertPixels();
        break;
    default: break;
    }
    ApplyClip();
    painter_.save();
    painter_.setCompositionMode(mode);
    // Stretching up keeps the pixels sharp, as GDI's COLORONCOLOR does;
    // shrinking or halftone mode smooths.
    const QRectF bounds = toTarget.mapRect(area);
    const bool shrinking = bounds.width() < area.width() || bounds.height() < area.height();
    painter_.setRenderHint(QPainter::SmoothPixmapTransform,
                           shrinking || dc_.State().stretchMode == gdi::kStretchHalftone);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setWorldTransform(toTarget * base_);
    painter_.drawImage(QRectF(inImage.topLeft() - source.normalized().topLeft(), inImage.size()), drawn, inImage);
    painter_.restore();
}

void TMetaCanvas::StretchImage(const QImage& image, const QRectF& source, const QRectF& logicalDest,
                               std::uint32_t rasterOperation) {
    const QRectF from = source.normalized();
    if (from.width() <= 0 || from.height() <= 0 || logicalDest.width() == 0 || logicalDest.height() == 0)
        return;
    const QTransform toTarget = QTransform::fromScale(logicalDest.width() / from.width(),
                                                      logicalDest.height() / from.height())
        * QTransform::fromTranslate(logicalDest.x(), logicalDest.y()) * dc_.LogicalToTarget();
    Bitmap(image, from, toTarget, rasterOperation);
}

namespace {

// A DIB's source rectangle with its rows counted from the top.
QRectF TopDown(const TDib& dib, const QRectF& source) {
    QRectF from = source.normalized();
    if (dib.bottomUp)
        from.moveTop(dib.image.height() - from.top() - from.height());
    return from;
}

} // namespace

void TMetaCanvas::StretchDib(const TDib& dib, const QRectF& source, const QRectF& logicalDest,
                             std::uint32_t rasterOperation) {
    if (!dib.IsNull())
        StretchImage(dib.image, TopDown(dib, source), logicalDest, rasterOperation);
}

void TMetaCanvas::DibToDevice(const TDib& dib, const QRectF& source, QPointF logicalOrigin) {
    const QRectF from = TopDown(dib, source);
    if (dib.IsNull() || from.width() <= 0 || from.height() <= 0)
        return;
    const QTransform& reference = dc_.ReferenceToTarget();
    const QPointF origin = KeptInRange(dc_.LogicalToTarget().map(logicalOrigin));
    const QTransform toTarget = QTransform::fromScale(reference.m11(), reference.m22())
        * QTransform::fromTranslate(origin.x(), origin.y());
    Bitmap(dib.image, from, toTarget, rop::kSrcCopy);
}

void TMetaCanvas::PatBlt(const QRectF& logical, std::uint32_t rasterOperation) {
    QPainterPath path;
    path.addRect(logical.normalized());
    PatBltTarget(ToTarget(path), rasterOperation);
}

void TMetaCanvas::PatBltTarget(const QPainterPath& target, std::uint32_t rasterOperation) {
    switch (rasterOperation) {
    case rop::kPatCopy:
        if (const std::optional<QBrush> brush = Brush(dc_.State().brush))
            FillTarget(target, *brush);
        break;
    case rop::kBlackness: FillTarget(target, Qt::black); break;
    case rop::kWhiteness: FillTarget(target, Qt::white); break;
    default: break; // operations on the destination alone have nothing to work on
    }
}

TMetaPlayStats PlayRecords(const TMetafile& metafile, TMetaCanvas& canvas,
                           const std::function<bool(const TMetaRecord&)>& play) {
    TMetaPlayStats stats;
    TMetaRecordWalker records = metafile.Records();
    TMetaRecord record;
    while (records.Next(record)) {
        if (!canvas.SpendRecord()) {
            stats.exhausted = true;
            break;
        }
        ++stats.played;
        if (!play(record))
            ++stats.malformed;
    }
    stats.exhausted = stats.exhausted || canvas.Exhausted();
    return stats;
}

} // namespace tomeric
