#pragma once
// Width, height and alpha of a picture read from its header alone, for the
// picture entries of a package (the player shows a picture's size without
// decoding it). BMP, PNG, JPEG and GIF are understood; other data gives
// nothing.

#include <QByteArrayView>

#include <cstdint>
#include <optional>

namespace tomeric {

struct TPictureHeader {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool hasAlpha = false;
};

std::optional<TPictureHeader> ReadPictureHeader(QByteArrayView bytes);

} // namespace tomeric
