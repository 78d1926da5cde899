// Other programs' windows under a real window manager (openbox in a private
// Xvfb): the probe is found inside the manager's frame, moved and sized
// through _NET_MOVERESIZE_WINDOW with its frame counted, centred in the work
// area, raised and lowered through the manager's stacking, typed into
// after activation, minimised, and closed on request.

#include "actions/action_eval.h"
#include "app/x11_program_windows.h"
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

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <functional>
#include <vector>

namespace tomeric {
namespace {

using testing::Call;
using testing::Eventually;
using testing::ReadAll;
using testing::XvfbServer;

// A 32-bit list property of a window, as the window manager keeps it.
std::vector<unsigned long> Cardinals(Display* display, Window window, const char* property)
{
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 1024, False, AnyPropertyType,
                           &type, &format, &count, &after, &data) == Success && data) {
        if (format == 32)
            values.assign(reinterpret_cast<unsigned long*>(data), reinterpret_cast<unsigned long*>(data) + count);
        XFree(data);
    }
    return values;
}

class ProgramWindowsUnderWindowManager : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        server = std::make_unique<XvfbServer>();
        if (openbox.isEmpty() || !server->Running())
            return;
        manager = std::make_unique<QProcess>();
        manager->setProcessEnvironment(Environment());
        manager->start(openbox, {QStringLiteral("--sm-disable")});
        display = XOpenDisplay(server->Display().toLocal8Bit().constData());
        // The manager is up once it names its check window on the root.
        Eventually([] { return !Cardinals(display, DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK").empty(); });
    }
    static void TearDownTestSuite()
    {
        if (display)
            XCloseDisplay(display);
        display = nullptr;
        if (manager) {
            manager->terminate();
            if (!manager->waitForFinished(3000))
                manager->kill();
        }
        manager.reset();
        server.reset();
    }
    void SetUp() override
    {
        if (!manager || Cardinals(display, DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK").empty())
            GTEST_SKIP() << "Xvfb or openbox is not installed";
    }

    static QProcessEnvironment Environment()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), server->Display());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("HOME"), home.path()); // openbox keeps its session files there
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        return environment;
    }

    // The clients bottom to top, as the manager stacks them.
    static int StackingIndex(TWindowId window)
    {
        const auto clients = Cardinals(display, DefaultRootWindow(display), "_NET_CLIENT_LIST_STACKING");
        for (size_t i = 0; i < clients.size(); ++i)
            if (clients[i] == window)
                return int(i);
        return -1;
    }

    TWindowId StartProbe(QProcess& probe, const QString& log, TX11ProgramWindows& windows)
    {
        probe.setProcessEnvironment(Environment());
        probe.start(QStringLiteral(WINDOW_PROBE_PATH), {log});
        EXPECT_TRUE(probe.waitForStarted());
        TWindowId window = 0;
        Eventually([&] { return (window = windows.MainWindowOf(probe.processId())) != 0; });
        // Managed: framed and listed by the manager.
        Eventually([&] { return StackingIndex(window) >= 0; });
        return window;
    }

    static std::unique_ptr<XvfbServer> server;
    static std::unique_ptr<QProcess> manager;
    static Display* display;
    static QTemporaryDir home;
    QTemporaryDir dir;
};

std::unique_ptr<XvfbServer> ProgramWindowsUnderWindowManager::server;
std::unique_ptr<QProcess> ProgramWindowsUnderWindowManager::manager;
Display* ProgramWindowsUnderWindowManager::display = nullptr;
QTemporaryDir ProgramWindowsUnderWindowManager::home;

TEST_F(ProgramWindowsUnderWindowManager, ControlsAFramedWindowThroughTheManager)
{
    TX11ProgramWindows windows({}, server->Display());
    const QString log = dir.filePath(QStringLiteral("probe.log"));
    QProcess probe;
    const TWindowId window = StartProbe(probe, log, windows);
    ASSERT_NE(window, 0u);
    EXPECT_EQ(windows.FindWindowNamed(QStringLiteral("tomeric probe")), window);

    // The rectangle is the frame's: its title bar and borders are inside it.
    const auto frame = Cardinals(display, window, "_NET_FRAME_EXTENTS");
    ASSERT_EQ(frame.size(), 4u);
    EXPECT_GT(frame[2], 0u); // a title bar
    const auto position = [&] {
        ServiceReply read = windows.Control(Call("GetWindowPos", {"", "x", "y", "w", "h"}), window);
        return QStringList{read.Results[2], read.Results[3], read.Results[4], read.Results[5]};
    };
    EXPECT_EQ(windows.Control(Call("SetWindowPos", {"", "10", "20", "300", "200"}), window).ActionError, 0);
    EXPECT_EQ(position(), (QStringList{"10", "20", "300", "200"}));
    windows.Control(Call("SetWindowPos", {"", "-1", "-1", "-1", "-1"}), window);
    EXPECT_EQ(position(), (QStringList{"362", "284", "300", "200"}));

    // Stacking against a second probe, through the manager.
    QProcess other;
    const TWindowId otherWindow = StartProbe(other, dir.filePath(QStringLiteral("other.log")), windows);
    ASSERT_NE(otherWindow, 0u);
    windows.Control(Call("BringAppToFront", {""}), window);
    EXPECT_GT(StackingIndex(window), StackingIndex(otherWindow));
    windows.Control(Call("SendAppToBack", {""}), window);
    EXPECT_LT(StackingIndex(window), StackingIndex(otherWindow));

    // Keys go where the manager put the focus.
    EXPECT_EQ(windows.Control(Call("SendKeys", {"", "framed~"}), window).ActionError, 0);
    EXPECT_TRUE(Eventually([&] { return ReadAll(log).contains(QStringLiteral("KEYS:framed\n")); })) << ReadAll(log).toStdString();

    // Minimised: the manager iconifies it (WM_STATE 3).
    windows.Show(window, TShowMode::smMinimized);
    EXPECT_TRUE(Eventually([&] {
        const auto state = Cardinals(display, window, "WM_STATE");
        return !state.empty() && state[0] == IconicState;
    }));

    // Started quietly: minimised the moment the manager shows it, and still
    // found as the program's window.
    QProcess quiet;
    quiet.setProcessEnvironment(Environment());
    windows.BeginQuietStart(TShowMode::smMinimized);
    quiet.start(QStringLiteral(WINDOW_PROBE_PATH), {dir.filePath(QStringLiteral("quiet.log"))});
    ASSERT_TRUE(quiet.waitForStarted());
    windows.QuietStartIsFor(quiet.processId());
    TWindowId quietWindow = 0;
    EXPECT_TRUE(Eventually([&] { return (quietWindow = windows.MainWindowOf(quiet.processId())) != 0; }));
    windows.EndQuietStart();
    EXPECT_TRUE(Eventually([&] {
        const auto state = Cardinals(display, quietWindow, "WM_STATE");
        return !state.empty() && state[0] == IconicState;
    }));
    quiet.kill();
    quiet.waitForFinished();

    EXPECT_TRUE(windows.RequestClose(window, true));
    EXPECT_TRUE(probe.waitForFinished(5000));
    EXPECT_TRUE(ReadAll(log).endsWith(QStringLiteral("CLOSED\n")));
    other.kill();
    other.waitForFinished();
}

} // namespace
} // namespace tomeric
