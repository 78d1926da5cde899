#include "imaging/metafile_wmf.h"

#include <algorithm>

namespace tomeric {
namespace {

// Record functions ([MS-WMF] 2.1.1.1).
enum WmfFunction : std::uint32_t {
    fnSaveDc = 0x001E, fnCreatePalette = 0x00F7, fnSetBkMode = 0x0102, fnSetMapMode = 0x0103,
    fnSetRop2 = 0x0104, fnSetPolyFillMode = 0x0106, fnSetStretchBltMode = 0x0107,
    fnRestoreDc = 0x0127, fnInvertRegion = 0x012A, fnPaintRegion = 0x012B,
    fnSelectClipRegion = 0x012C, fnSelectObject = 0x012D, fnSetTextAlign = 0x012E,
    fnDibCreatePatternBrush = 0x0142, fnDeleteObject = 0x01F0, fnCreatePatternBrush = 0x01F9,
    fnSetBkColor = 0x0201, fnSetTextColor = 0x0209, fnSetWindowOrg = 0x020B, fnSetWindowExt = 0x020C,
    fnSetViewportOrg = 0x020D, fnSetViewportExt = 0x020E, fnOffsetWindowOrg = 0x020F,
    fnOffsetViewportOrg = 0x0211, fnLineTo = 0x0213, fnMoveTo = 0x0214, fnOffsetClipRgn = 0x0220,
    fnFillRegion = 0x0228, fnCreatePenIndirect = 0x02FA, fnCreateFontIndirect = 0x02FB,
    fnCreateBrushIndirect = 0x02FC, fnPolygon = 0x0324, fnPolyline = 0x0325,
    fnScaleWindowExt = 0x0410, fnScaleViewportExt = 0x0412, fnExcludeClipRect = 0x0415,
    fnIntersectClipRect = 0x0416, fnEllipse = 0x0418, fnRectangle = 0x041B, fnSetPixel = 0x041F,
    fnFrameRegion = 0x0429, fnTextOut = 0x0521, fnPolyPolygon = 0x0538, fnRoundRect = 0x061C,
    fnPatBlt = 0x061D, fnCreateRegion = 0x06FF, fnArc = 0x0817, fnPie = 0x081A, fnChord = 0x0830,
    fnBitBlt = 0x0922, fnDibBitBlt = 0x0940, fnExtTextOut = 0x0A32, fnStretchBlt = 0x0B23,
    fnDibStretchBlt = 0x0B41, fnSetDibToDev = 0x0D33, fnStretchDib = 0x0F43,
};

constexpr qsizetype kParams = wmf::kRecordHeader; // offset of the first parameter

class WmfPlayer {
public:
    WmfPlayer(TMetaDc& dc, TMetaCanvas& canvas) : dc_(dc), canvas_(canvas) {}

    // False when the record is malformed.
    bool Play(const TMetaRecord& record);

private:
    // Parameter word i, signed and unsigned; a 32-bit value from word i.
    std::int16_t S(int i) const { return r_.S16(kParams + 2 * i); }
    std::uint16_t U(int i) const { return r_.U16(kParams + 2 * i); }
    std::uint32_t L(int i) const { return r_.U32(kParams + 2 * i); }
    bool HasWords(int count) const { return r_.Has(kParams, 2 * qsizetype(count)); }
    // The record carries no bitmap: its size is just its parameters.
    bool WithoutBitmap() const { return r_.Size() / 2 == qsizetype(r_.Type() >> 8) + 3; }
    // A point stored y first, as WMF stores them, at word i.
    QPointF YX(int i) const { return QPointF(S(i + 1), S(i)); }
    // A rectangle stored bottom, right, top, left from word i.
    QRectF Box(int i) const { return QRectF(QPointF(S(i + 3), S(i + 2)), QPointF(S(i + 1), S(i))); }
    bool Points(qsizetype at, qsizetype count, QPolygonF& points) const;

    bool State();
    bool Mapping();
    bool Objects();
    bool Shapes();
    bool Text();
    bool Bitmaps();
    bool Regions();

    void AddObject(TMetaObject object) { dc_.Objects().Add(std::move(object)); }
    TMetaPen Pen() const;
    TMetaBrush Brush() const;
    TMetaFont Font() const;
    TMetaRegion Region() const;
    const TMetaRegion* RegionAt(std::uint32_t index) const;
    QRegion ToTarget(const TMetaRegion& region) const {
        return RegionOfRects(region.rects, dc_.LogicalToTarget(), dc_.ClipBox());
    }

