#include "imaging/metafile_dc.h"

#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace tomeric {
namespace {

// Target coordinates beyond this are clamped before they become integers.
constexpr double kCoordinateLimit = 1 << 24;

double Clamped(double value) {
    if (!std::isfinite(value))
        return 0;
    return std::clamp(value, -kCoordinateLimit, kCoordinateLimit);
}

// Logical units per millimetre of the mapping modes with physical units.
double LogicalPerMillimetre(int mode) {
    switch (mode) {
    case gdi::mmLoMetric: return 10;
    case gdi::mmHiMetric: return 100;
    case gdi::mmLoEnglish: return 100 / 25.4;
    case gdi::mmHiEnglish: return 1000 / 25.4;
    case gdi::mmTwips: return 1440 / 25.4;
    default: return 0;
    }
}

bool Usable(const QTransform& t) {
    const double values[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    for (const double value : values)
        if (!std::isfinite(value) || std::abs(value) > 1e9)
            return false;
    const double determinant = t.determinant();
    return std::isfinite(determinant) && std::abs(determinant) > 1e-12;
}

bool UsableExtent(QPointF extent) {
    return std::isfinite(extent.x()) && std::isfinite(extent.y()) && extent.x() != 0
        && extent.y() != 0;
}

} // namespace

// A closed polygon cut to a rectangle (Sutherland-Hodgman): inside the
// rectangle it covers what the polygon covers, winding included.
QPolygonF ClipPolygonToRect(const QPolygonF& polygon, const QRectF& box) {
    QPolygonF result = polygon;
    const auto cut = [&result](auto inside, auto crossing) {
        QPolygonF input;
        input.swap(result);
        for (qsizetype i = 0; i < input.size(); ++i) {
            const QPointF a = input[i], b = input[(i + 1) % input.size()];
            if (inside(b)) {
                if (!inside(a))
                    result.append(crossing(a, b));
                result.append(b);
            } else if (inside(a)) {
                result.append(crossing(a, b));
            }
        }
    };
    const auto atX = [](QPointF a, QPointF b, double x) {
        return QPointF(x, a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x()));
    };
    const auto atY = [](QPointF a, QPointF b, double y) {
        return QPointF(a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()), y);
    };
    const double left = box.left(), right = box.right(), top = box.top(), bottom = box.bottom();
    cut([=](QPointF p) { return p.x() >= left; }, [=](QPointF a, QPointF b) { return atX(a, b, left); });
    cut([=](QPointF p) { return p.x() <= right; }, [=](QPointF a, QPointF b) { return atX(a, b, right); });
    cut([=](QPointF p) { return p.y() >= top; }, [=](QPointF a, QPointF b) { return atY(a, b, top); });
    cut([=](QPointF p) { return p.y() <= bottom; }, [=](QPointF a, QPointF b) { return atY(a, b, bottom); });
    return result;
}

QColor ColourOfRef(std::uint32_t colourRef) {
    return QColor(int(colourRef & 0xFF), int(colourRef >> 8 & 0xFF), int(colourRef >> 16 & 0xFF));
}

// ---- object table -------------------------------------------------------------

bool TMetaObjectTable::Add(TMetaObject object) {
    std::uint32_t index = 0;
    if (!freed_.empty()) {
        index = *freed_.begin();
        freed_.erase(freed_.begin());
    } else if (next_ <= kMaxIndex) {
        index = next_++;
    } else {
        return false;
    }
    objects_.insert_or_assign(index, std::move(object));
    return true;
}

bool TMetaObjectTable::Put(std::uint32_t index, TMetaObject object) {
    if (index == 0 || index > kMaxIndex)
        return false;
    objects_.insert_or_assign(index, std::move(object));
    return true;
}

const TMetaObject* TMetaObjectTable::Get(std::uint32_t index) const {
    const auto found = objects_.find(index);
    return found == objects_.end() ? nullptr : &found->second;
}

void TMetaObjectTable::Remove(std::uint32_t index) {
    if (objects_.erase(index) != 0 && index < next_)
        freed_.insert(index);
}

// ---- device context -------------------------------------------------------------

TMetaDc::TMetaDc(const TMetafileFrame& frame, const QRectF& target)
    : frame_(frame), target_(target) {
    const QRectF& f = frame.frame;
    referenceToTarget_ = QTransform::fromTranslate(-f.left(), -f.top())
        * QTransform::fromScale(target.width() / f.width(), target.height() / f.height())
        * QTransform::fromTranslate(target.left(), target.top());
    if (frame.kind != TMetafileKind::Emf) {
        state_.mapMode = gdi::mmAnisotropic;
        state_.windowOrg = state_.viewportOrg = f.topLeft();
        state_.windowExt = state_.viewportExt = QPointF(f.width(), f.height());
    }
}

