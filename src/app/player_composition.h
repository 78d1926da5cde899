#pragma once
// The player's composition root: every service a script reaches in the
// player window is built and wired here, and nowhere else. Reading the
// constructor tells which part of the player carries out which commands:
//
//   dialogs         TSimpleDialogs (message, input, file and folder boxes)
//   pages           TQXPageList (navigation, slide show)
//   objects         TPublicationMenu (menu items) -> TObjectCommands (page objects)
//   windows         TPlayerCommands (Exit, Find, help, closing the Find window),
//                   then TWindowManager (picture, text and custom windows),
//                   then TPopUpCommands (Balloon, StickyNote, PopUpImage, Menu, MenuEx)
//   programs        TPlayerCommands (RunTomeric) -> ... -> TProgramService (Run,
//                   DOSCommand, ExecuteAddOn, IsAppRunning, CloseApp) with
//                   TX11ProgramWindows (other programs' windows, RunInRectangle)
//   external control  TExternalControl (D-Bus: action lines, variables)
//   functions       TUserFunctions (Call)
//   internet, mail  TInternetService with TTransferProgress
//   printing        TPrintingService on TFormPrintHost (printers, --print-to, PDF)
//   web browsers    TPlayerBrowserHost (browser windows, find dialog, BrowserPrint,
//                   file inputs)
//   system          TPlayerSystem (mouse, SystemInfo, LoadIcon)
//   media           TMediaService (sound, video, cartoons, MCI, tones, volume)
//   other programs: TNotCarriedOut until the player carries them out
//
// The headless runner's counterpart is ScriptSession with HeadlessServices.

#include "actions/page_navigation.h"
#include "actions/services.h"
#include "app/floating_windows_host.h"
#include "app/main_menu.h"
#include "app/not_carried_out.h"
#include "app/player_browser_host.h"
#include "app/player_commands.h"
#include "app/player_printing.h"
#include "app/player_system.h"
#include "app/player_services.h"
#include "app/transfer_progress.h"
#include "extensions/function_loader.h"
#include "media/media_service.h"
#include "objects/object_commands.h"
#include "app/external_control.h"
#include "app/x11_program_windows.h"
#include "services/internet_service.h"
#include "windows/popup_commands.h"
#include "services/program_service.h"
#include "windows/simple_dialogs.h"
#include "windows/window_manager.h"

#include <memory>

namespace tomeric {

class TWorkForm;

class TPlayerServices {
public:
    explicit TPlayerServices(TWorkForm& form);
    ~TPlayerServices();
    TPlayerServices(const TPlayerServices&) = delete;
    TPlayerServices& operator=(const TPlayerServices&) = delete;

    Services& All() { return services_; }
    TSimpleDialogs& Dialogs() { return dialogs_; }
    TPublicationMenu& Menus() { return menus_; }
    TQXPageList& Pages() { return *pageList_; }
    TObjectCommands& ObjectCommands() { return *objectCommands_; }
    MessagePump& Pump() { return pump_; }
    TWindowManager& FloatingWindows() { return floatingWindows_; }
    TMediaService& Media() { return *media_; }
    TProgramService& Programs() { return programs_; }

private:
    TSimpleDialogs dialogs_;
    TPlayerPump pump_;
    TPlayerPublication publication_;
    TUserFunctions functions_;
    TNotCarriedOut notCarriedOut_;
    TProgramService programs_;
    TPopUpCommands popUps_;
    TPlayerFloatingHost floatingHost_;
    TWindowManager floatingWindows_;
    TPlayerCommands windowCommands_;
    TInternetService internet_;
    TTransferProgress transferProgress_;
    TFormPrintHost printHost_;
    TPrintingService printing_;
    TPlayerSystem system_;
    TPublicationMenu menus_;
    std::unique_ptr<TObjectCommands> objectCommands_;
    std::unique_ptr<TMediaService> media_;
    Services services_;
    std::unique_ptr<TQXPageList> pageList_;
    std::unique_ptr<TX11ProgramWindows> programWindows_;
    std::unique_ptr<TPlayerBrowserHost> browserHost_;
    TExternalControl externalControl_;
};

} // namespace tomeric
