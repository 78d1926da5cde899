#pragma once
// The hatch patterns of FILLPATTERN= 2..48: 8x8 monochrome bitmaps named
// "P2" .. "P48". The six classic hatches come first, then dot screens of
// rising density, thick and dashed lines, bricks, weaves and ornaments.
// A set bit is a foreground pixel (drawn in the fill colour); bit 7 of a
// row is its leftmost pixel.

#include <QColor>
#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace tomeric {

inline constexpr int kFirstHatchPattern = 2;
inline constexpr int kLastHatchPattern = 48;
inline constexpr int kHatchPatternCount = kLastHatchPattern - kFirstHatchPattern + 1;

using THatchBits = std::array<std::uint8_t, 8>;

inline bool IsHatchPattern(int number)
{
    return number >= kFirstHatchPattern && number <= kLastHatchPattern;
}

// The rows of pattern `number`; all clear for a number that is no pattern.
const THatchBits& HatchBits(int number);
// The resource name of a pattern ("P17").
QString HatchResourceName(int number);
// Whether pixel (x, y) of the tiled pattern is a foreground pixel.
bool HatchPixelSet(int number, int x, int y);

// The 8x8 tile of a pattern: foreground pixels in `foreground`, background
// pixels in `background`, or fully transparent without one.
QImage HatchTile(int number, const QColor& foreground, std::optional<QColor> background);

} // namespace tomeric
