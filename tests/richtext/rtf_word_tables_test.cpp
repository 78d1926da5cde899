// Word tables as their authors saw them: nested tables inside their cells
// (and never their fallback text), rows with more cells than edges, borders
// drawn per side in the file's colours, padding, row heights and vertical
// alignment, merged cells, pictures of drawing shapes, and all of it kept
// when the text is saved and read again. Checked by the document's structure
// and by the pixels it paints.

#include "richtext/rich_text_properties.h"
#include "richtext/rtf_writer.h"
#include "rich_text_test_support.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPainter>
#include <QTextTable>

namespace tomeric {
namespace {

using testing::DocumentLayout;
using testing::RichTextTest;

// Colour 1 red, 2 blue, 3 green, 4 grey.
QByteArray Document(const QByteArray& body)
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}"
           "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green160\\blue0;"
           "\\red128\\green128\\blue128;}\\fs20 " + body + "}";
}

QTextTable* FirstTable(QTextFrame* frame)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it)
        if (auto* table = qobject_cast<QTextTable*>(it.currentFrame()))
            return table;
    return nullptr;
}

// The document painted on white, laid out 400 pixels wide, without the
// document's margin.
QImage Paint(QTextDocument& document, int width = 400)
{
    document.setDocumentMargin(0);
    document.setTextWidth(width);
    const int height = int(std::ceil(document.size().height())) + 2;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QAbstractTextDocumentLayout::PaintContext context;
    document.documentLayout()->draw(&painter, context);
    painter.end();
    return image;
}

bool Near(QRgb pixel, QColor colour, int tolerance = 40)
{
    return std::abs(qRed(pixel) - colour.red()) <= tolerance &&
           std::abs(qGreen(pixel) - colour.green()) <= tolerance &&
           std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

// The rows (y) of `image` with a pixel near `colour` between x0 and x1.
std::vector<int> RowsWith(const QImage& image, QColor colour, int x0, int x1)
{
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y)
        for (int x = std::max(0, x0); x < std::min(image.width(), x1); ++x)
            if (Near(image.pixel(x, y), colour)) {
                rows.push_back(y);
                break;
            }
    return rows;
}

// The columns (x) of `image` with a pixel near `colour` between y0 and y1.
std::vector<int> ColumnsWith(const QImage& image, QColor colour, int y0, int y1)
{
    std::vector<int> columns;
    for (int x = 0; x < image.width(); ++x)
        for (int y = std::max(0, y0); y < std::min(image.height(), y1); ++y)
            if (Near(image.pixel(x, y), colour)) {
                columns.push_back(x);
                break;
            }
    return columns;
}

