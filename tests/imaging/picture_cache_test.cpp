// The picture cache: most-recently-used order, borrowing, invalidation by
// changed files, transparency regions, package pictures and cartoon strips.

#include "imaging/picture_cache.h"

#include "imaging_test_support.h"
#include "package/package.h"
#include "package/package_writer.h"

namespace tomeric {
namespace {

using namespace tomeric::testing;

constexpr QRgb kMagenta = 0xFFFF00FF;
constexpr std::uint32_t kMagentaColour = 0x00FF00FF; // 0x00BBGGRR
constexpr QRgb kRed = 0xFFFF0000;
constexpr std::uint32_t kRedColour = 0x000000FF;

class PictureCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        ASSERT_TRUE(folder_.isValid());
    }
    // Writes a PNG into the test folder and returns its path.
    QString Picture(const QString& name, const QImage& image) {
        const QString path = folder_.filePath(name);
        WriteFile(path, Encode(image, "png"));
        return path;
    }
    QString Picture(const QString& name) { return Picture(name, PatternImage(4, 4)); }

    QTemporaryDir folder_;
    TPackage noPackage_; // nothing is included: every name is a file
    TPictureCache cache_{&noPackage_};
};

std::int64_t Area(const QRegion& region) {
    std::int64_t area = 0;
    for (const QRect& rect : region)
        area += std::int64_t(rect.width()) * rect.height();
    return area;
}

// ---- capacity and order -------------------------------------------------------

TEST_F(PictureCacheTest, StartsWithThirtyEntriesAndClampsNewCapacities) {
    EXPECT_EQ(cache_.Capacity(), 30);
    const std::vector<std::pair<int, int>> cases = {{0, 1}, {-5, 1}, {7, 7}, {100, 100}, {500, 100}};
    for (const auto& [asked, kept] : cases) {
        cache_.SetCapacity(asked);
        EXPECT_EQ(cache_.Capacity(), kept) << asked;
    }
}

TEST_F(PictureCacheTest, ChangingTheCapacityEmptiesTheCache) {
    ASSERT_TRUE(cache_.GetPicture(Picture("a.png"), kNoRegionColour, -1, -1, false).Ok());
    cache_.SetCapacity(30); // unchanged: kept
    EXPECT_EQ(cache_.Count(), 1);
    cache_.SetCapacity(10);
    EXPECT_EQ(cache_.Count(), 0);
}

TEST_F(PictureCacheTest, KeepsTheMostRecentlyUsedFirst) {
    const QString a = Picture("a.png"), b = Picture("b.png"), c = Picture("c.png");
    for (const QString& name : {a, b, c, a})
        ASSERT_TRUE(cache_.GetPicture(name, kNoRegionColour, -1, -1, false).Ok());
    EXPECT_EQ(cache_.Names(), QStringList({a, c, b}));
}

TEST_F(PictureCacheTest, NamesMatchIgnoringCase) {
    const QString path = Picture("Logo.png");
    const TCachedPicture first = cache_.GetPicture(path, kNoRegionColour, -1, -1, false);
    const QString other = folder_.path() + "/LOGO.PNG";
    // The file is found through the cached entry, not decoded again.
    const TCachedPicture second = cache_.GetPicture(other, kNoRegionColour, -1, -1, false);
    EXPECT_EQ(first.view, second.view);
    EXPECT_EQ(cache_.Count(), 1);
}

TEST_F(PictureCacheTest, EvictsTheLeastRecentlyUsedEntry) {
    cache_.SetCapacity(2);
    const QString a = Picture("a.png"), b = Picture("b.png"), c = Picture("c.png");
    for (const QString& name : {a, b, c})
        cache_.GetPicture(name, kNoRegionColour, -1, -1, false);
    EXPECT_EQ(cache_.Names(), QStringList({c, b}));
}

TEST_F(PictureCacheTest, EvictionSkipsBorrowedEntries) {
    cache_.SetCapacity(2);
    const QString a = Picture("a.png"), b = Picture("b.png"), c = Picture("c.png");
    cache_.GetPicture(a, kNoRegionColour, -1, -1, true);
    cache_.GetPicture(b, kNoRegionColour, -1, -1, false);
    cache_.GetPicture(c, kNoRegionColour, -1, -1, false);
    EXPECT_EQ(cache_.Names(), QStringList({c, a}));
}

