#include "imaging/metafile_emf.h"

#include <QLinearGradient>

#include <algorithm>
#include <cmath>

namespace tomeric {
namespace {

// Record types ([MS-EMF] 2.1.1).
enum EmfType : std::uint32_t {
    emrPolyBezier = 2, emrPolygon, emrPolyline, emrPolyBezierTo, emrPolylineTo, emrPolyPolyline,
    emrPolyPolygon, emrSetWindowExtEx, emrSetWindowOrgEx, emrSetViewportExtEx, emrSetViewportOrgEx,
    emrSetBrushOrgEx, emrEof, emrSetPixelV, emrSetMapperFlags, emrSetMapMode, emrSetBkMode,
    emrSetPolyFillMode, emrSetRop2, emrSetStretchBltMode, emrSetTextAlign, emrSetColorAdjustment,
    emrSetTextColor, emrSetBkColor, emrOffsetClipRgn, emrMoveToEx, emrSetMetaRgn, emrExcludeClipRect,
    emrIntersectClipRect, emrScaleViewportExtEx, emrScaleWindowExtEx, emrSaveDc, emrRestoreDc,
    emrSetWorldTransform, emrModifyWorldTransform, emrSelectObject, emrCreatePen,
    emrCreateBrushIndirect, emrDeleteObject, emrAngleArc, emrEllipse, emrRectangle, emrRoundRect,
    emrArc, emrChord, emrPie, emrSelectPalette, emrCreatePalette, emrSetPaletteEntries,
    emrResizePalette, emrRealizePalette, emrExtFloodFill, emrLineTo, emrArcTo, emrPolyDraw,
    emrSetArcDirection, emrSetMiterLimit, emrBeginPath, emrEndPath, emrCloseFigure, emrFillPath,
    emrStrokeAndFillPath, emrStrokePath, emrFlattenPath, emrWidenPath, emrSelectClipPath, emrAbortPath,
    emrGdiComment = 70, emrFillRgn, emrFrameRgn, emrInvertRgn, emrPaintRgn, emrExtSelectClipRgn,
    emrBitBlt, emrStretchBlt, emrMaskBlt, emrPlgBlt, emrSetDiBitsToDevice, emrStretchDiBits,
    emrExtCreateFontIndirectW, emrExtTextOutA, emrExtTextOutW, emrPolyBezier16, emrPolygon16,
    emrPolyline16, emrPolyBezierTo16, emrPolylineTo16, emrPolyPolyline16, emrPolyPolygon16,
    emrPolyDraw16, emrCreateMonoBrush, emrCreateDibPatternBrushPt, emrExtCreatePen,
    emrAlphaBlend = 114, emrGradientFill = 118,
};

constexpr std::uint32_t kStockObject = 0x80000000;
constexpr std::uint32_t kEtoNoRect = 0x100;

class EmfPlayer {
public:
    EmfPlayer(TMetaDc& dc, TMetaCanvas& canvas) : dc_(dc), canvas_(canvas) {}

    // False when the record is malformed.
    bool Play(const TMetaRecord& record);

private:
    QPointF PointL(qsizetype at) const { return QPointF(r_.S32(at), r_.S32(at + 4)); }
    QRectF RectL(qsizetype at) const { return QRectF(PointL(at), PointL(at + 8)); }
    // `count` points of 8 bytes (or 4 for the 16-bit records) from `at`.
    bool Points(qsizetype at, qsizetype count, bool small, QPolygonF& points) const;
    // A RegionData structure at `at` (size `size`), rectangles through `t`.
    std::optional<QRegion> Region(qsizetype at, qsizetype size, const QTransform& t) const;
    // The DIB a record points at with offsets and sizes from `at`
    // (offBmi, cbBmi, offBits, cbBits).
    TDib Dib(qsizetype at, std::uint32_t usage, bool alpha = false) const;

