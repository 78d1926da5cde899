#pragma once
// TMailProgressForm: the progress window of downloads (and, later, of mail
// sending). A message, a bar from 0 to 100 (or, while the length is unknown,
// the byte count "12,345 bytes" in its place) and a Cancel button, in the
// publication's dialog font, on top of the other windows. Cancel, or closing
// the window, only raises the cancel flag: the command that runs the
// transfer ends it and closes the window.

#include "windows/dialog_look.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tomeric {

class TMailProgressForm : public QDialog {
public:
    // `message` has "|" for line breaks.
    TMailProgressForm(const TDialogLook& look, const QString& caption, const QString& message);

    // 0..100: per cent; below 0: minus the bytes received so far.
    void SetProgress(int value);
    bool CancelPressed() const { return cancelPressed_; }
    // The byte count as shown while the length is unknown: "12,345 bytes".
    static QString ByteCountText(int negativeValue);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void PressCancel();

    QLabel* message_;
    QProgressBar* bar_;
    QLabel* bytes_;
    QPushButton* cancel_;
    bool cancelPressed_ = false;
};

} // namespace tomeric
