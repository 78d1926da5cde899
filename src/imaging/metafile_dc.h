#pragma once
// The device context a metafile is played into, as GDI keeps it: mapping
// mode, window and viewport, world transform (EMF), the selected pen, brush
// and font, colours and modes, the current position and the clip region,
// with SaveDC/RestoreDC, and the table of the objects the records create.
//
// Coordinates go through three spaces: logical (what records say), the
// reference space (the metafile frame's space: see TMetafileFrame) and the
// target (the painter's coordinates, where the frame lands on the target
// rectangle). Clip regions are kept in target coordinates, as GDI keeps them
// in device coordinates.

#include "imaging/metafile_records.h"

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QRegion>
#include <QString>
#include <QTransform>

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <variant>
#include <vector>

namespace tomeric {

// GDI constants the players share.
namespace gdi {
enum MapMode { mmText = 1, mmLoMetric, mmHiMetric, mmLoEnglish, mmHiEnglish, mmTwips, mmIsotropic, mmAnisotropic };
enum PenStyle { psSolid = 0, psDash, psDot, psDashDot, psDashDotDot, psNull, psInsideFrame, psUserStyle };
inline constexpr std::uint32_t kPenStyleMask = 0x0F, kPenEndCapMask = 0x0F00, kPenJoinMask = 0xF000;
inline constexpr std::uint32_t kPenEndCapSquare = 0x0100, kPenEndCapFlat = 0x0200;
inline constexpr std::uint32_t kPenJoinBevel = 0x1000, kPenJoinMiter = 0x2000, kPenGeometric = 0x10000;
enum BrushStyle { bsSolid = 0, bsNull, bsHatched, bsPattern, bsIndexed, bsDibPattern, bsDibPatternPt };
enum BkMode { bkTransparent = 1, bkOpaque = 2 };
enum PolyFill { pfAlternate = 1, pfWinding = 2 };
enum Rop2 { r2Black = 1, r2Nop = 11, r2CopyPen = 13, r2White = 16 };
enum ArcDirection { adCounterClockwise = 1, adClockwise = 2 };
enum RegionMode { rgnAnd = 1, rgnOr, rgnXor, rgnDiff, rgnCopy };
inline constexpr std::uint32_t kTaUpdateCp = 1, kTaHorizontalMask = 6, kTaRight = 2, kTaCenter = 6;
inline constexpr std::uint32_t kTaVerticalMask = 24, kTaBottom = 8, kTaBaseline = 24;
inline constexpr std::uint32_t kEtoOpaque = 0x2, kEtoClipped = 0x4, kEtoGlyphIndex = 0x10, kEtoPdy = 0x2000;
inline constexpr int kStretchHalftone = 4;
} // namespace gdi

// What a play did: records played, records skipped as malformed (a count or
// an offset beyond the record), and whether the drawing budget ran out.
struct TMetaPlayStats {
    qsizetype played = 0;
    qsizetype malformed = 0;
    bool exhausted = false;
};

// A closed polygon cut to a rectangle (Sutherland-Hodgman): inside the
// rectangle it covers what the polygon covers, winding included.
QPolygonF ClipPolygonToRect(const QPolygonF& polygon, const QRectF& box);

// 0x00BBGGRR (the high byte, palette flags, is ignored).
QColor ColourOfRef(std::uint32_t colourRef);

struct TMetaPen {
    std::uint32_t style = gdi::psSolid; // style, end cap, join and type bits
    double width = 0;                   // logical units; 0: one device pixel
    QColor colour = Qt::black;
    std::vector<double> dashes;         // user style, logical units
    int Kind() const { return int(style & gdi::kPenStyleMask); }
};

struct TMetaBrush {
    int style = gdi::bsSolid;
    QColor colour = Qt::white;
    int hatch = 0;
    QImage pattern; // bsPattern / bsDibPattern
};

struct TMetaFont {
    int height = 0; // logical units: < 0 character height, > 0 cell height
    int width = 0;
    int escapement = 0; // tenths of a degree, counter-clockwise
    int weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    int charset = 0;
    QString face = QStringLiteral("System");
};

// The rectangles of a WMF region object, in logical units.
struct TMetaRegion {
    std::vector<QRectF> rects;
};

struct TMetaPalette {};

using TMetaObject = std::variant<TMetaPen, TMetaBrush, TMetaFont, TMetaRegion, TMetaPalette>;

// The objects records create. A WMF object takes the lowest free index; an
// EMF record names its index. Entries exist only for created objects, so the
// table never holds more than the file created.
class TMetaObjectTable {
public:
    static constexpr std::uint32_t kMaxIndex = 0xFFFF;

