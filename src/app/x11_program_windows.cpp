#include "app/x11_program_windows.h"

#include "actions/action_eval.h"
#include "app/atspi_menus.h"
#include "app/screen_scale.h"
#include "objects/shapes.h"
#include "platform/string_table.h"
#include "services/send_keys.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QUrl>
#include <QSocketNotifier>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

// Xlib after Qt: its macros (None, Bool, Status, KeyPress ...) would
// otherwise break Qt's headers.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <poll.h>

namespace tomeric {

namespace {

constexpr long kXdndVersion = 5;
constexpr int kDropTimeoutMs = 3000;
// EWMH requests name their source: 2 is a pager or tool acting for the user.
constexpr long kSourcePager = 2;
// The window manager acts on requests in its own time: a command waits
// this long at most for it, so that the next command sees the result.
constexpr int kManagerWaitMs = 1000;
constexpr int kManagerPollMs = 10;



// Set by TrapErrors' handler when a request failed.
bool gRequestFailed = false;

int NoteFailure(Display*, XErrorEvent*)
{
    gRequestFailed = true;
    return 0;
}

ServiceReply NoMainWindow()
{
    return CommandMessageReply(Message(msgNoMainWindow));
}

bool Is(const ServiceCall& call, const char* name)
{
    return call.Command.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

int Number(const QString& text)
{
    return int(text.trimmed().toDouble());
}

struct TKeySymOf {
    int key;
    KeySym sym;
};

constexpr TKeySymOf kKeySyms[] = {
    {Qt::Key_Backspace, XK_BackSpace}, {Qt::Key_Cancel, XK_Break},  {Qt::Key_CapsLock, XK_Caps_Lock},
    {Qt::Key_Clear, XK_Clear},         {Qt::Key_Delete, XK_Delete}, {Qt::Key_Down, XK_Down},
    {Qt::Key_Up, XK_Up},               {Qt::Key_Left, XK_Left},     {Qt::Key_Right, XK_Right},
    {Qt::Key_End, XK_End},             {Qt::Key_Home, XK_Home},     {Qt::Key_Return, XK_Return},
    {Qt::Key_Escape, XK_Escape},       {Qt::Key_Help, XK_Help},     {Qt::Key_Insert, XK_Insert},
    {Qt::Key_NumLock, XK_Num_Lock},    {Qt::Key_PageDown, XK_Next}, {Qt::Key_PageUp, XK_Prior},
    {Qt::Key_Print, XK_Print},         {Qt::Key_ScrollLock, XK_Scroll_Lock}, {Qt::Key_Tab, XK_Tab},
    {Qt::Key_Shift, XK_Shift_L},       {Qt::Key_Control, XK_Control_L}, {Qt::Key_Alt, XK_Alt_L},
};

KeySym SymOf(const TKeyStroke& stroke)
{
    if (stroke.Key == 0) {
        const char16_t c = stroke.Character.unicode();
        if (c == '\n' || c == '\r')
            return XK_Return;
        if (c == '\t')
            return XK_Tab;
        return c < 0x100 ? KeySym(c) : KeySym(0x01000000 | c);
    }
    if (stroke.Keypad)
        return XK_KP_0 + (stroke.Key - Qt::Key_0);
    if (stroke.Key >= Qt::Key_F1 && stroke.Key <= Qt::Key_F16)
        return XK_F1 + (stroke.Key - Qt::Key_F1);
    for (const TKeySymOf& entry : kKeySyms)
        if (entry.key == stroke.Key)
            return entry.sym;
    return NoSymbol;
}

} // namespace

// ---- the connection -------------------------------------------------------------

struct TX11ProgramWindows::TX11 {
    Display* display = nullptr;
    Window root = 0;

    explicit TX11(const QString& name)
    {
        display = XOpenDisplay(name.isEmpty() ? nullptr : name.toLocal8Bit().constData());
        if (display)
            root = DefaultRootWindow(display);
    }
    ~TX11()
    {
        if (display)
            XCloseDisplay(display);
    }

    Atom Intern(const char* name) const { return XInternAtom(display, name, False); }

