#include "objects/polygon_object.h"

#include "objects/shapes.h"
#include "vars/variables.h"

#include <QBitmap>
#include <QPainter>

#include <algorithm>

namespace tomeric {
namespace {

// Opacity 0..255 as a painter opacity.
qreal PainterOpacity(int opacity)
{
    return std::clamp(opacity, 0, 255) / 255.0;
}

// The pixels of an ARGB image that are at least half opaque.
QRegion AlphaRegion(const QImage& image)
{
    if (image.isNull()) return {};
    const QImage mask = image.createAlphaMask(Qt::ThresholdAlphaDither);
    if (mask.isNull()) return QRegion(image.rect());
    return QRegion(QBitmap::fromImage(mask));
}

} // namespace

TTomericPolygon::TTomericPolygon(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericDragObj(parent, record, host)
{
    FixTransparency(true);
    if (const auto* props = record.As<TPolygonProps>()) {
        points_ = ParsePoints(props->points);
        imageFile_ = props->fileName;
        useImageRgn_ = props->useImageRgn;
        transColor_ = props->transColor;
        opacity_ = std::clamp(props->opacity, 0, 255);
    }
    LoadImage();
}

QPolygon TTomericPolygon::ParsePoints(const QString& text)
{
    const QStringList parts = text.split(u',');
    bool ok = false;
    const int count = parts.isEmpty() ? 0 : parts.front().trimmed().toInt(&ok);
    QPolygon points;
    if (!ok || count <= 0) return points;
    for (int i = 0; i < count; ++i) {
        const qsizetype at = 1 + 2 * qsizetype(i);
        if (at + 1 >= parts.size()) break;
        bool okX = false, okY = false;
        const int x = parts[at].trimmed().toInt(&okX);
        const int y = parts[at + 1].trimmed().toInt(&okY);
        if (!okX || !okY) break;
        points << QPoint(x, y);
    }
    return points;
}

QPainterPath TTomericPolygon::Shape() const
{
    QPainterPath path;
    if (useImageRgn_) {
        if (imageRgnOk_) path.addRegion(imageRegion_);
        return path;
    }
    if (points_.size() >= 3) {
        path.addPolygon(QPolygonF(points_));
        path.closeSubpath();
        path.setFillRule(Qt::OddEvenFill);
    }
    return path;
}

bool TTomericPolygon::Contains(QPoint point) const
{
    if (!rect().contains(point)) return false;
    return mask().isEmpty() || mask().contains(point);
}

void TTomericPolygon::SetImageFile(const QString& name)
{
    imageFile_ = name;
    LoadImage();
}

bool TTomericPolygon::SetObjectFileName(const QString& file)
{
    SetImageFile(file);
    return true;
}

void TTomericPolygon::RefreshObject() { LoadImage(); }

std::optional<QString> TTomericPolygon::FamilyInfo(const QString& upperInfo) const
{
    if (upperInfo == QLatin1String("FILENAME")) return imageFile_;
    return std::nullopt;
}

void TTomericPolygon::LoadImage()
{
    image_ = QImage();
    imageRegion_ = QRegion();
    if (!imageFile_.isEmpty()) {
        const QString name = imageFile_.contains(u'[') ? SubstituteVars(imageFile_) : imageFile_;
        const QImage loaded = Host().Picture(name);
        if (!loaded.isNull()) image_ = shapes::WithTransparentColour(loaded, transColor_);
    }
    imageRgnOk_ = false;
    if (useImageRgn_ && !image_.isNull()) {
        imageRegion_ = AlphaRegion(image_);
        imageRgnOk_ = !imageRegion_.isEmpty();
    }
    UpdateHitMask();
    update();
}

void TTomericPolygon::UpdateHitMask()
{
    const QPainterPath shape = Shape();
    if (shape.isEmpty()) {
        clearMask();
        return;
    }
    const QRegion region = useImageRgn_ ? imageRegion_ & rect()
                                        : shapes::PaintedRegion(size(), shape.translated(0.5, 0.5),
                                                                QPen(Qt::white, 1));
    if (region.isEmpty()) clearMask();
    else setMask(region);
}

void TTomericPolygon::DrawShape(QPainter& painter)
{
    QPainterPath shape = Shape();
    if (shape.isEmpty()) {
        // Without a shape the polygon is its rectangle.
        shape.addRect(QRectF(rect()));
    } else if (!useImageRgn_) {
        // Point lists lie on pixel centres, as lines do.
        shape.translate(0.5, 0.5);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(ShapeBrush());
    painter.drawPath(shape);

    if (!image_.isNull()) {
        painter.save();
        painter.setClipPath(shape);
        painter.setOpacity(PainterOpacity(opacity_));
        painter.drawImage(QPoint(0, 0), image_);
        painter.restore();
    }

    const QPen outline = shapes::OutlinePen(*this, LineWidth());
    if (outline.style() == Qt::NoPen) return;
    // An inset pen: a stroke twice as wide, of which only the inner half,
    // inside the shape, is kept.
    QPen inset = outline;
    inset.setWidthF(2.0 * LineWidth());
    painter.save();
    painter.setClipPath(shape, Qt::IntersectClip);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(inset);
    painter.drawPath(shape);
    painter.restore();
}

void TTomericPolygon::PaintScaled(QPainter& painter, const QRect& target, bool scaled,
                                  int pixelsPerInch, double factorX, double factorY)
{
    (void)pixelsPerInch;
    if (!scaled) factorX = factorY = 1.0;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(target.topLeft());
    painter.scale(factorX, factorY);
    painter.setClipRect(rect());
    DrawShape(painter);
    painter.restore();
}

void TTomericPolygon::resizeEvent(QResizeEvent* event)
{
    TTomericDragObj::resizeEvent(event);
    UpdateHitMask();
}

TTomericObj* CreatePolygon(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericPolygon(parent, record, host);
}

} // namespace tomeric
