// Metafiles where pictures are read: the size a header tells (for the
// packer's picture entries and PictureInfo), decoding into a picture that
// keeps its vectors, and the picture cache drawing a metafile again at the
// size asked, with its region made of what was drawn.

#include "imaging/metafile_player.h"
#include "imaging/picture_cache.h"
#include "package/package.h"
#include "package/picture_header.h"

#include "imaging_test_support.h"
#include "metafile_writer.h"

namespace tomeric {
namespace {

using namespace tomeric::testing;

constexpr QRgb kRed = qRgb(255, 0, 0), kBlue = qRgb(0, 0, 255), kBlack = qRgb(0, 0, 0);
constexpr std::uint32_t kRedColour = 0x000000FF; // 0x00BBGGRR

// 200 x 100: a red rectangle (10,10)-(60,50) and a blue one (100,10)-(150,50).
QByteArray TwoRectangles() {
    WmfWriter wmf = WmfWriter::Placeable(QRect(0, 0, 200, 100), 96);
    wmf.CreatePen(5, 0, kBlack).SelectObject(0);
    wmf.CreateBrush(0, kRed).SelectObject(1).Rectangle(10, 10, 60, 50);
    wmf.CreateBrush(0, kBlue).SelectObject(2).Rectangle(100, 10, 150, 50);
    return wmf.Bytes();
}

// ---- sizes from headers ------------------------------------------------------------

TEST(MetafileHeaders, PlaceableWmfIsItsBoxAtItsUnitsPerInch) {
    WmfWriter wmf = WmfWriter::Placeable(QRect(0, 0, 1440, 720), 1440);
    const auto header = ReadPictureHeader(wmf.Bytes());
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->width, 96);
    EXPECT_EQ(header->height, 48);
    EXPECT_TRUE(header->hasAlpha); // what is not drawn shows through
}

TEST(MetafileHeaders, PlainWmfIsItsWindowElseWhatItDrawsElseADefault) {
    WmfWriter windowed = WmfWriter::Plain();
    windowed.SetMapMode(8).SetWindowOrg(5, 5).SetWindowExt(120, -60);
    const auto fromWindow = ReadMetafileFrame(windowed.Bytes());
    ASSERT_TRUE(fromWindow.has_value());
    EXPECT_EQ(fromWindow->kind, TMetafileKind::PlainWmf);
    EXPECT_EQ(QSize(fromWindow->pixelWidth, fromWindow->pixelHeight), QSize(120, 60));
    EXPECT_EQ(fromWindow->frame, QRectF(5, -55, 120, 60));

    WmfWriter drawn = WmfWriter::Plain();
    drawn.Rectangle(10, 20, 110, 70).Ellipse(30, 30, 60, 60);
    const auto fromDrawing = ReadPictureHeader(drawn.Bytes());
    ASSERT_TRUE(fromDrawing.has_value());
    EXPECT_EQ(QSize(fromDrawing->width, fromDrawing->height), QSize(100, 50));

    WmfWriter empty = WmfWriter::Plain();
    const auto fallback = ReadPictureHeader(empty.Bytes());
    ASSERT_TRUE(fallback.has_value());
    EXPECT_EQ(QSize(fallback->width, fallback->height), QSize(kDefaultMetafileSide, kDefaultMetafileSide));
}

TEST(MetafileHeaders, EmfIsItsFrameInHundredthsOfAMillimetre) {
    EmfWriter emf(QRect(0, 0, 2540, 1270), QSize(1024, 768), QSize(320, 240));
    const auto header = ReadPictureHeader(emf.Bytes());
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(QSize(header->width, header->height), QSize(96, 48));
    const auto frame = ReadMetafileFrame(emf.Bytes());
    ASSERT_TRUE(frame.has_value());
    EXPECT_DOUBLE_EQ(frame->unitsPerMmX, 3.2);
    EXPECT_DOUBLE_EQ(frame->frame.width(), 81.28); // 25.4 mm of the reference device
}

TEST(MetafileHeaders, EmfDrawnOutsideItsFrameIsFramedByItsBounds) {
    // Bounds (the device rectangle drawn on) far from the frame.
    QByteArray bytes = EmfWriter::AtScreenResolution(QSize(100, 100)).Bytes();
    const std::int32_t bounds[] = {0, -500, 199, -401};
    for (int i = 0; i < 4; ++i)
        for (int b = 0; b < 4; ++b)
            bytes[8 + 4 * i + b] = char(bounds[i] >> (8 * b) & 0xFF);
    const auto frame = ReadMetafileFrame(bytes);
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->frame, QRectF(0, -500, 200, 100));
    EXPECT_EQ(QSize(frame->pixelWidth, frame->pixelHeight), QSize(200, 100));
}

TEST(MetafileHeaders, FileQueryReadsAsFarAsAPlainWmfNeeds) {
    EnsureApplication();
    QTemporaryDir folder;
    // The window extent comes after 70 KB of a comment (META_ESCAPE).
    WmfWriter wmf = WmfWriter::Plain();
    wmf.Record(0x0626, {15, 35000}, QByteArray(70000, 'c')).SetWindowExt(300, 150);
    WriteFile(folder.filePath("late.wmf"), wmf.Bytes());
    const auto info = QueryPictureFile(folder.filePath("late.wmf"));
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(QSize(info->width, info->height), QSize(300, 150));
    EXPECT_TRUE(info->hasAlpha);

    TPackage noPackage;
    TPictureCache cache(&noPackage);
    WriteFile(folder.filePath("two.wmf"), TwoRectangles());
    const auto fromCache = cache.PictureInfo(folder.filePath("two.wmf"));
    ASSERT_TRUE(fromCache.has_value());
    EXPECT_EQ(QSize(fromCache->width, fromCache->height), QSize(200, 100));
}