    // The first 32-bit value of a property; nothing when it is not set.
    std::optional<unsigned long> Cardinal(Window window, const char* property, int index = 0) const
    {
        Atom type;
        int format;
        unsigned long count = 0, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, Intern(property), 0, 64, False, AnyPropertyType, &type, &format, &count,
                               &after, &data) != Success || !data)
            return std::nullopt;
        std::optional<unsigned long> value;
        if (format == 32 && unsigned(index) < count)
            value = reinterpret_cast<unsigned long*>(data)[index];
        XFree(data);
        return value;
    }

    // A list of 32-bit values (window lists of the window manager).
    std::vector<unsigned long> Cardinals(Window window, const char* property) const
    {
        Atom type;
        int format;
        unsigned long count = 0, after;
        unsigned char* data = nullptr;
        std::vector<unsigned long> values;
        if (XGetWindowProperty(display, window, Intern(property), 0, 4096, False, AnyPropertyType, &type, &format,
                               &count, &after, &data) == Success && data) {
            if (format == 32) {
                const auto* first = reinterpret_cast<unsigned long*>(data);
                values.assign(first, first + count);
            }
            XFree(data);
        }
        return values;
    }

    // Where the window manager stacks a client: 0 at the bottom; -1 when
    // it does not list it.
    int StackingIndex(Window window) const
    {
        const auto clients = Cardinals(root, "_NET_CLIENT_LIST_STACKING");
        const auto found = std::find(clients.begin(), clients.end(), window);
        return found == clients.end() ? -1 : int(found - clients.begin());
    }
    int ClientCount() const { return int(Cardinals(root, "_NET_CLIENT_LIST_STACKING").size()); }