    bool State();
    bool Mapping();
    bool Objects();
    bool Polys();
    bool Shapes();
    bool Paths();
    bool Clipping();
    bool Text();
    bool Bitmaps();
    bool Gradient();

    void Stock(std::uint32_t index);

    TMetaDc& dc_;
    TMetaCanvas& canvas_;
    TMetaRecord r_;
};

bool EmfPlayer::Points(qsizetype at, qsizetype count, bool small, QPolygonF& points) const {
    const qsizetype size = small ? 4 : 8;
    if (count < 0 || count > r_.Size() / size || !r_.Has(at, count * size))
        return false;
    points.resize(count);
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype p = at + i * size;
        points[i] = small ? QPointF(r_.S16(p), r_.S16(p + 2)) : QPointF(r_.S32(p), r_.S32(p + 4));
    }
    return true;
}

std::optional<QRegion> EmfPlayer::Region(qsizetype at, qsizetype size, const QTransform& t) const {
    // RegionDataHeader: dwSize 32, iType 1, nCount, nRgnSize, rcBound.
    if (size < 32 || !r_.Has(at, size))
        return std::nullopt;
    const qsizetype count = r_.U32(at + 8);
    if (count > (size - 32) / 16)
        return std::nullopt;
    std::vector<QRectF> rects;
    rects.reserve(std::size_t(count));
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype p = at + 32 + 16 * i;
        const double left = r_.S32(p), top = r_.S32(p + 4), right = r_.S32(p + 8), bottom = r_.S32(p + 12);
        if (right > left && bottom > top)
            rects.emplace_back(QPointF(left, top), QPointF(right, bottom));
    }
    return RegionOfRects(rects, t, dc_.ClipBox());
}

TDib EmfPlayer::Dib(qsizetype at, std::uint32_t usage, bool alpha) const {
    const qsizetype infoAt = r_.U32(at), infoSize = r_.U32(at + 4);
    const qsizetype bitsAt = r_.U32(at + 8), bitsSize = r_.U32(at + 12);
    if (infoSize == 0 || !r_.Has(infoAt, infoSize) || !r_.Has(bitsAt, bitsSize))
        return {};
    return DecodeDib(r_.Slice(infoAt, infoSize), r_.Slice(bitsAt, bitsSize), usage, alpha);
}

bool EmfPlayer::Play(const TMetaRecord& record) {
    r_ = record;
    switch (record.Type()) {
    case emrSaveDc: case emrRestoreDc: case emrSetBkMode: case emrSetPolyFillMode: case emrSetRop2:
    case emrSetStretchBltMode: case emrSetTextAlign: case emrSetTextColor: case emrSetBkColor:
    case emrSetArcDirection: case emrMoveToEx:
        return State();
    case emrSetWindowExtEx: case emrSetWindowOrgEx: case emrSetViewportExtEx: case emrSetViewportOrgEx:
    case emrSetMapMode: case emrScaleViewportExtEx: case emrScaleWindowExtEx: case emrSetWorldTransform:
    case emrModifyWorldTransform:
        return Mapping();
    case emrSelectObject: case emrCreatePen: case emrCreateBrushIndirect: case emrDeleteObject:
    case emrCreatePalette: case emrExtCreateFontIndirectW: case emrCreateMonoBrush:
    case emrCreateDibPatternBrushPt: case emrExtCreatePen:
        return Objects();
    case emrPolyBezier: case emrPolygon: case emrPolyline: case emrPolyBezierTo: case emrPolylineTo:
    case emrPolyPolyline: case emrPolyPolygon: case emrPolyBezier16: case emrPolygon16:
    case emrPolyline16: case emrPolyBezierTo16: case emrPolylineTo16: case emrPolyPolyline16:
    case emrPolyPolygon16: case emrPolyDraw: case emrPolyDraw16:
        return Polys();
    case emrSetPixelV: case emrAngleArc: case emrEllipse: case emrRectangle: case emrRoundRect:
    case emrArc: case emrChord: case emrPie: case emrLineTo: case emrArcTo:
        return Shapes();
    case emrBeginPath: case emrEndPath: case emrCloseFigure: case emrFillPath: case emrStrokeAndFillPath:
    case emrStrokePath: case emrFlattenPath: case emrWidenPath: case emrSelectClipPath: case emrAbortPath:
        return Paths();
    case emrOffsetClipRgn: case emrExcludeClipRect: case emrIntersectClipRect: case emrExtSelectClipRgn:
    case emrFillRgn: case emrFrameRgn: case emrPaintRgn:
        return Clipping();
    case emrExtTextOutA: case emrExtTextOutW:
        return Text();
    case emrBitBlt: case emrStretchBlt: case emrStretchDiBits: case emrSetDiBitsToDevice: case emrAlphaBlend:
        return Bitmaps();
    case emrGradientFill:
        return Gradient();
    default:
        return true; // not drawn (comments and EMF+ among them): skipped by its size
    }
}

