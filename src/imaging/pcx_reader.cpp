#include "imaging/pcx_reader.h"

#include <QColor>
#include <QList>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tomeric {
namespace {

constexpr qsizetype kHeaderSize = 128;
constexpr qsizetype kVgaPaletteSize = 769; // marker 0x0C + 256 RGB triples
constexpr std::uint8_t kVgaPaletteMarker = 0x0C;

// The palette pictures of version 3 files use: they carry none of their own.
constexpr std::array<QRgb, 16> kDefaultEgaPalette = {
    0xFF000000, 0xFF0000AA, 0xFF00AA00, 0xFF00AAAA, 0xFFAA0000, 0xFFAA00AA,
    0xFFAA5500, 0xFFAAAAAA, 0xFF555555, 0xFF5555FF, 0xFF55FF55, 0xFF55FFFF,
    0xFFFF5555, 0xFFFF55FF, 0xFFFFFF55, 0xFFFFFFFF,
};

enum class PcxLayout {
    plMono,       // 1 bit, 1 plane
    plPacked,     // 2, 4 or 8 bits per pixel in one plane: palette indices
    plPlanar,     // 1 bit in 2..4 planes: the planes' bits form the index
    plRgb,        // 8 bits in 3 planes: red, green and blue lines
};

struct PcxHeader {
    std::uint8_t version = 0;
    bool rle = false;
    int bitsPerPixel = 0;
    int planes = 0;
    int width = 0;
    int height = 0;
    int bytesPerLine = 0;
    PcxLayout layout = PcxLayout::plMono;
};

std::uint8_t U8(QByteArrayView bytes, qsizetype at) { return std::uint8_t(bytes[at]); }
int LE16(QByteArrayView bytes, qsizetype at) { return U8(bytes, at) | U8(bytes, at + 1) << 8; }

std::optional<PcxLayout> LayoutFor(int bitsPerPixel, int planes) {
    if (planes == 1) {
        if (bitsPerPixel == 1)
            return PcxLayout::plMono;
        if (bitsPerPixel == 2 || bitsPerPixel == 4 || bitsPerPixel == 8)
            return PcxLayout::plPacked;
    }
    if (bitsPerPixel == 1 && planes >= 2 && planes <= 4)
        return PcxLayout::plPlanar;
    if (bitsPerPixel == 8 && planes == 3)
        return PcxLayout::plRgb;
    return std::nullopt;
}

std::optional<PcxHeader> ReadHeader(QByteArrayView bytes) {
    if (bytes.size() < kHeaderSize || U8(bytes, 0) != 0x0A)
        return std::nullopt;
    PcxHeader header;
    header.version = U8(bytes, 1);
    const std::uint8_t encoding = U8(bytes, 2);
    if (header.version > 5 || header.version == 1 || encoding > 1)
        return std::nullopt;
    header.rle = encoding == 1;
    header.bitsPerPixel = U8(bytes, 3);
    header.planes = U8(bytes, 65);
    const auto layout = LayoutFor(header.bitsPerPixel, header.planes);
    if (!layout)
        return std::nullopt;
    header.layout = *layout;
    const int xMin = LE16(bytes, 4), yMin = LE16(bytes, 6);
    const int xMax = LE16(bytes, 8), yMax = LE16(bytes, 10);
    if (xMax < xMin || yMax < yMin)
        return std::nullopt;
    header.width = xMax - xMin + 1;
    header.height = yMax - yMin + 1;
    header.bytesPerLine = LE16(bytes, 66);
    const int needed = (header.width * header.bitsPerPixel + 7) / 8;
    if (header.bytesPerLine < needed)
        return std::nullopt;
    return header;
}

// Bytes of the picture data, continuing runs across lines (many writers let
// a run cross the end of a line although the format says they should not).
class PcxDataReader {
public:
    PcxDataReader(QByteArrayView data, bool rle) : data_(data), rle_(rle) {}

    // Fills `line`; false when the data ended first (the rest is zero).
    bool ReadLine(std::uint8_t* line, int length) {
        for (int i = 0; i < length; ++i) {
            if (!Next(line[i])) {
                std::fill(line + i, line + length, 0);
                return false;
            }
        }
        return true;
    }

private:
    bool Next(std::uint8_t& value) {
        while (runLeft_ == 0) {
            if (position_ >= data_.size())
                return false;
            const auto byte = std::uint8_t(data_[position_++]);
            if (!rle_ || (byte & 0xC0) != 0xC0) {
                value = byte;
                return true;
            }
            if (position_ >= data_.size())
                return false;
            runLeft_ = byte & 0x3F; // a run of 0 is skipped
            runValue_ = std::uint8_t(data_[position_++]);
        }
        --runLeft_;
        value = runValue_;
        return true;
    }

