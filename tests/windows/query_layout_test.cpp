// The query dialog's layout: picture left, message beside it, equal buttons
// under both, everything sized from the texts.

#include "windows_test_support.h"

#include "windows/query_form.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

namespace tomeric {
namespace {

TQueryMeasures Measures(QSize prompt, std::vector<int> captions, QSize picture = {32, 32})
{
    TQueryMeasures m;
    m.prompt = prompt;
    m.picture = picture;
    m.captionWidths = std::move(captions);
    m.mHeight = 11;
    m.screenWidth = 1024;
    m.frameWidth = 0;
    m.wrappedHeight = [](int width) { return 39 + width % 7; };
    return m;
}

struct LayoutCase {
    const char* name;
    TQueryMeasures measures;
    QRect panel, prompt;
    QSize client;
    std::vector<QRect> buttons;
};

class QueryLayoutRules : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(QueryLayoutRules, PlacesPictureMessageAndButtons)
{
    const LayoutCase& c = GetParam();
    const TQueryLayout layout = LayoutQuery(c.measures);
    EXPECT_EQ(layout.panel, c.panel);
    EXPECT_EQ(layout.prompt, c.prompt);
    EXPECT_EQ(layout.client, c.client);
    EXPECT_EQ(layout.buttons, c.buttons);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QueryLayoutRules,
    ::testing::Values(
        // A short caption keeps the 45-pixel minimum; the button row is
        // narrower than the message, so it is centred: 164/2 − 77/2 = 44.
        LayoutCase{"OneButton", Measures({100, 13}, {15}), QRect(12, 16, 32, 32), QRect(52, 26, 100, 13),
                   QSize(164, 113), {QRect(56, 72, 45, 25)}},
        // Three captions: every button as wide as the widest needs (70 + 16);
        // the row is wider than the message, which moves right by half the
        // difference: (306 − 164) / 2 = 71.
        LayoutCase{"ThreeButtons", Measures({100, 13}, {40, 70, 30}), QRect(83, 16, 32, 32),
                   QRect(123, 26, 100, 13), QSize(306, 113),
                   {QRect(12, 72, 86, 25), QRect(106, 72, 86, 25), QRect(200, 72, 86, 25)}},
        // A message taller than the icon: the icon is centred on it.
        LayoutCase{"TallMessage", Measures({200, 60}, {20}), QRect(12, 30, 32, 32), QRect(52, 14, 200, 60),
                   QSize(264, 139), {QRect(106, 98, 45, 25)}},
        // No buttons: 16 pixels under the content, as wide as the content.
        LayoutCase{"NoButtons", Measures({100, 13}, {}), QRect(12, 16, 32, 32), QRect(52, 26, 100, 13),
                   QSize(164, 64), {}},
        // A custom picture sets the panel's size; the message follows it.
        LayoutCase{"CustomPicture", Measures({80, 13}, {10}, {100, 50}), QRect(12, 16, 100, 50),
                   QRect(120, 35, 80, 13), QSize(212, 131), {QRect(80, 90, 45, 25)}}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST(QueryLayout, ButtonHeightIsAtLeast25OrTheMHeightPlus4)
{
    TQueryMeasures m = Measures({100, 13}, {10});
    EXPECT_EQ(LayoutQuery(m).buttonHeight, 25);
    m.mHeight = 30;
    EXPECT_EQ(LayoutQuery(m).buttonHeight, 34);
}

TEST(QueryLayout, AMessageWiderThanTheScreenWrapsAtTheScreenEdge)
{
    TQueryMeasures m = Measures({2000, 13}, {10});
    m.frameWidth = 8;
    const TQueryLayout layout = LayoutQuery(m);
    EXPECT_TRUE(layout.wordWrap);
    // screen − frame − prompt left − 12
    EXPECT_EQ(layout.prompt.width(), 1024 - 8 - 52 - 12);
    EXPECT_EQ(layout.prompt.height(), 39 + (1024 - 8 - 52 - 12) % 7);
    EXPECT_EQ(layout.client.width(), 1024 - 8);
}

TEST(QueryLayout, AMessageThatFitsDoesNotWrap)
{
    EXPECT_FALSE(LayoutQuery(Measures({900, 13}, {10})).wordWrap);
}

TEST(QueryButtons, AtMostFiftyCaptionsBecomeButtons)
{
    QStringList many;
    for (int i = 1; i <= 60; ++i)
        many << QString::number(i);
    const QStringList captions = QueryButtonCaptions(many.join(QLatin1Char('|')));
    ASSERT_EQ(captions.size(), 50);
    EXPECT_EQ(captions.last(), QStringLiteral("50"));
}

TEST(QueryButtons, AnEmptyListHasNoButtonsAndQuotesAreOrdinary)
{
    EXPECT_TRUE(QueryButtonCaptions(QString()).isEmpty());
    EXPECT_EQ(QueryButtonCaptions(QStringLiteral("\"A|B\"")),
              (QStringList{QStringLiteral("\"A"), QStringLiteral("B\"")}));
}

// ---- the form on the off-screen platform --------------------------------------------

class QueryFormLayout : public ::testing::Test {
protected:
    void SetUp() override { testing::DialogApplication(); }
    TDialogLook look_;
};

TEST_F(QueryFormLayout, ButtonsTakeTheWidestCaptionPlus16AndSitInARow)
{
    TQueryForm form(nullptr, look_, QStringLiteral("Title"), QStringLiteral("Question?"),
                    QStringLiteral("Yes|A much longer caption|No"), QString());
    const QFontMetrics metrics(form.font());
    const int widest = metrics.horizontalAdvance(QStringLiteral("A much longer caption")) + 16;
    ASSERT_EQ(form.Buttons().size(), 3u);
    const int top = form.Buttons()[0]->y();
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(form.Buttons()[i]->width(), std::max(45, widest));
        EXPECT_EQ(form.Buttons()[i]->height(), DialogButtonHeight(metrics));
        EXPECT_EQ(form.Buttons()[i]->y(), top);
        if (i > 0)
            EXPECT_EQ(form.Buttons()[i]->x(), form.Buttons()[i - 1]->x() + widest + 8);
    }
    EXPECT_EQ(form.size(), form.Layout().client);
    EXPECT_EQ(form.height(), top + DialogButtonHeight(metrics) + 16);
}

TEST_F(QueryFormLayout, BarsInTheMessageBreakLinesAndTheIconIs32Square)
{
    TQueryForm form(nullptr, look_, QString(), QStringLiteral("one|two|three"), QStringLiteral("OK"), QString());
    EXPECT_EQ(form.PromptLabel()->text(), QStringLiteral("one\ntwo\nthree"));
    EXPECT_EQ(form.Picture().size(), QSize(32, 32));
    EXPECT_FALSE(form.HasCustomImage());
    const QFontMetrics metrics(form.font());
    EXPECT_GE(form.PromptLabel()->height(), 3 * metrics.height() - 2);
}

TEST_F(QueryFormLayout, ACustomImageSizesThePanelAndAnUnreadableOneFallsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("face.png"));
    QImage picture(64, 40, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(path));

