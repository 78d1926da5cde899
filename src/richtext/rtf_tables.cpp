#include "richtext/rtf_tables.h"

#include "richtext/rich_text_properties.h"

#include <QAbstractTextDocumentLayout>
#include <QBrush>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tomeric {
namespace {

constexpr double kTwipsPerPixel = 15.0; // 1440 twips = 96 px
// Cell edges beyond this many twips (about 2 m) are damage.
constexpr int kMaxTwips = 31680 * 4;
// Paddings and row heights beyond this many twips (about 25 cm) are damage.
constexpr int kMaxPaddingTwips = 14400;
// Widening a table merges the new columns into the earlier rows' last cells
// while the table has at most this many cells.
constexpr int kMaxMergedCells = 4000;

int ClampTwips(int value) { return std::clamp(value, -kMaxTwips, kMaxTwips); }

// Whether two document positions lie in the same cell (or both outside
// tables in the same frame).
bool SameCell(QTextDocument* document, int a, int b)
{
    QTextCursor at(document);
    at.setPosition(a);
    QTextCursor other(document);
    other.setPosition(b);
    if (at.currentFrame() != other.currentFrame())
        return false;
    if (const QTextTable* table = qobject_cast<QTextTable*>(at.currentFrame()))
        return table->cellAt(a) == table->cellAt(b);
    return true;
}

// The look the definition gives cell `index` of a row: a row with more cells
// than edges repeats its last cell.
TRtfCellLook LookOf(const TRtfRowDefinition& definition, int index)
{
    const auto& looks = definition.cellLooks;
    if (looks.empty())
        return {};
    return looks[std::size_t(std::clamp(index, 0, int(looks.size()) - 1))];
}

int PaddingOrNone(int twips, int unit) { return unit == 0 ? -1 : twips; }

void SetBorder(QTextTableCellFormat& format, int side, const TRtfBorder& border)
{
    static constexpr QTextFormat::Property kWidth[] = {
        QTextFormat::TableCellTopBorder, QTextFormat::TableCellLeftBorder,
        QTextFormat::TableCellBottomBorder, QTextFormat::TableCellRightBorder};
    static constexpr QTextFormat::Property kStyle[] = {
        QTextFormat::TableCellTopBorderStyle, QTextFormat::TableCellLeftBorderStyle,
        QTextFormat::TableCellBottomBorderStyle, QTextFormat::TableCellRightBorderStyle};
    static constexpr QTextFormat::Property kBrush[] = {
        QTextFormat::TableCellTopBorderBrush, QTextFormat::TableCellLeftBorderBrush,
        QTextFormat::TableCellBottomBorderBrush, QTextFormat::TableCellRightBorderBrush};
    if (!border.Drawn()) {
        // A side left without a style is not drawn by Qt (nor claims space).
        format.clearProperty(kWidth[side]);
        format.clearProperty(kStyle[side]);
        format.clearProperty(kBrush[side]);
        return;
    }
    format.setProperty(kWidth[side], border.Pixels());
    format.setProperty(kStyle[side], int(border.style));
    format.setProperty(kBrush[side],
                       QBrush(border.colour.isValid() ? border.colour : QColor(Qt::black)));
}

} // namespace

double TRtfBorder::Pixels() const
{
    const double twips = std::clamp(widthTwips, 0, 1440) * (thick ? 2 : 1);
    const double pixels = std::max(1.0, std::round(twips / kTwipsPerPixel));
    return style == QTextFrameFormat::BorderStyle_Double ? std::max(3.0, pixels * 3) : pixels;
}

// ---- row definition ------------------------------------------------------------

void TRtfTableBuilder::SetDefinitionLevel(int level)
{
    definitionLevel_ = std::clamp(level, 1, kMaxDepth);
}

void TRtfTableBuilder::StartRowDefinition()
{
    Definition() = {};
    borderTarget_ = TRtfBorderTarget::None;
    if (definitionLevel_ == 1)
        rowPending_ = !exhausted_;
}

void TRtfTableBuilder::SetRowLeft(int twips) { Definition().left = ClampTwips(twips); }

void TRtfTableBuilder::SetGap(int twips) { Definition().gap = std::clamp(twips, 0, 1440); }