void TMetaDc::SetMapMode(int mode) {
    if (mode < gdi::mmText || mode > gdi::mmAnisotropic)
        return;
    state_.mapMode = mode;
    if (mode == gdi::mmText) {
        state_.windowExt = state_.viewportExt = QPointF(1, 1);
    } else if (const double perMm = LogicalPerMillimetre(mode); perMm > 0) {
        // The extents a physical mode implies, kept when the mode later
        // changes to isotropic or anisotropic, as GDI keeps them.
        state_.windowExt = QPointF(1, 1);
        state_.viewportExt = QPointF(frame_.unitsPerMmX / perMm, -frame_.unitsPerMmY / perMm);
    }
    MappingChanged();
}

void TMetaDc::SetWindowOrg(QPointF origin) {
    state_.windowOrg = origin;
    MappingChanged();
}

void TMetaDc::SetWindowExt(QPointF extent) {
    if (state_.mapMode < gdi::mmIsotropic || !UsableExtent(extent))
        return;
    state_.windowExt = extent;
    MappingChanged();
}

void TMetaDc::SetViewportOrg(QPointF origin) {
    state_.viewportOrg = origin;
    MappingChanged();
}

void TMetaDc::SetViewportExt(QPointF extent) {
    if (state_.mapMode < gdi::mmIsotropic || !UsableExtent(extent))
        return;
    state_.viewportExt = extent;
    MappingChanged();
}

void TMetaDc::ScaleWindowExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom == 0 || yDenom == 0)
        return;
    const QPointF& e = state_.windowExt;
    SetWindowExt(QPointF(e.x() * xNum / xDenom, e.y() * yNum / yDenom));
}

void TMetaDc::ScaleViewportExt(double xNum, double xDenom, double yNum, double yDenom) {
    if (xDenom == 0 || yDenom == 0)
        return;
    const QPointF& e = state_.viewportExt;
    SetViewportExt(QPointF(e.x() * xNum / xDenom, e.y() * yNum / yDenom));
}

void TMetaDc::SetWorld(const QTransform& world) {
    if (!Usable(world))
        return;
    state_.world = world;
    MappingChanged();
}

void TMetaDc::ModifyWorld(const QTransform& transform, std::uint32_t mode) {
    switch (mode) {
    case 1: SetWorld(QTransform()); break;
    case 2:
        if (Usable(transform))
            SetWorld(transform * state_.world);
        break;
    case 3:
        if (Usable(transform))
            SetWorld(state_.world * transform);
        break;
    case 4: SetWorld(transform); break;
    default: break;
    }
}

QTransform TMetaDc::PageToReference() const {
    const TMetaDcState& s = state_;
    double scaleX = 1, scaleY = 1;
    if (s.mapMode != gdi::mmText) {
        scaleX = s.viewportExt.x() / s.windowExt.x();
        scaleY = s.viewportExt.y() / s.windowExt.y();
        if (s.mapMode == gdi::mmIsotropic) {
            // Equal units across and down: the smaller scale wins.
            const double both = std::min(std::abs(scaleX), std::abs(scaleY));
            scaleX = std::copysign(both, scaleX);
            scaleY = std::copysign(both, scaleY);
        }
    }
    return QTransform::fromTranslate(-s.windowOrg.x(), -s.windowOrg.y())
        * QTransform::fromScale(scaleX, scaleY)
        * QTransform::fromTranslate(s.viewportOrg.x(), s.viewportOrg.y());
}

const QTransform& TMetaDc::LogicalToTarget() const {
    if (mappingDirty_) {
        const QTransform full = state_.world * PageToReference() * referenceToTarget_;
        // A mapping that collapses or overflows draws nothing sensible; the
        // frame's own mapping stands in for it.
        logicalToTarget_ = Usable(full) ? full : referenceToTarget_;
        mappingDirty_ = false;
    }
    return logicalToTarget_;
}

double TMetaDc::ScaleX() const {
    const QTransform& t = LogicalToTarget();
    return std::hypot(t.m11(), t.m12());
}

double TMetaDc::ScaleY() const {
    const QTransform& t = LogicalToTarget();
    return std::hypot(t.m21(), t.m22());
}

// ---- save / restore ---------------------------------------------------------------

void TMetaDc::Save() {
    if (int(saved_.size()) < kMaxSavedStates)
        saved_.push_back(state_);
}

void TMetaDc::Restore(int which) {
    const qsizetype count = qsizetype(saved_.size());
    const qsizetype index = which < 0 ? count + which : qsizetype(which) - 1;
    if (which == 0 || index < 0 || index >= count)
        return;
    state_ = saved_[std::size_t(index)];
    saved_.resize(std::size_t(index));
    MappingChanged();
    ClipChanged();
}

// ---- clipping -----------------------------------------------------------------------

QRegion TMetaDc::TargetRegion(const QRectF& logical) const {
    const QTransform& t = LogicalToTarget();
    const QRectF rect = logical.normalized();
    if (t.type() <= QTransform::TxScale) {
        const QRectF mapped = t.mapRect(rect).intersected(ClipBox());
        const QPoint topLeft(int(std::lround(Clamped(mapped.left()))),
                             int(std::lround(Clamped(mapped.top()))));
        const QPoint end(int(std::lround(Clamped(mapped.right()))),
                         int(std::lround(Clamped(mapped.bottom()))));
        return QRegion(QRect(topLeft, end - QPoint(1, 1)));
    }
    QPainterPath path;
    path.addPolygon(t.map(QPolygonF(rect)));
    path.closeSubpath();
    return PathRegion(path);
}

