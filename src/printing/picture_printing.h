#pragma once
// Pictures on paper (PrintImageFile, PrintImageFileWH and the picture mode
// of PrintPage): where on the sheet a picture goes, and drawing it there,
// metafiles as vectors, every other picture as its pixels in 24-bit colour.

#include "imaging/picture.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

class QPainter;

namespace tomeric {

// What the command asked for: a size in inches (either side may be missing,
// 0 or less), or a per cent of the picture's pixels taken as printer dots;
// with neither the picture fills the printable area.
struct TPictureSizeRequest {
    double widthInches = 0;
    double heightInches = 0;
    int percent = 0;
};

// The per cent parameter as PrintImageFile reads it: only its digits and
// minus signs count ("50%" is 50); nothing when no number remains.
int PercentOfText(const QString& text);

// The rectangle, in device dots of the printable area `area` at `dpi`, a
// picture of `pictureSize` pixels is stretched into: sized by the request,
// always centred on the area.
QRect PicturePrintRect(QSize pictureSize, const QRect& area, int dpi, const TPictureSizeRequest& request);

// Draws the picture into `target`: a metafile plays its records there, any
// other picture is drawn from its 24-bit colour form.
void DrawPrintedPicture(QPainter& painter, const TPicture& picture, const QRect& target);

} // namespace tomeric
