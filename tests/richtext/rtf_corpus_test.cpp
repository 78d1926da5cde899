// Documents of the shapes the era's editors wrote (WordPad, Word 97, Word
// 2000, a rich-text control's own save, a caret-markup article) read without
// error into the expected text and formats.

#include "richtext/caret_markup.h"
#include "richtext/rich_text_properties.h"
#include "rich_text_test_support.h"

namespace tomeric {
namespace {

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
    EXPECT_EQ(Text(), GetParam().text);
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
