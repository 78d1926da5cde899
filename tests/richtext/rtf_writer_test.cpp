// Writing a document as RTF and reading it back gives the same text,
// formats, links, bookmarks, fields and pictures.

#include "richtext/caret_markup.h"
#include "richtext/rich_text_properties.h"
#include "richtext/rtf_writer.h"
#include "rich_text_test_support.h"

#include <QTextImageFormat>

namespace tomeric {
namespace {

class RtfRoundTrip : public testing::RichTextTest {
protected:
    // Writes the document and reads the result into `copy`.
    void RoundTrip()
    {
        written = WriteRtf(document);
        QString error;
        ASSERT_TRUE(ReadRtf(written, copy, {}, &error)) << error.toStdString() << "\n"
                                                        << written.toStdString();
    }

    QTextCharFormat CopyFormatOf(const QString& text)
    {
        QString raw = copy.toRawText();
        raw.replace(QChar::ParagraphSeparator, u'\n');
        const int at = int(raw.indexOf(text));
        EXPECT_GE(at, 0) << text.toStdString();
        QTextCursor cursor(&copy);
        cursor.setPosition(std::max(0, at) + 1);
        return cursor.charFormat();
    }

    QString CopyText() const
    {
        QString raw = copy.toRawText();
        return raw.replace(QChar::ParagraphSeparator, u'\n');
    }