    // Waits (a second at most) until the window manager has done what was
    // asked; false when it did not.
    bool AfterManager(const std::function<bool()>& done) const
    {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() >= kManagerWaitMs)
                return false;
            QThread::msleep(kManagerPollMs);
        }
        return true;
    }

    QString Title(Window window) const
    {
        Atom type;
        int format;
        unsigned long count = 0, after;
        unsigned char* data = nullptr;
        QString title;
        if (XGetWindowProperty(display, window, Intern("_NET_WM_NAME"), 0, 1024, False, Intern("UTF8_STRING"), &type,
                               &format, &count, &after, &data) == Success && data) {
            title = QString::fromUtf8(reinterpret_cast<char*>(data), int(count));
            XFree(data);
        }
        if (title.isEmpty()) {
            char* name = nullptr;
            if (XFetchName(display, window, &name) && name) {
                title = QString::fromLocal8Bit(name);
                XFree(name);
            }
        }
        return title;
    }

    QStringList Classes(Window window) const
    {
        XClassHint hint{};
        QStringList classes;
        if (XGetClassHint(display, window, &hint)) {
            if (hint.res_name)
                classes.append(QString::fromLocal8Bit(hint.res_name)), XFree(hint.res_name);
            if (hint.res_class)
                classes.append(QString::fromLocal8Bit(hint.res_class)), XFree(hint.res_class);
        }
        return classes;
    }

    bool Viewable(Window window) const
    {
        XWindowAttributes attributes;
        return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable &&
               attributes.c_class == InputOutput && !attributes.override_redirect;
    }

    // Every window under `parent`, bottom to top, at any depth (a
    // reparenting window manager keeps the clients inside its frames).
    void Collect(Window parent, std::vector<Window>& out) const
    {
        Window rootReturn, parentReturn, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, parent, &rootReturn, &parentReturn, &children, &count))
            return;
        for (unsigned int i = 0; i < count; ++i) {
            out.push_back(children[i]);
            Collect(children[i], out);
        }
        if (children)
            XFree(children);
    }

    bool WindowManagerRuns() const { return Cardinal(root, "_NET_SUPPORTING_WM_CHECK").has_value(); }

    // Asks for the root's map and configure requests, as a window manager
    // does; false when another program (a window manager) holds them.
    bool RedirectRoot() const
    {
        XSync(display, False);
        gRequestFailed = false;
        const auto previous = XSetErrorHandler(NoteFailure);
        XSelectInput(display, root, SubstructureRedirectMask | SubstructureNotifyMask);
        XSync(display, False);
        XSetErrorHandler(previous);
        return !gRequestFailed;
    }

    Window ParentOf(Window window) const
    {
        Window rootReturn = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &rootReturn, &parent, &children, &count))
            return 0;
        if (children)
            XFree(children);
        return parent;
    }

    bool Iconic(Window window) const { return Cardinal(window, "WM_STATE") == static_cast<unsigned long>(IconicState); }

    void SetIconic(Window window) const
    {
        const long state[2] = {IconicState, 0};
        const Atom wmState = Intern("WM_STATE");
        XChangeProperty(display, window, wmState, wmState, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(state), 2);
    }

    void Iconify(Window window) const
    {
        if (WindowManagerRuns()) {
            XIconifyWindow(display, window, DefaultScreen(display));
            return;
        }
        // Without a manager nobody keeps icons: the window leaves the
        // screen, marked iconic, until it is shown again.
        SetIconic(window);
        XUnmapWindow(display, window);
    }

    // A request about `window` to the window manager (through the root) or,
    // with `toOwner`, straight to the program that owns the window.
    void SendClientMessage(Window window, const char* type, std::array<long, 5> data, bool toOwner = false) const
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = Intern(type);
        event.xclient.format = 32;
        for (int i = 0; i < 5; ++i)
            event.xclient.data.l[i] = data[i];
        if (toOwner)
            XSendEvent(display, window, False, NoEventMask, &event);
        else
            XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    }

    // Where the window's client area lies on the screen, and the frame the
    // window manager adds around it.
    bool Geometry(Window window, QRect* client, QMargins* frame) const
    {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, window, &attributes))
            return false;
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child);
        *client = QRect(x, y, attributes.width, attributes.height);
        *frame = QMargins(int(Cardinal(window, "_NET_FRAME_EXTENTS", 0).value_or(0)),
                          int(Cardinal(window, "_NET_FRAME_EXTENTS", 2).value_or(0)),
                          int(Cardinal(window, "_NET_FRAME_EXTENTS", 1).value_or(0)),
                          int(Cardinal(window, "_NET_FRAME_EXTENTS", 3).value_or(0)));
        return true;
    }

    QRect WorkArea() const
    {
        if (const auto x = Cardinal(root, "_NET_WORKAREA", 0))
            return QRect(int(*x), int(Cardinal(root, "_NET_WORKAREA", 1).value_or(0)),
                         int(Cardinal(root, "_NET_WORKAREA", 2).value_or(0)),
                         int(Cardinal(root, "_NET_WORKAREA", 3).value_or(0)));
        const int screen = DefaultScreen(display);
        return QRect(0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen));
    }

    void Activate(Window window) const
    {
        XMapRaised(display, window);
        if (WindowManagerRuns()) {
            SendClientMessage(window, "_NET_ACTIVE_WINDOW", {kSourcePager, CurrentTime, 0, 0, 0});
            XSync(display, False);
            AfterManager([&] {
                return Cardinal(root, "_NET_ACTIVE_WINDOW") == window && StackingIndex(window) == ClientCount() - 1;
            });
            return;
        }
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        XSync(display, False);
    }

    // A timestamp of the server (selections need a real one).
    Time ServerTime(Window window) const
    {
        XSelectInput(display, window, PropertyChangeMask);
        const Atom stamp = Intern("_TOMERIC_TIMESTAMP");
        XChangeProperty(display, window, stamp, XA_STRING, 8, PropModeAppend, nullptr, 0);
        XEvent event;
        XWindowEvent(display, window, PropertyChangeMask, &event);
        return event.xproperty.time;
    }

    // The next event for our windows, waiting at most `ms`; false on timeout.
    bool NextEvent(XEvent* event, int ms) const
    {
        if (XPending(display)) {
            XNextEvent(display, event);
            return true;
        }
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        if (poll(&fd, 1, ms) <= 0)
            return false;
        XNextEvent(display, event);
        return true;
    }
};

