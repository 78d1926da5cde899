// Metafiles written record by record draw what their records say: lines,
// filled polygons, ellipses, text and an embedded bitmap land where GDI puts
// them, at the picture's own size and at twice that size (drawn again as
// vectors, not scaled as pixels), for a placeable WMF and for an EMF alike.

#include "imaging/metafile_player.h"

#include "imaging_test_support.h"
#include "metafile_writer.h"

namespace tomeric {
namespace {

using namespace tomeric::testing;

constexpr QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 160, 0), kBlue = qRgb(0, 0, 255);
constexpr QRgb kYellow = qRgb(255, 255, 0), kBlack = qRgb(0, 0, 0);
constexpr int kNullPen = 5, kTransparent = 1;

// A 2 x 2 bitmap: red, green on top; blue, yellow below.
QImage Quadrants() {
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, kRed);
    image.setPixel(1, 0, kGreen);
    image.setPixel(0, 1, kBlue);
    image.setPixel(1, 1, kYellow);
    return image;
}

// The scene, in logical units of a 200 x 100 window:
//   a red rectangle (10,10)-(60,50), a blue triangle (70,10) (130,10)
//   (100,50), a green ellipse in (140,10)-(190,50), a black line 4 units
//   wide from (10,70) to (110,70), "WWW" in 24-unit bold type at (10,74),
//   and the quadrant bitmap stretched over (150,60) 40 x 30.
QByteArray SceneWmf() {
    WmfWriter wmf = WmfWriter::Placeable(QRect(0, 0, 200, 100), 96);
    wmf.SetMapMode(8).SetWindowOrg(0, 0).SetWindowExt(200, 100);
    wmf.CreatePen(kNullPen, 0, kBlack).SelectObject(0);                       // object 0
    wmf.CreateBrush(0, kRed).SelectObject(1).Rectangle(10, 10, 60, 50);       // object 1
    wmf.DeleteObject(1).CreateBrush(0, kBlue).SelectObject(1);                // object 1 again
    wmf.Polygon({{70, 10}, {130, 10}, {100, 50}});
    wmf.CreateBrush(0, kGreen).SelectObject(2).Ellipse(140, 10, 190, 50);     // object 2
    wmf.CreatePen(0, 4, kBlack).SelectObject(3).MoveTo(10, 70).LineTo(110, 70); // object 3
    wmf.CreateFont(-24, 700, "Arial").SelectObject(4);                        // object 4
    wmf.SetBkMode(kTransparent).SetTextColor(kBlack).SetTextAlign(0).TextOut(10, 74, "WWW");
    wmf.StretchDib(Quadrants(), QRect(150, 60, 40, 30));
    return wmf.Bytes();
}

QByteArray SceneEmf() {
    EmfWriter emf = EmfWriter::AtScreenResolution(QSize(200, 100));
    emf.CreatePen(1, kNullPen, 0, kBlack).SelectObject(1);
    emf.CreateBrush(2, 0, kRed).SelectObject(2).Rectangle(10, 10, 60, 50);
    emf.CreateBrush(3, 0, kBlue).SelectObject(3).DeleteObject(2);
    emf.Polygon16({{70, 10}, {130, 10}, {100, 50}});
    emf.CreateBrush(2, 0, kGreen).SelectObject(2).Ellipse(140, 10, 190, 50);
    emf.CreatePen(4, 0, 4, kBlack).SelectObject(4).MoveTo(10, 70).LineTo(110, 70);
    emf.CreateFont(5, -24, 700, "Arial").SelectObject(5);
    emf.SetBkMode(kTransparent).SetTextColor(kBlack).SetTextAlign(0).TextOut(10, 74, "WWW");
    emf.StretchDib(Quadrants(), QRect(150, 60, 40, 30));
    return emf.Bytes();
}

bool Near(QRgb pixel, QRgb expected, int tolerance = 8) {
    return qAlpha(pixel) == 255 && std::abs(qRed(pixel) - qRed(expected)) <= tolerance
        && std::abs(qGreen(pixel) - qGreen(expected)) <= tolerance
        && std::abs(qBlue(pixel) - qBlue(expected)) <= tolerance;
}

int DarkPixels(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += qAlpha(image.pixel(x, y)) > 128 && qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    return count;
}

struct Scene {
    const char* name;
    QByteArray (*bytes)();
};

