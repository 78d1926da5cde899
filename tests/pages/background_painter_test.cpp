// Page backgrounds: colours as publications write them, the gradient's line
// stepping, and wallpapers tiled, centred and stretched.

#include "pages/background_painter.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace tomeric {
namespace {

QImage Paint(const TBackgroundLook& look, QSize size, const TWallpaperSource& wallpapers = {})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    PaintBackground(painter, QRect(QPoint(0, 0), size), look, wallpapers);
    painter.end();
    return image;
}

// A tile whose left half is red and right half blue.
QImage RedBlueTile(int width, int height)
{
    QImage tile(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            tile.setPixel(x, y, x < width / 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    return tile;
}

TWallpaperSource Serving(const QImage& picture)
{
    return [picture](const QString& name) { return name == QLatin1String("tile.png") ? picture : QImage(); };
}

struct ColourCase {
    std::int32_t value;
    QColor expected;
};

class PublicationColour : public ::testing::TestWithParam<ColourCase> {};

TEST_P(PublicationColour, ReadsBlueGreenRedFromHighToLow)
{
    EXPECT_EQ(TomericColor(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, PublicationColour,
                         ::testing::Values(ColourCase{0x000000FF, QColor(255, 0, 0)},
                                           ColourCase{0x0000FF00, QColor(0, 255, 0)},
                                           ColourCase{0x00FF0000, QColor(0, 0, 255)},
                                           ColourCase{0x00123456, QColor(0x56, 0x34, 0x12)},
                                           ColourCase{0x00FFFFFF, QColor(255, 255, 255)}));

TEST(PublicationColour, SystemColourIsAValidColour)
{
    EXPECT_TRUE(TomericColor(std::int32_t(0xFF00000F)).isValid());
}

TEST(GradientLines, EqualColoursGiveNoLines)
{
    EXPECT_TRUE(GradientLineColors(0x123456, 0x123456, 50).empty());
    EXPECT_TRUE(GradientLineColors(0x000000, 0xFFFFFF, 0).empty());
}

TEST(GradientLines, StartsWithTheFirstColourAndStepsByTheLargestDifference)
{
    // Black to white over 51 lines: step 5 per line on every channel.
    const auto lines = GradientLineColors(0x000000, 0xFFFFFF, 51);
    ASSERT_EQ(lines.size(), 51u);
    EXPECT_EQ(lines.front(), QColor(0, 0, 0));
    EXPECT_EQ(lines[1], QColor(5, 5, 5));
    EXPECT_EQ(lines[10], QColor(50, 50, 50));
    EXPECT_EQ(lines.back(), QColor(250, 250, 250));
}

TEST(GradientLines, ChannelsMoveTowardsTheSecondColourEachWay)
{
    // Red 200 -> 0 and blue 0 -> 100 over 100 lines: step 2 for both.
    const auto lines = GradientLineColors(0x0000C8, 0x640000, 100);
    ASSERT_EQ(lines.size(), 100u);
    EXPECT_EQ(lines[1], QColor(198, 0, 2));
    EXPECT_EQ(lines[10], QColor(180, 0, 20));
    // Blue reaches 100 at line 50 and stays there while red goes on down.
    EXPECT_EQ(lines[50], QColor(100, 0, 100));
    EXPECT_EQ(lines[60], QColor(80, 0, 100));
}

TEST(GradientLines, ChannelsStayWithinTheByteRange)
{
    // A step larger than what is left never leaves 0..255.
    for (const QColor& c : GradientLineColors(0x000000, 0xFFFFFF, 3)) {
        EXPECT_GE(c.red(), 0);
        EXPECT_LE(c.red(), 255);
    }
}

TEST(GradientPainting, VerticalDirectionDrawsHorizontalLinesTopToBottom)
{
    TBackgroundLook look;
    look.style = pbGradient;
    look.gradient1 = 0x000000;
    look.gradient2 = 0xFFFFFF;
    look.gradientDir = G_Vert;
    const QImage image = Paint(look, QSize(30, 51));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(29, 10), QColor(50, 50, 50));
    EXPECT_EQ(image.pixelColor(15, 50), QColor(250, 250, 250));
}

TEST(GradientPainting, HorizontalDirectionDrawsVerticalLinesLeftToRight)
{
    TBackgroundLook look;
    look.style = pbGradient;
    look.gradient1 = 0x000000;
    look.gradient2 = 0xFFFFFF;
    look.gradientDir = G_Horz;
    const QImage image = Paint(look, QSize(51, 20));
    EXPECT_EQ(image.pixelColor(10, 0), QColor(50, 50, 50));
    EXPECT_EQ(image.pixelColor(10, 19), QColor(50, 50, 50));
}

TEST(GradientPainting, EqualColoursFillWithTheFirst)
{
    TBackgroundLook look;
    look.style = pbGradient;
    look.gradient1 = look.gradient2 = 0x0000FF;
    EXPECT_EQ(Paint(look, QSize(10, 10)).pixelColor(5, 5), QColor(255, 0, 0));
}

TEST(SolidPainting, FillsWithTheColour)
{
    TBackgroundLook look;
    look.color = 0x00FF00;
    const QImage image = Paint(look, QSize(20, 10));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(19, 9), QColor(0, 255, 0));
}

TEST(WallpaperPainting, TilesFromTheTopLeftCorner)
{
    TBackgroundLook look;
    look.style = pbWallpaper;
    look.wallpaper = QStringLiteral("tile.png");
    look.wallpaperStyle = wsTile;
    const QImage image = Paint(look, QSize(50, 25), Serving(RedBlueTile(20, 10)));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(15, 5), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(25, 15), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(49, 24), QColor(255, 0, 0)); // a cut tile at the corner
}

TEST(WallpaperPainting, CentresOneCopyAndFillsTheRestWithTheColour)
{
    TBackgroundLook look;
    look.style = pbWallpaper;
    look.color = 0x00FFFF; // yellow
    look.wallpaper = QStringLiteral("tile.png");
    look.wallpaperStyle = wsCenter;
    const QImage image = Paint(look, QSize(41, 21), Serving(RedBlueTile(20, 10)));
    // Halved differences rounded towards zero: the copy starts at 10,5.
    EXPECT_EQ(image.pixelColor(9, 5), QColor(255, 255, 0));
    EXPECT_EQ(image.pixelColor(10, 5), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(29, 14), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(30, 14), QColor(255, 255, 0));
    EXPECT_EQ(image.pixelColor(10, 15), QColor(255, 255, 0));
}

TEST(WallpaperPainting, StretchesOneCopyOverTheArea)
{
    TBackgroundLook look;
    look.style = pbWallpaper;
    look.wallpaper = QStringLiteral("tile.png");
    look.wallpaperStyle = wsStretched;
    const QImage image = Paint(look, QSize(200, 100), Serving(RedBlueTile(20, 10)));
    EXPECT_EQ(image.pixelColor(90, 50), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(110, 50), QColor(0, 0, 255));
}

TEST(WallpaperPainting, AMissingPictureFillsWithTheColour)
{
    TBackgroundLook look;
    look.style = pbWallpaper;
    look.color = 0x0000FF;
    look.wallpaper = QStringLiteral("missing.png");
    EXPECT_EQ(Paint(look, QSize(10, 10), Serving(RedBlueTile(4, 4))).pixelColor(5, 5), QColor(255, 0, 0));
    look.wallpaper.clear();
    EXPECT_EQ(Paint(look, QSize(10, 10), Serving(RedBlueTile(4, 4))).pixelColor(5, 5), QColor(255, 0, 0));
}

} // namespace
} // namespace tomeric
