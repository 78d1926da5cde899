// Pictures inside RTF become images of the document, shown at the size the
// RTF asks for.

#include "rich_text_test_support.h"

#include <QBuffer>
#include <QImage>
#include <QTextImageFormat>

namespace tomeric {
namespace {

QImage Pattern(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 40 % 256, y * 60 % 256, 128));
    return image;
}

QByteArray Encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

class RtfPictures : public testing::RichTextTest {
protected:
    // The images of the document in order, with their formats.
    QList<QTextImageFormat> Images()
    {
        QList<QTextImageFormat> images;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isImageFormat())
                    images.append(it.fragment().charFormat().toImageFormat());
        return images;
    }

    QImage ImageOf(const QTextImageFormat& format)
    {
        return document.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
    }
};

TEST_F(RtfPictures, PngIsShownAtItsGoalSize)
{
    const QImage image = Pattern(4, 3);
    Read("{\\rtf1 a{\\pict\\pngblip\\picw4\\pich3\\picwgoal1440\\pichgoal720 " +
         Encoded(image, "PNG").toHex() + "}b}");
    const auto images = Images();
    ASSERT_EQ(images.size(), 1);
    EXPECT_DOUBLE_EQ(images[0].width(), 96.0);
    EXPECT_DOUBLE_EQ(images[0].height(), 48.0);
    EXPECT_EQ(ImageOf(images[0]).pixel(3, 2), image.pixel(3, 2));
    EXPECT_EQ(Text(), QString("a") + QChar::ObjectReplacementCharacter + "b");
}

TEST_F(RtfPictures, ScaleApplies)
{
    Read("{\\rtf1{\\pict\\pngblip\\picscalex50\\picscaley200 " + Encoded(Pattern(10, 10), "PNG").toHex() +
         "}}");
    const auto images = Images();
    ASSERT_EQ(images.size(), 1);
    EXPECT_DOUBLE_EQ(images[0].width(), 5.0);
    EXPECT_DOUBLE_EQ(images[0].height(), 20.0);
}

TEST_F(RtfPictures, HexWithLineBreaksAndBinaryData)
{
    QByteArray hex = Encoded(Pattern(3, 3), "PNG").toHex();
    for (qsizetype at = 64; at < hex.size(); at += 66)
        hex.insert(at, "\r\n");
    const QByteArray png = Encoded(Pattern(2, 2), "PNG");
    Read("{\\rtf1{\\pict\\pngblip " + hex + "}{\\pict\\pngblip\\bin" + QByteArray::number(png.size()) +
         " " + png + "}}");
    ASSERT_EQ(Images().size(), 2);
    EXPECT_EQ(ImageOf(Images()[1]).size(), QSize(2, 2));
}

TEST_F(RtfPictures, JpegIsRead)
{
    const QByteArray jpeg = Encoded(Pattern(8, 8), "JPEG");
    if (jpeg.isEmpty())
        GTEST_SKIP() << "no JPEG writer in this Qt build";
    Read("{\\rtf1{\\pict\\jpegblip " + jpeg.toHex() + "}}");
    ASSERT_EQ(Images().size(), 1);
    EXPECT_EQ(ImageOf(Images()[0]).size(), QSize(8, 8));
}

TEST_F(RtfPictures, DeviceIndependentBitmapIsRead)
{
    const QImage image = Pattern(5, 4);
    const QByteArray bmp = Encoded(image, "BMP");
    Read("{\\rtf1{\\pict\\dibitmap0\\picw5\\pich4 " + bmp.mid(14).toHex() + "}}");
    ASSERT_EQ(Images().size(), 1);
    EXPECT_EQ(ImageOf(Images()[0]).pixel(4, 3), image.pixel(4, 3));
}

TEST_F(RtfPictures, MonochromeWindowsBitmapIsRead)
{
    // 3x2 pixels, rows of two bytes: 101 / 010.
    Read("{\\rtf1{\\pict\\wbitmap0\\picw3\\pich2\\wbmbitspixel1\\wbmplanes1\\wbmwidthbytes2 "
         "a0004000}}");
    ASSERT_EQ(Images().size(), 1);
    const QImage image = ImageOf(Images()[0]);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(1, 1), qRgb(255, 255, 255));
}

TEST_F(RtfPictures, AlternativePictureIsShownOnce)
{
    const QByteArray png = Encoded(Pattern(2, 2), "PNG").toHex();
    Read("{\\rtf1{\\*\\shppict{\\pict\\pngblip " + png + "}}{\\nonshppict{\\pict\\wmetafile8 0100}}x}");
    EXPECT_EQ(Images().size(), 1);
    EXPECT_EQ(Text(), QString(QChar::ObjectReplacementCharacter) + "x");
}

TEST_F(RtfPictures, UnreadablePicturesShowNothing)
{
    Read("{\\rtf1 a{\\pict\\wmetafile8\\picw10\\pich10 0100090000}"
         "{\\pict\\pngblip 89504e470d0a1a0a0000}"
         "{\\pict\\wbitmap0\\picw100000\\pich100000\\wbmbitspixel1 00}"
         "{\\pict\\dibitmap0 28000000ffffff7fffffff7f}b}");
    EXPECT_TRUE(Images().isEmpty());
    EXPECT_EQ(Text(), "ab");
}

} // namespace
} // namespace tomeric
