// The player's special ways of running: screen-saver modes with MOUSEEXIT,
// tray publications, and the kiosk settings this system cannot grant.

#include "app/system_modes.h"
#include "app/tray_icon.h"
#include "package/folder_packer.h"

#include "gui_application.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

namespace tomeric {
namespace {

TEST(ScreenSaverSettings, RunModeShowsFullScreenOnTopWithTheSystemKeysBlocked)
{
    TPublicationSettings settings;
    ApplyScreenSaverSettings(settings, ssRun);
    EXPECT_EQ(settings.windowStyle, 1);
    EXPECT_EQ(settings.windowOrder, 1);
    EXPECT_TRUE(settings.noCtrlAltDel);
    EXPECT_FALSE(StartsOnConfigPage(ssRun));
}

TEST(ScreenSaverSettings, ConfigurationModesShowAnOrdinaryWindowOnTheConfigPage)
{
    for (TScreenSaverMode mode : {ssConfigure, ssConfigureNoParent}) {
        TPublicationSettings settings;
        settings.windowStyle = 3;
        ApplyScreenSaverSettings(settings, mode);
        EXPECT_EQ(settings.windowStyle, 0);
        EXPECT_EQ(settings.windowProps, 13);
        EXPECT_TRUE(StartsOnConfigPage(mode));
    }
    TPublicationSettings untouched;
    ApplyScreenSaverSettings(untouched, ssNone);
    EXPECT_EQ(untouched.windowStyle, TPublicationSettings().windowStyle);
    EXPECT_FALSE(StartsOnConfigPage(ssNone));
}

TEST(MouseExit, OnlyAMovementOutOfTheThreeByThreeSquareCounts)
{
    const QPoint first(100, 100);
    EXPECT_FALSE(TMouseExitFilter::MovedAway(first, first));
    EXPECT_FALSE(TMouseExitFilter::MovedAway(first, QPoint(101, 99)));
    EXPECT_TRUE(TMouseExitFilter::MovedAway(first, QPoint(102, 100)));
    EXPECT_TRUE(TMouseExitFilter::MovedAway(first, QPoint(100, 98)));
}

QMouseEvent MoveTo(QPoint position)
{
    return QMouseEvent(QEvent::MouseMove, QPointF(position), QPointF(position), QPointF(position),
                       Qt::NoButton, Qt::NoButton, Qt::NoModifier);
}

TEST(MouseExit, KeysButtonsAndMovementsAskToCloseOnceUntilRefused)
{
    testing::GuiApplication();
    QWidget target;
    int requests = 0;
    bool allow = false;
    TMouseExitFilter filter([&] {
        ++requests;
        return allow;
    });

    QMouseEvent firstSeen = MoveTo({10, 10});
    filter.eventFilter(&target, &firstSeen);
    QMouseEvent jitter = MoveTo({11, 11});
    filter.eventFilter(&target, &jitter);
    EXPECT_EQ(requests, 0) << "the first position and a one-pixel jitter never close";

    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    EXPECT_TRUE(filter.eventFilter(&target, &key)) << "the key that closes is not typed anywhere";
    EXPECT_EQ(requests, 1);
    QMouseEvent away = MoveTo({30, 30});
    filter.eventFilter(&target, &away);
    EXPECT_EQ(requests, 2) << "a refused close lets the next event ask again";

    allow = true;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(30, 30), QPointF(30, 30), QPointF(30, 30),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    filter.eventFilter(&target, &press);
    filter.eventFilter(&target, &away);
    filter.eventFilter(&target, &key);
    EXPECT_EQ(requests, 3) << "once closing, further events do not ask again";
}

TEST(TrayIcon, TheHintIsTheShortPartCutTo63Characters)
{
    EXPECT_EQ(TTrayIcon::ShortHint(QStringLiteral("Clock|Shows the time")), QStringLiteral("Clock"));
    EXPECT_EQ(TTrayIcon::ShortHint(QString(80, QLatin1Char('x'))).size(), 63);
    EXPECT_EQ(TTrayIcon::ShortHint(QString()), QString());
}

// ---- the player run as a screen saver and as a tray publication -------------

class SystemModeRuns : public ::testing::Test {
protected:
    // Packs tests/publications/saver behind a copy of the player named `name`.
    QString BuildPlayer(const QString& name, TApplicationKind kind)
    {
        TFolderPackOptions options;
        options.sourceFolder = QStringLiteral(TOMERIC_SOURCE_DIR "/tests/publications/saver");
        options.outputPath = dir_.filePath(name);
        options.stubPath = QStringLiteral(QXPLAY5_PATH);
        options.applicationKind = kind;
        const TFolderPackReport report = PackFolder(options);
        EXPECT_TRUE(report.ok) << report.error.toStdString();
        QFile::setPermissions(options.outputPath, QFile::permissions(options.outputPath) |
                                                      QFileDevice::ExeOwner | QFileDevice::ReadOwner);
        return options.outputPath;
    }

