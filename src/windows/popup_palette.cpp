#include "windows/popup_palette.h"

#include "windows/popup_layout.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include <array>
#include <cstdlib>
#include <vector>

namespace tomeric {

namespace {

std::array<QPointer<TPopUpPalette>, 4>& Slots()
{
    static std::array<QPointer<TPopUpPalette>, 4> open;
    return open;
}

std::vector<QPointer<TPopUpPalette>>& WaitingPopUps()
{
    static std::vector<QPointer<TPopUpPalette>> waiting;
    return waiting;
}

int& ReturningCount()
{
    static int count = 0;
    return count;
}

std::function<void()>& WaitObserver()
{
    static std::function<void()> observer;
    return observer;
}

std::optional<QPoint>& DrivenPointer()
{
    static std::optional<QPoint> position;
    return position;
}

// The publication's pointer for the pop-up's life, the previous one back
// afterwards, whatever way the pop-up ends.
class TOverrideCursor {
public:
    explicit TOverrideCursor(const QCursor& cursor) { QApplication::setOverrideCursor(cursor); }
    ~TOverrideCursor() { QApplication::restoreOverrideCursor(); }
    TOverrideCursor(const TOverrideCursor&) = delete;
    TOverrideCursor& operator=(const TOverrideCursor&) = delete;
};

QRect WorkAreaNear(const QPoint& point)
{
    QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(point, QSize(1, 1));
}

bool IsMouseMovement(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseMove:
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::HoverLeave: return true;
    default: return false;
    }
}

} // namespace

TPopUpPalette::TPopUpPalette(TPopUpKind kind, const TPopUpEnvironment& environment)
    : QWidget(environment.owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                     Qt::WindowDoesNotAcceptFocus),
      kind_(kind), environment_(environment)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    displayTimer_.setSingleShot(true);
    connect(&displayTimer_, &QTimer::timeout, this, [this] { EndPopUp(TPopUpResult::prCancel); });
    Slots()[static_cast<size_t>(kind)] = this;
}

TPopUpPalette::~TPopUpPalette()
{
    if (waiting_)
        qApp->removeEventFilter(this);
}

TPopUpPalette* TPopUpPalette::Open(TPopUpKind kind)
{
    return Slots()[static_cast<size_t>(kind)];
}

TPopUpPalette* TPopUpPalette::Waiting()
{
    auto& waiting = WaitingPopUps();
    for (auto it = waiting.rbegin(); it != waiting.rend(); ++it)
        if (*it && (*it)->IsWaiting())
            return *it;
    return nullptr;
}

bool TPopUpPalette::Returning()
{
    return ReturningCount() > 0;
}

void TPopUpPalette::SetWaitObserver(std::function<void()> observer)
{
    WaitObserver() = std::move(observer);
}

QPoint TPopUpPalette::PointerPosition()
{
    return DrivenPointer().value_or(QCursor::pos());
}

void TPopUpPalette::SetDrivenPointer(const QPoint& screenPoint)
{
    DrivenPointer() = screenPoint;
}

QPoint TPopUpPalette::FittedPosition(const QRect& wanted)
{
    return FitIntoWorkArea(wanted, WorkAreaNear(wanted.topLeft()));
}

TPopUpResult TPopUpPalette::ShowPopUp(const QPoint& topLeft, int displayTime)
{
    if (isVisible()) {
        EndPopUp(TPopUpResult::prCancel);
        return TPopUpResult::prCancel;
    }
    move(FittedPosition(QRect(topLeft, size())));
    // The object whose action opened the pop-up lets go of the mouse first,
    // so that it does not stay pressed.
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    TOverrideCursor cursor(environment_.cursor);
    show();
    raise();
    Opened();
    if (displayTime == -1) {
        QCoreApplication::processEvents();
        hide();
        return TPopUpResult::prOk;
    }
    WaitForResult(displayTime);
    hide();
    return result_;
}

