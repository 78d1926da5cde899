// Windows metafiles inside RTF (\wmetafile8 with its goal size, \emfblip)
// become images drawn as vectors at the size the text shows them.

#include "rich_text_test_support.h"

#include "../imaging/metafile_writer.h"

#include <QBuffer>
#include <QImage>
#include <QTextImageFormat>

namespace tomeric {
namespace {

using namespace tomeric::testing;

constexpr QRgb kRed = qRgb(255, 0, 0), kBlue = qRgb(0, 0, 255), kBlack = qRgb(0, 0, 0);

// A 200 x 100 window: a red rectangle (10,10)-(60,50), a blue one
// (100,10)-(150,50). \wmetafile data is a plain WMF (no placeable header).
QByteArray PlainWmf() {
    WmfWriter wmf = WmfWriter::Plain();
    wmf.SetMapMode(8).SetWindowOrg(0, 0).SetWindowExt(200, 100);
    wmf.CreatePen(5, 0, kBlack).SelectObject(0);
    wmf.CreateBrush(0, kRed).SelectObject(1).Rectangle(10, 10, 60, 50);
    wmf.CreateBrush(0, kBlue).SelectObject(2).Rectangle(100, 10, 150, 50);
    return wmf.Bytes();
}

QByteArray Emf() {
    EmfWriter emf = EmfWriter::AtScreenResolution(QSize(200, 100));
    emf.CreatePen(1, 5, 0, kBlack).SelectObject(1);
    emf.CreateBrush(2, 0, kRed).SelectObject(2).Rectangle(10, 10, 60, 50);
    emf.CreateBrush(3, 0, kBlue).SelectObject(3).Rectangle(100, 10, 150, 50);
    return emf.Bytes();
}

class RtfMetafiles : public RichTextTest {
protected:
    QList<QTextImageFormat> Images() {
        QList<QTextImageFormat> images;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isImageFormat())
                    images.append(it.fragment().charFormat().toImageFormat());
        return images;
    }
    QImage ImageOf(const QTextImageFormat& format) {
        return document.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
    }
};

TEST_F(RtfMetafiles, WmfIsDrawnAtItsGoalSize) {
    // 1500 x 750 twips: 100 x 50 pixels, half the window's units.
    Read("{\\rtf1 a{\\pict\\wmetafile8\\picw5292\\pich2646\\picwgoal1500\\pichgoal750 " + PlainWmf().toHex() +
         "}b}");
    const auto images = Images();
    ASSERT_EQ(images.size(), 1);
    EXPECT_DOUBLE_EQ(images[0].width(), 100.0);
    EXPECT_DOUBLE_EQ(images[0].height(), 50.0);
    const QImage image = ImageOf(images[0]).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(100, 50));
    EXPECT_EQ(image.pixel(17, 15), kRed);
    EXPECT_EQ(image.pixel(62, 15), kBlue);
    EXPECT_EQ(qAlpha(image.pixel(40, 15)), 0); // between the rectangles the text shows
    EXPECT_EQ(Text(), QString("a") + QChar::ObjectReplacementCharacter + "b");
}

TEST_F(RtfMetafiles, EmfWithoutGoalIsShownAtItsSizeInHundredthsOfAMillimetre) {
    Read("{\\rtf1{\\pict\\emfblip\\picw5292\\pich2646 " + Emf().toHex() + "}}");
    const auto images = Images();
    ASSERT_EQ(images.size(), 1);
    EXPECT_NEAR(images[0].width(), 200.0, 0.05);
    EXPECT_NEAR(images[0].height(), 100.0, 0.05);
    const QImage image = ImageOf(images[0]).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(200, 100));
    EXPECT_EQ(image.pixel(35, 30), kRed);
    EXPECT_EQ(image.pixel(125, 30), kBlue);
}

TEST_F(RtfMetafiles, WithNoSizeTheMetafileTellsItsOwnAndScaleApplies) {
    Read("{\\rtf1{\\pict\\emfblip\\picscalex50\\picscaley200 " + Emf().toHex() + "}}");
    const auto images = Images();
    ASSERT_EQ(images.size(), 1);
    EXPECT_DOUBLE_EQ(images[0].width(), 100.0);
    EXPECT_DOUBLE_EQ(images[0].height(), 200.0);
    const QImage image = ImageOf(images[0]).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(100, 200));
    EXPECT_EQ(image.pixel(17, 60), kRed); // drawn at the size shown, not stretched afterwards
}

TEST_F(RtfMetafiles, PngLabelledAsAMetafileIsStillShown) {
    QImage png(4, 4, QImage::Format_RGB32);
    png.fill(kRed);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    png.save(&buffer, "PNG");
    Read("{\\rtf1{\\pict\\wmetafile8\\picwgoal600\\pichgoal600 " + bytes.toHex() + "}}");
    const auto images = Images();
    ASSERT_EQ(images.size(), 1);
    EXPECT_DOUBLE_EQ(images[0].width(), 40.0);
    EXPECT_EQ(ImageOf(images[0]).pixel(2, 2), kRed);
}

TEST_F(RtfMetafiles, DamagedMetafilesAndOtherVectorKindsShowNothing) {
    QByteArray cut = PlainWmf();
    cut.chop(6); // the end-of-file record
    Read("{\\rtf1 a{\\pict\\wmetafile8\\picwgoal100\\pichgoal100 " + cut.toHex() + "}"
         "{\\pict\\macpict\\picwgoal100\\pichgoal100 " + Emf().toHex().left(200) + "}"
         "{\\pict\\emfblip " + Emf().left(100).toHex() + "}b}");
    EXPECT_TRUE(Images().isEmpty());
    EXPECT_EQ(Text(), "ab");
}

} // namespace
} // namespace tomeric
