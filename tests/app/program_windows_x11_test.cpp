// Other programs' windows under a private Xvfb: the window probe (a small
// Qt program of ours that logs the keys, drops and close requests it gets)
// is found by its process, moved and read back, typed into, dropped on,
// reordered and closed; and the player hosts it inside a rectangle of the
// page (RunInRectangle), seen on the screen itself.

#include "actions/action_eval.h"
#include "app/screen_scale.h"
#include "app/x11_program_windows.h"
#include "gui_application.h"
#include "player_test_support.h"
#include "program_windows_test_support.h"
#include "xvfb_server.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tomeric {
namespace {

using testing::Call;
using testing::Eventually;
using testing::ReadAll;
using testing::XvfbServer;

QProcessEnvironment XEnvironment(const QString& display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    return environment;
}

// The stacking position of a top-level window among the root's children
// (higher is nearer the viewer); -1 when it is not one.
int StackingIndex(const QString& displayName, TWindowId window)
{
    Display* display = XOpenDisplay(displayName.toLocal8Bit().constData());
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    int index = -1;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    for (unsigned int i = 0; i < count; ++i)
        if (children[i] == window)
            index = int(i);
    if (children)
        XFree(children);
    XCloseDisplay(display);
    return index;
}

class ProgramWindowsX11 : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = std::make_unique<XvfbServer>(); }
    static void TearDownTestSuite() { server.reset(); }
    void SetUp() override
    {
        if (!server->Running())
            GTEST_SKIP() << "Xvfb is not installed";
    }

    // Starts a probe logging to `log`; its main window, once shown.
    TWindowId StartProbe(QProcess& probe, const QString& log, TX11ProgramWindows& windows)
    {
        probe.setProcessEnvironment(XEnvironment(server->Display()));
        probe.start(QStringLiteral(WINDOW_PROBE_PATH), {log});
        EXPECT_TRUE(probe.waitForStarted());
        TWindowId window = 0;
        Eventually([&] { return (window = windows.MainWindowOf(probe.processId())) != 0; });
        return window;
    }

    // Starts the player on `session`'s publication, driven by `lines`,
    // on the private display; `wrapper` (dbus-run-session) runs it when given.
    void StartPlayer(QProcess& player, testing::PlayerSession& session, const QString& lines,
                     const QString& wrapper = QString())
    {
        QFile script(session.Path(QStringLiteral("drive.txt")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(lines.toUtf8());
        script.close();
        QProcessEnvironment environment = XEnvironment(server->Display());
        environment.insert(QStringLiteral("TOMERIC_REGISTRY_FILE"), session.RegistryFile());
        player.setProcessEnvironment(environment);
        player.setWorkingDirectory(session.Path(QString()));
        QStringList arguments{QStringLiteral("/R"), session.Container(), QStringLiteral("--drive"), script.fileName(),
                              QStringLiteral("--fast")};
        if (wrapper.isEmpty()) {
            player.start(QStringLiteral(QXPLAY5_PATH), arguments);
        } else {
            arguments.prepend(QStringLiteral(QXPLAY5_PATH));
            arguments.prepend(QStringLiteral("--"));
            player.start(wrapper, arguments);
        }
    }

    static std::unique_ptr<XvfbServer> server;
    QTemporaryDir dir;
};

std::unique_ptr<XvfbServer> ProgramWindowsX11::server;

// Where the X server has a window, in device pixels.
QRect DeviceRect(const QString& displayName, TWindowId window)
{
    Display* display = XOpenDisplay(displayName.toLocal8Bit().constData());
    Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (display) {
        XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth);
        XCloseDisplay(display);
    }
    return QRect(x, y, int(width), int(height));
}

