#pragma once
// Pictures inside RTF (\pict groups): the blip kinds a rich-text control of
// the era wrote, decoded into images, and the size they are shown at.
// Windows metafiles (\wmetafileN: a plain WMF; \emfblip: an EMF) are drawn
// as vectors at the size they are shown at.

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSizeF>

namespace tomeric {

enum class TRtfPictureKind { Unknown, Png, Jpeg, DeviceIndependentBitmap, WindowsBitmap, Metafile };

struct TRtfPicture {
    TRtfPictureKind kind = TRtfPictureKind::Unknown;
    QByteArray data;         // the decoded bytes (hex pairs or \bin data)
    int width = 0;           // \picw: pixels for bitmaps, 0.01 mm for metafiles
    int height = 0;          // \pich
    int goalWidth = 0;       // \picwgoal: twips
    int goalHeight = 0;      // \pichgoal
    int scaleX = 100;        // \picscalex: percent
    int scaleY = 100;
    int bitsPerPixel = 1;    // \wbmbitspixel
    int planes = 1;          // \wbmplanes
    int widthBytes = 0;      // \wbmwidthbytes
    // Half a byte of hex waiting for its partner.
    int pendingNibble = -1;

    // Adds the hex digits of a text run (anything else is skipped).
    void AppendHex(QByteArrayView text);
};

// The picture as an image; a null image when the kind is unknown (Mac PICT
// and OS/2 metafiles among them) or the data is damaged. A WMF or EMF is
// drawn at the size it is shown at (at most kMaxMetafileSide a side).
QImage DecodeRtfPicture(const TRtfPicture& picture);

// The size in pixels (96 per inch) the picture is shown at: the goal size
// when given, else the image's own (for a metafile: \picw and \pich, else
// its own frame), scaled by \picscalex / \picscaley.
QSizeF RtfPictureDisplaySize(const TRtfPicture& picture, const QImage& image);

} // namespace tomeric
