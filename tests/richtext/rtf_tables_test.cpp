// Word and rich-edit tables read into real tables: rows of the same shape
// join one table, widths come from the cell edges, borders show when the
// document draws them, cell text keeps its formats, links, fields and
// bookmarks, and damaged tables stay bounded.

#include "richtext/rich_text_properties.h"
#include "richtext/rtf_writer.h"
#include "rich_text_test_support.h"

#include <QElapsedTimer>
#include <QTextTable>

namespace tomeric {
namespace {

using testing::DocumentLayout;
using testing::RichTextTest;

QByteArray Document(const QByteArray& body)
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Times New Roman;}}"
           "{\\colortbl;\\red255\\green0\\blue0;}" + body + "}";
}

QTextTable* FirstTable(QTextDocument& document)
{
    for (auto it = document.rootFrame()->begin(); !it.atEnd(); ++it)
        if (auto* table = qobject_cast<QTextTable*>(it.currentFrame()))
            return table;
    return nullptr;
}

// ---- shapes --------------------------------------------------------------------------

struct ShapeCase {
    const char* name;
    QByteArray body;
    QString layout;
};

class RtfTableShapes : public RichTextTest, public ::testing::WithParamInterface<ShapeCase> {};

TEST_P(RtfTableShapes, ReadAs)
{
    Read(Document(GetParam().body));
    EXPECT_EQ(DocumentLayout(document), GetParam().layout);
}