    // WMF: the lowest free index; false when every index is taken.
    bool Add(TMetaObject object);
    // EMF: at `index` (1..kMaxIndex), replacing what was there.
    bool Put(std::uint32_t index, TMetaObject object);
    const TMetaObject* Get(std::uint32_t index) const;
    void Remove(std::uint32_t index);

private:
    std::map<std::uint32_t, TMetaObject> objects_;
    std::set<std::uint32_t> freed_; // freed indices below next_
    std::uint32_t next_ = 0;
};

struct TMetaDcState {
    int mapMode = gdi::mmText;
    QPointF windowOrg{0, 0}, windowExt{1, 1};
    QPointF viewportOrg{0, 0}, viewportExt{1, 1};
    QTransform world;
    TMetaPen pen;
    TMetaBrush brush;
    TMetaFont font;
    QColor textColour = Qt::black;
    QColor bkColour = Qt::white;
    int bkMode = gdi::bkOpaque;
    std::uint32_t textAlign = 0;
    int polyFillMode = gdi::pfAlternate;
    int rop2 = gdi::r2CopyPen;
    int stretchMode = 1;
    int arcDirection = gdi::adCounterClockwise;
    QPointF position; // the current position, logical
    std::optional<QRegion> clip; // target coordinates; none: the whole target
};

class TMetaDc {
public:
    static constexpr int kMaxSavedStates = 256;

    // The reference space of `frame` mapped onto `target`. A WMF starts as
    // its player sets it up: anisotropic, window and viewport on the frame;
    // an EMF starts in MM_TEXT, as a fresh device context does.
    TMetaDc(const TMetafileFrame& frame, const QRectF& target);

    TMetaDcState& State() { return state_; }
    const TMetaDcState& State() const { return state_; }
    const QRectF& Target() const { return target_; }

    // ---- mapping ----
    void SetMapMode(int mode);
    void SetWindowOrg(QPointF origin);
    void SetWindowExt(QPointF extent);   // only isotropic and anisotropic modes
    void SetViewportOrg(QPointF origin);
    void SetViewportExt(QPointF extent);
    void ScaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
    void ScaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);
    // World transforms that are not finite or cannot be inverted are ignored.
    void SetWorld(const QTransform& world);
    // MWT_IDENTITY 1, MWT_LEFTMULTIPLY 2, MWT_RIGHTMULTIPLY 3, 4 set.
    void ModifyWorld(const QTransform& transform, std::uint32_t mode);

    // Logical coordinates to target coordinates, and reference to target.
    const QTransform& LogicalToTarget() const;
    const QTransform& ReferenceToTarget() const { return referenceToTarget_; }
    // Target units per logical unit along the logical x and y axes.
    double ScaleX() const;
    double ScaleY() const;

    // ---- save / restore ----
    void Save();
    // Negative: that many levels back; positive: the state saved as number n.
    void Restore(int which);

    // ---- clipping (rectangles in logical coordinates) ----
    void IntersectClipRect(const QRectF& logical);
    void ExcludeClipRect(const QRectF& logical);
    // A region in target coordinates combined by an RGN_* mode; none with
    // RGN_COPY resets the clip.
    void CombineClip(const std::optional<QRegion>& target, int mode);
    void OffsetClip(QPointF logicalOffset);
    // The clip as a region, the whole target when there is none.
    QRegion ClipOrTarget() const;
    // Bumped whenever the clip changes, so the canvas re-applies it.
    std::uint64_t ClipGeneration() const { return clipGeneration_; }

    // ---- objects ----
    TMetaObjectTable& Objects() { return objects_; }
    // Makes a pen, brush or font current; regions and palettes are not.
    void Select(const TMetaObject& object);

    // A logical rectangle (any corner order) as a target region.
    QRegion TargetRegion(const QRectF& logical) const;
    // A target path as a region (its fill rule applies). Regions are kept
    // within ClipBox(), the target's pixels: only they show a clip.
    QRegion PathRegion(const QPainterPath& target) const;
    QRectF ClipBox() const;

private:
    void MappingChanged() { mappingDirty_ = true; }
    QTransform PageToReference() const;
    void ClipChanged() { ++clipGeneration_; }

    TMetaDcState state_;
    std::vector<TMetaDcState> saved_;
    TMetaObjectTable objects_;
    TMetafileFrame frame_;
    QRectF target_;
    QTransform referenceToTarget_;
    mutable QTransform logicalToTarget_;
    mutable bool mappingDirty_ = true;
    std::uint64_t clipGeneration_ = 0;
};

} // namespace tomeric