TEST_F(PictureCacheTest, CapacityOneKeepsABorrowedEntryBesideTheNextOne) {
    cache_.SetCapacity(1);
    const QString a = Picture("a.png"), b = Picture("b.png");
    const TCachedPicture first = cache_.GetPicture(a, kNoRegionColour, -1, -1, true);
    ASSERT_TRUE(cache_.GetPicture(b, kNoRegionColour, -1, -1, false).Ok());
    EXPECT_EQ(cache_.Count(), 2);
    EXPECT_TRUE(cache_.IsBorrowed(a));

    cache_.Release(first.view);
    EXPECT_FALSE(cache_.IsBorrowed(a));
    const QString c = Picture("c.png");
    cache_.GetPicture(c, kNoRegionColour, -1, -1, false);
    EXPECT_EQ(cache_.Count(), 2); // one evicted, but not two: the count only comes back down
}

TEST_F(PictureCacheTest, AViewOutlivesItsEntry) {
    cache_.SetCapacity(1);
    const TCachedPicture first = cache_.GetPicture(Picture("a.png"), kNoRegionColour, -1, -1,
                                                   false);
    cache_.GetPicture(Picture("b.png"), kNoRegionColour, -1, -1, false);
    EXPECT_EQ(cache_.Count(), 1);
    EXPECT_EQ(first.view->image.size(), QSize(4, 4));
    cache_.Release(first.view); // not in the cache any more: nothing happens
}

TEST_F(PictureCacheTest, FailuresLeaveNothingBehind) {
    EXPECT_FALSE(cache_.GetPicture(QString(), kNoRegionColour, -1, -1, false).Ok());
    EXPECT_FALSE(cache_.GetPicture(folder_.filePath("none.png"), 0, -1, -1, false).Ok());
    WriteFile(folder_.filePath("text.png"), "not a picture");
    EXPECT_FALSE(cache_.GetPicture(folder_.filePath("text.png"), 0, -1, -1, true).Ok());
    EXPECT_EQ(cache_.Count(), 0);
}

TEST_F(PictureCacheTest, AReplacedFileIsDecodedAnew) {
    const QString path = Picture("wall.png", FilledImage(2, 2, kRed));
    SetModified(path, QDateTime::currentDateTime().addSecs(-100));
    const TCachedPicture before = cache_.GetPicture(path, kNoRegionColour, -1, -1, false);
    ASSERT_TRUE(before.Ok());
    EXPECT_EQ(before.view->image.pixel(0, 0), kRed);

    Picture("wall.png", FilledImage(3, 3, kMagenta));
    SetModified(path, QDateTime::currentDateTime());
    const TCachedPicture after = cache_.GetPicture(path, kNoRegionColour, -1, -1, false);
    ASSERT_TRUE(after.Ok());
    EXPECT_EQ(after.view->image.pixel(0, 0), kMagenta);
    EXPECT_EQ(cache_.Count(), 1);
}

TEST_F(PictureCacheTest, StreamPicturesAreDecodedOnceUnderTheirName) {
    QByteArray bytes = Encode(PatternImage(5, 3), "bmp");
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    const TCachedPicture first = cache_.GetPictureFromStream("popup", stream, 0, -1, -1, false);
    ASSERT_TRUE(first.Ok());
    QBuffer empty;
    empty.open(QIODevice::ReadOnly);
    const TCachedPicture again = cache_.GetPictureFromStream("POPUP", empty, 0, -1, -1, false);
    EXPECT_EQ(first.view, again.view);
}

// ---- regions --------------------------------------------------------------------

// 4 × 2: the left column and the pixel at (2, 1) are magenta.
QImage HoledImage() {
    QImage image = FilledImage(4, 2, kRed);
    image.setPixel(0, 0, kMagenta);
    image.setPixel(0, 1, kMagenta);
    image.setPixel(2, 1, kMagenta);
    return image;
}

TEST_F(PictureCacheTest, RegionCoversTheOpaquePixels) {
    const TCachedPicture p = cache_.GetPicture(Picture("h.png", HoledImage()), kMagentaColour, -1,
                                               -1, false);
    ASSERT_TRUE(p.region.has_value());
    QRegion expected;
    expected += QRect(1, 0, 3, 1);
    expected += QRect(1, 1, 1, 1);
    expected += QRect(3, 1, 1, 1);
    EXPECT_EQ(*p.region, expected);
}

TEST_F(PictureCacheTest, OwnTransparentColourIsTheBottomLeftPixel) {
    const QString path = Picture("h.png", HoledImage());
    const TCachedPicture own = cache_.GetPicture(path, kBottomLeftColour, -1, -1, false);
    ASSERT_TRUE(own.region.has_value());
    EXPECT_EQ(Area(*own.region), 5);
    EXPECT_FALSE(own.region->contains(QPoint(0, 1)));
}

TEST_F(PictureCacheTest, NoRegionWhenNoneIsWanted) {
    const TCachedPicture p = cache_.GetPicture(Picture("h.png", HoledImage()), kNoRegionColour,
                                               -1, -1, false);
    EXPECT_TRUE(p.Ok());
    EXPECT_FALSE(p.region.has_value());
}