// The bounding box of the dark (text) pixels inside `area`.
QRect InkIn(const QImage& image, const QRect& area)
{
    QRect ink;
    for (int y = std::max(0, area.top()); y <= std::min(image.height() - 1, area.bottom()); ++y)
        for (int x = std::max(0, area.left()); x <= std::min(image.width() - 1, area.right()); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

QByteArray PngHex(QColor colour, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toHex();
}

// A document read, written and read again.
class RtfWordTables : public RichTextTest {
protected:
    void ReadBack()
    {
        written = WriteRtf(document);
        QString error;
        EXPECT_TRUE(ReadRtf(written, copy, {}, &error)) << error.toStdString();
    }
    QByteArray written;
    QTextDocument copy;
};

// ---- nested tables ------------------------------------------------------------------

// Word 2000's two nesting levels below the outer table, each nested row
// followed by the flat fallback text for older readers.
const QByteArray kNested =
    "\\trowd\\trgaph0\\cellx6000\\pard\\intbl outer\\par"
    "\\pard\\intbl\\itap2 a\\nestcell b\\nestcell"
    "{\\*\\nesttableprops\\trowd\\trgaph0\\cellx2000\\cellx4500\\nestrow}{\\nonesttables a\\tab b\\par}"
    "\\pard\\intbl\\itap2 c\\nestcell"
    "\\pard\\intbl\\itap3 deep1\\nestcell deep2\\nestcell"
    "{\\*\\nesttableprops\\trowd\\trgaph0\\cellx1200\\cellx2400\\nestrow}{\\nonesttables FALLBACK\\par}"
    "\\pard\\intbl\\itap2\\nestcell"
    "{\\*\\nesttableprops\\trowd\\trgaph0\\cellx2000\\cellx4500\\nestrow}{\\nonesttables c\\par}"
    "\\pard\\intbl after\\cell\\row\\pard end";

TEST_F(RtfWordTables, NestedTablesStayInTheirCellsAndTheFallbackIsSkipped)
{
    Read(Document(kNested));
    EXPECT_EQ(DocumentLayout(document), "\n{outer\n{a|b/c|\n{deep1|deep2}\n}\nafter}\nend");
    EXPECT_FALSE(Text().contains("FALLBACK"));
    EXPECT_FALSE(Text().contains("a\tb"));

    QTextTable* outer = FirstTable(document.rootFrame());
    ASSERT_NE(outer, nullptr);
    QTextTable* nested = FirstTable(outer);
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->format().columnWidthConstraints(),
              (QList<QTextLength>{QTextLength(QTextLength::FixedLength, 2000 / 15.0),
                                  QTextLength(QTextLength::FixedLength, 2500 / 15.0)}));
    // The nested table's cells are laid out side by side inside the outer cell.
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    document.setTextWidth(600);
    auto rectOf = [&](const QString& text) {
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            if (block.text() == text)
                return layout->blockBoundingRect(block);
        ADD_FAILURE() << "no paragraph " << text.toStdString();
        return QRectF();
    };
    const QRectF a = rectOf("a");
    const QRectF b = rectOf("b");
    EXPECT_NEAR(b.left() - a.left(), 2000 / 15.0, 1.0);
    const QRectF deep1 = rectOf("deep1");
    const QRectF deep2 = rectOf("deep2");
    EXPECT_NEAR(deep2.left() - deep1.left(), 80.0, 1.0);
    EXPECT_GT(deep1.left(), b.left() - 1) << "the deepest table sits in the second nested cell";
}

TEST_F(RtfWordTables, NestedTablesAreSavedAsNestedTables)
{
    Read(Document(kNested));
    ReadBack();
    EXPECT_TRUE(written.contains("\\nestcell")) << written.toStdString();
    EXPECT_TRUE(written.contains("\\itap3")) << written.toStdString();
    EXPECT_EQ(DocumentLayout(copy), DocumentLayout(document)) << written.toStdString();
    QTextTable* nested = FirstTable(FirstTable(copy.rootFrame()));
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->format().columnWidthConstraints().value(1),
              QTextLength(QTextLength::FixedLength, 2500 / 15.0));
}

TEST_F(RtfWordTables, ParagraphsThatSkipLevelsGoOneLevelDeeper)
{
    Read(Document("\\trowd\\cellx5000\\pard\\intbl\\itap2 before\\par"
                  "\\pard\\intbl\\itap5 skipped\\nestcell{\\*\\nesttableprops\\trowd\\cellx4000\\nestrow}"
                  "\\pard\\intbl\\itap2 after\\nestcell{\\*\\nesttableprops\\trowd\\cellx4000\\nestrow}"
                  "\\pard\\intbl\\itap1 outer\\cell\\row"));
    EXPECT_EQ(DocumentLayout(document), "\n{\n{before\n{skipped}\nafter}\nouter}\n");
}

TEST_F(RtfWordTables, NestingDeeperThanTheBoundStaysInTheDeepestTable)
{
    QByteArray body = "\\trowd\\cellx5000\\pard\\intbl";
    for (int level = 2; level <= 40; ++level)
        body += "\\pard\\intbl\\itap" + QByteArray::number(level) + " x" + QByteArray::number(level) +
                "\\par";
    for (int level = 40; level >= 2; --level)
        body += "\\pard\\intbl\\itap" + QByteArray::number(level) +
                " \\nestcell{\\*\\nesttableprops\\trowd\\cellx100\\nestrow}";
    Read(Document(body + "\\pard\\intbl\\itap1 \\cell\\row\\pard end"));
    int depth = 0;
    for (QTextFrame* frame = document.rootFrame(); QTextTable* table = FirstTable(frame); frame = table)
        ++depth;
    EXPECT_EQ(depth, 8);
    EXPECT_TRUE(Text().contains("x40")) << "the deepest text still shows";
    EXPECT_TRUE(Text().endsWith("end"));
}

