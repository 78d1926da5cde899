#pragma once
// Width, height and alpha of a picture read from its header alone, for the
// picture entries of a package (the player shows a picture's size without
// decoding it). BMP, PNG, JPEG, GIF and Windows metafiles (placeable WMF,
// plain WMF, EMF) are understood; other data gives nothing.
//
// The frame of a metafile lives here, in the core, because the packer sizes
// the metafiles it includes; the player (imaging/metafile_*) plays the
// records into the same frame.

#include <QByteArrayView>
#include <QRectF>

#include <cstdint>
#include <optional>

namespace tomeric {

struct TPictureHeader {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool hasAlpha = false;
};

std::optional<TPictureHeader> ReadPictureHeader(QByteArrayView bytes);

// ---- Windows metafiles ------------------------------------------------------

enum class TMetafileKind { PlaceableWmf, PlainWmf, Emf };

// The longest side a metafile is shown at by default (a frame larger than
// this keeps its proportions at this size).
inline constexpr int kMaxMetafileSide = 4096;
// A plain WMF with no window extent and nothing drawn is this size.
inline constexpr int kDefaultMetafileSide = 100;

struct TMetafileFrame {
    TMetafileKind kind = TMetafileKind::Emf;
    // The picture's rectangle in the space the records are played into: for
    // a WMF the window's logical units (the placeable bounding box, else the
    // records' first window origin and extent, else the bounds of what they
    // draw); for an EMF the reference device's pixels (rclFrame converted
    // with the device's size in pixels and millimetres, else rclBounds).
    // Never empty.
    QRectF frame;
    // Units of that space per millimetre, across and down (the placeable
    // header's units per inch; 96 dpi for a plain WMF; the reference device's
    // resolution for an EMF). Mapping modes with physical units need it.
    double unitsPerMmX = 96 / 25.4;
    double unitsPerMmY = 96 / 25.4;
    // The size the picture is shown at, at 96 dots per inch, 1..kMaxMetafileSide.
    int pixelWidth = 0;
    int pixelHeight = 0;
    // Offset of the first record after the header(s).
    qsizetype recordsStart = 0;
    // WMF NumberOfObjects, EMF nHandles: the size of the object table.
    int objectCount = 0;
};

// The frame of a placeable WMF, plain WMF or EMF; nothing when the data is
// no metafile or its header is damaged. Only the headers are read, and for a
// plain WMF the records as far as the data goes.
std::optional<TMetafileFrame> ReadMetafileFrame(QByteArrayView bytes);

} // namespace tomeric
