// Reading pictures from bytes, files and the package, and their headers.

#include "imaging/picture.h"

#include "imaging_test_support.h"
#include "package/package.h"
#include "package/package_writer.h"

#include <random>

namespace tomeric {
namespace {

using namespace tomeric::testing;

struct LosslessFormat {
    const char* format;
};

class LosslessPictures : public ::testing::TestWithParam<LosslessFormat> {};

TEST_P(LosslessPictures, DecodeToTheSamePixels) {
    const QImage source = PatternImage(6, 4);
    const TPictureDecode decode = DecodePictureBytes(Encode(source, GetParam().format));
    ASSERT_TRUE(decode.Ok()) << PictureErrorText(decode.error);
    EXPECT_EQ(decode.picture.format, QByteArray(GetParam().format));
    EXPECT_FALSE(decode.picture.bad);
    EXPECT_EQ(decode.picture.image.convertToFormat(QImage::Format_RGB32), source);
}

INSTANTIATE_TEST_SUITE_P(Formats, LosslessPictures,
                         ::testing::Values(LosslessFormat{"png"}, LosslessFormat{"bmp"},
                                           LosslessFormat{"tiff"}, LosslessFormat{"ico"}),
                         [](const auto& info) { return std::string(info.param.format); });

TEST(PictureDecoding, JpegKeepsItsSize) {
    const TPictureDecode decode = DecodePictureBytes(Encode(PatternImage(17, 9), "jpeg"));
    ASSERT_TRUE(decode.Ok());
    EXPECT_EQ(decode.picture.image.size(), QSize(17, 9));
    EXPECT_FALSE(decode.picture.hasAlpha);
}

TEST(PictureDecoding, GifGivesItsFirstFrameWithTransparency) {
    EnsureApplication();
    const TPictureDecode decode = DecodePictureBytes(OnePixelGif());
    ASSERT_TRUE(decode.Ok()) << PictureErrorText(decode.error);
    EXPECT_EQ(decode.picture.format, "gif");
    EXPECT_EQ(decode.picture.image.size(), QSize(1, 1));
    EXPECT_TRUE(decode.picture.hasAlpha);
}

TEST(PictureDecoding, AlphaChannelIsReported) {
    QImage source(3, 3, QImage::Format_ARGB32);
    source.fill(qRgba(10, 20, 30, 128));
    const TPictureDecode withAlpha = DecodePictureBytes(Encode(source, "png"));
    ASSERT_TRUE(withAlpha.Ok());
    EXPECT_TRUE(withAlpha.picture.hasAlpha);
    const TPictureDecode without = DecodePictureBytes(Encode(PatternImage(3, 3), "png"));
    EXPECT_FALSE(without.picture.hasAlpha);
}

TEST(PictureDecoding, PcxIsRecognisedByItsContent) {
    const PcxShape shape{.width = 2, .height = 1};
    const TPictureDecode decode = DecodePictureBytes(PcxFile(shape, QByteArray("\x01\x02", 2)));
    ASSERT_TRUE(decode.Ok());
    EXPECT_EQ(decode.picture.format, "pcx");
}

struct RefusedData {
    const char* what;
    QByteArray bytes;
    TPictureError error;
};

class RefusedPictures : public ::testing::TestWithParam<RefusedData> {};

TEST_P(RefusedPictures, ReportWhyTheyCannotBeShown) {
    EnsureApplication();
    const TPictureDecode decode = DecodePictureBytes(GetParam().bytes);
    EXPECT_FALSE(decode.Ok());
    EXPECT_TRUE(decode.picture.IsEmpty());
    EXPECT_EQ(decode.error, GetParam().error);
}

// Metafiles whose headers are recognised and whose records are missing.
QByteArray PlaceableMetafile() { return QByteArray::fromHex("d7cdc69a0000") + QByteArray(40, 0); }
QByteArray PlainMetafile() { return QByteArray::fromHex("010009000003") + QByteArray(40, 0); }
QByteArray EnhancedMetafile() {
    QByteArray bytes = QByteArray::fromHex("01000000") + QByteArray(36, 0) + " EMF";
    return bytes + QByteArray(40, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedPictures,
    ::testing::Values(
        RefusedData{"empty", QByteArray(), TPictureError::peUnknownFormat},
        RefusedData{"text", QByteArray("not a picture at all"), TPictureError::peUnknownFormat},
        RefusedData{"placeable_wmf", PlaceableMetafile(), TPictureError::peCorrupt},
        RefusedData{"plain_wmf", PlainMetafile(), TPictureError::peCorrupt},
        RefusedData{"emf", EnhancedMetafile(), TPictureError::peCorrupt}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(PictureDecoding, DamagedPngIsRefused) {
    QByteArray png = Encode(PatternImage(20, 20), "png");
    png.truncate(60);
    EXPECT_FALSE(DecodePictureBytes(png).Ok());
}

TEST(PictureFiles, AreReadWithWindowsStyleNames) {
    QTemporaryDir folder;
    WriteFile(folder.filePath("Wall.PNG"), Encode(PatternImage(5, 5), "png"));
    const TPictureDecode decode = DecodePictureFile(folder.path() + "\\wall.png");
    ASSERT_TRUE(decode.Ok()) << PictureErrorText(decode.error);
    EXPECT_EQ(decode.picture.image.size(), QSize(5, 5));
}

TEST(PictureFiles, MissingFileIsNotFound) {
    QTemporaryDir folder;
    EXPECT_EQ(DecodePictureFile(folder.filePath("none.bmp")).error, TPictureError::peNotFound);
    EXPECT_EQ(DecodePictureFile(QString()).error, TPictureError::peNotFound);
}

TEST(PictureFiles, StreamIsReadFromItsPosition) {
    QByteArray bytes = "prefix" + Encode(PatternImage(4, 2), "bmp");
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(6);
    const TPictureDecode decode = DecodePictureStream(buffer);
    ASSERT_TRUE(decode.Ok());
    EXPECT_EQ(decode.picture.image.size(), QSize(4, 2));
}

// A small picture read from a file or buffer costs memory for what it
// holds, not for the half gigabyte a picture may have at most.
class ReadSizeRecordingBuffer : public QBuffer {
public:
    using QBuffer::QBuffer;
    qint64 largestAsked = 0;

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        largestAsked = std::max(largestAsked, maxSize);
        return QBuffer::readData(data, maxSize);
    }
};

TEST(PictureFiles, StreamReadsAskOnlyForWhatTheStreamHolds) {
    QByteArray bytes = "prefix" + Encode(PatternImage(4, 2), "bmp");
    ReadSizeRecordingBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    buffer.seek(6);
    ASSERT_TRUE(DecodePictureStream(buffer).Ok());
    EXPECT_LE(buffer.largestAsked, bytes.size());
}

// ---- header-only queries ------------------------------------------------------

TEST(PictureHeaders, GiveSizeAndAlphaOfEachFormat) {
    QImage alpha(7, 3, QImage::Format_ARGB32);
    alpha.fill(Qt::transparent);
    const auto png = QueryPictureBytes(Encode(alpha, "png"));
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(png->width, 7);
    EXPECT_EQ(png->height, 3);
    EXPECT_TRUE(png->hasAlpha);

    const auto bmp = QueryPictureBytes(Encode(PatternImage(9, 2), "bmp"));
    ASSERT_TRUE(bmp.has_value());
    EXPECT_EQ(bmp->width, 9);
    EXPECT_FALSE(bmp->hasAlpha);

    const auto pcx = QueryPictureBytes(PcxHeader({.width = 640, .height = 480}));
    ASSERT_TRUE(pcx.has_value());
    EXPECT_EQ(pcx->height, 480);
}

TEST(PictureHeaders, FileQueryReadsTheHeaderOnly) {
    QTemporaryDir folder;
    // A PNG header followed by garbage still tells its size.
    QByteArray png = Encode(PatternImage(30, 20), "png");
    png.truncate(40);
    WriteFile(folder.filePath("cut.png"), png);
    const auto info = QueryPictureFile(folder.filePath("cut.png"));
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->width, 30);
    EXPECT_EQ(info->height, 20);
}

TEST(PictureHeaders, DamagedMetafilesAndMissingFilesTellNothing) {
    QTemporaryDir folder;
    WriteFile(folder.filePath("logo.wmf"), PlaceableMetafile());
    EXPECT_FALSE(QueryPictureFile(folder.filePath("logo.wmf")).has_value());
    EXPECT_FALSE(QueryPictureFile(folder.filePath("none.png")).has_value());
}

// ---- embedded pictures --------------------------------------------------------

TEST(EmbeddedPictures, LoadWithTheServiceResultCodes) {
    QTemporaryDir folder;
    PackageWriter writer;
    writer.AddPicture("embedded:\\\\\\logo.png", Encode(PatternImage(8, 6), "png"), 8, 6, false);
    writer.AddFile("notes.txt", "just text");
    const QString path = folder.filePath("pub.pkg");
    ASSERT_TRUE(writer.WriteTo(path));
    TPackage package;
    ASSERT_EQ(package.Open(path), kPackageOk);

    TPicture picture;
    EXPECT_EQ(LoadEmbeddedPicture(package, "EMBEDDED:\\\\\\LOGO.PNG", picture), 0);
    EXPECT_EQ(picture.image.size(), QSize(8, 6));
    EXPECT_EQ(LoadEmbeddedPicture(package, "missing.png", picture), 1);
    EXPECT_EQ(LoadEmbeddedPicture(package, "notes.txt", picture), 2);
}

TEST(PictureFormats, AlphaFollowsThePixelFormat) {
    EXPECT_TRUE(FormatHasAlpha(QImage::Format_ARGB32));
    EXPECT_TRUE(FormatHasAlpha(QImage::Format_RGBA8888));
    EXPECT_FALSE(FormatHasAlpha(QImage::Format_RGB32));
    EXPECT_FALSE(FormatHasAlpha(QImage::Format_Mono));
    EXPECT_FALSE(FormatHasAlpha(QImage::Format_Invalid));
}

} // namespace
} // namespace tomeric

namespace tomeric {
namespace {

using namespace tomeric::testing;

// Damaged files of every format end in a picture or a refusal, never a crash.
TEST(PictureHostileInput, RandomDamageNeverCrashes) {
    EnsureApplication();
    const std::vector<QByteArray> goods = {
        Encode(PatternImage(12, 9), "png"), Encode(PatternImage(12, 9), "bmp"),
        Encode(PatternImage(12, 9), "ico"), OnePixelGif(),
        PcxFile({.width = 12, .height = 9, .bitsPerPixel = 8, .planes = 3},
                QByteArray(12 * 9 * 3, '\x42'))};
    std::mt19937 random(4321);
    for (const QByteArray& good : goods) {
        for (int round = 0; round < 300; ++round) {
            QByteArray bytes = good;
            for (int i = 0; i < 4; ++i)
                bytes[qsizetype(random() % std::uint32_t(bytes.size()))] = char(random());
            if (round % 2 == 0)
                bytes.truncate(qsizetype(random() % std::uint32_t(bytes.size())));
            const TPictureDecode decode = DecodePictureBytes(bytes);
            EXPECT_EQ(decode.Ok(), !decode.picture.IsEmpty());
            QueryPictureBytes(bytes);
        }
    }
}

} // namespace
} // namespace tomeric
