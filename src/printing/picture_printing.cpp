#include "printing/picture_printing.h"

#include "imaging/metafile_player.h"

#include <QPainter>

#include <cmath>

namespace tomeric {

int PercentOfText(const QString& text)
{
    QString kept;
    for (const QChar c : text)
        if (c.isDigit() || c == QLatin1Char('-'))
            kept.append(c);
    bool ok = false;
    const int value = kept.toInt(&ok);
    return ok ? value : 0;
}

namespace {

QSize RequestedSize(QSize picture, const QRect& area, int dpi, const TPictureSizeRequest& request)
{
    const bool hasWidth = request.widthInches > 0, hasHeight = request.heightInches > 0;
    if (hasWidth || hasHeight) {
        int width = hasWidth ? int(std::lround(dpi * request.widthInches)) : 0;
        int height = hasHeight ? int(std::lround(dpi * request.heightInches)) : 0;
        // A missing side follows the picture's proportions.
        if (!hasWidth)
            width = int(std::lround(double(height) * picture.width() / picture.height()));
        if (!hasHeight)
            height = int(std::lround(double(width) * picture.height() / picture.width()));
        return {width, height};
    }
    if (request.percent > 0)
        return {int(std::lround(double(picture.width()) * request.percent / 100.0)),
                int(std::lround(double(picture.height()) * request.percent / 100.0))};
    return picture.scaled(area.size(), Qt::KeepAspectRatio);
}

} // namespace

QRect PicturePrintRect(QSize pictureSize, const QRect& area, int dpi, const TPictureSizeRequest& request)
{
    if (pictureSize.isEmpty())
        return {};
    const QSize size = RequestedSize(pictureSize, area, dpi, request);
    return QRect(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2,
                 size.width(), size.height());
}

void DrawPrintedPicture(QPainter& painter, const TPicture& picture, const QRect& target)
{
    if (target.isEmpty())
        return;
    if (picture.IsVector()) {
        PlayMetafile(*picture.metafile, painter, QRectF(target));
        return;
    }
    // Monochrome, palette and 15/16/32-bit pictures all go out as 24-bit colour.
    const QImage colour = picture.image.convertToFormat(picture.hasAlpha ? QImage::Format_ARGB32
                                                                         : QImage::Format_RGB888);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, colour);
}

} // namespace tomeric