    QTextDocument copy;
    QByteArray written;
};

TEST_F(RtfRoundTrip, TextAndCharacterFormatsSurvive)
{
    Read("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Times New Roman;}}{\\colortbl;\\red255\\green0\\blue0;"
         "\\red0\\green0\\blue255;}\\f0 plain {\\b bold} {\\i italic} {\\ul under} {\\strike gone} "
         "{\\f1\\fs28 big} {\\cf1 red} {\\highlight2 marked} {\\super up} a\\{b\\}c\\\\ "
         "caf\\'e9 \\u26085? tab\\tab x\\line y\\~z}");
    RoundTrip();
    EXPECT_EQ(CopyText(), Text());
    EXPECT_EQ(CopyFormatOf("bold").fontWeight(), QFont::Bold);
    EXPECT_TRUE(CopyFormatOf("italic").fontItalic());
    EXPECT_EQ(CopyFormatOf("under").underlineStyle(), QTextCharFormat::SingleUnderline);
    EXPECT_TRUE(CopyFormatOf("gone").fontStrikeOut());
    EXPECT_EQ(CopyFormatOf("big").fontFamilies().toStringList(), QStringList{"Times New Roman"});
    EXPECT_DOUBLE_EQ(CopyFormatOf("big").fontPointSize(), 14.0);
    EXPECT_EQ(CopyFormatOf("red").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(CopyFormatOf("marked").background().color(), QColor(0, 0, 255));
    EXPECT_EQ(CopyFormatOf("up").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(CopyFormatOf("plain").fontFamilies().toStringList(), QStringList{"Arial"});
}

TEST_F(RtfRoundTrip, ParagraphFormatsSurvive)
{
    Read("{\\rtf1\\pard\\qc\\li720\\ri360\\fi-360\\sb240\\sa120\\sl360\\slmult1\\tx1440\\tqr\\tx2880 "
         "one\\par\\pard\\qr\\sl-300 two\\par\\pard\\qj three}");
    RoundTrip();
    EXPECT_EQ(CopyText(), "one\ntwo\nthree");
    for (const char* probe : {"one", "two", "three"}) {
        const QTextBlockFormat original = BlockFormatOf(probe);
        QString raw = CopyText();
        const QTextBlockFormat back = copy.findBlock(int(raw.indexOf(probe))).blockFormat();
        EXPECT_EQ(back.alignment(), original.alignment()) << probe;
        EXPECT_DOUBLE_EQ(back.leftMargin(), original.leftMargin()) << probe;
        EXPECT_DOUBLE_EQ(back.rightMargin(), original.rightMargin()) << probe;
        EXPECT_DOUBLE_EQ(back.textIndent(), original.textIndent()) << probe;
        EXPECT_DOUBLE_EQ(back.topMargin(), original.topMargin()) << probe;
        EXPECT_DOUBLE_EQ(back.bottomMargin(), original.bottomMargin()) << probe;
        EXPECT_EQ(back.lineHeightType(), original.lineHeightType()) << probe;
        EXPECT_DOUBLE_EQ(back.lineHeight(), original.lineHeight()) << probe;
        EXPECT_EQ(back.tabPositions(), original.tabPositions()) << probe;
    }
}

TEST_F(RtfRoundTrip, LinksBookmarksAndFieldsSurvive)
{
    Read("{\\rtf1 {\\uldb Go \\{there\\}}{\\v GotoPage \"A\\'b6B\"} and {\\*\\bkmkstart mark}here "
         "[Name] {\\field{\\*\\fldinst HYPERLINK \\\\l \"mark\"}{\\fldrslt web}}}");
    ASSERT_EQ(CreateVariableFields(document, [](const QString&) { return QStringLiteral("Ann"); }), 1);
    ASSERT_EQ(Text(), "Go {there} and here Ann web");
    RoundTrip();
    EXPECT_EQ(CopyText(), "Go {there} and here [Name] web") << "fields go back to their group";
    EXPECT_EQ(LinkCommandAt(copy, 0), QString::fromUtf8("GotoPage \"A\u00b6B\""));
    EXPECT_EQ(LinkAt(copy, 0)->text, "Go {there}");
    EXPECT_EQ(BookmarkPosition(copy, "mark"), int(CopyText().indexOf("here [")));
    const auto web = LinkAt(copy, int(CopyText().indexOf("web")));
    ASSERT_TRUE(web.has_value());
    EXPECT_EQ(web->kind, TRichLinkKind::Hyperlink);
    EXPECT_EQ(web->command, ":mark");
}

TEST_F(RtfRoundTrip, PicturesSurvive)
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(10, 200, 30));
    document.addResource(QTextDocument::ImageResource, QUrl("mem:1"), image);
    QTextCursor cursor(&document);
    QTextImageFormat format;
    format.setName("mem:1");
    format.setWidth(30);
    format.setHeight(20);
    cursor.insertText("a");
    cursor.insertImage(format);
    cursor.insertText("b");
    RoundTrip();
    EXPECT_EQ(CopyText(), QString("a") + QChar::ObjectReplacementCharacter + "b");
    const QTextImageFormat back = CopyFormatOf(QString(QChar::ObjectReplacementCharacter)).toImageFormat();
    EXPECT_DOUBLE_EQ(back.width(), 30.0);
    EXPECT_DOUBLE_EQ(back.height(), 20.0);
    const QImage read = copy.resource(QTextDocument::ImageResource, QUrl(back.name())).value<QImage>();
    EXPECT_EQ(read.pixel(2, 1), image.pixel(2, 1));
}

TEST_F(RtfRoundTrip, OtherFieldsKeepTheirInstruction)
{
    Read("{\\rtf1 {\\field{\\*\\fldinst DATE \\\\@ \"d\"}{\\fldrslt 5}} x}");
    RoundTrip();
    EXPECT_EQ(CopyText(), "5 x");
    EXPECT_EQ(CopyFormatOf("5").stringProperty(rtpFieldInstruction), "DATE \\@ \"d\"");
}

TEST_F(RtfRoundTrip, CorpusDocumentsKeepTheirText)
{
    for (const char* file : {"wordpad.rtf", "word97.rtf", "hot_text.rtf", "word2000_unicode.rtf"}) {
        Read(testing::ReadTestFile(QStringLiteral("rtf/") + file));
        RoundTrip();
        // A merge field comes back as the variable group it stands for.
        QString expected = Text();
        expected.replace(QString::fromUtf8("«Nom»"), "[Nom]");
        EXPECT_EQ(CopyText(), expected) << file;
        EXPECT_EQ(Bookmarks(copy), Bookmarks(document)) << file;
        EXPECT_EQ(Links(copy).size(), Links(document).size()) << file;
    }
}

} // namespace
} // namespace tomeric
