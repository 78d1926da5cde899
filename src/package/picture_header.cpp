#include "package/picture_header.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tomeric {
namespace {

// Bounds-checked little- and big-endian reads; out of range reads give 0.
class Bytes {
public:
    explicit Bytes(QByteArrayView data) : data_(data) {}
    qsizetype Size() const { return data_.size(); }
    bool Has(qsizetype offset, qsizetype count) const {
        return offset >= 0 && count >= 0 && offset <= data_.size() - count;
    }
    std::uint8_t U8(qsizetype at) const { return Has(at, 1) ? std::uint8_t(data_[at]) : 0; }
    std::uint32_t LE16(qsizetype at) const { return U8(at) | U8(at + 1) << 8; }
    std::uint32_t LE32(qsizetype at) const { return LE16(at) | LE16(at + 2) << 16; }
    std::uint32_t BE16(qsizetype at) const { return U8(at) << 8 | U8(at + 1); }
    std::uint32_t BE32(qsizetype at) const { return BE16(at) << 16 | BE16(at + 2); }
    std::int32_t S16(qsizetype at) const { return std::int16_t(LE16(at)); }
    std::int32_t S32(qsizetype at) const { return std::int32_t(LE32(at)); }
    bool StartsWith(QByteArrayView prefix) const { return data_.startsWith(prefix); }

private:
    QByteArrayView data_;
};

std::optional<TPictureHeader> ReadBmp(const Bytes& b) {
    if (!b.Has(14, 12))
        return std::nullopt;
    const std::uint32_t headerSize = b.LE32(14);
    TPictureHeader header;
    if (headerSize == 12) { // OS/2 core header
        header.width = std::int32_t(b.LE16(18));
        header.height = std::int32_t(b.LE16(20));
        return header;
    }
    if (!b.Has(14, 16))
        return std::nullopt;
    header.width = std::int32_t(b.LE32(18));
    const auto height = std::int32_t(b.LE32(22));
    // Negative heights mark top-down rows.
    header.height = height >= 0 ? height : (height == INT32_MIN ? INT32_MAX : -height);
    const std::uint32_t bitsPerPixel = b.LE16(28);
    // 32-bit pictures carry alpha when their header declares an alpha mask.
    header.hasAlpha = bitsPerPixel == 32 && headerSize >= 56 && b.LE32(14 + 52) != 0;
    return header;
}

std::optional<TPictureHeader> ReadPng(const Bytes& b) {
    if (!b.Has(12, 14) || b.BE32(12) != 0x49484452u) // "IHDR"
        return std::nullopt;
    TPictureHeader header;
    header.width = std::int32_t(b.BE32(16));
    header.height = std::int32_t(b.BE32(20));
    const std::uint8_t colourType = b.U8(25);
    header.hasAlpha = colourType == 4 || colourType == 6;
    // A transparency chunk before the image data also gives alpha.
    qsizetype at = 8;
    while (!header.hasAlpha && b.Has(at, 8)) {
        const std::uint32_t length = b.BE32(at);
        const std::uint32_t type = b.BE32(at + 4);
        if (type == 0x49444154u) // "IDAT"
            break;
        if (type == 0x74524E53u) // "tRNS"
            header.hasAlpha = true;
        if (length > std::uint32_t(b.Size()))
            break;
        at += 12 + qsizetype(length);
    }
    return header;
}

std::optional<TPictureHeader> ReadJpeg(const Bytes& b) {
    qsizetype at = 2;
    while (b.Has(at, 4)) {
        if (b.U8(at) != 0xFF)
            return std::nullopt;
        const std::uint8_t marker = b.U8(at + 1);
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        const std::uint32_t length = b.BE16(at + 2);
        const bool startOfFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 &&
                                  marker != 0xC8 && marker != 0xCC;
        if (startOfFrame) {
            if (!b.Has(at + 4, 5))
                return std::nullopt;
            TPictureHeader header;
            header.height = std::int32_t(b.BE16(at + 5));
            header.width = std::int32_t(b.BE16(at + 7));
            return header;
        }
        if (marker == 0xD9 || marker == 0xDA || length < 2)
            return std::nullopt;
        at += 2 + qsizetype(length);
    }
    return std::nullopt;
}

std::optional<TPictureHeader> ReadGif(const Bytes& b) {
    if (!b.Has(6, 7))
        return std::nullopt;
    TPictureHeader header;
    header.width = std::int32_t(b.LE16(6));
    header.height = std::int32_t(b.LE16(8));
    const std::uint8_t packed = b.U8(10);
    qsizetype at = 13;
    if (packed & 0x80)
        at += 3 * (qsizetype(1) << ((packed & 0x07) + 1));
    // Extensions before the first image: a graphic control extension with
    // its transparency flag set makes the picture transparent.
    while (b.Has(at, 2) && b.U8(at) == 0x21) {
        const std::uint8_t label = b.U8(at + 1);
        at += 2;
        if (label == 0xF9 && b.Has(at, 2) && (b.U8(at + 1) & 0x01))
            header.hasAlpha = true;
        while (b.Has(at, 1) && b.U8(at) != 0) // data sub-blocks
            at += 1 + b.U8(at);
        ++at;
    }
    return header;
}

// ---- Windows metafiles ------------------------------------------------------

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr qsizetype kPlaceableSize = 22;
constexpr qsizetype kWmfHeaderSize = 18;
constexpr qsizetype kEmfMinHeaderSize = 88;
constexpr std::uint32_t kEmfSignature = 0x464D4520; // " EMF"
constexpr double kHimetricPerInch = 2540;

bool IsWmfHeader(const Bytes& b, qsizetype at) {
    const std::uint32_t type = b.LE16(at), words = b.LE16(at + 2), version = b.LE16(at + 4);
    return b.Has(at, kWmfHeaderSize) && (type == 1 || type == 2) && words == 9
        && (version == 0x100 || version == 0x300);
}

// The size shown at 96 dpi for a frame of `width` x `height` inches x 96,
// kept within 1..kMaxMetafileSide on each side with its proportions.
void SetPixelSize(TMetafileFrame& frame, double width, double height) {
    width = std::isfinite(width) ? std::abs(width) : 1;
    height = std::isfinite(height) ? std::abs(height) : 1;
    const double longest = std::max(width, height);
    if (longest > kMaxMetafileSide) {
        width = width * kMaxMetafileSide / longest;
        height = height * kMaxMetafileSide / longest;
    }
    frame.pixelWidth = std::clamp(int(std::lround(width)), 1, kMaxMetafileSide);
    frame.pixelHeight = std::clamp(int(std::lround(height)), 1, kMaxMetafileSide);
}

// What the first records of a plain WMF say about its extent: the first
// window extent with the window origin in force when drawing begins, and the
// bounds of the coordinates the drawing records use.
struct WmfExtentScan {
    bool hasOrigin = false, hasExtent = false;
    double originX = 0, originY = 0, extentX = 0, extentY = 0;
    bool drawingStarted = false;
    bool hasBounds = false;
    double left = 0, top = 0, right = 0, bottom = 0;

