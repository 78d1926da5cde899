#pragma once
// What metafile records draw, drawn onto a QPainter: shapes and paths with
// the device context's pen, brush and modes, text with its font and
// alignment, bitmaps with the raster operations clip art uses. Geometry is
// mapped to target coordinates before it is drawn, so pens keep their width
// whatever the mapping stretches, as GDI's do; everything is clipped to the
// device context's clip and to the target.
//
// Drawing has a budget proportional to the target's area: a metafile that
// paints the whole picture over and over stops when it is spent, so no
// record sequence can keep the player busy for long.

#include "imaging/metafile_bitmaps.h"
#include "imaging/metafile_dc.h"

#include <QBrush>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include <functional>
#include <optional>
#include <vector>

namespace tomeric {

// Raster operations of the blit records.
namespace rop {
inline constexpr std::uint32_t kSrcCopy = 0x00CC0020, kSrcPaint = 0x00EE0086, kSrcAnd = 0x008800C6;
inline constexpr std::uint32_t kSrcInvert = 0x00660046, kNotSrcCopy = 0x00330008;
inline constexpr std::uint32_t kPatCopy = 0x00F00021, kBlackness = 0x00000042, kWhiteness = 0x00FF0062;
inline constexpr std::uint32_t kDstCopy = 0x00AA0029;
} // namespace rop

class TMetaCanvas {
public:
    TMetaCanvas(QPainter& painter, TMetaDc& dc);
    ~TMetaCanvas();
    TMetaCanvas(const TMetaCanvas&) = delete;
    TMetaCanvas& operator=(const TMetaCanvas&) = delete;

    // Each record costs a little of the budget; false once it is spent.
    bool SpendRecord();
    bool Exhausted() const { return budget_ < 0; }

    // ---- lines and shapes (logical coordinates) ----
    void MoveTo(QPointF point);
    void LineTo(QPointF point);
    void Polyline(const QPolygonF& points);
    void PolylineTo(const QPolygonF& points);
    void Polygon(const QPolygonF& points);
    void PolyPolygon(const std::vector<QPolygonF>& polygons);
    void PolyPolyline(const std::vector<QPolygonF>& polylines);
    // Cubic pieces: a start point then three points each (from the current
    // position instead of a start point when `fromCurrent`).
    void PolyBezier(const QPolygonF& points, bool fromCurrent);
    void Rectangle(const QRectF& box);
    void RoundRect(const QRectF& box, QSizeF corner);
    void Ellipse(const QRectF& box);
    enum class ArcKind { Arc, Chord, Pie, ArcTo };
    void Arc(ArcKind kind, const QRectF& box, QPointF start, QPointF end);
    void AngleArc(QPointF centre, double radius, double startDegrees, double sweepDegrees);
    void SetPixel(QPointF point, const QColor& colour);
    // A path of MoveTo/LineTo/Bezier pieces and closed figures, as POLYDRAW
    // builds it (logical coordinates).
    void DrawPath(const QPainterPath& logical);

    // ---- path bracket ----
    void BeginPath();
    void EndPath();
    void CloseFigure();
    void AbortPath();
    void FillPath();
    void StrokePath();
    void StrokeAndFillPath();
    void WidenPath();
    void SelectClipPath(int mode);

    // ---- regions (target coordinates) ----
    void FillRegion(const QRegion& target, const TMetaBrush& brush);
    void FrameRegion(const QRegion& target, const TMetaBrush& brush, QSizeF logicalSize);
    // A target path filled with a brush given in target coordinates.
    void FillTarget(const QPainterPath& target, const QBrush& brush);

    // ---- text ----
    struct TText {
        QPointF reference;               // logical
        QString text;
        std::vector<double> advances;    // logical; empty: the font's own
        std::uint32_t options = 0;       // ETO_*
        std::optional<QRectF> rectangle; // logical, for ETO_OPAQUE / ETO_CLIPPED
    };
    void Text(const TText& text);
    // Bytes of the current font's character set as text.
    QString DecodeAnsi(QByteArrayView bytes) const;

    // ---- bitmaps ----
    // `source` (pixels of `image`) lands on the parallelogram `toTarget`
    // maps the rectangle (0, 0, source width, source height) onto.
    void Bitmap(const QImage& image, const QRectF& source, const QTransform& toTarget,
                std::uint32_t rasterOperation);
    // `source` of an image (top row first) stretched onto a logical
    // rectangle; negative extents mirror.
    void StretchImage(const QImage& image, const QRectF& source, const QRectF& logicalDest,
                      std::uint32_t rasterOperation);
    // The same for a DIB, whose source rows count from the bottom when it
    // is stored bottom-up.
    void StretchDib(const TDib& dib, const QRectF& source, const QRectF& logicalDest,
                    std::uint32_t rasterOperation);
    // SetDIBitsToDevice: unstretched, one DIB pixel per reference unit, at a
    // logical point.
    void DibToDevice(const TDib& dib, const QRectF& source, QPointF logicalOrigin);
    // A source-less blit: the brush, black or white over a logical rectangle.
    void PatBlt(const QRectF& logical, std::uint32_t rasterOperation);
    void PatBltTarget(const QPainterPath& target, std::uint32_t rasterOperation);

    // The logical path in target coordinates (coordinates kept in range).
    QPainterPath ToTarget(const QPainterPath& logical) const;

private:
    void Paint(const QPainterPath& target, bool fill, bool stroke);
    void AddToPath(const QPainterPath& target);
    // A piece that starts at the current position: painted, or continuing
    // the path's open figure.
    void Continue(const QPainterPath& logical);
    bool Spend(const QRectF& targetBounds);
    void ApplyClip();
    std::optional<QPen> Pen() const;
    std::optional<QBrush> Brush(const TMetaBrush& brush) const;
    QPainterPath ArcPath(ArcKind kind, const QRectF& box, QPointF start, QPointF end) const;
    QFont Font(double& ascent, double& descent) const;
    bool Flipped() const { return dc_.LogicalToTarget().determinant() < 0; }

    QPainter& painter_;
    TMetaDc& dc_;
    QTransform base_;              // the painter's own transform
    std::optional<QPainterPath> originalClip_;
    std::uint64_t appliedClip_ = ~std::uint64_t(0);
    double budget_ = 0;
    bool inPath_ = false;
    bool figureOpen_ = false;      // the path ends at the current position
    QPainterPath path_;            // target coordinates
};

// Target coordinates kept in the range drawing handles (not finite: 0).
double KeptInRange(double value);
QPointF KeptInRange(QPointF point);

// Bytes in the code page of a font character set (Windows-1252 for ANSI
// and the ones without a converter here).
QString DecodeCharset(QByteArrayView bytes, int charset);

// Rectangles (any coordinates) through a scale-and-translate transform, as
// a region of whole pixels within `box`; united pairwise, so any order and
// any number of rectangles will do.
QRegion RegionOfRects(const std::vector<QRectF>& rects, const QTransform& transform, const QRectF& box);

// Plays every record of `metafile` through `play` (false: a malformed
// record, skipped) until the records end or the canvas's drawing budget is
// spent. WMF and EMF share it; only their record players differ.
TMetaPlayStats PlayRecords(const TMetafile& metafile, TMetaCanvas& canvas,
                           const std::function<bool(const TMetaRecord&)>& play);

} // namespace tomeric
