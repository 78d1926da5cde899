#include "app/player_services.h"

#include "app/work_form.h"
#include "objects/tomeric_obj.h"
#include "package/package.h"
#include "platform/paths.h"

#include <tomeric/debugger.h>

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>

namespace tomeric {

// ---- message pump --------------------------------------------------------------

void TPlayerPump::ProcessPendingMessages()
{
    QCoreApplication::processEvents();
}

void TPlayerPump::ProcessEscapeOnly()
{
    // Suspended input: timers and painting go on, user input waits.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TPlayerPump::WaitForMessages(int ms, bool urgentOnly)
{
    if (ms <= 0)
        return;
    const QEventLoop::ProcessEventsFlags flags =
        urgentOnly ? QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents
                   : QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents;
    QEventLoop loop;
    QTimer wake;
    wake.setSingleShot(true);
    QObject::connect(&wake, &QTimer::timeout, &loop, &QEventLoop::quit);
    wake.start(ms);
    loop.processEvents(flags);
}

void TPlayerPump::DiscardUserInput()
{
    form_.DiscardUserInputNow();
}

bool TPlayerPump::ShuttingDown() const
{
    return form_.ShuttingDown();
}

void TPlayerPump::RestartIdleTimer()
{
    form_.RestartIdleTimer();
}

// ---- the publication -------------------------------------------------------------

QString TPlayerPublication::SubroutineText() const
{
    return form_.Publication().settings.subroutineAction;
}

QStringList TPlayerPublication::IncludedFiles() const
{
    QStringList names;
    for (const TEmbeddedEntry& entry : CurrentPackage().Entries())
        if (!CurrentPackage().PublicationRead() || entry.name.compare(kPublicationEntryName, Qt::CaseInsensitive) != 0)
            names.append(entry.name);
    return names;
}

std::optional<QString> TPlayerPublication::FindIncludedFile(const QString& name) const
{
    const QString entry = CurrentPackage().FindIncludedName(name);
    if (CurrentPackage().FindEmbedded(entry))
        return entry;
    return std::nullopt;
}

QString TPlayerPublication::ResolveFile(const QString& name) const
{
    const TResolvedFile resolved = tomeric::ResolveFile(name);
    return resolved.ok ? resolved.path : name;
}

bool TPlayerPublication::PreviewMode() const
{
    return CurrentPackage().IsPreview();
}

bool TPlayerPublication::SinglePagePreview() const
{
    return CurrentPackage().PreviewMode() == 1;
}

std::optional<QString> TPlayerPublication::PreviewEmbeddedPath(const QString& embeddedName) const
{
    if (!CurrentPackage().IsPreview())
        return std::nullopt;
    const QString mapped = CurrentPackage().MapPreviewName(embeddedName);
    if (mapped == embeddedName)
        return std::nullopt;
    return mapped;
}

// ---- window built-ins -------------------------------------------------------------

int TWindowBuiltinHost::NextPageIndex() const
{
    return form_.PageList().NextPageIndex();
}

QString TWindowBuiltinHost::PageTitle(int pageIndex) const
{
    return form_.PageList().PageName(pageIndex);
}

int TWindowBuiltinHost::PageCount() const
{
    return std::max(0, form_.PageList().Count() - 1);
}

int TWindowBuiltinHost::WindowMetric(Metric metric) const
{
    const QRect frame = form_.frameGeometry();
    const QWidget* client = form_.centralWidget();
    const TPublicationSettings& s = form_.Publication().settings;
    switch (metric) {
    case Metric::WindowLeft: return frame.left();
    case Metric::WindowTop: return frame.top();
    case Metric::WindowWidth: return frame.width();
    case Metric::WindowHeight: return frame.height();
    case Metric::ClientWidth: return client ? client->width() : form_.width();
    case Metric::ClientHeight: return client ? client->height() : form_.height();
    case Metric::PubWidth: return s.screenWidth;
    case Metric::PubHeight: return s.screenHeight;
    case Metric::PubLeft: return const_cast<TWorkForm&>(form_).Stack().x();
    case Metric::PubTop: return const_cast<TWorkForm&>(form_).Stack().y();
    }
    return 0;
}

void TWindowBuiltinHost::SetWindowMetric(Metric metric, int value)
{
    switch (metric) {
    case Metric::WindowLeft: form_.move(value, form_.y()); break;
    case Metric::WindowTop: form_.move(form_.x(), value); break;
    case Metric::WindowWidth: form_.resize(value, form_.height()); break;
    case Metric::WindowHeight: form_.resize(form_.width(), value); break;
    case Metric::ClientWidth: form_.resize(value, form_.height()); break;
    case Metric::ClientHeight: form_.resize(form_.width(), value); break;
    case Metric::PubWidth: form_.Stack().resize(value, form_.Stack().height()); break;
    case Metric::PubHeight: form_.Stack().resize(form_.Stack().width(), value); break;
    default: break;
    }
}

QString TWindowBuiltinHost::WindowState() const
{
    if (form_.isMinimized())
        return QStringLiteral("Minimized");
    if (form_.isMaximized())
        return QStringLiteral("Maximized");
    return QStringLiteral("Normal");
}

void TWindowBuiltinHost::SetWindowState(const QString& value)
{
    const QString state = value.trimmed();
    if (state.compare(QLatin1String("Minimized"), Qt::CaseInsensitive) == 0) {
        form_.showMinimized();
        return;
    }
    if (state.compare(QLatin1String("Maximized"), Qt::CaseInsensitive) == 0)
        form_.showMaximized();
    else if (form_.Tray() && !form_.isVisible())
        form_.Tray()->ShowApplication(); // out of the tray
    else if (form_.isVisible())
        form_.showNormal();
    if (!form_.Tray() && form_.isVisible()) {
        form_.raise();
        form_.activateWindow();
    }
}

int TWindowBuiltinHost::WindowOrder() const
{
    const Qt::WindowFlags flags = form_.windowFlags();
    if (flags & Qt::WindowStaysOnTopHint)
        return 1;
    if (flags & Qt::WindowStaysOnBottomHint)
        return 2;
    return 0;
}

void TWindowBuiltinHost::SetWindowOrder(int order)
{
    const bool visible = form_.isVisible();
    form_.setWindowFlag(Qt::WindowStaysOnTopHint, order == 1);
    form_.setWindowFlag(Qt::WindowStaysOnBottomHint, order == 2);
    if (visible)
        form_.show(); // changing the flags hides a window
    if (DebuggerLink* debugger = form_.AllServices().Debugger)
        debugger->Message(QX_DEBUG_WINDOW_ORDER, order);
}

QString TWindowBuiltinHost::PubTitle() const
{
    return form_.windowTitle();
}

void TWindowBuiltinHost::SetPubTitle(const QString& title)
{
    form_.setWindowTitle(title);
    if (form_.Tray())
        form_.Tray()->SetHint(title);
}

QString TWindowBuiltinHost::AppTitle() const
{
    return QGuiApplication::applicationDisplayName();
}

void TWindowBuiltinHost::SetAppTitle(const QString& title)
{
    QGuiApplication::setApplicationDisplayName(title);
}

QString TPlayerPublication::LanguageText(TLanguageText which) const
{
    return form_.Dialogs().Look().Word(which);
}

QString TWindowBuiltinHost::FocusedObject() const
{
    // The focus may sit in a control inside the object (a list's viewport,
    // a combo box's line edit): the object is the nearest one around it.
    // The window's own focus child counts even while another window is active.
    for (QWidget* widget = form_.focusWidget(); widget; widget = widget->parentWidget())
        if (auto* object = qobject_cast<TTomericObj*>(widget))
            return object->Name();
    return QString();
}

int TWindowBuiltinHost::ScreenWidth() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 0;
}

int TWindowBuiltinHost::ScreenHeight() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() : 0;
}

qint64 TWindowBuiltinHost::ScreenColors() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int depth = screen ? screen->depth() : 24;
    return depth >= 24 ? 16777216 : (qint64(1) << depth);
}

quint64 TWindowBuiltinHost::WindowHandle() const
{
    return quint64(form_.winId());
}

// ---- variable changes ---------------------------------------------------------------

TWindowVariableObserver::TWindowVariableObserver(TWorkForm& form, TSimpleDialogs& dialogs)
    : form_(form), dialogs_(dialogs)
{
    AddVariableObserver(this);
}

TWindowVariableObserver::~TWindowVariableObserver()
{
    RemoveVariableObserver(this);
}

void TWindowVariableObserver::VariableChanged(const QString& bracketedName, const QString& value)
{
    (void)value;
    form_.RefreshVariables(bracketedName);
}

void TWindowVariableObserver::LastErrorSet(const QString& text, bool showErrorBox)
{
    if (showErrorBox)
        dialogs_.ShowError(text);
}

} // namespace tomeric