// ---- more cells than edges ------------------------------------------------------------

TEST_F(RtfWordTables, ARowWithMoreCellsThanEdgesWidensTheRow)
{
    Read(Document("\\par\\trowd\\cellx1440\\pard\\intbl A\\cell B\\cell C\\cell D\\cell\\row"
                  "\\trowd\\cellx1440\\pard\\intbl E\\cell F\\cell G\\cell H\\cell\\row\\pard"));
    EXPECT_EQ(DocumentLayout(document), "\n{A|B|C|D/E|F|G|H}\n");
    QTextTable* table = FirstTable(document.rootFrame());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->format().columnWidthConstraints(),
              QList<QTextLength>(4, QTextLength(QTextLength::FixedLength, 96)));
    // Every cell shows its letter, 96 pixels after the one before.
    const QImage image = Paint(document, 500);
    const QRect row = QRect(0, 0, 500, image.height());
    for (int column = 0; column < 4; ++column) {
        const QRect ink = InkIn(image, QRect(column * 96, 0, 96, image.height()).intersected(row));
        EXPECT_FALSE(ink.isEmpty()) << "cell " << column;
    }
    EXPECT_TRUE(InkIn(image, QRect(4 * 96 + 2, 0, 100, image.height())).isEmpty());
}

TEST_F(RtfWordTables, AnEmptyParagraphBeforeATableStays)
{
    Read(Document("x\\par\\par\\trowd\\cellx1440\\pard\\intbl A\\cell\\row\\pard"));
    EXPECT_EQ(DocumentLayout(document), "x\n\n{A}\n");
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    const QTextBlock empty = document.findBlock(PositionOf("x")).next();
    EXPECT_GT(layout->blockBoundingRect(empty).height(), 5) << "the empty line takes its height";
    ReadBack();
    EXPECT_EQ(DocumentLayout(copy), "x\n\n{A}\n") << written.toStdString();
}

// ---- borders -----------------------------------------------------------------------------

// First cell: a 4-pixel red top and a blue double bottom; second cell: a
// 3-pixel green left edge; nothing else.
const QByteArray kBorders =
    "\\trowd\\trgaph0\\trrh600\\clbrdrt\\brdrs\\brdrw60\\brdrcf1\\clbrdrb\\brdrdb\\brdrw30\\brdrcf2"
    "\\cellx1500\\clbrdrl\\brdrs\\brdrw45\\brdrcf3\\cellx3000\\pard\\intbl A\\cell B\\cell\\row\\pard";