TX11ProgramWindows::TX11ProgramWindows(TPlayerSide player, const QString& displayName)
    : player_(std::move(player)), x_(std::make_unique<TX11>(displayName))
{
}


// ---- finding ------------------------------------------------------------------

TWindowId TX11ProgramWindows::MainWindowOf(int64_t processId)
{
    if (!x_->display || processId <= 0)
        return 0;
    HandleQuietEvents();
    std::vector<Window> windows;
    x_->Collect(x_->root, windows);
    // A window that takes dropped files is the better main window (it is
    // the one a person works in), else the lowest one seen. Minimised and
    // quietly started windows count as shown.
    TWindowId best = 0;
    for (const Window window : windows) {
        if (x_->Cardinal(window, "_NET_WM_PID") != static_cast<unsigned long>(processId))
            continue;
        if (!x_->Viewable(window) && !x_->Iconic(window) && !KeptHidden(window, processId))
            continue;
        if (x_->Cardinal(window, "XdndAware"))
            return window;
        if (!best)
            best = window;
    }
    return best;
}

TWindowId TX11ProgramWindows::FindWindowNamed(const QString& name)
{
    if (!x_->display)
        return 0;
    std::vector<Window> windows;
    x_->Collect(x_->root, windows);
    for (const Window window : windows) {
        if (!x_->Viewable(window))
            continue;
        if (x_->Title(window).compare(name, Qt::CaseInsensitive) == 0)
            return window;
        for (const QString& windowClass : x_->Classes(window))
            if (windowClass.compare(name, Qt::CaseInsensitive) == 0)
                return window;
    }
    return 0;
}

int64_t TX11ProgramWindows::ProcessOf(TWindowId window)
{
    if (!x_->display)
        return 0;
    return int64_t(x_->Cardinal(window, "_NET_WM_PID").value_or(0));
}

// ---- showing and closing --------------------------------------------------------

void TX11ProgramWindows::Show(TWindowId window, TShowMode mode)
{
    if (!x_->display)
        return;
    switch (mode) {
    case TShowMode::smNormal: x_->Activate(window); break;
    case TShowMode::smMinimized: x_->Iconify(window); break;
    case TShowMode::smHidden:
        XWithdrawWindow(x_->display, window, DefaultScreen(x_->display));
        keptHidden_.insert(window, ProcessOf(window));
        break;
    }
    XSync(x_->display, False);
}

// ---- starting quietly -----------------------------------------------------------

struct TX11ProgramWindows::TQuietStart {
    // 0 until the program has started: until then nothing is answered.
    int64_t processId = 0;
    bool ending = false;
    TShowMode mode = TShowMode::smHidden;
    // No window manager: the player stands in for one, and the program's
    // map requests are simply not granted.
    bool redirecting = false;
    std::unique_ptr<QSocketNotifier> notifier;
};

TX11ProgramWindows::~TX11ProgramWindows() = default;

void TX11ProgramWindows::BeginQuietStart(TShowMode mode)
{
    EndQuietStart();
    if (!x_->display || mode == TShowMode::smNormal)
        return;
    quiet_ = std::make_unique<TQuietStart>();
    quiet_->mode = mode;
    // With a window manager, nothing comes between the program and the
    // manager: the window is minimised or withdrawn the moment it maps.
    quiet_->redirecting = !x_->WindowManagerRuns() && x_->RedirectRoot();
    if (!quiet_->redirecting)
        XSelectInput(x_->display, x_->root, SubstructureNotifyMask);
    XSync(x_->display, False); // in place before the program can start
    if (QCoreApplication::instance()) {
        quiet_->notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(x_->display), QSocketNotifier::Read);
        QObject::connect(quiet_->notifier.get(), &QSocketNotifier::activated, [this] { HandleQuietEvents(); });
    }
}

void TX11ProgramWindows::QuietStartIsFor(int64_t processId)
{
    if (!quiet_ || processId <= 0)
        return;
    quiet_->processId = processId;
    HandleQuietEvents(); // what was held while it started
}