void TRtfTableBuilder::SetRowAlignment(Qt::Alignment alignment)
{
    Definition().alignment = alignment;
}

void TRtfTableBuilder::SetRowHeight(int twips)
{
    Definition().height = std::clamp(twips, -kMaxPaddingTwips, kMaxPaddingTwips);
}

void TRtfTableBuilder::SetRowPadding(int side, int twips)
{
    Definition().rowPadding[std::size_t(side & 3)] = std::clamp(twips, 0, kMaxPaddingTwips);
}

void TRtfTableBuilder::SetRowPaddingUnit(int side, int unit)
{
    Definition().rowPaddingUnit[std::size_t(side & 3)] = unit;
}

void TRtfTableBuilder::SetCellPadding(int side, int twips)
{
    Definition().openLook.padding[std::size_t(side & 3)] = std::clamp(twips, 0, kMaxPaddingTwips);
}

void TRtfTableBuilder::SetCellPaddingUnit(int side, int unit)
{
    Definition().openPaddingUnit[std::size_t(side & 3)] = unit;
}

void TRtfTableBuilder::SetBorderTarget(TRtfBorderTarget target, int side)
{
    borderTarget_ = target;
    borderSide_ = side;
    if (TRtfBorder* border = BorderInTarget())
        *border = TRtfBorder{.given = true};
}

TRtfBorder* TRtfTableBuilder::BorderInTarget()
{
    switch (borderTarget_) {
    case TRtfBorderTarget::Cell:
        return &Definition().openLook.borders[std::size_t(std::clamp(borderSide_, 0, 3))];
    case TRtfBorderTarget::Row:
        return &Definition().rowBorders[std::size_t(std::clamp(borderSide_, 0, 5))];
    case TRtfBorderTarget::None: break;
    }
    return nullptr;
}

void TRtfTableBuilder::SetBorderStyle(QTextFrameFormat::BorderStyle style)
{
    if (TRtfBorder* border = BorderInTarget())
        border->style = style;
}

void TRtfTableBuilder::SetBorderThick()
{
    if (TRtfBorder* border = BorderInTarget()) {
        border->thick = true;
        if (border->style == QTextFrameFormat::BorderStyle_None)
            border->style = QTextFrameFormat::BorderStyle_Solid;
    }
}

void TRtfTableBuilder::SetBorderWidth(int twips)
{
    if (TRtfBorder* border = BorderInTarget())
        border->widthTwips = std::clamp(twips, 0, 1440);
}

void TRtfTableBuilder::SetBorderColour(const QColor& colour)
{
    if (TRtfBorder* border = BorderInTarget())
        border->colour = colour;
}

void TRtfTableBuilder::CellBackground(const QColor& colour)
{
    Definition().openLook.background = colour;
}

void TRtfTableBuilder::CellShading(int hundredthsOfPercent)
{
    Definition().openShading = std::clamp(hundredthsOfPercent, 0, 10000);
}

void TRtfTableBuilder::CellVertical(QTextCharFormat::VerticalAlignment alignment)
{
    Definition().openLook.vertical = alignment;
}

void TRtfTableBuilder::CellMerge(int kind) { Definition().openLook.merge = kind; }

void TRtfTableBuilder::CellVerticalMerge(int kind) { Definition().openLook.verticalMerge = kind; }

void TRtfTableBuilder::CellRight(int twips)
{
    TRtfRowDefinition& definition = Definition();
    borderTarget_ = TRtfBorderTarget::None;
    TRtfCellLook look = std::exchange(definition.openLook, {});
    // Shading without a pattern colour darkens white (Word 97's grey cells).
    if (!look.background.isValid() && definition.openShading > 0) {
        const int level = 255 - definition.openShading * 255 / 10000;
        look.background = QColor(level, level, level);
    }
    definition.openShading = 0;
    for (std::size_t side = 0; side < 4; ++side)
        look.padding[side] = PaddingOrNone(look.padding[side], definition.openPaddingUnit[side]);
    definition.openPaddingUnit = {-1, -1, -1, -1};
    if (int(definition.cellRights.size()) < kMaxColumns) {
        definition.cellRights.push_back(ClampTwips(twips));
        definition.cellLooks.push_back(look);
    }
}