// clang-format off
const ShapeCase kShapes[] = {
    {"Word97TwoRows",
     "before\\par \\trowd\\trgaph108\\trleft-108\\cellx1440\\cellx2880\\pard\\intbl a\\cell b\\cell"
     "\\pard\\intbl\\row\\trowd\\trgaph108\\trleft-108\\cellx1440\\cellx2880\\pard\\intbl c\\cell d\\cell"
     "\\pard\\intbl\\row\\pard after\\par", "before\n{a|b/c|d}\nafter"},
    {"RichEditRows", "\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
     "\\trowd\\cellx1000\\cellx2000\\pard\\intbl c\\cell d\\cell\\row\\pard x",
     "\n{a|b/c|d}\nx"},
    {"Word2000RowPropertiesAfterTheCells",
     "\\trowd\\cellx1000\\cellx2000\\pard\\intbl {a\\cell b\\cell}\\pard\\intbl"
     "{\\trowd\\cellx1000\\cellx2000\\row}\\pard x", "\n{a|b}\nx"},
    {"CellsWithoutIntbl", "\\trowd\\cellx1000\\cellx2000 a\\cell b\\cell\\row c", "\n{a|b}\nc"},
    {"CellsWithoutRowDefinition", "\\intbl a\\cell b\\cell\\row\\pard c", "\n{a|b}\nc"},
    {"ParagraphsInACell", "\\trowd\\cellx1000\\pard\\intbl one\\par two\\cell\\row\\pard x",
     "\n{one\ntwo}\nx"},
    {"ShorterRowSpansTheRest", "\\trowd\\cellx1\\cellx2\\cellx3\\intbl a\\cell b\\cell c\\cell\\row"
     "\\trowd\\cellx3\\intbl d\\cell\\row\\pard", "\n{a|b|c/d*3}\n"},
    {"LongerRowAddsColumns", "\\trowd\\cellx1\\intbl a\\cell\\row"
     "\\trowd\\cellx1\\cellx2\\intbl b\\cell c\\cell\\row\\pard", "\n{a*2/b|c}\n"},
    {"EmptyCells", "\\trowd\\cellx1\\cellx2\\cellx3\\intbl\\cell x\\cell\\cell\\row\\pard", "\n{|x|}\n"},
    {"TextAfterTheLastCellStaysInTheRow", "\\trowd\\cellx1\\cellx2\\intbl a\\cell b\\row\\pard",
     "\n{a|b}\n"},
    {"DocumentEndsInsideATable", "\\trowd\\cellx1\\cellx2\\intbl a\\cell b", "\n{a|b}\n"},
    {"CellMarkInOrdinaryTextIsATab", "a\\cell b", "a\tb"},
    {"RowWithoutCellsIsAParagraph", "a\\row b", "a\nb"},
    {"RowDefinitionWithoutTextMakesNoTable", "a\\par\\trowd\\cellx100\\pard b", "a\nb"},
    {"NestedTableInItsCell",
     "\\trowd\\cellx4000\\pard\\intbl out\\par\\pard\\intbl\\itap2 in1\\nestcell in2\\nestcell"
     "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}"
     "\\pard\\intbl\\itap1 \\cell\\row\\pard x", "\n{out\n{in1|in2}\n}\nx"},
    {"TwoTablesApart", "\\trowd\\cellx1\\intbl a\\cell\\row\\pard mid\\par"
     "\\trowd\\cellx1\\intbl b\\cell\\row\\pard end", "\n{a}\nmid\n{b}\nend"},
    {"ItapZeroEndsTheTable", "\\trowd\\cellx1\\intbl a\\cell\\row\\itap0 x", "\n{a}\nx"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Rows, RtfTableShapes, ::testing::ValuesIn(kShapes),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- geometry and borders ----------------------------------------------------------------

TEST_F(RichTextTest, ColumnWidthsComeFromTheCellEdgesAt96Dpi)
{
    Read(Document("\\trowd\\trleft0\\cellx1440\\cellx4320\\intbl a\\cell b\\cell\\row\\pard"));
    QTextTable* table = FirstTable(document);
    ASSERT_NE(table, nullptr);
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 2);
    EXPECT_EQ(widths[0], QTextLength(QTextLength::FixedLength, 96));
    EXPECT_EQ(widths[1], QTextLength(QTextLength::FixedLength, 192));
}

TEST_F(RichTextTest, BackwardsOrAbsurdCellEdgesLeaveTheWidthFree)
{
    Read(Document("\\trowd\\cellx-5000\\cellx2147483647\\cellx-2147483647\\intbl a\\cell b\\cell c"
                  "\\cell\\row\\pard"));
    QTextTable* table = FirstTable(document);
    ASSERT_NE(table, nullptr);
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 3);
    EXPECT_EQ(widths[0].type(), QTextLength::VariableLength);
    EXPECT_EQ(widths[1].type(), QTextLength::FixedLength);
    EXPECT_LE(widths[1].rawValue(), 10000.0);
    EXPECT_EQ(widths[2].type(), QTextLength::VariableLength);
    (void)document.size(); // lays out without trouble
}

struct BorderCase {
    const char* name;
    QByteArray definition;
    bool top;  // the cell's top edge is drawn
    bool left; // its left edge
};

class RtfTableBorders : public RichTextTest, public ::testing::WithParamInterface<BorderCase> {};