void TX11ProgramWindows::EndQuietStart()
{
    if (!quiet_)
        return;
    quiet_->ending = true;
    HandleQuietEvents(); // requests already made are answered first
    quiet_.reset();
    XSelectInput(x_->display, x_->root, NoEventMask);
    XSync(x_->display, False);
}

void TX11ProgramWindows::HandleQuietEvents()
{
    // Until the program's id is known no window can be told to be its own,
    // so requests wait in the queue; a start that failed lets them all pass.
    if (!quiet_ || (quiet_->processId == 0 && !quiet_->ending))
        return;
    Display* display = x_->display;
    const auto ours = [&](Window window) {
        return quiet_->processId != 0 &&
               x_->Cardinal(window, "_NET_WM_PID") == static_cast<unsigned long>(quiet_->processId);
    };
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
        case MapRequest: {
            // Only while standing in for a window manager.
            const Window window = event.xmaprequest.window;
            if (!ours(window)) {
                XMapWindow(display, window);
            } else {
                if (quiet_->mode == TShowMode::smMinimized)
                    x_->SetIconic(window);
                keptHidden_.insert(window, quiet_->processId);
            }
            break;
        }
        case ConfigureRequest: {
            const XConfigureRequestEvent& request = event.xconfigurerequest;
            XWindowChanges changes{request.x,     request.y,     request.width, request.height,
                                   request.border_width, request.above, request.detail};
            XConfigureWindow(display, request.window, unsigned(request.value_mask), &changes);
            break;
        }
        case CirculateRequest:
            if (event.xcirculaterequest.place == PlaceOnTop)
                XRaiseWindow(display, event.xcirculaterequest.window);
            else
                XLowerWindow(display, event.xcirculaterequest.window);
            break;
        case MapNotify: {
            // A window manager showed a frame: the program's window inside
            // it goes at once.
            if (quiet_->redirecting || event.xmap.override_redirect)
                break;
            std::vector<Window> inside{event.xmap.window};
            x_->Collect(event.xmap.window, inside);
            for (const Window window : inside)
                if (ours(window) && x_->Viewable(window)) {
                    if (quiet_->mode == TShowMode::smMinimized) {
                        x_->Iconify(window);
                    } else {
                        XWithdrawWindow(display, window, DefaultScreen(display));
                        keptHidden_.insert(window, quiet_->processId);
                    }
                }
            break;
        }
        default: break;
        }
    }
    XFlush(display);
}

bool TX11ProgramWindows::RequestClose(TWindowId window, bool raise)
{
    if (!x_->display)
        return false;
    if (raise)
        XRaiseWindow(x_->display, window);
    Atom* protocols = nullptr;
    int count = 0;
    bool polite = false;
    const Atom deleteWindow = x_->Intern("WM_DELETE_WINDOW");
    if (XGetWMProtocols(x_->display, window, &protocols, &count)) {
        for (int i = 0; i < count; ++i)
            polite = polite || protocols[i] == deleteWindow;
        XFree(protocols);
    }
    if (polite)
        x_->SendClientMessage(window, "WM_PROTOCOLS", {long(deleteWindow), CurrentTime, 0, 0, 0}, true);
    else
        XDestroyWindow(x_->display, window); // what the close box does to a window that asks nothing
    XSync(x_->display, False);
    return true;
}

// ---- the window commands --------------------------------------------------------------

ServiceReply TX11ProgramWindows::Control(const ServiceCall& call, TWindowId window)
{
    if (!x_->display)
        return NoMainWindow();
    HandleQuietEvents();
    XSync(x_->display, True); // events of earlier requests are of no interest
    if (Is(call, "SetWindowPos"))
        return SetWindowPos(call, window);
    if (Is(call, "GetWindowPos"))
        return GetWindowPos(call, window);
    if (Is(call, "BringAppToFront"))
        return BringToFront(window);
    if (Is(call, "SendAppToBack"))
        return SendToBack(window);
    if (Is(call, "DisableApp") || Is(call, "EnableApp"))
        return Disable(window, Is(call, "DisableApp"));
    if (Is(call, "SendKeys"))
        return SendKeys(call.Params.value(1), window);
    if (Is(call, "DropFile"))
        return DropFiles(call.Params.value(1), window);
    if (Is(call, "SendMenuCommand"))
        return SendMenuCommand(call.Params.value(1), window);
    return SucceededReply();
}

