#pragma once
// TWorkForm: the main window. It opens the package, reads the publication,
// applies the window settings, shows the pages through the page list, owns
// the update and idle timers, and runs the publication-level scripts
// (start-up through the page list, idle return, shutdown).
//
// Its life follows the original's form events:
//   FormCreate      open, read, prepare (a list of named steps)
//   first paint     timers, the start page entered with its scripts
//   FormCloseQuery  EXITPASSWORD, SHUTDOWNACTION; may refuse
//   FormClose       timers stopped
//   FormDestroy     variables cleared, package closed (extracted files deleted)

#include "actions/page_navigation.h"
#include "actions/services.h"
#include "app/cursors.h"
#include "app/main_menu.h"
#include "app/player_commands.h"
#include "app/player_object_host.h"
#include "app/player_options.h"
#include "app/player_services.h"
#include "objects/object_commands.h"
#include "app/system_modes.h"
#include "app/tray_icon.h"
#include "pages/page_stack.h"
#include "pages/picture_store.h"
#include "pages/stack_page_view.h"
#include "publication/publication_model.h"
#include "windows/simple_dialogs.h"

#include <QEvent>
#include <QMainWindow>
#include <QTime>
#include <QSet>
#include <QTimer>

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
    TSimpleDialogs::LineSink lineSink; // where driven dialogs and traces print
};

enum class TCreateOutcome {
    coStarted,  // ready to be shown
    coFailed,   // the package or the publication could not be read
    coRefused,  // the start password was not given
};

// Where a close came from, for [ShutdownSource].
enum class TCloseSource { csWindows, csTomeric, csCloseButton };

// How RunTomeric runs the next publication (from its option text and the
// current WINDOWSTYLE).
struct TChainOptions {
    bool fullScreen = false;     // WINDOWSTYLE 1 or 3: the pages are not hidden first
    bool clearVariables = false; // "CLEARVARS"
    bool closeWindows = false;   // "CLOSEWINDOWS"
};
TChainOptions ParseChainOptions(const QString& options, int windowStyle);

class TWorkForm : public QMainWindow {
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
    bool FirstPaintDone() const { return firstPaintDone_; }
    // While the publication loads: the splash screen's bar moves on by one.
    void AdvanceSplashProgress();

    // ---- closing -----------------------------------------------------------
    // Asks to close, as the close button, the Exit command or another
    // program would; false when the publication refused.
    bool RequestClose(TCloseSource source);
    // Closes without asking (the end of a driven session that was refused).
    void ForceClose();
    bool ShuttingDown() const { return shuttingDown_; }

    // ---- what the services and the driver use -------------------------------
    const TPublication& Publication() const { return publication_; }
    TQXPageList& PageList() { return *pageList_; }
    TPageStack& Stack() { return *stack_; }
    Services& AllServices() { return services_; }
    TSimpleDialogs& Dialogs() { return dialogs_; }
    // The main menu and the tray menu (TrayMenu() for the tray icon).
    TPublicationMenu& Menus() { return menus_; }
    TPictureStore& Pictures() { return pictures_; }
    // The notification-area icon of a tray publication; null otherwise.
    TTrayIcon* Tray() const { return tray_.get(); }
    TScreenSaverMode ScreenSaverMode() const { return start_.request.screenSaver.mode; }
    const TFormStart& Start() const { return start_; }
    const TCursorSet& Cursors() const { return cursors_; }
    // The publication area as a picture (what a screenshot shows).
    QImage PublicationAreaImage();
    // Every page drawn to folder/NNN-<name>.png; the paths written.
    QStringList RenderPages(const QString& folder, QString* error);

    void RestartIdleTimer();
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
    // RunTomeric file, options: "Fichier introuvable !" in [LastError] when
    // the file cannot be found; otherwise the switch follows on the event loop.
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
    void ConvertMinimumSize();
    bool AskStartPassword();
    void ApplyBypassPrintSwitch();
    void SetStartPage();
    void ClearLoadingMark();
    void InstallMessageFilter();

    void FailStartup(const QString& errorText);
    void StorePublicationFacts();
    void BuildPageList();
    void CloseSplash();