    QByteArrayView data_;
    bool rle_;
    qsizetype position_ = 0;
    int runLeft_ = 0;
    std::uint8_t runValue_ = 0;
};

QList<QRgb> HeaderPalette(QByteArrayView bytes, const PcxHeader& header, int colours) {
    QList<QRgb> table;
    for (int i = 0; i < colours; ++i) {
        if (header.version == 3) {
            table.append(kDefaultEgaPalette[std::size_t(i)]);
            continue;
        }
        const qsizetype at = 16 + 3 * i;
        table.append(qRgb(U8(bytes, at), U8(bytes, at + 1), U8(bytes, at + 2)));
    }
    return table;
}

QList<QRgb> MonoPalette(QByteArrayView bytes, const PcxHeader& header) {
    QList<QRgb> table = HeaderPalette(bytes, header, 2);
    // Most writers leave the palette empty for black-and-white pictures.
    if (table[0] == table[1])
        table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    return table;
}

bool HasVgaPalette(QByteArrayView bytes) {
    return bytes.size() >= kHeaderSize + kVgaPaletteSize
        && U8(bytes, bytes.size() - kVgaPaletteSize) == kVgaPaletteMarker;
}

QList<QRgb> PackedPalette(QByteArrayView bytes, const PcxHeader& header) {
    const int colours = 1 << header.bitsPerPixel;
    if (header.bitsPerPixel < 8)
        return HeaderPalette(bytes, header, colours);
    QList<QRgb> table;
    if (HasVgaPalette(bytes)) {
        const qsizetype start = bytes.size() - kVgaPaletteSize + 1;
        for (int i = 0; i < 256; ++i)
            table.append(qRgb(U8(bytes, start + 3 * i), U8(bytes, start + 3 * i + 1),
                              U8(bytes, start + 3 * i + 2)));
    } else {
        for (int i = 0; i < 256; ++i) // no palette: shades of grey
            table.append(qRgb(i, i, i));
    }
    return table;
}

QImage::Format ImageFormat(PcxLayout layout) {
    switch (layout) {
    case PcxLayout::plMono: return QImage::Format_Mono;
    case PcxLayout::plRgb: return QImage::Format_RGB32;
    default: return QImage::Format_Indexed8;
    }
}

void StoreMonoLine(const std::uint8_t* line, const PcxHeader& header, QImage& image, int y) {
    std::memcpy(image.scanLine(y), line, std::size_t((header.width + 7) / 8));
}

void StorePackedLine(const std::uint8_t* line, const PcxHeader& header, QImage& image, int y) {
    const int bits = header.bitsPerPixel;
    const int mask = (1 << bits) - 1;
    uchar* out = image.scanLine(y);
    for (int x = 0; x < header.width; ++x) {
        const int bit = x * bits;
        out[x] = uchar((line[bit / 8] >> (8 - bits - bit % 8)) & mask);
    }
}

void StorePlanarLine(const std::uint8_t* line, const PcxHeader& header, QImage& image, int y) {
    uchar* out = image.scanLine(y);
    for (int x = 0; x < header.width; ++x) {
        int index = 0;
        for (int plane = 0; plane < header.planes; ++plane) {
            const std::uint8_t byte = line[plane * header.bytesPerLine + x / 8];
            index |= ((byte >> (7 - x % 8)) & 1) << plane;
        }
        out[x] = uchar(index);
    }
}

void StoreRgbLine(const std::uint8_t* line, const PcxHeader& header, QImage& image, int y) {
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    const int stride = header.bytesPerLine;
    for (int x = 0; x < header.width; ++x)
        out[x] = qRgb(line[x], line[stride + x], line[2 * stride + x]);
}

using LineStore = void (*)(const std::uint8_t*, const PcxHeader&, QImage&, int);

LineStore StoreFor(PcxLayout layout) {
    switch (layout) {
    case PcxLayout::plMono: return StoreMonoLine;
    case PcxLayout::plPacked: return StorePackedLine;
    case PcxLayout::plPlanar: return StorePlanarLine;
    case PcxLayout::plRgb: return StoreRgbLine;
    }
    return StoreMonoLine;
}

void SetColourTable(QByteArrayView bytes, const PcxHeader& header, QImage& image) {
    switch (header.layout) {
    case PcxLayout::plMono: image.setColorTable(MonoPalette(bytes, header)); break;
    case PcxLayout::plPacked: image.setColorTable(PackedPalette(bytes, header)); break;
    case PcxLayout::plPlanar:
        image.setColorTable(HeaderPalette(bytes, header, 1 << header.planes));
        break;
    case PcxLayout::plRgb: break;
    }
}

} // namespace

bool LooksLikePcx(QByteArrayView bytes) { return ReadHeader(bytes).has_value(); }

std::optional<TPictureInfo> ReadPcxInfo(QByteArrayView bytes) {
    const auto header = ReadHeader(bytes);
    if (!header)
        return std::nullopt;
    return TPictureInfo{header->width, header->height, false};
}

TPictureDecode DecodePcx(QByteArrayView bytes) {
    TPictureDecode result;
    const auto header = ReadHeader(bytes);
    if (!header) {
        result.error = TPictureError::peUnknownFormat;
        return result;
    }
    if (std::int64_t(header->width) * header->height > kMaxPicturePixels) {
        result.error = TPictureError::peTooLarge;
        return result;
    }
    qsizetype dataEnd = bytes.size();
    if (header->layout == PcxLayout::plPacked && header->bitsPerPixel == 8 && HasVgaPalette(bytes))
        dataEnd -= kVgaPaletteSize;
    PcxDataReader reader(bytes.sliced(kHeaderSize, dataEnd - kHeaderSize), header->rle);
    std::vector<std::uint8_t> line(std::size_t(header->planes) * std::size_t(header->bytesPerLine));
    // Not one line to show: refuse before allocating the picture.
    if (!reader.ReadLine(line.data(), int(line.size()))) {
        result.error = TPictureError::peCorrupt;
        return result;
    }
    QImage image(header->width, header->height, ImageFormat(header->layout));
    if (image.isNull()) {
        result.error = TPictureError::peTooLarge;
        return result;
    }
    image.fill(0);
    SetColourTable(bytes, *header, image);
    const LineStore store = StoreFor(header->layout);
    store(line.data(), *header, image, 0);
    for (int y = 1; y < header->height; ++y) {
        const bool complete = reader.ReadLine(line.data(), int(line.size()));
        store(line.data(), *header, image, y);
        if (!complete) {
            result.picture.bad = true;
            break;
        }
    }
    result.picture.image = std::move(image);
    result.picture.format = "pcx";
    return result;
}

} // namespace tomeric
