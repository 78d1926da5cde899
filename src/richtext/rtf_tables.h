#pragma once
// Tables of the RTF reader: Word 97-2003 and rich-edit rows (\trowd ...
// \cellxN, paragraphs marked \intbl, \cell, \row) become one QTextTable per
// run of consecutive rows. Word 2000 nested tables (paragraphs at \itapN,
// cells ended by \nestcell, rows by \nestrow, their definitions in
// {\*\nesttableprops ...} after the cells) become tables inside the cell that
// holds them, down to kMaxDepth levels. The builder moves the reader's cursor
// into the right cell when table text arrives and out after the table when
// text of a shallower level follows.
//
// What a row definition says is drawn as the file says it: the column widths
// of the cell edges (a row with more cells than edges repeats its last cell),
// per-side cell borders (\clbrdrX) over the row's borders (\trbrdrX), their
// width, colour and style, cell shading, padding (\clpadX over \trpaddX, the
// gap of \trgaph left and right), vertical alignment, horizontal and vertical
// merges, and the row height (\trrh: at least, or exactly when negative; see
// FitTableRowHeights).
//
// Bounds keep damaged input harmless: at most kMaxColumns columns (further
// cells of a row stay in the last cell, separated by tabs), at most kMaxCells
// cells in a document (later rows are read as tab-separated paragraphs), and
// paragraphs nested deeper than kMaxDepth stay in the deepest table (their
// cell marks become tabs).

#include <QColor>
#include <QTextCharFormat>
#include <QTextFrameFormat>
#include <QTextLength>

#include <array>
#include <vector>

class QTextCursor;
class QTextDocument;
class QTextTable;

namespace tomeric {

// Sides of a cell, in the order of the arrays below.
enum TRtfSide : int { rsTop, rsLeft, rsBottom, rsRight };
// Sides of a row (\trbrdrt, l, b, r, h, v): its outer edges, and the edges
// between its rows and between its cells.
enum TRtfRowSide : int { rrTop, rrLeft, rrBottom, rrRight, rrInsideH, rrInsideV };

// One border as the file describes it.
struct TRtfBorder {
    bool given = false; // a \clbrdrX or \trbrdrX word named this side
    QTextFrameFormat::BorderStyle style = QTextFrameFormat::BorderStyle_None;
    int widthTwips = 0; // \brdrwN (0: the thinnest line)
    bool thick = false; // \brdrth: twice the width
    QColor colour;      // \brdrcfN; invalid: automatic (black)
    bool Drawn() const { return given && style != QTextFrameFormat::BorderStyle_None; }
    // The drawn width in pixels (at least one pixel; three for a double line).
    double Pixels() const;
    bool operator==(const TRtfBorder&) const = default;
};

// What a row definition says of one cell besides its right edge.
struct TRtfCellLook {
    QColor background; // \clcbpatN, or the grey of \clshdngN; invalid: none
    QTextCharFormat::VerticalAlignment vertical = QTextCharFormat::AlignTop;
    std::array<TRtfBorder, 4> borders;      // by TRtfSide
    std::array<int, 4> padding{-1, -1, -1, -1}; // twips by TRtfSide; -1: the row's
    int merge = 0;         // 1: first of horizontally merged cells (\clmgf), 2: merged (\clmrg)
    int verticalMerge = 0; // 1: first of vertically merged cells (\clvmgf), 2: merged (\clvmrg)
    bool operator==(const TRtfCellLook&) const = default;
};

// The properties of a row (\trowd up to the cells, or a nested row's
// \nesttableprops).
struct TRtfRowDefinition {
    std::vector<int> cellRights;         // \cellxN, twips from the row's left
    std::vector<TRtfCellLook> cellLooks; // one per right edge
    TRtfCellLook openLook;               // words seen for the next cell
    int openShading = 0;                 // \clshdngN of the next cell, in 1/100 %
    std::array<int, 4> openPaddingUnit{-1, -1, -1, -1}; // \clpadfX of the next cell
    int left = 0;                        // \trleftN
    int gap = -1;                        // \trgaphN: half the space between cells; -1: none said
    Qt::Alignment alignment = Qt::AlignLeft;
    std::array<TRtfBorder, 6> rowBorders; // by TRtfRowSide
    std::array<int, 4> rowPadding{-1, -1, -1, -1}; // \trpaddX, twips by TRtfSide
    std::array<int, 4> rowPaddingUnit{-1, -1, -1, -1};
    int height = 0; // \trrhN: twips, at least; negative: exactly
};

// Where the \brdrX words that follow go.
enum class TRtfBorderTarget { None, Cell, Row };

class TRtfTableBuilder {
public:
    static constexpr int kMaxColumns = 64;
    static constexpr int kMaxCells = 20000;
    static constexpr int kMaxDepth = 8;

    explicit TRtfTableBuilder(QTextCursor& cursor) : cursor_(cursor) {}

