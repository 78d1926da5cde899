// Rectangles, rounded rectangles, ellipses, lines and polygons: how they
// draw (line styles, fills, arrow heads), where they answer the mouse, the
// line's geometry rules, and their answers to the object commands.

#include "objects/object_factory.h"
#include "objects/fill_patterns.h"
#include "objects/polygon_object.h"
#include "objects/shapes.h"

#include "shapes_test_support.h"
#include "test_object_host.h"

#include <gtest/gtest.h>

#include <QScreen>
#include <QTemporaryDir>

#include <cmath>

namespace tomeric {
namespace {

using testing::ClickAt;
using testing::Close;
using testing::ExpectLooksLike;
using testing::Record;
using testing::RenderWidget;
using testing::TTestObjectHost;
using testing::TTestPage;

constexpr std::int32_t kRed = 0x0000FF;   // 0x00BBGGRR
constexpr std::int32_t kBlue = 0xFF0000;
constexpr std::int32_t kGreen = 0x00FF00;

class Shapes : public ::testing::Test {
protected:
    template <class T = TTomericObj>
    T* Make(const TObjectRecord& record)
    {
        return dynamic_cast<T*>(CreateObject(&page, record, host));
    }
    TObjectRecord Shape(int type, int x, int y, int w, int h, std::int32_t fill = kRed)
    {
        TObjectRecord r = Record(type, QStringLiteral("S%1").arg(++count), x, y, w, h);
        r.fillColor = fill;
        return r;
    }
    TTomericLine* MakeLine(QPoint start, QPoint end, int width = 1, int caps = 0)
    {
        TObjectRecord r = MakeObjectRecord(otLine);
        r.name = QStringLiteral("Line");
        r.lineWidth = width;
        auto& props = *r.As<TLineProps>();
        props.start = start;
        props.end = end;
        props.endCaps = caps;
        // The reader places the window around the points.
        r.x = std::min(start.x(), end.x()) - width;
        r.y = std::min(start.y(), end.y()) - width;
        r.width = std::abs(end.x() - start.x()) + 2 * width;
        r.height = std::abs(end.y() - start.y()) + 2 * width;
        return Make<TTomericLine>(r);
    }
    QColor PixelAt(QPoint p) { return RenderWidget(page).pixelColor(p); }