TEST_F(RtfWordTables, CellBordersAreDrawnPerSideInTheFilesColours)
{
    Read(Document(kBorders));
    QTextTable* table = FirstTable(document.rootFrame());
    ASSERT_NE(table, nullptr);
    const QTextTableCellFormat first = table->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_EQ(first.topBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
    EXPECT_EQ(first.topBorder(), 4);
    EXPECT_EQ(first.bottomBorderStyle(), QTextFrameFormat::BorderStyle_Double);
    EXPECT_FALSE(first.hasProperty(QTextFormat::TableCellLeftBorderStyle));

    const QImage image = Paint(document);
    const QColor red(255, 0, 0), blue(0, 0, 255), green(0, 160, 0);
    // Red only above the first cell, blue only below it.
    const std::vector<int> redRows = RowsWith(image, red, 10, 90);
    ASSERT_FALSE(redRows.empty());
    EXPECT_GE(redRows.size(), 3u);
    EXPECT_LE(redRows.size(), 5u);
    EXPECT_TRUE(RowsWith(image, red, 110, 190).empty()) << "the second cell has no top border";
    const std::vector<int> blueRows = RowsWith(image, blue, 10, 90);
    ASSERT_FALSE(blueRows.empty());
    EXPECT_GT(blueRows.front(), redRows.back() + 30) << "the row is at least 40 pixels tall";
    EXPECT_TRUE(RowsWith(image, blue, 110, 190).empty());
    // A double line: two lines with a gap.
    EXPECT_LT(blueRows.size(), std::size_t(blueRows.back() - blueRows.front() + 1));
    // Green between the cells, over the row's height.
    const std::vector<int> greenColumns = ColumnsWith(image, green, redRows.back() + 5, blueRows.front() - 5);
    ASSERT_FALSE(greenColumns.empty());
    EXPECT_NEAR(greenColumns.front(), 100, 3);
    EXPECT_LE(greenColumns.size(), 4u);
    // No black lines anywhere: the grid is the file's, not a default one.
    int blackRows = 0;
    for (int y = 0; y < image.height(); ++y) {
        int black = 0;
        for (int x = 0; x < 200; ++x)
            black += qGray(image.pixel(x, y)) < 60;
        blackRows += black > 150;
    }
    EXPECT_EQ(blackRows, 0);
}

TEST_F(RtfWordTables, RowBordersDrawTheOuterEdgesAndTheLinesBetween)
{
    // Left and right edges only (as report generators write them): no lines
    // between the rows.
    const QByteArray row = "\\trowd\\trgaph0\\clbrdrl\\brdrs\\brdrw30\\brdrcf3\\clbrdrr\\brdrs\\brdrw30"
                           "\\brdrcf3\\cellx3000\\pard\\intbl line\\cell\\row";
    Read(Document(row + row + row + "\\pard"));
    const QImage image = Paint(document);
    const QColor green(0, 160, 0);
    EXPECT_TRUE(RowsWith(image, green, 20, 180).empty()) << "no horizontal lines";
    EXPECT_EQ(ColumnsWith(image, green, 0, image.height()).size(), 4u) << "two 2-pixel edges";
    EXPECT_TRUE(RowsWith(image, Qt::black, 20, 180).size() < 20u) << "no black grid";

    // Table borders: top, bottom and the lines between rows.
    const QByteArray framed = "\\trowd\\trgaph0\\trbrdrt\\brdrs\\brdrw30\\brdrcf1\\trbrdrb\\brdrs"
                              "\\brdrw30\\brdrcf2\\trbrdrh\\brdrs\\brdrw15\\brdrcf3\\cellx3000"
                              "\\pard\\intbl line\\cell\\row";
    Read(Document(framed + framed + framed + "\\pard"));
    const QImage table = Paint(document);
    EXPECT_EQ(RowsWith(table, QColor(255, 0, 0), 20, 180).size(), 2u) << "the top edge only";
    EXPECT_EQ(RowsWith(table, QColor(0, 0, 255), 20, 180).size(), 2u) << "the bottom edge only";
    EXPECT_EQ(RowsWith(table, QColor(0, 160, 0), 20, 180).size(), 2u) << "two lines between three rows";
}

TEST_F(RtfWordTables, BordersAreSaved)
{
    Read(Document(kBorders));
    ReadBack();
    QTextTable* before = FirstTable(document.rootFrame());
    QTextTable* after = FirstTable(copy.rootFrame());
    ASSERT_NE(after, nullptr);
    for (int column = 0; column < 2; ++column) {
        const QTextTableCellFormat a = before->cellAt(0, column).format().toTableCellFormat();
        const QTextTableCellFormat b = after->cellAt(0, column).format().toTableCellFormat();
        EXPECT_EQ(b.topBorderStyle(), a.topBorderStyle()) << column << written.toStdString();
        EXPECT_EQ(b.topBorder(), a.topBorder()) << column;
        EXPECT_EQ(b.topBorderBrush(), a.topBorderBrush()) << column;
        EXPECT_EQ(b.bottomBorderStyle(), a.bottomBorderStyle()) << column;
        EXPECT_EQ(b.bottomBorder(), a.bottomBorder()) << column;
        EXPECT_EQ(b.bottomBorderBrush(), a.bottomBorderBrush()) << column;
        EXPECT_EQ(b.leftBorderStyle(), a.leftBorderStyle()) << column;
        EXPECT_EQ(b.leftBorderBrush(), a.leftBorderBrush()) << column;
        EXPECT_EQ(b.hasProperty(QTextFormat::TableCellRightBorderStyle),
                  a.hasProperty(QTextFormat::TableCellRightBorderStyle)) << column;
    }
}

// ---- padding, row height, vertical alignment ------------------------------------------

// One cell, 1-pixel black top and bottom edges, an exact height of 60
// pixels, 10 pixels of top padding (Word's \clpadl) and 20 of left padding
// (Word's \clpadt).
const QByteArray kExact =
    "\\trowd\\trgaph0\\trrh-900\\clpadfl3\\clpadl150\\clpadft3\\clpadt300"
    "\\clbrdrt\\brdrs\\brdrw15\\clbrdrb\\brdrs\\brdrw15\\cellx3000\\pard\\intbl X\\cell\\row\\pard";

TEST_F(RtfWordTables, PaddingAndAnExactRowHeight)
{
    Read(Document(kExact));
    QTextTable* table = FirstTable(document.rootFrame());
    ASSERT_NE(table, nullptr);
    const QTextTableCellFormat cell = table->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_DOUBLE_EQ(cell.leftPadding(), 20);
    EXPECT_DOUBLE_EQ(cell.doubleProperty(rtpCellTopPadding), 10);
    EXPECT_EQ(cell.intProperty(rtpRowHeight), -900);

    const QImage image = Paint(document);
    const std::vector<int> lines = RowsWith(image, Qt::black, 150, 190);
    ASSERT_EQ(lines.size(), 2u) << "the top and bottom edges";
    EXPECT_NEAR(lines.back() - lines.front() + 1, 60, 1) << "exactly 900 twips";
    const QRect ink = InkIn(image, QRect(0, lines.front() + 1, 200, lines.back() - lines.front() - 1));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.left(), 20, 3) << "left padding";
    EXPECT_GE(ink.top() - lines.front(), 10) << "top padding";
    EXPECT_LT(ink.top() - lines.front(), 20) << "the text stays at the top";
}

