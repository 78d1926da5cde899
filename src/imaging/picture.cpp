#include "imaging/picture.h"

#include "imaging/metafile_player.h"
#include "imaging/pcx_reader.h"
#include "package/package.h"
#include "package/picture_header.h"
#include "platform/paths.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPixelFormat>

#include <algorithm>

namespace tomeric {
namespace {

// Enough for the headers of BMP, PNG, GIF and most JPEG files.
constexpr qint64 kHeaderReadSize = 64 * 1024;

std::uint32_t LE32(QByteArrayView bytes, qsizetype at) {
    if (at < 0 || at + 4 > bytes.size())
        return 0;
    return std::uint32_t(std::uint8_t(bytes[at])) | std::uint32_t(std::uint8_t(bytes[at + 1])) << 8
        | std::uint32_t(std::uint8_t(bytes[at + 2])) << 16
        | std::uint32_t(std::uint8_t(bytes[at + 3])) << 24;
}

std::uint32_t LE16(QByteArrayView bytes, qsizetype at) { return LE32(bytes, at) & 0xFFFF; }

bool TooManyPixels(const QSize& size) {
    return size.isValid() && std::int64_t(size.width()) * size.height() > kMaxPicturePixels;
}

TPictureDecode Failure(TPictureError error) {
    TPictureDecode result;
    result.error = error;
    return result;
}

TPictureDecode DecodeWithQt(QIODevice& device) {
    // The reader does not tell the format it detected: ask before reading.
    const QByteArray format = QImageReader::imageFormat(&device).toLower();
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    if (TooManyPixels(reader.size()))
        return Failure(TPictureError::peTooLarge);
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        const bool unknown = reader.error() == QImageReader::UnsupportedFormatError;
        return Failure(unknown ? TPictureError::peUnknownFormat : TPictureError::peCorrupt);
    }
    TPictureDecode result;
    result.picture.format = format;
    result.picture.hasAlpha = image.hasAlphaChannel();
    result.picture.image = std::move(image);
    return result;
}

// The recognisers that come before Qt's readers; nullopt: let Qt try.
std::optional<TPictureDecode> DecodeOwnFormats(const QByteArray& bytes) {
    if (IsMetafile(bytes))
        return DecodeMetafile(bytes);
    if (LooksLikePcx(bytes))
        return DecodePcx(bytes);
    return std::nullopt;
}

std::optional<TPictureInfo> FromHeaderBytes(QByteArrayView bytes) {
    if (auto pcx = ReadPcxInfo(bytes))
        return pcx;
    if (const auto header = ReadPictureHeader(bytes); header && header->width > 0
        && header->height > 0)
        return TPictureInfo{header->width, header->height, header->hasAlpha};
    return std::nullopt;
}

std::optional<TPictureInfo> QueryWithQt(QIODevice& device) {
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        return std::nullopt;
    const QSize size = reader.size();
    if (size.isValid())
        return TPictureInfo{size.width(), size.height(), FormatHasAlpha(reader.imageFormat())};
    return std::nullopt;
}

// Readers that cannot tell the size from the header alone decode the picture.
std::optional<TPictureInfo> InfoFromDecode(const TPictureDecode& decode) {
    if (!decode.Ok())
        return std::nullopt;
    return TPictureInfo{decode.picture.Width(), decode.picture.Height(), decode.picture.hasAlpha};
}

// How much to ask a device for, at most `limit`: what a file or buffer
// still holds, since asking for the whole limit reserves that much memory.
qint64 ReadLimit(const QIODevice& device, qint64 limit) {
    if (device.isSequential())
        return limit;
    return std::min(limit, std::max<qint64>(0, device.size() - device.pos()));
}

} // namespace

bool IsMetafile(QByteArrayView bytes) {
    constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
    if (LE32(bytes, 0) == kPlaceableKey)
        return true;
    const std::uint32_t type = LE16(bytes, 0), headerWords = LE16(bytes, 2), version = LE16(bytes, 4);
    if ((type == 1 || type == 2) && headerWords == 9 && (version == 0x100 || version == 0x300))
        return true;
    return LE32(bytes, 0) == 1 && bytes.size() >= 44 && bytes.sliced(40, 4) == " EMF";
}

