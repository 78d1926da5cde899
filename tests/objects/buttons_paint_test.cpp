// What buttons look like: bevels and the pressed look, library strips and
// individual images with transparent colours, the disabled veil, the check
// and radio glyphs, and the scaled paint used for printing. Whole pages are
// also compared with pictures checked by eye (tests/data/objects/buttons_*.png;
// run with TOMERIC_WRITE_EXPECTED=1 to write missing ones).

#include "buttons_test_support.h"

#include "pages/background_painter.h"

#include <QDir>
#include <QTemporaryDir>

namespace tomeric {
namespace {

using namespace testing;

// The button shadow (system colour 16) as the palette gives it.
QColor ShadowGrey() { return TomericColor(SystemColour(16)); }
const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);

bool NearWithin(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

bool Near(const QColor& a, const QColor& b) { return NearWithin(a, b, 8); }

class ButtonPaint : public ButtonsFixture {
protected:
    QImage Shot(QWidget& button) { return RenderWidget(page).copy(button.geometry()); }

    QString SaveImage(const QString& name, const QImage& image)
    {
        const QString path = dir.filePath(name);
        image.save(path);
        return path;
    }
    QString Strip() { return SaveImage("strip.png", StripImage()); }
    // A picture-only button without border or bevel: the image at (10, 5).
    TTomericPushBtn* ImageButton(const std::function<void(TPushButtonProps&)>& images)
    {
        return MakePush("Img", [&](TObjectRecord& r) {
            r.width = 30;
            r.height = 20;
            r.lineWidth = 0;
            r.fillColor = 0xFFFFFF;
            auto* props = r.As<TPushButtonProps>();
            props->bevelWidth = 0;
            images(*props);
        });
    }
    QTemporaryDir dir;
};

// ---- push buttons ------------------------------------------------------------------------

TEST_F(ButtonPaint, UpButtonHasABorderAndARaisedBevel)
{
    auto* button = MakePush("Up");
    const QImage shot = Shot(*button);
    const int w = shot.width(), h = shot.height();
    EXPECT_PRED2(Near, shot.pixelColor(0, 0), kBlack);
    EXPECT_PRED2(Near, shot.pixelColor(1, 1), kWhite);
    EXPECT_PRED2(Near, shot.pixelColor(2, 2), kWhite);
    EXPECT_PRED2(Near, shot.pixelColor(w - 2, h - 2), ShadowGrey());
    EXPECT_PRED2(Near, shot.pixelColor(w - 3, h / 2), ShadowGrey());
}

TEST_F(ButtonPaint, PressedFramedButtonDarkensTopAndLeftBands)
{
    auto* button = MakePush("Down");
    Press(*button, {5, 5});
    const QImage shot = Shot(*button);
    EXPECT_PRED2(Near, shot.pixelColor(1, 1), ShadowGrey());
    EXPECT_PRED2(Near, shot.pixelColor(2, 10), ShadowGrey());
    EXPECT_PRED2(Near, shot.pixelColor(10, 2), ShadowGrey());
    // No raised frame at the bottom right any more.
    EXPECT_FALSE(Near(shot.pixelColor(shot.width() - 2, shot.height() - 2), ShadowGrey()));
}

TEST_F(ButtonPaint, PressedBorderlessButtonShowsASunkenBevel)
{
    auto* button = MakePush("Sunk", [](TObjectRecord& r) { r.lineWidth = 0; });
    Press(*button, {5, 5});
    const QImage shot = Shot(*button);
    EXPECT_PRED2(Near, shot.pixelColor(0, 0), ShadowGrey());
    EXPECT_PRED2(Near, shot.pixelColor(shot.width() - 1, shot.height() - 1), kWhite);
}

struct TStripCase {
    const char* label;
    bool hover;
    bool press;
    QColor colour;
};

class ButtonStripFrames : public ButtonPaint, public ::testing::WithParamInterface<TStripCase> {};

TEST_P(ButtonStripFrames, ShowOneFrameForEachStateWithoutShifting)
{
    const QString strip = Strip();
    auto* button = ImageButton([&](TPushButtonProps& p) {
        p.imageStyle = qxbsLibrary;
        p.libImage = strip;
    });
    if (GetParam().hover) Enter(*button);
    if (GetParam().press) Press(*button, {15, 10});
    const QImage shot = Shot(*button);
    // The frame covers exactly (10,5)..(19,14) in every state.
    for (QPoint p : {QPoint(10, 5), QPoint(19, 14), QPoint(15, 10)})
        EXPECT_PRED2(Near, shot.pixelColor(p), GetParam().colour) << p.x() << "," << p.y();
    EXPECT_PRED2(Near, shot.pixelColor(9, 4), kWhite);
    EXPECT_PRED2(Near, shot.pixelColor(20, 15), kWhite);
}

INSTANTIATE_TEST_SUITE_P(States, ButtonStripFrames,
                         ::testing::Values(TStripCase{"Up", false, false, QColor(Qt::red)},
                                           TStripCase{"Hot", true, false, QColor(Qt::green)},
                                           TStripCase{"Pressed", true, true, QColor(Qt::blue)}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(ButtonPaint, IndividualImagesSwapAndTheDepressEffectShiftsOnePixel)
{
    QImage up(10, 10, QImage::Format_RGB32);
    up.fill(Qt::yellow);
    QImage down(10, 10, QImage::Format_RGB32);
    down.fill(Qt::cyan);
    const QString upFile = SaveImage("up.png", up), downFile = SaveImage("down.png", down);
    auto* button = ImageButton([&](TPushButtonProps& p) {
        p.imageStyle = qxbsIndividual;
        p.upImage = upFile;
        p.downImage = downFile;
    });
    EXPECT_PRED2(Near, Shot(*button).pixelColor(10, 5), QColor(Qt::yellow));
    Press(*button, {15, 10});
    const QImage pressed = Shot(*button);
    EXPECT_PRED2(Near, pressed.pixelColor(10, 5), kWhite);
    EXPECT_PRED2(Near, pressed.pixelColor(11, 6), QColor(Qt::cyan));
    EXPECT_PRED2(Near, pressed.pixelColor(20, 15), QColor(Qt::cyan));
}

TEST_F(ButtonPaint, TheTransparentColourLetsThePageShowThrough)
{
    QImage up(10, 10, QImage::Format_RGB32);
    up.fill(Qt::magenta);
    for (int y = 3; y < 7; ++y)
        for (int x = 3; x < 7; ++x) up.setPixelColor(x, y, Qt::yellow);
    const QString upFile = SaveImage("up.png", up);
    auto* button = ImageButton([&](TPushButtonProps& p) {
        p.imageStyle = qxbsIndividual;
        p.upImage = upFile;
        p.upTransColor = 0xFF00FF; // magenta as 0x00BBGGRR
    });
    button->SetFillPattern(1); // no fill: the white page is what shows
    const QImage shot = Shot(*button);
    EXPECT_PRED2(Near, shot.pixelColor(10, 5), kWhite);
    EXPECT_PRED2(Near, shot.pixelColor(14, 9), QColor(Qt::yellow));
}

int DarkestGrey(const QImage& image)
{
    int darkest = 255;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) darkest = std::min(darkest, qGray(image.pixel(x, y)));
    return darkest;
}

TEST_F(ButtonPaint, DisabledButtonsAreVeiled)
{
    auto* button = MakePush("Off", [](TObjectRecord& r) {
        r.lineWidth = 0;
        r.As<TPushButtonProps>()->text = "Disabled";
        r.As<TPushButtonProps>()->bevelWidth = 0;
    });
    const int enabled = DarkestGrey(Shot(*button));
    button->SetEnabledState(false);
    const int disabled = DarkestGrey(Shot(*button));
    EXPECT_LT(enabled, 40);
    EXPECT_GT(disabled, enabled + 40);
}

// ---- check boxes and radio buttons -----------------------------------------------------------

struct TGlyphCase {
    const char* label;
    bool radio;
    bool checked;
};

class ButtonGlyphs : public ButtonPaint, public ::testing::WithParamInterface<TGlyphCase> {};

TEST_P(ButtonGlyphs, ShowTheirStateInsideTheThirteenPixelBox)
{
    TObjectRecord record = Record(GetParam().radio ? otRadioBtn : otCheckBox, "G", 10, 10, 80, 21);
    record.As<TCheckBoxProps>()->useXPTheme = false;
    record.As<TCheckBoxProps>()->text = "Option";
    record.As<TCheckBoxProps>()->initialState = GetParam().checked ? qxbsDown : qxbsUp;
    TTomericButton* button = GetParam().radio ? static_cast<TTomericButton*>(new TTomericRadioBtn(&page, record, host))
                                              : new TTomericCheckBox(&page, record, host);
    button->OnInit();
    const QImage shot = Shot(*button);
    // The box: left edge, centred vertically (rows 4..16), white inside;
    // the mark or the dot through its centre (6, 10).
    if (!GetParam().radio) {
        EXPECT_PRED2(Near, shot.pixelColor(3, 6), kWhite);
    }
    EXPECT_PRED2(Near, shot.pixelColor(6, 10), GetParam().checked ? kBlack : kWhite);
    // Right of the box lies the page (no background is painted).
    EXPECT_PRED2(Near, shot.pixelColor(15, 1), kWhite);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ButtonGlyphs,
                         ::testing::Values(TGlyphCase{"CheckOff", false, false}, TGlyphCase{"CheckOn", false, true},
                                           TGlyphCase{"RadioOff", true, false}, TGlyphCase{"RadioOn", true, true}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(ButtonPaint, ScaledPaintMultipliesTheBoxAndUsesNoTheme)
{
    auto* box = MakeCheck("Print", [](TObjectRecord& r) {
        r.As<TCheckBoxProps>()->initialState = qxbsDown;
        r.As<TCheckBoxProps>()->text = "";
    });
    box->OnInit();
    ASSERT_TRUE(box->Themed());
    QImage printed(2 * box->width(), 2 * box->height(), QImage::Format_ARGB32);
    printed.fill(Qt::white);
    QPainter painter(&printed);
    box->PaintScaled(painter, printed.rect(), TButtonScale{2.0, 2.0});
    painter.end();
    const int top = (printed.height() - 26) / 2;
    // The classic glyph at twice its size: outer shadow, white inside, the
    // mark's fourth column (x 6, rows 7..9) doubled.
    EXPECT_PRED2(Near, printed.pixelColor(0, top), ShadowGrey());
    EXPECT_PRED2(Near, printed.pixelColor(23, top + 1), ShadowGrey());
    EXPECT_PRED2(Near, printed.pixelColor(5, top + 5), kWhite);
    EXPECT_PRED2(Near, printed.pixelColor(12, top + 14), kBlack);
    EXPECT_PRED2(Near, printed.pixelColor(13, top + 17), kBlack);
    EXPECT_PRED2(Near, printed.pixelColor(13, top + 18), kWhite);
}

TEST_F(ButtonPaint, ScaledPushButtonDoublesBorderAndBevel)
{
    auto* button = MakePush("Print", [](TObjectRecord& r) { r.As<TPushButtonProps>()->text = ""; });
    QImage printed(2 * button->width(), 2 * button->height(), QImage::Format_ARGB32);
    printed.fill(Qt::magenta);
    QPainter painter(&printed);
    button->PaintScaled(painter, printed.rect(), TButtonScale{2.0, 2.0});
    painter.end();
    const QColor face = TomericColor(kColourButtonFace);
    EXPECT_PRED2(Near, printed.pixelColor(1, 1), kBlack);
    EXPECT_PRED2(Near, printed.pixelColor(2, 20), kWhite);
    EXPECT_PRED2(Near, printed.pixelColor(5, 20), kWhite);
    EXPECT_PRED2(Near, printed.pixelColor(6, 20), face);
    EXPECT_PRED2(Near, printed.pixelColor(printed.width() - 3, 20), ShadowGrey());
    EXPECT_PRED2(Near, printed.pixelColor(printed.width() - 6, 20), ShadowGrey());
}

// ---- whole pages against pictures checked by eye -----------------------------------------------

// Pixels further apart than `tolerance` in a channel count as different; up
// to 1 % may differ (font rasterisation).
void ExpectLooksLike(const QImage& actual, const QString& name)
{
    const QString path = QStringLiteral(TOMERIC_TEST_DATA "/objects/") + name;
    QImage expected(path);
    if (expected.isNull() && qEnvironmentVariableIsSet("TOMERIC_WRITE_EXPECTED")) {
        QDir().mkpath(QStringLiteral(TOMERIC_TEST_DATA "/objects"));
        actual.save(path);
        GTEST_SKIP() << "wrote " << path.toStdString() << ": check it by eye";
    }
    ASSERT_FALSE(expected.isNull()) << "missing " << path.toStdString();
    ASSERT_EQ(expected.size(), actual.size());
    int different = 0;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (!NearWithin(actual.pixelColor(x, y), expected.pixelColor(x, y), 40)) ++different;
    EXPECT_LE(different, actual.width() * actual.height() / 100) << name.toStdString();
}

TEST_F(ButtonPaint, PushButtonsPage)
{
    page.resize(260, 100);
    const QString strip = Strip();
    MakePush("Plain", [](TObjectRecord& r) {
        r.x = 5, r.y = 5, r.width = 70, r.height = 26;
        r.As<TPushButtonProps>()->text = "^Open & go";
    });
    auto* pressed = MakePush("Pressed", [](TObjectRecord& r) {
        r.x = 85, r.y = 5, r.width = 70, r.height = 26;
        r.As<TPushButtonProps>()->text = "Pressed";
    });
    Press(*pressed, {5, 5});
    auto* off = MakePush("Off", [](TObjectRecord& r) {
        r.x = 165, r.y = 5, r.width = 70, r.height = 26;
        r.As<TPushButtonProps>()->text = "Disabled";
    });
    off->SetEnabledState(false);
    MakePush("Left", [&](TObjectRecord& r) {
        r.x = 5, r.y = 40, r.width = 110, r.height = 40;
        r.fillColor = 0xC0FFC0;
        r.As<TPushButtonProps>()->text = "Left";
        r.As<TPushButtonProps>()->alignment = baLeft;
        r.As<TPushButtonProps>()->imageStyle = qxbsLibrary;
        r.As<TPushButtonProps>()->libImage = strip;
    });
    MakePush("Centre", [&](TObjectRecord& r) {
        r.x = 125, r.y = 40, r.width = 110, r.height = 50;
        r.lineStyle = qxpsRaised;
        r.lineWidth = 2;
        r.As<TPushButtonProps>()->text = "Under";
        r.As<TPushButtonProps>()->bevelWidth = 0;
        r.As<TPushButtonProps>()->imageStyle = qxbsLibrary;
        r.As<TPushButtonProps>()->libImage = strip;
    });
    ExpectLooksLike(RenderWidget(page), QStringLiteral("buttons_push.png"));
}

TEST_F(ButtonPaint, CheckAndRadioPage)
{
    page.resize(260, 110);
    struct TItem {
        int type, x, y, alignment, state;
        bool themed, enabled;
        const char* text;
    };
    const TItem items[] = {
        {otCheckBox, 5, 5, baLeft, qxbsUp, false, true, "Off"},
        {otCheckBox, 5, 30, baLeft, qxbsDown, false, true, "^On"},
        {otCheckBox, 5, 55, baRight, qxbsDown, false, true, "Right"},
        {otCheckBox, 5, 80, baLeft, qxbsDown, false, false, "Disabled"},
        {otRadioBtn, 130, 5, baLeft, qxbsUp, false, true, "Radio off"},
        {otRadioBtn, 130, 30, baLeft, qxbsDown, false, true, "Radio on"},
        {otRadioBtn, 130, 55, baCentre, qxbsDown, false, true, "Above"},
    };
    for (const TItem& item : items) {
        TObjectRecord record = Record(item.type, item.text, item.x, item.y, 110, item.alignment == baCentre ? 40 : 20);
        auto* props = record.As<TCheckBoxProps>();
        props->alignment = item.alignment;
        props->initialState = item.state;
        props->useXPTheme = item.themed;
        props->text = item.text;
        record.enabled = item.enabled;
        TTomericButton* button = item.type == otRadioBtn ? static_cast<TTomericButton*>(new TTomericRadioBtn(&page, record, host))
                                                         : new TTomericCheckBox(&page, record, host);
        button->OnInit();
    }
    ExpectLooksLike(RenderWidget(page), QStringLiteral("buttons_check.png"));
}

TEST_F(ButtonPaint, ThemedPage)
{
    page.resize(200, 60);
    MakePush("Themed", [](TObjectRecord& r) {
        r.x = 5, r.y = 5, r.width = 80, r.height = 26;
        r.As<TPushButtonProps>()->text = "Themed";
        r.As<TPushButtonProps>()->useXPTheme = true;
    });
    auto* box = MakeCheck("Box", [](TObjectRecord& r) {
        r.x = 95, r.y = 5, r.width = 100, r.height = 20;
        r.As<TCheckBoxProps>()->text = "Themed";
        r.As<TCheckBoxProps>()->initialState = qxbsDown;
    });
    box->OnInit();
    auto* radio = MakeRadio("Radio", "Themed", "", qxbsDown);
    radio->setGeometry(95, 32, 100, 20);
    radio->OnInit();
    ExpectLooksLike(RenderWidget(page), QStringLiteral("buttons_themed.png"));
}

} // namespace
} // namespace tomeric
