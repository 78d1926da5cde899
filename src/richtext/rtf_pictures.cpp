#include "richtext/rtf_pictures.h"

#include "imaging/metafile_player.h"
#include "package/picture_header.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace tomeric {
namespace {

constexpr double kTwipsPerPixel = 15.0; // 1440 twips per inch, 96 pixels per inch
constexpr double kHimetricPerPixel = 2540.0 / 96; // hundredths of a millimetre
constexpr int kMaxSide = 16384;         // larger bitmaps are refused, not allocated
constexpr qint64 kMaxPixels = 16 * 1024 * 1024;

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A device-independent bitmap is a BMP file without its 14-byte file header;
// the header's pixel offset is the info header plus the colour table.
QImage DecodeDib(const QByteArray& dib)
{
    if (dib.size() < 40)
        return {};
    const auto* bytes = reinterpret_cast<const uchar*>(dib.constData());
    const quint32 headerSize = qFromLittleEndian<quint32>(bytes);
    if (headerSize < 12 || headerSize > quint32(dib.size()))
        return {};
    quint32 paletteBytes = 0;
    if (headerSize >= 40) {
        const quint16 bitCount = qFromLittleEndian<quint16>(bytes + 14);
        const quint32 compression = qFromLittleEndian<quint32>(bytes + 16);
        quint32 colours = qFromLittleEndian<quint32>(bytes + 32);
        if (colours == 0 && bitCount <= 8)
            colours = 1u << bitCount;
        paletteBytes = std::min<quint32>(colours, 256) * 4;
        if (compression == 3 && headerSize == 40)
            paletteBytes += 12; // the three bit-field masks
    }
    QByteArray file("BM");
    file.resize(14);
    qToLittleEndian<quint32>(quint32(14 + dib.size()), file.data() + 2);
    qToLittleEndian<quint32>(0, file.data() + 6);
    qToLittleEndian<quint32>(14 + headerSize + paletteBytes, file.data() + 10);
    return QImage::fromData(file + dib, "BMP");
}

// A Windows device-dependent bitmap: rows top-down, 1, 24 or 32 bits per
// pixel (other depths had a palette the RTF does not carry).
QImage DecodeWindowsBitmap(const TRtfPicture& picture)
{
    const int width = picture.width;
    const int height = picture.height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        qint64(width) * height > kMaxPixels || picture.planes != 1)
        return {};
    const int depth = picture.bitsPerPixel;
    int stride = picture.widthBytes;
    if (stride <= 0)
        stride = ((width * depth + 15) / 16) * 2;
    if (qint64(stride) * height > picture.data.size() || qint64(stride) * 8 < qint64(width) * depth)
        return {};
    const auto* bits = reinterpret_cast<const uchar*>(picture.data.constData());
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const uchar* row = bits + qint64(stride) * y;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            switch (depth) {
            case 1: out[x] = (row[x / 8] >> (7 - x % 8)) & 1 ? qRgb(255, 255, 255) : qRgb(0, 0, 0); break;
            case 24: out[x] = qRgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]); break;
            case 32: out[x] = qRgb(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]); break;
            default: return {};
            }
        }
    }
    return image;
}

double Scale(int percent)
{
    return percent > 0 ? percent / 100.0 : 1.0;
}

// A metafile's size before scaling: the goal size, else \picw and \pich
// (hundredths of a millimetre), else the metafile's own frame. Empty when
// none is known.
QSizeF MetafileBaseSize(const TRtfPicture& picture)
{
    double width = picture.goalWidth > 0 ? picture.goalWidth / kTwipsPerPixel : 0;
    double height = picture.goalHeight > 0 ? picture.goalHeight / kTwipsPerPixel : 0;
    if (width <= 0 && picture.width > 0)
        width = picture.width / kHimetricPerPixel;
    if (height <= 0 && picture.height > 0)
        height = picture.height / kHimetricPerPixel;
    if (width <= 0 || height <= 0) {
        const std::optional<TMetafileFrame> frame = ReadMetafileFrame(picture.data);
        if (!frame)
            return {};
        if (width <= 0)
            width = frame->pixelWidth;
        if (height <= 0)
            height = frame->pixelHeight;
    }
    return {width, height};
}

QSizeF MetafileDisplaySize(const TRtfPicture& picture)
{
    const QSizeF base = MetafileBaseSize(picture);
    if (base.isEmpty())
        return {};
    return {std::clamp(base.width() * Scale(picture.scaleX), 1.0, double(kMaxSide)),
            std::clamp(base.height() * Scale(picture.scaleY), 1.0, double(kMaxSide))};
}

QImage DecodeMetafilePicture(const TRtfPicture& picture)
{
    const std::shared_ptr<const TMetafile> metafile = LoadMetafile(picture.data);
    if (!metafile) {
        // Some writers label a PNG or JPEG picture as a metafile.
        const QByteArrayView data(picture.data);
        if (data.startsWith("\x89PNG\r\n\x1a\n") || data.startsWith("\xFF\xD8\xFF"))
            return QImage::fromData(picture.data);
        return {};
    }
    const QSizeF shown = MetafileDisplaySize(picture);
    if (shown.isEmpty())
        return {};
    // Drawn at the size shown, within the bound every metafile keeps.
    const double longest = std::max(shown.width(), shown.height());
    const double fit = std::min(1.0, kMaxMetafileSide / longest);
    const QSize pixels(std::max(1, int(std::lround(shown.width() * fit))),
                       std::max(1, int(std::lround(shown.height() * fit))));
    return RenderMetafile(*metafile, pixels);
}

} // namespace

void TRtfPicture::AppendHex(QByteArrayView text)
{
    for (const char c : text) {
        const int value = HexValue(c);
        if (value < 0)
            continue;
        if (pendingNibble < 0) {
            pendingNibble = value;
        } else {
            data.append(char(pendingNibble * 16 + value));
            pendingNibble = -1;
        }
    }
}

QImage DecodeRtfPicture(const TRtfPicture& picture)
{
    switch (picture.kind) {
    case TRtfPictureKind::Png: return QImage::fromData(picture.data, "PNG");
    case TRtfPictureKind::Jpeg: return QImage::fromData(picture.data, "JPEG");
    case TRtfPictureKind::DeviceIndependentBitmap: return DecodeDib(picture.data);
    case TRtfPictureKind::WindowsBitmap: return DecodeWindowsBitmap(picture);
    case TRtfPictureKind::Metafile: return DecodeMetafilePicture(picture);
    case TRtfPictureKind::Unknown: break;
    }
    return {};
}

QSizeF RtfPictureDisplaySize(const TRtfPicture& picture, const QImage& image)
{
    if (picture.kind == TRtfPictureKind::Metafile) {
        const QSizeF shown = MetafileDisplaySize(picture);
        if (!shown.isEmpty())
            return shown;
    }
    const double width = picture.goalWidth > 0 ? picture.goalWidth / kTwipsPerPixel : image.width();
    const double height =
        picture.goalHeight > 0 ? picture.goalHeight / kTwipsPerPixel : image.height();
    const double scaleX = picture.scaleX > 0 ? picture.scaleX / 100.0 : 1.0;
    const double scaleY = picture.scaleY > 0 ? picture.scaleY / 100.0 : 1.0;
    return {std::clamp(width * scaleX, 1.0, double(kMaxSide)),
            std::clamp(height * scaleY, 1.0, double(kMaxSide))};
}

} // namespace tomeric