bool FormatHasAlpha(QImage::Format format) {
    if (format == QImage::Format_Invalid)
        return false;
    return QImage::toPixelFormat(format).alphaUsage() == QPixelFormat::UsesAlpha;
}

const char* PictureErrorText(TPictureError error) {
    switch (error) {
    case TPictureError::peNone: return "no error";
    case TPictureError::peNotFound: return "picture not found";
    case TPictureError::peUnreadable: return "picture could not be read";
    case TPictureError::peUnknownFormat: return "unknown picture format";
    case TPictureError::peCorrupt: return "picture data is damaged";
    case TPictureError::peTooLarge: return "picture is too large";
    }
    return "unknown error";
}

TPictureDecode DecodePictureBytes(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return Failure(TPictureError::peUnknownFormat);
    if (bytes.size() > kMaxPictureBytes)
        return Failure(TPictureError::peTooLarge);
    if (auto own = DecodeOwnFormats(bytes))
        return *own;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return DecodeWithQt(buffer);
}

TPictureDecode DecodePictureFile(const QString& fileName) {
    if (fileName.isEmpty())
        return Failure(TPictureError::peNotFound);
    QFile file(platform::NativePath(fileName));
    if (!file.exists())
        return Failure(TPictureError::peNotFound);
    if (!file.open(QIODevice::ReadOnly))
        return Failure(TPictureError::peUnreadable);
    if (file.size() > kMaxPictureBytes)
        return Failure(TPictureError::peTooLarge);
    return DecodePictureBytes(file.readAll());
}

TPictureDecode DecodePictureStream(QIODevice& stream) {
    if (!stream.isReadable())
        return Failure(TPictureError::peUnreadable);
    return DecodePictureBytes(stream.read(ReadLimit(stream, kMaxPictureBytes + 1)));
}

std::optional<TPictureInfo> QueryPictureBytes(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return std::nullopt;
    if (IsMetafile(bytes))
        return FromHeaderBytes(bytes); // the frame, or nothing for a damaged header
    if (auto info = FromHeaderBytes(bytes))
        return info;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    if (auto info = QueryWithQt(buffer))
        return info;
    return InfoFromDecode(DecodePictureBytes(bytes));
}

std::optional<TPictureInfo> QueryPictureFile(const QString& fileName) {
    if (fileName.isEmpty())
        return std::nullopt;
    QFile file(platform::NativePath(fileName));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray head = file.read(kHeaderReadSize);
    // A plain WMF's extent comes from its records, which may lie further on.
    if (const auto frame = ReadMetafileFrame(head);
        frame && frame->kind == TMetafileKind::PlainWmf && head.size() == kHeaderReadSize)
        head += file.read(ReadLimit(file, kMaxPictureBytes));
    if (IsMetafile(head))
        return FromHeaderBytes(head);
    if (auto info = FromHeaderBytes(head))
        return info;
    file.seek(0);
    if (auto info = QueryWithQt(file))
        return info;
    file.close();
    return InfoFromDecode(DecodePictureFile(fileName));
}

QImage DrawnAtSize(const TPicture& picture, QSize size) {
    if (picture.IsEmpty() || size.isEmpty())
        return {};
    if (picture.metafile)
        return RenderMetafile(*picture.metafile, size);
    if (picture.image.size() == size)
        return picture.image;
    return picture.image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

int LoadEmbeddedPicture(TPackage& package, const QString& name, TPicture& picture) {
    const TEmbeddedLoad load = package.LoadEmbeddedToMemory(name);
    if (load.code != 0)
        return load.code;
    TPictureDecode decode = DecodePictureBytes(load.data);
    if (!decode.Ok())
        return 2;
    picture = std::move(decode.picture);
    return 0;
}

int LoadEmbeddedPicture(const QString& name, TPicture& picture) {
    return LoadEmbeddedPicture(CurrentPackage(), name, picture);
}

} // namespace tomeric
