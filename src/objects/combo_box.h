#pragma once
// TTomericComboBox (type 11): a framed drop-down list bound to a variable,
// hosting a TSpecialComboBox docked at the top of the frame. The reader can
// only pick an item (no typing, no completion); the object's height is
// always the inner control's height plus twice the border width. Items
// longer than 255 characters are cut. The list commands are those of
// TTomericListInput; ListBoxSort sorts once.

#include "objects/list_input.h"

#include <QComboBox>

namespace tomeric {

class TSpecialComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TSpecialComboBox(QWidget* parent);
};

class TTomericComboBox : public TTomericListInput {
    Q_OBJECT
public:
    TTomericComboBox(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    void Sort(const std::optional<QString>& keepSorted) override;
    TSpecialComboBox* Combo() const { return combo_; }

protected:
    QWidget* InnerControl() const override { return combo_; }
    int Count() const override;
    QString ItemAt(int row) const override;
    void InsertAt(int row, const QString& text) override;
    void RemoveAt(int row) override;
    void SetItemAt(int row, const QString& text) override;
    void ClearItems() override;
    std::vector<int> SelectedRows() const override;
    void SetSelectedRows(const std::vector<int>& rows) override;
    int MaxItemLength() const override { return 255; }

    void LineChanged() override;
    void FontChanged() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Layout();

    TSpecialComboBox* combo_ = nullptr;
    bool laying_ = false;
};

TTomericObj* CreateComboBox(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
