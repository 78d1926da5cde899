#pragma once
// TFindForm: the Find window. A stay-on-top, non-modal window with a prompt
// and the search edit centred as one row and the Find First, Find Next and
// Close buttons under them. It only shows and reports; TFindCommands runs
// the search.

#include "windows/dialog_look.h"

#include <QDialog>
#include <QRect>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tomeric {

inline constexpr int kFindEditWidth = 200;
inline constexpr int kFindMaxLength = 45;

struct TFindMeasures {
    QSize prompt;
    int editWidth = kFindEditWidth, editHeight = 21;
    int findTextWidth = 0, nextTextWidth = 0, closeTextWidth = 0;
    int mHeight = 13;
};

struct TFindLayout {
    QRect prompt, edit, find, next, close;
    QSize client;
};

TFindLayout LayoutFind(const TFindMeasures& m);

class TFindForm : public QDialog {
    Q_OBJECT
public:
    TFindForm(QWidget* owner, const TDialogLook& look);

    QString SearchText() const;
    void SetSearchText(const QString& text);
    // Find Next is enabled while a search is under way.
    void SetSearching(bool searching);
    // Moves the window off `area` (global coordinates): just below it, or
    // above it (never above the screen's top) when below would leave the
    // desktop.
    void MoveOff(const QRect& area);

    const TFindLayout& Layout() const { return layout_; }
    QLineEdit* SearchEdit() const { return edit_; }
    QPushButton* FindButton() const { return find_; }
    QPushButton* NextButton() const { return next_; }
    QPushButton* CloseButton() const { return close_; }

signals:
    void FindFirstClicked();
    void FindNextClicked();

private:
    void UpdateButtons();

    QLabel* prompt_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QPushButton* find_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* close_ = nullptr;
    TFindLayout layout_;
    bool searching_ = false;
};

} // namespace tomeric
