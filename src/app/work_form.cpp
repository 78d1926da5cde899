#include "app/work_form.h"

#include "actions/action_eval.h"
#include "actions/headless_services.h"
#include "app/object_world.h"
#include "package/package.h"
#include "vars/variables.h"
#include "windows/floating_window_form.h"

#include <tomeric/plugin.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QTimer>

namespace tomeric {

namespace {

constexpr int kFirstPaintPauseMs = 150;

} // namespace

TWorkForm::TWorkForm(TFormStart start)
    : start_(std::move(start)), window_(*this, publication_.settings, pictures_),
      timers_(this, {[this](const QString& name) { RefreshVariables(name); }, [this] { return RunIdleReturn(); }}),
      systemModes_(*this, publication_.settings, start_.request.screenSaver.mode,
                   [this] { return RequestClose(TCloseSource::csWindows); }),
      chain_(*this, *this), windowHost_(*this)
{
    services_ = std::make_unique<TPlayerServices>(*this);
    window_.SetPresentation(start_.presentation);
}

TWorkForm::~TWorkForm()
{
    FormDestroy();
}

void TWorkForm::ShowForm()
{
    CloseSplash();
    services_->Menus().Install(*this, publication_);
    window_.FitAgain();
    systemModes_.SetTrayMenu(services_->Menus().TrayMenu());
    // A tray publication without a start-up script waits for its icon.
    if (!systemModes_.StaysInTrayAtStart())
        show();
}

void TWorkForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The first paint starts the publication once the window is up; scripts
    // never run inside a paint handler.
    if (phase_ == TFormPhase::fpReady)
        QTimer::singleShot(0, this, [this] { FirstPaint(); });
}

void TWorkForm::FirstPaint()
{
    if (phase_ != TFormPhase::fpReady)
        return; // already painted (the window showed twice meanwhile)
    phase_ = TFormPhase::fpStarting;
    if (!start_.fast && !chain_.InProgress()) {
        QCoreApplication::processEvents();
        services_->Pump().WaitForMessages(kFirstPaintPauseMs, false);
    }
    area_->show();
    NotifyPlugIns(QX_MSG_STARTED);
    timers_.Start(publication_.settings);
    services_->Pages().Start();
    systemModes_.Enter();
    // A start-up script may already have closed the publication.
    if (phase_ == TFormPhase::fpStarting)
        phase_ = TFormPhase::fpRunning;
    emit FirstPaintFinished();
}

bool TWorkForm::RunIdleReturn()
{
    RunScript(publication_.settings.returnAction, QStringLiteral("RETURNACTION"), skIdleReturn);
    return !ShuttingDown();
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
    services_->Menus().RefreshCaptions(bracketedName);
    SendVarChangedToObjects(bracketedName);
    if (stack_ && phase_ >= TFormPhase::fpRunning)
        stack_->update();
}

void TWorkForm::RunScript(const QString& text, const QString& sourceName, uint8_t sourceKind)
{
    if (text.isEmpty() || ShuttingDown())
        return;
    RunActionText(services_->All(), text, sourceName, 0, sourceKind);
}

QImage TWorkForm::PublicationAreaImage()
{
    if (!stack_)
        return {};
    QImage image = stack_->grab().toImage();
    // FIXEDPOS windows are children of the client area, lying over the
    // page stack rather than inside it; drawn bottom to top.
    auto* area = qobject_cast<QScrollArea*>(centralWidget());
    QWidget* client = area ? area->viewport() : centralWidget();
    if (!client)
        return image;
    QPainter painter(&image);
    const QPoint stackOrigin = stack_->mapTo(client, QPoint(0, 0));
    for (QObject* child : client->children()) {
        auto* window = qobject_cast<TFloatingWindowForm*>(child);
        if (window && window->isVisible())
            painter.drawPixmap(window->pos() - stackOrigin, window->grab());
    }
    return image;
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
    if (event->type() == QEvent::WindowStateChange) {
        systemModes_.WindowStateChanged();
        const bool wasMinimized = static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
        if (isMinimized() != wasMinimized)
            NotifyPlugIns(isMinimized() ? QX_MSG_MINIMIZED : QX_MSG_RESTORED);
        FloatingWindows().MainWindowMinimised(isMinimized());
    }
    if (event->type() != QEvent::ActivationChange || !Running())
        return;
    NotifyPlugIns(isActiveWindow() ? QX_MSG_ACTIVATED : QX_MSG_DEACTIVATED);
    // The activation scripts run after the pending messages, never inside
    // the activation itself.
    const bool active = isActiveWindow();
    const QString& action = active ? publication_.settings.activateAction : publication_.settings.deactivateAction;
    if (action.isEmpty())
        return;
    QTimer::singleShot(0, this, [this, active] {
        const TPublicationSettings& s = publication_.settings;
        if (active)
            RunScript(s.activateAction, QStringLiteral("ACTIVATEACTION"), skActivate);
        else
            RunScript(s.deactivateAction, QStringLiteral("DEACTIVATEACTION"), skDeactivate);
    });
}

void TWorkForm::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    // Placing the window while the publication opens is not a move the
    // plug-ins hear about.
    if (Running())
        NotifyPlugIns(QX_MSG_MOVED);
}

// ---- keyboard and mouse --------------------------------------------------------

bool TWorkForm::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
                       type == QEvent::MouseButtonRelease;
    // Only this window's own page backgrounds move it; a page shown in a
    // custom window is dragged with that window.
    if (mouse && qobject_cast<TTomericBackground*>(watched) && static_cast<QWidget*>(watched)->window() == this)
        window_.DragWindow(type, static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    const bool userInput = type == QEvent::KeyPress || type == QEvent::KeyRelease ||
                           type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                           type == QEvent::MouseButtonDblClick || type == QEvent::Wheel;
    if (!userInput)
        return QMainWindow::eventFilter(watched, event);
    if (discardInput_)
        return true;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return QMainWindow::eventFilter(watched, event);
    // Input in a floating window counts as activity too; its keys are its own.
    if (widget->window() != this) {
        if (qobject_cast<TFloatingWindowForm*>(widget->window()))
            RestartIdleTimer();
        return QMainWindow::eventFilter(watched, event);
    }
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
    // F11, when no object of the page takes it: full screen scaled to fit.
    if (key == Qt::Key_F11 && event->modifiers() == Qt::NoModifier) {
        window_.ToggleFullScreen();
        return true;
    }
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
    TQXPageList& pages = services_->Pages();
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

} // namespace tomeric
