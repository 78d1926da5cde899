// Where logical coordinates land: mapping modes (text, metric, isotropic,
// anisotropic), a window extent that turns the y axis upwards, viewport
// origins, world transforms, and clip rectangles with SaveDC / RestoreDC.

#include "imaging/metafile_player.h"

#include "imaging_test_support.h"
#include "metafile_writer.h"

namespace tomeric {
namespace {

using namespace tomeric::testing;

constexpr QRgb kRed = qRgb(255, 0, 0), kBlack = qRgb(0, 0, 0);
constexpr int kNullPen = 5;
enum { mmText = 1, mmLoMetric = 2, mmIsotropic = 7, mmAnisotropic = 8 };

// The metafile drawn at its own size.
QImage Drawn(const QByteArray& bytes) {
    EnsureApplication();
    const auto metafile = LoadMetafile(bytes);
    EXPECT_NE(metafile, nullptr);
    if (!metafile)
        return {};
    return RenderMetafile(*metafile, MetafileSize(*metafile)).convertToFormat(QImage::Format_ARGB32);
}

bool Red(const QImage& image, int x, int y) { return image.pixel(x, y) == kRed; }
bool Empty(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)) == 0; }

// A 200 x 100 placeable WMF that fills with red, no outline.
WmfWriter RedWmf() {
    WmfWriter wmf = WmfWriter::Placeable(QRect(0, 0, 200, 100), 96);
    wmf.CreatePen(kNullPen, 0, kBlack).SelectObject(0).CreateBrush(0, kRed).SelectObject(1);
    return wmf;
}

// A 200 x 100 EMF at 96 dpi that fills with red, no outline.
EmfWriter RedEmf() {
    EmfWriter emf = EmfWriter::AtScreenResolution(QSize(200, 100));
    emf.CreatePen(1, kNullPen, 0, kBlack).SelectObject(1).CreateBrush(2, 0, kRed).SelectObject(2);
    return emf;
}

TEST(MetafileMapping, WindowExtentWithANegativeHeightTurnsTheYAxisUp) {
    // Logical y runs from 0 at the bottom to 1000 at the top.
    WmfWriter wmf = RedWmf();
    wmf.SetMapMode(mmAnisotropic).SetWindowOrg(0, 1000).SetWindowExt(2000, -1000);
    wmf.Rectangle(100, 100, 600, 400); // near the bottom-left corner
    const QImage image = Drawn(wmf.Bytes());
    EXPECT_TRUE(Red(image, 30, 75));  // x 10..60, y 60..90 on the picture
    EXPECT_TRUE(Red(image, 12, 88));
    EXPECT_TRUE(Empty(image, 30, 25));
    EXPECT_TRUE(Empty(image, 30, 55));
    EXPECT_TRUE(Empty(image, 65, 75));
}

TEST(MetafileMapping, WindowIsStretchedOverTheFrameWhateverItsUnits) {
    // The placeable box says 200 x 100; the records draw in a 20 x 10 window.
    WmfWriter wmf = RedWmf();
    wmf.SetMapMode(mmAnisotropic).SetWindowOrg(0, 0).SetWindowExt(20, 10);
    wmf.Rectangle(10, 5, 20, 10);
    const QImage image = Drawn(wmf.Bytes());
    EXPECT_TRUE(Red(image, 150, 75));
    EXPECT_TRUE(Red(image, 102, 52));
    EXPECT_TRUE(Empty(image, 95, 75));
    EXPECT_TRUE(Empty(image, 150, 45));
}

TEST(MetafileMapping, PlainWmfTakesItsSizeFromItsWindow) {
    WmfWriter wmf = WmfWriter::Plain();
    wmf.SetMapMode(mmAnisotropic).SetWindowOrg(-50, -25).SetWindowExt(120, 60);
    wmf.CreatePen(kNullPen, 0, kBlack).SelectObject(0).CreateBrush(0, kRed).SelectObject(1);
    wmf.Rectangle(-50, -25, 0, 0);
    const QImage image = Drawn(wmf.Bytes());
    ASSERT_EQ(image.size(), QSize(120, 60));
    EXPECT_TRUE(Red(image, 25, 12));
    EXPECT_TRUE(Empty(image, 60, 30));
}

TEST(MetafileMapping, EmfMetricModeCountsTenthsOfMillimetresUpwards) {
    // 96 dots per inch: 1 mm is 3.78 pixels. A 20 x 10 mm rectangle whose
    // top-left corner is 10 mm right of and 10 mm below the origin: pixels
    // 37.8 to 113.4 across, 37.8 to 75.6 down.
    EmfWriter emf = RedEmf();
    emf.SetMapMode(mmLoMetric).Rectangle(100, -100, 300, -200);
    const QImage image = Drawn(emf.Bytes());
    EXPECT_TRUE(Red(image, 40, 40));
    EXPECT_TRUE(Red(image, 110, 73));
    EXPECT_TRUE(Empty(image, 36, 60));
    EXPECT_TRUE(Empty(image, 116, 60));
    EXPECT_TRUE(Empty(image, 60, 36));
    EXPECT_TRUE(Empty(image, 60, 78));
}

