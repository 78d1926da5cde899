#pragma once
// The clip region that makes a picture's transparent colour see-through: the
// union of its pixels whose colour is not the transparent colour.
//
// Colours are 0x00BBGGRR values, as publications write them.

#include <QImage>
#include <QRegion>

#include <cstdint>
#include <optional>

namespace tomeric {

// Transparent-colour requests with a meaning of their own. (The publication
// model's "no transparent colour" is another value: see object_model.h.)
inline constexpr std::uint32_t kNoRegionColour = 0x1FFFFFFF;   // no region wanted
inline constexpr std::uint32_t kBottomLeftColour = 0x20000000; // the bottom-left pixel's

// 0x00BBGGRR for an RGB pixel (alpha ignored), and back.
std::uint32_t ColourOfPixel(QRgb pixel);
QRgb PixelOfColour(std::uint32_t colour);

// The colour of the picture's bottom-left pixel; 0 for an empty picture.
std::uint32_t BottomLeftColour(const QImage& image);

// The region of the pixels whose colour is not exactly `transparentColour`,
// built from one-pixel-high runs collected in batches. Nothing (no region)
// when every pixel is transparent or the picture cannot be read.
std::optional<QRegion> BuildOpaqueRegion(const QImage& image, std::uint32_t transparentColour);

// The region of what was drawn on a transparent picture (a metafile drawn
// on an image): pixels with some alpha whose colour is not
// `transparentColour` (kNoRegionColour: any colour counts). Nothing when no
// pixel counts.
std::optional<QRegion> BuildDrawnRegion(const QImage& image, std::uint32_t transparentColour);

} // namespace tomeric
