// Automatic detection: RTF is read as RTF, anything else as plain text in
// the default font.

#include "imaging/windows_fonts.h"
#include "richtext/rich_text_loading.h"
#include "richtext/rich_text_properties.h"
#include "rich_text_test_support.h"

namespace tomeric {
namespace {

using testing::RichTextTest;

TEST_F(RichTextTest, RtfBytesAreReadAsRtf)
{
    EXPECT_TRUE(LoadRichOrPlainText(QByteArray("{\\rtf1 {\\b bold}}"), document));
    EXPECT_EQ(Text(), "bold");
    EXPECT_EQ(FormatOf("bold").fontWeight(), QFont::Bold);
}

TEST_F(RichTextTest, PlainBytesAreWindows1252LinesInTheDefaultFont)
{
    TRtfReadOptions options;
    options.defaultFontFamily = "Arial";
    options.defaultFontPointSize = 12;
    options.defaultTextColor = QColor(1, 2, 3);
    EXPECT_TRUE(LoadRichOrPlainText(QByteArray("caf\xe9\r\nline two\nthree {\\b}"), document, options));
    EXPECT_EQ(Text(), QString::fromUtf8("café\nline two\nthree {\\b}"));
    EXPECT_EQ(FormatOf("two").fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_DOUBLE_EQ(FormatOf("two").fontPointSize(), 12.0);
    EXPECT_EQ(FormatOf("three").foreground().color(), QColor(1, 2, 3));
}

TEST_F(RichTextTest, RtfHeldAsTextKeepsItsAccentsAndOtherCharacters)
{
    const QString rtf = QString::fromUtf8("{\\rtf1\\ansi caf\u00e9 \u65e5 \\'e9}");
    EXPECT_TRUE(LoadRichOrPlainText(rtf, document));
    EXPECT_EQ(Text(), QString::fromUtf8("café 日 é"));
}

TEST_F(RichTextTest, PlainTextHeldAsTextLoadsAsIs)
{
    EXPECT_TRUE(LoadRichOrPlainText(QStringLiteral("Hello [Name]"), document));
    EXPECT_EQ(Text(), "Hello [Name]");
}

TEST_F(RichTextTest, DamagedRtfReportsButKeepsItsText)
{
    QString error;
    EXPECT_FALSE(LoadRichOrPlainText(QByteArray("{\\rtf1 unfinished"), document, {}, &error));
    EXPECT_EQ(Text(), "unfinished");
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(RichTextTest, FontOverWholeTextKeepsStyleUnlessAsked)
{
    Read("{\\rtf1 {\\b bold} {\\uldb link}{\\v cmd} {\\fs40 big}}");
    ApplyFontToWholeText(document, "Courier New", 9, 0, false);
    EXPECT_EQ(FormatOf("big").fontFamilies().toStringList(), QStringList{"Courier New"});
    EXPECT_DOUBLE_EQ(FormatOf("big").fontPointSize(), 9.0);
    EXPECT_EQ(FormatOf("bold").fontWeight(), QFont::Bold) << "style kept without withStyle";
    EXPECT_EQ(document.defaultFont().family(), "Courier New");

    ApplyFontToWholeText(document, "Arial", 12, fsItalic, true);
    EXPECT_NE(FormatOf("bold").fontWeight(), QFont::Bold);
    EXPECT_TRUE(FormatOf("big").fontItalic());
    EXPECT_TRUE(FormatOf("link").fontUnderline()) << "links stay underlined";
    EXPECT_FALSE(FormatOf("big").fontUnderline());
    EXPECT_EQ(LinkCommandAt(document, PositionOf("link")), "cmd");
}

} // namespace
} // namespace tomeric