TEST_F(ProgramWindowsX11, ControlsAnotherProgramsWindow)
{
    TX11ProgramWindows windows({}, server->Display());
    const QString log = dir.filePath(QStringLiteral("probe.log"));
    QProcess probe;
    const TWindowId window = StartProbe(probe, log, windows);
    ASSERT_NE(window, 0u);
    EXPECT_EQ(windows.FindWindowNamed(QStringLiteral("tomeric probe")), window);
    EXPECT_EQ(windows.ProcessOf(window), probe.processId());

    // SetWindowPos, read back by GetWindowPos; -1 keeps the size and centres.
    EXPECT_EQ(windows.Control(Call("SetWindowPos", {"", "10", "20", "300", "200"}), window).ActionError, 0);
    ServiceReply read = windows.Control(Call("GetWindowPos", {"", "x", "y", "w", "h"}), window);
    EXPECT_EQ((QStringList{read.Results[2], read.Results[3], read.Results[4], read.Results[5]}),
              (QStringList{"10", "20", "300", "200"}));
    windows.Control(Call("SetWindowPos", {"", "-1", "-1", "-1", "-1"}), window);
    read = windows.Control(Call("GetWindowPos", {"", "x", "y", "w", "h"}), window);
    EXPECT_EQ((QStringList{read.Results[2], read.Results[3], read.Results[4], read.Results[5]}),
              (QStringList{"362", "284", "300", "200"}));
    // A player shown twice its size (--scale 2) speaks in its publication's
    // pixels: half the screen's.
    QScreen& screen = *tomeric::testing::GuiApplication().primaryScreen();
    TScreenFit twice;
    ASSERT_DOUBLE_EQ(twice.FitTo(screen, screen.geometry().size() / 2), 2);
    windows.Control(Call("SetWindowPos", {"", "10", "20", "150", "100"}), window);
    const QRect device = DeviceRect(server->Display(), window);
    read = windows.Control(Call("GetWindowPos", {"", "x", "y", "w", "h"}), window);
    windows.Control(Call("SetWindowPos", {"", "-1", "-1", "-1", "-1"}), window);
    ServiceReply centred = windows.Control(Call("GetWindowPos", {"", "x", "y", "w", "h"}), window);
    twice.Restore();
    EXPECT_EQ(device, QRect(20, 40, 300, 200));
    EXPECT_EQ((QStringList{read.Results[2], read.Results[3], read.Results[4], read.Results[5]}),
              (QStringList{"10", "20", "150", "100"}));
    EXPECT_EQ((QStringList{centred.Results[2], centred.Results[3]}), (QStringList{"181", "142"}));

    // SendKeys types through the X test extension; "+" of the text is the
    // character itself, {SHIFTDN} holds Shift; unknown names stop the command.
    EXPECT_EQ(windows.Control(Call("SendKeys", {"", "a+b{SHIFTDN}cd{SHIFTUP}{TAB 0}~"}), window).ActionError, 0);
    EXPECT_TRUE(Eventually([&] { return ReadAll(log).contains(QStringLiteral("KEYS:a+bCD\n")); })) << ReadAll(log).toStdString();
    EXPECT_EQ(windows.Control(Call("SendKeys", {"", "{NOSUCHKEY}"}), window).ActionError, aeInvalidKey);
    EXPECT_EQ(windows.Control(Call("SendKeys", {"", "{TAB"}), window).ActionError, aeMissingBrace);

    // Files dropped through XDND.
    const QString dropped = dir.filePath(QStringLiteral("dropped file.txt"));
    EXPECT_EQ(windows.Control(Call("DropFile", {"", dropped}), window).ActionError, 0);
    EXPECT_TRUE(Eventually([&] { return ReadAll(log).contains(QStringLiteral("DROP:") + dropped); })) << ReadAll(log).toStdString();

    // Stacking against a second probe.
    QProcess other;
    const TWindowId otherWindow = StartProbe(other, dir.filePath(QStringLiteral("other.log")), windows);
    ASSERT_NE(otherWindow, 0u);
    windows.Control(Call("BringAppToFront", {""}), window);
    EXPECT_GT(StackingIndex(server->Display(), window), StackingIndex(server->Display(), otherWindow));
    windows.Control(Call("SendAppToBack", {""}), window);
    EXPECT_LT(StackingIndex(server->Display(), window), StackingIndex(server->Display(), otherWindow));

    // A disabled window takes no keys until it is enabled again.
    windows.Control(Call("DisableApp", {""}), window);
    windows.Control(Call("SendKeys", {"", "lost~"}), window);
    windows.Control(Call("EnableApp", {""}), window);
    windows.Control(Call("SendKeys", {"", "kept~"}), window);
    EXPECT_TRUE(Eventually([&] { return ReadAll(log).contains(QStringLiteral("KEYS:kept")); }));
    EXPECT_FALSE(ReadAll(log).contains(QStringLiteral("lost")));

    // A close request closes the program.
    EXPECT_TRUE(windows.RequestClose(window, true));
    EXPECT_TRUE(probe.waitForFinished(5000));
    EXPECT_TRUE(ReadAll(log).endsWith(QStringLiteral("CLOSED\n")));
    other.kill();
    other.waitForFinished();
}

