#include "objects/list_box.h"

#include "objects/input_common.h"

#include <algorithm>

namespace tomeric {
namespace {

TListBoxProps PropsOf(const TObjectRecord& record)
{
    const auto* props = record.As<TListBoxProps>();
    return props ? *props : TListBoxProps{};
}

} // namespace

TSpecialListBox::TSpecialListBox(QWidget* parent) : QListWidget(parent)
{
    setFrameShape(QFrame::NoFrame);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

TTomericListBox::TTomericListBox(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericListInput(parent, record, host,
                        [&] {
                            const TListBoxProps props = PropsOf(record);
                            return TListSettings{props.items, props.changeAction, props.varName,
                                                 props.varType, props.sorted};
                        }())
{
    const TListBoxProps props = PropsOf(record);
    multiSelect_ = props.multiSelect;
    dblClickAction_ = props.dblClickAction;
    list_ = new TSpecialListBox(this);
    list_->setSelectionMode(multiSelect_ ? QAbstractItemView::ExtendedSelection
                                         : QAbstractItemView::SingleSelection);
    list_->setItemDelegate(new TListItemDelegate(*this));
    list_->setCursor(host.Cursor(csHotSpot));
    ApplyInputLook(*list_, *this);
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] { ReaderChangedSelection(); });
    connect(list_, &QListWidget::itemDoubleClicked, this,
            [this] { RunObjectAction(dblClickAction_, ekListDoubleClick, 0); });
    RebuildItems();
    Layout();
}

int TTomericListBox::Count() const
{
    return list_->count();
}

QString TTomericListBox::ItemAt(int row) const
{
    const QListWidgetItem* item = list_->item(row);
    return item ? item->text() : QString();
}

void TTomericListBox::InsertAt(int row, const QString& text)
{
    list_->insertItem(row, text);
}

void TTomericListBox::RemoveAt(int row)
{
    delete list_->takeItem(row);
}

void TTomericListBox::SetItemAt(int row, const QString& text)
{
    if (QListWidgetItem* item = list_->item(row))
        item->setText(text);
}

void TTomericListBox::ClearItems()
{
    list_->clear();
}

std::vector<int> TTomericListBox::SelectedRows() const
{
    std::vector<int> rows;
    for (int row = 0; row < list_->count(); ++row)
        if (list_->item(row)->isSelected())
            rows.push_back(row);
    return rows;
}

void TTomericListBox::SetSelectedRows(const std::vector<int>& rows)
{
    list_->clearSelection();
    for (const int row : rows)
        if (QListWidgetItem* item = list_->item(row))
            item->setSelected(true);
    if (!rows.empty()) {
        // The keyboard goes on from the first selected item.
        const int first = *std::min_element(rows.begin(), rows.end());
        list_->setCurrentRow(first, QItemSelectionModel::NoUpdate);
        list_->scrollToItem(list_->item(first));
    }
}

void TTomericListBox::LineChanged()
{
    Layout();
}

void TTomericListBox::resizeEvent(QResizeEvent* event)
{
    TTomericListInput::resizeEvent(event);
    Layout();
}

// The list fills the frame inside its border.
void TTomericListBox::Layout()
{
    const int border = LineWidth();
    list_->setGeometry(rect().adjusted(border, border, -border, -border));
}

TTomericObj* CreateListBox(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericListBox(parent, record, host);
}

} // namespace tomeric
