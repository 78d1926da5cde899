#include "package/picture_header.h"

#include <array>

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
    return std::nullopt;
}

} // namespace tomeric