QRectF TMetaDc::ClipBox() const {
    return QRectF(target_.toAlignedRect()).adjusted(-1, -1, 1, 1);
}

QRegion TMetaDc::PathRegion(const QPainterPath& target) const {
    // Scan conversion of our own, row by row at pixel centres: Qt's polygon
    // regions take time in the square of their height.
    const QRect box = ClipBox().toAlignedRect();
    struct Edge {
        double x0, y0, x1, y1;
        int direction;
    };
    std::vector<Edge> edges;
    for (const QPolygonF& polygon : target.toSubpathPolygons()) {
        const QPolygonF cut = ClipPolygonToRect(polygon, box);
        for (qsizetype i = 0; i < cut.size(); ++i) {
            const QPointF a = cut[i], b = cut[(i + 1) % cut.size()];
            if (a.y() != b.y())
                edges.push_back({a.x(), a.y(), b.x(), b.y(), b.y() > a.y() ? 1 : -1});
        }
    }
    const bool winding = target.fillRule() == Qt::WindingFill;
    std::vector<QRect> rects;
    std::vector<std::pair<int, int>> spans, previous;
    std::vector<std::pair<double, int>> crossings;
    qsizetype bandStart = 0; // first rectangle of the previous row's band
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const double centre = y + 0.5;
        crossings.clear();
        for (const Edge& e : edges) {
            if ((centre >= e.y0 && centre < e.y1) || (centre >= e.y1 && centre < e.y0))
                crossings.emplace_back(e.x0 + (centre - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.direction);
        }
        std::sort(crossings.begin(), crossings.end());
        spans.clear();
        int inside = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
            inside = winding ? inside + crossings[i].second : inside ^ 1;
            if (inside == 0)
                continue;
            const int left = std::max(box.left(), int(std::lround(crossings[i].first)));
            const int right = std::min(box.right() + 1, int(std::lround(crossings[i + 1].first)));
            if (right <= left)
                continue;
            if (!spans.empty() && spans.back().second >= left)
                spans.back().second = std::max(spans.back().second, right);
            else
                spans.emplace_back(left, right);
        }
        if (!spans.empty() && spans == previous && y > box.top()) {
            for (qsizetype i = bandStart; i < qsizetype(rects.size()); ++i)
                rects[std::size_t(i)].setBottom(y); // the band grows a row
            continue;
        }
        bandStart = qsizetype(rects.size());
        for (const auto& [left, right] : spans)
            rects.emplace_back(left, y, right - left, 1);
        previous = spans;
    }
    QRegion region;
    region.setRects(rects.data(), int(rects.size()));
    return region;
}

QRegion TMetaDc::ClipOrTarget() const {
    if (state_.clip)
        return *state_.clip;
    return QRegion(target_.toAlignedRect());
}

void TMetaDc::IntersectClipRect(const QRectF& logical) {
    state_.clip = ClipOrTarget().intersected(TargetRegion(logical));
    ClipChanged();
}

void TMetaDc::ExcludeClipRect(const QRectF& logical) {
    state_.clip = ClipOrTarget().subtracted(TargetRegion(logical));
    ClipChanged();
}

void TMetaDc::CombineClip(const std::optional<QRegion>& target, int mode) {
    if (mode == gdi::rgnCopy) {
        state_.clip = target;
    } else if (target) {
        const QRegion current = ClipOrTarget();
        switch (mode) {
        case gdi::rgnAnd: state_.clip = current.intersected(*target); break;
        case gdi::rgnOr: state_.clip = current.united(*target); break;
        case gdi::rgnXor: state_.clip = current.xored(*target); break;
        case gdi::rgnDiff: state_.clip = current.subtracted(*target); break;
        default: return;
        }
    } else {
        return;
    }
    ClipChanged();
}

void TMetaDc::OffsetClip(QPointF logicalOffset) {
    if (!state_.clip)
        return;
    const QTransform& t = LogicalToTarget();
    const QPointF delta = t.map(logicalOffset) - t.map(QPointF(0, 0));
    state_.clip->translate(int(std::lround(Clamped(delta.x()))), int(std::lround(Clamped(delta.y()))));
    ClipChanged();
}

// ---- objects ----------------------------------------------------------------------------

void TMetaDc::Select(const TMetaObject& object) {
    if (const auto* pen = std::get_if<TMetaPen>(&object))
        state_.pen = *pen;
    else if (const auto* brush = std::get_if<TMetaBrush>(&object))
        state_.brush = *brush;
    else if (const auto* font = std::get_if<TMetaFont>(&object))
        state_.font = *font;
}

} // namespace tomeric