ServiceReply TX11ProgramWindows::SetWindowPos(const ServiceCall& call, TWindowId window)
{
    QRect client;
    QMargins frame;
    if (!x_->Geometry(window, &client, &frame))
        return NoMainWindow();
    const QRect outer = client.marginsAdded(frame);
    // The script's numbers are publication pixels; -1 keeps the size or centres.
    const double scale = DevicePixelsPerPoint();
    const auto given = [&](int index, int keep) {
        const int points = Number(call.Params.value(index));
        return points == -1 ? keep : int(std::lround(points * scale));
    };
    const int width = given(3, outer.width()), height = given(4, outer.height());
    const QRect work = x_->WorkArea();
    const int x = given(1, work.left() + (work.width() - width) / 2);
    const int y = given(2, work.top() + (work.height() - height) / 2);
    // The rectangle is the frame's; the client goes inside it.
    const QRect target = QRect(x, y, width, height).marginsRemoved(frame);
    if (x_->WindowManagerRuns()) {
        constexpr long kStaticGravity = 10, kAllFields = 0xF << 8;
        x_->SendClientMessage(window, "_NET_MOVERESIZE_WINDOW",
                          {kStaticGravity | kAllFields | (kSourcePager << 12), target.x(), target.y(),
                           std::max(1, target.width()), std::max(1, target.height())});
        XSync(x_->display, False);
        x_->AfterManager([&] {
            QRect now;
            QMargins edges;
            return x_->Geometry(window, &now, &edges) && now == target;
        });
    } else {
        XMoveResizeWindow(x_->display, window, target.x(), target.y(), unsigned(std::max(1, target.width())),
                          unsigned(std::max(1, target.height())));
    }
    XSync(x_->display, False);
    return SucceededReply();
}

ServiceReply TX11ProgramWindows::GetWindowPos(const ServiceCall& call, TWindowId window)
{
    QRect client;
    QMargins frame;
    if (!x_->Geometry(window, &client, &frame))
        return NoMainWindow();
    const QRect outer = client.marginsAdded(frame);
    const double scale = DevicePixelsPerPoint();
    const auto points = [scale](int devicePixels) { return QString::number(std::lround(devicePixels / scale)); };
    ServiceReply reply = SucceededReply();
    reply.Results[2] = points(outer.left());
    reply.Results[3] = points(outer.top());
    reply.Results[4] = points(outer.width());
    reply.Results[5] = points(outer.height());
    return reply;
}

ServiceReply TX11ProgramWindows::BringToFront(TWindowId window)
{
    x_->Activate(window);
    return SucceededReply();
}

ServiceReply TX11ProgramWindows::SendToBack(TWindowId window)
{
    // Below every other window, without activating it.
    if (x_->WindowManagerRuns()) {
        x_->SendClientMessage(window, "_NET_RESTACK_WINDOW", {kSourcePager, 0, Below, 0, 0});
        XSync(x_->display, False);
        x_->AfterManager([&] { return x_->StackingIndex(window) <= 0; });
        return SucceededReply();
    }
    XLowerWindow(x_->display, window);
    XSync(x_->display, False);
    return SucceededReply();
}

