#pragma once
// TWorkForm: the main window. It holds the page container and dispatches the
// window's events; the rest of the work belongs to named collaborators:
//
//   TPlayerServices     every service scripts reach (the composition root)
//   TWindowSettings     window style, size, position, the saved position
//   TFormTimers         the update and idle timers
//   TFormSystemModes    screen saver, tray icon, kiosk system modes
//   TPublicationChain   RunTomeric: another publication in this window
//
// Its life follows the original's form events, and its phase names where it
// stands:
//   FormCreate      fpLoading: open, read, prepare (a list of named steps)
//                   fpReady: waiting for the window to show
//   first paint     fpStarting: timers, the start page entered with its scripts
//                   fpRunning: the publication runs
//   FormCloseQuery  EXITPASSWORD, SHUTDOWNACTION; may refuse; fpShuttingDown
//   FormClose       fpClosed: timers stopped
//   FormDestroy     fpDestroyed: variables cleared, package closed

#include "actions/page_navigation.h"
#include "actions/services.h"
#include "app/cursors.h"
#include "app/form_system_modes.h"
#include "app/form_timers.h"
#include "app/player_composition.h"
#include "app/player_object_host.h"
#include "app/player_options.h"
#include "app/publication_chain.h"
#include "app/window_settings.h"
#include "extensions/debugger_link.h"
#include "extensions/plugins.h"
#include "pages/page_stack.h"
#include "pages/picture_store.h"
#include "pages/stack_page_view.h"
#include "publication/publication_model.h"

#include <QEvent>
#include <QMainWindow>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>

class QScrollArea;

namespace tomeric {

class TSplashScreenForm;
class TTomericObj;

// How the player runs (from the qxplay5 options).
struct TFormStart {
    TStartRequest request;
    bool fast = false;       // transitions and splash do not wait
    bool driven = false;     // dialogs print lines and take queued answers
    bool renderOnly = false; // no window is shown; pages are drawn to files
    QString printToFolder;   // --print-to: print jobs become PDF files there
    TPresentation presentation = TPresentation::prAsPublished; // --fullscreen, --windowed
    TSimpleDialogs::LineSink lineSink; // where driven dialogs and traces print
};

enum class TCreateOutcome {
    coStarted,  // ready to be shown
    coFailed,   // the package or the publication could not be read
    coRefused,  // the start password was not given
};

// Where a close came from, for [ShutdownSource]; csForced closes without
// asking the publication.
enum class TCloseSource { csWindows, csTomeric, csCloseButton, csForced };

// Where the window stands in the life of its publication.
enum class TFormPhase {
    fpLoading,      // FormCreate reads and prepares the publication
    fpReady,        // created; the first paint waits for the window to show
    fpStarting,     // the first paint enters the start page with its scripts
    fpRunning,      // first paint done: timers and scripts run
    fpShuttingDown, // the close query accepted: no further script runs
    fpClosed,       // FormClose done: timers stopped
    fpDestroyed,    // FormDestroy done: the publication is released
};

class TWorkForm : public QMainWindow, private TChainHost {
    Q_OBJECT
public:
    explicit TWorkForm(TFormStart start);
    ~TWorkForm() override; // FormDestroy

    // ---- start-up ----------------------------------------------------------
    TCreateOutcome FormCreate();
    // The failure box's title and text after coFailed.
    const QString& FailureTitle() const { return failureTitle_; }
    const QString& FailureText() const { return failureText_; }
    // Shows the window; the first paint follows from the event loop.
    void ShowForm();
    TFormPhase Phase() const { return phase_; }
    // The publication runs: started and not shutting down.
    bool Running() const { return phase_ == TFormPhase::fpRunning; }
    // While the publication loads: the splash screen's bar moves on by one.
    void AdvanceSplashProgress();

    // ---- closing -----------------------------------------------------------
    // Asks to close, as the close button, the Exit command or another
    // program would; false when the publication refused.
    bool RequestClose(TCloseSource source);
    // Closes without asking (the end of a driven session that was refused).
    void ForceClose() { RequestClose(TCloseSource::csForced); }
    bool ShuttingDown() const { return phase_ >= TFormPhase::fpShuttingDown; }

    // ---- what the services and the driver use -------------------------------
    const TPublication& Publication() const { return publication_; }
    TQXPageList& PageList() { return services_->Pages(); }
    TPageStack& Stack() { return *stack_; }
    // Null until the publication's pages exist.
    TPageStack* StackOrNull() const { return stack_; }
    Services& AllServices() { return services_->All(); }
    TSimpleDialogs& Dialogs() { return services_->Dialogs(); }
    // The floating windows (ImageWindow, TextWindow, CustomWindow).
    TWindowManager& FloatingWindows() { return services_->FloatingWindows(); }
    // F1: the publication's help file, when it has one.
    void OpenHelp();
    // The main menu and the tray menu (TrayMenu() for the tray icon).
    TPublicationMenu& Menus() { return services_->Menus(); }
    TPictureStore& Pictures() { return pictures_; }
    // The notification-area icon of a tray publication; null otherwise.
    TTrayIcon* Tray() const { return systemModes_.Tray(); }
    TScreenSaverMode ScreenSaverMode() const { return systemModes_.ScreenSaverMode(); }
    const TFormStart& Start() const { return start_; }
    const TCursorSet& Cursors() const { return cursors_; }
    // The publication area as a picture (what a screenshot shows).
    QImage PublicationAreaImage();
    // Every page drawn to folder/NNN-<name>.png; the paths written.
    QStringList RenderPages(const QString& folder, QString* error);

