#include "objects/combo_box.h"

#include "objects/input_common.h"

namespace tomeric {
namespace {

TComboBoxProps PropsOf(const TObjectRecord& record)
{
    const auto* props = record.As<TComboBoxProps>();
    return props ? *props : TComboBoxProps{};
}

} // namespace

TSpecialComboBox::TSpecialComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    setFrame(false);
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
}

TTomericComboBox::TTomericComboBox(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericListInput(parent, record, host,
                        [&] {
                            const TComboBoxProps props = PropsOf(record);
                            return TListSettings{props.items, props.changeAction, props.varName,
                                                 props.varType, props.sorted};
                        }())
{
    combo_ = new TSpecialComboBox(this);
    combo_->setItemDelegate(new TListItemDelegate(*this));
    ApplyInputLook(*combo_, *this);
    // Only the reader's choices count as selection changes.
    connect(combo_, &QComboBox::activated, this, [this] { ReaderChangedSelection(); });
    RebuildItems();
    combo_->setCurrentIndex(-1);
    Layout();
}

void TTomericComboBox::Sort(const std::optional<QString>& keepSorted)
{
    (void)keepSorted; // a combo box only sorts once
    TTomericListInput::Sort(std::nullopt);
}

int TTomericComboBox::Count() const
{
    return combo_->count();
}

QString TTomericComboBox::ItemAt(int row) const
{
    return combo_->itemText(row);
}

void TTomericComboBox::InsertAt(int row, const QString& text)
{
    const int current = combo_->currentIndex();
    combo_->insertItem(row, text);
    // Inserting into an empty combo would select the new item by itself.
    if (current < 0)
        combo_->setCurrentIndex(-1);
}

void TTomericComboBox::RemoveAt(int row)
{
    const int current = combo_->currentIndex();
    combo_->removeItem(row);
    // Removing the shown item leaves nothing selected, as on Windows.
    if (current == row)
        combo_->setCurrentIndex(-1);
}

void TTomericComboBox::SetItemAt(int row, const QString& text)
{
    combo_->setItemText(row, text);
}

void TTomericComboBox::ClearItems()
{
    combo_->clear();
}

std::vector<int> TTomericComboBox::SelectedRows() const
{
    const int current = combo_->currentIndex();
    return current < 0 ? std::vector<int>{} : std::vector<int>{current};
}

void TTomericComboBox::SetSelectedRows(const std::vector<int>& rows)
{
    combo_->setCurrentIndex(rows.empty() ? -1 : rows.front());
}

void TTomericComboBox::LineChanged()
{
    Layout();
}

void TTomericComboBox::FontChanged()
{
    TTomericListInput::FontChanged();
    Layout();
}

void TTomericComboBox::resizeEvent(QResizeEvent* event)
{
    TTomericListInput::resizeEvent(event);
    Layout();
}

// Docked at the top inside the border; the frame is as high as the combo
// and its border.
void TTomericComboBox::Layout()
{
    if (laying_)
        return;
    laying_ = true;
    const int border = LineWidth();
    const int innerHeight = combo_->sizeHint().height();
    combo_->setGeometry(border, border, std::max(width() - 2 * border, 0), innerHeight);
    if (height() != innerHeight + 2 * border)
        resize(width(), innerHeight + 2 * border);
    laying_ = false;
}

TTomericObj* CreateComboBox(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericComboBox(parent, record, host);
}

} // namespace tomeric
