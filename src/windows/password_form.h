#pragma once
// TPasswordEntryForm: the start and exit password question. The padlock and
// the publication's message on top, the prompt and the masked edit centred
// as one row below them, OK and Cancel at the bottom under a bevel line. OK
// stays disabled while nothing is typed. One attempt per dialog: a wrong
// password is told once, then the dialog closes.

#include "windows/dialog_look.h"

#include <QDialog>
#include <QRect>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tomeric {

// Results of AskPassword, as the password dialog closes.
inline constexpr int kPasswordMatched = 6;
inline constexpr int kPasswordWrong = 7;
inline constexpr int kPasswordCancelled = 2;

inline constexpr int kPasswordEditWidth = 150;

struct TPasswordMeasures {
    QSize message;              // the message drawn without wrapping
    QSize prompt;
    QSize padlock{32, 32};
    int editWidth = kPasswordEditWidth, editHeight = 21;
    int okTextWidth = 0, cancelTextWidth = 0;
    int mHeight = 13;
};

struct TPasswordLayout {
    QRect padlock, message, prompt, edit, ok, cancel;
    QRect passwordPanel, buttonPanel;
    QSize client;
};

TPasswordLayout LayoutPassword(const TPasswordMeasures& m);

// A typed password against the expected one: equal ignoring case.
bool PasswordMatches(const QString& typed, const QString& expected);

class TPasswordEntryForm : public QDialog {
    Q_OBJECT
public:
    using WrongPasswordAlert = std::function<void()>;

    // `alert` tells the user that the password was wrong (the query
    // dialog with L_PWORDTITLE and L_PWORDERROR).
    TPasswordEntryForm(QWidget* owner, const TDialogLook& look, const QString& expected, WrongPasswordAlert alert);

    // 6 matched, 7 wrong (after the alert), 2 cancelled.
    int Run();

    const TPasswordLayout& Layout() const { return layout_; }
    QLineEdit* PasswordEdit() const { return password_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    void OkBtnClick();

    QString expected_;
    WrongPasswordAlert alert_;
    QLabel* lockImage_ = nullptr;
    QLabel* message_ = nullptr;
    QLabel* prompt_ = nullptr;
    QLineEdit* password_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    TPasswordLayout layout_;
};

} // namespace tomeric