// ---- where text goes ---------------------------------------------------------------

bool TRtfTableBuilder::Claims(int paragraphLevel) const
{
    return !exhausted_ && Request(paragraphLevel) > 0;
}

// The level a paragraph asks for: its own, or the outer table's while a row
// is defined or open there.
int TRtfTableBuilder::Request(int paragraphLevel) const
{
    if (paragraphLevel > 0)
        return paragraphLevel;
    return rowPending_ || (!levels_.empty() && levels_.front().rowOpen) ? 1 : 0;
}

int TRtfTableBuilder::LevelFor(int paragraphLevel) const
{
    int level = 0;
    while (level < Depth() && levels_[std::size_t(level)].requested <= paragraphLevel)
        ++level;
    return level;
}

// How deep the tables are once text of the paragraph's level has its cell:
// the open tables of its level and above stay, and a table of its own level
// opens when none is open (with the outer table first when none is open; a
// paragraph that skips levels goes one level deeper than the open ones),
// down to kMaxDepth.
int TRtfTableBuilder::TargetDepth(int paragraphLevel) const
{
    if (exhausted_)
        return 0;
    const int request = Request(paragraphLevel);
    if (request <= 0)
        return 0;
    const int kept = LevelFor(request);
    if (kept == 0)
        return request == 1 ? 1 : 2;
    if (levels_[std::size_t(kept - 1)].requested == request)
        return kept;
    return std::min(kept + 1, kMaxDepth);
}

int TRtfTableBuilder::TargetColumn(const Level& level)
{
    return std::min(level.cellsEnded, kMaxColumns - 1);
}

bool TRtfTableBuilder::NeedsMove(int paragraphLevel) const
{
    const int target = TargetDepth(paragraphLevel);
    if (target != Depth() || LevelFor(Request(paragraphLevel)) < target)
        return true;
    if (target == 0)
        return false;
    const Level& top = levels_.back();
    return !top.rowOpen || top.column != TargetColumn(top);
}

void TRtfTableBuilder::SyncTo(int paragraphLevel)
{
    const int request = Request(paragraphLevel);
    const int target = TargetDepth(paragraphLevel);
    // Deeper tables end, and so does one of a level between the paragraph's
    // and the one above it.
    const int kept = std::min(LevelFor(request), target);
    while (Depth() > kept)
        CloseLevel();
    if (target == 0)
        return;
    if (!levels_.empty()) {
        Level& top = levels_.back();
        if (!top.rowOpen)
            StartRow(top);
        if (levels_.empty())
            return; // the cell bound was reached
        Level& open = levels_.back();
        const int column = TargetColumn(open);
        if (column >= open.table->columns() && !Widen(open, column + 1))
            return;
        if (open.column != column) {
            open.column = column;
            cursor_.setPosition(open.table->cellAt(open.row, column).lastPosition());
        }
    }
    while (Depth() < target && !exhausted_)
        StartTable(Depth() + 1 == target ? request : 1);
}

void TRtfTableBuilder::StartTable(int request)
{
    const int number = Depth() + 1;
    const TRtfRowDefinition& definition = DefinitionOf(number);
    const int columns = std::max<int>(1, int(definition.cellRights.size()));
    if (cells_ + columns > kMaxCells) {
        exhausted_ = true;
        EndTable();
        return;
    }
    // The table follows the paragraph before it directly, without the
    // empty paragraph the last paragraph mark opened. An empty paragraph the
    // file wrote before the table stays visible (Qt hides empty blocks just
    // before tables).
    QTextDocument* document = cursor_.document();
    const QTextBlock block = cursor_.block();
    if (block.length() <= 1 && block.previous().isValid() &&
        document->characterAt(block.position() - 1) == QChar::ParagraphSeparator &&
        SameCell(document, block.previous().position(), block.position())) {
        cursor_.deletePreviousChar();
        if (cursor_.block().length() <= 1) {
            QTextBlockFormat kept = cursor_.blockFormat();
            kept.setProperty(rtpKeepEmptyBlock, true);
            kept.setBackground(Qt::transparent);
            cursor_.setBlockFormat(kept);
        }
    }
    QTextTableFormat format;
    format.setCellSpacing(0);
    format.setCellPadding(0);
    format.setBorder(0);
    format.setBorderCollapse(true);
    Level level;
    level.requested = number == 1 ? 1 : std::max(request, levels_.back().requested + 1);
    if (number == kMaxDepth)
        level.requested = std::max(level.requested, request);
    level.table = cursor_.insertTable(1, columns, format);
    level.row = 0;
    level.column = 0;
    level.rowOpen = true;
    cells_ += columns;
    levels_.push_back(std::move(level));
    Level& added = levels_.back();
    ApplyDefinition(added, number, false);
    ApplyCellLooks(added, number, false);
    cursor_.setPosition(added.table->cellAt(0, 0).lastPosition());
}

