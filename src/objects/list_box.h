#pragma once
// TTomericListBox (type 10): a framed list bound to a variable, hosting a
// TSpecialListBox that fills the frame inside its border. MULTISELECT=Yes
// lets the reader pick several items (Ctrl and Shift extend the choice);
// the variable then holds their values separated by CRs, and a value whose
// parts are separated by "|" (or line breaks) selects exactly those items.
// A double click on an item posts DBLCLICK= (kind 25). The list commands
// are those of TTomericListInput.

#include "objects/list_input.h"

#include <QListWidget>

namespace tomeric {

// The inner list: owner-drawn items of one fixed height.
class TSpecialListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TSpecialListBox(QWidget* parent);
};

class TTomericListBox : public TTomericListInput {
    Q_OBJECT
public:
    TTomericListBox(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    bool MultiSelect() const override { return multiSelect_; }
    const QString& DblClickAction() const { return dblClickAction_; }
    TSpecialListBox* List() const { return list_; }

protected:
    QWidget* InnerControl() const override { return list_; }
    int Count() const override;
    QString ItemAt(int row) const override;
    void InsertAt(int row, const QString& text) override;
    void RemoveAt(int row) override;
    void SetItemAt(int row, const QString& text) override;
    void ClearItems() override;
    std::vector<int> SelectedRows() const override;
    void SetSelectedRows(const std::vector<int>& rows) override;
    bool AddsAllItems() const override { return true; }

    void LineChanged() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Layout();

    TSpecialListBox* list_ = nullptr;
    bool multiSelect_ = false;
    QString dblClickAction_;
};

TTomericObj* CreateListBox(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