ServiceReply TX11ProgramWindows::Disable(TWindowId window, bool disable)
{
    Display* display = x_->display;
    if (!disable) {
        if (const auto shield = inputShields_.take(window))
            XDestroyWindow(display, shield);
        XUngrabKey(display, AnyKey, AnyModifier, window);
        XSync(display, False);
        return SucceededReply();
    }
    if (inputShields_.contains(window))
        return SucceededReply();
    // Clicks land on an input-only window laid over it; keys are grabbed
    // away from it. (Synthetic events still reach it: X has no stronger lock.)
    QRect client;
    QMargins frame;
    if (!x_->Geometry(window, &client, &frame))
        return NoMainWindow();
    const QRect outer = client.marginsAdded(frame);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    const Window shield = XCreateWindow(display, x_->root, outer.x(), outer.y(), unsigned(outer.width()),
                                        unsigned(outer.height()), 0, 0, InputOnly, CopyFromParent,
                                        CWOverrideRedirect, &attributes);
    XSelectInput(display, shield, ButtonPressMask | ButtonReleaseMask);
    XMapRaised(display, shield);
    XGrabKey(display, AnyKey, AnyModifier, window, False, GrabModeAsync, GrabModeAsync);
    XSync(display, False);
    inputShields_.insert(window, shield);
    return SucceededReply();
}

// ---- keys ----------------------------------------------------------------------------------

ServiceReply TX11ProgramWindows::SendKeys(const QString& keys, TWindowId window)
{
    const TKeySequence sequence = ParseSendKeys(PrepareSendKeys(keys));
    if (sequence.Error) {
        ServiceReply reply = SucceededReply();
        reply.ActionError = sequence.Error;
        return reply;
    }
    Display* display = x_->display;
    int major, minor, event, error;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor))
        return NoMainWindow();
    x_->Activate(window);
    const KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    for (const TKeyStroke& stroke : sequence.Strokes) {
        const KeySym sym = SymOf(stroke);
        KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
        if (!code) {
            ServiceReply reply = SucceededReply();
            reply.ActionError = aeInvalidKey;
            return reply;
        }
        // A character on the shifted level of its key needs Shift.
        const bool needsShift = stroke.Key == 0 && XkbKeycodeToKeysym(display, code, 0, 0) != sym &&
                                XkbKeycodeToKeysym(display, code, 0, 1) == sym;
        if (stroke.Kind != TKeyStroke::ksUp) {
            if (needsShift)
                XTestFakeKeyEvent(display, shift, True, CurrentTime);
            XTestFakeKeyEvent(display, code, True, CurrentTime);
        }
        if (stroke.Kind != TKeyStroke::ksDown) {
            XTestFakeKeyEvent(display, code, False, CurrentTime);
            if (needsShift)
                XTestFakeKeyEvent(display, shift, False, CurrentTime);
        }
        XSync(display, False);
    }
    return SucceededReply();
}

// ---- dropping files ---------------------------------------------------------------------------

ServiceReply TX11ProgramWindows::DropFiles(const QString& files, TWindowId window)
{
    Display* display = x_->display;
    // The window that speaks XDND: the one found or a frame around it.
    Window target = window;
    if (!x_->Cardinal(target, "XdndAware"))
        return CommandMessageReply(Message(msgNoDroppedFiles));
    const long version = std::min<long>(kXdndVersion, long(*x_->Cardinal(target, "XdndAware")));

    QByteArray uris;
    for (const QString& file : files.split(QLatin1Char('|'), Qt::SkipEmptyParts))
        uris += QUrl::fromLocalFile(file.trimmed()).toEncoded() + "\r\n";

    const Window source = XCreateSimpleWindow(display, x_->root, -10, -10, 1, 1, 0, 0, 0);
    const Time time = x_->ServerTime(source);
    const Atom selection = x_->Intern("XdndSelection"), uriList = x_->Intern("text/uri-list");
    XSetSelectionOwner(display, selection, source, time);
    QRect client;
    QMargins frame;
    x_->Geometry(target, &client, &frame);
    const long where = (long(client.center().x()) << 16) | long(client.center().y());
    x_->SendClientMessage(target, "XdndEnter", {long(source), version << 24, long(uriList), 0, 0}, true);
    x_->SendClientMessage(target, "XdndPosition", {long(source), 0, where, long(time), long(x_->Intern("XdndActionCopy"))},
                              true);
    XFlush(display);

    bool accepted = false, dropped = false, finished = false;
    XEvent event;
    while (!finished && x_->NextEvent(&event, kDropTimeoutMs)) {
        if (event.type == SelectionRequest) {
            XSelectionRequestEvent& request = event.xselectionrequest;
            XEvent answer{};
            answer.xselection.type = SelectionNotify;
            answer.xselection.requestor = request.requestor;
            answer.xselection.selection = request.selection;
            answer.xselection.target = request.target;
            answer.xselection.time = request.time;
            answer.xselection.property = 0;
            if (request.target == uriList) {
                XChangeProperty(display, request.requestor, request.property, uriList, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(uris.constData()), int(uris.size()));
                answer.xselection.property = request.property;
            }
            XSendEvent(display, request.requestor, False, NoEventMask, &answer);
            XFlush(display);
        } else if (event.type == ClientMessage && event.xclient.message_type == x_->Intern("XdndStatus") && !dropped) {
            accepted = event.xclient.data.l[1] & 1;
            const char* next = accepted ? "XdndDrop" : "XdndLeave";
            x_->SendClientMessage(target, next, {long(source), 0, long(time), 0, 0}, true);
            XFlush(display);
            dropped = true;
            finished = !accepted;
        } else if (event.type == ClientMessage && event.xclient.message_type == x_->Intern("XdndFinished")) {
            finished = true;
        }
    }
    XDestroyWindow(display, source);
    XSync(display, False);
    return accepted && finished ? SucceededReply() : CommandMessageReply(Message(msgNoDroppedFiles));
}