bool EmfPlayer::State() {
    TMetaDcState& s = dc_.State();
    const std::uint32_t type = r_.Type();
    if (type == emrSaveDc) {
        dc_.Save();
        return true;
    }
    if (!r_.Has(8, type == emrMoveToEx ? 8 : 4))
        return false;
    const std::uint32_t value = r_.U32(8);
    switch (type) {
    case emrRestoreDc: dc_.Restore(r_.S32(8)); break;
    case emrSetBkMode: s.bkMode = int(value); break;
    case emrSetPolyFillMode: s.polyFillMode = int(value); break;
    case emrSetRop2: s.rop2 = int(value); break;
    case emrSetStretchBltMode: s.stretchMode = int(value); break;
    case emrSetTextAlign: s.textAlign = value; break;
    case emrSetTextColor: s.textColour = ColourOfRef(value); break;
    case emrSetBkColor: s.bkColour = ColourOfRef(value); break;
    case emrSetArcDirection: s.arcDirection = int(value); break;
    case emrMoveToEx: canvas_.MoveTo(PointL(8)); break;
    default: break;
    }
    return true;
}

bool EmfPlayer::Mapping() {
    const std::uint32_t type = r_.Type();
    switch (type) {
    case emrSetMapMode:
        if (!r_.Has(8, 4))
            return false;
        dc_.SetMapMode(int(r_.U32(8)));
        return true;
    case emrSetWorldTransform:
    case emrModifyWorldTransform: {
        if (!r_.Has(8, type == emrSetWorldTransform ? 24 : 28))
            return false;
        const QTransform xform(r_.F32(8), r_.F32(12), r_.F32(16), r_.F32(20), r_.F32(24), r_.F32(28));
        if (type == emrSetWorldTransform)
            dc_.SetWorld(xform);
        else
            dc_.ModifyWorld(xform, r_.U32(32));
        return true;
    }
    case emrScaleViewportExtEx:
    case emrScaleWindowExtEx:
        if (!r_.Has(8, 16))
            return false;
        if (type == emrScaleWindowExtEx)
            dc_.ScaleWindowExt(r_.S32(8), r_.S32(12), r_.S32(16), r_.S32(20));
        else
            dc_.ScaleViewportExt(r_.S32(8), r_.S32(12), r_.S32(16), r_.S32(20));
        return true;
    default: break;
    }
    if (!r_.Has(8, 8))
        return false;
    const QPointF value = PointL(8);
    switch (type) {
    case emrSetWindowExtEx: dc_.SetWindowExt(value); break;
    case emrSetWindowOrgEx: dc_.SetWindowOrg(value); break;
    case emrSetViewportExtEx: dc_.SetViewportExt(value); break;
    case emrSetViewportOrgEx: dc_.SetViewportOrg(value); break;
    default: break;
    }
    return true;
}

