// What objects draw: frames, fills and hatches, and a page with its objects
// rendered offscreen.

#include "objects/fill_patterns.h"
#include "objects/object_factory.h"

#include "objects_test_support.h"
#include "test_object_host.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

using testing::Record;
using testing::RenderWidget;
using testing::TTestObjectHost;
using testing::TTestPage;

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kRed = 0xFFFF0000;   // 0x000000FF in the publication's BGR
constexpr QRgb kGrey = 0xFF7F7F7F;  // white and black half and half

class Painting : public ::testing::Test {
protected:
    QImage Draw(TObjectRecord record)
    {
        CreateObject(&page, record, host);
        return RenderWidget(page);
    }
    static TObjectRecord Box(int lineWidth, int lineStyle, int fillPattern = 0)
    {
        TObjectRecord r = Record(otRect, "Box", 10, 10, 30, 20);
        r.lineWidth = lineWidth;
        r.lineStyle = lineStyle;
        r.lineColor = 0;
        r.fillColor = 0x0000FF;
        r.fillPattern = fillPattern;
        return r;
    }
    TTestPage page{QSize(60, 50)};
    TTestObjectHost host;
};

struct TPixelCase {
    int x, y;
    QRgb colour;
};

TEST_F(Painting, RaisedFrameOfThreePixelsOnAPage)
{
    const QImage image = Draw(Box(3, qxpsRaised));
    const TPixelCase cases[] = {
        {9, 9, kWhite},    // the page around the object
        {10, 10, kWhite},  {25, 10, kWhite}, {10, 20, kWhite}, {12, 12, kWhite}, // top and left light
        {25, 29, kBlack},  {39, 20, kBlack}, {38, 28, kBlack}, {37, 27, kBlack}, // bottom and right in LineColor
        {39, 10, kGrey},   {38, 11, kGrey},  {37, 12, kGrey},                    // joint top right
        {10, 29, kGrey},   {11, 28, kGrey},  {12, 27, kGrey},                    // joint bottom left
        {13, 13, kRed},    {36, 26, kRed},   {25, 20, kRed},                     // the fill inside
        {40, 30, kWhite},
    };
    for (const TPixelCase& c : cases)
        EXPECT_EQ(image.pixel(c.x, c.y), c.colour) << c.x << "," << c.y;
}

TEST_F(Painting, SunkenFrameSwapsTheColours)
{
    const QImage image = Draw(Box(2, qxpsSunken));
    EXPECT_EQ(image.pixel(20, 10), kBlack);
    EXPECT_EQ(image.pixel(20, 29), kWhite);
    EXPECT_EQ(image.pixel(39, 10), kGrey);
}

TEST_F(Painting, OnePixelSolidLineRunsAlongTheOutermostPixels)
{
    const QImage image = Draw(Box(1, qxpsSolid));
    for (auto [x, y] : {std::pair{10, 10}, {39, 10}, {10, 29}, {39, 29}, {25, 29}, {39, 20}})
        EXPECT_EQ(image.pixel(x, y), kBlack) << x << "," << y;
    EXPECT_EQ(image.pixel(11, 11), kRed);
    EXPECT_EQ(image.pixel(40, 20), kWhite);
}

TEST_F(Painting, WideLinesAreSolidWhateverTheDashStyle)
{
    const QImage image = Draw(Box(2, qxpsDot));
    for (int x = 10; x < 40; ++x) EXPECT_EQ(image.pixel(x, 11), kBlack) << x;
}

TEST_F(Painting, ClearLineKeepsItsWidthFromTheFill)
{
    const QImage image = Draw(Box(3, qxpsClear));
    EXPECT_EQ(image.pixel(11, 11), kWhite);
    EXPECT_EQ(image.pixel(13, 13), kRed);
}

TEST_F(Painting, NoLineAndNoFillDrawsNothing)
{
    const QImage image = Draw(Box(0, qxpsSolid, 1));
    for (int y = 8; y < 32; ++y)
        for (int x = 8; x < 42; ++x) ASSERT_EQ(image.pixel(x, y), kWhite);
}

TEST_F(Painting, HatchTilesFromTheObjectsOrigin)
{
    TObjectRecord r = Box(0, qxpsSolid, 2); // horizontal line on row 3 of each tile
    r.transparent = false;
    const QImage image = Draw(r);
    EXPECT_EQ(image.pixel(15, 13), kRed);
    EXPECT_EQ(image.pixel(15, 21), kRed);
    EXPECT_EQ(image.pixel(15, 14), kWhite);
}

TEST_F(Painting, TransparentHatchLeavesThePageShowing)
{
    TObjectRecord r = Box(0, qxpsSolid, 2);
    r.transparent = true;
    CreateObject(&page, r, host);
    QImage image(page.size(), QImage::Format_ARGB32);
    image.fill(Qt::green);
    // Only the object: the transparent pixels keep what lay beneath.
    page.findChild<TTomericObj*>()->render(&image, QPoint(10, 10), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(image.pixel(15, 13), kRed);
    EXPECT_EQ(image.pixel(15, 14), 0xFF00FF00u);
}

TEST_F(Painting, PaintToDrawsTheObjectAndItsMembers)
{
    TObjectRecord group = Record(otGroup, "G", 0, 0, 40, 40);
    TObjectRecord member = Box(0, qxpsSolid);
    member.x = 5;
    member.y = 5;
    group.members = {member};
    TTomericObj* g = CreateObject(&page, group, host);
    QImage image(60, 60, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    g->PaintTo(painter, QPoint(10, 10));
    painter.end();
    EXPECT_EQ(image.pixel(16, 16), kRed);
    EXPECT_EQ(image.pixel(14, 14), kWhite); // the group itself paints nothing
}

} // namespace
} // namespace tomeric
