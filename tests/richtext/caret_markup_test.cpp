// Caret markup (".TXT" articles) becomes RTF: each code's exact output, line
// and paragraph handling with word wrap on and off, links, bookmarks and long
// lines; then what a reader makes of the result.

#include "richtext/caret_markup.h"
#include "richtext/rich_text_properties.h"
#include "rich_text_test_support.h"

#include <QTextCharFormat>

namespace tomeric {
namespace {

const QByteArray kHead =
    "{\\rtf1\\ansi\\ansicpg1252\\deflang1033"
    "{\\colortbl\\red0\\green0\\blue0;\\red128\\green0\\blue0;\\red0\\green128\\blue0;"
    "\\red128\\green128\\blue0;\\red0\\green0\\blue128;\\red128\\green0\\blue128;"
    "\\red0\\green128\\blue128;\\red128\\green128\\blue128;\\red192\\green192\\blue192;"
    "\\red255\\green0\\blue0;\\red0\\green255\\blue0;\\red0\\green0\\blue255;"
    "\\red255\\green0\\blue255;\\red0\\green255\\blue255;\\red255\\green255\\blue0;"
    "\\red255\\green255\\blue255;}"
    "\\tx1440\\tx2880\\tx4320\\tx5760\\tx7200\\tx8640\\tx10080 ";

// The start of a paragraph: alignment, zero indents and spacing, plain text
// of the current size.
QByteArray Para(int halfPoints = 20, const char* align = "\\ql")
{
    return align + QByteArray("\\li0\\fi0\\ri0\\sb0\\sl\\sa0 \\plain\\f0\\fs") +
           QByteArray::number(halfPoints) + ' ';
}

QByteArray Plain(int halfPoints = 20)
{
    return "\\plain\\f0\\fs" + QByteArray::number(halfPoints) + ' ';
}

struct ConversionCase {
    const char* name;
    QByteArray markup;
    bool wordWrap;
    QByteArray body; // between the head and the final "}"
};

class CaretConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(CaretConversion, WritesExactRtf)
{
    const ConversionCase& c = GetParam();
    const QByteArray rtf = CaretMarkupToRtf(c.markup, {c.wordWrap});
    EXPECT_EQ(rtf.toStdString(), (kHead + c.body + "}").toStdString());
}

// clang-format off
const ConversionCase kCases[] = {
    {"PlainText", "Hello", true, Para() + "Hello"},
    {"Bold", "^Bbold^b rest", true, Para() + "\\b bold\\b0  rest"},
    {"Italic", "^Ia^i", true, Para() + "\\i a\\i0 "},
    {"Underline", "^Ua^u", true, Para() + "\\ul a\\ulnone "},
    {"StrikeThrough", "^Xa^x", true, Para() + "\\strike a\\strike0 "},
    {"FontSize", "^F14big^fsmall", true, Para() + "\\fs28 big\\fs20 small"},
    {"FontSizeKeepsFollowingSpace", "^F12 x", true, Para() + "\\fs24  x"},
    {"FontSizeWithoutNumberIgnored", "^Fx", true, Para() + "x"},
    {"FontSizeNegativeIgnored", "^F-3x", true, Para() + "x"},
    {"Colour", "^P9red^pblack", true, Para() + "\\cf9 red\\cf0 black"},
    {"ColourOutsideTableIsColourZero", "^P99x", true, Para() + "\\cf0 x"},
    {"Centre", "^Ctitle", true, Para() + "\\qc title"},
    {"Right", "^Gtitle", true, Para() + "\\qr title"},
    {"LeftBeforeText", "^C^ctext", true, Para() + "\\qc \\ql text"},
    {"LeftAfterTextWaits", "^Cab^gcd", true, Para() + "\\qc abcd"},
    {"TabCodes", "a^Sb^T12c^sd^t3e", true, Para() + "a\\tab b\\tab c\\tab d\\tab e"},
    {"LiteralCaret", "2^^3", true, Para() + "2^3"},
    {"UnknownCodeIsText", "^Zx", true, Para() + "^Zx"},
    {"CaretAtEnd", "a^", true, Para() + "a^"},
    {"RtfCharactersEscaped", "a\\b{c}", true, Para() + "a\\\\b\\{c\\}"},
    {"EightBitBytesCopied", "caf\xe9", true, Para() + "caf\xe9"},
    {"Link", "^LNext page=GotoPage \"Next\"^l after", true,
     Para() + "\\uldb Next page\\v GotoPage \"Next\"" + Plain() + " after"},
    {"LinkPipeOutsideQuotesIsLineBreak", "^LX=A|B \"a|b\"^l", true,
     Para() + "\\uldb X\\v A\\'b6B \"a|b\"" + Plain()},
    {"LinkEndKeepsSize", "^F12^LX=Y^l", true, Para() + "\\fs24 \\uldb X\\v Y" + Plain(24)},
    {"Bookmark", "^Mintro^mText", true, Para() + "{\\*\\bkmkstart intro}{\\*\\bkmkend intro}Text"},
    {"UnclosedBookmarkClosedAtEnd", "^Mname", true,
     Para() + "{\\*\\bkmkstart name}{\\*\\bkmkend name}"},
    {"WrapJoinsLines", "one\r\ntwo", true, Para() + "one two"},
    {"WrapEmptyLineEndsParagraph", "one\r\n\r\ntwo", true,
     Para() + "one " + Para() + "\\par\r\n" + Para() + "two"},
    {"NoWrapEachLineIsParagraph", "one\r\ntwo", false, Para() + "one\\par " + Para() + "two"},
    {"NoWrapFinalLineEnd", "one\r\n", false, Para() + "one\\par "},
    {"NoWrapEmptyLine", "one\r\n\r\ntwo", false,
     Para() + "one\\par " + Para() + "\\par\r\n" + Para() + "two"},
    {"NoWrapCentredLineThenLeft", "^Ctitle\r\nplain", false,
     Para() + "\\qc title\\par " + Para() + "plain"},
    {"SizeCarriesIntoNextParagraph", "^F12a\r\nb", false, Para() + "\\fs24 a\\par " + Para(24) + "b"},
    {"BareLineFeedEndsLine", "one\ntwo", false, Para() + "one\\par " + Para() + "two"},
    {"BookmarkEndsAtLineEnd", "^Mname\r\nx", false,
     Para() + "{\\*\\bkmkstart name}{\\*\\bkmkend name}\\par " + Para() + "x"},
    {"Empty", "", true, ""},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Codes, CaretConversion, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CaretLongLines, ALineLongerThanTheBufferIsKeptWhole)
{
    QByteArray line(40000, 'x');
    line[20000] = 'y';
    const QByteArray rtf = CaretMarkupToRtf(line + "\r\nz", {false});
    EXPECT_TRUE(rtf.contains(line + "\\par ")) << "the cut must add nothing to the text";
}

TEST(CaretLongLines, ACodeAtTheCutStaysACode)
{
    const QByteArray line = QByteArray(32767, 'x') + "^Bbold";
    const QByteArray rtf = CaretMarkupToRtf(line, {});
    EXPECT_TRUE(rtf.contains("x\\b bold"));
}

// ---- what the reader makes of converted articles ------------------------------

class CaretArticle : public testing::RichTextTest {
protected:
    void Convert(const QByteArray& markup, bool wordWrap = true)
    {
        Read(CaretMarkupToRtf(markup, {wordWrap}));
    }
};

TEST_F(CaretArticle, WordBetweenBoldCodesIsBoldAndDoubleCaretShowsOneCaret)
{
    Convert("a ^Bword^b b ^^ c");
    EXPECT_EQ(Text(), "a word b ^ c");
    EXPECT_EQ(FormatOf("word").fontWeight(), QFont::Bold);
    EXPECT_NE(FormatOf(" b").fontWeight(), QFont::Bold);
}

TEST_F(CaretArticle, SizeCodeSetsPointsAndLowerCaseReturnsToTen)
{
    Convert("^F14big^fsmall");
    EXPECT_DOUBLE_EQ(FormatOf("big").fontPointSize(), 14.0);
    EXPECT_DOUBLE_EQ(FormatOf("small").fontPointSize(), 10.0);
}

TEST_F(CaretArticle, CentredLineThenLeftLineWithoutWordWrap)
{
    Convert("^Ctitle\r\nplain", false);
    EXPECT_EQ(Text(), "title\nplain");
    EXPECT_EQ(BlockFormatOf("title").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(BlockFormatOf("plain").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

TEST_F(CaretArticle, WrappedLinesFormOneParagraphUntilAnEmptyLine)
{
    Convert("one\r\ntwo\r\n\r\nthree");
    EXPECT_EQ(Text(), "one two \nthree");
}

TEST_F(CaretArticle, ColourCodeUsesTheSixteenColourTable)
{
    Convert("^P9red");
    EXPECT_EQ(FormatOf("red").foreground().color(), QColor(255, 0, 0));
}

TEST_F(CaretArticle, LinkShowsItsTextAndKeepsItsCommandHidden)
{
    Convert("See ^LNext page=GotoPage \"Next\"|Beep^l now");
    EXPECT_EQ(Text(), "See Next page now");
    const int at = PositionOf("Next page");
    EXPECT_EQ(LinkCommandAt(document, at), QString::fromUtf8("GotoPage \"Next\"\u00b6Beep"));
    const auto link = LinkAt(document, at + 3);
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->text, "Next page");
    EXPECT_TRUE(LinkCommandAt(document, PositionOf(" now")).isEmpty());
}

TEST_F(CaretArticle, ColonLinkNamesABookmarkOfTheSameArticle)
{
    Convert("^LGo down=:end^l\r\n\r\nmiddle\r\n\r\n^Mend^mThe end");
    const QString command = LinkCommandAt(document, PositionOf("Go down"));
    ASSERT_EQ(command, ":end");
    const auto position = BookmarkPosition(document, command.mid(1));
    ASSERT_TRUE(position.has_value());
    EXPECT_EQ(*position, PositionOf("The end"));
}

TEST_F(CaretArticle, BookmarkNameDoesNotShow)
{
    Convert("^Mchapter1^mText");
    EXPECT_EQ(Text(), "Text");
    EXPECT_EQ(Bookmarks(document), QStringList{"chapter1"});
}

} // namespace
} // namespace tomeric