// "Hidden" and "Minimized" from the moment the window maps: without a
// window manager the player stands in for one while the program starts, so
// the probe's window never reaches the screen, until it is brought forward.
TEST_F(ProgramWindowsX11, QuietStartsNeverShowTheWindow)
{
    Display* watcher = XOpenDisplay(server->Display().toLocal8Bit().constData());
    ASSERT_NE(watcher, nullptr);
    XSelectInput(watcher, DefaultRootWindow(watcher), SubstructureNotifyMask);
    XSync(watcher, False);
    TX11ProgramWindows windows({}, server->Display());
    for (const TShowMode mode : {TShowMode::smHidden, TShowMode::smMinimized}) {
        // Begun before the probe starts, as the player does: a window the
        // program maps at once is caught too.
        QProcess probe;
        probe.setProcessEnvironment(XEnvironment(server->Display()));
        windows.BeginQuietStart(mode);
        probe.start(QStringLiteral(WINDOW_PROBE_PATH), {dir.filePath(QStringLiteral("quiet.log"))});
        ASSERT_TRUE(probe.waitForStarted());
        windows.QuietStartIsFor(probe.processId());
        TWindowId window = 0;
        Eventually([&] { return (window = windows.MainWindowOf(probe.processId())) != 0; }, 30000);
        ASSERT_NE(window, 0u);
        windows.Show(window, mode);
        windows.EndQuietStart();
        const auto mapped = [&] {
            bool seen = false;
            XSync(watcher, False);
            while (XPending(watcher)) {
                XEvent event;
                XNextEvent(watcher, &event);
                seen = seen || (event.type == MapNotify && event.xmap.window == window);
            }
            return seen;
        };
        QThread::msleep(300);
        EXPECT_FALSE(mapped()) << int(mode);
        if (mode == TShowMode::smMinimized) {
            Atom type;
            int format;
            unsigned long count = 0, after;
            unsigned char* data = nullptr;
            XGetWindowProperty(watcher, window, XInternAtom(watcher, "WM_STATE", False), 0, 2, False, AnyPropertyType,
                               &type, &format, &count, &after, &data);
            ASSERT_NE(data, nullptr);
            EXPECT_EQ(reinterpret_cast<unsigned long*>(data)[0], static_cast<unsigned long>(IconicState));
            XFree(data);
        }
        windows.Control(Call("BringAppToFront", {""}), window);
        EXPECT_TRUE(Eventually(mapped, 30000)) << int(mode);
        probe.kill();
        probe.waitForFinished();
    }
    XCloseDisplay(watcher);
}

TEST_F(ProgramWindowsX11, WithoutDisplayEveryRequestFails)
{
    TX11ProgramWindows windows({}, QStringLiteral(":189"));
    EXPECT_EQ(windows.MainWindowOf(1), 0u);
    EXPECT_EQ(windows.Control(Call("BringAppToFront", {"x"}), 1).ErrorText,
              QStringLiteral("Impossible d'identifier la fenêtre principale de l'application."));
}

// The player runs the probe inside its rectangle "Host" (inset by the line
// width, on the green fill), reports a second program for the same
// rectangle and a missing rectangle, and closes the probe on request.
TEST_F(ProgramWindowsX11, PlayerHostsAProgramInARectangle)
{
    testing::PlayerSession session(QStringLiteral("programs_host"));
    const QString log = session.Path(QStringLiteral("probe.log"));
    const QString probe = QStringLiteral(WINDOW_PROBE_PATH);
    const QString ready = session.Path(QStringLiteral("ready.txt"));
    QProcess player;
    StartPlayer(player, session, QStringLiteral("run RunInRectangle \"Host\" \"%1\" \"%2\" \"\" \"GoSub [#34]Ended[#34]\" \"[probe]\"\n"
                                "run RunInRectangle \"Host\" \"%1\" \"%2\" \"\" \"\" \"\"\n"
                                "run SetVar \"[twice]\" \"[LastError]\"\n"
                                "run RunInRectangle \"Nowhere\" \"%1\" \"%2\" \"\" \"\" \"\"\n"
                                "run SetVar \"[nowhere]\" \"[LastError]\"\n"
                                "vars %3\n"
                                "wait 1500\n"
                                "run CloseApp \"[probe]\" \"RequestClose\"\n"
                                "wait 1200\n"
                                "vars vars.txt\n")
                     .arg(probe, log, ready));
    ASSERT_TRUE(Eventually([&] { return QFile::exists(ready); })) << player.readAllStandardError().toStdString();
    QThread::msleep(700); // the probe paints

    // The screen itself: the probe's magenta inside the rectangle's outline.
    Display* display = XOpenDisplay(server->Display().toLocal8Bit().constData());
    ASSERT_NE(display, nullptr);
    XImage* screen = XGetImage(display, DefaultRootWindow(display), 0, 0, 1024, 768, AllPlanes, ZPixmap);
    ASSERT_NE(screen, nullptr);
    int magenta = 0;
    for (int y = 0; y < 768; y += 4)
        for (int x = 0; x < 1024; x += 4)
            magenta += XGetPixel(screen, x, y) == 0xFF00FF;
    XDestroyImage(screen);
    XCloseDisplay(display);
    // The rectangle is 240 x 160 less its 4-pixel outline: about 232 x 152
    // pixels, one in 16 sampled.
    EXPECT_GT(magenta, 232 * 152 / 16 * 8 / 10);
    EXPECT_LT(magenta, 240 * 160 / 16 + 10);

    ASSERT_TRUE(player.waitForFinished(20000));
    const auto vars = session.Variables(QStringLiteral("vars.txt"));
    const auto value = [&vars](const char* name) {
        const auto found = vars.find(QString::fromLatin1(name));
        return found == vars.end() ? std::string() : found->second.toStdString();
    };
    EXPECT_EQ(value("TWICE"), "RunInRectangle[#13][#13]Une application est déjà liée à Host.");
    EXPECT_EQ(value("NOWHERE"), "RunInRectangle[#13][#13]\"Nowhere\"||Cet objet n'existe pas.");
    EXPECT_EQ(value("ENDED"), "yes");
    EXPECT_TRUE(ReadAll(log).contains(QStringLiteral("CLOSED")));
}