    struct Outcome {
        bool finished = false;
        int exitCode = -1;
        QString err;
    };

    Outcome Run(const QString& program, const QStringList& arguments, const QString& driveScript = {})
    {
        QStringList all = arguments;
        if (!driveScript.isEmpty()) {
            QFile file(dir_.filePath(QStringLiteral("drive.txt")));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(driveScript.toUtf8());
            file.close();
            all << QStringLiteral("--drive") << file.fileName() << QStringLiteral("--fast");
        }
        QProcess player;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("TOMERIC_REGISTRY_FILE"), dir_.filePath(QStringLiteral("registry.json")));
        player.setProcessEnvironment(environment);
        player.setWorkingDirectory(dir_.path());
        player.start(program, all);
        Outcome outcome;
        outcome.finished = player.waitForFinished(60000);
        if (!outcome.finished)
            player.kill();
        outcome.exitCode = player.exitCode();
        outcome.err = QString::fromUtf8(player.readAllStandardError());
        return outcome;
    }

    QString Read(const QString& name) const
    {
        QFile file(dir_.filePath(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }

    QTemporaryDir dir_;
};

TEST_F(SystemModeRuns, ConfigurationStartsOnTheConfigPage)
{
    const QString saver = BuildPlayer(QStringLiteral("clock.scr"), TApplicationKind::akScreenSaver);
    const Outcome outcome = Run(saver, {QStringLiteral("/c")}, QStringLiteral("vars vars.txt\n"));
    ASSERT_TRUE(outcome.finished);
    EXPECT_TRUE(Read(QStringLiteral("vars.txt")).contains(QStringLiteral("Entered=Config"))) << outcome.err.toStdString();
}

TEST_F(SystemModeRuns, RunModeClosesOnAKeyAndSaysTheSystemKeysStayOpen)
{
    const QString saver = BuildPlayer(QStringLiteral("clock.scr"), TApplicationKind::akScreenSaver);
    const Outcome outcome =
        Run(saver, {QStringLiteral("/s")}, QStringLiteral("vars before.txt\nkey a\nwait 500\nvars after.txt\n"));
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(Read(QStringLiteral("before.txt")).contains(QStringLiteral("Entered=Start")));
    EXPECT_TRUE(Read(QStringLiteral("after.txt")).isEmpty()) << "the key closed the publication";
    EXPECT_EQ(outcome.err.count(QStringLiteral("NOCTRLALTDEL")), 1) << outcome.err.toStdString();
}

TEST_F(SystemModeRuns, PreviewAndPasswordChangeEndAtOnce)
{
    const QString saver = BuildPlayer(QStringLiteral("clock.scr"), TApplicationKind::akScreenSaver);
    for (const QString& mode : {QStringLiteral("/p"), QStringLiteral("/a")}) {
        const Outcome outcome = Run(saver, {mode, QStringLiteral("1234")});
        ASSERT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_TRUE(outcome.err.contains(QStringLiteral("screen-saver"))) << outcome.err.toStdString();
    }
}

TEST_F(SystemModeRuns, ATrayPublicationWithoutANotificationAreaRunsInItsWindow)
{
    const QString tray = BuildPlayer(QStringLiteral("clock"), TApplicationKind::akTray);
    const Outcome outcome = Run(tray, {}, QStringLiteral("vars vars.txt\n"));
    ASSERT_TRUE(outcome.finished);
    EXPECT_TRUE(outcome.err.contains(QStringLiteral("notification area"))) << outcome.err.toStdString();
    EXPECT_TRUE(Read(QStringLiteral("vars.txt")).contains(QStringLiteral("Entered=Start")));
}

} // namespace
} // namespace tomeric
