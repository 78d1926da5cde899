#include "windows/popup_commands.h"

#include "actions/action_eval.h"
#include "actions/popup_lines.h"
#include "objects/object_command_handlers.h"
#include "windows/popup_image.h"
#include "windows/popup_menu.h"
#include "windows/popup_notes.h"

#include <QGuiApplication>
#include <QScreen>

#include <memory>

namespace tomeric {

namespace {

bool Is(const QString& command, const char* name)
{
    return command.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

int Number(const ServiceCall& call, int index, int fallback)
{
    if (index >= call.Params.size())
        return fallback;
    return ParseCommandNumber(call.Params[index]).value_or(fallback);
}

QScreen* ScreenAt(const QPoint& point)
{
    QScreen* screen = QGuiApplication::screenAt(point);
    return screen ? screen : QGuiApplication::primaryScreen();
}

QRect ScreenRect(const QPoint& point)
{
    QScreen* screen = ScreenAt(point);
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

QRect WorkArea(const QPoint& point)
{
    QScreen* screen = ScreenAt(point);
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

} // namespace

TPopUpEnvironment TPopUpCommands::Environment() const
{
    TPopUpEnvironment environment;
    environment.owner = host_.mainWindow ? host_.mainWindow() : nullptr;
    if (host_.cursor)
        environment.cursor = host_.cursor();
    environment.closeOnMouseMove = host_.closeOnMouseMove && host_.closeOnMouseMove();
    return environment;
}

ServiceReply TPopUpCommands::Perform(const ServiceCall& call)
{
    if (!IsPopUpCommand(call.Command))
        return next_ ? next_->Perform(call) : ServiceReply{};
    if (host_.lineSink)
        host_.lineSink(*PopUpLine(call));
    if (Is(call.Command, "Balloon"))
        return Balloon(call);
    if (Is(call.Command, "StickyNote"))
        return StickyNote(call);
    if (Is(call.Command, "PopUpImage"))
        return PopUpImage(call);
    // Menu answers in slot 0 (the evaluator runs the chosen line); MenuEx
    // stores the number in its variable.
    ServiceReply reply;
    const int chosen = Menu(call);
    reply.Results[Is(call.Command, "MenuEx") ? 4 : 0] = QString::number(chosen);
    return reply;
}

ServiceReply TPopUpCommands::Balloon(const ServiceCall& call)
{
    // A second balloon closes the open one and shows nothing.
    if (TPopUpPalette* open = TPopUpPalette::Open(TPopUpKind::pkBalloon)) {
        open->EndPopUp(TPopUpResult::prCancel);
        return {};
    }
    const int x = Number(call, 1, -1);
    const int y = Number(call, 2, -1);
    const QPoint target = x == -1 || y == -1 ? TPopUpPalette::PointerPosition()
                                             : host_.pageArea().topLeft() + QPoint(x, y);
    const auto form = std::make_unique<TPopUpBalloonForm>(Environment(), host_.dialogFont());
    const QPoint topLeft = form->Prepare(call.Params.value(0), target, ScreenRect(target));
    form->ShowPopUp(topLeft, Number(call, 3, 0));
    return {};
}

ServiceReply TPopUpCommands::StickyNote(const ServiceCall& call)
{
    if (TPopUpPalette* open = TPopUpPalette::Open(TPopUpKind::pkStickyNote)) {
        open->EndPopUp(TPopUpResult::prCancel);
        return {};
    }
    const QRect page = host_.pageArea();
    const auto form = std::make_unique<TPopUpStickyNoteForm>(Environment(), host_.dialogFont());
    const QPoint topLeft =
        form->Prepare(call.Params.value(2), Number(call, 0, -1), Number(call, 1, -1), page, ScreenRect(page.center()));
    form->ShowPopUp(topLeft, Number(call, 3, 0));
    return {};
}

ServiceReply TPopUpCommands::PopUpImage(const ServiceCall& call)
{
    // One picture at a time: a second one returns at once.
    if (TPopUpPalette::Open(TPopUpKind::pkImage))
        return {};
    const QString file = call.Params.value(2);
    const QString transition = call.Params.value(4).trimmed();
    QImage picture = host_.picture ? host_.picture(file) : QImage();
    if (picture.isNull()) {
        ServiceReply reply;
        reply.ActionError = aeNoSuchFile;
        reply.ErrorText = file;
        return reply;
    }
    if (Is(transition, "Transparent"))
        picture = WithTransparentColour(picture);
    const QRect wanted = PlacePicture(picture.size(), Number(call, 0, -1), Number(call, 1, -1), host_.pageArea());
    const auto form = std::make_unique<TPopUpImageForm>(Environment());
    form->SetPicture(picture);
    if (!transition.isEmpty() && host_.beneath) {
        const QRect shown(TPopUpPalette::FittedPosition(wanted), wanted.size());
        form->SetTransition(transition, call.Params.value(5), host_.beneath(shown), host_.fastEffects);
    }
    form->ShowPopUp(wanted.topLeft(), Number(call, 3, 0));
    return {};
}

int TPopUpCommands::Menu(const ServiceCall& call)
{
    const QString items = call.Params.value(2);
    if (items.isEmpty())
        return 0;
    if (TPopUpPalette* open = TPopUpPalette::Open(TPopUpKind::pkMenu)) {
        open->EndPopUp(TPopUpResult::prCancel);
        return 0;
    }
    // A driver's queued answer chooses at once.
    if (host_.queuedAnswer)
        if (const auto answer = host_.queuedAnswer())
            return ParseCommandNumber(answer->trimmed()).value_or(0);
    const QRect centring = host_.menuCentring();
    const auto form = std::make_unique<TPopUpMenuForm>(Environment(), host_.dialogFont(), items);
    const QPoint topLeft = form->Prepare(Number(call, 0, -1), Number(call, 1, -1), centring, WorkArea(centring.topLeft()));
    const TPopUpResult result = form->ShowPopUp(topLeft, 0);
    return result == TPopUpResult::prOk ? form->ChosenNumber() : 0;
}

} // namespace tomeric
