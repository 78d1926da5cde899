#include "app/player_popups.h"

#include "app/work_form.h"
#include "windows/screen_composition.h"

namespace tomeric {

namespace {

QRect PageAreaOnScreen(TWorkForm& form)
{
    if (TPageStack* stack = form.StackOrNull())
        return {stack->mapToGlobal(QPoint(0, 0)), stack->size()};
    return {form.mapToGlobal(QPoint(0, 0)), form.size()};
}

// The page area's origin with the size of the main window's client area.
QRect MenuCentring(TWorkForm& form)
{
    const QWidget* client = form.centralWidget();
    return {PageAreaOnScreen(form).topLeft(), client ? client->size() : form.size()};
}

} // namespace

TPopUpHost MakePopUpHost(TWorkForm& form)
{
    const TFormStart& start = form.Start();
    TPopUpHost host;
    host.mainWindow = [&form] { return &form; };
    host.pageArea = [&form] { return PageAreaOnScreen(form); };
    host.menuCentring = [&form] { return MenuCentring(form); };
    host.dialogFont = [&form] { return form.Dialogs().Look().Font(); };
    host.cursor = [&form] { return form.Cursors().application; };
    host.closeOnMouseMove = [&form] {
        return form.ScreenSaverMode() == ssRun && form.Publication().settings.mouseExit;
    };
    host.picture = [&form](const QString& name) { return form.Pictures().ObjectPicture(name); };
    host.beneath = [](const QRect& rect) { return ComposeScreen(rect); };
    if (start.driven && start.lineSink) {
        host.lineSink = start.lineSink;
        host.queuedAnswer = [&form] { return form.Dialogs().TakeQueuedAnswer(); };
    }
    host.fastEffects = start.fast || start.renderOnly;
    return host;
}

} // namespace tomeric
