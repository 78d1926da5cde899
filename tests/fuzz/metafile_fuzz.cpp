// libFuzzer entry point for the Windows metafile reader and player. Build
// and run it with `scripts/fuzz metafile [SECONDS]`.
//
// The first byte chooses how the rest is drawn: the size of the target
// (1..64 x 1..16 pixels, so a run stays fast) and whether the painter is
// rotated and clipped, as a printer's or a widget's may be.

#include "imaging/metafile_player.h"
#include "package/picture_header.h"

#include "fuzz_support.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tomeric;
    if (size == 0)
        return 0;
    fuzz::EnsureApplication<QGuiApplication>();
    const std::uint8_t mode = data[0];
    const QByteArray input(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    // The header reads the packer and PictureInfo use.
    const auto header = ReadPictureHeader(input);
    const auto frame = ReadMetafileFrame(input);
    if (frame && (frame->pixelWidth < 1 || frame->pixelHeight < 1 || frame->pixelWidth > kMaxMetafileSide
                  || frame->pixelHeight > kMaxMetafileSide || !(frame->frame.width() > 0)
                  || !(frame->frame.height() > 0)))
        std::abort();
    (void)header;

    const auto metafile = LoadMetafile(input);
    if (!metafile)
        return 0;
    const QSize target(1 + (mode & 63), 1 + (mode >> 6) * 5);
    QImage image(target, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    if (mode & 0x80) {
        painter.translate(target.width() / 2.0, 0);
        painter.rotate(30);
        painter.setClipRect(QRect(0, 0, target.width() / 2 + 1, target.height()));
    }
    const TMetaPlayStats stats = PlayMetafile(*metafile, painter, QRectF(QPointF(0, 0), target));
    painter.end();
    if (stats.played > metafile->recordCount || stats.malformed > stats.played)
        std::abort();
    // Small pictures also go through the whole decode, at their own size.
    if (frame && frame->pixelWidth * frame->pixelHeight <= 64 * 64) {
        const TPictureDecode decode = DecodeMetafile(input);
        if (!decode.Ok() || decode.picture.image.size() != QSize(frame->pixelWidth, frame->pixelHeight))
            std::abort();
    }
    return 0;
}