void EmfPlayer::Stock(std::uint32_t index) {
    TMetaDcState& s = dc_.State();
    const auto solid = [&s](int grey) {
        s.brush = TMetaBrush();
        s.brush.colour = QColor(grey, grey, grey);
    };
    switch (index & ~kStockObject) {
    case 0: solid(255); break;       // WHITE_BRUSH
    case 1: solid(0xC0); break;      // LTGRAY_BRUSH
    case 2: solid(0x80); break;      // GRAY_BRUSH
    case 3: solid(0x40); break;      // DKGRAY_BRUSH
    case 4: solid(0); break;         // BLACK_BRUSH
    case 5: s.brush = TMetaBrush(); s.brush.style = gdi::bsNull; break;
    case 6: s.pen = TMetaPen(); s.pen.colour = Qt::white; break;
    case 7: s.pen = TMetaPen(); break; // BLACK_PEN
    case 8: s.pen = TMetaPen(); s.pen.style = gdi::psNull; break;
    case 10: case 11: case 16: // the fixed-pitch fonts
        s.font = TMetaFont();
        s.font.face = QStringLiteral("Courier New");
        break;
    case 12: case 13: case 14: case 17: s.font = TMetaFont(); break;
    case 18: solid(255); break;      // DC_BRUSH
    case 19: s.pen = TMetaPen(); break; // DC_PEN
    default: break;
    }
}

bool EmfPlayer::Objects() {
    const std::uint32_t type = r_.Type();
    if (!r_.Has(8, 4))
        return false;
    const std::uint32_t index = r_.U32(8);
    TMetaObjectTable& objects = dc_.Objects();
    switch (type) {
    case emrSelectObject:
        if (index & kStockObject)
            Stock(index);
        else if (const TMetaObject* object = objects.Get(index))
            dc_.Select(*object);
        return true;
    case emrDeleteObject: objects.Remove(index); return true;
    case emrCreatePalette: objects.Put(index, TMetaPalette{}); return true;
    case emrCreatePen: {
        if (!r_.Has(12, 16))
            return false;
        TMetaPen pen;
        pen.style = r_.U32(12);
        pen.width = std::abs(double(r_.S32(16)));
        pen.colour = ColourOfRef(r_.U32(24));
        objects.Put(index, pen);
        return true;
    }
    case emrExtCreatePen: {
        if (!r_.Has(28, 24))
            return false;
        TMetaPen pen;
        pen.style = r_.U32(28);
        pen.width = double(r_.U32(32));
        if (r_.U32(36) == gdi::bsNull)
            pen.style = (pen.style & ~gdi::kPenStyleMask) | gdi::psNull;
        pen.colour = ColourOfRef(r_.U32(40));
        const qsizetype entries = std::min<qsizetype>(r_.U32(48), 16);
        if (pen.Kind() == gdi::psUserStyle && r_.Has(52, entries * 4))
            for (qsizetype i = 0; i < entries; ++i)
                pen.dashes.push_back(r_.U32(52 + 4 * i));
        objects.Put(index, pen);
        return true;
    }
    case emrCreateBrushIndirect: {
        if (!r_.Has(12, 12))
            return false;
        TMetaBrush brush;
        brush.style = int(r_.U32(12));
        brush.colour = ColourOfRef(r_.U32(16));
        brush.hatch = int(r_.U32(20));
        objects.Put(index, brush);
        return true;
    }
    case emrCreateMonoBrush:
    case emrCreateDibPatternBrushPt: {
        if (!r_.Has(12, 20))
            return false;
        TMetaBrush brush;
        brush.style = gdi::bsDibPatternPt;
        brush.colour = Qt::black;
        brush.pattern = Dib(16, r_.U32(12)).image;
        objects.Put(index, brush);
        return true;
    }
    case emrExtCreateFontIndirectW: {
        if (!r_.Has(12, 28))
            return false;
        TMetaFont font;
        font.height = r_.S32(12);
        font.width = r_.S32(16);
        font.escapement = r_.S32(20);
        font.weight = r_.S32(28);
        font.italic = r_.U8(32) != 0;
        font.underline = r_.U8(33) != 0;
        font.strikeOut = r_.U8(34) != 0;
        font.charset = r_.U8(35);
        const QByteArrayView face = r_.Slice(40, 64);
        QString name;
        for (qsizetype i = 0; i + 1 < face.size(); i += 2) {
            const char16_t unit = char16_t(std::uint8_t(face[i]) | std::uint8_t(face[i + 1]) << 8);
            if (unit == 0)
                break;
            name.append(QChar(unit));
        }
        font.face = name;
        objects.Put(index, font);
        return true;
    }
    default: return true;
    }
}