TEST_F(PictureCacheTest, OnlyTransparentPixelsGiveNoRegion) {
    const QString path = Picture("dot.png", FilledImage(1, 1, kMagenta));
    const TCachedPicture p = cache_.GetPicture(path, kMagentaColour, -1, -1, false);
    EXPECT_TRUE(p.Ok());
    EXPECT_FALSE(p.region.has_value());
}

TEST_F(PictureCacheTest, PicturesWithAlphaGetNoRegion) {
    QImage image(2, 2, QImage::Format_ARGB32);
    image.fill(qRgba(255, 0, 255, 100));
    const TCachedPicture p = cache_.GetPicture(Picture("a.png", image), kRedColour, -1, -1, false);
    EXPECT_TRUE(p.view->hasAlpha);
    EXPECT_FALSE(p.region.has_value());
}

TEST_F(PictureCacheTest, ASecondSizeRebuildsTheRegionForThatSize) {
    const QString path = Picture("h.png", HoledImage());
    const TCachedPicture own = cache_.GetPicture(path, kMagentaColour, -1, -1, false);
    const TCachedPicture doubled = cache_.GetPicture(path, kMagentaColour, 8, 4, false);
    ASSERT_TRUE(doubled.region.has_value());
    EXPECT_EQ(Area(*doubled.region), 4 * Area(*own.region));
    EXPECT_EQ(doubled.region->boundingRect(), QRect(2, 0, 6, 4));
    const TCachedPicture back = cache_.GetPicture(path, kMagentaColour, -1, -1, false);
    EXPECT_EQ(*back.region, *own.region);
}

TEST_F(PictureCacheTest, ABorrowedRegionIsNotRebuiltForOtherRequests) {
    const QString path = Picture("h.png", HoledImage());
    const TCachedPicture borrowed = cache_.GetPicture(path, kMagentaColour, -1, -1, true);
    ASSERT_TRUE(borrowed.region.has_value());
    EXPECT_FALSE(cache_.GetPicture(path, kMagentaColour, 8, 4, false).region.has_value());
    EXPECT_EQ(cache_.GetPicture(path, kMagentaColour, -1, -1, false).region, borrowed.region);
    cache_.Release(borrowed.view);
    EXPECT_TRUE(cache_.GetPicture(path, kMagentaColour, 8, 4, false).region.has_value());
}

TEST_F(PictureCacheTest, MonochromePicturesGetARegion) {
    QImage mono(8, 1, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(0);
    mono.setPixel(3, 0, 1);
    WriteFile(folder_.filePath("m.bmp"), Encode(mono, "bmp"));
    const TCachedPicture p = cache_.GetPicture(folder_.filePath("m.bmp"), 0x00000000, -1, -1, false);
    ASSERT_TRUE(p.Ok());
    ASSERT_TRUE(p.region.has_value());
    EXPECT_EQ(*p.region, QRegion(3, 0, 1, 1));
}

TEST(OpaqueRegion, ManyRunsAreCollectedInBatches) {
    // A checkerboard of 120 × 120 has 7200 one-pixel runs: several batches.
    QImage image = FilledImage(120, 120, kRed);
    for (int y = 0; y < 120; ++y)
        for (int x = (y % 2); x < 120; x += 2)
            image.setPixel(x, y, kMagenta);
    const auto region = BuildOpaqueRegion(image, kMagentaColour);
    ASSERT_TRUE(region.has_value());
    EXPECT_EQ(Area(*region), 7200);
    EXPECT_TRUE(region->contains(QPoint(1, 0)));
    EXPECT_FALSE(region->contains(QPoint(0, 0)));
}

TEST(OpaqueRegion, ColoursAreBlueGreenRed) {
    EXPECT_EQ(ColourOfPixel(qRgb(0x11, 0x22, 0x33)), 0x00332211u);
    EXPECT_EQ(PixelOfColour(0x00332211), qRgb(0x11, 0x22, 0x33));
    EXPECT_FALSE(BuildOpaqueRegion(QImage(), 0).has_value());
}

// ---- package pictures -----------------------------------------------------------

// A cartoon file: header, a gap, then a strip of `frames` frames 4 wide.
QByteArray CartoonFile(int frames) {
    QImage strip = FilledImage(4 * frames, 4, kRed);
    for (int y = 0; y < 4; ++y)
        strip.setPixel(0, y, kMagenta); // bottom-left is the transparent colour
    const QByteArray picture = Encode(strip, "png");
    QByteArray bytes("SN");
    AppendLE16(bytes, 16);
    AppendLE16(bytes, 0);
    AppendLE16(bytes, picture.size());
    AppendLE16(bytes, 0);
    AppendLE16(bytes, frames);
    bytes.append("\0\0\0\0", 4);
    return bytes + picture;
}

class PackagedPictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        PackageWriter writer;
        // The declared size differs from the real one: the answer must come
        // from the directory, not from decoding.
        writer.AddPicture("embedded:\\\\\\wall.png", Encode(PatternImage(6, 4), "png"), 600, 400,
                          true);
        writer.AddFile("plain.bmp", Encode(PatternImage(9, 3), "bmp"));
        writer.AddFile("cartoon.cnt", CartoonFile(3));
        writer.SetCompression(TCompression::cmAlways);
        writer.AddFile("packed.cnt", CartoonFile(5));
        const QString path = folder_.filePath("pub.pkg");
        ASSERT_TRUE(writer.WriteTo(path));
        ASSERT_EQ(package_.Open(path), kPackageOk);
    }

    QTemporaryDir folder_;
    TPackage package_;
    TPictureCache cache_{&package_};
};

