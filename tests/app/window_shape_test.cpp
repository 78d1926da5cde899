// Window shapes: the opaque part of the SHAPEFILE picture.

#include "pages/picture_store.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

namespace tomeric {
namespace {

class WindowShapeTest : public ::testing::Test {
protected:
    QString Save(const QImage& image, const char* name)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }
    QTemporaryDir dir;
    TPictureStore store;
};

TEST_F(WindowShapeTest, TheTransparentColourIsCutAway)
{
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::black);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            picture.setPixel(x, y, qRgb(255, 255, 255));
    const auto shape = store.WindowShape(Save(picture, "half.png"), 0x000000);
    ASSERT_TRUE(shape.has_value());
    EXPECT_EQ(shape->size, QSize(40, 20));
    EXPECT_TRUE(shape->region.contains(QPoint(5, 5)));
    EXPECT_FALSE(shape->region.contains(QPoint(25, 5)));
}

TEST_F(WindowShapeTest, TheBottomLeftPixelIsTheTransparentColourWhenAskedFor)
{
    QImage picture(10, 10, QImage::Format_RGB32);
    picture.fill(qRgb(0, 0, 255));
    picture.setPixel(5, 5, qRgb(255, 0, 0));
    const auto shape = store.WindowShape(Save(picture, "dot.png"), 0x20000000);
    ASSERT_TRUE(shape.has_value());
    EXPECT_TRUE(shape->region.contains(QPoint(5, 5)));
    EXPECT_FALSE(shape->region.contains(QPoint(1, 1)));
}

TEST_F(WindowShapeTest, AnAlphaChannelGivesTheShape)
{
    QImage picture(10, 10, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    picture.setPixel(2, 3, qRgba(0, 0, 0, 255));
    const auto shape = store.WindowShape(Save(picture, "alpha.png"), 0x000000);
    ASSERT_TRUE(shape.has_value());
    EXPECT_TRUE(shape->region.contains(QPoint(2, 3)));
    EXPECT_FALSE(shape->region.contains(QPoint(7, 7)));
}

TEST_F(WindowShapeTest, AMissingPictureGivesNoShape)
{
    EXPECT_FALSE(store.WindowShape(dir.filePath(QStringLiteral("none.png")), 0).has_value());
}

TEST_F(WindowShapeTest, CacheSizeIsClampedToItsRange)
{
    store.SetCapacity(0);
    EXPECT_EQ(store.Capacity(), 1);
    store.SetCapacity(500);
    EXPECT_EQ(store.Capacity(), 100);
}

} // namespace
} // namespace tomeric