TEST_F(RtfWordTables, AMinimumRowHeightCentresItsText)
{
    Read(Document("\\trowd\\trgaph0\\trrh1200\\clvertalc\\clbrdrt\\brdrs\\brdrw15\\clbrdrb\\brdrs"
                  "\\brdrw15\\cellx3000\\clvertalb\\cellx4500\\pard\\intbl X\\cell Y\\cell\\row\\pard"));
    const QImage image = Paint(document);
    const std::vector<int> lines = RowsWith(image, Qt::black, 150, 190);
    ASSERT_EQ(lines.size(), 2u);
    const int top = lines.front(), bottom = lines.back();
    EXPECT_NEAR(bottom - top + 1, 80, 1) << "at least 1200 twips";
    const QRect x = InkIn(image, QRect(0, top + 1, 200, bottom - top - 1));
    ASSERT_FALSE(x.isEmpty());
    EXPECT_NEAR((x.top() + x.bottom()) / 2.0, (top + bottom) / 2.0, 4) << "centred";
    const QRect y = InkIn(image, QRect(200, top + 1, 100, bottom - top - 1));
    ASSERT_FALSE(y.isEmpty());
    EXPECT_GT(y.top(), (top + bottom) / 2) << "at the bottom";

    // Text taller than a minimum height makes the row taller.
    Read(Document("\\trowd\\trgaph0\\trrh150\\clbrdrt\\brdrs\\brdrw15\\clbrdrb\\brdrs\\brdrw15"
                  "\\cellx3000\\pard\\intbl one\\par two\\par three\\cell\\row\\pard"));
    const std::vector<int> tall = RowsWith(Paint(document), Qt::black, 150, 190);
    ASSERT_EQ(tall.size(), 2u);
    EXPECT_GT(tall.back() - tall.front(), 30);
}

TEST_F(RtfWordTables, PaddingAndRowHeightsAreSaved)
{
    Read(Document(kExact));
    ReadBack();
    QTextTable* table = FirstTable(copy.rootFrame());
    ASSERT_NE(table, nullptr);
    const QTextTableCellFormat cell = table->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_DOUBLE_EQ(cell.leftPadding(), 20) << written.toStdString();
    EXPECT_DOUBLE_EQ(cell.doubleProperty(rtpCellTopPadding), 10);
    EXPECT_EQ(cell.intProperty(rtpRowHeight), -900);
    const std::vector<int> lines = RowsWith(Paint(copy), Qt::black, 150, 190);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NEAR(lines.back() - lines.front() + 1, 60, 1);
}

// ---- merged cells ----------------------------------------------------------------------