class MetafileScene : public ::testing::TestWithParam<Scene> {
protected:
    void SetUp() override {
        EnsureApplication();
        metafile = LoadMetafile(GetParam().bytes());
        ASSERT_NE(metafile, nullptr);
    }
    // The scene drawn `scale` times its own size, in straight ARGB.
    QImage Drawn(int scale) {
        TMetaPlayStats stats;
        const QImage image = RenderMetafile(*metafile, QSize(200, 100) * scale, &stats);
        EXPECT_EQ(stats.malformed, 0);
        EXPECT_FALSE(stats.exhausted);
        return image.convertToFormat(QImage::Format_ARGB32);
    }
    std::shared_ptr<const TMetafile> metafile;
};

TEST_P(MetafileScene, IsShownAtItsFrameSize) {
    EXPECT_EQ(MetafileSize(*metafile), QSize(200, 100));
    const TPictureDecode decode = DecodePictureBytes(GetParam().bytes());
    ASSERT_TRUE(decode.Ok()) << PictureErrorText(decode.error);
    EXPECT_EQ(decode.picture.image.size(), QSize(200, 100));
    EXPECT_TRUE(decode.picture.hasAlpha);
    EXPECT_TRUE(decode.picture.IsVector());
}

TEST_P(MetafileScene, ShapesLandWhereTheRecordsPutThemAtTwoSizes) {
    for (const int s : {1, 2}) {
        SCOPED_TRACE(s);
        const QImage image = Drawn(s);
        ASSERT_EQ(image.size(), QSize(200 * s, 100 * s));
        EXPECT_TRUE(Near(image.pixel(35 * s, 30 * s), kRed));
        EXPECT_TRUE(Near(image.pixel(100 * s, 20 * s), kBlue));
        EXPECT_TRUE(Near(image.pixel(165 * s, 30 * s), kGreen));
        EXPECT_TRUE(Near(image.pixel(60 * s, 70 * s), kBlack));
        // Undrawn: outside the rectangle, the triangle's sides, the
        // ellipse's corners, above and below the line.
        for (const QPoint& empty : {QPoint(5, 5), QPoint(75, 45), QPoint(125, 45), QPoint(142, 12),
                                    QPoint(188, 48), QPoint(60, 66), QPoint(60, 74), QPoint(195, 95)})
            EXPECT_EQ(qAlpha(image.pixel(empty * s)), 0) << empty.x() << "," << empty.y();
    }
}

TEST_P(MetafileScene, EdgesAreDrawnAgainAtTheLargerSize) {
    // At twice the size the rectangle's edge moves to 20 and stays sharp:
    // one pixel inside is full red, one outside untouched.
    const QImage image = Drawn(2);
    EXPECT_TRUE(Near(image.pixel(21, 60), kRed));
    EXPECT_EQ(qAlpha(image.pixel(18, 60)), 0);
    EXPECT_TRUE(Near(image.pixel(60, 21), kRed));
    EXPECT_EQ(qAlpha(image.pixel(60, 18)), 0);
}

TEST_P(MetafileScene, TextIsDrawnInItsFontAndGrowsWithThePicture) {
    const QImage small = Drawn(1);
    const QImage large = Drawn(2);
    const int inked = DarkPixels(small, QRect(10, 74, 90, 26));
    EXPECT_GT(inked, 60);
    // Nothing left of the text's start or between the line and the text.
    EXPECT_EQ(DarkPixels(small, QRect(0, 74, 8, 26)), 0);
    EXPECT_EQ(DarkPixels(small, QRect(10, 73, 90, 1)), 0);
    // Twice the size, about four times the ink.
    const int inkedLarge = DarkPixels(large, QRect(20, 148, 180, 52));
    EXPECT_GT(inkedLarge, inked * 5 / 2);
    EXPECT_LT(inkedLarge, inked * 6);
}

TEST_P(MetafileScene, EmbeddedBitmapIsStretchedOverItsRectangle) {
    for (const int s : {1, 2}) {
        SCOPED_TRACE(s);
        const QImage image = Drawn(s);
        EXPECT_TRUE(Near(image.pixel(160 * s, 67 * s), kRed, 0));
        EXPECT_TRUE(Near(image.pixel(180 * s, 67 * s), kGreen, 0));
        EXPECT_TRUE(Near(image.pixel(160 * s, 82 * s), kBlue, 0));
        EXPECT_TRUE(Near(image.pixel(180 * s, 82 * s), kYellow, 0));
        EXPECT_EQ(qAlpha(image.pixel(145 * s, 67 * s)), 0);
    }
}

