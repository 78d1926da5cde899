#pragma once
// TQueryForm: the query dialog behind AlertBox, MessageBox, the error
// report, the Exit question and the password messages. It is sized from its
// texts: a picture (built-in icon or the publication's dialog image) on the
// left, the message beside it, and a row of equal buttons under both, each
// as wide as the widest caption needs.
//
// The arithmetic lives in LayoutQuery, apart from the widgets, so that the
// rules can be checked with any measurements.

#include "windows/dialog_look.h"

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QStringList>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;

namespace tomeric {

inline constexpr int kMaxQueryButtons = 50;

// The captions of a "|"-separated list: at most 50; an empty list has none.
// Double quotes mean nothing special.
QStringList QueryButtonCaptions(const QString& buttons);

// What the layout needs to know, measured in the dialog font.
struct TQueryMeasures {
    QSize prompt;                       // the message drawn without wrapping
    QSize picture{32, 32};              // the icon, or the custom picture's size
    std::vector<int> captionWidths;     // text width of each button caption
    int mHeight = 13;                   // height of "M"
    int screenWidth = 1024;
    int frameWidth = 0;                 // window width − client width
    // Height of the message word-wrapped into a width (tabs expanded).
    std::function<int(int width)> wrappedHeight;
};

struct TQueryLayout {
    QRect panel;                  // the picture
    QRect prompt;                 // the message
    bool wordWrap = false;        // the message wraps (wider than the screen)
    QSize client;
    int buttonWidth = 45, buttonHeight = 25;
    std::vector<QRect> buttons;   // 1, 2, ... in list order
};

TQueryLayout LayoutQuery(const TQueryMeasures& m);

class TQueryForm : public QDialog {
    Q_OBJECT
public:
    // `image` is the publication's dialog picture (may be empty: the
    // built-in icon shows). The form is laid out at once.
    TQueryForm(QWidget* owner, const TDialogLook& look, const QString& title, const QString& message,
               const QString& buttons, const QString& image);

    // Shows the dialog modally: the number of the button clicked (1 =
    // first), 0 for Esc or a close.
    int Run();

    const TQueryLayout& Layout() const { return layout_; }
    int ChosenButton() const { return chosen_; }
    // The picture as it is painted (custom picture or keyed icon).
    const QImage& Picture() const { return picture_; }
    bool HasCustomImage() const { return customImage_; }
    QLabel* PromptLabel() const { return prompt_; }
    const std::vector<QPushButton*>& Buttons() const { return buttons_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void Build(const QString& message, const QStringList& captions, const QString& image);
    void Place();

    QLabel* prompt_ = nullptr;
    QWidget* imagePanel_ = nullptr;
    std::vector<QPushButton*> buttons_;
    QImage picture_;
    bool customImage_ = false;
    TQueryLayout layout_;
    int chosen_ = 0;
};

// ShowQuery: the dialog built, shown and freed; 0 when anything fails.
int ShowQuery(QWidget* owner, const TDialogLook& look, const QString& title, const QString& message,
              const QString& buttons, const QString& image);

// The owner of a new dialog: the active window when there is one, else
// `fallback`.
QWidget* DialogOwner(QWidget* fallback);

} // namespace tomeric