void TPopUpPalette::WaitForResult(int displayTime)
{
    result_ = TPopUpResult::prCancel;
    waiting_ = true;
    swallowRelease_ = false;
    lastMousePosition_.reset();
    qApp->installEventFilter(this);
    WaitingPopUps().push_back(this);
    const bool wasActive = QGuiApplication::applicationState() == Qt::ApplicationActive;
    const QMetaObject::Connection activation = connect(
        qApp, &QGuiApplication::applicationStateChanged, this, [this, wasActive](Qt::ApplicationState state) {
            if (wasActive && state != Qt::ApplicationActive)
                EndPopUp(TPopUpResult::prCancel);
        });
    const QMetaObject::Connection quitting =
        connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { EndPopUp(TPopUpResult::prCancel); });
    if (displayTime > 0)
        displayTimer_.start(displayTime);
    if (WaitObserver())
        WaitObserver()();
    if (waiting_ && !QCoreApplication::closingDown())
        loop_.exec();
    if (waiting_)
        waiting_ = false; // the application quit under the loop
    else
        --ReturningCount();
    displayTimer_.stop();
    disconnect(activation);
    disconnect(quitting);
    qApp->removeEventFilter(this);
    auto& waiting = WaitingPopUps();
    std::erase_if(waiting, [this](const QPointer<TPopUpPalette>& p) { return !p || p == this; });
}

void TPopUpPalette::EndPopUp(TPopUpResult result)
{
    if (!waiting_)
        return;
    result_ = result;
    waiting_ = false;
    ++ReturningCount();
    loop_.exit();
}

bool TPopUpPalette::Belongs(const QObject* object) const
{
    const auto* widget = qobject_cast<const QWidget*>(object);
    return widget && (widget == this || isAncestorOf(widget));
}

bool TPopUpPalette::eventFilter(QObject* watched, QEvent* event)
{
    if (!waiting_ && !swallowRelease_)
        return false;
    const QEvent::Type type = event->type();
    // The main window's shortcuts are off while a pop-up waits.
    if (type == QEvent::Shortcut)
        return !Belongs(watched);
    if (type == QEvent::Close && watched == environment_.owner) {
        EndPopUp(TPopUpResult::prCancel);
        return false;
    }
    if (!watched->isWidgetType() || Belongs(watched))
        return false;
    // A modal dialog opened meanwhile (by a timer's script) stays usable.
    if (QWidget* modal = QApplication::activeModalWidget();
        modal && (modal == watched || modal->isAncestorOf(static_cast<QWidget*>(watched))))
        return false;
    if (IsMouseMovement(type) || type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
        type == QEvent::MouseButtonDblClick)
        return FilterMouse(event);
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease)
        return FilterKey(static_cast<QKeyEvent*>(event));
    return false;
}

bool TPopUpPalette::FilterMouse(QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonRelease) {
        // The release of a press that dismissed the pop-up goes nowhere.
        const bool swallow = swallowRelease_;
        swallowRelease_ = false;
        return swallow;
    }
    if (!waiting_)
        return false;
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        if (button != Qt::LeftButton && button != Qt::RightButton)
            return false;
        swallowRelease_ = true;
        EndPopUp(TPopUpResult::prCancel);
        return true;
    }
    if (type == QEvent::MouseMove && environment_.closeOnMouseMove) {
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        // Outside the 2 x 2 box around the previous position.
        if (lastMousePosition_ && (std::abs(at.x() - lastMousePosition_->x()) > 1 ||
                                   std::abs(at.y() - lastMousePosition_->y()) > 1))
            EndPopUp(TPopUpResult::prCancel);
        lastMousePosition_ = at;
    }
    return true;
}

bool TPopUpPalette::FilterKey(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Pause)
        return false;
    if (!waiting_ || event->type() == QEvent::KeyRelease)
        return waiting_;
    if (key == Qt::Key_Escape || environment_.closeOnMouseMove)
        EndPopUp(TPopUpResult::prCancel);
    else if (key == Qt::Key_Return || key == Qt::Key_Enter)
        EndPopUp(TPopUpResult::prOk);
    else {
        QKeyEvent resent(QEvent::KeyPress, key, event->modifiers(), event->text(), event->isAutoRepeat());
        QApplication::sendEvent(this, &resent);
    }
    return true;
}

void TPopUpPalette::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        EndPopUp(TPopUpResult::prOk);
}

void TPopUpPalette::keyPressEvent(QKeyEvent* event)
{
    EndPopUp(event->key() == Qt::Key_Escape ? TPopUpResult::prCancel : TPopUpResult::prOk);
}

void TPopUpPalette::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    EndPopUp(TPopUpResult::prCancel);
}

} // namespace tomeric
