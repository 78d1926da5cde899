// Reading RTF: one construct at a time, checked in the formats of the
// document that comes out.

#include "richtext/rich_text_properties.h"
#include "rich_text_test_support.h"

#include <QBuffer>
#include <QImage>
#include <QStringDecoder>
#include <QTextImageFormat>

#include <functional>

namespace tomeric {
namespace {

using testing::RichTextTest;

// ---- recognising RTF --------------------------------------------------------------

struct SniffCase {
    QByteArray bytes;
    bool rtf;
};

class RtfSniffing : public ::testing::TestWithParam<SniffCase> {};

TEST_P(RtfSniffing, RecognisesTheRtfSignature)
{
    EXPECT_EQ(LooksLikeRtf(GetParam().bytes), GetParam().rtf) << GetParam().bytes.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Signatures, RtfSniffing,
                         ::testing::Values(SniffCase{"{\\rtf1\\ansi x}", true},
                                           SniffCase{"  \r\n{\\rtf1 x}", true},
                                           SniffCase{"{\\rtf", true}, SniffCase{"{\\rt", false},
                                           SniffCase{"plain text", false}, SniffCase{"", false},
                                           SniffCase{"x{\\rtf1}", false}));

TEST_F(RichTextTest, TextThatIsNotRtfIsRefusedWithAMessage)
{
    QString error;
    EXPECT_FALSE(ReadRtf("just text", document, {}, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(RichTextTest, InputOverTheSizeBoundIsRefused)
{
    TRtfReadOptions options;
    options.maxInputBytes = 100;
    QString error;
    EXPECT_FALSE(ReadRtf("{\\rtf1 " + QByteArray(200, 'x') + "}", document, options, &error));
    EXPECT_TRUE(Text().isEmpty());
}

// ---- character formatting -----------------------------------------------------

struct CharCase {
    const char* name;
    QByteArray rtf;   // the document; the probe text is "X"
    std::function<bool(const QTextCharFormat&)> holds;
};

class RtfCharacterFormats : public RichTextTest, public ::testing::WithParamInterface<CharCase> {};

TEST_P(RtfCharacterFormats, ApplyToTheirText)
{
    Read("{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}" +
         GetParam().rtf + "}");
    EXPECT_TRUE(GetParam().holds(FormatOf("X"))) << Text().toStdString();
}

// clang-format off
const CharCase kCharCases[] = {
    {"Bold", "{\\b X}", [](const auto& f) { return f.fontWeight() == QFont::Bold; }},
    {"BoldOff", "\\b\\b0 X", [](const auto& f) { return f.fontWeight() != QFont::Bold; }},
    {"Italic", "\\i X", [](const auto& f) { return f.fontItalic(); }},
    {"Underline", "\\ul X", [](const auto& f) { return f.underlineStyle() == QTextCharFormat::SingleUnderline; }},
    {"UnderlineNone", "\\ul\\ulnone X", [](const auto& f) { return f.underlineStyle() == QTextCharFormat::NoUnderline; }},
    {"Strike", "\\strike X", [](const auto& f) { return f.fontStrikeOut(); }},
    {"Size", "\\fs28 X", [](const auto& f) { return f.fontPointSize() == 14.0; }},
    {"DefaultSize", "X", [](const auto& f) { return f.fontPointSize() == 10.0; }},
    {"Colour", "\\cf1 X", [](const auto& f) { return f.foreground().color() == QColor(255, 0, 0); }},
    {"AutoColour", "\\cf0 X", [](const auto& f) { return f.foreground().color() == QColor(0, 0, 0); }},
    {"Highlight", "\\highlight2 X", [](const auto& f) { return f.background().color() == QColor(0, 0, 255); }},
    {"Background", "\\cb1 X", [](const auto& f) { return f.background().color() == QColor(255, 0, 0); }},
    {"Superscript", "\\super X", [](const auto& f) { return f.verticalAlignment() == QTextCharFormat::AlignSuperScript; }},
    {"PlainResets", "\\b\\i\\fs40\\cf1\\plain X", [](const auto& f) {
         return f.fontWeight() != QFont::Bold && !f.fontItalic() && f.fontPointSize() == 10.0 &&
                f.foreground().color() == QColor(0, 0, 0); }},
    {"GroupEndRestores", "{\\b\\i in}X", [](const auto& f) { return f.fontWeight() != QFont::Bold && !f.fontItalic(); }},
    {"Protected", "\\protect X", [](const auto& f) { return f.boolProperty(rtpProtected); }},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Words, RtfCharacterFormats, ::testing::ValuesIn(kCharCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RichTextTest, FontTableNamesTheFamilies)
{
    Read("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman\\fcharset0 Times New "
         "Roman;}{\\f2\\fmodern;}}\\f1 serif \\f0 sans \\f2 fixed}");
    EXPECT_EQ(FormatOf("serif").fontFamilies().toStringList(), QStringList{"Times New Roman"});
    EXPECT_EQ(FormatOf("sans").fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_EQ(FormatOf("fixed").fontFamilies().toStringList(), QStringList{"Courier New"});
}

TEST_F(RichTextTest, OldStyleFontTableWithoutGroups)
{
    Read("{\\rtf1{\\fonttbl\\f0\\fswiss Arial;\\f1\\froman Times;}\\f1 a\\f0 b}");
    EXPECT_EQ(FormatOf("a").fontFamilies().toStringList(), QStringList{"Times"});
    EXPECT_EQ(FormatOf("b").fontFamilies().toStringList(), QStringList{"Arial"});
}

TEST_F(RichTextTest, OptionsGiveTheFontAndColourOfUnformattedText)
{
    TRtfReadOptions options;
    options.defaultFontFamily = "Verdana";
    options.defaultFontPointSize = 12;
    options.defaultTextColor = QColor(10, 20, 30);
    Read("{\\rtf1 plain}", options);
    EXPECT_EQ(FormatOf("plain").fontFamilies().toStringList(), QStringList{"Verdana"});
    EXPECT_DOUBLE_EQ(FormatOf("plain").fontPointSize(), 12.0);
    EXPECT_EQ(FormatOf("plain").foreground().color(), QColor(10, 20, 30));
}

// ---- paragraphs ---------------------------------------------------------------------

TEST_F(RichTextTest, ParagraphAlignmentAndIndentsInPixels)
{
    Read("{\\rtf1\\pard\\qc centre\\par\\pard\\qr right\\par\\pard\\qj\\li720\\ri360\\fi-360\\sb240"
         "\\sa120 just\\par\\pard plain\\par}");
    EXPECT_EQ(Text(), "centre\nright\njust\nplain");
    EXPECT_EQ(BlockFormatOf("centre").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(BlockFormatOf("right").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    const QTextBlockFormat just = BlockFormatOf("just");
    EXPECT_EQ(just.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    EXPECT_DOUBLE_EQ(just.leftMargin(), 48.0);
    EXPECT_DOUBLE_EQ(just.rightMargin(), 24.0);
    EXPECT_DOUBLE_EQ(just.textIndent(), -24.0);
    EXPECT_DOUBLE_EQ(just.topMargin(), 16.0);
    EXPECT_DOUBLE_EQ(just.bottomMargin(), 8.0);
    EXPECT_EQ(BlockFormatOf("plain").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

TEST_F(RichTextTest, ParagraphPropertiesLastUntilPard)
{
    Read("{\\rtf1\\qc one\\par two\\par\\pard three}");
    EXPECT_EQ(BlockFormatOf("two").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(BlockFormatOf("three").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

TEST_F(RichTextTest, LineSpacing)
{
    Read("{\\rtf1\\sl360\\slmult1 multiple\\par\\pard\\sl-300 exact\\par\\pard\\sl300 least}");
    EXPECT_EQ(BlockFormatOf("multiple").lineHeightType(), QTextBlockFormat::ProportionalHeight);
    EXPECT_DOUBLE_EQ(BlockFormatOf("multiple").lineHeight(), 150.0);
    EXPECT_EQ(BlockFormatOf("exact").lineHeightType(), QTextBlockFormat::FixedHeight);
    EXPECT_DOUBLE_EQ(BlockFormatOf("exact").lineHeight(), 20.0);
    EXPECT_EQ(BlockFormatOf("least").lineHeightType(), QTextBlockFormat::MinimumHeight);
}

TEST_F(RichTextTest, TabStopsAndTabs)
{
    Read("{\\rtf1\\tx1440\\tqr\\tx2880 a\\tab b\\tab c}");
    EXPECT_EQ(Text(), "a\tb\tc");
    const QList<QTextOption::Tab> tabs = BlockFormatOf("a").tabPositions();
    ASSERT_EQ(tabs.size(), 2);
    EXPECT_DOUBLE_EQ(tabs[0].position, 96.0);
    EXPECT_EQ(tabs[0].type, QTextOption::LeftTab);
    EXPECT_DOUBLE_EQ(tabs[1].position, 192.0);
    EXPECT_EQ(tabs[1].type, QTextOption::RightTab);
}

// ---- characters -------------------------------------------------------------------

struct TextCase {
    const char* name;
    QByteArray body;
    QString text;
};

class RtfText : public RichTextTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(RtfText, ReadsAs)
{
    Read("{\\rtf1\\ansi\\ansicpg1252 " + GetParam().body + "}");
    EXPECT_EQ(Text(), GetParam().text);
}

// clang-format off
const TextCase kTextCases[] = {
    {"Escapes", "a\\{b\\}c\\\\d", "a{b}c\\d"},
    {"HexBytesInCodePage1252", "caf\\'e9 \\'80", QString::fromUtf8("café €")},
    {"RawEightBitBytes", "caf\xe9", QString::fromUtf8("café")},
    {"LineEndsInSourceIgnored", "a\r\nb\nc", "abc"},
    {"ParagraphAndLine", "a\\par b\\line c", QString("a\nb") + QChar::LineSeparator + "c"},
    {"FinalParagraphMarkOpensNoParagraph", "a\\par b\\par", "a\nb"},
    {"BackslashNewlineIsParagraph", "a\\\nb", "a\nb"},
    {"PageAndSectionBreaks", "a\\page b\\sect c", "a\nb\nc"},
    {"Unicode", "\\u8364?x", QString::fromUtf8("€x")},
    {"UnicodeNegative", "\\u-3999?", QString(QChar(char16_t(61537)))},
    {"UnicodeSkipsHexFallback", "\\u233\\'e9x", QString::fromUtf8("éx")},
    {"UnicodeSkipCount", "\\uc2\\u233 ab!", QString::fromUtf8("é!")},
    {"UnicodeSkipZero", "\\uc0\\u233 a", QString::fromUtf8("éa")},
    {"UnicodeSkipEndsAtGroup", "{\\u233}x", QString::fromUtf8("éx")},
    {"SpecialCharacters", "\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote",
     QString::fromUtf8("—–•‘’“”")},
    {"NonBreakingSpace", "a\\~b", QString::fromUtf8("a\u00a0b")},
    {"HiddenTextDropped", "a{\\v hidden}b", "ab"},
    {"UnknownWordsSkipped", "a\\foo42 \\bar b", "ab"},
    {"UnknownGroupShowsItsText", "{\\foo inside}", "inside"},
    {"IgnorableDestinationSkipped", "a{\\*\\foo {nested} text}b", "ab"},
    {"StylesheetAndInfoSkipped", "{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}x", "x"},
    {"GeneratorSkipped", "{\\*\\generator Msftedit 5.41;}x", "x"},
    {"ListTextShows", "{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}item",
     QString::fromUtf8("·\titem")},
    {"BinaryDataOutsidePictureSkipped", "a\\bin3 {}}b", "ab"},
    {"BrokenHexDropped", "a\\'zzb", "azzb"},
    {"TextAfterFinalGroupIgnored", "a}trailing", "a"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Constructs, RtfText, ::testing::ValuesIn(kTextCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RichTextTest, FontCharsetChoosesTheCodePageOfHexBytes)
{
    if (!QStringDecoder("windows-1251").isValid())
        GTEST_SKIP() << "this Qt build has no Windows-1251 converter";
    Read("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset204 Arial;}}"
         "\\f1 \\'cf\\'f0\\'e8\\f0 \\'e9}");
    EXPECT_EQ(Text(), QString::fromUtf8("Приé"));
}

TEST_F(RichTextTest, DocumentCodePageAppliesToHexBytes)
{
    if (!QStringDecoder("windows-1250").isValid())
        GTEST_SKIP() << "this Qt build has no Windows-1250 converter";
    Read("{\\rtf1\\ansi\\ansicpg1250 \\'9a}");
    EXPECT_EQ(Text(), QString::fromUtf8("š"));
}

TEST_F(RichTextTest, KeptHiddenTextIsMarked)
{
    TRtfReadOptions options;
    options.keepHiddenText = true;
    Read("{\\rtf1 a{\\v secret}b}", options);
    EXPECT_EQ(Text(), "asecretb");
    EXPECT_TRUE(FormatOf("secret").boolProperty(rtpHiddenText));
    EXPECT_EQ(VisiblePlainText(document, 0, int(Text().size())), "ab");
}

// ---- structure bounds -------------------------------------------------------------

TEST_F(RichTextTest, DeepNestingIsReadFlatWithoutRecursion)
{
    const int depth = 100000;
    const QByteArray rtf = "{\\rtf1 " + QByteArray(depth, '{') + "deep" + QByteArray(depth, '}') +
                           " after}";
    Read(rtf);
    EXPECT_EQ(Text(), "deep after");
}

TEST_F(RichTextTest, TruncatedInputKeepsWhatWasRead)
{
    QString error;
    EXPECT_FALSE(ReadRtf("{\\rtf1 {\\b bold} and more", document, {}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Text(), "bold and more");
}

} // namespace
} // namespace tomeric
