#include "richtext/rtf_tables.h"

#include <QBrush>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>
#include <utility>

namespace tomeric {
namespace {

constexpr double kTwipsPerPixel = 15.0; // 1440 twips = 96 px
// Cell edges beyond this many twips (about 2 m) are damage.
constexpr int kMaxTwips = 31680 * 4;
// Widening a table merges the new columns into the earlier rows' last cells
// while the table has at most this many cells.
constexpr int kMaxMergedCells = 4000;

int ClampTwips(int value) { return std::clamp(value, -kMaxTwips, kMaxTwips); }

} // namespace

// ---- row definition ------------------------------------------------------------

void TRtfTableBuilder::StartRowDefinition()
{
    definition_ = {};
    rowPending_ = !exhausted_;
}

void TRtfTableBuilder::SetRowLeft(int twips) { definition_.left = ClampTwips(twips); }

void TRtfTableBuilder::SetGap(int twips) { definition_.gap = std::clamp(twips, 0, 1440); }

void TRtfTableBuilder::SetRowAlignment(Qt::Alignment alignment)
{
    definition_.alignment = alignment;
}

void TRtfTableBuilder::BorderSide() { ++definition_.openBorderSides; }

void TRtfTableBuilder::NoBorder()
{
    if (definition_.openBorderSides > 0)
        --definition_.openBorderSides;
}

void TRtfTableBuilder::CellBackground(const QColor& colour)
{
    definition_.openLook.background = colour;
}

void TRtfTableBuilder::CellShading(int hundredthsOfPercent)
{
    definition_.openShading = std::clamp(hundredthsOfPercent, 0, 10000);
}

void TRtfTableBuilder::CellVertical(QTextCharFormat::VerticalAlignment alignment)
{
    definition_.openLook.vertical = alignment;
}

void TRtfTableBuilder::CellRight(int twips)
{
    if (definition_.openBorderSides > 0)
        definition_.bordered = true;
    definition_.openBorderSides = 0;
    TRtfCellLook look = std::exchange(definition_.openLook, {});
    // Shading without a pattern colour darkens white (Word 97's grey cells).
    if (!look.background.isValid() && definition_.openShading > 0) {
        const int level = 255 - definition_.openShading * 255 / 10000;
        look.background = QColor(level, level, level);
    }
    definition_.openShading = 0;
    if (int(definition_.cellRights.size()) < kMaxColumns) {
        definition_.cellRights.push_back(ClampTwips(twips));
        definition_.cellLooks.push_back(look);
    }
}

// ---- where text goes ---------------------------------------------------------------

bool TRtfTableBuilder::Wanted(bool paragraphInTable) const
{
    return !exhausted_ && (paragraphInTable || rowOpen_ || rowPending_);
}

int TRtfTableBuilder::TargetColumn() const
{
    return std::min(cellsEnded_, kMaxColumns - 1);
}

bool TRtfTableBuilder::NeedsMove(bool paragraphInTable) const
{
    if (!Wanted(paragraphInTable))
        return table_ != nullptr;
    return !table_ || !rowOpen_ || column_ != TargetColumn();
}

void TRtfTableBuilder::SyncTo(bool paragraphInTable)
{
    if (!Wanted(paragraphInTable)) {
        EndTable();
        return;
    }
    if (!table_)
        StartTable();
    else if (!rowOpen_)
        StartRow();
    if (!table_)
        return; // the cell bound was reached
    const int target = TargetColumn();
    if (target >= table_->columns() && !Widen(target + 1))
        return;
    if (column_ != target) {
        column_ = target;
        cursor_.setPosition(table_->cellAt(row_, column_).lastPosition());
    }
}

void TRtfTableBuilder::StartTable()
{
    const int columns = std::max<int>(1, int(definition_.cellRights.size()));
    if (cells_ + columns > kMaxCells) {
        exhausted_ = true;
        return;
    }
    // The table follows the paragraph before it directly, without the
    // empty paragraph the last paragraph mark opened.
    const QTextBlock block = cursor_.block();
    if (block.length() <= 1 && block.previous().isValid() &&
        cursor_.document()->characterAt(block.position() - 1) == QChar::ParagraphSeparator)
        cursor_.deletePreviousChar();
    QTextTableFormat format;
    format.setCellSpacing(0);
    format.setBorder(0);
    format.setBorderCollapse(true);
    widths_.clear();
    bordered_ = false;
    table_ = cursor_.insertTable(1, columns, format);
    cells_ += columns;
    row_ = 0;
    column_ = 0;
    rowOpen_ = true;
    cellsEnded_ = 0;
    ApplyDefinition(false);
    ApplyCellLooks();
    cursor_.setPosition(table_->cellAt(0, 0).lastPosition());
}

void TRtfTableBuilder::StartRow()
{
    const int columns = table_->columns();
    if (cells_ + columns > kMaxCells) {
        exhausted_ = true;
        EndTable();
        return;
    }
    // Rows are added ahead in growing batches (removed again when the table
    // ends): Qt rebuilds a table's cell grid after each change of shape.
    if (row_ + 1 >= table_->rows()) {
        const int batch = std::clamp(table_->rows(), 1, 512);
        table_->appendRows(std::min(batch, std::max(1, (kMaxCells - cells_) / columns)));
    }
    cells_ += columns;
    ++row_;
    column_ = -1;
    cellsEnded_ = 0;
    rowOpen_ = true;
    Widen(int(definition_.cellRights.size()));
    ApplyDefinition(false);
    ApplyCellLooks();
}

// Adds columns up to `columns`; false when the bounds forbid it.
bool TRtfTableBuilder::Widen(int columns)
{
    columns = std::min(columns, kMaxColumns);
    const int missing = columns - table_->columns();
    if (missing <= 0)
        return true;
    if (cells_ + missing * (row_ + 1) > kMaxCells)
        return false;
    table_->appendColumns(missing);
    cells_ += missing * (row_ + 1);
    // Every finished row's last cell reaches the table's right edge, as it
    // did before (each merge rebuilds Qt's cell grid: long tables skip it).
    if (row_ * columns <= kMaxMergedCells) {
        for (int row = 0; row < row_; ++row) {
            const QTextTableCell last = table_->cellAt(row, columns - missing - 1);
            if (last.row() == row)
                table_->mergeCells(row, last.column(), 1, columns - last.column());
        }
    }
    ApplyDefinition(false);
    return true;
}

// Column widths from the row definition (columns without a width yet, or
// all of them), borders, cell padding and alignment.
void TRtfTableBuilder::ApplyDefinition(bool fillKnownWidths)
{
    const int columns = table_->columns();
    const auto& rights = definition_.cellRights;
    int previous = definition_.left;
    if (int(widths_.size()) < columns)
        widths_.resize(std::size_t(columns));
    for (int i = 0; i < columns; ++i) {
        if (i < int(rights.size())) {
            const int twips = rights[std::size_t(i)] - previous;
            previous = rights[std::size_t(i)];
            const bool known = widths_[std::size_t(i)].type() == QTextLength::FixedLength;
            if (twips > 0 && (!known || fillKnownWidths))
                widths_[std::size_t(i)] =
                    QTextLength(QTextLength::FixedLength, twips / kTwipsPerPixel);
        }
    }
    widths_.resize(std::size_t(columns));
    bordered_ = bordered_ || definition_.bordered;
    const QTextTableFormat current = table_->format();
    QTextTableFormat format = current;
    format.setColumnWidthConstraints(QList<QTextLength>(widths_.begin(), widths_.end()));
    format.setCellPadding(definition_.gap / kTwipsPerPixel);
    format.setAlignment(definition_.alignment);
    if (bordered_) {
        format.setBorder(1);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderBrush(QBrush(Qt::black));
    }
    if (format != current)
        table_->setFormat(format);
}

bool TRtfTableBuilder::EndCell()
{
    if (!table_ || !rowOpen_)
        return false;
    if (cellsEnded_ + 1 >= kMaxColumns)
        return false;
    ++cellsEnded_;
    return true;
}

// Shading and vertical alignment of the current row's cells (rows without
// either leave their cells alone).
void TRtfTableBuilder::ApplyCellLooks()
{
    const auto& looks = definition_.cellLooks;
    const auto plain = [](const TRtfCellLook& look) { return look == TRtfCellLook{}; };
    if (std::all_of(looks.begin(), looks.end(), plain))
        return;
    for (int column = 0; column < int(looks.size()) && column < table_->columns(); ++column) {
        QTextTableCell cell = table_->cellAt(row_, column);
        if (cell.row() != row_ || cell.column() != column)
            continue;
        QTextCharFormat format = cell.format();
        const TRtfCellLook& look = looks[std::size_t(column)];
        if (look.background.isValid())
            format.setBackground(look.background);
        if (look.vertical != QTextCharFormat::AlignTop)
            format.setVerticalAlignment(look.vertical);
        cell.setFormat(format);
    }
}

// A row with fewer cells than the table lets its last cell take the rest.
void TRtfTableBuilder::MergeRowRest()
{
    const int used = std::max({column_, cellsEnded_ - 1, 0});
    const int rest = table_->columns() - used;
    if (rest > 1)
        table_->mergeCells(row_, used, 1, rest);
}

bool TRtfTableBuilder::EndRow()
{
    if (!table_) {
        rowPending_ = false;
        return false;
    }
    if (rowOpen_) {
        MergeRowRest();
        // Word 2000 and later repeat the row's definition after its cells.
        ApplyDefinition(false);
        ApplyCellLooks();
    }
    rowOpen_ = false;
    rowPending_ = false;
    cellsEnded_ = 0;
    column_ = -1;
    return true;
}

void TRtfTableBuilder::EndTable()
{
    if (!table_)
        return;
    if (rowOpen_)
        MergeRowRest();
    if (row_ + 1 < table_->rows())
        table_->removeRows(row_ + 1, table_->rows() - row_ - 1);
    cursor_.setPosition(table_->lastPosition() + 1);
    table_ = nullptr;
    rowOpen_ = false;
    rowPending_ = false;
    cellsEnded_ = 0;
    column_ = -1;
    row_ = -1;
}

} // namespace tomeric
