#include "imaging/metafile_bitmaps.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <bit>
#include <optional>
#include <vector>

namespace tomeric {
namespace {

enum Compression : std::uint32_t {
    biRgb = 0, biRle8 = 1, biRle4 = 2, biBitfields = 3, biJpeg = 4, biPng = 5, biAlphaBitfields = 6
};

std::uint32_t Le(QByteArrayView bytes, qsizetype at, int size) {
    if (at < 0 || at > bytes.size() - size)
        return 0;
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | std::uint8_t(bytes[at + i]);
    return value;
}

struct DibHeader {
    std::uint32_t headerSize = 0;
    int width = 0, height = 0;
    bool bottomUp = true;
    int bitCount = 0;
    std::uint32_t compression = biRgb;
    std::uint32_t masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha
    qsizetype paletteOffset = 0;
    int paletteEntrySize = 4;
    qsizetype paletteCount = 0;  // entries decoded (8 bits or fewer)
    qsizetype tableCount = 0;    // entries stored (what follows the masks)

    qsizetype InfoSize() const { return paletteOffset + tableCount * paletteEntrySize; }
    qsizetype Stride() const { return ((qsizetype(width) * bitCount + 31) / 32) * 4; }
};

std::optional<DibHeader> ReadHeader(QByteArrayView info, std::uint32_t usage) {
    DibHeader h;
    h.headerSize = Le(info, 0, 4);
    std::int64_t height = 0;
    if (h.headerSize == 12) { // BITMAPCOREHEADER
        if (info.size() < 12)
            return std::nullopt;
        h.width = int(Le(info, 4, 2));
        height = std::int64_t(Le(info, 6, 2));
        h.bitCount = int(Le(info, 10, 2));
        h.paletteEntrySize = 3;
    } else if (h.headerSize >= 40 && h.headerSize <= 1024 && info.size() >= qsizetype(h.headerSize)) {
        h.width = std::int32_t(Le(info, 4, 4));
        height = std::int32_t(Le(info, 8, 4));
        h.bitCount = int(Le(info, 14, 2));
        h.compression = Le(info, 16, 4);
        h.tableCount = qsizetype(Le(info, 32, 4));
    } else {
        return std::nullopt;
    }
    h.bottomUp = height > 0;
    height = height < 0 ? -height : height;
    if (h.width <= 0 || height <= 0 || height > INT32_MAX)
        return std::nullopt;
    h.height = int(height);
    if (std::int64_t(h.width) * h.height > kMaxDibPixels)
        return std::nullopt;
    h.paletteOffset = h.headerSize;
    if (h.compression == biBitfields || h.compression == biAlphaBitfields) {
        const int maskCount = h.compression == biAlphaBitfields ? 4 : 3;
        qsizetype maskAt = 40;
        if (h.headerSize == 40)
            h.paletteOffset += 4 * maskCount; // masks follow the short header
        else if (h.headerSize < 52)
            return std::nullopt;
        for (int i = 0; i < maskCount; ++i)
            h.masks[i] = Le(info, maskAt + 4 * i, 4);
        if (h.headerSize >= 56)
            h.masks[3] = Le(info, 52, 4);
    }
    if (usage == kDibPaletteColours)
        h.paletteEntrySize = 2;
    if (h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8) {
        const qsizetype full = qsizetype(1) << h.bitCount;
        h.paletteCount = h.tableCount > 0 ? std::min(h.tableCount, full) : full;
        h.tableCount = h.paletteCount;
    } else if (h.bitCount == 16 || h.bitCount == 24 || h.bitCount == 32) {
        h.tableCount = std::min<qsizetype>(h.tableCount, 256);
    } else if (!(h.bitCount == 0 && (h.compression == biJpeg || h.compression == biPng))) {
        return std::nullopt;
    }
    return h;
}

std::vector<QRgb> Palette(QByteArrayView info, const DibHeader& h) {
    std::vector<QRgb> palette(std::size_t(h.paletteCount), qRgb(0, 0, 0));
    for (qsizetype i = 0; i < h.paletteCount; ++i) {
        const qsizetype at = h.paletteOffset + i * h.paletteEntrySize;
        if (at + h.paletteEntrySize > info.size())
            break;
        if (h.paletteEntrySize == 2) {
            const int grey = int(Le(info, at, 2) * 255 / std::max<qsizetype>(1, h.paletteCount - 1));
            palette[std::size_t(i)] = qRgb(grey & 0xFF, grey & 0xFF, grey & 0xFF);
        } else {
            palette[std::size_t(i)] = qRgb(std::uint8_t(info[at + 2]), std::uint8_t(info[at + 1]),
                                           std::uint8_t(info[at]));
        }
    }
    return palette;
}

// A channel under a bit-field mask, scaled to 0..255.
int Channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const std::uint32_t top = mask >> shift;
    const std::uint32_t value = (pixel & mask) >> shift;
    return int(std::uint64_t(value) * 255 / top);
}

QImage DecodeUncompressed(QByteArrayView info, QByteArrayView bits, const DibHeader& h, bool alpha) {
    const qsizetype stride = h.Stride();
    if (stride * h.height > bits.size())
        return {};
    const bool withAlpha = alpha && h.bitCount == 32;
    QImage image(h.width, h.height, withAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const std::vector<QRgb> palette = Palette(info, h);
    const auto entry = [&](std::uint32_t index) {
        return index < palette.size() ? palette[index] : qRgb(0, 0, 0);
    };
    std::uint32_t masks[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
    if (h.compression != biBitfields && h.compression != biAlphaBitfields) {
        if (h.bitCount == 16) {
            masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000; masks[1] = 0xFF00; masks[2] = 0xFF;
            masks[3] = withAlpha ? 0xFF000000 : 0;
        }
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(bits.data());
    for (int row = 0; row < h.height; ++row) {
        const std::uint8_t* in = data + stride * row;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(h.bottomUp ? h.height - 1 - row : row));
        for (int x = 0; x < h.width; ++x) {
            switch (h.bitCount) {
            case 1: out[x] = entry(in[x >> 3] >> (7 - (x & 7)) & 1); break;
            case 4: out[x] = entry(in[x >> 1] >> ((x & 1) ? 0 : 4) & 0xF); break;
            case 8: out[x] = entry(in[x]); break;
            case 24: out[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]); break;
            default: {
                const std::uint32_t pixel = h.bitCount == 16
                    ? std::uint32_t(in[2 * x] | in[2 * x + 1] << 8)
                    : std::uint32_t(in[4 * x] | in[4 * x + 1] << 8 | in[4 * x + 2] << 16
                                    | std::uint32_t(in[4 * x + 3]) << 24);
                const int a = withAlpha ? Channel(pixel, masks[3]) : 255;
                // Premultiplied colours never exceed their alpha.
                out[x] = qRgba(std::min(a, Channel(pixel, masks[0])), std::min(a, Channel(pixel, masks[1])),
                               std::min(a, Channel(pixel, masks[2])), a);
                break;
            }
            }
        }
    }
    return image;
}

QImage DecodeWithQt(QByteArrayView data, const char* format) {
    QByteArray bytes = data.toByteArray();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (!size.isValid() || std::int64_t(size.width()) * size.height() > kMaxDibPixels)
        return {};
    QImage image;
    if (!reader.read(&image))
        return {};
    return image.convertToFormat(QImage::Format_RGB32);
}

// Run-length encoded bits, read by Qt's BMP reader behind a file header.
QImage DecodeRunLength(QByteArrayView info, QByteArrayView bits, const DibHeader& h) {
    // Each pair of bytes expands to at most 255 pixels.
    if (std::int64_t(h.width) * h.height > std::int64_t(bits.size()) * 128 + 65536)
        return {};
    const qsizetype infoSize = std::min(h.InfoSize(), info.size());
    QByteArray file("BM");
    const auto put32 = [&file](std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            file.append(char(value >> (8 * i) & 0xFF));
    };
    put32(std::uint32_t(14 + infoSize + bits.size()));
    put32(0);
    put32(std::uint32_t(14 + infoSize));
    file.append(info.first(infoSize));
    file.append(bits);
    return DecodeWithQt(file, "BMP");
}

} // namespace

TDib DecodeDib(QByteArrayView info, QByteArrayView bits, std::uint32_t usage, bool alpha) {
    TDib dib;
    const std::optional<DibHeader> header = ReadHeader(info, usage);
    if (!header)
        return dib;
    dib.bottomUp = header->bottomUp;
    switch (header->compression) {
    case biRgb:
    case biBitfields:
    case biAlphaBitfields: dib.image = DecodeUncompressed(info, bits, *header, alpha); break;
    case biRle8:
    case biRle4:
        if (header->bitCount == (header->compression == biRle8 ? 8 : 4))
            dib.image = DecodeRunLength(info, bits, *header);
        break;
    case biJpeg: dib.image = DecodeWithQt(bits, "JPEG"); break;
    case biPng: dib.image = DecodeWithQt(bits, "PNG"); break;
    default: break;
    }
    if (header->compression == biJpeg || header->compression == biPng)
        dib.bottomUp = false; // the embedded file has its own row order
    return dib;
}

TDib DecodePackedDib(QByteArrayView dib, std::uint32_t usage) {
    const std::optional<DibHeader> header = ReadHeader(dib, usage);
    if (!header || header->InfoSize() > dib.size())
        return {};
    return DecodeDib(dib.first(header->InfoSize()), dib.sliced(header->InfoSize()), usage);
}

QImage DecodeBitmap16(QByteArrayView bytes, qsizetype bitsOffset, QColor zeros, QColor ones) {
    const int width = std::int16_t(Le(bytes, 2, 2));
    const int height = std::int16_t(Le(bytes, 4, 2));
    const qsizetype stride = std::int16_t(Le(bytes, 6, 2));
    const int bitsPixel = int(Le(bytes, 9, 1));
    if (width <= 0 || height <= 0 || stride <= 0 || bitsOffset < 10 || bitsOffset > bytes.size())
        return {};
    if (bitsPixel != 1 && bitsPixel != 24 && bitsPixel != 32)
        return {};
    const QByteArrayView bits = bytes.sliced(bitsOffset);
    if (stride * 8 < qsizetype(width) * bitsPixel || stride * height > bits.size())
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bits.data());
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = data + stride * y;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (bitsPixel == 1)
                out[x] = (in[x >> 3] >> (7 - (x & 7)) & 1 ? ones : zeros).rgb();
            else
                out[x] = qRgb(in[x * (bitsPixel / 8) + 2], in[x * (bitsPixel / 8) + 1], in[x * (bitsPixel / 8)]);
        }
    }
    return image;
}

} // namespace tomeric
