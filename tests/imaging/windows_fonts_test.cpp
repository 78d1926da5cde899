// Fonts with Windows metrics: the Windows families publications name are
// drawn by their metric-compatible stand-ins, so a line of text is as wide as
// it was on the author's screen; the stand-in chosen for a name can be seen.

#include "imaging/windows_fonts.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace tomeric {
namespace {

// Fonts need a GUI application (off-screen when no platform was chosen).
class WindowsFonts : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QCoreApplication::instance()) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            static int argc = 1;
            static char name[] = "test_imaging_fonts";
            static char* argv[] = {name, nullptr};
            static QGuiApplication application(argc, argv);
        }
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            GTEST_SKIP() << "an earlier test of this process made a non-GUI application";
    }
};

// Times New Roman's advance widths in font units (2048 to the em), as its
// metric-compatible Liberation Serif repeats them.
const std::map<char, int> kTimesAdvances = {
    {' ', 512}, {'.', 512}, {'T', 1251}, {'a', 909}, {'b', 1024}, {'c', 909}, {'d', 1024},
    {'e', 909}, {'f', 682}, {'g', 1024}, {'h', 1024}, {'i', 569}, {'j', 569}, {'k', 1024},
    {'l', 569}, {'m', 1593}, {'n', 1024}, {'o', 1024}, {'p', 1024}, {'q', 1024}, {'r', 682},
    {'s', 797}, {'t', 569}, {'u', 1024}, {'v', 1024}, {'w', 1479}, {'x', 1024}, {'y', 1024},
    {'z', 909}};
const char kLine[] = "The quick brown fox jumps over the lazy dog.";

// The width Windows gives the line at `pixels` per em: each glyph's advance
// rounded to whole pixels, as GDI lays out text.
double WindowsWidth(const char* text, int pixels)
{
    double width = 0;
    for (const char* c = text; *c; ++c)
        width += std::round(kTimesAdvances.at(*c) * pixels / 2048.0);
    return width;
}

TEST_F(WindowsFonts, TheWindowsFamiliesHaveTheirMetricCompatibleStandIns)
{
    EXPECT_EQ(FontStandIn("Times New Roman"), "Liberation Serif");
    EXPECT_EQ(FontStandIn("Arial"), "Liberation Sans");
    EXPECT_EQ(FontStandIn("Courier New"), "Liberation Mono");
    EXPECT_EQ(FontStandIn("Calibri"), "Carlito");
    EXPECT_EQ(FontStandIn("Cambria"), "Caladea");
    EXPECT_EQ(FontStandIn("MS Sans Serif"), "Liberation Sans");
    // Character-set variants are the same fonts.
    EXPECT_EQ(FontStandIn("Times New Roman CE"), "Liberation Serif");
    EXPECT_EQ(FontStandIn("Arial Cyr"), "Liberation Sans");
    EXPECT_EQ(FontStandIn("Courier New (Hebrew)"), "Liberation Mono");
    // Every object, dialog and printed page asks through the same QFont.
    EXPECT_EQ(QFontInfo(WindowsFont("Times New Roman", 12, fsBold)).family(), "Liberation Serif");
    // A family nobody has falls back to something installed.
    EXPECT_FALSE(FontStandIn("No Such Family 1997").isEmpty());
}

TEST_F(WindowsFonts, ATimesNewRoman12PointLineIsAsWideAsOnWindows)
{
    const QFont font = WindowsFont("Times New Roman", 12, 0);
    EXPECT_EQ(font.pixelSize(), 16);
    const double windows = WindowsWidth(kLine, 16);
    EXPECT_NEAR(windows, 37936 * 16 / 2048.0, 6); // the design width, 296 pixels
    const double advance = QFontMetricsF(font).horizontalAdvance(QString::fromLatin1(kLine));
    EXPECT_NEAR(advance, windows, windows * 0.02);

    // And drawn: the ink runs from the first glyph to the last.
    QImage image(500, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(10, 28), QString::fromLatin1(kLine));
    painter.end();
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_GE(right, left);
    // The ink leaves out the side bearings of "T" and "." (under 3 pixels).
    EXPECT_NEAR(right - left + 1, windows, windows * 0.02);
}

} // namespace
} // namespace tomeric