void TRtfTableBuilder::StartRow(Level& level)
{
    const int columns = level.table->columns();
    if (cells_ + columns > kMaxCells) {
        exhausted_ = true;
        EndTable();
        return;
    }
    // Rows are added ahead in growing batches (removed again when the table
    // ends): Qt rebuilds a table's cell grid after each change of shape.
    if (level.row + 1 >= level.table->rows()) {
        const int batch = std::clamp(level.table->rows(), 1, 512);
        level.table->appendRows(std::min(batch, std::max(1, (kMaxCells - cells_) / columns)));
    }
    const int number = int(&level - levels_.data()) + 1;
    cells_ += columns;
    ++level.row;
    level.column = -1;
    level.cellsEnded = 0;
    level.rowOpen = true;
    Widen(level, int(DefinitionOf(number).cellRights.size()));
    ApplyDefinition(level, number, false);
    ApplyCellLooks(level, number, false);
}

// Adds columns up to `columns`; false when the bounds forbid it.
bool TRtfTableBuilder::Widen(Level& level, int columns)
{
    QTextTable* table = level.table;
    columns = std::min(columns, kMaxColumns);
    const int missing = columns - table->columns();
    if (missing <= 0)
        return true;
    if (cells_ + missing * (level.row + 1) > kMaxCells)
        return false;
    table->appendColumns(missing);
    cells_ += missing * (level.row + 1);
    // Every finished row's last cell reaches the table's right edge, as it
    // did before (each merge rebuilds Qt's cell grid: long tables skip it).
    if (level.row * columns <= kMaxMergedCells) {
        for (int row = 0; row < level.row; ++row) {
            const QTextTableCell last = table->cellAt(row, columns - missing - 1);
            if (last.row() == row)
                table->mergeCells(row, last.column(), 1, columns - last.column());
        }
    }
    ApplyDefinition(level, int(&level - levels_.data()) + 1, false);
    return true;
}

// Column widths from the row definition (columns without a width yet, or
// all of them) and the row's alignment. Columns past the row's edges are as
// wide as its last cell.
void TRtfTableBuilder::ApplyDefinition(Level& level, int levelNumber, bool fillKnownWidths)
{
    QTextTable* table = level.table;
    const TRtfRowDefinition& definition = DefinitionOf(levelNumber);
    const int columns = table->columns();
    const auto& rights = definition.cellRights;
    if (int(level.widths.size()) < columns)
        level.widths.resize(std::size_t(columns));
    int previous = definition.left;
    int lastWidth = 0;
    for (int i = 0; i < columns; ++i) {
        int twips = lastWidth;
        if (i < int(rights.size())) {
            twips = rights[std::size_t(i)] - previous;
            previous = rights[std::size_t(i)];
            lastWidth = twips;
        }
        const bool known = level.widths[std::size_t(i)].type() == QTextLength::FixedLength;
        if (twips > 0 && (!known || fillKnownWidths))
            level.widths[std::size_t(i)] = QTextLength(QTextLength::FixedLength, twips / kTwipsPerPixel);
    }
    level.widths.resize(std::size_t(columns));
    const QTextTableFormat current = table->format();
    QTextTableFormat format = current;
    format.setColumnWidthConstraints(QList<QTextLength>(level.widths.begin(), level.widths.end()));
    format.setAlignment(definition.alignment);
    if (format != current)
        table->setFormat(format);
}

