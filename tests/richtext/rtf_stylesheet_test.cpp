// Styles of the stylesheet: \sN and \csN give their text the style's
// formatting (with that of the styles it is based on) as a base that
// explicit words then change; style names never show as text.

#include "rich_text_test_support.h"

#include <functional>

namespace tomeric {
namespace {

using testing::RichTextTest;

const QByteArray kStylesheet =
    "{\\stylesheet{\\widctlpar\\adjustright \\fs20 \\snext0 Normal;}"
    "{\\s1\\sb240\\sa60\\keepn\\b\\f1\\fs28 \\sbasedon0 \\snext0 heading 1;}"
    "{\\s2\\qc\\i \\sbasedon1 \\snext0 heading 2;}"
    "{\\s3\\li720 \\sbasedon4 loop a;}{\\s4\\ri360 \\sbasedon3 loop b;}"
    "{\\s5\\sbasedon5\\qr self;}"
    "{\\*\\cs10 \\additive Default Paragraph Font;}"
    "{\\*\\cs15 \\additive \\ul\\cf1 \\sbasedon10 Hyperlink;}"
    "{\\*\\ts11\\tsrowd\\trftsWidthB3 Normal Table;}}";

QByteArray Document(const QByteArray& body)
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Times New Roman;}}"
           "{\\colortbl;\\red0\\green0\\blue255;}" + kStylesheet + body + "}";
}

struct StyleCase {
    const char* name;
    QByteArray body; // the probe text is "X"
    std::function<bool(const QTextCharFormat&, const QTextBlockFormat&)> holds;
};

class RtfStyles : public RichTextTest, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(RtfStyles, GiveTheirFormatting)
{
    Read(Document(GetParam().body));
    EXPECT_TRUE(GetParam().holds(FormatOf("X"), BlockFormatOf("X"))) << Text().toStdString();
}

using C = QTextCharFormat;
using B = QTextBlockFormat;

// clang-format off
const StyleCase kStyleCases[] = {
    {"ParagraphStyleCharacters", "\\pard\\plain\\s1 X", [](const C& c, const B&) {
         return c.fontWeight() == QFont::Bold && c.fontPointSize() == 14.0 &&
                c.fontFamilies().toStringList() == QStringList{"Times New Roman"}; }},
    {"ParagraphStyleSpacing", "\\pard\\plain\\s1 X", [](const C&, const B& b) {
         return b.topMargin() == 16.0 && b.bottomMargin() == 4.0; }},
    {"ExplicitWordsFollowTheStyle", "\\pard\\plain\\s1\\b0\\fs20 X", [](const C& c, const B&) {
         return c.fontWeight() != QFont::Bold && c.fontPointSize() == 10.0 &&
                c.fontFamilies().toStringList() == QStringList{"Times New Roman"}; }},
    {"BasedOnInherits", "\\pard\\plain\\s2 X", [](const C& c, const B& b) {
         return c.fontItalic() && c.fontWeight() == QFont::Bold && c.fontPointSize() == 14.0 &&
                (b.alignment() & Qt::AlignHorizontal_Mask) == Qt::AlignHCenter && b.topMargin() == 16.0; }},
    {"BasedOnCycleEnds", "\\pard\\plain\\s3 X", [](const C&, const B& b) {
         return b.leftMargin() == 48.0 && b.rightMargin() == 24.0; }},
    {"BasedOnItself", "\\pard\\plain\\s5 X", [](const C&, const B& b) {
         return (b.alignment() & Qt::AlignHorizontal_Mask) == Qt::AlignRight; }},
    {"NormalStyleWithoutNumber", "\\pard\\plain\\fs40\\s0 X", [](const C& c, const B&) {
         return c.fontPointSize() == 10.0; }},
    {"CharacterStyleAddsToTheText", "\\b {\\cs15 X}", [](const C& c, const B&) {
         return c.fontWeight() == QFont::Bold && c.underlineStyle() == QTextCharFormat::SingleUnderline &&
                c.foreground().color() == QColor(0, 0, 255); }},
    {"CharacterStyleEndsWithItsGroup", "{\\cs15 a}X", [](const C& c, const B&) {
         return c.underlineStyle() == QTextCharFormat::NoUnderline; }},
    {"UnknownStyleIgnored", "\\pard\\qc\\i\\s99 X", [](const C& c, const B& b) {
         return c.fontItalic() && (b.alignment() & Qt::AlignHorizontal_Mask) == Qt::AlignHCenter; }},
    {"PardReturnsToNormal", "\\pard\\s1 a\\par\\pard\\plain X", [](const C& c, const B& b) {
         return c.fontWeight() != QFont::Bold && b.topMargin() == 0.0; }},
    {"StyleKeepsTheTableMark", "\\trowd\\cellx1000\\pard\\intbl\\s2 X\\cell\\row\\pard", [](const C& c, const B&) {
         return c.fontItalic(); }},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Styles, RtfStyles, ::testing::ValuesIn(kStyleCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RichTextTest, StyleNamesNeverShow)
{
    Read(Document("\\pard\\plain\\s1 Title\\par\\pard\\plain body"));
    EXPECT_EQ(Text(), "Title\nbody");
}

TEST_F(RichTextTest, OldFlatStylesheetWithoutGroups)
{
    Read("{\\rtf1{\\stylesheet\\s0 Normal;\\s1\\b Heading;}\\s1 X}");
    EXPECT_EQ(Text(), "X");
    EXPECT_EQ(FormatOf("X").fontWeight(), QFont::Bold);
}

TEST_F(RichTextTest, StylesheetInsideAnotherDestinationIsSkipped)
{
    Read("{\\rtf1{\\field{\\*\\fldinst {\\stylesheet{\\s1\\b H;}} DATE}{\\fldrslt d}}\\s1 X}");
    EXPECT_EQ(Text(), "dX");
    EXPECT_NE(FormatOf("X").fontWeight(), QFont::Bold);
}

TEST_F(RichTextTest, ManyStylesAndLongBaseChainsStayQuick)
{
    QByteArray sheet = "{\\stylesheet";
    for (int i = 0; i < 5000; ++i)
        sheet += "{\\s" + QByteArray::number(i) + "\\sbasedon" + QByteArray::number(i + 1) +
                 "\\b\\i\\fs30\\qc\\li100\\tx100\\tx200 S;}";
    QByteArray body;
    for (int i = 0; i < 20000; ++i)
        body += "\\s" + QByteArray::number(i % 5000) + " x";
    Read("{\\rtf1" + sheet + "}" + body + "}");
    EXPECT_EQ(Text(), QString(20000, u'x'));
}

} // namespace
} // namespace tomeric
