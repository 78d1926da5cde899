#pragma once
// TTomericEditField (type 9): a framed text entry bound to a variable. The
// frame draws the border and fill of a page object; inside it lives the
// inner control, a single-line masked edit (TSpecialEdit) or, with
// EDITMULTILINE=Yes, a multi-line edit (TSpecialMemo).
//
// The binding works both ways without echo: every change of the text
// (typing, pasting, dropping, SetObjectCaption) writes the whole text into
// the variable and then posts the change action (kind 6); a change of the
// variable made elsewhere shows its value, cut to the maximum length, with
// the caret at the end, and neither writes back nor runs the action. The
// variable keeps its full value when the field shows it cut.

#include "objects/edit_mask.h"
#include "objects/first_values.h"
#include "objects/special_edit.h"
#include "objects/tomeric_obj.h"

namespace tomeric {

class TTomericEditField : public TTomericObj {
    Q_OBJECT
public:
    TTomericEditField(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    // ---- the text -------------------------------------------------------------
    // The field's text as its variable receives it: with a mask, the masked
    // value (empty positions as spaces, literals only when the mask saves
    // them); multi-line text with CR LF line breaks.
    QString Text() const;
    // Sets the text as a program change: the variable is written and the
    // change action posted (SetObjectCaption, the initial text).
    void SetText(const QString& text);
    QString SelectedText() const;
    // Selection start + selection length + 1 (GetObjectInfo "CursorPosition").
    int CursorPosition() const;
    // False while a masked field lacks a required character (Esc then
    // stays in the field instead of closing the publication).
    bool MaskSatisfied() const;

    // ---- properties ------------------------------------------------------------
    const QString& VarName() const { return varName_; }
    bool MultiLine() const { return memo_ != nullptr; }
    const TEditMask& Mask() const { return mask_; }
    int MaxLength() const { return rules_.maxLength; }
    // The inner control: exactly one of them exists.
    TSpecialEdit* LineEdit() const { return line_; }
    TSpecialMemo* Memo() const { return memo_; }

    // ---- object messages and commands ---------------------------------------------
    void OnInit() override;
    void OnLateInit() override;
    // What OM_INIT writes into the variable of a field with `props`; no
    // answer when only the widget can tell.
    static std::optional<TFirstWrite> FirstWrite(const TEditFieldProps& props);
    void OnVarChanged(const QString& upperName, const QString& value) override;
    bool HearsVariable(const QString& upperName) const override;
    void OnPageShow() override;
    void OnPageHide() override;
    void OnTabStops() override;
    // "CAPTION": the text; "SELECTEDTEXT"; "CURSORPOSITION".
    std::optional<QString> FamilyInfo(const QString& upperInfo) const override;
    bool SetObjectCaption(const QString& text) override;
    QWidget* FocusTarget() override;
    void HotKeyPressed() override;

protected:
    void FillChanged() override;
    void LineChanged() override;
    void FontChanged() override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateLineEdit(const TEditFieldProps& props);
    void CreateMemo(const TEditFieldProps& props);
    QWidget* Inner() const;
    void Layout();
    // The text as the inner control holds it (what SetText puts there).
    void ShowText(const QString& text);
    void CaretToEnd();
    bool InnerEmpty() const;
    void InnerTextChanged();
    bool RestoreOnEscape();
    void CheckMaskOnLeaving();

    QString varName_, changeAction_;
    TEditMask mask_;
    TInputRules rules_;
    TSpecialEdit* line_ = nullptr;
    TSpecialMemo* memo_ = nullptr;
    QString emptyDisplay_;      // what an empty masked edit shows
    QString textBeforeEditing_; // what Esc brings back in a masked field
    bool keepTextBeforeEditing_ = false; // the focus comes back after a mask error
    bool fromVariable_ = false; // the text is being set from the variable
    bool writingVariable_ = false;
};

TTomericObj* CreateEditField(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