TEST_P(MetafileScene, PlaysOntoAnyPainterInsideItsTarget) {
    // Onto an opaque white canvas at an offset: the scene lands inside the
    // target and leaves the rest of the canvas alone.
    QImage canvas(300, 200, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    PlayMetafile(*metafile, painter, QRectF(50, 50, 200, 100));
    painter.end();
    EXPECT_TRUE(Near(canvas.pixel(85, 80), kRed));
    EXPECT_EQ(canvas.pixel(55, 55), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(20, 20), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(270, 170), qRgb(255, 255, 255));
}

// ---- raster operations, hatches and arcs ------------------------------------------

QImage DrawnWmf(const WmfWriter& wmf, QSize size, QRgb background = 0) {
    EnsureApplication();
    const auto metafile = LoadMetafile(wmf.Bytes());
    EXPECT_NE(metafile, nullptr);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    if (metafile) {
        QPainter painter(&image);
        PlayMetafile(*metafile, painter, QRectF(QPointF(0, 0), size));
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

TEST(MetafileBlits, MaskAndPaintBlitsMakeASpriteWithATransparentBackground) {
    // The clip-art trick: AND a mask (black where the sprite is), then OR
    // the sprite (black around it). Whatever was behind shows around it.
    QImage mask(2, 1, QImage::Format_RGB32), sprite(2, 1, QImage::Format_RGB32);
    mask.setPixel(0, 0, kBlack);
    mask.setPixel(1, 0, qRgb(255, 255, 255));
    sprite.setPixel(0, 0, kRed);
    sprite.setPixel(1, 0, kBlack);
    WmfWriter wmf = WmfWriter::Placeable(QRect(0, 0, 100, 50), 96);
    wmf.StretchDib(mask, QRect(0, 0, 100, 50), 0x008800C6).StretchDib(sprite, QRect(0, 0, 100, 50), 0x00EE0086);
    const QImage alone = DrawnWmf(wmf, QSize(100, 50));
    EXPECT_EQ(alone.pixel(25, 25), kRed);
    EXPECT_EQ(qAlpha(alone.pixel(75, 25)), 0);
    const QImage onBlue = DrawnWmf(wmf, QSize(100, 50), kBlue);
    EXPECT_EQ(onBlue.pixel(25, 25), kRed);
    EXPECT_EQ(onBlue.pixel(75, 25), kBlue);
}

TEST(MetafileBrushes, HatchesShowTheBackgroundColourOnlyInOpaqueMode) {
    for (const int mode : {1, 2}) { // TRANSPARENT, OPAQUE
        SCOPED_TRACE(mode);
        WmfWriter wmf = WmfWriter::Placeable(QRect(0, 0, 100, 100), 96);
        wmf.CreatePen(kNullPen, 0, kBlack).SelectObject(0).CreateBrush(2, kBlue, 4).SelectObject(1); // HS_CROSS
        wmf.SetBkMode(mode).SetBkColor(kYellow).Rectangle(0, 0, 100, 100);
        const QImage image = DrawnWmf(wmf, QSize(100, 100));
        int blue = 0, yellow = 0, empty = 0;
        for (int y = 10; y < 90; ++y)
            for (int x = 10; x < 90; ++x) {
                const QRgb pixel = image.pixel(x, y);
                blue += pixel == kBlue;
                yellow += pixel == kYellow;
                empty += qAlpha(pixel) == 0;
            }
        EXPECT_GT(blue, 400);
        EXPECT_EQ(yellow > 400, mode == 2);
        EXPECT_EQ(empty > 400, mode == 1);
    }
}

TEST(MetafileArcs, PieRunsCounterClockwiseFromItsStartRayToItsEndRay) {
    WmfWriter wmf = WmfWriter::Placeable(QRect(0, 0, 100, 100), 96);
    wmf.CreatePen(kNullPen, 0, kBlack).SelectObject(0).CreateBrush(0, kRed).SelectObject(1);
    wmf.Record(0x081A, {0, 50, 50, 100, 100, 100, 0, 0}); // from 3 o'clock to 12 o'clock
    const QImage image = DrawnWmf(wmf, QSize(100, 100));
    EXPECT_EQ(image.pixel(70, 30), kRed);
    EXPECT_EQ(qAlpha(image.pixel(30, 30)), 0);
    EXPECT_EQ(qAlpha(image.pixel(70, 70)), 0);
    EXPECT_EQ(qAlpha(image.pixel(30, 70)), 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, MetafileScene,
                         ::testing::Values(Scene{"wmf", SceneWmf}, Scene{"emf", SceneEmf}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tomeric
