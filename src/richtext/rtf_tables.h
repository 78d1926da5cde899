#pragma once
// Tables of the RTF reader: Word 97-2003 and rich-edit rows (\trowd ...
// \cellxN, paragraphs marked \intbl, \cell, \row) become one QTextTable per
// run of consecutive rows. The builder moves the reader's cursor into the
// right cell when table text arrives and out after the table when ordinary
// text follows.
//
// Bounds keep damaged input harmless: at most kMaxColumns columns (further
// cells of a row stay in the last cell, separated by tabs) and at most
// kMaxCells cells in a document (later rows are read as tab-separated
// paragraphs). Nested tables are flattened into the outer cell.

#include <QColor>
#include <QTextCharFormat>
#include <QTextLength>

#include <vector>

class QTextCursor;
class QTextTable;

namespace tomeric {

// What a row definition says of one cell besides its right edge.
struct TRtfCellLook {
    QColor background; // \clcbpatN, or the grey of \clshdngN; invalid: none
    QTextCharFormat::VerticalAlignment vertical = QTextCharFormat::AlignTop;
    bool operator==(const TRtfCellLook&) const = default;
};

// The properties of the row being defined (\trowd up to the cells).
struct TRtfRowDefinition {
    std::vector<int> cellRights; // \cellxN, twips from the row's left
    std::vector<TRtfCellLook> cellLooks; // one per right edge
    TRtfCellLook openLook;       // words seen for the next cell
    int openShading = 0;         // \clshdngN of the next cell, in 1/100 %
    int left = 0;                // \trleftN
    int gap = 0;                 // \trgaphN: half the space between cells
    Qt::Alignment alignment = Qt::AlignLeft;
    bool bordered = false;       // some cell or row border is drawn
    int openBorderSides = 0;     // border words seen for the next cell
};

class TRtfTableBuilder {
public:
    static constexpr int kMaxColumns = 64;
    static constexpr int kMaxCells = 20000;

    explicit TRtfTableBuilder(QTextCursor& cursor) : cursor_(cursor) {}

    // ---- row definition words
    void StartRowDefinition();          // \trowd
    void SetRowLeft(int twips);         // \trleftN
    void SetGap(int twips);             // \trgaphN
    void SetRowAlignment(Qt::Alignment alignment);
    void BorderSide();                  // \clbrdrX, \trbrdrX
    void NoBorder();                    // \brdrnone, \brdrtbl: the last side is not drawn
    void CellBackground(const QColor& colour); // \clcbpatN
    void CellShading(int hundredthsOfPercent); // \clshdngN
    void CellVertical(QTextCharFormat::VerticalAlignment alignment); // \clvertalX
    void CellRight(int twips);          // \cellxN
    // \pard: a defined row no longer claims the text that follows.
    void ParagraphDefaults() { rowPending_ = false; }

    // ---- where text goes
    // Whether text of a paragraph (in a table or not) belongs in a cell.
    bool Wanted(bool paragraphInTable) const;
    // Whether SyncTo would move the cursor.
    bool NeedsMove(bool paragraphInTable) const;
    // Starts or ends the table, opens a row, or moves to the current cell.
    void SyncTo(bool paragraphInTable);
    // \cell: later text goes to the next cell. False when the row is full
    // (the caller separates the extra cell's text by a tab instead).
    bool EndCell();
    // \row: false when no row is open (the caller ends a paragraph).
    bool EndRow();
    // Ends an open table; the cursor goes after it.
    void EndTable();
    bool InTable() const { return table_ != nullptr; }
    bool Exhausted() const { return exhausted_; }

private:
    int TargetColumn() const;
    void StartTable();
    void StartRow();
    bool Widen(int columns);
    void ApplyDefinition(bool fillKnownWidths);
    void MergeRowRest();
    void ApplyCellLooks();

    QTextCursor& cursor_;
    QTextTable* table_ = nullptr;
    TRtfRowDefinition definition_;
    std::vector<QTextLength> widths_;
    bool bordered_ = false;
    int row_ = -1;
    int column_ = -1;        // the cell the cursor is in
    int cellsEnded_ = 0;     // \cell words in the open row
    bool rowOpen_ = false;
    bool rowPending_ = false; // \trowd seen, no \row or \pard yet
    bool exhausted_ = false;
    int cells_ = 0;          // cells made in the document
};

} // namespace tomeric