// ---- menus ------------------------------------------------------------------------------------

ServiceReply TX11ProgramWindows::SendMenuCommand(const QString& path, TWindowId window)
{
    if (!menus_)
        menus_ = std::make_unique<TAtSpiMenus>();
    const auto outcome = menus_->Choose(ProcessOf(window), x_->Title(window), path, [&] { x_->Activate(window); });
    switch (outcome) {
    case TAtSpiMenus::TOutcome::oNoMenu: return CommandMessageReply(Message(msgNoMenu));
    case TAtSpiMenus::TOutcome::oStepAbsent: return CommandMessageReply(Message(msgSyntaxError));
    case TAtSpiMenus::TOutcome::oChosen:
    case TAtSpiMenus::TOutcome::oFirstAbsent: break;
    }
    return SucceededReply();
}

// ---- the host rectangle and the page -------------------------------------------------------

bool TX11ProgramWindows::RectangleExists(const QString& objectName)
{
    return player_.findRectangle && player_.findRectangle(objectName);
}

bool TX11ProgramWindows::Embed(const QString& objectName, TWindowId window, const QString& options)
{
    (void)options; // the menu bar and size grip belong to the program's own window here
    TTomericRect* rectangle = player_.findRectangle ? player_.findRectangle(objectName) : nullptr;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!rectangle || !x11)
        return false;
    // A window the manager is giving up (withdrawn at its start) is first
    // back on the root, or the manager would take it back from the rectangle.
    if (keptHidden_.contains(window) && x_->WindowManagerRuns())
        x_->AfterManager([&] { return x_->ParentOf(window) == x_->root; });
    // In the player's save-set, the window goes back to the screen (and
    // its program lives on) if the player ends before it.
    xcb_change_save_set(x11->connection(), XCB_SET_MODE_INSERT, xcb_window_t(window));
    QWindow* foreign = QWindow::fromWinId(WId(window));
    if (!foreign)
        return false;
    return rectangle->EmbedWindow(foreign) != nullptr;
}

void TX11ProgramWindows::Release(const QString& objectName)
{
    TTomericRect* rectangle = player_.findRectangle ? player_.findRectangle(objectName) : nullptr;
    if (!rectangle)
        return;
    for (QWidget* hosted : rectangle->HostedWidgets())
        hosted->deleteLater();
}

void TX11ProgramWindows::HoldPage(bool hold)
{
    QWidget* main = player_.mainWindow ? player_.mainWindow() : nullptr;
    if (hold && holds_++ == 0) {
        if (main)
            main->setEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (!hold && holds_ > 0 && --holds_ == 0) {
        if (main)
            main->setEnabled(true);
        QApplication::restoreOverrideCursor();
    }
}

} // namespace tomeric
