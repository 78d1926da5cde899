#include "objects/drag_object.h"

#include "actions/action_eval.h"
#include "objects/object_tree.h"
#include "pages/page_widgets.h"
#include "vars/variables.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <type_traits>

namespace tomeric {
namespace {

constexpr int kDragThreshold = 3;

const QString kDropAccept = QStringLiteral("DropAccept");
const QString kDropX = QStringLiteral("DropX");
const QString kDropY = QStringLiteral("DropY");
const QString kDropTarget = QStringLiteral("DropTarget");

// The widget whose objects count as "the page" for a drop: the nearest page
// background up the parent chain, else the top of the chain.
QWidget* PageRoot(const QWidget* widget)
{
    QWidget* root = widget->parentWidget();
    while (root && !qobject_cast<TTomericBackground*>(root) && root->parentWidget())
        root = root->parentWidget();
    return root;
}

// Whether a point at `offset` from a widget's top-left is on it: inside its
// rectangle, and for a shaped object (a polygon) inside its shape, as the
// pointer's hit test has it.
bool OnShape(const QWidget& widget, QPoint offset)
{
    if (!widget.rect().contains(offset)) return false;
    const QRegion shape = widget.mask();
    return shape.isEmpty() || shape.contains(offset);
}

int Clamp(int value, int low, int high)
{
    return high < low ? low : std::clamp(value, low, high);
}

} // namespace

TTomericDragObj::TTomericDragObj(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericObj(parent, record, host)
{
    std::visit(
        [this](const auto& props) {
            using P = std::decay_t<decltype(props)>;
            if constexpr (std::is_base_of_v<TDragProps, P>) {
                dragMode_ = props.dragMode;
                dropAction_ = props.dropAction;
                dropTargets_ = props.dropTargets;
            }
            if constexpr (requires { props.clickAction; }) clickAction_ = props.clickAction;
            if constexpr (requires { props.rClickAction; }) rClickAction_ = props.rClickAction;
        },
        record.props);
    UpdateCursor();
}

TTomericDragObj::~TTomericDragObj()
{
    if (dragging_) QGuiApplication::restoreOverrideCursor();
    delete dragImage_;
}

void TTomericDragObj::SetDragMode(int mode)
{
    dragMode_ = mode;
    UpdateCursor();
}

void TTomericDragObj::SetClickAction(const QString& action)
{
    clickAction_ = action;
    UpdateCursor();
}

void TTomericDragObj::UpdateCursor()
{
    if (!clickAction_.isEmpty()) UseCursorSlot(csHotSpot);
    else UseCursorSlot(Draggable() ? csDrag : csApplication);
}

// ---- mouse ----------------------------------------------------------------------

void TTomericDragObj::mousePressEvent(QMouseEvent* event)
{
    pressedButton_ = event->button();
    pressPoint_ = event->position().toPoint();
    event->accept();
}

void TTomericDragObj::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (pressedButton_ != Qt::LeftButton || !Draggable() || !parentWidget()) return;
    if (!dragging_) {
        const QPoint moved = at - pressPoint_;
        if (std::abs(moved.x()) < kDragThreshold && std::abs(moved.y()) < kDragThreshold) return;
        StartDrag();
    }
    MoveDragImage(mapToParent(at));
}

void TTomericDragObj::mouseReleaseEvent(QMouseEvent* event)
{
    const Qt::MouseButton button = pressedButton_;
    pressedButton_ = Qt::NoButton;
    if (dragging_) {
        const QPoint pointer = mapToParent(event->position().toPoint());
        EndDragImage();
        FinishDrop(DroppedTopLeft(pointer), pointer);
        return;
    }
    if (rect().contains(event->position().toPoint()) && button == event->button()) Clicked(button);
}

void TTomericDragObj::hideEvent(QHideEvent* event)
{
    TTomericObj::hideEvent(event);
    // The object's own hiding for DRAGMODE 8 is part of the drag.
    if (!hiddenForDrag_) CancelDrag();
}

void TTomericDragObj::OnPageHide() { CancelDrag(); }

void TTomericDragObj::Clicked(Qt::MouseButton button)
{
    if (button == Qt::LeftButton) RunObjectAction(clickAction_, ekClick, 0);
    else if (button == Qt::RightButton) RunObjectAction(rClickAction_, ekRightClick, 0);
}

// ---- the drag image -------------------------------------------------------------

void TTomericDragObj::StartDrag()
{
    // The object painted on white, white taken as transparent.
    QImage snapshot(size(), QImage::Format_ARGB32);
    snapshot.fill(Qt::white);
    {
        QPainter painter(&snapshot);
        PaintTo(painter, QPoint());
    }
    if (snapshot.isNull()) return; // no image, no drag
    QPixmap pixmap = QPixmap::fromImage(snapshot);
    pixmap.setMask(pixmap.createMaskFromColor(Qt::white));
    dragImage_ = new QLabel(parentWidget());
    dragImage_->setAttribute(Qt::WA_TransparentForMouseEvents);
    dragImage_->setPixmap(pixmap);
    dragImage_->setGeometry(geometry());
    dragImage_->show();
    dragImage_->raise();
    dragging_ = true;
    QGuiApplication::setOverrideCursor(Host().Cursor(csDrag));
    if (dragMode_ & dmHideWhileDragged) {
        hiddenForDrag_ = true;
        hide();
    }
}

QPoint TTomericDragObj::DroppedTopLeft(QPoint pointerInParent) const
{
    // The picture stays inside the parent.
    const QPoint wanted = pointerInParent - pressPoint_;
    const QSize room = parentWidget() ? parentWidget()->size() : size();
    return {Clamp(wanted.x(), 0, room.width() - width()), Clamp(wanted.y(), 0, room.height() - height())};
}

void TTomericDragObj::MoveDragImage(QPoint pointerInParent)
{
    if (dragImage_) dragImage_->move(DroppedTopLeft(pointerInParent));
}

void TTomericDragObj::EndDragImage()
{
    dragging_ = false;
    QGuiApplication::restoreOverrideCursor();
    if (!dragImage_) return;
    // Deleted later: a drag abandoned because the page hides ends while Qt
    // walks the page's children, the image among them.
    dragImage_->hide();
    dragImage_->deleteLater();
    dragImage_ = nullptr;
}

void TTomericDragObj::CancelDrag()
{
    pressedButton_ = Qt::NoButton;
    if (!dragging_) return;
    EndDragImage();
    if (hiddenForDrag_) {
        hiddenForDrag_ = false;
        if (VisibleState()) show();
    }
}

// ---- the drop ----------------------------------------------------------------------

QRect TTomericDragObj::RectInParent(QWidget* other) const
{
    QWidget* parent = parentWidget();
    QWidget* top = window();
    if (!parent || other->window() != top) return {};
    const QPoint topLeft = parent->mapFrom(top, other->mapTo(top, QPoint(0, 0)));
    return {topLeft, other->size()};
}

QString TTomericDragObj::ObjectUnder(QPoint pointer) const
{
    QWidget* parent = parentWidget();
    if (!parent) return {};
    // The topmost object under the pointer other than this one; beside a
    // polygon's shape the pointer is over what lies beneath the polygon.
    QString name;
    QWidget* root = PageRoot(this);
    ForEachObject(root, [&](TTomericObj& object) {
        if (&object == this || !object.isVisibleTo(root) || object.isAncestorOf(this)) return true;
        const QRect area = RectInParent(&object);
        if (!area.isNull() && OnShape(object, pointer - area.topLeft())) name = object.Name();
        return true;
    });
    return name;
}

TDropChoice TTomericDragObj::ChooseDrop(QPoint dropped, QPoint pointer) const
{
    TDropChoice choice;
    choice.position = dropped;
    const QRect droppedRect(dropped, size());
    if ((dragMode_ & dmOntoTargets) && !dropTargets_.isEmpty()) {
        QWidget* root = PageRoot(this);
        qint64 bestArea = 0;
        QRect bestRect;
        for (const QString& name : dropTargets_.split(u'|', Qt::SkipEmptyParts)) {
            TTomericObj* target = FindObjectByName(root, name.trimmed());
            if (!target || target == this) continue; // a name that names nothing is skipped
            const QRect area = RectInParent(target);
            const QRect overlap = area.intersected(droppedRect);
            const qint64 overlapArea = qint64(overlap.width()) * overlap.height();
            if (overlap.isEmpty() || overlapArea <= bestArea) continue; // ties keep the first
            bestArea = overlapArea;
            bestRect = area;
            choice.target = target->Name();
        }
        if (choice.target.isEmpty()) return choice;
        choice.accepted = true;
        choice.position = {Clamp(dropped.x(), bestRect.left(), bestRect.left() + bestRect.width() - width()),
                           Clamp(dropped.y(), bestRect.top(), bestRect.top() + bestRect.height() - height())};
        return choice;
    }
    choice.target = ObjectUnder(pointer);
    choice.accepted = true;
    return choice;
}

TDropChoice TTomericDragObj::AskDropAction(TDropChoice choice)
{
    if (dropAction_.isEmpty()) return choice;
    SetVariable(kDropAccept, choice.accepted ? QStringLiteral("True") : QStringLiteral("False"));
    SetVariable(kDropX, QString::number(choice.position.x()));
    SetVariable(kDropY, QString::number(choice.position.y()));
    if (!choice.target.isEmpty()) SetVariable(kDropTarget, choice.target);
    Host().RunObjectScript(dropAction_, ekDropped, afNoPageChange, ObjType(), Name());
    choice.accepted = GetVariable(kDropAccept).compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0;
    bool ok = false;
    const int x = GetVariable(kDropX).trimmed().toInt(&ok);
    if (ok) choice.position.setX(x);
    const int y = GetVariable(kDropY).trimmed().toInt(&ok);
    if (ok) choice.position.setY(y);
    for (const QString& name : {kDropAccept, kDropX, kDropY, kDropTarget}) SetVariable(name, QString());
    return choice;
}

bool TTomericDragObj::FinishDrop(QPoint dropped, QPoint pointer)
{
    const QPointer<TTomericDragObj> self(this);
    const TDropChoice choice = AskDropAction(ChooseDrop(dropped, pointer));
    if (!self) return false; // the drop action deleted the object
    if (hiddenForDrag_) {
        hiddenForDrag_ = false;
        if (VisibleState()) show();
    }
    if (!choice.accepted) return false; // the object never left its place
    if (dragMode_ & dmToFront) raise();
    move(choice.position);
    return true;
}

} // namespace tomeric