TEST_F(PackagedPictureTest, InfoComesFromThePictureEntry) {
    const auto info = cache_.PictureInfo("EMBEDDED:\\\\\\WALL.PNG");
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->width, 600);
    EXPECT_EQ(info->height, 400);
    EXPECT_TRUE(info->hasAlpha);
}

TEST_F(PackagedPictureTest, InfoOfOtherEntriesComesFromTheirHeader) {
    const auto info = cache_.PictureInfo("plain.bmp");
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->width, 9);
    EXPECT_EQ(info->height, 3);
    EXPECT_FALSE(cache_.PictureInfo("missing.png").has_value());
    EXPECT_FALSE(cache_.PictureInfo(QString()).has_value());
}

TEST_F(PackagedPictureTest, IncludedPicturesAreDecodedFromThePackage) {
    const TCachedPicture p = cache_.GetPicture("embedded:\\\\\\wall.png", kNoRegionColour, -1,
                                               -1, false);
    ASSERT_TRUE(p.Ok());
    EXPECT_EQ(p.view->image.size(), QSize(6, 4));
}

TEST_F(PackagedPictureTest, CartoonStripIsReadFromItsOffset) {
    for (const auto& [name, frames] : {std::pair{"cartoon.cnt", 3}, std::pair{"packed.cnt", 5}}) {
        const TIndexedPicture strip = cache_.LoadIndexedPicture(name);
        ASSERT_TRUE(strip.Ok()) << name;
        EXPECT_EQ(strip.frameCount, frames);
        EXPECT_EQ(strip.picture.view->image.size(), QSize(4 * frames, 4));
        EXPECT_TRUE(cache_.IsBorrowed(name));
        ASSERT_TRUE(strip.picture.region.has_value());
        EXPECT_FALSE(strip.picture.region->contains(QPoint(0, 0)));
    }
}

TEST_F(PictureCacheTest, CartoonFilesOnDisk) {
    const QString good = folder_.filePath("walk.cnt");
    WriteFile(good, CartoonFile(2));
    const TIndexedPicture strip = cache_.LoadIndexedPicture(good);
    ASSERT_TRUE(strip.Ok());
    EXPECT_EQ(strip.frameCount, 2);

    WriteFile(folder_.filePath("plain.cnt"), Encode(PatternImage(2, 2), "png"));
    EXPECT_FALSE(cache_.LoadIndexedPicture(folder_.filePath("plain.cnt")).Ok());

    QByteArray pastTheEnd = CartoonFile(2);
    pastTheEnd[2] = char(0xFF); // image offset beyond the file
    pastTheEnd[3] = char(0xFF);
    WriteFile(folder_.filePath("far.cnt"), pastTheEnd);
    EXPECT_FALSE(cache_.LoadIndexedPicture(folder_.filePath("far.cnt")).Ok());

    QByteArray noFrames = CartoonFile(2);
    noFrames[10] = noFrames[11] = 0;
    WriteFile(folder_.filePath("none.cnt"), noFrames);
    EXPECT_EQ(cache_.LoadIndexedPicture(folder_.filePath("none.cnt")).frameCount, 1);
}

TEST(CartoonHeader, NeedsTheMagicAndTwelveBytes) {
    EXPECT_FALSE(ReadCartoonHeader(QByteArray("SN")).has_value());
    EXPECT_FALSE(ReadCartoonHeader(QByteArray("NS0123456789")).has_value());
    const auto header = ReadCartoonHeader(QByteArray::fromHex("534e" "20000000" "00000000" "0700"));
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->imageOffset, 0x20u);
    EXPECT_EQ(header->frameCount, 7);
}

} // namespace
} // namespace tomeric
