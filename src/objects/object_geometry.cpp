// Object commands about place, visibility, stacking and focus: ShowObject,
// HideObject, EnableObject, DisableObject, MoveObject, SizeObject,
// MoveObjectAlongPath, StopMovingObject, ObjectToFront, ObjectToBack,
// FocusObject, RefreshObject, GetObjectHandle.

#include "objects/object_command_handlers.h"
#include "actions/action_eval.h"
#include "pages/page_widgets.h"

namespace tomeric {

void ShowObjectCommand(TObjectCommandRun& run)
{
    run.commands.ShowHide(run.found, true, run.Param(2), run.Param(3));
}

void HideObjectCommand(TObjectCommandRun& run)
{
    run.commands.ShowHide(run.found, false, run.Param(2), run.Param(3));
}

void EnableObjectCommand(TObjectCommandRun& run)
{
    run.Object().SetEnabledState(true);
    run.Object().update();
}

void DisableObjectCommand(TObjectCommandRun& run)
{
    run.Object().SetEnabledState(false);
    run.Object().update();
}

void MoveObjectCommand(TObjectCommandRun& run)
{
    const TTomericObj& object = run.Object();
    run.commands.MoveObject(run.found, run.IntParam(2, object.x()), run.IntParam(3, object.y()));
}

void SizeObjectCommand(TObjectCommandRun& run)
{
    const TTomericObj& object = run.Object();
    run.commands.SizeObject(run.found, run.IntParam(2, object.width()), run.IntParam(3, object.height()));
}

void MoveObjectAlongPathCommand(TObjectCommandRun& run)
{
    TTomericObj& object = run.Object();
    TMoverList& movers = run.commands.Movers();
    if (movers.IsMoving(&object))
        return;
    TMoverRequest request;
    request.path = ParseMoverPoints(run.Param(2));
    request.delayMs = ParseMoverDelay(run.Param(3));
    ParseMoverOptions(run.Param(4), request);
    request.doneAction = run.Param(5);
    TObjectCommands* commands = &run.commands;
    auto move = [commands](QWidget& widget, QPoint topLeft) {
        if (auto* moved = qobject_cast<TTomericObj*>(&widget))
            commands->PlaceObject(*moved, topLeft);
    };
    auto done = [](QWidget* widget, const QString& action) {
        if (auto* moved = qobject_cast<TTomericObj*>(widget))
            moved->RunObjectAction(action, skGoSub, 0);
    };
    const TMoverMode mode = request.mode;
    auto mover = movers.Start(object, std::move(request), move, done);
    if (mover && mode == TMoverMode::mmWait)
        TMoverList::WaitFor(mover);
}

void StopMovingObjectCommand(TObjectCommandRun& run)
{
    const QString name = run.Param(1);
    if (name.isEmpty())
        run.commands.Movers().StopAll();
    else
        run.commands.Movers().Stop(name);
}

void ObjectToFrontCommand(TObjectCommandRun& run)
{
    // raise() also puts the object last among its parent's children.
    run.Object().raise();
}

void ObjectToBackCommand(TObjectCommandRun& run)
{
    TTomericObj& object = run.Object();
    object.lower();
    // The master page's layer lies inside the page it is shown on: send it
    // further back so that the object stays above it.
    if (QWidget* parent = object.parentWidget())
        for (QObject* child : parent->children())
            if (auto* master = qobject_cast<TTomericBackground*>(child))
                master->lower();
}

void FocusObjectCommand(TObjectCommandRun& run)
{
    TTomericObj& object = run.Object();
    if (!object.VisibleState())
        return;
    QWidget* target = object.FocusTarget();
    if (!target)
        return;
    if (QWidget* window = object.window())
        window->activateWindow();
    target->setFocus(Qt::OtherFocusReason);
}

void RefreshObjectCommand(TObjectCommandRun& run)
{
    run.Object().RefreshObject();
}

void GetObjectHandleCommand(TObjectCommandRun& run)
{
    // Only a control that already has a native window has a handle; asking
    // for one never makes a widget native.
    TTomericObj& object = run.Object();
    QWidget* inner = object.FocusTarget();
    QWidget* control = inner ? inner : &object;
    WId handle = control->internalWinId();
    if (!handle && control != &object)
        handle = object.internalWinId();
    run.Result(2, QString::number(quint64(handle)));
}

} // namespace tomeric