// Borders, shading, padding, vertical alignment and height of the current
// row's cells. The bottom edge of a row takes the row's inside border until
// the row turns out to be the table's last.
void TRtfTableBuilder::ApplyCellLooks(Level& level, int levelNumber, bool lastRow)
{
    const TRtfRowDefinition& definition = DefinitionOf(levelNumber);
    QTextTable* table = level.table;
    const int row = level.row;
    const int columns = table->columns();
    const int used = std::max<int>({int(definition.cellRights.size()), level.cellsEnded, 1});
    // Word pads every cell of a row with the largest top and bottom padding
    // of its cells.
    auto rowPadding = [&](int side) {
        int padding = PaddingOrNone(definition.rowPadding[std::size_t(side)],
                                    definition.rowPaddingUnit[std::size_t(side)]);
        for (const TRtfCellLook& look : definition.cellLooks)
            padding = std::max(padding, look.padding[std::size_t(side)]);
        return std::max(padding, 0);
    };
    const int top = rowPadding(rsTop);
    const int bottom = rowPadding(rsBottom);
    const auto& rowBorders = definition.rowBorders;
    for (int column = 0; column < columns;) {
        QTextTableCell cell = table->cellAt(row, column);
        const int span = std::max(1, cell.columnSpan());
        if (cell.row() != row || cell.column() != column) {
            column += span;
            continue;
        }
        const TRtfCellLook look = LookOf(definition, column);
        const TRtfCellLook lastLook = LookOf(definition, column + span - 1);
        const bool firstColumn = column == 0;
        const bool lastColumn = column + span >= std::min(used, columns);
        std::array<TRtfBorder, 4> borders = look.borders;
        borders[rsRight] = lastLook.borders[rsRight];
        if (!borders[rsTop].given)
            borders[rsTop] = rowBorders[row == 0 ? rrTop : rrInsideH];
        if (!borders[rsBottom].given)
            borders[rsBottom] = rowBorders[lastRow ? rrBottom : rrInsideH];
        if (!borders[rsLeft].given)
            borders[rsLeft] = rowBorders[firstColumn ? rrLeft : rrInsideV];
        if (!borders[rsRight].given)
            borders[rsRight] = rowBorders[lastColumn ? rrRight : rrInsideV];

        const QTextTableCellFormat current = cell.format().toTableCellFormat();
        QTextTableCellFormat format = current;
        if (look.background.isValid())
            format.setBackground(look.background);
        else
            format.clearBackground();
        format.setVerticalAlignment(look.vertical);
        for (int side = 0; side < 4; ++side)
            SetBorder(format, side, borders[std::size_t(side)]);
        auto sidePadding = [&](int side, const TRtfCellLook& from) {
            if (from.padding[std::size_t(side)] >= 0)
                return from.padding[std::size_t(side)];
            const int own = PaddingOrNone(definition.rowPadding[std::size_t(side)],
                                          definition.rowPaddingUnit[std::size_t(side)]);
            return own >= 0 ? own : std::max(definition.gap, 0);
        };
        format.setLeftPadding(sidePadding(rsLeft, look) / kTwipsPerPixel);
        format.setRightPadding(sidePadding(rsRight, lastLook) / kTwipsPerPixel);
        format.setTopPadding(top / kTwipsPerPixel);
        format.setBottomPadding(bottom / kTwipsPerPixel);
        format.setProperty(rtpCellTopPadding, top / kTwipsPerPixel);
        format.setProperty(rtpCellBottomPadding, bottom / kTwipsPerPixel);
        if (definition.height != 0)
            format.setProperty(rtpRowHeight, definition.height);
        else
            format.clearProperty(rtpRowHeight);
        if (format != current)
            cell.setFormat(format);
        column += span;
    }
}

// The open table a cell or row mark of `level` ends something in: the
// deepest one of that level or above; none when the mark's own level was
// never opened (past the depth bound).
int TRtfTableBuilder::MarkedLevel(int level) const
{
    const int found = LevelFor(std::max(level, 1));
    if (found == 0 || levels_[std::size_t(found - 1)].requested != std::max(level, 1))
        return 0;
    return found;
}

