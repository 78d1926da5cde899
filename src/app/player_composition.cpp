#include "app/player_composition.h"

#include "app/object_world.h"
#include "app/player_popups.h"
#include "actions/headless_services.h"
#include "app/system_modes.h"
#include "app/work_form.h"
#include "scripting/script_host.h"

#include "objects/shapes.h"

#include <QDesktopServices>
#include <QTimer>
#include <QUrl>

namespace tomeric {

namespace {

// Scripts that other programs send run as DDE macros did.
constexpr uint8_t kExternalSourceKind = 59;

TNotCarriedOut::LineSink DriveSink(const TFormStart& start)
{
    return start.driven ? start.lineSink : TNotCarriedOut::LineSink();
}

// InternetLink: the desktop's handler opens the URL; a driven player only
// says so, as it does for the help file.
TInternetService::LinkOpener LinkOpener(TWorkForm& form, TSimpleDialogs& dialogs)
{
    return [&form, &dialogs](const QString& url) -> std::optional<QString> {
        const TFormStart& start = form.Start();
        if (start.driven && start.lineSink) {
            start.lineSink(EventLine(QStringLiteral("CALL"), QStringLiteral("InternetLink"), {url}));
            return std::nullopt;
        }
        if (QDesktopServices::openUrl(QUrl::fromUserInput(url)))
            return std::nullopt;
        return dialogs.Look().Word(ltInternetError);
    };
}

} // namespace

TPlayerServices::TPlayerServices(TWorkForm& form)
    : pump_(form), publication_(form), notCarriedOut_(DriveSink(form.Start())),
      programs_(services_, [&form](const QString& text) { form.PostActionRequest(text, 0, 0); }, &notCarriedOut_),
      popUps_(MakePopUpHost(form), &programs_), floatingHost_(form, services_),
      floatingWindows_(floatingHost_, &popUps_), windowCommands_(form, &floatingWindows_),
      internet_(services_, LinkOpener(form, dialogs_), &notCarriedOut_),
      transferProgress_(form), printHost_(form), printing_(printHost_, dialogs_, LogNoticeOnce), system_(form),
      menus_([&form](const QString& text, const QString& name, uint8_t kind) { form.RunScript(text, name, kind); }),
      externalControl_([&form](const QString& text) { form.RunScript(text, QStringLiteral("DDE"), kExternalSourceKind); })
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
    InstallScriptFunctions(); // JavaScript function files
    services_.Objects = &menus_;
    services_.Windows = &windowCommands_;
    services_.Programs = &windowCommands_;
    services_.Internet = &internet_;
    internet_.SetView(&transferProgress_);
    services_.Printing = &printing_;
    printing_.Settings().printToFolder = start.printToFolder;
    services_.System = &system_;
    services_.NotCarriedOut = &notCarriedOut_;
    media_ = std::make_unique<TMediaService>(
        TMediaService::THost{[&form]() -> QWidget* { return form.StackOrNull(); }, &pump_, &publication_});
    services_.Media = media_.get();

    // Other programs' windows: the rectangles of the page host them.
    programWindows_ = std::make_unique<TX11ProgramWindows>(TX11ProgramWindows::TPlayerSide{
        [this](const QString& name) -> TTomericRect* {
            const auto found = objectCommands_->FindObject(name);
            return found ? qobject_cast<TTomericRect*>(found->object) : nullptr;
        },
        [&form]() -> QWidget* { return &form; }});
    programs_.SetWindows(programWindows_.get());
    // Other programs drive the publication once it is open.
    QTimer::singleShot(0, &form, [this, container = start.request.containerPath] { externalControl_.Offer(container); });

    browserHost_ = std::make_unique<TPlayerBrowserHost>(&form, floatingWindows_, printing_, dialogs_, DriveSink(start));
    SetBrowserHost(browserHost_.get());

    // The page list runs page scripts through these same services.
    pageList_ = std::make_unique<TQXPageList>(services_);
    services_.Pages = pageList_.get();
}

TPlayerServices::~TPlayerServices()
{
    if (BrowserHost() == browserHost_.get())
        SetBrowserHost(nullptr);
}

} // namespace tomeric