TEST_F(RtfWordTables, VerticallyMergedCellsBecomeOne)
{
    const QByteArray body =
        "\\trowd\\clvmgf\\clbrdrl\\brdrs\\cellx1500\\cellx3000\\pard\\intbl tall\\cell a\\cell\\row"
        "\\trowd\\clvmrg\\cellx1500\\cellx3000\\pard\\intbl\\cell b\\cell\\row"
        "\\trowd\\clvmrg\\cellx1500\\cellx3000\\pard\\intbl\\cell c\\cell\\row"
        "\\trowd\\cellx1500\\cellx3000\\pard\\intbl d\\cell e\\cell\\row\\pard";
    Read(Document(body));
    EXPECT_EQ(DocumentLayout(document), "\n{tall^3|a/^|b/^|c/d|e}\n");
    ReadBack();
    EXPECT_EQ(DocumentLayout(copy), DocumentLayout(document)) << written.toStdString();
}

TEST_F(RtfWordTables, HorizontallyMergedCellsBecomeOne)
{
    Read(Document("\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\cellx3000\\pard\\intbl wide\\cell"
                  "\\cell c\\cell\\row\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl x\\cell y"
                  "\\cell z\\cell\\row\\pard"));
    EXPECT_EQ(DocumentLayout(document), "\n{wide*2|c/x|y|z}\n");
    ReadBack();
    EXPECT_EQ(DocumentLayout(copy), DocumentLayout(document)) << written.toStdString();
}

// ---- pictures in drawing shapes ---------------------------------------------------------

TEST_F(RtfWordTables, APictureShapeShowsItsPictureAtTheShapesSize)
{
    const QByteArray shape =
        "before {\\shp{\\*\\shpinst\\shpleft0\\shptop0\\shpright1500\\shpbottom750"
        "{\\sp{\\sn shapeType}{\\sv 75}}{\\sp{\\sn fBehindDocument}{\\sv 1}}"
        "{\\sp{\\sn pib}{\\sv {\\pict\\pngblip\\picw4\\pich4 " + PngHex(QColor(0, 160, 0), {4, 4}) +
        "}}}}{\\shprslt {\\pict\\pngblip " + PngHex(QColor(255, 0, 0), {4, 4}) + "}}} after";
    Read(Document(shape));
    EXPECT_EQ(Text(), QString("before ") + QChar::ObjectReplacementCharacter + " after");
    QTextCursor cursor(&document);
    cursor.setPosition(PositionOf("before ") + 8);
    const QTextImageFormat image = cursor.charFormat().toImageFormat();
    ASSERT_TRUE(image.isValid());
    EXPECT_DOUBLE_EQ(image.width(), 100);
    EXPECT_DOUBLE_EQ(image.height(), 50);

    const QImage painted = Paint(document);
    const std::vector<int> green = RowsWith(painted, QColor(0, 160, 0), 0, 400);
    EXPECT_GE(green.size(), 48u);
    EXPECT_LE(green.size(), 51u);
    EXPECT_TRUE(RowsWith(painted, QColor(255, 0, 0), 0, 400).empty()) << "the fallback is skipped";

    ReadBack();
    EXPECT_EQ(copy.toRawText(), document.toRawText());
}

TEST_F(RtfWordTables, APictureShapeWhosePictureIsMislabelledStillShowsIt)
{
    // A report generator's shape: PNG bytes under \\wmetafile.
    Read(Document("{\\shp{\\*\\shpinst\\shpleft0\\shptop0\\shpright600\\shpbottom600"
                  "{\\sp{\\sn pib}{\\sv {\\pict\\wmetafile6\\picw16\\pich16 " +
                  PngHex(QColor(0, 160, 0), {16, 16}) + "}}}}} x"));
    const std::vector<int> green = RowsWith(Paint(document), QColor(0, 160, 0), 0, 400);
    EXPECT_GE(green.size(), 39u);
    EXPECT_LE(green.size(), 41u);
}

TEST_F(RtfWordTables, AShapeWithoutAPictureShowsItsResultOrItsText)
{
    Read(Document("{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 1}}}{\\shprslt fallback}} x"));
    EXPECT_EQ(Text(), "fallback x");
    Read(Document("{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 202}}{\\shptxt boxed\\par}}"
                  "{\\shprslt fallback}} x"));
    EXPECT_TRUE(Text().contains("boxed"));
    EXPECT_FALSE(Text().contains("fallback"));
    EXPECT_FALSE(Text().contains("202"));
}

} // namespace
} // namespace tomeric