bool EmfPlayer::Polys() {
    const std::uint32_t type = r_.Type();
    const bool small = type >= emrPolyBezier16 && type <= emrPolyDraw16;
    if (type == emrPolyPolyline || type == emrPolyPolygon || type == emrPolyPolyline16
        || type == emrPolyPolygon16) {
        if (!r_.Has(24, 8))
            return false;
        const qsizetype polygons = r_.U32(24), total = r_.U32(28);
        if (polygons > r_.Size() / 4 || !r_.Has(32, polygons * 4))
            return false;
        QPolygonF all;
        if (!Points(32 + polygons * 4, total, small, all))
            return false;
        std::vector<QPolygonF> pieces;
        qsizetype used = 0;
        for (qsizetype i = 0; i < polygons; ++i) {
            const qsizetype count = r_.U32(32 + 4 * i);
            if (count > total - used)
                return false;
            pieces.push_back(all.mid(used, count));
            used += count;
        }
        if (type == emrPolyPolygon || type == emrPolyPolygon16)
            canvas_.PolyPolygon(pieces);
        else
            canvas_.PolyPolyline(pieces);
        return true;
    }
    if (!r_.Has(24, 4))
        return false;
    const qsizetype count = r_.U32(24);
    QPolygonF points;
    if (!Points(28, count, small, points))
        return false;
    switch (small ? type - (emrPolyBezier16 - emrPolyBezier) : type) {
    case emrPolyBezier: canvas_.PolyBezier(points, false); break;
    case emrPolygon: canvas_.Polygon(points); break;
    case emrPolyline: canvas_.Polyline(points); break;
    case emrPolyBezierTo: canvas_.PolyBezier(points, true); break;
    case emrPolylineTo: canvas_.PolylineTo(points); break;
    default: { // POLYDRAW: a type byte per point follows the points
        const qsizetype typesAt = 28 + count * (small ? 4 : 8);
        if (!r_.Has(typesAt, count))
            return false;
        QPainterPath path(dc_.State().position);
        for (qsizetype i = 0; i < count; ++i) {
            const std::uint8_t kind = r_.U8(typesAt + i);
            switch (kind & ~1) {
            case 6: path.moveTo(points[i]); break;
            case 2: path.lineTo(points[i]); break;
            case 4:
                if (i + 2 < count) {
                    path.cubicTo(points[i], points[i + 1], points[i + 2]);
                    i += 2;
                }
                break;
            default: break;
            }
            if (kind & 1)
                path.closeSubpath();
        }
        dc_.State().position = path.currentPosition();
        canvas_.DrawPath(path);
        break;
    }
    }
    return true;
}

