#pragma once
// The inner controls of an edit field: TSpecialEdit, the single-line masked
// edit, and TSpecialMemo, the multi-line edit. Both apply the field's input
// rules themselves, so typing, pasting and dropping obey them alike:
//  - numbers only: only digits can be typed; pasted or dropped text is
//    accepted only when it is a whole number (64 bits at most), inserted in
//    its canonical decimal form, otherwise the warning sound plays;
//  - letter case: typed, pasted and dropped text is turned to upper or
//    lower case;
//  - dropped files replace the text with their full names, one per line;
//    dropped text is inserted where it is dropped.

#include <QLineEdit>
#include <QPlainTextEdit>

#include <functional>
#include <optional>

class QMimeData;

namespace tomeric {

// The rules a field gives its inner control.
struct TInputRules {
    bool numbersOnly = false;
    int charCase = 0;   // TEditCase
    int maxLength = 0;  // characters; 0: none
};

// Text made to follow the letter-case rule.
QString ApplyCharCase(const QString& text, int charCase);
// The canonical decimal form of a whole number in `text` (surrounding
// spaces allowed); nothing when it is not one or does not fit 64 bits.
std::optional<QString> WholeNumberText(const QString& text);
// The full native names of the local files in `data`, one per line (CR LF);
// nothing when it carries no local file.
std::optional<QString> DroppedFileNames(const QMimeData& data);
// True when typing `text` is refused by the numbers-only rule.
bool RefusedByNumbersOnly(const QString& typed);

class TSpecialEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TSpecialEdit(QWidget* parent);
    void SetRules(const TInputRules& rules) { rules_ = rules; }
    const TInputRules& Rules() const { return rules_; }

    // Pastes `text` under the field's rules (the clipboard's text on Ctrl+V).
    void PasteText(const QString& text);

    // Esc: returns true when the field used the key.
    std::function<bool()> onEscape;
    // The focus left by the reader's choice (Tab, a click elsewhere).
    std::function<void()> onLeft;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    TInputRules rules_;
};

class TSpecialMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TSpecialMemo(QWidget* parent);
    void SetRules(const TInputRules& rules) { rules_ = rules; }
    const TInputRules& Rules() const { return rules_; }

    // The text with CR LF line breaks, as the field and its variable hold it.
    QString Text() const;
    // Pastes `text` under the field's rules at the caret.
    void PasteText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Characters that may still be added when `replacing` are replaced.
    int Room(int replacing) const;
    TInputRules rules_;
    bool dropping_ = false;
};

} // namespace tomeric