    // ---- row definition words
    // The table level the following definition words describe: 1 for the
    // words of the document, the nested row's level inside \nesttableprops.
    void SetDefinitionLevel(int level);
    void StartRowDefinition();          // \trowd
    void SetRowLeft(int twips);         // \trleftN
    void SetGap(int twips);             // \trgaphN
    void SetRowAlignment(Qt::Alignment alignment);
    void SetRowHeight(int twips);       // \trrhN
    void SetRowPadding(int side, int twips);      // \trpaddX
    void SetRowPaddingUnit(int side, int unit);   // \trpaddfX (0: ignore the padding, 3: twips)
    void SetCellPadding(int side, int twips);     // \clpadX
    void SetCellPaddingUnit(int side, int unit);  // \clpadfX
    // \clbrdrX, \trbrdrX (side by TRtfSide or TRtfRowSide), or another
    // border (a paragraph's) whose words are not the table's.
    void SetBorderTarget(TRtfBorderTarget target, int side = 0);
    void SetBorderStyle(QTextFrameFormat::BorderStyle style); // \brdrs ... \brdrnone
    void SetBorderThick();                                    // \brdrth
    void SetBorderWidth(int twips);                           // \brdrwN
    void SetBorderColour(const QColor& colour);               // \brdrcfN
    void CellBackground(const QColor& colour); // \clcbpatN
    void CellShading(int hundredthsOfPercent); // \clshdngN
    void CellVertical(QTextCharFormat::VerticalAlignment alignment); // \clvertalX
    void CellMerge(int kind);           // \clmgf 1, \clmrg 2
    void CellVerticalMerge(int kind);   // \clvmgf 1, \clvmrg 2
    void CellRight(int twips);          // \cellxN
    // \pard: a defined row no longer claims the text that follows.
    void ParagraphDefaults() { rowPending_ = false; }

    // ---- where text goes
    // Paragraph levels: 0 outside tables, 1 in a table, 2 and up nested.
    // Whether SyncTo would move the cursor.
    bool NeedsMove(int paragraphLevel) const;
    // Ends deeper tables, starts tables and rows down to the paragraph's
    // level, and moves to the current cell (or after the table at level 0).
    void SyncTo(int paragraphLevel);
    // \cell (level 1), \nestcell (the paragraph's level): later text goes to
    // the next cell. False when no cell can be ended (the caller separates
    // the text by a tab instead).
    bool EndCell(int level);
    // \row (level 1), \nestrow: false when no row is open at that level (the
    // caller ends a paragraph).
    bool EndRow(int level);
    // Ends every open table; the cursor goes after the outermost.
    void EndTable();
    // Whether a cell mark at paragraph level 0 belongs to a table.
    bool Claims(int paragraphLevel) const;
    int Depth() const { return int(levels_.size()); }
    // How many open tables text of that paragraph level lies in or below.
    int LevelFor(int paragraphLevel) const;
    bool InTable() const { return !levels_.empty(); }
    bool Exhausted() const { return exhausted_; }
    // Some row has a height: FitTableRowHeights has work to do.
    bool HasRowHeights() const { return hasRowHeights_; }

private:
    struct Level {
        QTextTable* table = nullptr;
        int requested = 1;   // the paragraph level (\itapN) the table is for
        std::vector<QTextLength> widths;
        int row = -1;
        int column = -1;     // the cell the cursor is in
        int cellsEnded = 0;  // cell marks in the open row
        bool rowOpen = false;
        std::vector<int> verticalRunStart; // per column: first row of an open vertical merge, or -1
        TRtfRowDefinition lastRow; // the definition the last finished row got
    };

    TRtfRowDefinition& Definition() { return definitions_[std::size_t(definitionLevel_)]; }
    TRtfRowDefinition& DefinitionOf(int level) { return definitions_[std::size_t(level)]; }
    TRtfBorder* BorderInTarget();
    int Request(int paragraphLevel) const;
    int TargetDepth(int paragraphLevel) const;
    int MarkedLevel(int level) const;
    static int TargetColumn(const Level& level);
    void CloseLevel();
    void StartTable(int request);
    void StartRow(Level& level);
    bool Widen(Level& level, int columns);
    void ApplyDefinition(Level& level, int levelNumber, bool fillKnownWidths);
    void ApplyCellLooks(Level& level, int levelNumber, bool lastRow);
    void FinishRow(Level& level, int levelNumber);
    void MergeRowRest(Level& level);
    void MergeCellsOfRow(Level& level, int levelNumber);
    void CloseVerticalRuns(Level& level, const std::vector<bool>& continuing);

    QTextCursor& cursor_;
    std::vector<Level> levels_; // levels_[0] is the outermost table
    std::array<TRtfRowDefinition, kMaxDepth + 1> definitions_; // by level (0 unused)
    int definitionLevel_ = 1;
    TRtfBorderTarget borderTarget_ = TRtfBorderTarget::None;
    int borderSide_ = 0;
    bool rowPending_ = false; // \trowd seen at level 1, no \row or \pard yet
    bool exhausted_ = false;
    bool hasRowHeights_ = false;
    int cells_ = 0;           // cells made in the document
};

// Rows with a height (\trrh) get it: each cell of such a row is padded, above
// or below its text as its vertical alignment says, so that the row is at
// least (or, for an exact height, as far as its text allows, exactly) that
// tall. Needs a laid-out document; the reader calls it, and whoever changes
// the fonts of a read document (an overriding font) calls it again.
void FitTableRowHeights(QTextDocument& document);

} // namespace tomeric