bool EmfPlayer::Shapes() {
    const std::uint32_t type = r_.Type();
    switch (type) {
    case emrLineTo:
        if (!r_.Has(8, 8))
            return false;
        canvas_.LineTo(PointL(8));
        return true;
    case emrSetPixelV:
        if (!r_.Has(8, 12))
            return false;
        canvas_.SetPixel(PointL(8), ColourOfRef(r_.U32(16)));
        return true;
    case emrAngleArc:
        if (!r_.Has(8, 20))
            return false;
        canvas_.AngleArc(PointL(8), r_.U32(16), r_.F32(20), r_.F32(24));
        return true;
    case emrEllipse:
    case emrRectangle:
        if (!r_.Has(8, 16))
            return false;
        if (type == emrEllipse)
            canvas_.Ellipse(RectL(8));
        else
            canvas_.Rectangle(RectL(8));
        return true;
    case emrRoundRect:
        if (!r_.Has(8, 24))
            return false;
        canvas_.RoundRect(RectL(8), QSizeF(r_.S32(24), r_.S32(28)));
        return true;
    default: { // the arcs: a box, a start and an end point
        if (!r_.Has(8, 32))
            return false;
        const TMetaCanvas::ArcKind kind = type == emrArc ? TMetaCanvas::ArcKind::Arc
            : type == emrChord                           ? TMetaCanvas::ArcKind::Chord
            : type == emrPie                             ? TMetaCanvas::ArcKind::Pie
                                                         : TMetaCanvas::ArcKind::ArcTo;
        canvas_.Arc(kind, RectL(8), PointL(24), PointL(32));
        return true;
    }
    }
}

bool EmfPlayer::Paths() {
    switch (r_.Type()) {
    case emrBeginPath: canvas_.BeginPath(); break;
    case emrEndPath: canvas_.EndPath(); break;
    case emrCloseFigure: canvas_.CloseFigure(); break;
    case emrFillPath: canvas_.FillPath(); break;
    case emrStrokeAndFillPath: canvas_.StrokeAndFillPath(); break;
    case emrStrokePath: canvas_.StrokePath(); break;
    case emrWidenPath: canvas_.WidenPath(); break;
    case emrAbortPath: canvas_.AbortPath(); break;
    case emrSelectClipPath:
        if (!r_.Has(8, 4))
            return false;
        canvas_.SelectClipPath(int(r_.U32(8)));
        break;
    default: break; // flattening changes nothing we draw
    }
    return true;
}

bool EmfPlayer::Clipping() {
    switch (r_.Type()) {
    case emrOffsetClipRgn:
        if (!r_.Has(8, 8))
            return false;
        dc_.OffsetClip(PointL(8));
        return true;
    case emrExcludeClipRect:
    case emrIntersectClipRect:
        if (!r_.Has(8, 16))
            return false;
        if (r_.Type() == emrExcludeClipRect)
            dc_.ExcludeClipRect(RectL(8));
        else
            dc_.IntersectClipRect(RectL(8));
        return true;
    case emrExtSelectClipRgn: {
        if (!r_.Has(8, 8))
            return false;
        const qsizetype size = r_.U32(8);
        const int mode = int(r_.U32(12));
        if (size == 0) { // no region: only RGN_COPY means something, the default clip
            if (mode == gdi::rgnCopy)
                dc_.CombineClip(std::nullopt, gdi::rgnCopy);
            return true;
        }
        // The region is in device units: the reference space.
        const std::optional<QRegion> region = Region(16, size, dc_.ReferenceToTarget());
        if (!region)
            return false;
        dc_.CombineClip(region, mode);
        return true;
    }
    case emrFillRgn:
    case emrFrameRgn:
    case emrPaintRgn: {
        const bool paint = r_.Type() == emrPaintRgn;
        const qsizetype dataAt = paint ? 28 : r_.Type() == emrFillRgn ? 32 : 40;
        if (!r_.Has(24, dataAt - 24))
            return false;
        const std::optional<QRegion> region = Region(dataAt, r_.U32(24), dc_.LogicalToTarget());
        if (!region)
            return false;
        TMetaBrush brush = dc_.State().brush;
        if (!paint) {
            const TMetaObject* object = dc_.Objects().Get(r_.U32(28));
            const TMetaBrush* chosen = object ? std::get_if<TMetaBrush>(object) : nullptr;
            if (!chosen)
                return true;
            brush = *chosen;
        }
        if (r_.Type() == emrFrameRgn)
            canvas_.FrameRegion(*region, brush, QSizeF(r_.S32(32), r_.S32(36)));
        else
            canvas_.FillRegion(*region, brush);
        return true;
    }
    default: return true;
    }
}