// SendMenuCommand through the accessibility bus, under a private session
// bus: the player starts two probes, one with a menu bar; items are chosen
// by caption (any case, without "&", "..." and what follows a tab) and by
// position (the separator counts), steps after a plain item are ignored; a
// missing first item does nothing, a missing later one is a syntax error,
// and the probe without menus has none.
TEST_F(ProgramWindowsX11, MenuCommandsReachAProgramsMenuBar)
{
    const QString session = QStandardPaths::findExecutable(QStringLiteral("dbus-run-session"));
    if (session.isEmpty() || !QFileInfo::exists(QStringLiteral("/usr/libexec/at-spi-bus-launcher")))
        GTEST_SKIP() << "dbus-run-session or at-spi2-core is not installed";
    testing::PlayerSession publication(QStringLiteral("programs_host"));
    const QString menuLog = publication.Path(QStringLiteral("menu.log"));
    const QString plainLog = publication.Path(QStringLiteral("plain.log"));
    QProcess player;
    StartPlayer(player, publication,
                QStringLiteral("run Run \"%1\" \"--menu %2\" \"LoadComplete\" \"\" \"[menu]\"\n"
                               "run Run \"%1\" \"%3\" \"LoadComplete\" \"\" \"[plain]\"\n"
                               "run SendMenuCommand \"[menu]\" \"fichier,ouvrir\"\n"
                               "run SendMenuCommand \"[menu]\" \"1,3,2\"\n"
                               "run SendMenuCommand \"[menu]\" \"&Fichier,Récents,premier,Extra\"\n"
                               "run SendMenuCommand \"[menu]\" \"Aide,Sommaire\"\n"
                               "run SetVar \"[firstAbsent]\" \"none[LastError]\"\n"
                               "run SendMenuCommand \"[menu]\" \"Fichier,Fermer\"\n"
                               "run SetVar \"[stepAbsent]\" \"[LastError]\"\n"
                               "run SendMenuCommand \"[plain]\" \"Fichier,Ouvrir\"\n"
                               "run SetVar \"[noMenu]\" \"[LastError]\"\n"
                               "wait 500\n"
                               "vars vars.txt\n")
                    .arg(QStringLiteral(WINDOW_PROBE_PATH), menuLog, plainLog),
                session);
    ASSERT_TRUE(player.waitForFinished(40000));
    EXPECT_EQ(ReadAll(menuLog), QStringLiteral("MENU:Ouvrir\nMENU:Second\nMENU:Premier\n"))
        << player.readAllStandardError().toStdString();
    const auto vars = publication.Variables(QStringLiteral("vars.txt"));
    const auto value = [&vars](const char* name) {
        const auto found = vars.find(QString::fromLatin1(name));
        return found == vars.end() ? std::string("(none)") : found->second.toStdString();
    };
    EXPECT_EQ(value("FIRSTABSENT"), "none");
    EXPECT_EQ(value("STEPABSENT"), "SendMenuCommand[#13][#13]Erreur de syntaxe !");
    EXPECT_EQ(value("NOMENU"), "SendMenuCommand[#13][#13]Cette application n'a pas de menu.");
}

} // namespace
} // namespace tomeric