    QApplication& app = testing::ObjectsApplication(); // before any widget
    TTestPage page{QSize(200, 150)};
    TTestObjectHost host;
    int count = 0;
};

// ---- creation ---------------------------------------------------------------------

TEST_F(Shapes, EachTypeCodeMakesItsClass)
{
    EXPECT_NE(Make<TTomericRect>(Shape(otRect, 0, 0, 10, 10)), nullptr);
    EXPECT_NE(Make<TTomericRoundRect>(Shape(otRoundRect, 0, 0, 10, 10)), nullptr);
    EXPECT_NE(Make<TTomericCircle>(Shape(otCircle, 0, 0, 10, 10)), nullptr);
    EXPECT_NE(MakeLine({0, 0}, {10, 10}), nullptr);
    EXPECT_NE(Make<TTomericPolygon>(Shape(otPolygon, 0, 0, 10, 10)), nullptr);
}

TEST_F(Shapes, CurvedShapesAndLinesAreAlwaysTransparentRectanglesFollowTheirFill)
{
    TObjectRecord solid = Shape(otCircle, 0, 0, 10, 10);
    EXPECT_TRUE(Make(solid)->GetIsTransparent());
    solid.objType = otRoundRect;
    EXPECT_TRUE(Make(solid)->GetIsTransparent());
    EXPECT_TRUE(MakeLine({0, 0}, {5, 5})->GetIsTransparent());
    TTomericObj* rect = Make(Shape(otRect, 0, 0, 10, 10));
    EXPECT_FALSE(rect->GetIsTransparent());
    rect->SetFillPattern(1);
    EXPECT_TRUE(rect->GetIsTransparent());
}

// ---- rounded corners ------------------------------------------------------------------

struct TCornerCase {
    int width, height, corner;
};

class RoundRectCorners : public ::testing::TestWithParam<TCornerCase> {};

TEST_P(RoundRectCorners, AreAQuarterOfTheSmallerSideAtMostFifteen)
{
    const auto c = GetParam();
    EXPECT_EQ(TTomericRoundRect::CornerSize(c.width, c.height), c.corner);
}

INSTANTIATE_TEST_SUITE_P(Sizes, RoundRectCorners,
                         ::testing::Values(TCornerCase{40, 40, 10}, TCornerCase{200, 100, 15},
                                           TCornerCase{100, 20, 5}, TCornerCase{60, 200, 15},
                                           TCornerCase{3, 3, 0}));

// ---- pixels of the shapes ---------------------------------------------------------------

TEST_F(Shapes, EllipseFillsItsInsideAndLeavesTheCornersToThePage)
{
    Make(Shape(otCircle, 20, 20, 100, 60));
    const QImage image = RenderWidget(page);
    EXPECT_TRUE(Close(image.pixelColor(70, 50), Qt::red));
    EXPECT_TRUE(Close(image.pixelColor(21, 21), Qt::white));
    EXPECT_TRUE(Close(image.pixelColor(118, 78), Qt::white));
    // The one-pixel border on the leftmost point of the ellipse.
    EXPECT_TRUE(Close(image.pixelColor(20, 50), Qt::black, 60));
}

TEST_F(Shapes, RoundedRectangleCutsItsCorners)
{
    Make(Shape(otRoundRect, 10, 10, 40, 40));
    const QImage image = RenderWidget(page);
    EXPECT_TRUE(Close(image.pixelColor(10, 10), Qt::white));
    EXPECT_TRUE(Close(image.pixelColor(30, 30), Qt::red));
    // Past the corner the edge is straight: its border pixel is drawn.
    EXPECT_TRUE(Close(image.pixelColor(30, 10), Qt::black, 60));
}

// What the shown page has on screen (its window's pixels), once the
// repaints it waits for are done.
QColor ScreenPixelAt(QWidget& page, QPoint point)
{
    QCoreApplication::processEvents();
    return page.screen()->grabWindow(page.winId()).toImage().pixelColor(point);
}

TEST_F(Shapes, OnScreenShapesFollowTheirChangesAndAHiddenOneLeavesThePageBeneath)
{
    TTomericObj* ellipse = Make(Shape(otCircle, 20, 20, 100, 60));
    TTomericObj* rect = Make(Shape(otRect, 140, 20, 40, 40, kGreen));
    page.show();
    EXPECT_TRUE(Close(ScreenPixelAt(page, {70, 50}), Qt::red));
    // A shape drawn once and shown again still takes a new colour at once.
    ellipse->SetFillColor(kBlue);
    EXPECT_TRUE(Close(ScreenPixelAt(page, {70, 50}), Qt::blue));
    ellipse->SetVisibleState(false);
    rect->SetVisibleState(false);
    EXPECT_TRUE(Close(ScreenPixelAt(page, {70, 50}), Qt::white));
    EXPECT_TRUE(Close(ScreenPixelAt(page, {160, 40}), Qt::white));
    rect->SetVisibleState(true);
    EXPECT_TRUE(Close(ScreenPixelAt(page, {160, 40}), Qt::green));
}

TEST_F(Shapes, HollowShapesShowThePageInside)
{
    for (int type : {otRect, otCircle, otRoundRect}) {
        TObjectRecord r = Shape(type, 20, 20, 60, 60);
        r.fillPattern = 1;
        TTomericObj* shape = Make(r);
        EXPECT_TRUE(Close(PixelAt({50, 50}), Qt::white)) << type;
        delete shape;
    }
}

TEST_F(Shapes, HatchFillDrawsThePatternInTheFillColour)
{
    TObjectRecord r = Shape(otCircle, 0, 0, 120, 120, kBlue);
    r.fillPattern = 2;
    r.lineWidth = 0;
    r.transparent = true;
    Make(r);
    const QImage image = RenderWidget(page);
    int set = 0, clear = 0;
    for (int y = 50; y < 70; ++y)
        for (int x = 50; x < 70; ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (HatchPixelSet(2, x, y)) {
                set += Close(pixel, Qt::blue, 40);
            } else {
                // Transparent hatch: the page shows between the bits.
                clear += Close(pixel, Qt::white, 40);
            }
        }
    EXPECT_GT(set, 0);
    EXPECT_GT(clear, 0);
    int expectedSet = 0;
    for (int y = 50; y < 70; ++y)
        for (int x = 50; x < 70; ++x) expectedSet += HatchPixelSet(2, x, y);
    EXPECT_EQ(set, expectedSet);
    EXPECT_EQ(clear, 400 - expectedSet);
}

TEST_F(Shapes, DashedLinesHaveGapsSolidLinesHaveNone)
{
    TTomericLine* solid = MakeLine({10, 20}, {190, 20});
    TTomericLine* dashed = MakeLine({10, 60}, {190, 60});
    dashed->SetLineStyle(qxpsDash);
    const QImage image = RenderWidget(page);
    int solidGaps = 0, dashedGaps = 0;
    for (int x = 12; x < 188; ++x) {
        solidGaps += Close(image.pixelColor(x, 20), Qt::white, 60);
        dashedGaps += Close(image.pixelColor(x, 60), Qt::white, 60);
    }
    EXPECT_EQ(solidGaps, 0);
    EXPECT_GT(dashedGaps, 20);
    (void)solid;
}

TEST_F(Shapes, ClearLineStyleDrawsNoBorder)
{
    TObjectRecord r = Shape(otCircle, 20, 20, 100, 60);
    r.lineStyle = qxpsClear;
    r.lineWidth = 3;
    Make(r);
    const QImage image = RenderWidget(page);
    for (int x = 20; x < 26; ++x) EXPECT_FALSE(Close(image.pixelColor(x, 50), Qt::black, 60)) << x;
}

// Reference images of every line style and a range of fills on each shape.
TEST_F(Shapes, LineStylesLookAsReferenced)
{
    TTestPage sheet(QSize(460, 250));
    const int types[] = {otRect, otRoundRect, otCircle};
    for (int row = 0; row < 3; ++row)
        for (int style = qxpsSolid; style <= qxpsClear; ++style) {
            TObjectRecord r = Shape(types[row], 8 + style * 56, 8 + row * 60, 48, 50, kGreen);
            r.lineStyle = style;
            r.lineWidth = style >= qxpsRaised ? 4 : 1;
            r.lineColor = kBlue;
            CreateObject(&sheet, r, host);
        }
    for (int style = qxpsSolid; style <= qxpsClear; ++style) {
        TObjectRecord r = MakeObjectRecord(otLine);
        r.lineStyle = style;
        r.lineWidth = style >= qxpsRaised ? 3 : 1;
        r.lineColor = kRed;
        auto& props = *r.As<TLineProps>();
        props.start = QPoint(10 + style * 56, 195);
        props.end = QPoint(50 + style * 56, 240);
        props.endCaps = style % 2 ? kEndCapEnd : kEndCapStart | kEndCapEnd;
        r.x = props.start.x() - r.lineWidth;
        r.y = props.start.y() - r.lineWidth;
        r.width = 40 + 2 * r.lineWidth;
        r.height = 45 + 2 * r.lineWidth;
        CreateObject(&sheet, r, host);
    }
    ExpectLooksLike(RenderWidget(sheet), QStringLiteral("shapes_line_styles.png"));
}

TEST_F(Shapes, FillsLookAsReferenced)
{
    TTestPage sheet(QSize(460, 190));
    const int patterns[] = {0, 1, 2, 3, 4, 5, 6, 7};
    const int types[] = {otRect, otCircle, otRoundRect};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 8; ++column) {
            TObjectRecord r = Shape(types[row], 8 + column * 56, 8 + row * 60, 48, 50, kBlue);
            r.fillPattern = patterns[column];
            r.transparent = row == 1;
            CreateObject(&sheet, r, host);
        }
    ExpectLooksLike(RenderWidget(sheet), QStringLiteral("shapes_fills.png"));
}

// ---- arrow heads ------------------------------------------------------------------------------

struct TArrowLengthCase {
    int lineWidth;
    double scale;
    double length;
};

class ArrowLength : public ::testing::TestWithParam<TArrowLengthCase> {};

TEST_P(ArrowLength, GrowsWithTheLineWidthAndThePrintScale)
{
    const auto c = GetParam();
    EXPECT_DOUBLE_EQ(TTomericLine::ArrowLength(c.lineWidth, c.scale), c.length);
}

INSTANTIATE_TEST_SUITE_P(Widths, ArrowLength,
                         ::testing::Values(TArrowLengthCase{1, 1, 8}, TArrowLengthCase{0, 1, 8},
                                           TArrowLengthCase{2, 1, 12}, TArrowLengthCase{5, 1, 24},
                                           TArrowLengthCase{1, 2, 16}, TArrowLengthCase{3, 0.5, 8}));

TEST(ArrowHead, HasItsBackCornersAtAtanHalfFromTheLine)
{
    const TArrowHead head = TTomericLine::ArrowHead({100, 50}, {0, 50}, 8);
    EXPECT_DOUBLE_EQ(head.baseMiddle.x(), 92);
    EXPECT_DOUBLE_EQ(head.baseMiddle.y(), 50);
    for (const QPointF corner : {head.left, head.right}) {
        const QPointF d = corner - head.tip;
        EXPECT_NEAR(std::hypot(d.x(), d.y()), 8 * std::sqrt(1.25), 1e-9);
        EXPECT_NEAR(std::abs(std::atan2(d.y(), -d.x())), std::atan(0.5), 1e-9);
    }
    // The base is as wide as the head is long.
    EXPECT_NEAR(std::hypot(head.left.x() - head.right.x(), head.left.y() - head.right.y()), 8, 1e-9);
}

TEST(ArrowHead, OfAVerticalLinePointsStraightAlongIt)
{
    const TArrowHead down = TTomericLine::ArrowHead({10, 60}, {10, 0}, 8);
    EXPECT_EQ(down.baseMiddle, QPointF(10, 52));
    const TArrowHead up = TTomericLine::ArrowHead({10, 0}, {10, 60}, 8);
    EXPECT_EQ(up.baseMiddle, QPointF(10, 8));
}

TEST_F(Shapes, EndCapsBitsPutArrowsAtTheirEnds)
{
    EXPECT_TRUE(MakeLine({0, 0}, {50, 0}, 1, 513)->HasStartArrow());
    EXPECT_TRUE(MakeLine({0, 0}, {50, 0}, 1, 513)->HasEndArrow());
    EXPECT_TRUE(MakeLine({0, 0}, {50, 0}, 1, 1)->HasStartArrow());
    EXPECT_FALSE(MakeLine({0, 0}, {50, 0}, 1, 1)->HasEndArrow());
    EXPECT_TRUE(MakeLine({0, 0}, {50, 0}, 1, 512)->HasEndArrow());
}

TEST_F(Shapes, AWidthOneArrowHeadIsEightPixelsLong)
{
    MakeLine({20, 20}, {120, 20}, 1, kEndCapEnd);
    const QImage image = RenderWidget(page);
    // Inside the head, behind its base, and beyond its tip.
    EXPECT_TRUE(Close(image.pixelColor(118, 20), Qt::black, 60));
    EXPECT_TRUE(Close(image.pixelColor(114, 18), Qt::black, 60));
    EXPECT_TRUE(Close(image.pixelColor(114, 22), Qt::black, 60));
    EXPECT_TRUE(Close(image.pixelColor(110, 17), Qt::white, 30));
    EXPECT_TRUE(Close(image.pixelColor(123, 20), Qt::white, 30));
    // The head's widest row ends at the base: 8 pixels behind the tip.
    int left = 100;
    while (left < 125 && Close(image.pixelColor(left, 17), Qt::white, 30)) ++left;
    EXPECT_NEAR(left, 112, 1);
}

// ---- line geometry ------------------------------------------------------------------------------

TEST_F(Shapes, LineWindowCoversItsPointsWithALineWidthMargin)
{
    TTomericLine* line = MakeLine({30, 40}, {90, 10}, 3);
    EXPECT_EQ(line->geometry(), QRect(27, 7, 66, 36));
    EXPECT_EQ(line->StartPoint(), QPoint(30, 40));
    EXPECT_EQ(line->EndPoint(), QPoint(90, 10));
}

TEST_F(Shapes, LineWithArrowsWidensItsWindowSoTheHeadsAreNotCut)
{
    TTomericLine* line = MakeLine({20, 20}, {120, 20}, 1, kEndCapEnd);
    EXPECT_EQ(line->Margin(), 5);
    EXPECT_EQ(line->geometry(), QRect(15, 15, 110, 10));
    EXPECT_EQ(line->FamilyInfo("TOP"), QString("20"));
    EXPECT_EQ(line->FamilyInfo("HEIGHT"), QString("0"));
    line->SetArrows(false, false);
    EXPECT_EQ(line->geometry(), QRect(19, 19, 102, 2));
    EXPECT_EQ(line->EndPoint(), QPoint(120, 20));
}

TEST_F(Shapes, LineKeepsItsStrokeWhenItsWidthChanges)
{
    TTomericLine* line = MakeLine({30, 40}, {90, 10}, 1);
    line->SetLineWidth(5);
    EXPECT_EQ(line->StartPoint(), QPoint(30, 40));
    EXPECT_EQ(line->EndPoint(), QPoint(90, 10));
    EXPECT_EQ(line->geometry(), QRect(25, 5, 70, 40));
}

TEST_F(Shapes, LineInfoDescribesTheStrokeNotTheWindow)
{
    TTomericLine* line = MakeLine({30, 40}, {90, 10}, 3);
    EXPECT_EQ(line->FamilyInfo("LEFT"), QString("30"));
    EXPECT_EQ(line->FamilyInfo("TOP"), QString("10"));
    EXPECT_EQ(line->FamilyInfo("WIDTH"), QString("60"));
    EXPECT_EQ(line->FamilyInfo("HEIGHT"), QString("30"));
    EXPECT_EQ(line->FamilyInfo("VISIBLE"), std::nullopt);
}

TEST_F(Shapes, MovingALinePlacesItsStrokeAtThePoint)
{
    TTomericLine* line = MakeLine({30, 40}, {90, 10}, 2);
    line->MoveStrokeTo({100, 100});
    EXPECT_EQ(line->pos(), QPoint(98, 98));
    EXPECT_EQ(line->StartPoint(), QPoint(100, 130));
    EXPECT_EQ(line->EndPoint(), QPoint(160, 100));
}

struct TSizeCase {
    QPoint start, end;
    QSize size;
    QPoint newStart, newEnd;
};

class LineSizing : public Shapes, public ::testing::WithParamInterface<TSizeCase> {};

TEST_P(LineSizing, KeepsTheDiagonalTheLineLiesOn)
{
    const auto c = GetParam();
    TTomericLine* line = MakeLine(c.start, c.end, 1);
    line->SizeStrokeTo(c.size.width(), c.size.height());
    EXPECT_EQ(line->StartPoint(), c.newStart);
    EXPECT_EQ(line->EndPoint(), c.newEnd);
    EXPECT_EQ(line->FamilyInfo("WIDTH"), QString::number(c.size.width()));
    EXPECT_EQ(line->FamilyInfo("HEIGHT"), QString::number(c.size.height()));
}

INSTANTIATE_TEST_SUITE_P(
    Directions, LineSizing,
    ::testing::Values(
        // down-right, up-left, up-right, down-left
        TSizeCase{{10, 10}, {50, 30}, {100, 60}, {10, 10}, {110, 70}},
        TSizeCase{{50, 30}, {10, 10}, {100, 60}, {110, 70}, {10, 10}},
        TSizeCase{{10, 30}, {50, 10}, {100, 60}, {10, 70}, {110, 10}},
        TSizeCase{{50, 10}, {10, 30}, {100, 60}, {110, 10}, {10, 70}},
        // a horizontal line keeps its start on the left and top
        TSizeCase{{10, 20}, {60, 20}, {80, 0}, {10, 20}, {90, 20}},
        TSizeCase{{60, 20}, {10, 20}, {80, 0}, {90, 20}, {10, 20}}));

// ---- the mouse ----------------------------------------------------------------------------------

class ShapeHits : public Shapes {
protected:
    void SetUp() override
    {
        // A polygon covering the whole page beneath, with actions, catches
        // whatever the shape lets through.
        TObjectRecord under = Shape(otPolygon, 0, 0, 200, 150, kGreen);
        under.name = QStringLiteral("Under");
        under.As<TPolygonProps>()->clickAction = QStringLiteral("SetVar \"[Hit]\" \"Under\"");
        Make(under);
    }
    void Show()
    {
        page.show();
        testing::TurnEventLoop();
    }
    QStringList Clicked()
    {
        testing::TurnEventLoop();
        QStringList names;
        for (const auto& run : host.runs) names << run.name;
        host.runs.clear();
        return names;
    }
};

TEST_F(ShapeHits, ClickBesideAnEllipseReachesTheObjectBeneath)
{
    TObjectRecord r = Shape(otCircle, 20, 20, 100, 60);
    r.name = QStringLiteral("Oval");
    TTomericObj* oval = Make(r);
    Show();
    EXPECT_EQ(page.childAt(22, 22), page.childAt(5, 5));
    EXPECT_EQ(page.childAt(70, 50), oval);
    ClickAt(page, {22, 22});
    EXPECT_EQ(Clicked(), QStringList{"Under"});
    ClickAt(page, {70, 50});
    EXPECT_EQ(Clicked(), QStringList{});
}

TEST_F(ShapeHits, HollowEllipseStillOwnsItsInside)
{
    TObjectRecord r = Shape(otCircle, 20, 20, 100, 60);
    r.fillPattern = 1;
    TTomericObj* oval = Make(r);
    Show();
    EXPECT_EQ(page.childAt(70, 50), oval);
}

TEST_F(ShapeHits, LineOwnsOnlyTheStripAlongIt)
{
    TTomericLine* line = MakeLine({20, 20}, {120, 80}, 1);
    Show();
    EXPECT_EQ(page.childAt(70, 50), line);
    EXPECT_NE(page.childAt(110, 25), line);
    ClickAt(page, {110, 25});
    EXPECT_EQ(Clicked(), QStringList{"Under"});
}

TEST_F(ShapeHits, PolygonAnswersInsideItsPointsOnly)
{
    TObjectRecord r = Shape(otPolygon, 10, 10, 100, 100);
    r.name = QStringLiteral("Triangle");
    auto& props = *r.As<TPolygonProps>();
    props.points = QStringLiteral("3,0,0,99,0,0,99");
    props.clickAction = QStringLiteral("x");
    props.rClickAction = QStringLiteral("y");
    Make(r);
    Show();
    ClickAt(page, {20, 20});
    EXPECT_EQ(Clicked(), QStringList{"Triangle"});
    ClickAt(page, {100, 100}); // inside the rectangle, beyond the diagonal
    EXPECT_EQ(Clicked(), QStringList{"Under"});
    ClickAt(page, {20, 20}, Qt::RightButton);
    ASSERT_EQ(host.runs.size(), 0u);
    testing::TurnEventLoop();
    ASSERT_EQ(host.runs.size(), 1u);
    EXPECT_EQ(host.runs[0].kind, ekRightClick);
    EXPECT_EQ(host.runs[0].text, "y");
}

TEST_F(ShapeHits, RectangleAnswersEverywhereEvenWhenInvisible)
{
    TObjectRecord r = Shape(otRect, 20, 20, 60, 60);
    r.fillPattern = 1;
    r.lineWidth = 0;
    TTomericObj* rect = Make(r);
    Show();
    EXPECT_EQ(page.childAt(21, 21), rect);
}

// ---- polygons -------------------------------------------------------------------------------------

struct TPointsCase {
    const char* text;
    QPolygon points;
};

class PolygonPoints : public ::testing::TestWithParam<TPointsCase> {};

TEST_P(PolygonPoints, AreReadAsCountThenPairs)
{
    EXPECT_EQ(TTomericPolygon::ParsePoints(GetParam().text), GetParam().points);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PolygonPoints,
    ::testing::Values(TPointsCase{"3,0,0,10,0,0,10", QPolygon({{0, 0}, {10, 0}, {0, 10}})},
                      TPointsCase{" 2 , 1 , 2 , 3 , 4 ", QPolygon({{1, 2}, {3, 4}})},
                      TPointsCase{"4,0,0,10,0", QPolygon({{0, 0}, {10, 0}})},
                      TPointsCase{"2,0,0,x,1", QPolygon({{0, 0}})}, TPointsCase{"", QPolygon()},
                      TPointsCase{"-3,0,0", QPolygon()}, TPointsCase{"abc", QPolygon()}));

class PolygonImage : public Shapes {
protected:
    // A 40 x 40 picture: a red disc on a white square.
    QString WriteDisc()
    {
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::red);
        painter.drawEllipse(QRect(0, 0, 40, 40));
        painter.end();
        const QString path = dir.filePath("disc.png");
        image.save(path);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(PolygonImage, ShapeFromThePictureLeavesOutItsTransparentColour)
{
    TObjectRecord r = Shape(otPolygon, 10, 10, 40, 40);
    auto& props = *r.As<TPolygonProps>();
    props.fileName = WriteDisc();
    props.useImageRgn = true;
    props.transColor = 0xFFFFFF;
    auto* polygon = Make<TTomericPolygon>(r);
    EXPECT_TRUE(polygon->FileExists());
    EXPECT_TRUE(polygon->ImageRgnOK());
    EXPECT_TRUE(polygon->Contains({20, 20}));
    EXPECT_FALSE(polygon->Contains({1, 1}));
    const QImage image = RenderWidget(page);
    EXPECT_TRUE(Close(image.pixelColor(30, 30), Qt::red));
    EXPECT_TRUE(Close(image.pixelColor(11, 11), Qt::white));
}

TEST_F(PolygonImage, MissingPictureLeavesNoImageShapeAndTheWholeRectangleAnswers)
{
    TObjectRecord r = Shape(otPolygon, 10, 10, 40, 40);
    r.As<TPolygonProps>()->fileName = dir.filePath("none.png");
    r.As<TPolygonProps>()->useImageRgn = true;
    auto* polygon = Make<TTomericPolygon>(r);
    EXPECT_FALSE(polygon->FileExists());
    EXPECT_FALSE(polygon->ImageRgnOK());
    EXPECT_TRUE(polygon->Contains({1, 1}));
    EXPECT_EQ(polygon->FamilyInfo("FILENAME"), dir.filePath("none.png"));
}

TEST_F(PolygonImage, SetObjectFileNameLoadsTheNewPicture)
{
    TObjectRecord r = Shape(otPolygon, 10, 10, 40, 40);
    r.As<TPolygonProps>()->useImageRgn = true;
    r.As<TPolygonProps>()->transColor = 0xFFFFFF;
    auto* polygon = Make<TTomericPolygon>(r);
    EXPECT_FALSE(polygon->ImageRgnOK());
    EXPECT_TRUE(polygon->SetObjectFileName(WriteDisc()));
    EXPECT_TRUE(polygon->ImageRgnOK());
    EXPECT_FALSE(polygon->Contains({1, 1}));
}

TEST_F(PolygonImage, OpacityBlendsThePictureWithTheFill)
{
    TObjectRecord r = Shape(otPolygon, 10, 10, 40, 40, kBlue);
    r.lineWidth = 0;
    auto& props = *r.As<TPolygonProps>();
    props.fileName = WriteDisc();
    props.opacity = 128;
    Make(r);
    const QColor centre = RenderWidget(page).pixelColor(30, 30);
    EXPECT_NEAR(centre.red(), 128, 6);
    EXPECT_NEAR(centre.blue(), 127, 6);
}

TEST_F(Shapes, PolygonIsADragObject)
{
    TObjectRecord r = Shape(otPolygon, 10, 10, 40, 40);
    r.As<TPolygonProps>()->dragMode = 1;
    auto* draggable = Make<TTomericPolygon>(r);
    EXPECT_TRUE(draggable->Draggable());
    EXPECT_EQ(draggable->cursor().shape(), Qt::ClosedHandCursor);
    r.As<TPolygonProps>()->clickAction = QStringLiteral("x");
    EXPECT_EQ(Make<TTomericPolygon>(r)->cursor().shape(), Qt::PointingHandCursor);
}

// ---- the rectangle as a host of other windows --------------------------------------------------------

TEST_F(Shapes, RectangleHostsAWidgetInsideItsOutlineAndFollowsThePage)
{
    TObjectRecord record = Shape(otRect, 10, 10, 80, 60);
    record.lineWidth = 3;
    auto* rect = Make<TTomericRect>(record);
    auto* guest = new QWidget;
    rect->EmbedWidget(guest);
    page.show();
    EXPECT_EQ(guest->geometry(), QRect(3, 3, 74, 54));
    rect->resize(120, 90);
    EXPECT_EQ(guest->geometry(), QRect(3, 3, 114, 84));
    rect->OnPageHide();
    EXPECT_FALSE(guest->isVisible());
    rect->OnPageShow();
    EXPECT_TRUE(guest->isVisible());
    rect->SetEnabledState(false);
    EXPECT_FALSE(guest->isEnabled());
    EXPECT_EQ(rect->FocusTarget(), guest);
    delete guest;
    EXPECT_TRUE(rect->HostedWidgets().empty());
}

// ---- printing ---------------------------------------------------------------------------------------------

TEST_F(Shapes, PrintedArrowHeadsGrowWithTheFactor)
{
    TTomericLine* line = MakeLine({0, 10}, {100, 10}, 1, kEndCapEnd);
    const int margin = line->Margin();
    QImage sheet(480, 120, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    line->PaintScaled(painter, QRect(0, 20, line->width() * 4, line->height() * 4), true, 384, 4.0,
                      4.0);
    painter.end();
    // Four times the screen: the line on row 20 + 4 (margin + 0.5), the tip
    // at 4 (margin + 100.5), a head 32 pixels long and as wide.
    const int row = 20 + int(4 * (margin + 0.5));
    const int tip = int(4 * (margin + 100.5));
    EXPECT_TRUE(Close(sheet.pixelColor(tip - 4, row), Qt::black, 60));
    EXPECT_TRUE(Close(sheet.pixelColor(tip - 24, row - 10), Qt::black, 60));
    EXPECT_TRUE(Close(sheet.pixelColor(tip - 36, row - 10), Qt::white, 30));
    EXPECT_TRUE(Close(sheet.pixelColor(tip - 36, row), Qt::black, 60));
    EXPECT_TRUE(Close(sheet.pixelColor(tip + 3, row), Qt::white, 30));
}

} // namespace
} // namespace tomeric