bool TRtfTableBuilder::EndCell(int level)
{
    const int found = MarkedLevel(level);
    if (found == 0)
        return false;
    while (Depth() > found)
        CloseLevel();
    Level& open = levels_.back();
    if (!open.rowOpen || open.cellsEnded + 1 >= kMaxColumns)
        return false;
    ++open.cellsEnded;
    return true;
}

// \clmgf ... \clmrg: the merged cells become one.
void TRtfTableBuilder::MergeCellsOfRow(Level& level, int levelNumber)
{
    const TRtfRowDefinition& definition = DefinitionOf(levelNumber);
    const int columns = std::min<int>(level.table->columns(), int(definition.cellLooks.size()));
    for (int column = 0; column < columns;) {
        if (definition.cellLooks[std::size_t(column)].merge != 1) {
            ++column;
            continue;
        }
        int end = column + 1;
        while (end < columns && definition.cellLooks[std::size_t(end)].merge == 2)
            ++end;
        if (end - column > 1)
            level.table->mergeCells(level.row, column, 1, end - column);
        column = end;
    }
}

// A row with fewer cells than the table lets its last cell take the rest.
void TRtfTableBuilder::MergeRowRest(Level& level)
{
    QTextTable* table = level.table;
    const int used = std::max({level.column, level.cellsEnded - 1, 0});
    if (used >= table->columns())
        return;
    const QTextTableCell last = table->cellAt(level.row, used);
    if (last.row() != level.row)
        return;
    const int rest = table->columns() - last.column();
    if (rest > std::max(1, last.columnSpan()))
        table->mergeCells(level.row, last.column(), 1, rest);
}

// Vertical merges (\clvmgf over \clvmrg cells below) that do not go on in
// the row just finished become one cell.
void TRtfTableBuilder::CloseVerticalRuns(Level& level, const std::vector<bool>& continuing)
{
    auto& starts = level.verticalRunStart;
    for (int column = 0; column < int(starts.size()); ++column) {
        const int start = starts[std::size_t(column)];
        if (start < 0 || (column < int(continuing.size()) && continuing[std::size_t(column)]))
            continue;
        starts[std::size_t(column)] = -1;
        const int last = continuing.empty() ? level.row : level.row - 1;
        if (last <= start)
            continue;
        const QTextTableCell first = level.table->cellAt(start, column);
        if (first.row() == start && first.column() == column)
            level.table->mergeCells(start, column, last - start + 1, std::max(1, first.columnSpan()));
    }
}

void TRtfTableBuilder::FinishRow(Level& level, int levelNumber)
{
    const TRtfRowDefinition& definition = DefinitionOf(levelNumber);
    MergeCellsOfRow(level, levelNumber);
    MergeRowRest(level);
    // Word 2000 and later repeat the row's definition after its cells (and
    // a nested row has it only there).
    ApplyDefinition(level, levelNumber, false);
    ApplyCellLooks(level, levelNumber, false);
    if (definition.height != 0)
        hasRowHeights_ = true;
    // Vertical merges: a \clvmrg cell joins the run above it.
    const int columns = level.table->columns();
    std::vector<bool> continuing(std::size_t(columns), false);
    for (int column = 0; column < columns && column < int(definition.cellLooks.size()); ++column)
        continuing[std::size_t(column)] = definition.cellLooks[std::size_t(column)].verticalMerge == 2;
    level.verticalRunStart.resize(std::size_t(columns), -1);
    CloseVerticalRuns(level, continuing);
    for (int column = 0; column < columns && column < int(definition.cellLooks.size()); ++column)
        if (definition.cellLooks[std::size_t(column)].verticalMerge == 1)
            level.verticalRunStart[std::size_t(column)] = level.row;
    level.lastRow = definition;
    level.rowOpen = false;
    level.cellsEnded = 0;
    level.column = -1;
}

bool TRtfTableBuilder::EndRow(int level)
{
    if (level == 1)
        rowPending_ = false;
    const int found = MarkedLevel(level);
    if (found == 0)
        return false;
    while (Depth() > found)
        CloseLevel();
    Level& open = levels_.back();
    if (open.rowOpen)
        FinishRow(open, Depth());
    return true;
}

