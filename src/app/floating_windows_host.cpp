#include "app/floating_windows_host.h"

#include "actions/action_eval.h"
#include "app/work_form.h"
#include "objects/object_tree.h"

#include <tomeric/debugger.h>

#include <QScrollArea>
#include <QScrollBar>

namespace tomeric {

namespace {

constexpr uint8_t kSubroutineCall = ':';

} // namespace

QWidget* TPlayerFloatingHost::ClientArea()
{
    // The client area under the scroll bars: FIXEDPOS windows stay put
    // there while the page scrolls beneath them.
    auto* area = qobject_cast<QScrollArea*>(form_.centralWidget());
    return area ? area->viewport() : form_.centralWidget();
}

TMainWindowGeometry TPlayerFloatingHost::MainGeometry() const
{
    TMainWindowGeometry geometry;
    auto* area = qobject_cast<QScrollArea*>(form_.centralWidget());
    const TPageStack* stack = form_.StackOrNull();
    if (!area || !stack)
        return geometry;
    geometry.pageAreaOnScreen = stack->mapToGlobal(QPoint(0, 0));
    geometry.scroll = QPoint(area->horizontalScrollBar()->value(), area->verticalScrollBar()->value());
    geometry.pageAreaInClient = stack->mapTo(area->viewport(), QPoint(0, 0)) + geometry.scroll;
    geometry.clientSize = area->viewport()->size();
    geometry.pageAreaSize = stack->size();
    const int style = form_.Publication().settings.windowStyle;
    geometry.fullScreenLayout = style == 1 || style == 3;
    return geometry;
}

TPageStack* TPlayerFloatingHost::Stack()
{
    return form_.StackOrNull();
}

int TPlayerFloatingHost::FindPage(const QString& name) const
{
    return form_.StackOrNull() ? form_.PageList().FindPage(name) : -1;
}

int TPlayerFloatingHost::CurrentPage() const
{
    return form_.PageList().PageIndex();
}

bool TPlayerFloatingHost::ShowsMasterPage(int page) const
{
    const TPageStack* stack = form_.StackOrNull();
    return stack && stack->ShowsMasterPage(page);
}

void TPlayerFloatingHost::SendPageMessage(int page, TFloatingPageMessage message)
{
    TPageStack* stack = form_.StackOrNull();
    QWidget* background = stack ? stack->PageBackground(page) : nullptr;
    if (!background)
        return;
    switch (message) {
    case TFloatingPageMessage::fmEntered: SendToObjects(background, [](TTomericObj& o) { o.OnPageShow(); }); break;
    case TFloatingPageMessage::fmShown:
        SendToObjects(background, [](TTomericObj& o) { o.OnPagePaint(true, {}); });
        break;
    case TFloatingPageMessage::fmLeft: SendToObjects(background, [](TTomericObj& o) { o.OnPageHide(); }); break;
    }
}

void TPlayerFloatingHost::CallSubroutineIfAny(const QString& name)
{
    if (form_.ShuttingDown() || !form_.Publication().HasSubroutine(name))
        return;
    // A fresh evaluator runs the subroutine from its label, as GoSub would.
    TActionEval subroutine(form_.AllServices(), form_.Publication().settings.subroutineAction, 0, kSubroutineCall,
                           dtScript, name);
    const int label = subroutine.FindLabel(name);
    if (label > 0)
        subroutine.RunFrom(label);
}

void TPlayerFloatingHost::OpenHelp()
{
    form_.OpenHelp();
}

bool TPlayerFloatingHost::MainStaysOnTop() const
{
    return form_.Publication().settings.windowOrder == 1;
}

std::optional<QString> TPlayerFloatingHost::FindIncludedFile(const QString& name) const
{
    const Services& services = form_.AllServices();
    return services.Publication ? services.Publication->FindIncludedFile(name) : std::nullopt;
}

void TPlayerFloatingHost::TellDebuggerWindowShown(quint64 handle)
{
    if (DebuggerLink* debugger = form_.AllServices().Debugger)
        debugger->Message(QX_DEBUG_FLOATING_WINDOW, int(handle));
}

void TPlayerFloatingHost::Trace(const QString& line)
{
    const TFormStart& start = form_.Start();
    if (start.driven && start.lineSink)
        start.lineSink(line);
}

} // namespace tomeric
