#include "app/work_form.h"

#include "actions/action_eval.h"
#include "actions/headless_services.h"
#include "app/object_world.h"
#include "package/package.h"
#include "vars/variables.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTimer>

namespace tomeric {

namespace {

constexpr int kUpdateIntervalMs = 1000;
constexpr int kFirstPaintPauseMs = 150;

} // namespace

TWorkForm::TWorkForm(TFormStart start)
    : start_(std::move(start)), pump_(*this), access_(*this),
      menus_([this](const QString& text, const QString& name, uint8_t kind) { RunScript(text, name, kind); }),
      windowHost_(*this)
{
    dialogs_.SetParent(this);
    if (start_.driven && start_.lineSink)
        dialogs_.DriveWith(start_.lineSink);
    services_.Dialogs = &dialogs_;
    dialogs_.SetTimerPause([this](bool pause) { PauseObjectTimers(pause); });
    services_.Pump = &pump_;
    services_.Publication = &access_;
    commands_ = std::make_unique<TPlayerCommands>(
        *this, start_.driven ? start_.lineSink : TPlayerCommands::LineSink());
    for (CommandService** service : {&services_.Objects, &services_.Media, &services_.Windows,
                                     &services_.Programs, &services_.Internet, &services_.Printing,
                                     &services_.System, &services_.Pending})
        *service = commands_.get();
    menus_.SetNext(commands_.get());
    objectCommands_ = std::make_unique<TObjectCommands>(MakeObjectWorld(
        [this] { return stack_; }, [this] { return pageList_.get(); }, start_.fast || start_.renderOnly));
    menus_.SetObjectCommands(objectCommands_.get());
    services_.Objects = &menus_;
    pageList_ = std::make_unique<TQXPageList>(services_);
    services_.Pages = pageList_.get();
    updateTimer_.setInterval(kUpdateIntervalMs);
    connect(&updateTimer_, &QTimer::timeout, this, [this] { UpdateTimerTick(); });
    connect(&idleTimer_, &QTimer::timeout, this, [this] { IdleTimerFired(); });
}

TWorkForm::~TWorkForm()
{
    FormDestroy();
}

void TWorkForm::ShowForm()
{
    CloseSplash();
    menus_.Install(*this, publication_);
    if (tray_)
        tray_->SetMenu(menus_.TrayMenu());
    firstPaintPending_ = true;
    // A tray publication without a start-up script waits for its icon.
    if (!StaysInTrayAtStart())
        show();
}

void TWorkForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The first paint starts the publication once the window is up; scripts
    // never run inside a paint handler.
    if (firstPaintPending_) {
        firstPaintPending_ = false;
        QTimer::singleShot(0, this, [this] { FirstPaint(); });
    }
}

void TWorkForm::FirstPaint()
{
    if (!start_.fast && !chaining_) {
        QCoreApplication::processEvents();
        pump_.WaitForMessages(kFirstPaintPauseMs, false);
    }
    area_->show();
    loading_ = false;
    StartTimers();
    pageList_->Start();
    EnterSystemModes();
    firstPaintDone_ = true;
    emit FirstPaintFinished();
}

void TWorkForm::StartTimers()
{
    const TPublicationSettings& s = publication_.settings;
    lastTick_ = QTime::currentTime();
    if (s.useUpdateTimer)
        updateTimer_.start();
    idleTimer_.setInterval(std::max(0, s.returnTime) * 1000);
    if (s.autoReturn && !s.returnAction.isEmpty())
        idleTimer_.start();
}

void TWorkForm::UpdateTimerTick()
{
    static const QStringList timeNames = {QStringLiteral("[TIME]"), QStringLiteral("[TIME24]"),
                                          QStringLiteral("[HOUR]"), QStringLiteral("[MINUTE]"),
                                          QStringLiteral("[SECOND]")};
    static const QStringList dateNames = {QStringLiteral("[DATESHORT]"), QStringLiteral("[DATELONG]"),
                                          QStringLiteral("[MONTH]"), QStringLiteral("[MONTHNUM]"),
                                          QStringLiteral("[DAY]"), QStringLiteral("[DAYNUM]"),
                                          QStringLiteral("[YEAR]")};
    const QTime now = QTime::currentTime();
    for (const QString& name : timeNames)
        RefreshVariables(name);
    // Midnight passed since the last tick: the date changed too.
    if (now < lastTick_)
        for (const QString& name : dateNames)
            RefreshVariables(name);
    lastTick_ = now;
}

void TWorkForm::IdleTimerFired()
{
    idleTimer_.stop();
    RunScript(publication_.settings.returnAction, QStringLiteral("RETURNACTION"), 57);
    if (!shuttingDown_)
        idleTimer_.start();
}

void TWorkForm::RestartIdleTimer()
{
    if (idleTimer_.isActive())
        idleTimer_.start();
}

void TWorkForm::DiscardUserInputNow()
{
    // Input already queued is dropped until the queue has been run once.
    discardInput_ = true;
    QTimer::singleShot(0, this, [this] { discardInput_ = false; });
}

void TWorkForm::RefreshVariables(const QString& bracketedName)
{
    // Texts that show variables belong to page objects and menu captions;
    // the page is repainted so that what it draws is current. Clock names
    // change without a write, so the update timer comes through here too.
    menus_.RefreshCaptions(bracketedName);
    SendVarChangedToObjects(bracketedName);
    if (stack_ && firstPaintDone_)
        stack_->update();
}

