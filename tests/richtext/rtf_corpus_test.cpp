// Documents of the shapes the era's editors wrote (WordPad, Word 97, Word
// 2000, a rich-text control's own save, a caret-markup article) read without
// error into the expected text, tables and formats.

#include "richtext/caret_markup.h"
#include "richtext/rich_text_properties.h"
#include "rich_text_test_support.h"

#include <QTextTable>

namespace tomeric {
namespace {

using testing::DocumentLayout;
using testing::ReadTestFile;

struct CorpusCase {
    const char* file;
    QString text;
};

class RtfCorpus : public testing::RichTextTest, public ::testing::WithParamInterface<CorpusCase> {
protected:
    void Load(const QString& file)
    {
        QByteArray bytes = ReadTestFile("rtf/" + file);
        if (file.endsWith(".txt"))
            bytes = CaretMarkupToRtf(bytes, {});
        Read(bytes);
    }
};

TEST_P(RtfCorpus, ReadsIntoTheExpectedText)
{
    Load(GetParam().file);
    EXPECT_EQ(DocumentLayout(document), GetParam().text);
}

// clang-format off
const CorpusCase kCorpus[] = {
    {"wordpad.rtf", QString::fromUtf8(
         "Bonjour gras, italique, souligné.\nRouge et bleu.\nCentré\n•\tPremier\n•\tSecond\nFin € ")},
    {"word97.rtf", QString::fromUtf8(
         "Titre principal\nTexte normal avec un lien et un champ «Nom».\n•\tPremier point\n"
         "•\tSecond point\nRouge Courier")},
    {"hot_text.rtf", QString::fromUtf8("Cliquez ici pour continuer.\nBonjour [Nom] !")},
    {"word2000_unicode.rtf", QString::fromUtf8("Japon : 日本\n") + QChar::ObjectReplacementCharacter + "Fin"},
    {"word97_table.rtf", QString::fromUtf8(
         "Tarifs\nVoici nos prix :\n{Article|Prix|Lien/Café|1,20 €|Suite/Thé|«Prix»|Commander}\n"
         "\nSuite du texte.")},
    {"word97_styles.rtf", QString::fromUtf8(
         "Chapitre un\nSection deux\nTexte avec important, très important et normal.\n"
         "Une citation.\nx = y + 1;\nStyle inconnu.")},
    {"article.txt", QString::fromUtf8(
         "Bienvenue \nCe texte est un exemple d'article en couleur. Voir La suite ou Quitter. \n"
         "Suite : café ^ 100 % \\ {} ")},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Files, RtfCorpus, ::testing::ValuesIn(kCorpus), [](const auto& info) {
    std::string name = info.param.file;
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
});

class RtfCorpusFormats : public RtfCorpus {};

TEST_F(RtfCorpusFormats, WordPadFormatsAndBullets)
{
    Load("wordpad.rtf");
    EXPECT_EQ(FormatOf("gras").fontWeight(), QFont::Bold);
    EXPECT_TRUE(FormatOf("italique").fontItalic());
    EXPECT_EQ(FormatOf("Rouge").foreground().color(), QColor(255, 0, 0));
    EXPECT_DOUBLE_EQ(FormatOf("bleu").fontPointSize(), 14.0);
    EXPECT_EQ(FormatOf("Fin").fontFamilies().toStringList(), QStringList{"Times New Roman"});
    EXPECT_EQ(BlockFormatOf("Centr").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_DOUBLE_EQ(BlockFormatOf("Premier").leftMargin(), 48.0);
    EXPECT_DOUBLE_EQ(BlockFormatOf("Premier").textIndent(), -48.0);
}

TEST_F(RtfCorpusFormats, Word97HeadingLinkFieldAndBookmark)
{
    Load("word97.rtf");
    EXPECT_EQ(FormatOf("Titre").fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(FormatOf("Titre").fontPointSize(), 14.0);
    EXPECT_EQ(BookmarkPosition(document, "titre"), 0);
    EXPECT_EQ(LinkCommandAt(document, PositionOf("lien")), "http://www.example.com/");
    EXPECT_EQ(FormatOf("Nom").stringProperty(rtpVariableName), "NOM");
    EXPECT_EQ(FormatOf("Rouge").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(FormatOf("Courier").fontFamilies().toStringList(), QStringList{"Courier New"});
    EXPECT_FALSE(Text().contains("En-t")) << "headers are not part of the text";
}

TEST_F(RtfCorpusFormats, Word97TableWithBordersLinksFieldsAndBookmarks)
{
    Load("word97_table.rtf");
    QTextTable* table = nullptr;
    for (auto it = document.rootFrame()->begin(); !it.atEnd() && !table; ++it)
        table = qobject_cast<QTextTable*>(it.currentFrame());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 3);
    EXPECT_EQ(table->columns(), 3);
    const QTextTableCellFormat first = table->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_EQ(first.topBorderStyle(), QTextFrameFormat::BorderStyle_Solid) << "the row's top border";
    EXPECT_EQ(table->format().columnWidthConstraints().value(1),
              QTextLength(QTextLength::FixedLength, 3020 / 15.0));
    EXPECT_EQ(FormatOf("Article").fontWeight(), QFont::Bold);
    EXPECT_EQ(BlockFormatOf("Prix").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(BookmarkPosition(document, "cafe"), PositionOf("Caf"));
    EXPECT_EQ(LinkCommandAt(document, PositionOf("Suite")), ":suite");
    EXPECT_EQ(FormatOf("Suite").foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(LinkCommandAt(document, PositionOf("Commander")), "GotoPage \"Commande\"");
    EXPECT_EQ(VariableFieldNames(document), QStringList{"PRIX"});
    EXPECT_EQ(BookmarkPosition(document, "suite"), PositionOf("Suite du"));
    EXPECT_FALSE(Text().contains("heading")) << "style names are not text";
}

TEST_F(RtfCorpusFormats, Word97StylesGiveTheirFormatting)
{
    Load("word97_styles.rtf");
    const QTextCharFormat section = FormatOf("Section");
    EXPECT_EQ(section.fontWeight(), QFont::Bold) << "heading 2 is based on heading 1";
    EXPECT_TRUE(section.fontItalic());
    EXPECT_DOUBLE_EQ(section.fontPointSize(), 14.0);
    EXPECT_EQ(section.fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_DOUBLE_EQ(BlockFormatOf("Section").topMargin(), 16.0);
    EXPECT_EQ(FormatOf("important").fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatOf("important").foreground().color(), QColor(255, 0, 0));
    const QTextCharFormat very = FormatOf(QString::fromUtf8("très"));
    EXPECT_EQ(very.fontWeight(), QFont::Bold);
    EXPECT_EQ(very.underlineStyle(), QTextCharFormat::SingleUnderline);
    EXPECT_NE(FormatOf("normal").fontWeight(), QFont::Bold);
    EXPECT_TRUE(FormatOf("citation").fontItalic());
    EXPECT_DOUBLE_EQ(BlockFormatOf("citation").leftMargin(), 567 / 15.0);
    EXPECT_EQ(FormatOf("y + 1").fontFamilies().toStringList(), QStringList{"Courier New"});
    EXPECT_DOUBLE_EQ(FormatOf("y + 1").fontPointSize(), 9.0);
    EXPECT_EQ(BlockFormatOf("y + 1").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_DOUBLE_EQ(FormatOf("inconnu").fontPointSize(), 10.0);
    EXPECT_FALSE(FormatOf("inconnu").fontItalic());
}

TEST_F(RtfCorpusFormats, SavedHotTextKeepsItsCommandAndVariablesBecomeFields)
{
    Load("hot_text.rtf");
    EXPECT_EQ(LinkCommandAt(document, PositionOf("ici")), "GotoPage \"Suite\"");
    EXPECT_EQ(FormatOf("ici").foreground().color(), QColor(0, 128, 0));
    EXPECT_DOUBLE_EQ(FormatOf("Cliquez").fontPointSize(), 8.5);
    EXPECT_EQ(FormatOf("Bonjour").fontFamilies().toStringList(), QStringList{"Verdana"});
    EXPECT_EQ(BookmarkPosition(document, "FIN"), PositionOf("Bonjour"));
    CreateVariableFields(document, [](const QString& name) { return name == "NOM" ? "Ann" : ""; });
    EXPECT_EQ(Text(), "Cliquez ici pour continuer.\nBonjour Ann !");
}

TEST_F(RtfCorpusFormats, CaretArticleLinksAndBookmark)
{
    Load("article.txt");
    EXPECT_EQ(BlockFormatOf("Bienvenue").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_DOUBLE_EQ(FormatOf("Bienvenue").fontPointSize(), 14.0);
    EXPECT_EQ(FormatOf("Bienvenue").fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatOf("couleur").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(LinkCommandAt(document, PositionOf("La suite")), ":suite");
    EXPECT_EQ(LinkCommandAt(document, PositionOf("Quitter")),
              QString::fromUtf8("Exit¶Beep \"a|b\""));
    EXPECT_EQ(BookmarkPosition(document, "suite"), PositionOf("Suite :"));
}

} // namespace
} // namespace tomeric