    TMetaDc& dc_;
    TMetaCanvas& canvas_;
    TMetaRecord r_;
};

bool WmfPlayer::Points(qsizetype at, qsizetype count, QPolygonF& points) const {
    if (count < 0 || !r_.Has(at, count * 4))
        return false;
    points.resize(count);
    for (qsizetype i = 0; i < count; ++i)
        points[i] = QPointF(r_.S16(at + 4 * i), r_.S16(at + 4 * i + 2));
    return true;
}

bool WmfPlayer::Play(const TMetaRecord& record) {
    r_ = record;
    switch (record.Type()) {
    case fnSaveDc: case fnRestoreDc: case fnSetBkMode: case fnSetMapMode: case fnSetRop2:
    case fnSetPolyFillMode: case fnSetStretchBltMode: case fnSetTextAlign: case fnSetBkColor:
    case fnSetTextColor:
        return State();
    case fnSetWindowOrg: case fnSetWindowExt: case fnSetViewportOrg: case fnSetViewportExt:
    case fnOffsetWindowOrg: case fnOffsetViewportOrg: case fnScaleWindowExt: case fnScaleViewportExt:
        return Mapping();
    case fnCreatePenIndirect: case fnCreateBrushIndirect: case fnCreateFontIndirect:
    case fnDibCreatePatternBrush: case fnCreatePatternBrush: case fnCreatePalette: case fnCreateRegion:
    case fnSelectObject: case fnDeleteObject:
        return Objects();
    case fnLineTo: case fnMoveTo: case fnPolygon: case fnPolyline: case fnPolyPolygon: case fnRectangle:
    case fnEllipse: case fnRoundRect: case fnArc: case fnChord: case fnPie: case fnSetPixel:
        return Shapes();
    case fnTextOut: case fnExtTextOut:
        return Text();
    case fnPatBlt: case fnBitBlt: case fnStretchBlt: case fnDibBitBlt: case fnDibStretchBlt:
    case fnStretchDib: case fnSetDibToDev:
        return Bitmaps();
    case fnExcludeClipRect: case fnIntersectClipRect: case fnOffsetClipRgn: case fnSelectClipRegion:
    case fnFillRegion: case fnFrameRegion: case fnPaintRegion: case fnInvertRegion:
        return Regions();
    default:
        return true; // not drawn: skipped by its size
    }
}

bool WmfPlayer::State() {
    TMetaDcState& s = dc_.State();
    const std::uint32_t type = r_.Type();
    if (type == fnSaveDc) {
        dc_.Save();
        return true;
    }
    if (!HasWords(1))
        return false;
    switch (type) {
    case fnRestoreDc: dc_.Restore(S(0)); break;
    case fnSetBkMode: s.bkMode = U(0); break;
    case fnSetMapMode: dc_.SetMapMode(U(0)); break;
    case fnSetRop2: s.rop2 = U(0); break;
    case fnSetPolyFillMode: s.polyFillMode = U(0); break;
    case fnSetStretchBltMode: s.stretchMode = U(0); break;
    case fnSetTextAlign: s.textAlign = U(0); break;
    case fnSetBkColor:
    case fnSetTextColor:
        if (!HasWords(2))
            return false;
        (type == fnSetBkColor ? s.bkColour : s.textColour) = ColourOfRef(L(0));
        break;
    default: break;
    }
    return true;
}

bool WmfPlayer::Mapping() {
    const std::uint32_t type = r_.Type();
    const bool scale = type == fnScaleWindowExt || type == fnScaleViewportExt;
    if (!HasWords(scale ? 4 : 2))
        return false;
    const TMetaDcState& s = dc_.State();
    const QPointF value = YX(0);
    switch (type) {
    case fnSetWindowOrg: dc_.SetWindowOrg(value); break;
    case fnSetWindowExt: dc_.SetWindowExt(value); break;
    case fnSetViewportOrg: dc_.SetViewportOrg(value); break;
    case fnSetViewportExt: dc_.SetViewportExt(value); break;
    case fnOffsetWindowOrg: dc_.SetWindowOrg(s.windowOrg + value); break;
    case fnOffsetViewportOrg: dc_.SetViewportOrg(s.viewportOrg + value); break;
    case fnScaleWindowExt: dc_.ScaleWindowExt(S(3), S(2), S(1), S(0)); break;
    case fnScaleViewportExt: dc_.ScaleViewportExt(S(3), S(2), S(1), S(0)); break;
    default: break;
    }
    return true;
}

TMetaPen WmfPlayer::Pen() const {
    TMetaPen pen;
    pen.style = U(0);
    pen.width = std::abs(S(1));
    pen.colour = ColourOfRef(L(3));
    return pen;
}

TMetaBrush WmfPlayer::Brush() const {
    TMetaBrush brush;
    brush.style = U(0);
    brush.colour = ColourOfRef(L(1));
    brush.hatch = U(3);
    return brush;
}

TMetaFont WmfPlayer::Font() const {
    TMetaFont font;
    font.height = S(0);
    font.width = S(1);
    font.escapement = S(2);
    font.weight = S(4);
    font.italic = r_.U8(16) != 0;
    font.underline = r_.U8(17) != 0;
    font.strikeOut = r_.U8(18) != 0;
    font.charset = r_.U8(19);
    QByteArrayView face = r_.Slice(24, 32);
    if (const qsizetype end = face.indexOf('\0'); end >= 0)
        face = face.first(end);
    font.face = DecodeCharset(face, font.charset);
    return font;
}

// A Region Object ([MS-WMF] 2.2.1.5): a header, then scans of a top, a
// bottom and pairs of left and right coordinates.
TMetaRegion WmfPlayer::Region() const {
    TMetaRegion region;
    const qsizetype scanCount = U(5);
    qsizetype at = kParams + 22;
    for (qsizetype scan = 0; scan < scanCount && r_.Has(at, 6); ++scan) {
        const qsizetype count = r_.U16(at);
        const double top = r_.S16(at + 2), bottom = r_.S16(at + 4);
        if (!r_.Has(at + 6, count * 2 + 2))
            break;
        for (qsizetype i = 0; i + 1 < count; i += 2) {
            const double left = r_.S16(at + 6 + 2 * i), right = r_.S16(at + 8 + 2 * i);
            if (right > left && bottom > top)
                region.rects.emplace_back(QPointF(left, top), QPointF(right, bottom));
        }
        at += 6 + count * 2 + 2;
    }
    return region;
}

const TMetaRegion* WmfPlayer::RegionAt(std::uint32_t index) const {
    const TMetaObject* object = dc_.Objects().Get(index);
    return object ? std::get_if<TMetaRegion>(object) : nullptr;
}

bool WmfPlayer::Objects() {
    // A creation always takes its slot, even when damaged, so the indices
    // of later objects stay where the file expects them.
    switch (r_.Type()) {
    case fnCreatePenIndirect:
        AddObject(Pen());
        return HasWords(5);
    case fnCreateBrushIndirect:
        AddObject(Brush());
        return HasWords(4);
    case fnCreateFontIndirect:
        AddObject(Font());
        return HasWords(9);
    case fnDibCreatePatternBrush: {
        TMetaBrush brush;
        brush.style = gdi::bsDibPattern;
        brush.pattern = DecodePackedDib(r_.Slice(kParams + 4, r_.Size()), U(1)).image;
        brush.colour = Qt::black;
        AddObject(brush);
        return HasWords(2);
    }
    case fnCreatePatternBrush: {
        TMetaBrush brush;
        brush.style = gdi::bsPattern;
        brush.pattern = DecodeBitmap16(r_.Slice(kParams, r_.Size()), 32, Qt::black, Qt::white);
        brush.colour = Qt::black;
        AddObject(brush);
        return HasWords(16);
    }
    case fnCreatePalette: AddObject(TMetaPalette{}); return true;
    case fnCreateRegion: AddObject(Region()); return HasWords(11);
    case fnDeleteObject:
        if (!HasWords(1))
            return false;
        dc_.Objects().Remove(U(0));
        return true;
    case fnSelectObject: {
        if (!HasWords(1))
            return false;
        const TMetaObject* object = dc_.Objects().Get(U(0));
        if (!object)
            return true;
        if (const auto* region = std::get_if<TMetaRegion>(object))
            dc_.CombineClip(ToTarget(*region), gdi::rgnCopy);
        else
            dc_.Select(*object);
        return true;
    }
    default: return true;
    }
}

bool WmfPlayer::Shapes() {
    switch (r_.Type()) {
    case fnMoveTo:
    case fnLineTo:
        if (!HasWords(2))
            return false;
        if (r_.Type() == fnMoveTo)
            canvas_.MoveTo(YX(0));
        else
            canvas_.LineTo(YX(0));
        return true;
    case fnPolygon:
    case fnPolyline: {
        QPolygonF points;
        if (!HasWords(1) || !Points(kParams + 2, S(0), points))
            return false;
        if (r_.Type() == fnPolygon)
            canvas_.Polygon(points);
        else
            canvas_.Polyline(points);
        return true;
    }
    case fnPolyPolygon: {
        if (!HasWords(1))
            return false;
        const qsizetype polygons = U(0);
        if (!r_.Has(kParams + 2, polygons * 2))
            return false;
        std::vector<QPolygonF> all;
        qsizetype at = kParams + 2 + polygons * 2;
        for (qsizetype i = 0; i < polygons; ++i) {
            QPolygonF points;
            const qsizetype count = r_.U16(kParams + 2 + 2 * i);
            if (!Points(at, count, points))
                return false;
            all.push_back(std::move(points));
            at += count * 4;
        }
        canvas_.PolyPolygon(all);
        return true;
    }
    case fnRectangle:
    case fnEllipse:
        if (!HasWords(4))
            return false;
        if (r_.Type() == fnRectangle)
            canvas_.Rectangle(Box(0));
        else
            canvas_.Ellipse(Box(0));
        return true;
    case fnRoundRect:
        if (!HasWords(6))
            return false;
        canvas_.RoundRect(Box(2), QSizeF(S(1), S(0)));
        return true;
    case fnArc:
    case fnChord:
    case fnPie: {
        if (!HasWords(8))
            return false;
        const TMetaCanvas::ArcKind kind = r_.Type() == fnArc ? TMetaCanvas::ArcKind::Arc
            : r_.Type() == fnChord ? TMetaCanvas::ArcKind::Chord : TMetaCanvas::ArcKind::Pie;
        canvas_.Arc(kind, Box(4), YX(2), YX(0));
        return true;
    }
    case fnSetPixel:
        if (!HasWords(4))
            return false;
        canvas_.SetPixel(YX(2), ColourOfRef(L(0)));
        return true;
    default: return true;
    }
}

bool WmfPlayer::Text() {
    TMetaCanvas::TText text;
    if (r_.Type() == fnTextOut) {
        if (!HasWords(1))
            return false;
        const qsizetype length = S(0);
        const qsizetype padded = length + (length & 1);
        if (length < 0 || !r_.Has(kParams + 2, padded + 4))
            return false;
        text.text = canvas_.DecodeAnsi(r_.Slice(kParams + 2, length));
        text.reference = QPointF(r_.S16(kParams + 2 + padded + 2), r_.S16(kParams + 2 + padded));
        canvas_.Text(text);
        return true;
    }
    if (!HasWords(4))
        return false;
    text.reference = YX(0);
    const qsizetype length = S(2);
    text.options = U(3);
    qsizetype at = kParams + 8;
    if (text.options & (gdi::kEtoOpaque | gdi::kEtoClipped)) {
        if (!r_.Has(at, 8))
            return false;
        text.rectangle = QRectF(QPointF(r_.S16(at), r_.S16(at + 2)), QPointF(r_.S16(at + 4), r_.S16(at + 6)));
        at += 8;
    }
    if (length < 0 || !r_.Has(at, length))
        return false;
    text.text = canvas_.DecodeAnsi(r_.Slice(at, length));
    at += length + (length & 1);
    // Character advances, when the record has room for them: one per byte
    // of the string (so a double-byte character's two advances add up).
    if (length > 0 && r_.Has(at, length * 2)) {
        std::vector<double> byteAdvances;
        for (qsizetype i = 0; i < length; ++i)
            byteAdvances.push_back(r_.S16(at + 2 * i));
        if (text.text.size() == length) {
            text.advances = std::move(byteAdvances);
        } else {
            // Fewer characters than bytes: spread the total evenly.
            double total = 0;
            for (const double advance : byteAdvances)
                total += advance;
            text.advances.assign(std::size_t(text.text.size()), total / std::max<qsizetype>(1, text.text.size()));
        }
    }
    canvas_.Text(text);
    return true;
}

bool WmfPlayer::Bitmaps() {
    const std::uint32_t type = r_.Type();
    if (type == fnPatBlt) {
        if (!HasWords(6))
            return false;
        canvas_.PatBlt(QRectF(S(5), S(4), S(3), S(2)), L(0));
        return true;
    }
    if (type == fnSetDibToDev) {
        if (!HasWords(9))
            return false;
        const TDib dib = DecodePackedDib(r_.Slice(kParams + 18, r_.Size()), U(0));
        canvas_.DibToDevice(dib, QRectF(S(4), S(3), S(6), S(5)), YX(7));
        return true;
    }
    if (type == fnStretchDib) {
        if (!HasWords(11))
            return false;
        const TDib dib = DecodePackedDib(r_.Slice(kParams + 22, r_.Size()), U(2));
        canvas_.StretchDib(dib, QRectF(S(6), S(5), S(4), S(3)), QRectF(S(10), S(9), S(8), S(7)), L(0));
        return true;
    }
    const bool stretch = type == fnStretchBlt || type == fnDibStretchBlt;
    const bool dibSource = type == fnDibBitBlt || type == fnDibStretchBlt;
    // Without a bitmap, a reserved word follows the source position.
    const bool bare = WithoutBitmap();
    const int shift = bare ? 1 : 0;
    const int words = (stretch ? 10 : 8) + shift;
    if (!HasWords(words))
        return false;
    QRectF from, to;
    if (stretch) { // source height, width, y, x; destination height, width, y, x
        from = QRectF(S(5), S(4), S(3), S(2));
        to = QRectF(S(9 + shift), S(8 + shift), S(7 + shift), S(6 + shift));
    } else { // source y, x; height, width; destination y, x
        const QSizeF size(S(5 + shift), S(4 + shift));
        from = QRectF(QPointF(S(3), S(2)), size);
        to = QRectF(QPointF(S(7 + shift), S(6 + shift)), size);
    }
    const std::uint32_t operation = L(0);
    if (bare) {
        canvas_.PatBlt(to, operation);
        return true;
    }
    const QByteArrayView bitmap = r_.Slice(kParams + 2 * qsizetype(words), r_.Size());
    if (dibSource) {
        canvas_.StretchDib(DecodePackedDib(bitmap, 0), from, to, operation);
    } else {
        const TMetaDcState& s = dc_.State();
        canvas_.StretchImage(DecodeBitmap16(bitmap, 10, s.textColour, s.bkColour), from, to, operation);
    }
    return true;
}

bool WmfPlayer::Regions() {
    switch (r_.Type()) {
    case fnExcludeClipRect:
    case fnIntersectClipRect:
        if (!HasWords(4))
            return false;
        if (r_.Type() == fnExcludeClipRect)
            dc_.ExcludeClipRect(Box(0));
        else
            dc_.IntersectClipRect(Box(0));
        return true;
    case fnOffsetClipRgn:
        if (!HasWords(2))
            return false;
        dc_.OffsetClip(YX(0));
        return true;
    case fnSelectClipRegion: {
        if (!HasWords(1))
            return false;
        const TMetaRegion* region = RegionAt(U(0));
        dc_.CombineClip(region ? std::optional<QRegion>(ToTarget(*region)) : std::nullopt, gdi::rgnCopy);
        return true;
    }
    case fnFillRegion:
    case fnFrameRegion: {
        const bool frame = r_.Type() == fnFrameRegion;
        if (!HasWords(frame ? 4 : 2))
            return false;
        const TMetaRegion* region = RegionAt(U(0));
        const TMetaObject* object = dc_.Objects().Get(U(1));
        const TMetaBrush* brush = object ? std::get_if<TMetaBrush>(object) : nullptr;
        if (!region || !brush)
            return true;
        if (frame)
            canvas_.FrameRegion(ToTarget(*region), *brush, QSizeF(S(3), S(2)));
        else
            canvas_.FillRegion(ToTarget(*region), *brush);
        return true;
    }
    case fnPaintRegion: {
        if (!HasWords(1))
            return false;
        if (const TMetaRegion* region = RegionAt(U(0)))
            canvas_.FillRegion(ToTarget(*region), dc_.State().brush);
        return true;
    }
    default: return true; // inverting needs the destination's pixels
    }
}

} // namespace

TMetaPlayStats PlayWmf(const TMetafile& metafile, TMetaDc& dc, TMetaCanvas& canvas) {
    WmfPlayer player(dc, canvas);
    return PlayRecords(metafile, canvas, [&player](const TMetaRecord& record) { return player.Play(record); });
}

} // namespace tomeric
