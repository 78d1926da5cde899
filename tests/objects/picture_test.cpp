// Pictures: where each paint mode puts the image, zoom and centring, the
// transparent colour, alpha and opacity, smooth or nearest scaling, the
// scroll box, panning with the mouse, clicks, and the object commands
// (PictureMagnify, SetObjectFileName, RefreshObject, GetObjectInfo).

#include "objects/object_factory.h"
#include "objects/picture_object.h"
#include "vars/variables.h"

#include "shapes_test_support.h"
#include "test_object_host.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTemporaryDir>

namespace tomeric {
namespace {

using testing::Close;
using testing::Record;
using testing::RenderWidget;
using testing::TTestObjectHost;
using testing::TTestPage;

constexpr std::int32_t kGreen = 0x00FF00;
constexpr std::int32_t kRed = 0x0000FF;

// ---- layout of the paint modes ---------------------------------------------------------

struct TLayoutCase {
    const char* what;
    int mode;
    int zoom;
    bool centered;
    QPoint pan;
    bool tiled;
    QRect target;
    QSize tile;
};

class PaintModeLayout : public ::testing::TestWithParam<TLayoutCase> {};

TEST_P(PaintModeLayout, PlacesTheImageInTheClientArea)
{
    const auto c = GetParam();
    const QRect client(2, 2, 100, 50);
    const TPictureLayout layout =
        TTomericPicture::Layout(c.mode, QSize(20, 10), c.zoom, client, c.centered, c.pan);
    EXPECT_EQ(layout.tiled, c.tiled) << c.what;
    EXPECT_EQ(layout.target, c.target) << c.what;
    if (c.tiled) {
        EXPECT_EQ(layout.tileSize, c.tile) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PaintModeLayout,
    ::testing::Values(
        TLayoutCase{"normal", pNormal, 100, false, {}, false, {2, 2, 20, 10}, {}},
        TLayoutCase{"normal zoomed", pNormal, 250, false, {}, false, {2, 2, 50, 25}, {}},
        TLayoutCase{"normal centred", pNormal, 100, true, {}, false, {42, 22, 20, 10}, {}},
        TLayoutCase{"normal panned", pNormal, 100, false, {5, 3}, false, {-3, -1, 20, 10}, {}},
        TLayoutCase{"zoom below 10", pNormal, 5, false, {}, false, {2, 2, 2, 1}, {}},
        TLayoutCase{"stretch", pStretch, 100, false, {}, false, {2, 2, 100, 50}, {}},
        TLayoutCase{"stretch ignores zoom", pStretch, 400, true, {}, false, {2, 2, 100, 50}, {}},
        TLayoutCase{"aspect", pStretchAspect, 100, false, {}, false, {2, 2, 100, 50}, {}},
        TLayoutCase{"tile", pTile, 100, false, {}, true, {2, 2, 100, 50}, {20, 10}},
        TLayoutCase{"tile zoomed", pTile, 50, false, {}, true, {2, 2, 100, 50}, {10, 5}},
        TLayoutCase{"tile across", pTileHorz, 100, false, {}, true, {2, 2, 100, 50}, {20, 50}},
        TLayoutCase{"tile down", pTileVert, 200, false, {}, true, {2, 2, 100, 50}, {100, 20}},
        TLayoutCase{"auto small", pAuto, 100, false, {}, false, {2, 2, 20, 10}, {}},
        TLayoutCase{"auto too wide", pAuto, 600, false, {}, false, {2, 2, 100, 50}, {}}));

TEST(PaintModeLayout, StretchWithAspectCentresWhenAsked)
{
    const QRect client(0, 0, 100, 100);
    EXPECT_EQ(TTomericPicture::Layout(pStretchAspect, {20, 10}, 100, client, false).target,
              QRect(0, 0, 100, 50));
    EXPECT_EQ(TTomericPicture::Layout(pStretchAspect, {20, 10}, 100, client, true).target,
              QRect(0, 25, 100, 50));
}

TEST(PaintModeLayout, NothingForAnEmptyImage)
{
    EXPECT_TRUE(TTomericPicture::Layout(pTile, {}, 100, {0, 0, 50, 50}, false).target.isEmpty());
}

// ---- pictures on a page ------------------------------------------------------------------------

class Pictures : public ::testing::Test {
protected:
    // A 20 x 10 picture: red on the left half, blue on the right.
    QString WriteHalves(const QString& name = QStringLiteral("halves.png"))
    {
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(Qt::blue);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) image.setPixelColor(x, y, Qt::red);
        const QString path = dir.filePath(name);
        image.save(path);
        return path;
    }
    TObjectRecord PictureRecord(const QString& file, int mode = pNormal, QSize size = {100, 50})
    {
        TObjectRecord r = Record(otPicture, QStringLiteral("Pic"), 0, 0, size.width(), size.height());
        r.lineWidth = 0;
        r.fillColor = kGreen;
        auto& props = *r.As<TPictureProps>();
        props.fileName = file;
        props.paintMode = mode;
        return r;
    }
    TTomericPicture* Make(const TObjectRecord& record)
    {
        return dynamic_cast<TTomericPicture*>(CreateObject(&page, record, host));
    }
    QImage Render() { return RenderWidget(page); }

    QApplication& app = testing::ObjectsApplication();
    QTemporaryDir dir;
    TTestPage page{QSize(120, 60)};
    TTestObjectHost host;
};

TEST_F(Pictures, NormalModeDrawsTheImageAtItsSizeOnTheFill)
{
    Make(PictureRecord(WriteHalves()));
    const QImage image = Render();
    EXPECT_TRUE(Close(image.pixelColor(5, 5), Qt::red));
    EXPECT_TRUE(Close(image.pixelColor(15, 5), Qt::blue));
    EXPECT_TRUE(Close(image.pixelColor(30, 5), Qt::green));
    EXPECT_TRUE(Close(image.pixelColor(5, 20), Qt::green));
}

TEST_F(Pictures, ZoomScalesTheImageByPixels)
{
    TObjectRecord r = PictureRecord(WriteHalves());
    r.As<TPictureProps>()->zoomFactor = 200;
    Make(r);
    const QImage image = Render();
    EXPECT_TRUE(Close(image.pixelColor(15, 15), Qt::red));
    EXPECT_TRUE(Close(image.pixelColor(25, 15), Qt::blue));
    EXPECT_TRUE(Close(image.pixelColor(39, 19), Qt::blue));
    EXPECT_TRUE(Close(image.pixelColor(41, 5), Qt::green));
    EXPECT_TRUE(Close(image.pixelColor(5, 21), Qt::green));
}

TEST_F(Pictures, CentredImageSitsInTheMiddle)
{
    TObjectRecord r = PictureRecord(WriteHalves());
    r.As<TPictureProps>()->centered = true;
    Make(r);
    const QImage image = Render();
    EXPECT_TRUE(Close(image.pixelColor(45, 25), Qt::red));
    EXPECT_TRUE(Close(image.pixelColor(55, 25), Qt::blue));
    EXPECT_TRUE(Close(image.pixelColor(5, 5), Qt::green));
}

TEST_F(Pictures, StretchFillsTheClientArea)
{
    Make(PictureRecord(WriteHalves(), pStretch));
    const QImage image = Render();
    EXPECT_TRUE(Close(image.pixelColor(25, 45), Qt::red));
    EXPECT_TRUE(Close(image.pixelColor(75, 5), Qt::blue));
}

TEST_F(Pictures, TilesRepeatAcrossAndDown)
{
    Make(PictureRecord(WriteHalves(), pTile));
    const QImage image = Render();
    for (int tileX = 0; tileX < 5; ++tileX)
        for (int tileY = 0; tileY < 5; ++tileY) {
            EXPECT_TRUE(Close(image.pixelColor(tileX * 20 + 5, tileY * 10 + 5), Qt::red));
            EXPECT_TRUE(Close(image.pixelColor(tileX * 20 + 15, tileY * 10 + 5), Qt::blue));
        }
}

TEST_F(Pictures, HorizontalTilesAreAsHighAsThePicture)
{
    Make(PictureRecord(WriteHalves(), pTileHorz));
    const QImage image = Render();
    EXPECT_TRUE(Close(image.pixelColor(25, 45), Qt::red));
    EXPECT_TRUE(Close(image.pixelColor(95, 45), Qt::blue));
}

TEST_F(Pictures, VerticalTilesAreAsWideAsThePicture)
{
    Make(PictureRecord(WriteHalves(), pTileVert));
    const QImage image = Render();
    EXPECT_TRUE(Close(image.pixelColor(45, 45), Qt::red));
    EXPECT_TRUE(Close(image.pixelColor(55, 15), Qt::blue));
}

TEST_F(Pictures, ImageStaysInsideTheBorder)
{
    TObjectRecord r = PictureRecord(WriteHalves(), pStretch);
    r.lineWidth = 3;
    r.lineColor = 0;
    Make(r);
    const QImage image = Render();
    EXPECT_TRUE(Close(image.pixelColor(1, 25), Qt::black));
    EXPECT_TRUE(Close(image.pixelColor(4, 25), Qt::red));
    EXPECT_TRUE(Close(image.pixelColor(98, 48), Qt::black));
}

TEST_F(Pictures, TransparentColourShowsTheFillBehind)
{
    TObjectRecord r = PictureRecord(WriteHalves());
    r.As<TPictureProps>()->transColor = kRed;
    Make(r);
    const QImage image = Render();
    EXPECT_TRUE(Close(image.pixelColor(5, 5), Qt::green));
    EXPECT_TRUE(Close(image.pixelColor(15, 5), Qt::blue));
}

TEST_F(Pictures, AlphaOfTheImageShowsTheFillBehind)
{
    QImage alpha(20, 10, QImage::Format_ARGB32);
    alpha.fill(Qt::transparent);
    for (int y = 0; y < 10; ++y)
        for (int x = 10; x < 20; ++x) alpha.setPixelColor(x, y, Qt::blue);
    const QString path = dir.filePath("alpha.png");
    alpha.save(path);
    auto* picture = Make(PictureRecord(path));
    EXPECT_TRUE(picture->HasAlphaMask());
    const QImage image = Render();
    EXPECT_TRUE(Close(image.pixelColor(5, 5), Qt::green));
    EXPECT_TRUE(Close(image.pixelColor(15, 5), Qt::blue));
}

struct TOpacityCase {
    int opacity;
    int red, green;
};

class PictureOpacity : public Pictures, public ::testing::WithParamInterface<TOpacityCase> {};

TEST_P(PictureOpacity, BlendsTheImageWithTheFill)
{
    TObjectRecord r = PictureRecord(WriteHalves());
    r.As<TPictureProps>()->opacity = GetParam().opacity;
    Make(r);
    const QColor pixel = Render().pixelColor(5, 5);
    EXPECT_NEAR(pixel.red(), GetParam().red, 4);
    EXPECT_NEAR(pixel.green(), GetParam().green, 4);
}

INSTANTIATE_TEST_SUITE_P(Levels, PictureOpacity,
                         ::testing::Values(TOpacityCase{255, 255, 0}, TOpacityCase{0, 0, 255},
                                           TOpacityCase{128, 128, 127}, TOpacityCase{64, 64, 191}));

TEST_F(Pictures, ResamplingChoosesSmoothOrNearestPixels)
{
    QImage two(2, 1, QImage::Format_RGB32);
    two.setPixelColor(0, 0, Qt::red);
    two.setPixelColor(1, 0, Qt::blue);
    const QString path = dir.filePath("two.png");
    two.save(path);
    TObjectRecord r = PictureRecord(path, pStretch);
    auto* nearest = Make(r);
    const QColor sharp = Render().pixelColor(40, 25);
    delete nearest;
    r.As<TPictureProps>()->resample = true;
    Make(r);
    const QColor smooth = Render().pixelColor(40, 25);
    EXPECT_LT(sharp.blue(), 10);
    EXPECT_GT(smooth.blue(), 40);
    EXPECT_LT(smooth.blue(), 220);
}

// ---- zoom, reloads and information ------------------------------------------------------------------------

struct TZoomCase {
    int asked, zoom;
};

class PictureMagnify : public Pictures, public ::testing::WithParamInterface<TZoomCase> {};

TEST_P(PictureMagnify, TakesTheAbsoluteValueAtLeastTen)
{
    auto* picture = Make(PictureRecord(WriteHalves()));
    picture->Magnify(GetParam().asked);
    EXPECT_EQ(picture->ZoomFactor(), GetParam().zoom);
}

INSTANTIATE_TEST_SUITE_P(Values, PictureMagnify,
                         ::testing::Values(TZoomCase{5, 10}, TZoomCase{-300, 300}, TZoomCase{10, 10},
                                           TZoomCase{0, 10}, TZoomCase{150, 150}));

TEST_F(Pictures, InfoGivesTheFileAndTheImageSize)
{
    const QString file = WriteHalves();
    auto* picture = Make(PictureRecord(file));
    EXPECT_EQ(picture->FamilyInfo("FILENAME"), file);
    EXPECT_EQ(picture->FamilyInfo("IMAGEWIDTH"), QString("20"));
    EXPECT_EQ(picture->FamilyInfo("IMAGEHEIGHT"), QString("10"));
    EXPECT_EQ(picture->FamilyInfo("CAPTION"), std::nullopt);
}

TEST_F(Pictures, MissingFileLeavesAnEmptyPicture)
{
    auto* picture = Make(PictureRecord(dir.filePath("none.png")));
    EXPECT_FALSE(picture->FileExists());
    EXPECT_EQ(picture->FamilyInfo("IMAGEWIDTH"), QString("0"));
    EXPECT_TRUE(Close(Render().pixelColor(5, 5), Qt::green));
}

TEST_F(Pictures, SetObjectFileNameLoadsWithVariablesSubstituted)
{
    auto* picture = Make(PictureRecord(QString()));
    EXPECT_FALSE(picture->FileExists());
    WriteHalves();
    SetVariable(QStringLiteral("[ShapesPicDir]"), dir.path());
    EXPECT_TRUE(picture->SetObjectFileName(QStringLiteral("[ShapesPicDir]/halves.png")));
    EXPECT_TRUE(picture->FileExists());
    EXPECT_EQ(picture->FamilyInfo("FILENAME"), QString("[ShapesPicDir]/halves.png"));
    SetVariable(QStringLiteral("[ShapesPicDir]"), QString());
}

TEST_F(Pictures, RefreshObjectReadsTheFileAgain)
{
    const QString file = WriteHalves();
    auto* picture = Make(PictureRecord(file));
    QImage bigger(40, 30, QImage::Format_RGB32);
    bigger.fill(Qt::yellow);
    bigger.save(file);
    EXPECT_EQ(picture->ImageWidth(), 20);
    picture->RefreshObject();
    EXPECT_EQ(picture->ImageWidth(), 40);
    EXPECT_TRUE(Close(Render().pixelColor(35, 25), Qt::yellow));
}

// ---- scroll box -----------------------------------------------------------------------------------------------

TEST_F(Pictures, ScrollBarsShowTheZoomedImageInAScrollBox)
{
    TObjectRecord r = PictureRecord(WriteHalves());
    r.As<TPictureProps>()->scrollBars = true;
    r.As<TPictureProps>()->zoomFactor = 1000;
    auto* picture = Make(r);
    ASSERT_NE(picture->ScrollBox(), nullptr);
    EXPECT_EQ(picture->ScrollBox()->widget()->size(), QSize(200, 100));
    picture->Magnify(500);
    EXPECT_EQ(picture->ScrollBox()->widget()->size(), QSize(100, 50));
}

TEST_F(Pictures, ScrollBoxKeepsTheSamePartInViewWhenZooming)
{
    TObjectRecord r = PictureRecord(WriteHalves());
    r.As<TPictureProps>()->scrollBars = true;
    r.As<TPictureProps>()->zoomFactor = 1000;
    auto* picture = Make(r);
    page.show();
    testing::TurnEventLoop();
    QScrollBar* horizontal = picture->ScrollBox()->horizontalScrollBar();
    horizontal->setValue(40);
    picture->Magnify(2000);
    EXPECT_EQ(horizontal->value(), 80);
    picture->Reload();
    EXPECT_EQ(horizontal->value(), 0);
}

TEST_F(Pictures, ScrollBoxOnlyInNormalMode)
{
    TObjectRecord r = PictureRecord(WriteHalves(), pStretch);
    r.As<TPictureProps>()->scrollBars = true;
    auto* picture = Make(r);
    EXPECT_EQ(picture->ScrollBox(), nullptr);
    picture->SetPaintMode(pNormal);
    EXPECT_NE(picture->ScrollBox(), nullptr);
    picture->SetPaintMode(pTile);
    EXPECT_EQ(picture->ScrollBox(), nullptr);
}

// ---- the mouse ------------------------------------------------------------------------------------------------

class PictureMouse : public Pictures {
protected:
    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        const QPointF local(at);
        QMouseEvent event(type, local, local, page.mapToGlobal(local), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(page.windowHandle(), &event);
    }
    void Drag(QPoint from, QPoint to)
    {
        Send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        Send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
        Send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        Send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    TTomericPicture* MakeShown(TObjectRecord r)
    {
        auto& props = *r.As<TPictureProps>();
        props.clickAction = QStringLiteral("SetVar \"[A]\" \"1\"");
        props.rClickAction = QStringLiteral("SetVar \"[B]\" \"1\"");
        auto* picture = Make(r);
        page.show();
        testing::TurnEventLoop();
        return picture;
    }
    // A 200 x 100 picture, twice as large as the object.
    QString WriteLarge()
    {
        QImage image(200, 100, QImage::Format_RGB32);
        image.fill(Qt::blue);
        const QString path = dir.filePath("large.png");
        image.save(path);
        return path;
    }
    std::vector<int> Kinds()
    {
        testing::TurnEventLoop();
        std::vector<int> kinds;
        for (const auto& run : host.runs) kinds.push_back(run.kind);
        host.runs.clear();
        return kinds;
    }
};

TEST_F(PictureMouse, ClickAndRightClickRunTheirActionsAfterTheMouse)
{
    MakeShown(PictureRecord(WriteHalves()));
    testing::ClickAt(page, {50, 25});
    testing::ClickAt(page, {50, 25}, Qt::RightButton);
    EXPECT_TRUE(host.runs.empty());
    EXPECT_EQ(Kinds(), (std::vector<int>{ekClick, ekRightClick}));
}

TEST_F(PictureMouse, ClickOnTheScrollBoxRunsTheClickActionRightClickNothing)
{
    TObjectRecord r = PictureRecord(WriteLarge());
    r.As<TPictureProps>()->scrollBars = true;
    MakeShown(r);
    testing::ClickAt(page, {30, 20});
    testing::ClickAt(page, {30, 20}, Qt::RightButton);
    EXPECT_EQ(Kinds(), (std::vector<int>{ekClick}));
}

TEST_F(PictureMouse, DraggingPansWithinTheImageAndIsNoClick)
{
    TObjectRecord r = PictureRecord(WriteLarge());
    r.As<TPictureProps>()->mousePan = true;
    auto* picture = MakeShown(r);
    EXPECT_EQ(picture->cursor().shape(), Qt::SizeAllCursor);
    Drag({60, 40}, {30, 20});
    EXPECT_EQ(picture->PanOffset(), QPoint(30, 20));
    EXPECT_EQ(Kinds(), std::vector<int>{});
    Drag({90, 45}, {0, 0}); // far beyond the image's edge
    EXPECT_EQ(picture->PanOffset(), QPoint(100, 50));
    Drag({0, 0}, {90, 45});
    EXPECT_EQ(picture->PanOffset(), QPoint(10, 5));
    picture->Reload();
    EXPECT_EQ(picture->PanOffset(), QPoint(0, 0));
}

TEST_F(PictureMouse, PannedViewShowsAnotherPartOfTheImage)
{
    TObjectRecord r = PictureRecord(WriteLarge());
    r.As<TPictureProps>()->mousePan = true;
    {
        QImage image(200, 100, QImage::Format_RGB32);
        image.fill(Qt::blue);
        for (int y = 0; y < 100; ++y)
            for (int x = 100; x < 200; ++x) image.setPixelColor(x, y, Qt::red);
        image.save(r.As<TPictureProps>()->fileName);
    }
    auto* picture = MakeShown(r);
    EXPECT_TRUE(Close(Render().pixelColor(90, 10), Qt::blue));
    Drag({90, 40}, {10, 40});
    EXPECT_EQ(picture->PanOffset().x(), 80);
    EXPECT_TRUE(Close(Render().pixelColor(90, 10), Qt::red));
}

TEST_F(PictureMouse, CursorShowsWhetherThePictureReactsToClicks)
{
    auto* clickable = MakeShown(PictureRecord(WriteHalves()));
    EXPECT_EQ(clickable->cursor().shape(), Qt::PointingHandCursor);
    auto* inert = Make(PictureRecord(WriteHalves()));
    EXPECT_EQ(inert->cursor().shape(), Qt::ArrowCursor);
}

// ---- printing ----------------------------------------------------------------------------------------------------

TEST_F(Pictures, PrintingScalesTheWholePicture)
{
    auto* picture = Make(PictureRecord(WriteHalves()));
    QImage sheet(300, 150, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    picture->PaintScaled(painter, QRect(0, 0, 300, 150), true, 288, 3.0, 3.0);
    painter.end();
    EXPECT_TRUE(Close(sheet.pixelColor(25, 25), Qt::red));
    EXPECT_TRUE(Close(sheet.pixelColor(35, 25), Qt::blue));
    EXPECT_TRUE(Close(sheet.pixelColor(65, 25), Qt::green));
}

} // namespace
} // namespace tomeric