bool EmfPlayer::Text() {
    // Bounds, graphics mode, scales, then the EmrText: reference point,
    // character count, string offset, options, rectangle, advances offset.
    if (!r_.Has(36, 40))
        return false;
    const bool wide = r_.Type() == emrExtTextOutW;
    const qsizetype count = r_.U32(44);
    const qsizetype stringAt = r_.U32(48);
    TMetaCanvas::TText text;
    text.reference = PointL(36);
    text.options = r_.U32(52);
    const QRectF rectangle = RectL(56);
    if (!(text.options & kEtoNoRect) && (text.options & (gdi::kEtoOpaque | gdi::kEtoClipped)))
        text.rectangle = rectangle;
    const qsizetype bytes = count * (wide ? 2 : 1);
    if (count > r_.Size() || (count > 0 && !r_.Has(stringAt, bytes)))
        return false;
    const QByteArrayView string = r_.Slice(stringAt, bytes);
    if (wide) {
        QString decoded;
        decoded.reserve(count);
        for (qsizetype i = 0; i < count; ++i)
            decoded.append(QChar(char16_t(std::uint8_t(string[2 * i]) | std::uint8_t(string[2 * i + 1]) << 8)));
        text.text = decoded;
    } else {
        text.text = canvas_.DecodeAnsi(string);
    }
    // Advances: one per character (pairs with ETO_PDY, of which x counts).
    // Without a rectangle (ETO_NO_RECT) their offset moves up.
    const qsizetype advancesAt = r_.U32(text.options & kEtoNoRect ? 56 : 72);
    const qsizetype step = text.options & gdi::kEtoPdy ? 8 : 4;
    if (advancesAt != 0 && count > 0 && r_.Has(advancesAt, count * step)
        && (wide || text.text.size() == count)) {
        for (qsizetype i = 0; i < count; ++i)
            text.advances.push_back(r_.S32(advancesAt + step * i));
    }
    canvas_.Text(text);
    return true;
}

bool EmfPlayer::Bitmaps() {
    const std::uint32_t type = r_.Type();
    switch (type) {
    case emrBitBlt:
    case emrStretchBlt:
    case emrAlphaBlend: {
        // xDest yDest cxDest cyDest, raster operation (or blend function),
        // xSrc ySrc, source transform, background, usage, bitmap offsets,
        // then for stretches the source size.
        const bool stretch = type != emrBitBlt;
        if (!r_.Has(24, stretch ? 84 : 76))
            return false;
        const QRectF to(PointL(24), QSizeF(r_.S32(32), r_.S32(36)));
        const std::uint32_t operation = r_.U32(40);
        const QSizeF sourceSize = stretch ? QSizeF(r_.S32(100), r_.S32(104)) : to.size();
        const QRectF from(PointL(44), sourceSize);
        if (r_.U32(88) == 0) { // no source bitmap: a pattern blit
            if (type != emrAlphaBlend)
                canvas_.PatBlt(to, operation);
            return true;
        }
        if (type == emrAlphaBlend) {
            // BLENDFUNCTION: operation, flags, constant alpha, AC_SRC_ALPHA.
            const bool sourceAlpha = (operation >> 24 & 0xFF) == 1;
            TDib dib = Dib(84, r_.U32(80), sourceAlpha);
            const int constant = int(operation >> 16 & 0xFF);
            if (!dib.IsNull() && constant < 255) {
                QImage faded = dib.image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
                QImage result(faded.size(), QImage::Format_ARGB32_Premultiplied);
                result.fill(Qt::transparent);
                QPainter fade(&result);
                fade.setOpacity(constant / 255.0);
                fade.drawImage(0, 0, faded);
                fade.end();
                dib.image = result;
            }
            canvas_.StretchDib(dib, from, to, rop::kSrcCopy);
            return true;
        }
        canvas_.StretchDib(Dib(84, r_.U32(80)), from, to, operation);
        return true;
    }
    case emrStretchDiBits: {
        // xDest yDest, xSrc ySrc cxSrc cySrc, bitmap offsets, usage,
        // raster operation, cxDest cyDest.
        if (!r_.Has(24, 56))
            return false;
        const QRectF from(PointL(32), QSizeF(r_.S32(40), r_.S32(44)));
        const QRectF to(PointL(24), QSizeF(r_.S32(72), r_.S32(76)));
        canvas_.StretchDib(Dib(48, r_.U32(64)), from, to, r_.U32(68));
        return true;
    }
    case emrSetDiBitsToDevice: {
        // xDest yDest, xSrc ySrc cxSrc cySrc, bitmap offsets, usage, start
        // scan, scan count.
        if (!r_.Has(24, 52))
            return false;
        const QRectF from(PointL(32), QSizeF(r_.S32(40), r_.S32(44)));
        canvas_.DibToDevice(Dib(48, r_.U32(64)), from, PointL(24));
        return true;
    }
    default: return true;
    }
}

