#pragma once
// Bitmaps inside metafile records: device-independent bitmaps (BITMAPINFO
// with its colour masks and colour table, then the bits) as the blit and
// pattern-brush records carry them, and the old device-dependent Bitmap16 of
// WMF. Uncompressed bitmaps are decoded here; RLE, JPEG and PNG bitmaps
// through Qt's readers. Every size is checked against the bytes given and no
// bitmap beyond kMaxDibPixels is made.

#include <QByteArrayView>
#include <QColor>
#include <QImage>

#include <cstdint>

namespace tomeric {

inline constexpr std::int64_t kMaxDibPixels = std::int64_t(1) << 24;

struct TDib {
    QImage image;          // RGB32, or premultiplied ARGB32 when alpha was asked for
    bool bottomUp = true;  // rows were stored bottom to top (source y counts from the bottom)
    bool IsNull() const { return image.isNull(); }
};

// DIB_RGB_COLORS 0, DIB_PAL_COLORS 1 (the colour table holds palette
// indices, shown as grey levels: the logical palette is not kept).
inline constexpr std::uint32_t kDibPaletteColours = 1;

// `info`: the BITMAPINFO; `bits`: the pixels. With `alpha`, 32-bit pixels
// keep their (premultiplied) alpha, as AlphaBlend reads them.
TDib DecodeDib(QByteArrayView info, QByteArrayView bits, std::uint32_t usage, bool alpha = false);
// A BITMAPINFO directly followed by its bits.
TDib DecodePackedDib(QByteArrayView dib, std::uint32_t usage);
// A WMF Bitmap16 whose bits start `bitsOffset` bytes in: monochrome bits
// become `zeros` and `ones`, 24- and 32-bit pixels their colour.
QImage DecodeBitmap16(QByteArrayView bytes, qsizetype bitsOffset, QColor zeros, QColor ones);

} // namespace tomeric