    void Include(double x, double y) {
        drawingStarted = true;
        if (!hasBounds) {
            left = right = x;
            top = bottom = y;
            hasBounds = true;
            return;
        }
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    // Parameters in the order WMF stores them: bottom, right, top, left.
    void IncludeBox(const Bytes& b, qsizetype at) {
        Include(b.S16(at + 6), b.S16(at + 4));
        Include(b.S16(at + 2), b.S16(at));
    }
    void IncludePoints(const Bytes& b, qsizetype at, qsizetype count, qsizetype end) {
        for (qsizetype i = 0; i < count && at + 4 * i + 4 <= end; ++i)
            Include(b.S16(at + 4 * i), b.S16(at + 4 * i + 2));
    }
};

void ScanWmfRecord(const Bytes& b, qsizetype at, qsizetype end, std::uint32_t function,
                   WmfExtentScan& scan) {
    const qsizetype p = at + 6; // first parameter
    const qsizetype params = (end - p) / 2;
    switch (function) {
    case 0x020B: // META_SETWINDOWORG: y, x
        if (params >= 2 && !scan.drawingStarted) {
            scan.originY = b.S16(p);
            scan.originX = b.S16(p + 2);
            scan.hasOrigin = true;
        }
        break;
    case 0x020C: // META_SETWINDOWEXT: y, x
        if (params >= 2 && !scan.hasExtent && b.S16(p) != 0 && b.S16(p + 2) != 0) {
            scan.extentY = b.S16(p);
            scan.extentX = b.S16(p + 2);
            scan.hasExtent = true;
        }
        break;
    case 0x0213: // META_LINETO
    case 0x0214: // META_MOVETO
        if (params >= 2)
            scan.Include(b.S16(p + 2), b.S16(p));
        break;
    case 0x041B: // META_RECTANGLE
    case 0x0418: // META_ELLIPSE
        if (params >= 4)
            scan.IncludeBox(b, p);
        break;
    case 0x061C: // META_ROUNDRECT: height, width, then the box
        if (params >= 6)
            scan.IncludeBox(b, p + 4);
        break;
    case 0x0817: // META_ARC
    case 0x0830: // META_CHORD
    case 0x081A: // META_PIE: end and start points, then the box
        if (params >= 8)
            scan.IncludeBox(b, p + 8);
        break;
    case 0x0324: // META_POLYGON
    case 0x0325: // META_POLYLINE
        if (params >= 1)
            scan.IncludePoints(b, p + 2, std::max(0, b.S16(p)), end);
        break;
    case 0x0538: { // META_POLYPOLYGON
        if (params < 1)
            break;
        const qsizetype polygons = b.LE16(p);
        qsizetype total = 0;
        for (qsizetype i = 0; i < polygons && p + 2 + 2 * i + 2 <= end; ++i)
            total += b.LE16(p + 2 + 2 * i);
        scan.IncludePoints(b, p + 2 + 2 * polygons, total, end);
        break;
    }
    case 0x0A32: // META_EXTTEXTOUT: y, x first
        if (params >= 2)
            scan.Include(b.S16(p + 2), b.S16(p));
        break;
    case 0x0521: { // META_TEXTOUT: length, string (even), y, x
        const qsizetype length = std::max(0, b.S16(p));
        const qsizetype xy = p + 2 + length + (length & 1);
        if (xy + 4 <= end)
            scan.Include(b.S16(xy + 2), b.S16(xy));
        break;
    }
    case 0x0F43: // META_STRETCHDIB: ..., destination height, width, y, x
        if (params >= 11) {
            const double y = b.S16(p + 18), x = b.S16(p + 20);
            scan.Include(x, y);
            scan.Include(x + b.S16(p + 16), y + b.S16(p + 14));
        }
        break;
    case 0x0B41: // META_DIBSTRETCHBLT
        if (params >= 10) {
            const double y = b.S16(p + 16), x = b.S16(p + 18);
            scan.Include(x, y);
            scan.Include(x + b.S16(p + 14), y + b.S16(p + 12));
        }
        break;
    default: break;
    }
}

std::optional<TMetafileFrame> ReadWmfFrame(const Bytes& b, bool placeable) {
    TMetafileFrame frame;
    const qsizetype headerAt = placeable ? kPlaceableSize : 0;
    if (!IsWmfHeader(b, headerAt))
        return std::nullopt;
    frame.recordsStart = headerAt + kWmfHeaderSize;
    frame.objectCount = int(b.LE16(headerAt + 10));
    if (placeable) {
        frame.kind = TMetafileKind::PlaceableWmf;
        const double left = b.S16(6), top = b.S16(8), right = b.S16(10), bottom = b.S16(12);
        // Units per inch; 0 (seen in the wild) is read as twips.
        const double inch = b.LE16(14) != 0 ? b.LE16(14) : 1440;
        if (left == right || top == bottom)
            return std::nullopt;
        frame.frame = QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
        frame.unitsPerMmX = frame.unitsPerMmY = inch / 25.4;
        SetPixelSize(frame, frame.frame.width() * 96 / inch, frame.frame.height() * 96 / inch);
        return frame;
    }
    frame.kind = TMetafileKind::PlainWmf;
    WmfExtentScan scan;
    qsizetype at = frame.recordsStart;
    while (b.Has(at, 6) && !(scan.hasExtent && scan.drawingStarted)) {
        const qsizetype size = qsizetype(b.LE32(at)) * 2;
        const std::uint32_t function = b.LE16(at + 4);
        if (function == 0 || size < 6 || !b.Has(at, size))
            break;
        ScanWmfRecord(b, at, at + size, function, scan);
        at += size;
    }
    if (scan.hasExtent) {
        const QPointF origin(scan.originX, scan.originY);
        frame.frame = QRectF(origin, origin + QPointF(scan.extentX, scan.extentY)).normalized();
    } else if (scan.hasBounds && scan.right > scan.left && scan.bottom > scan.top) {
        frame.frame = QRectF(QPointF(scan.left, scan.top), QPointF(scan.right, scan.bottom));
    } else {
        frame.frame = QRectF(0, 0, kDefaultMetafileSide, kDefaultMetafileSide);
    }
    SetPixelSize(frame, frame.frame.width(), frame.frame.height());
    return frame;
}

std::optional<TMetafileFrame> ReadEmfFrame(const Bytes& b) {
    const std::uint32_t headerSize = b.LE32(4);
    if (b.LE32(0) != 1 || b.LE32(40) != kEmfSignature || headerSize < kEmfMinHeaderSize
        || headerSize % 4 != 0 || !b.Has(0, headerSize))
        return std::nullopt;
    TMetafileFrame frame;
    frame.kind = TMetafileKind::Emf;
    frame.recordsStart = headerSize;
    frame.objectCount = int(b.LE16(56));
    // rclBounds in device pixels and rclFrame in hundredths of a millimetre,
    // both inclusive.
    const double boundsLeft = b.S32(8), boundsTop = b.S32(12);
    const double boundsRight = b.S32(16), boundsBottom = b.S32(20);
    const double frameLeft = b.S32(24), frameTop = b.S32(28);
    const double frameRight = b.S32(32), frameBottom = b.S32(36);
    const double deviceX = b.S32(72), deviceY = b.S32(76);
    const double millimetresX = b.S32(80), millimetresY = b.S32(84);
    const bool hasFrame = frameRight > frameLeft && frameBottom > frameTop;
    const bool hasDevice = deviceX > 0 && deviceY > 0 && millimetresX > 0 && millimetresY > 0;
    const bool hasBounds = boundsRight >= boundsLeft && boundsBottom >= boundsTop;
    if (hasDevice) {
        frame.unitsPerMmX = deviceX / millimetresX;
        frame.unitsPerMmY = deviceY / millimetresY;
    }
    const QRectF bounds(QPointF(boundsLeft, boundsTop), QPointF(boundsRight + 1, boundsBottom + 1));
    bool frameRejected = false;
    if (hasFrame && hasDevice) {
        const double x = frame.unitsPerMmX / 100, y = frame.unitsPerMmY / 100;
        frame.frame = QRectF(QPointF(frameLeft * x, frameTop * y),
                             QPointF(frameRight * x, frameBottom * y));
        // Some writers draw well outside the frame they declare; the bounds
        // of what they drew then tell where the picture is.
        const QRectF shared = frame.frame.intersected(bounds);
        if (hasBounds && shared.width() * shared.height() < bounds.width() * bounds.height() / 2) {
            frame.frame = bounds;
            frameRejected = true;
        }
    } else if (hasBounds) {
        frame.frame = bounds;
    } else {
        return std::nullopt;
    }
    if (hasFrame && !frameRejected) {
        SetPixelSize(frame, (frameRight - frameLeft) * 96 / kHimetricPerInch,
                     (frameBottom - frameTop) * 96 / kHimetricPerInch);
    } else {
        const double toPixels = 96 / (frame.unitsPerMmX * 25.4);
        SetPixelSize(frame, frame.frame.width() * toPixels,
                     frame.frame.height() * frame.unitsPerMmX / frame.unitsPerMmY * toPixels);
    }
    if (!std::isfinite(frame.frame.width()) || !std::isfinite(frame.frame.height())
        || frame.frame.width() <= 0 || frame.frame.height() <= 0)
        return std::nullopt;
    return frame;
}

} // namespace

std::optional<TPictureHeader> ReadPictureHeader(QByteArrayView bytes) {
    const Bytes b(bytes);
    if (b.StartsWith("BM"))
        return ReadBmp(b);
    if (b.StartsWith("\x89PNG\r\n\x1a\n"))
        return ReadPng(b);
    if (b.StartsWith("\xFF\xD8"))
        return ReadJpeg(b);
    if (b.StartsWith("GIF87a") || b.StartsWith("GIF89a"))
        return ReadGif(b);
    if (const auto metafile = ReadMetafileFrame(bytes)) {
        // Metafiles are drawn over what lies beneath: what they leave
        // undrawn is transparent.
        return TPictureHeader{metafile->pixelWidth, metafile->pixelHeight, true};
    }
    return std::nullopt;
}

std::optional<TMetafileFrame> ReadMetafileFrame(QByteArrayView bytes) {
    const Bytes b(bytes);
    if (b.LE32(0) == kPlaceableKey)
        return ReadWmfFrame(b, true);
    if (IsWmfHeader(b, 0))
        return ReadWmfFrame(b, false);
    if (b.LE32(0) == 1)
        return ReadEmfFrame(b);
    return std::nullopt;
}

} // namespace tomeric
