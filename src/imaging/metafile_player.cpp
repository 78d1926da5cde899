#include "imaging/metafile_player.h"

#include "imaging/metafile_canvas.h"
#include "imaging/metafile_emf.h"
#include "imaging/metafile_wmf.h"

namespace tomeric {

TMetaPlayStats PlayMetafile(const TMetafile& metafile, QPainter& painter, const QRectF& target) {
    if (!painter.isActive() || !(target.width() > 0) || !(target.height() > 0))
        return {};
    TMetaDc dc(metafile.frame, target);
    TMetaCanvas canvas(painter, dc);
    return metafile.IsEmf() ? PlayEmf(metafile, dc, canvas) : PlayWmf(metafile, dc, canvas);
}

QImage RenderMetafile(const TMetafile& metafile, QSize size, TMetaPlayStats* stats) {
    if (size.isEmpty() || std::int64_t(size.width()) * size.height() > kMaxPicturePixels)
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const TMetaPlayStats played = PlayMetafile(metafile, painter, QRectF(QPointF(0, 0), size));
    painter.end();
    if (stats)
        *stats = played;
    return image;
}

QSize MetafileSize(const TMetafile& metafile) {
    return QSize(metafile.frame.pixelWidth, metafile.frame.pixelHeight);
}

TPictureDecode DecodeMetafile(const QByteArray& bytes) {
    TPictureDecode result;
    const std::shared_ptr<const TMetafile> metafile = LoadMetafile(bytes);
    if (!metafile) {
        result.error = TPictureError::peCorrupt;
        return result;
    }
    QImage image = RenderMetafile(*metafile, MetafileSize(*metafile));
    if (image.isNull()) {
        result.error = TPictureError::peTooLarge;
        return result;
    }
    result.picture.image = std::move(image);
    // What the records leave undrawn shows what lies beneath.
    result.picture.hasAlpha = true;
    result.picture.format = metafile->IsEmf() ? "emf" : "wmf";
    result.picture.metafile = metafile;
    return result;
}

} // namespace tomeric
