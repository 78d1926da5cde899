#pragma once
// TPopUpMenuForm: the pick list of Menu and MenuEx. A bordered panel holds
// the owner-drawn list (TPopUpMenuBox): 18-pixel items, half-height etched
// separators, a vertical scroll bar when the list is taller than the work
// area. The item under the mouse is selected; a click chooses it. Keys: Up
// and Down move (skipping separators, turning back at the ends), Home and
// End, Enter chooses, an item's "&" letter chooses it after showing it
// selected for 150 ms, Esc cancels; any other key beeps.

#include "windows/popup_layout.h"
#include "windows/popup_palette.h"

#include <QAbstractScrollArea>
#include <QFont>

#include <vector>

namespace tomeric {

class TPopUpMenuForm;

class TPopUpMenuBox final : public QAbstractScrollArea {
public:
    TPopUpMenuBox(TPopUpMenuForm& form, std::vector<TPopUpMenuItem> items);

    const std::vector<TPopUpMenuItem>& Items() const { return items_; }
    int Selected() const { return selected_; }
    // Selects `index` (-1: nothing) and scrolls it into view.
    void Select(int index);
    // The item whose row holds `y` of the viewport; -1 for none.
    int ItemAt(int y) const;
    void UpdateScrollRange();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    int ItemTop(int index) const;
    void PaintItem(QPainter& painter, int index, const QRect& row);

    TPopUpMenuForm& form_;
    std::vector<TPopUpMenuItem> items_;
    int selected_ = -1;
};

class TPopUpMenuForm final : public TPopUpPalette {
public:
    TPopUpMenuForm(const TPopUpEnvironment& environment, const QFont& dialogFont, const QString& items);

    // Sizes the list for its items and the work area; x or y -1 centres it
    // in `centring`. Returns where its top-left corner goes.
    QPoint Prepare(int x, int y, const QRect& centring, const QRect& workArea);
    // Once it ended with OK: the number of the item chosen (1 = first), the
    // selected one (Enter reaches the menu through the hook); 0 for none.
    int ChosenNumber() const { return box_->Selected() + 1; }
    // Ends with OK on `index` (-1: nothing).
    void Choose(int index);
    TPopUpMenuBox& MenuBox() { return *box_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void ChooseByAccelerator(int index);

    TPopUpMenuBox* box_;
    bool choosing_ = false; // an accelerator's item shows before it is chosen
};

} // namespace tomeric