    // Window settings.
    void ApplyWindowSettings(int width, int height);
    void ApplyFullScreenStyle();
    void ApplyWindowedStyle(int width, int height);
    void ApplyWindowStyleBits();
    QSize ApplyWindowShape(QSize client);
    void PlaceWindow();
    void SetAreaColour(const QColor& colour);
    void SaveWindowPosition();
    void RestoreWindowPosition();

    // First paint and timers.
    void FirstPaint();
    void StartTimers();
    void UpdateTimerTick();
    void IdleTimerFired();

    // Closing.
    bool FormCloseQuery(TCloseSource source);
    bool RunShutdownAction(TCloseSource source);
    void FormClose();
    void FormDestroy();
    void ReleasePublication(bool clearVariables);

    // Running another publication in this window.
    void ChainWhenIdle(const QString& container, TChainOptions options);
    void ChainTo(const QString& container, TChainOptions options);
    void ResetRunFlags();
    void RunActionRequest(const QString& text, uint8_t kind, uint8_t flags);

    // Screen-saver modes, the tray icon and the system modes
    // (form_system_modes.cpp).
    void ApplyScreenSaverMode();
    void CreateTrayIcon();
    bool StaysInTrayAtStart() const;
    void EnterSystemModes();
    void LeaveSystemModes();
    void HideIntoTrayWhenMinimized();

    // Keyboard and mouse.
    bool FormKeyDown(QKeyEvent* event);
    void NavigateByKey(int key);
    void OpenHelp();
    void DragWindow(QEvent::Type type, QPoint globalPosition);

    // Page objects (form_objects.cpp).
    void CreateObjectsOfAllPages();
    // Page-level objects with ANCHOR= take their place in the publication area.
    void DockPageObjects();
    void InitialiseObjects();
    void SendPageEvent(int message, int pageIndex);
    void RefreshPageVariables();
    bool FocusedMaskUnsatisfied() const;
    void SendVarChangedToObjects(const QString& bracketedName);
    bool DispatchObjectHotKey(const QKeyEvent& event);
    void ReleasePageObjects();

    TFormStart start_;
    TPublication publication_;
    TPictureStore pictures_;
    TSimpleDialogs dialogs_;
    TPlayerPump pump_;
    TPlayerPublication access_;
    Services services_;
    std::unique_ptr<TPlayerCommands> commands_;
    TPublicationMenu menus_; // also the object service: menu-item commands
    // Set while OM_INIT goes out: the variables written meanwhile.
    std::optional<QSet<QString>> pendingVarChanges_;
    std::unique_ptr<TObjectCommands> objectCommands_; // page-object commands, movers
    std::unique_ptr<TQXPageList> pageList_;
    TWindowBuiltinHost windowHost_;
    std::unique_ptr<TPageListBuiltinHost> builtinHost_;
    std::unique_ptr<TWindowVariableObserver> observer_;
    std::unique_ptr<TStackPageView> pageView_;
    std::unique_ptr<TPlayerObjectHost> objectHost_;

    QScrollArea* area_ = nullptr;
    TPageStack* stack_ = nullptr;
    TSplashScreenForm* splash_ = nullptr;
    std::unique_ptr<TTrayIcon> tray_;
    std::unique_ptr<TMouseExitFilter> mouseExit_;
    QTimer updateTimer_;
    QTimer idleTimer_;
    QTime lastTick_;

    QString failureTitle_, failureText_;
    QList<int> fontIds_;
    TCursorSet cursors_;
    bool packageOpen_ = false;
    bool loading_ = false;
    bool firstPaintPending_ = false;
    bool firstPaintDone_ = false;
    bool shuttingDown_ = false;
    bool closing_ = false;
    bool forceClose_ = false;
    bool discardInput_ = false;
    bool destroyed_ = false;
    bool chaining_ = false;
    TChainOptions chain_;
    TCloseSource pendingSource_ = TCloseSource::csWindows;
    QPoint dragOffset_;
    bool dragging_ = false;
};

} // namespace tomeric
