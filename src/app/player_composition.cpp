#include "app/player_composition.h"

#include "app/object_world.h"
#include "app/work_form.h"

namespace tomeric {

namespace {

TNotCarriedOut::LineSink DriveSink(const TFormStart& start)
{
    return start.driven ? start.lineSink : TNotCarriedOut::LineSink();
}

} // namespace

TPlayerServices::TPlayerServices(TWorkForm& form)
    : pump_(form), publication_(form), notCarriedOut_(DriveSink(form.Start())),
      windowCommands_(form, &notCarriedOut_),
      menus_([&form](const QString& text, const QString& name, uint8_t kind) { form.RunScript(text, name, kind); })
{
    const TFormStart& start = form.Start();
    dialogs_.SetParent(&form);
    if (start.driven && start.lineSink)
        dialogs_.DriveWith(start.lineSink);
    dialogs_.SetTimerPause([&form](bool pause) { form.PauseObjectTimers(pause); });

    objectCommands_ = std::make_unique<TObjectCommands>(
        MakeObjectWorld([&form] { return form.StackOrNull(); }, [this] { return pageList_.get(); },
                        start.fast || start.renderOnly));
    menus_.SetObjectCommands(objectCommands_.get());
    menus_.SetNext(&notCarriedOut_);

    services_.Dialogs = &dialogs_;
    services_.Pump = &pump_;
    services_.Publication = &publication_;
    services_.Functions = &functions_;
    services_.Objects = &menus_;
    services_.Windows = &windowCommands_;
    services_.Programs = &windowCommands_;
    services_.NotCarriedOut = &notCarriedOut_;
    // Media, Internet, Printing and System stay empty: their commands reach
    // the not-carried-out service.

    // The page list runs page scripts through these same services.
    pageList_ = std::make_unique<TQXPageList>(services_);
    services_.Pages = pageList_.get();
}

TPlayerServices::~TPlayerServices() = default;

} // namespace tomeric
