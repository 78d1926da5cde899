// The publication at another size on a real X server (Xvfb): --scale 2 and
// --fullscreen draw it larger, the X server's own clicks at the scaled
// places reach its objects, full screen letterboxes the page in the
// publication's background colour, and F11 goes back to the window.

#include "player_test_support.h"
#include "xvfb_server.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <functional>
#include <optional>

// The X headers define macros (Bool, None, Status) that clash with Qt's
// names: they come last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace tomeric::testing {
namespace {

// The test's own connection to the X server: it finds the player's window
// and clicks and looks where a person would, in device pixels.
class XScreen {
public:
    explicit XScreen(const QString& display) : display_(XOpenDisplay(display.toLocal8Bit().constData())) {}
    ~XScreen()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    bool Open() const { return display_ != nullptr; }

    // Where the shown window titled `title` lies on the screen.
    std::optional<QRect> WaitForWindow(const char* title, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            if (const auto origin = FindWindow(title))
                return origin;
            QThread::msleep(50);
        }
        return std::nullopt;
    }

    void Click(QPoint at)
    {
        XTestFakeMotionEvent(display_, 0, at.x(), at.y(), CurrentTime);
        XFlush(display_);
        QThread::msleep(50);
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
        XFlush(display_);
        QThread::msleep(50);
        XTestFakeButtonEvent(display_, 1, False, CurrentTime);
        XFlush(display_);
    }

    QColor Pixel(QPoint at)
    {
        XImage* image = XGetImage(display_, DefaultRootWindow(display_), at.x(), at.y(), 1, 1, AllPlanes, ZPixmap);
        if (!image)
            return {};
        const unsigned long pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return QColor(int((pixel >> 16) & 0xff), int((pixel >> 8) & 0xff), int(pixel & 0xff));
    }

private:
    std::optional<QRect> FindWindow(const char* title)
    {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count))
            return std::nullopt;
        std::optional<QRect> found;
        for (unsigned i = 0; i < count && !found; ++i) {
            XWindowAttributes attributes;
            char* name = nullptr;
            if (!XGetWindowAttributes(display_, children[i], &attributes) || attributes.map_state != IsViewable ||
                !XFetchName(display_, children[i], &name) || !name)
                continue;
            if (qstrcmp(name, title) == 0) {
                int x = 0, y = 0;
                Window child = 0;
                XTranslateCoordinates(display_, children[i], root, 0, 0, &x, &y, &child);
                found = QRect(x, y, attributes.width, attributes.height);
            }
            XFree(name);
        }
        if (children)
            XFree(children);
        return found;
    }

    Display* display_ = nullptr;
};

bool WaitForFile(const QString& path, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(path)) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QThread::msleep(50);
    }
    QThread::msleep(200);
    return true;
}

// The player under Xvfb on the publication folder `publication` (from the
// top of the source tree), driven by `script`, while the test acts on the
// screen with `meanwhile`, given the top-left corner of the page area: the
// bottom `pageHeight` device pixels of the window (a menu bar may be above).
struct ScaledRun {
    ScaledRun(const QString& publication, const char* title, int pageHeight, const QString& screen,
              const QStringList& options, const QString& script,
              const std::function<void(XScreen&, QPoint)>& meanwhile)
        : xvfb(screen), session(QStringLiteral("screen_fit"))
    {
        if (!xvfb.Running())
            return;
        TFolderPackOptions pack;
        pack.sourceFolder = QStringLiteral(TOMERIC_SOURCE_DIR "/") + publication;
        pack.outputPath = session.Path(QStringLiteral("shown.tpk"));
        const TFolderPackReport packed = PackFolder(pack);
        EXPECT_TRUE(packed.ok) << packed.error.toStdString();
        QFile drive(session.Path(QStringLiteral("drive.txt")));
        EXPECT_TRUE(drive.open(QIODevice::WriteOnly));
        drive.write("vars ready.txt\n" + script.toUtf8());
        drive.close();
        QProcess player;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("DISPLAY"), xvfb.Display());
        environment.remove(QStringLiteral("QT_SCALE_FACTOR"));
        environment.insert(QStringLiteral("TOMERIC_REGISTRY_FILE"), session.RegistryFile());
        player.setProcessEnvironment(environment);
        player.setWorkingDirectory(session.Path(QString()));
        player.start(QStringLiteral(QXPLAY5_PATH), QStringList{QStringLiteral("/R"), pack.outputPath} + options +
                                                       QStringList{QStringLiteral("--drive"), drive.fileName(),
                                                                   QStringLiteral("--fast")});
        XScreen x(xvfb.Display());
        EXPECT_TRUE(x.Open());
        // The driver starts once the publication runs (the splash screen,
        // which has the same title, is gone), and says so.
        const bool ready = WaitForFile(session.Path(QStringLiteral("ready.txt")), 20000);
        const auto window = ready && x.Open() ? x.WaitForWindow(title, 5000) : std::nullopt;
        EXPECT_TRUE(window.has_value()) << "the player's window did not show";
        if (window)
            meanwhile(x, QPoint(window->left(), window->bottom() + 1 - pageHeight));
        finished = player.waitForFinished(30000);
        if (!finished)
            player.kill();
        exitCode = player.exitCode();
        out = QString::fromUtf8(player.readAllStandardOutput());
        err = QString::fromUtf8(player.readAllStandardError());
        vars = session.Variables(QStringLiteral("vars.txt"));
    }

    std::string Var(const char* name) const
    {
        const auto found = vars.find(QString::fromLatin1(name));
        return found == vars.end() ? std::string() : found->second.toStdString();
    }

    XvfbServer xvfb;
    PlayerSession session;
    bool finished = false;
    int exitCode = -1;
    QString out, err;
    std::map<QString, QString> vars;
};

