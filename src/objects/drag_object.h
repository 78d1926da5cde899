#pragma once
// TTomericDragObj: objects that can be dragged and dropped (text objects and
// polygons derive from it). DRAGMODE= bits:
//   1 drag anywhere, 2 drop only onto the objects named in DROPTARGET=
//   ("A|B|C"), 4 bring to the front when dropped, 8 hide while dragged.
// A press and a move of 3 pixels start the drag: a picture of the object
// follows the pointer inside the parent. On release the drop is chosen
// (ChooseDrop), DROPACTION= may accept or refuse it through [DropAccept],
// [DropX], [DropY] and [DropTarget], and an accepted drop moves the object.
// A release without a drag runs the click or right-click action. A drag
// that loses its object (the page is left, the object hidden) is abandoned:
// the object stays where it was and the cursor comes back.

#include "objects/tomeric_obj.h"

#include <QPointer>

class QLabel;

namespace tomeric {

enum TDragModeBits : int {
    dmAnywhere = 1, dmOntoTargets = 2, dmToFront = 4, dmHideWhileDragged = 8,
};

// Where a drop lands, before the drop action has its say.
struct TDropChoice {
    bool accepted = false;
    QPoint position;   // the object's new top-left in its parent
    QString target;    // the target's name; empty when there is none
};

class TTomericDragObj : public TTomericObj {
    Q_OBJECT
public:
    TTomericDragObj(QWidget* parent, const TObjectRecord& record, ObjectHost& host);
    ~TTomericDragObj() override;

    int DragMode() const { return dragMode_; }
    const QString& DropAction() const { return dropAction_; }
    const QString& DropTargets() const { return dropTargets_; }
    const QString& ClickAction() const { return clickAction_; }
    const QString& RClickAction() const { return rClickAction_; }
    void SetDragMode(int mode);
    void SetDropAction(const QString& action) { dropAction_ = action; }
    void SetDropTargets(const QString& targets) { dropTargets_ = targets; }
    void SetClickAction(const QString& action);
    void SetRClickAction(const QString& action) { rClickAction_ = action; }
    bool Draggable() const { return dragMode_ & (dmAnywhere | dmOntoTargets); }
    bool Dragging() const { return dragging_; }

    // Slot 1 with a click action, else 3 when draggable, else 2.
    void UpdateCursor();

    // The drop of this object with its top-left at `dropped` (parent
    // coordinates) and the pointer at `pointer` (parent coordinates): onto
    // the named target overlapping most (the first listed on a tie),
    // clamped inside it; otherwise onto whatever lies under the pointer.
    TDropChoice ChooseDrop(QPoint dropped, QPoint pointer) const;
    // Completes a drop: the drop action decides, then the object moves, or
    // stays where it was when refused. Returns whether it was accepted.
    bool FinishDrop(QPoint dropped, QPoint pointer);

    // Leaving the page abandons a drag in progress.
    void OnPageHide() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Hidden while dragged (by a script, or with its page): no release will
    // come, so the drag is abandoned.
    void hideEvent(QHideEvent* event) override;

    // A release without a drag (left: click action, right: right click).
    virtual void Clicked(Qt::MouseButton button);

private:
    void StartDrag();
    void MoveDragImage(QPoint pointerInParent);
    void EndDragImage();
    void CancelDrag();
    QPoint DroppedTopLeft(QPoint pointerInParent) const;
    QRect RectInParent(QWidget* other) const;
    QString ObjectUnder(QPoint pointer) const;
    TDropChoice AskDropAction(TDropChoice choice);

    int dragMode_ = 0;
    QString dropAction_, dropTargets_, clickAction_, rClickAction_;
    Qt::MouseButton pressedButton_ = Qt::NoButton;
    QPoint pressPoint_;  // in the object
    bool dragging_ = false;
    bool hiddenForDrag_ = false;
    QPointer<QLabel> dragImage_;
};

} // namespace tomeric