TEST_P(RtfTableBorders, ShowWhenDrawn)
{
    Read(Document("\\trowd" + GetParam().definition + "\\cellx1000\\intbl a\\cell\\row\\pard"));
    QTextTable* table = FirstTable(document);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->format().border(), 0) << "no grid: each cell draws its own edges";
    const QTextTableCellFormat cell = table->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_EQ(cell.hasProperty(QTextFormat::TableCellTopBorderStyle), GetParam().top);
    EXPECT_EQ(cell.hasProperty(QTextFormat::TableCellLeftBorderStyle), GetParam().left);
    if (GetParam().top) {
        EXPECT_EQ(cell.topBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
        EXPECT_EQ(cell.topBorderBrush().color(), QColor(Qt::black));
        EXPECT_EQ(cell.topBorder(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Words, RtfTableBorders, ::testing::Values(
    BorderCase{"None", "", false, false},
    BorderCase{"CellBorders", "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10", true, true},
    BorderCase{"RowBorders", "\\trbrdrt\\brdrs\\brdrw10", true, false},
    BorderCase{"RowBordersOnTheOuterLeftEdge", "\\trbrdrl\\brdrs\\brdrw10\\trbrdrv\\brdrnone", false, true},
    BorderCase{"BorderSaidToBeNone", "\\clbrdrt\\brdrnone\\clbrdrb\\brdrtbl", false, false},
    BorderCase{"ParagraphBorderWordsStayOffTheCell", "\\clbrdrt\\brdrnone\\brdrt\\brdrs", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RichTextTest, CellShadingAndVerticalAlignment)
{
    Read(Document("\\trowd\\clcbpat1\\cellx1000\\clshdng2500\\clvertalc\\cellx2000\\clvertalb"
                  "\\cellx3000\\intbl a\\cell b\\cell c\\cell\\row\\pard"));
    QTextTable* table = FirstTable(document);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->cellAt(0, 0).format().background().color(), QColor(255, 0, 0));
    EXPECT_EQ(table->cellAt(0, 1).format().background().color(), QColor(192, 192, 192));
    EXPECT_EQ(table->cellAt(0, 1).format().verticalAlignment(), QTextCharFormat::AlignMiddle);
    EXPECT_FALSE(table->cellAt(0, 2).format().hasProperty(QTextFormat::BackgroundBrush));
    EXPECT_EQ(table->cellAt(0, 2).format().verticalAlignment(), QTextCharFormat::AlignBottom);

    QTextDocument copy;
    ASSERT_TRUE(ReadRtf(WriteRtf(document), copy));
    QTextTable* written = FirstTable(copy);
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(written->cellAt(0, 0).format().background().color(), QColor(255, 0, 0));
    EXPECT_EQ(written->cellAt(0, 1).format().background().color(), QColor(192, 192, 192));
    EXPECT_EQ(written->cellAt(0, 1).format().verticalAlignment(), QTextCharFormat::AlignMiddle);
    EXPECT_EQ(written->cellAt(0, 2).format().verticalAlignment(), QTextCharFormat::AlignBottom);
}

TEST_F(RichTextTest, CentredRow)
{
    Read(Document("\\trowd\\trqc\\cellx1000\\intbl a\\cell\\row\\pard"));
    ASSERT_NE(FirstTable(document), nullptr);
    EXPECT_EQ(FirstTable(document)->format().alignment(), Qt::AlignHCenter);
}

// ---- what cells keep ----------------------------------------------------------------------

TEST_F(RichTextTest, CellTextKeepsCharacterAndParagraphFormats)
{
    Read(Document("\\trowd\\cellx2000\\cellx4000\\pard\\intbl\\qc {\\b\\f1\\fs28 bold}\\cell"
                  "\\pard\\intbl\\qr {\\cf1 red}\\cell\\row\\pard after"));
    EXPECT_EQ(FormatOf("bold").fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatOf("bold").fontFamilies().toStringList(), QStringList{"Times New Roman"});
    EXPECT_DOUBLE_EQ(FormatOf("bold").fontPointSize(), 14.0);
    EXPECT_EQ(BlockFormatOf("bold").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(FormatOf("red").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(BlockFormatOf("red").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(BlockFormatOf("after").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

TEST_F(RichTextTest, LinksFieldsAndBookmarksWorkInCells)
{
    Read(Document(
        "\\trowd\\cellx2000\\cellx4000\\cellx6000\\pard\\intbl {\\*\\bkmkstart here}mark\\cell"
        "{\\uldb go}{\\v GotoPage 2}\\cell"
        "{\\field{\\*\\fldinst MERGEFIELD Nom}{\\fldrslt \\'abNom\\'bb}}\\cell\\row"
        "\\pard {\\field{\\*\\fldinst HYPERLINK \"http://x/\"}{\\fldrslt web}}"));
    EXPECT_EQ(DocumentLayout(document), QString::fromUtf8("\n{mark|go|«Nom»}\nweb"));
    EXPECT_EQ(BookmarkPosition(document, "here"), PositionOf("mark"));
    EXPECT_EQ(LinkCommandAt(document, PositionOf("go")), "GotoPage 2");
    EXPECT_EQ(FormatOf("Nom").stringProperty(rtpVariableName), "NOM");
    EXPECT_EQ(LinkCommandAt(document, PositionOf("web")), "http://x/");
    EXPECT_EQ(VariableFieldNames(document), QStringList{"NOM"});
    RefreshVariableFields(document, [](const QString&) { return QStringLiteral("Ann"); });
    EXPECT_EQ(DocumentLayout(document), "\n{mark|go|Ann}\nweb");
}

TEST_F(RichTextTest, BracketVariablesInCellsBecomeFields)
{
    Read(Document("\\trowd\\cellx1\\cellx2\\intbl Nom\\cell [Nom]\\cell\\row\\pard [Age] ans"));
    EXPECT_EQ(CreateVariableFields(document, [](const QString& name) { return name.toLower(); }), 2);
    EXPECT_EQ(DocumentLayout(document), "\n{Nom|nom}\nage ans");
    RefreshVariableFields(document, [](const QString& name) { return name; }, "NOM");
    EXPECT_EQ(DocumentLayout(document), "\n{Nom|NOM}\nage ans");
    EXPECT_EQ(VisiblePlainText(document, 0, document.characterCount() - 1), "\r\nNom\r\nNOM\r\nage ans");
}

TEST_F(RichTextTest, FieldStartingACellShowsInIt)
{
    Read(Document("\\trowd\\cellx1\\cellx2\\intbl a\\cell{\\field{\\*\\fldinst DATE}{\\fldrslt "
                  "today}}\\cell\\row\\pard"));
    EXPECT_EQ(DocumentLayout(document), "\n{a|today}\n");
    EXPECT_EQ(FormatOf("today").stringProperty(rtpFieldInstruction), "DATE");
    EXPECT_FALSE(FormatOf("a").hasProperty(rtpFieldInstruction));
}

// ---- writing back ------------------------------------------------------------------------

struct WriteCase {
    const char* name;
    QByteArray body;
};

class RtfTableWriting : public RichTextTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(RtfTableWriting, ReadsBackIntoTheSameTables)
{
    Read(Document(GetParam().body));
    const QByteArray written = WriteRtf(document);
    QTextDocument copy;
    QString error;
    ASSERT_TRUE(ReadRtf(written, copy, {}, &error)) << error.toStdString();
    EXPECT_EQ(DocumentLayout(copy), DocumentLayout(document)) << written.toStdString();
    EXPECT_EQ(copy.toRawText(), document.toRawText());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tables, RtfTableWriting, ::testing::Values(
    WriteCase{"TableBetweenParagraphs", "before\\par\\trowd\\cellx1000\\cellx2000\\intbl a\\cell b"
              "\\cell\\row\\intbl c\\cell d\\cell\\row\\pard after"},
    WriteCase{"TableFirstAndLast", "\\trowd\\cellx1000\\intbl a\\cell\\row"},
    WriteCase{"EmptyParagraphsAround", "\\par\\trowd\\cellx1000\\intbl a\\cell\\row\\pard\\par\\par x"},
    WriteCase{"SpannedAndEmptyCells", "\\trowd\\cellx1\\cellx2\\cellx3\\intbl\\cell b\\cell\\cell"
              "\\row\\trowd\\cellx3\\intbl one\\par two\\cell\\row\\pard"},
    WriteCase{"TwoTables", "\\trowd\\cellx1\\intbl a\\cell\\row\\pard mid\\par"
              "\\trowd\\cellx1\\cellx2\\intbl b\\cell c\\cell\\row\\pard"},
    WriteCase{"LinksAndFieldsInCells", "\\trowd\\cellx1\\cellx2\\intbl {\\uldb go}{\\v Beep}\\cell"
              "{\\*\\bkmkstart b}{\\field{\\*\\fldinst DATE}{\\fldrslt d}}\\cell\\row\\pard"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(RichTextTest, WrittenTableKeepsWidthsBordersAndFormats)
{
    Read(Document("\\trowd\\trgaph108\\clbrdrt\\brdrs\\cellx1440\\cellx4320\\pard\\intbl\\qc "
                  "{\\b bold}\\cell{\\uldb go}{\\v Beep}\\cell\\row\\pard"));
    QTextDocument copy;
    ASSERT_TRUE(ReadRtf(WriteRtf(document), copy));
    QTextTable* table = FirstTable(copy);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->format().columnWidthConstraints(),
              (QList<QTextLength>{QTextLength(QTextLength::FixedLength, 96),
                                  QTextLength(QTextLength::FixedLength, 192)}));
    const QTextTableCellFormat cell = table->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_EQ(cell.topBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
    EXPECT_FALSE(table->cellAt(0, 1).format().hasProperty(QTextFormat::TableCellTopBorderStyle));
    EXPECT_DOUBLE_EQ(cell.leftPadding(), 7.2);
    EXPECT_DOUBLE_EQ(cell.rightPadding(), 7.2);
    EXPECT_DOUBLE_EQ(cell.topPadding(), 0);
    const int bold = int(copy.toRawText().indexOf("bold"));
    QTextCursor cursor(&copy);
    cursor.setPosition(bold + 1);
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(cursor.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(LinkCommandAt(copy, int(copy.toRawText().indexOf("go"))), "Beep");
}

// ---- bounds ----------------------------------------------------------------------------------

TEST_F(RichTextTest, CellsBeyondTheColumnBoundJoinTheLastCell)
{
    QByteArray row = "\\trowd";
    for (int i = 1; i <= 100; ++i)
        row += "\\cellx" + QByteArray::number(i * 100);
    row += "\\intbl";
    for (int i = 1; i <= 100; ++i)
        row += QByteArray::number(i) + "\\cell ";
    Read(Document(row + "\\row\\pard end"));
    QTextTable* table = FirstTable(document);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->columns(), 64);
    const QString last = table->cellAt(0, 63).firstCursorPosition().block().text();
    EXPECT_TRUE(last.startsWith("64\t65\t")) << last.toStdString();
    EXPECT_TRUE(last.endsWith("100\t")) << last.toStdString();
    EXPECT_TRUE(Text().endsWith("end"));
}

TEST_F(RichTextTest, ThousandsOfRowsStayBoundedAndQuick)
{
    QByteArray body = "\\trowd\\cellx1000\\cellx2000\\cellx3000\\cellx4000";
    for (int i = 0; i < 8000; ++i)
        body += "\\intbl a\\cell b\\cell c\\cell d\\cell\\row";
    QElapsedTimer timer;
    timer.start();
    Read(Document(body + "\\pard end"));
    EXPECT_LT(timer.elapsed(), 20000);
    QTextTable* table = FirstTable(document);
    ASSERT_NE(table, nullptr);
    EXPECT_LE(table->rows() * table->columns(), 20000);
    EXPECT_GT(table->rows(), 1000);
    EXPECT_TRUE(Text().endsWith("end"));
    EXPECT_TRUE(Text().contains("a\tb\tc\td\t")) << "rows past the bound read as text";
}

TEST_F(RichTextTest, DamagedTableWordsNeverHang)
{
    const QByteArray pieces[] = {
        "\\cell", "\\row", "\\trowd", "\\cellx-1", "\\intbl", "\\pard", "{", "}", "x",
        "\\itap5", "\\nestcell", "\\nestrow", "\\par", "\\clbrdrt", "\\cellx99999999",
    };
    for (int round = 0; round < 40; ++round) {
        QByteArray body;
        for (int i = 0; i < 400; ++i)
            body += pieces[(i * 7 + round * 13 + i / 5) % std::size(pieces)];
        ReadRtf(Document(body), document);
        (void)document.size();
        (void)WriteRtf(document);
    }
}

} // namespace
} // namespace tomeric
