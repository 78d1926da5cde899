#pragma once
// Picture files as publications name them: BMP, PNG, JPEG, GIF (first
// frame), TIFF and ICO/CUR through Qt's image readers, PCX through our own
// reader. Windows metafiles (WMF/EMF) are recognised but not decoded yet: they
// are reported as such, never shown as garbage.
//
// Every decode is bounded: a picture larger than kMaxPicturePixels, or input
// bigger than kMaxPictureBytes, is refused instead of exhausting memory.

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>

class QIODevice;

namespace tomeric {

class TPackage;

inline constexpr std::int64_t kMaxPicturePixels = std::int64_t(1) << 26; // 64 Mpixel
inline constexpr std::int64_t kMaxPictureBytes = std::int64_t(1) << 29;  // 512 MiB

enum class TPictureError {
    peNone,
    peNotFound,          // no such file, or not an included file
    peUnreadable,        // the file or stream could not be read
    peUnknownFormat,     // no reader recognises the data
    peMetafile,          // WMF/EMF: recognised, not decodable
    peCorrupt,           // the reader recognised the format and gave up
    peTooLarge,          // dimensions or input size beyond the bounds above
};

// A decoded picture. The image keeps the pixel format the reader produced
// (1-bit pictures stay Format_Mono, palette pictures Format_Indexed8...).
struct TPicture {
    QImage image;
    bool hasAlpha = false;
    // Decoded from damaged data: what could be read is shown, the rest is
    // blank. Such pictures get no transparency region.
    bool bad = false;
    QByteArray format; // "png", "bmp", "pcx", ... (lower case)

    bool IsEmpty() const { return image.isNull(); }
    int Width() const { return image.width(); }
    int Height() const { return image.height(); }
    bool IsMonochrome() const { return image.depth() == 1; }
};

struct TPictureDecode {
    TPicture picture;
    TPictureError error = TPictureError::peNone;
    bool Ok() const { return error == TPictureError::peNone && !picture.IsEmpty(); }
};

// What the header alone tells about a picture.
struct TPictureInfo {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
};

// ---- decoding ---------------------------------------------------------------
TPictureDecode DecodePictureBytes(const QByteArray& bytes);
// A file on disk; the name may be written the Windows way (see NativePath).
TPictureDecode DecodePictureFile(const QString& fileName);
// The rest of a stream, from its current position.
TPictureDecode DecodePictureStream(QIODevice& stream);

// ---- header-only queries ----------------------------------------------------
std::optional<TPictureInfo> QueryPictureBytes(const QByteArray& bytes);
std::optional<TPictureInfo> QueryPictureFile(const QString& fileName);

// ---- embedded pictures ------------------------------------------------------
// 0 loaded, 1 not embedded, 2 error (unreadable data, or data no reader takes).
int LoadEmbeddedPicture(TPackage& package, const QString& name, TPicture& picture);
int LoadEmbeddedPicture(const QString& name, TPicture& picture); // current package

// ---- helpers ----------------------------------------------------------------
// True for the data of a Windows metafile (placeable WMF, plain WMF, EMF).
bool IsMetafile(QByteArrayView bytes);
// Whether pixels of this format carry alpha (colour with alpha, or four
// 8-bit channels).
bool FormatHasAlpha(QImage::Format format);
// Message-free description for logs and tools.
const char* PictureErrorText(TPictureError error);

} // namespace tomeric