void TWorkForm::RunScript(const QString& text, const QString& sourceName, uint8_t sourceKind)
{
    if (text.isEmpty() || shuttingDown_)
        return;
    RunActionText(services_, text, sourceName, 0, sourceKind);
}

QImage TWorkForm::PublicationAreaImage()
{
    return stack_ ? stack_->grab().toImage() : QImage();
}

QStringList TWorkForm::RenderPages(const QString& folder, QString* error)
{
    QStringList written;
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot create the folder ") + folder;
        return written;
    }
    for (int i = 1; i < stack_->Count(); ++i) {
        QString name = stack_->PageName(i);
        for (QChar& c : name)
            if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_'))
                c = QLatin1Char('_');
        const QString path =
            QDir(folder).filePath(QStringLiteral("%1-%2.png").arg(i, 3, 10, QLatin1Char('0')).arg(name));
        if (!stack_->RenderPage(i).save(path, "PNG")) {
            *error = QStringLiteral("cannot write ") + path;
            return written;
        }
        written.append(path);
    }
    return written;
}

void TWorkForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        HideIntoTrayWhenMinimized();
    if (event->type() != QEvent::ActivationChange || !firstPaintDone_ || shuttingDown_)
        return;
    // The activation scripts run after the pending messages, never inside
    // the activation itself.
    const bool active = isActiveWindow();
    const QString& action = active ? publication_.settings.activateAction : publication_.settings.deactivateAction;
    if (action.isEmpty())
        return;
    QTimer::singleShot(0, this, [this, active] {
        const TPublicationSettings& s = publication_.settings;
        if (active)
            RunScript(s.activateAction, QStringLiteral("ACTIVATEACTION"), 54);
        else
            RunScript(s.deactivateAction, QStringLiteral("DEACTIVATEACTION"), 55);
    });
}

// ---- keyboard and mouse --------------------------------------------------------

bool TWorkForm::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
                       type == QEvent::MouseButtonRelease;
    if (mouse && qobject_cast<TTomericBackground*>(watched))
        DragWindow(type, static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    const bool userInput = type == QEvent::KeyPress || type == QEvent::KeyRelease ||
                           type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                           type == QEvent::MouseButtonDblClick || type == QEvent::Wheel;
    if (!userInput)
        return QMainWindow::eventFilter(watched, event);
    if (discardInput_)
        return true;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);
    RestartIdleTimer();
    if (type == QEvent::KeyPress && FormKeyDown(static_cast<QKeyEvent*>(event)))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

bool TWorkForm::FormKeyDown(QKeyEvent* event)
{
    const TPublicationSettings& s = publication_.settings;
    const int key = event->key();
    // Esc closes the publication unless the focused field's mask is
    // unsatisfied: then it restores the field's text instead.
    if (key == Qt::Key_Escape && (s.allowEsc || ScreenSaverMode() != ssNone) && !FocusedMaskUnsatisfied()) {
        QTimer::singleShot(0, this, [this] { RequestClose(TCloseSource::csWindows); });
        return true;
    }
    if (key == Qt::Key_F1 && !s.helpFile.isEmpty()) {
        OpenHelp();
        return true;
    }
    if (DispatchObjectHotKey(*event))
        return true;
    const bool navigationKey = key == Qt::Key_PageUp || key == Qt::Key_PageDown ||
                               key == Qt::Key_Home || key == Qt::Key_End;
    if (!navigationKey || !s.allowPageUpDn)
        return false;
    NavigateByKey(key);
    return true;
}

void TWorkForm::OpenHelp()
{
    // A help file written with variables is taken as it stands once they
    // are replaced; any other name is resolved like every publication file.
    const QString& helpFile = publication_.settings.helpFile;
    QString path;
    if (helpFile.contains(QLatin1Char('['))) {
        path = SubstituteVars(helpFile);
    } else {
        const TResolvedFile resolved = ResolveFile(helpFile);
        if (!resolved.ok)
            return; // a help file that cannot be found opens nothing
        path = resolved.path;
    }
    if (start_.driven && start_.lineSink) {
        start_.lineSink(QStringLiteral("CALL Help ") + QuoteForLine(path));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void TWorkForm::NavigateByKey(int key)
{
    TQXPageList& pages = *pageList_;
    const int current = pages.PageIndex();
    const int last = pages.Count() - 1;
    int target = -1;
    if (key == Qt::Key_PageUp && current >= 2)
        target = current - 1;
    else if (key == Qt::Key_PageDown && current < last)
        target = current + 1;
    else if (key == Qt::Key_Home && current != 1 && last >= 1)
        target = 1;
    else if (key == Qt::Key_End && current != last && last >= 1)
        target = last;
    if (target >= 1)
        pages.GotoPageIndex(target, true);
}

void TWorkForm::DragWindow(QEvent::Type type, QPoint globalPosition)
{
    // A window without title bar that may be moved follows the left button
    // dragged over the page background.
    const int props = publication_.settings.windowProps;
    const bool movable = (props & 4) && (!(props & 1) || publication_.settings.windowStyle == 2);
    if (!movable || publication_.settings.windowStyle == 1 || publication_.settings.windowStyle == 3)
        return;
    if (type == QEvent::MouseButtonPress) {
        dragging_ = QApplication::mouseButtons() & Qt::LeftButton;
        dragOffset_ = globalPosition - frameGeometry().topLeft();
    } else if (type == QEvent::MouseMove && dragging_) {
        move(globalPosition - dragOffset_);
    } else if (type == QEvent::MouseButtonRelease) {
        dragging_ = false;
    }
}

} // namespace tomeric
