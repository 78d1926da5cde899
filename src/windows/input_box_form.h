#pragma once
// TInputBoxForm: the input dialog of InputBox and of the mail server
// question. A prompt over a single-line edit and two buttons, centred; the
// dialog is as wide as the prompt needs and never narrower than the edit.

#include "windows/dialog_look.h"

#include <QDialog>
#include <QRect>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tomeric {

inline constexpr int kInputEditWidth = 269;

struct TInputMeasures {
    QSize prompt;            // the prompt drawn without wrapping
    int editHeight = 21;
    int okTextWidth = 0, cancelTextWidth = 0;
    int mHeight = 13;
};

struct TInputLayout {
    QRect prompt, edit, ok, cancel;
    QSize client;
};

TInputLayout LayoutInput(const TInputMeasures& m);

class TInputBoxForm : public QDialog {
    Q_OBJECT
public:
    TInputBoxForm(QWidget* owner, const TDialogLook& look, const QString& title, const QString& prompt,
                  const QString& text, const QString& cancelCaption, const QString& okCaption);

    // The text typed on OK; nothing on Cancel or Esc.
    std::optional<QString> Run();

    const TInputLayout& Layout() const { return layout_; }
    QLineEdit* EditBox() const { return edit_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    QLabel* prompt_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    TInputLayout layout_;
};

// ShowInput: the text typed, empty on Cancel.
QString ShowInput(QWidget* owner, const TDialogLook& look, const QString& title, const QString& prompt,
                  const QString& text, const QString& cancelCaption, const QString& okCaption);

} // namespace tomeric