// ---- pictures -------------------------------------------------------------------------

TEST(MetafilePictures, DecodedPictureKeepsItsVectors) {
    EnsureApplication();
    const TPictureDecode decode = DecodePictureBytes(TwoRectangles());
    ASSERT_TRUE(decode.Ok());
    EXPECT_EQ(decode.picture.format, "wmf");
    ASSERT_TRUE(decode.picture.IsVector());
    const QImage large = DrawnAtSize(decode.picture, QSize(600, 300));
    ASSERT_EQ(large.size(), QSize(600, 300));
    // Edges at three times their place, sharp.
    EXPECT_EQ(large.pixel(31, 100), kRed);
    EXPECT_EQ(qAlpha(large.pixel(28, 100)), 0);
    EXPECT_EQ(large.pixel(301, 100), kBlue);
}

TEST(MetafilePictures, OtherPicturesAreScaledToTheSizeAsked) {
    TPicture picture;
    picture.image = FilledImage(4, 2, kRed);
    EXPECT_EQ(DrawnAtSize(picture, QSize(4, 2)), picture.image);
    const QImage scaled = DrawnAtSize(picture, QSize(8, 4));
    EXPECT_EQ(scaled.size(), QSize(8, 4));
    EXPECT_EQ(scaled.pixel(5, 3), kRed);
    EXPECT_TRUE(DrawnAtSize(picture, QSize()).isNull());
}

class MetafileCache : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        ASSERT_TRUE(folder_.isValid());
        name_ = folder_.filePath("logo.wmf");
        WriteFile(name_, TwoRectangles());
    }
    QTemporaryDir folder_;
    QString name_;
    TPackage noPackage_;
    TPictureCache cache_{&noPackage_};
};

TEST_F(MetafileCache, DrawsTheMetafileAgainAtTheSizeAsked) {
    const TCachedPicture own = cache_.GetPicture(name_, kNoRegionColour, -1, -1, false);
    ASSERT_TRUE(own.Ok());
    EXPECT_EQ(own.view->image.size(), QSize(200, 100));
    const TCachedPicture large = cache_.GetPicture(name_, kNoRegionColour, 400, 200, false);
    ASSERT_TRUE(large.Ok());
    ASSERT_EQ(large.view->image.size(), QSize(400, 200));
    EXPECT_EQ(large.view->image.pixel(21, 60), kRed);
    EXPECT_EQ(qAlpha(large.view->image.pixel(18, 60)), 0);
    // Asking again for the same size gives the same drawing.
    EXPECT_EQ(cache_.GetPicture(name_, kNoRegionColour, 400, 200, false).view, large.view);
    EXPECT_EQ(cache_.Count(), 1);
}

TEST_F(MetafileCache, RegionIsWhatWasDrawnLessTheTransparentColour) {
    const TCachedPicture drawn = cache_.GetPicture(name_, kBottomLeftColour, 400, 200, false);
    ASSERT_TRUE(drawn.region.has_value());
    EXPECT_TRUE(drawn.region->contains(QPoint(70, 60)));   // red
    EXPECT_TRUE(drawn.region->contains(QPoint(250, 60)));  // blue
    EXPECT_FALSE(drawn.region->contains(QPoint(5, 5)));    // undrawn
    EXPECT_FALSE(drawn.region->contains(QPoint(150, 60))); // between them

    const TCachedPicture lessRed = cache_.GetPicture(name_, kRedColour, -1, -1, false);
    ASSERT_TRUE(lessRed.region.has_value());
    EXPECT_FALSE(lessRed.region->contains(QPoint(35, 30)));
    EXPECT_TRUE(lessRed.region->contains(QPoint(125, 30)));

    EXPECT_FALSE(cache_.GetPicture(name_, kNoRegionColour, -1, -1, false).region.has_value());
}

TEST_F(MetafileCache, ADrawingAtAnotherSizeIsGivenBackLikeTheOriginal) {
    const TCachedPicture large = cache_.GetPicture(name_, kNoRegionColour, 300, 150, true);
    ASSERT_TRUE(large.Ok());
    EXPECT_TRUE(cache_.IsBorrowed(name_));
    cache_.Release(large.view);
    EXPECT_FALSE(cache_.IsBorrowed(name_));
}

TEST_F(MetafileCache, DamagedMetafileCannotBeLoaded) {
    const QString damaged = folder_.filePath("cut.wmf");
    WriteFile(damaged, TwoRectangles().left(60));
    EXPECT_FALSE(cache_.GetPicture(damaged, kNoRegionColour, -1, -1, false).Ok());
    EXPECT_EQ(DecodePictureFile(damaged).error, TPictureError::peCorrupt);
    EXPECT_EQ(cache_.Count(), 0);
}

} // namespace
} // namespace tomeric