// Rectangles filled with a colour gradient across or down; triangles with
// the mean of their corners.
bool EmfPlayer::Gradient() {
    if (!r_.Has(24, 12))
        return false;
    const qsizetype vertices = r_.U32(24), pieces = r_.U32(28);
    const std::uint32_t mode = r_.U32(32);
    if (vertices > r_.Size() / 16 || pieces > r_.Size() / 8 || !r_.Has(36, vertices * 16))
        return false;
    const qsizetype piecesAt = 36 + vertices * 16;
    const qsizetype pieceSize = mode == 2 ? 12 : 8;
    if (!r_.Has(piecesAt, pieces * pieceSize))
        return false;
    const auto vertex = [&](std::uint32_t i) { return PointL(36 + 16 * qsizetype(i)); };
    const auto colour = [&](std::uint32_t i) {
        const qsizetype at = 36 + 16 * qsizetype(i) + 8;
        return QColor(r_.U16(at) >> 8, r_.U16(at + 2) >> 8, r_.U16(at + 4) >> 8);
    };
    const QTransform& t = dc_.LogicalToTarget();
    for (qsizetype i = 0; i < pieces; ++i) {
        const qsizetype at = piecesAt + i * pieceSize;
        if (mode == 2) {
            const std::uint32_t a = r_.U32(at), b = r_.U32(at + 4), c = r_.U32(at + 8);
            if (a >= vertices || b >= vertices || c >= vertices)
                return false;
            const QColor ca = colour(a), cb = colour(b), cc = colour(c);
            QPainterPath triangle;
            triangle.addPolygon(QPolygonF({vertex(a), vertex(b), vertex(c)}));
            triangle.closeSubpath();
            canvas_.FillTarget(canvas_.ToTarget(triangle),
                               QColor((ca.red() + cb.red() + cc.red()) / 3, (ca.green() + cb.green() + cc.green()) / 3,
                                      (ca.blue() + cb.blue() + cc.blue()) / 3));
            continue;
        }
        const std::uint32_t upper = r_.U32(at), lower = r_.U32(at + 4);
        if (upper >= vertices || lower >= vertices)
            return false;
        const QRectF box = QRectF(vertex(upper), vertex(lower));
        QPainterPath rect;
        rect.addRect(box.normalized());
        const QPointF start = t.map(box.topLeft());
        const QPointF end = t.map(mode == 1 ? box.bottomLeft() : box.topRight());
        QLinearGradient gradient(start, end);
        gradient.setColorAt(0, colour(upper));
        gradient.setColorAt(1, colour(lower));
        canvas_.FillTarget(canvas_.ToTarget(rect), gradient);
    }
    return true;
}

} // namespace

TMetaPlayStats PlayEmf(const TMetafile& metafile, TMetaDc& dc, TMetaCanvas& canvas) {
    EmfPlayer player(dc, canvas);
    return PlayRecords(metafile, canvas, [&player](const TMetaRecord& record) { return player.Play(record); });
}

} // namespace tomeric
