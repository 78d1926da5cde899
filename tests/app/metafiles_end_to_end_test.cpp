// Windows metafiles in the running player: a picture object showing a
// placeable WMF stretched over its rectangle, another showing an EMF at its
// own size, and an article whose RTF holds a \wmetafile8 and an \emfblip
// picture; what the metafiles leave undrawn shows the page behind.
//
// The publication's metafiles and RTF (tests/publications/metafiles) are
// written by the test metafile writer, record by record; the first test
// checks they still are (run it with TOMERIC_WRITE_TEST_ASSETS=1 to write
// them again after changing the drawings below).

#include "player_test_support.h"

#include "../imaging/metafile_writer.h"

namespace tomeric::testing {
namespace {

constexpr QRgb kRed = qRgb(255, 0, 0), kBlue = qRgb(0, 0, 255), kGreen = qRgb(0, 255, 0);
constexpr QRgb kMagenta = qRgb(255, 0, 255), kBlack = qRgb(0, 0, 0);
constexpr int kNullPen = 5, kMapAnisotropic = 8;
const QColor kPage(192, 192, 192);

// 200 x 100 logical units: a red square on the left, a blue ellipse on the right.
void DrawLogo(WmfWriter& wmf) {
    wmf.SetMapMode(kMapAnisotropic).SetWindowOrg(0, 0).SetWindowExt(200, 100);
    wmf.CreatePen(kNullPen, 0, kBlack).SelectObject(0);
    wmf.CreateBrush(0, kRed).SelectObject(1).Rectangle(0, 0, 100, 100);
    wmf.CreateBrush(0, kBlue).SelectObject(2).Ellipse(110, 10, 190, 90);
}

QByteArray LogoWmf() {
    WmfWriter wmf = WmfWriter::Placeable(QRect(0, 0, 200, 100), 96);
    DrawLogo(wmf);
    return wmf.Bytes();
}

// 100 x 50 pixels: a green square, a magenta ellipse.
QByteArray ChartEmf() {
    EmfWriter emf = EmfWriter::AtScreenResolution(QSize(100, 50));
    emf.CreatePen(1, kNullPen, 0, kBlack).SelectObject(1);
    emf.CreateBrush(2, 0, kGreen).SelectObject(2).Rectangle(0, 0, 50, 50);
    emf.CreateBrush(3, 0, kMagenta).SelectObject(3).Ellipse(60, 5, 95, 45);
    return emf.Bytes();
}

QByteArray HexLines(const QByteArray& bytes) {
    const QByteArray hex = bytes.toHex();
    QByteArray lines;
    for (qsizetype at = 0; at < hex.size(); at += 96)
        lines += "\r\n" + hex.mid(at, 96);
    return lines;
}

// The logo again as RTF keeps metafiles (a plain WMF), and the chart.
QByteArray StoryRtf() {
    WmfWriter plain = WmfWriter::Plain();
    DrawLogo(plain);
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n\\f0\\fs20 A drawing: "
           "{\\pict\\wmetafile8\\picw5292\\pich2646\\picwgoal1200\\pichgoal600"
        + HexLines(plain.Bytes()) + "}\\par\r\nAnd a chart: {\\pict\\emfblip\\picw2646\\pich1323\\picwgoal900\\pichgoal450"
        + HexLines(ChartEmf()) + "}\\par\r\n}\r\n";
}

QString AssetPath(const char* name) {
    return QStringLiteral(TOMERIC_SOURCE_DIR "/tests/publications/metafiles/") + QLatin1String(name);
}

TEST(MetafilesEndToEnd, ThePublicationsMetafilesAreTheOnesTheWriterMakes) {
    const std::pair<const char*, QByteArray> assets[] = {
        {"logo.wmf", LogoWmf()}, {"chart.emf", ChartEmf()}, {"story.rtf", StoryRtf()}};
    const bool write = qEnvironmentVariableIsSet("TOMERIC_WRITE_TEST_ASSETS");
    for (const auto& [name, bytes] : assets) {
        QFile file(AssetPath(name));
        if (write) {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(bytes);
            continue;
        }
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(file.readAll(), bytes) << name << " differs: write it again (see the file's header)";
    }
}

constexpr const char* kMetafilesTour =
    "wait 400\n"
    "run GetObjectInfo \"Logo\", \"ImageWidth\", \"[LogoWidth]\"\n"
    "run GetObjectInfo \"Logo\", \"ImageHeight\", \"[LogoHeight]\"\n"
    "run GetObjectInfo \"Chart\", \"ImageWidth\", \"[ChartWidth]\"\n"
    "screenshot page.png\n"
    "vars vars.txt\n"
    "quit\n";

struct MetafilesTour {
    static constexpr const char* kPublication = "metafiles";
    static constexpr const char* kScript = kMetafilesTour;
};

class MetafilesEndToEndTour : public DrivenTourTest<MetafilesTour> {
protected:
    static QImage Page() { return tour->session.Picture(QStringLiteral("page.png")); }
    // Pixels within `tolerance` of a colour inside a rectangle.
    static int Count(const QImage& image, const QRect& area, QRgb colour, int tolerance = 24) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += Near(image.pixelColor(x, y), QColor(colour), tolerance) ? 1 : 0;
        return count;
    }
};

TEST_F(MetafilesEndToEndTour, PlayerRunsCleanlyAndKnowsTheMetafilesSizes) {
    tour->ExpectCleanRun();
    EXPECT_EQ(Var("LOGOWIDTH"), "200");
    EXPECT_EQ(Var("LOGOHEIGHT"), "100");
    EXPECT_EQ(Var("CHARTWIDTH"), "100");
}

TEST_F(MetafilesEndToEndTour, PictureObjectShowsAWmfStretchedOverIt) {
    const QImage page = Page();
    ASSERT_FALSE(page.isNull());
    // The logo stretched over (10,10) 100 x 50: red on the left, blue ellipse
    // on the right, the page between them and in the ellipse's corners.
    EXPECT_TRUE(Near(page.pixelColor(30, 35), QColor(kRed)));
    EXPECT_TRUE(Near(page.pixelColor(85, 35), QColor(kBlue)));
    EXPECT_TRUE(Near(page.pixelColor(62, 35), kPage, 24));
    EXPECT_TRUE(Near(page.pixelColor(67, 13), kPage, 24));
}

TEST_F(MetafilesEndToEndTour, PictureObjectShowsAnEmfAtItsOwnSize) {
    const QImage page = Page();
    ASSERT_FALSE(page.isNull());
    // The chart at (130,10), 100 x 50.
    EXPECT_TRUE(Near(page.pixelColor(150, 35), QColor(kGreen)));
    EXPECT_TRUE(Near(page.pixelColor(207, 35), QColor(kMagenta)));
    EXPECT_TRUE(Near(page.pixelColor(185, 35), kPage, 24));
}

TEST_F(MetafilesEndToEndTour, ArticleShowsTheWmfAndEmfOfItsRtf) {
    const QImage page = Page();
    ASSERT_FALSE(page.isNull());
    const QRect article(10, 80, 300, 150);
    // The logo at 80 x 40 pixels and the chart at 60 x 30, among black text.
    EXPECT_GT(Count(page, article, kRed), 40 * 40 / 2);
    EXPECT_GT(Count(page, article, kBlue), 400);
    EXPECT_GT(Count(page, article, kGreen), 30 * 30 / 2);
    EXPECT_GT(Count(page, article, kMagenta), 200);
    EXPECT_GT(Count(page, article, kBlack, 90), 100);
}

} // namespace
} // namespace tomeric::testing
