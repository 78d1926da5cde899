#pragma once
// TTomericListInput: what list boxes and combo boxes share. Both hold items
// (from TEXT=, one a line, with variables substituted), are bound to a
// variable that holds the selection as item texts (vtText) or 1-based item
// numbers (vtIndex), may keep their items sorted, and answer the same list
// commands. The families supply the inner control through a few primitive
// operations; the rules live here once.
//
// The binding: a selection the reader makes writes the selection's value
// into the variable when it differs and posts the change action (kind 18);
// a change of the variable selects from its value and runs nothing. After
// every list command the selection is taken again from the variable.

#include "objects/first_values.h"
#include "objects/tomeric_obj.h"

#include <QStringList>
#include <QStyledItemDelegate>

#include <optional>
#include <vector>

namespace tomeric {

class TTomericListInput : public TTomericObj {
    Q_OBJECT
public:
    // ---- list commands (item numbers are 1-based texts, as scripts give them) ----
    // Item n; "ALL": every item joined with "|"; anything else: empty.
    QString GetItem(const QString& item) const;
    // Before item n when it exists; "ALL" (list boxes): the text's parts
    // separated by "|" or line breaks, each appended; else appended. A sorted
    // list puts every new item in its sorted place.
    void AddItem(const QString& item, const QString& text);
    // Item n; "ALL": every item; "SELECTED" (multi-select list): the selected ones.
    void DeleteItem(const QString& item);
    void ChangeItem(const QString& item, const QString& text);
    int Size() const;
    // 1-based position of the first item equal to `text` ignoring case; 0 when none.
    int FindItem(const QString& text) const;
    // List boxes: with a word, stay sorted when it is a true word ("True",
    // "Yes", "1" ...), unsorted otherwise; without one, sort once. Combo
    // boxes sort once.
    virtual void Sort(const std::optional<QString>& keepSorted);
    // Moves item `from` to position `to` when both exist and differ.
    void MoveItem(const QString& from, const QString& to);

    // ---- items, selection and binding ------------------------------------------------------
    QStringList Items() const;
    // Replaces every item (SetObjectCaption gives them separated by "|").
    void SetItems(const QStringList& items);
    // The selection's value: the item's text (vtText) or number (vtIndex);
    // several selected items are joined with a CR; nothing selected: empty.
    QString Value() const;
    // Selects what `value` names (see the class comment); runs nothing.
    void SelectFromValue(const QString& value);
    const QString& VarName() const { return varName_; }
    int VariableType() const { return varType_; }
    bool Sorted() const { return sorted_; }
    virtual bool MultiSelect() const { return false; }

    // ---- object messages and commands ---------------------------------------------
    void OnInit() override;
    void OnLateInit() override;
    // What OM_INIT writes into a list bound to `varName` (as VARNAME= gives it).
    static TFirstWrite FirstWrite(const QString& varName);
    void OnVarChanged(const QString& upperName, const QString& value) override;
    bool HearsVariable(const QString& upperName) const override;
    void OnTabStops() override;
    // "CAPTION": every item joined with "|".
    std::optional<QString> FamilyInfo(const QString& upperInfo) const override;
    bool SetObjectCaption(const QString& text) override;
    QWidget* FocusTarget() override;
    void HotKeyPressed() override;

protected:
    struct TListSettings {
        QString itemsText, changeAction, varName;
        int varType = 0;
        bool sorted = false;
    };
    TTomericListInput(QWidget* parent, const TObjectRecord& record, ObjectHost& host,
                      const TListSettings& settings);

    // The inner control's primitives (rows are 0-based).
    virtual QWidget* InnerControl() const = 0;
    virtual int Count() const = 0;
    virtual QString ItemAt(int row) const = 0;
    virtual void InsertAt(int row, const QString& text) = 0;
    virtual void RemoveAt(int row) = 0;
    virtual void SetItemAt(int row, const QString& text) = 0;
    virtual void ClearItems() = 0;
    virtual std::vector<int> SelectedRows() const = 0;
    // Replaces the selection (an empty list clears it).
    virtual void SetSelectedRows(const std::vector<int>& rows) = 0;
    // Longest item the control holds (combo boxes: 255); 0: no limit.
    virtual int MaxItemLength() const { return 0; }
    virtual bool AddsAllItems() const { return false; }

    // The family calls this when the reader changed the selection.
    void ReaderChangedSelection();
    // True while the selection is being set by the program.
    bool SelectingByProgram() const { return selectingByProgram_ > 0; }
    // Items rebuilt from TEXT= with the variables of now.
    void RebuildItems();
    void SetSortedFlag(bool sorted) { sorted_ = sorted; }
    void SortOnce();

    void FillChanged() override;
    void FontChanged() override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Insert(std::optional<int> row, const QString& text);
    int SortedRow(const QString& text) const;
    void ReplaceAll(const QStringList& items);
    void AfterCommand();
    int RowOfText(const QString& text) const;
    int RowOfPart(const QString& part) const;
    QString RowValue(int row) const;

    QString itemsText_, changeAction_, varName_;
    int varType_ = 0;
    bool sorted_ = false;
    int selectingByProgram_ = 0;
    bool writingVariable_ = false;
    QString lastValue_; // the value last chosen, when no variable is bound
};

// Draws the items of list and combo boxes in the object's font and colours:
// the selected item in the system highlight colours, the others on the fill
// colour in the text colour (grey when disabled), a focus rectangle around
// the focused item while keyboard navigation is on. Items are one "M" high
// and as wide as their text + 4 pixels.
class TListItemDelegate : public QStyledItemDelegate {
public:
    explicit TListItemDelegate(TTomericObj& object);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    TTomericObj& object_;
};

} // namespace tomeric