// Ends the deepest open table: its open row ends, its vertical merges
// close, its last row gets the bottom border, and the cursor goes after it.
void TRtfTableBuilder::CloseLevel()
{
    const int number = Depth();
    Level& level = levels_.back();
    if (level.rowOpen)
        FinishRow(level, number);
    CloseVerticalRuns(level, {});
    // The last row's bottom edge is the table's bottom border.
    std::swap(DefinitionOf(number), level.lastRow);
    ApplyCellLooks(level, number, true);
    std::swap(DefinitionOf(number), level.lastRow);
    QTextTable* table = level.table;
    if (level.row + 1 < table->rows())
        table->removeRows(level.row + 1, table->rows() - level.row - 1);
    cursor_.setPosition(table->lastPosition() + 1);
    levels_.pop_back();
    if (number == 1)
        rowPending_ = false;
    else
        DefinitionOf(number) = {}; // the next nested table there starts afresh
}

void TRtfTableBuilder::EndTable()
{
    while (!levels_.empty())
        CloseLevel();
}

// ---- row heights ---------------------------------------------------------------------

namespace {

void CollectTables(QTextFrame* frame, std::vector<QTextTable*>& tables)
{
    for (auto it = frame->begin(); !it.atEnd(); ++it)
        if (QTextFrame* child = it.currentFrame()) {
            CollectTables(child, tables); // inner tables first: they make their cells taller
            if (auto* table = qobject_cast<QTextTable*>(child))
                tables.push_back(table);
        }
}

// The height of a cell's content (its blocks with their margins, tables in
// it included), without its padding.
double ContentHeight(QTextDocument& document, const QTextTableCell& cell)
{
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    const QTextBlock first = cell.firstCursorPosition().block();
    const QTextBlock last = cell.lastCursorPosition().block();
    const QRectF top = layout->blockBoundingRect(first);
    const QRectF bottom = layout->blockBoundingRect(last);
    return bottom.bottom() + last.blockFormat().bottomMargin() -
           (top.top() - first.blockFormat().topMargin());
}

} // namespace

void FitTableRowHeights(QTextDocument& document)
{
    std::vector<QTextTable*> tables;
    CollectTables(document.rootFrame(), tables);
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    for (QTextTable* table : tables) {
        std::vector<std::pair<QTextTableCell, QTextTableCellFormat>> changes;
        for (int row = 0; row < table->rows(); ++row) {
            for (int column = 0; column < table->columns();) {
                const QTextTableCell cell = table->cellAt(row, column);
                column += std::max(1, cell.columnSpan());
                if (cell.row() != row)
                    continue;
                const QTextTableCellFormat current = cell.format().toTableCellFormat();
                const int twips = current.intProperty(rtpRowHeight);
                if (twips == 0 && !current.hasProperty(rtpCellTopPadding))
                    continue;
                double top = current.doubleProperty(rtpCellTopPadding);
                double bottom = current.doubleProperty(rtpCellBottomPadding);
                if (twips != 0 && cell.rowSpan() == 1) {
                    const double borders = (current.topBorder() + current.bottomBorder()) / 2;
                    const double extra = std::abs(twips) / kTwipsPerPixel - borders - top - bottom -
                                         ContentHeight(document, cell);
                    if (extra > 0) {
                        if (current.verticalAlignment() == QTextCharFormat::AlignMiddle) {
                            top += extra / 2;
                            bottom += extra / 2;
                        } else if (current.verticalAlignment() == QTextCharFormat::AlignBottom) {
                            top += extra;
                        } else {
                            bottom += extra;
                        }
                    }
                }
                if (top == current.topPadding() && bottom == current.bottomPadding())
                    continue;
                QTextTableCellFormat format = current;
                format.setTopPadding(top);
                format.setBottomPadding(bottom);
                changes.emplace_back(cell, format);
            }
        }
        if (changes.empty())
            continue;
        QTextCursor edit(&document);
        edit.beginEditBlock();
        for (auto& [cell, format] : changes)
            cell.setFormat(format);
        edit.endEditBlock();
    }
    document.setUndoRedoEnabled(undo);
}

} // namespace tomeric
