#pragma once
// Picture files as publications name them: BMP, PNG, JPEG, GIF (first
// frame), TIFF and ICO/CUR through Qt's image readers, PCX and Windows
// metafiles (placeable WMF, plain WMF, EMF) through our own readers. A
// metafile is drawn at its own size and keeps its records, so it can be
// drawn again at any size (see DrawnAtSize and metafile_player.h).
//
// Every decode is bounded: a picture larger than kMaxPicturePixels, or input
// bigger than kMaxPictureBytes, is refused instead of exhausting memory.

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

class QIODevice;

namespace tomeric {

class TPackage;
struct TMetafile;

inline constexpr std::int64_t kMaxPicturePixels = std::int64_t(1) << 26; // 64 Mpixel
inline constexpr std::int64_t kMaxPictureBytes = std::int64_t(1) << 29;  // 512 MiB

enum class TPictureError {
    peNone,
    peNotFound,          // no such file, or not an included file
    peUnreadable,        // the file or stream could not be read
    peUnknownFormat,     // no reader recognises the data
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
    QByteArray format; // "png", "bmp", "pcx", "wmf", "emf" ... (lower case)
    // A metafile's records: the image is them drawn at the picture's own
    // size; they can be drawn at any other.
    std::shared_ptr<const TMetafile> metafile;

    bool IsEmpty() const { return image.isNull(); }
    int Width() const { return image.width(); }
    int Height() const { return image.height(); }
    bool IsMonochrome() const { return image.depth() == 1; }
    bool IsVector() const { return metafile != nullptr; }
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
// The picture at `size`: a metafile drawn again as vectors, another picture
// as it is when the size is its own, else scaled smoothly. A null image for
// an empty picture or size.
QImage DrawnAtSize(const TPicture& picture, QSize size);
// Whether pixels of this format carry alpha (colour with alpha, or four
// 8-bit channels).
bool FormatHasAlpha(QImage::Format format);
// Message-free description for logs and tools.
const char* PictureErrorText(TPictureError error);

} // namespace tomeric