    void RestartIdleTimer() { timers_.RestartIdle(); }
    void DiscardUserInputNow();
    // A variable's texts are redrawn (objects and menu captions show them).
    void RefreshVariables(const QString& bracketedName);
    // Runs a publication-level script on the main thread.
    void RunScript(const QString& text, const QString& sourceName, uint8_t sourceKind);
    // Running object timers pause (true) and resume (false), around modal
    // dialogs.
    void PauseObjectTimers(bool pause);
    // Delivers an object message to every object of every page (master
    // page included), or to the objects of one page and, while it shows
    // them, the master page's.
    void SendToAllObjects(const std::function<void(TTomericObj&)>& deliver);
    void SendToPageObjects(int pageIndex, const std::function<void(TTomericObj&)>& deliver);

    // ---- another publication, another copy, later requests ------------------
    ServiceReply RunTomeric(const QString& file, const QString& options);
    // Runs `text` later on the main thread: kind ':' calls the global
    // subroutine of that name, any other kind runs it as a script.
    void PostActionRequest(const QString& text, uint8_t kind, uint8_t flags);
    // A second copy's command line arrived (single instance).
    void CommandLineChanged(const QString& text);

signals:
    void FirstPaintFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // FormCreate steps, in order.
    void MarkLoadingAndDefaults();
    void StoreCommandLine();
    void CreateMasterPage();
    bool OpenAndReadPublication();
    void ChooseExtractionFolder();
    void LoadCursors();
    void InstallEmbeddedFonts();
    void SetPictureCacheSize();
    void ApplyWindowSettings(int width, int height);
    void ConvertMinimumSize();
    bool LinkDebugger();        // form_extensions.cpp
    void UnlinkDebugger();
    void ClearVariableStore(); // and tells an attached debugger
    bool AskStartPassword();
    void ApplyBypassPrintSwitch();
    void SetStartPage();
    void LoadEmbeddedPlugIns(); // form_extensions.cpp
    void ClearLoadingMark();
    void InstallMessageFilter();

    void FailStartup(const QString& errorText);
    void StorePublicationFacts();
    void BuildPageList();
    void CloseSplash();

    void FirstPaint();
    bool RunIdleReturn();

    // Closing.
    // `keepWindows`: another publication follows without CLOSEWINDOWS, so
    // the floating windows stay open.
    bool FormCloseQuery(TCloseSource source, bool keepWindows = false);
    bool RunShutdownAction(TCloseSource source);
    void FormClose();
    void FormDestroy();
    void ReleasePublication(bool clearVariables);

    // Another publication in this window (TChainHost).
    bool CloseForChain(const TChainOptions& options) override;
    void OpenFromChain(const QString& container) override;
    void RunActionRequest(const QString& text, uint8_t kind, uint8_t flags);

    // Keyboard and mouse.
    bool FormKeyDown(QKeyEvent* event);
    void NavigateByKey(int key);

    // Page objects (form_objects.cpp).
    void CreateObjectsOfAllPages();
    // Page-level objects with ANCHOR= take their place in the publication area.
    void DockPageObjects();
    void InitialiseObjects();
    // OM_INIT for the objects of a page created after start-up.
    void InitialiseLatePage(TTomericBackground& background);
    void SendPageEvent(int message, int pageIndex);
    void RefreshPageVariables();
    bool FocusedMaskUnsatisfied() const;
    void SendVarChangedToObjects(const QString& bracketedName);
    bool SomeObjectHears(const QString& upperName);
    bool DispatchObjectHotKey(const QKeyEvent& event);
    void ReleasePageObjects();

    TFormStart start_;
    TPublication publication_;
    TPictureStore pictures_;
    std::unique_ptr<TPlayerServices> services_; // the composition root
    TWindowSettings window_;
    TFormTimers timers_;
    TFormSystemModes systemModes_;
    TPublicationChain chain_;
    // Set while OM_INIT goes out: the variables written meanwhile.
    std::optional<QSet<QString>> pendingVarChanges_;
    // OM_INIT has gone out: pages created from now on initialise on their own.
    bool pageObjectsInitialised_ = false;
    // The variables announced to the objects since OM_INIT (upper-case,
    // bracketed, in the order first announced), while some page has no widgets yet.
    std::vector<QString> announcedVariables_;
    QSet<QString> announcedVariableSet_;
    // Whether some object hears a variable (upper-case, bracketed), known
    // while the objects' VariableInterestGeneration() is `hearingGeneration_`.
    QHash<QString, bool> heardByName_;
    std::uint64_t hearingGeneration_ = 0;
    TWindowBuiltinHost windowHost_;
    std::unique_ptr<TPageListBuiltinHost> builtinHost_;
    std::unique_ptr<TWindowVariableObserver> observer_;
    std::unique_ptr<TStackPageView> pageView_;
    std::unique_ptr<TPlayerObjectHost> objectHost_;
    TPlugInHost plugInHost_;
    std::unique_ptr<TDebuggerLibrary> debugger_; // preview packages with a debugger folder

    QScrollArea* area_ = nullptr;
    TPageStack* stack_ = nullptr;
    TSplashScreenForm* splash_ = nullptr;

    TFormPhase phase_ = TFormPhase::fpLoading;
    TCloseSource pendingSource_ = TCloseSource::csWindows;
    QString failureTitle_, failureText_;
    QList<int> fontIds_;
    TCursorSet cursors_;
    bool packageOpen_ = false;
    bool discardInput_ = false; // input already queued is dropped once
};

} // namespace tomeric