TEST(MetafileMapping, EmfIsotropicModeKeepsUnitsSquare) {
    // A 100 x 100 window on a 200 x 100 viewport: isotropic uses 1 pixel per
    // unit both ways, anisotropic stretches across.
    for (const int mode : {mmIsotropic, mmAnisotropic}) {
        SCOPED_TRACE(mode);
        EmfWriter emf = RedEmf();
        emf.SetMapMode(mode).SetWindowExt(100, 100).SetViewportExt(200, 100).Rectangle(0, 0, 100, 100);
        const QImage image = Drawn(emf.Bytes());
        EXPECT_TRUE(Red(image, 50, 50));
        EXPECT_EQ(Red(image, 150, 50), mode == mmAnisotropic);
    }
}

TEST(MetafileMapping, EmfOriginsMoveTheDrawing) {
    // Window origin (-20, 0) and viewport origin (0, 30): logical (0, 0)
    // lands on pixel (20, 30).
    EmfWriter emf = RedEmf();
    emf.SetMapMode(mmText).SetWindowOrg(-20, 0).SetViewportOrg(0, 30).Rectangle(0, 0, 40, 40);
    const QImage image = Drawn(emf.Bytes());
    EXPECT_TRUE(Red(image, 22, 32));
    EXPECT_TRUE(Red(image, 58, 68));
    EXPECT_TRUE(Empty(image, 18, 50));
    EXPECT_TRUE(Empty(image, 40, 28));
}

TEST(MetafileMapping, EmfWorldTransformScalesAndMoves) {
    EmfWriter emf = RedEmf();
    emf.SetWorldTransform(2, 0, 0, 2, 100, 0).Rectangle(0, 0, 20, 20);
    const QImage image = Drawn(emf.Bytes());
    EXPECT_TRUE(Red(image, 102, 2));
    EXPECT_TRUE(Red(image, 138, 38));
    EXPECT_TRUE(Empty(image, 98, 10));
    EXPECT_TRUE(Empty(image, 142, 10));
}

TEST(MetafileMapping, WorldTransformsThatCollapseAreIgnored) {
    EmfWriter emf = RedEmf();
    emf.SetWorldTransform(0, 0, 0, 0, 0, 0).SetWorldTransform(1e30f, 0, 0, 1e30f, 0, 0).Rectangle(0, 0, 20, 20);
    const QImage image = Drawn(emf.Bytes());
    EXPECT_TRUE(Red(image, 10, 10));
    EXPECT_TRUE(Empty(image, 30, 30));
}

// ---- clipping ---------------------------------------------------------------------

TEST(MetafileClipping, IntersectedRectangleLimitsWhatIsDrawn) {
    WmfWriter wmf = RedWmf();
    wmf.SetMapMode(mmAnisotropic).SetWindowOrg(0, 0).SetWindowExt(200, 100);
    wmf.IntersectClipRect(50, 20, 150, 80).Rectangle(0, 0, 200, 100);
    const QImage image = Drawn(wmf.Bytes());
    EXPECT_TRUE(Red(image, 51, 21));
    EXPECT_TRUE(Red(image, 148, 78));
    EXPECT_TRUE(Empty(image, 48, 50));
    EXPECT_TRUE(Empty(image, 151, 50));
    EXPECT_TRUE(Empty(image, 100, 18));
    EXPECT_TRUE(Empty(image, 100, 81));
}

TEST(MetafileClipping, ExcludedRectangleIsLeftOutAndRestoreDcBringsTheClipBack) {
    EmfWriter emf = RedEmf();
    emf.SaveDc().ExcludeClipRect(0, 0, 100, 100).Rectangle(0, 0, 200, 50); // right half only
    emf.RestoreDc(-1).Rectangle(0, 60, 200, 100);                          // all across again
    const QImage image = Drawn(emf.Bytes());
    EXPECT_TRUE(Empty(image, 50, 25));
    EXPECT_TRUE(Red(image, 150, 25));
    EXPECT_TRUE(Red(image, 50, 80));
    EXPECT_TRUE(Red(image, 150, 80));
}

TEST(MetafileClipping, ClipFollowsTheMappingAtTheTimeItIsSet) {
    // The clip rectangle is given in logical units of a 20 x 10 window.
    WmfWriter wmf = RedWmf();
    wmf.SetMapMode(mmAnisotropic).SetWindowOrg(0, 0).SetWindowExt(20, 10);
    wmf.IntersectClipRect(0, 0, 10, 5).Rectangle(0, 0, 20, 10);
    const QImage image = Drawn(wmf.Bytes());
    EXPECT_TRUE(Red(image, 50, 25));
    EXPECT_TRUE(Empty(image, 150, 25));
    EXPECT_TRUE(Empty(image, 50, 75));
}

TEST(MetafileClipping, DrawingNeverLeavesTheTarget) {
    EmfWriter emf = RedEmf();
    emf.Rectangle(-5000, -5000, 5000, 5000);
    EnsureApplication();
    const auto metafile = LoadMetafile(emf.Bytes());
    ASSERT_NE(metafile, nullptr);
    QImage canvas(400, 300, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    PlayMetafile(*metafile, painter, QRectF(100, 100, 200, 100));
    painter.end();
    EXPECT_EQ(canvas.pixel(150, 150), kRed);
    EXPECT_EQ(qAlpha(canvas.pixel(50, 150)), 0);
    EXPECT_EQ(qAlpha(canvas.pixel(150, 250)), 0);
}

} // namespace
} // namespace tomeric
