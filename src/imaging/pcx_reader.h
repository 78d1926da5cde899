#pragma once
// ZSoft PCX pictures, which Qt does not read: 1-bit (one or up to four
// planes, 16-colour EGA), 2/4/8-bit palette pictures and 24-bit RGB, stored
// raw or run-length encoded. Every length in the header is checked against
// the data and the picture bounds; truncated data gives a partial picture
// marked bad, never a read past the end.

#include "imaging/picture.h"

#include <QByteArrayView>

#include <optional>

namespace tomeric {

// True when the data begins with a PCX header this reader accepts.
bool LooksLikePcx(QByteArrayView bytes);

// Width, height (a PCX picture never has alpha).
std::optional<TPictureInfo> ReadPcxInfo(QByteArrayView bytes);

TPictureDecode DecodePcx(QByteArrayView bytes);

} // namespace tomeric