// The driver waits while the test clicks, then reports and leaves full
// screen.
const char* const kWaitThenReport = "wait 2500\n"
                                    "screenshot shot.png\n"
                                    "run SetVar \"[FullHeight]\" \"[WindowHeight]\"\n"
                                    "key F11\n"
                                    "wait 300\n"
                                    "run SetVar \"[AfterF11Height]\" \"[WindowHeight]\"\n"
                                    "vars vars.txt\n";

TEST(ScreenFit, ScaleTwoShowsTheDemoTwiceItsSizeAndTheServersClickReachesItsButton)
{
    // The demo's 800 x 600 become 1600 x 1200 device pixels; its About
    // button (340,470 120x32) has its centre at 800,972 of the window.
    const QPoint about(800, 972);
    const QPoint background(200, 100); // the page's gradient, which no pointer changes
    QColor onScreen;
    ScaledRun run(QStringLiteral("examples/demo"), "The Little Museum of Clocks", 1200, QStringLiteral("1920x1440x24"),
                  {QStringLiteral("--scale"), QStringLiteral("2")}, QStringLiteral("wait 3000\nscreenshot shot.png\n"),
                  [&](XScreen& x, QPoint origin) {
                      onScreen = x.Pixel(origin + background);
                      // Where the button would be without the scale: the title.
                      x.Click(origin + about / 2);
                      x.Click(origin + about);
                  });
    if (!run.xvfb.Running())
        GTEST_SKIP() << "no Xvfb";
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.count(QStringLiteral("DIALOG AlertBox \"About the museum\"")), 1) << run.out.toStdString();
    const QImage shot = run.session.Picture(QStringLiteral("shot.png"));
    EXPECT_EQ(shot.size(), QSize(1600, 1200));
    // The screenshot is what the screen shows (the X server's gradient may
    // differ by a step).
    const QColor shown = shot.pixelColor(background);
    EXPECT_LE(std::abs(shown.red() - onScreen.red()) + std::abs(shown.green() - onScreen.green()) +
                  std::abs(shown.blue() - onScreen.blue()),
              9)
        << shown.name().toStdString() << " " << onScreen.name().toStdString();
}

TEST(ScreenFit, FullScreenFitsTheScreenLetterboxedAndF11GoesBack)
{
    // 1024 x 768 over 400 x 200: a factor of 2.56, so the page is 1024 x 512
    // with 128 rows of the background colour above and below; the button's
    // centre is at the screen's centre.
    QColor above, below, page;
    ScaledRun run(QStringLiteral("tests/publications/screen_fit"), "Screen fit", 768, QStringLiteral("1024x768x24"),
                  {QStringLiteral("--fullscreen")}, QString::fromUtf8(kWaitThenReport), [&](XScreen& x, QPoint) {
                      above = x.Pixel(QPoint(512, 60));
                      below = x.Pixel(QPoint(512, 700));
                      page = x.Pixel(QPoint(100, 200));
                      x.Click(QPoint(512, 384));
                  });
    if (!run.xvfb.Running())
        GTEST_SKIP() << "no Xvfb";
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(above, QColor(255, 0, 0));
    EXPECT_EQ(below, QColor(255, 0, 0));
    EXPECT_EQ(page, QColor(0, 255, 0));
    EXPECT_EQ(run.Var("STAMPED"), "s");
    // Full screen, the window is the screen in publication pixels (768 /
    // 2.56); F11 brings back the publication's own 200-pixel window.
    EXPECT_EQ(run.Var("FULLHEIGHT"), "300");
    EXPECT_EQ(run.Var("AFTERF11HEIGHT"), "200");
    EXPECT_EQ(run.session.Picture(QStringLiteral("shot.png")).size(), QSize(1024, 512));
}

TEST(ScreenFit, WindowedShowsAKioskPublicationInAnOrdinaryWindow)
{
    // A full-screen publication keeps its style unless the user asks for a
    // window; the offscreen screen is larger than the publication.
    PlayerSession session(QStringLiteral("screen_kiosk"));
    const char* const script = "run SetVar \"[Client]\" \"[ClientHeight]\"\n"
                               "run SetVar \"[Window]\" \"[WindowHeight]\"\n"
                               "vars vars.txt\n";
    ASSERT_EQ(session.Drive(QString::fromUtf8(script)).exitCode, 0);
    auto vars = session.Variables(QStringLiteral("vars.txt"));
    EXPECT_GT(vars[QStringLiteral("CLIENT")].toInt(), 200);
    ASSERT_EQ(session.Drive(QString::fromUtf8(script), {QStringLiteral("--windowed")}).exitCode, 0);
    vars = session.Variables(QStringLiteral("vars.txt"));
    EXPECT_EQ(vars[QStringLiteral("CLIENT")].toStdString(), "200");
    // A frame with a title bar around it, where the publication has none.
    EXPECT_GT(vars[QStringLiteral("WINDOW")].toInt(), 200);
}

} // namespace
} // namespace tomeric::testing