    TQueryForm custom(nullptr, look_, QString(), QStringLiteral("Hi"), QStringLiteral("OK"), path);
    EXPECT_TRUE(custom.HasCustomImage());
    EXPECT_EQ(custom.Layout().panel.size(), QSize(64, 40));
    EXPECT_EQ(custom.PromptLabel()->x() - custom.Layout().panel.x(), 64 + 8);

    TQueryForm missing(nullptr, look_, QString(), QStringLiteral("Hi"), QStringLiteral("OK"),
                       dir.filePath(QStringLiteral("none.png")));
    EXPECT_FALSE(missing.HasCustomImage());
    EXPECT_EQ(missing.Layout().panel.size(), QSize(32, 32));
}

TEST_F(QueryFormLayout, TheAlertIconServesFewerThanTwoButtonsTheAskIconTheOthers)
{
    TQueryForm one(nullptr, look_, QString(), QStringLiteral("x"), QStringLiteral("OK"), QString());
    TQueryForm two(nullptr, look_, QString(), QStringLiteral("x"), QStringLiteral("Yes|No"), QString());
    const bool high = DisplayColourCount() > 256;
    EXPECT_EQ(one.Picture(), TransparentIcon(BuiltinIconImage(TBuiltinIcon::biAlert, high)));
    EXPECT_EQ(two.Picture(), TransparentIcon(BuiltinIconImage(TBuiltinIcon::biAsk, high)));
    EXPECT_NE(one.Picture(), two.Picture());
}

TEST_F(QueryFormLayout, TheDialogFontIsThePublications)
{
    TPublicationSettings settings;
    settings.customFontName = QStringLiteral("Times New Roman");
    settings.customFontSize = 12;
    settings.customFontStyle = 2;
    const TDialogLook look(settings);
    TQueryForm form(nullptr, look, QString(), QStringLiteral("x"), QStringLiteral("OK"), QString());
    EXPECT_EQ(form.font().pixelSize(), 16);
    EXPECT_TRUE(form.font().italic());
    EXPECT_FALSE(form.font().bold());
}

} // namespace
} // namespace tomeric
