// External control over D-Bus: a driven publication under a private session
// bus (dbus-run-session) answers tomeric-remote's list, run and get, and a
// DDE-style macro sent with dbus-send, and
// closes on a remote Exit; without a session bus the player says once that
// external control is off and runs as before.

#include "player_test_support.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace tomeric {
namespace {

QString ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QProcessEnvironment WithoutSessionBus()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    return environment;
}

// The session: the player starts in the background, the client waits for
// its service, then drives it.
constexpr const char* kSession = R"sh(
"$PLAYER" /R "$CONTAINER" --drive "$DRIVE" --fast 2> player.err &
player=$!
tries=0
until [ -n "$("$REMOTE" list)" ]; do
  tries=$((tries + 1)); [ $tries -gt 200 ] && { kill $player; exit 3; }
  sleep 0.05
done
"$REMOTE" list > list.txt
"$REMOTE" run 'SetVar "[Greeting]" "hello from [PubTitle]"'
"$REMOTE" get Greeting > get.txt
"$REMOTE" --publication single get "[Greeting]" >> get.txt
"$REMOTE" --publication nosuch get Greeting 2> nosuch.txt || echo "exit $?" >> nosuch.txt
dbus-send --session --print-reply=literal --dest=org.tomeric.Publication.single /org/tomeric/DdeServer \
  org.tomeric.DdeServer.Execute string:'SetVar "[Score]" "42"
[Score]
SetVar "[Score]" "43"' > execute.txt
"$REMOTE" get Score >> execute.txt
"$REMOTE" run 'Exit "" ""'
wait $player
)sh";

TEST(ExternalControl, DrivenPublicationAnswersTheRemoteClient)
{
    const QString session = QStandardPaths::findExecutable(QStringLiteral("dbus-run-session"));
    if (session.isEmpty())
        GTEST_SKIP() << "dbus-run-session is not installed";
    testing::PlayerSession player(QStringLiteral("single"));
    QFile drive(player.Path(QStringLiteral("drive.txt")));
    ASSERT_TRUE(drive.open(QIODevice::WriteOnly));
    drive.write("wait 20000\n");
    drive.close();

    QProcess shell;
    QProcessEnvironment environment = WithoutSessionBus();
    environment.insert(QStringLiteral("PLAYER"), QStringLiteral(QXPLAY5_PATH));
    environment.insert(QStringLiteral("REMOTE"), QStringLiteral(TOMERIC_REMOTE_PATH));
    environment.insert(QStringLiteral("CONTAINER"), player.Container());
    environment.insert(QStringLiteral("DRIVE"), drive.fileName());
    environment.insert(QStringLiteral("TOMERIC_REGISTRY_FILE"), player.RegistryFile());
    shell.setProcessEnvironment(environment);
    shell.setWorkingDirectory(player.Path(QString()));
    shell.start(session, {QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"), QString::fromLatin1(kSession)});
    ASSERT_TRUE(shell.waitForFinished(30000));
    EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();

    EXPECT_EQ(ReadAll(player.Path(QStringLiteral("list.txt"))), QStringLiteral("single\n"));
    EXPECT_EQ(ReadAll(player.Path(QStringLiteral("get.txt"))), QStringLiteral("hello from Single\nhello from Single\n"));
    EXPECT_EQ(ReadAll(player.Path(QStringLiteral("nosuch.txt"))),
              QStringLiteral("tomeric-remote: no running publication named nosuch\nexit 1\n"));
    // The DDE macro: a "[name]" line reads into the item, other lines run.
    EXPECT_EQ(ReadAll(player.Path(QStringLiteral("execute.txt"))).simplified(), QStringLiteral("4243"));
    EXPECT_FALSE(ReadAll(player.Path(QStringLiteral("player.err"))).contains(QStringLiteral("External control is off")));
}

TEST(ExternalControl, WithoutSessionBusThePlayerSaysSoOnce)
{
    testing::PlayerSession player(QStringLiteral("single"));
    QFile drive(player.Path(QStringLiteral("drive.txt")));
    ASSERT_TRUE(drive.open(QIODevice::WriteOnly));
    drive.write("run SetVar \"[x]\" \"1\"\nvars vars.txt\n");
    drive.close();
    QProcess run;
    run.setProcessEnvironment(WithoutSessionBus());
    run.setWorkingDirectory(player.Path(QString()));
    run.start(QStringLiteral(QXPLAY5_PATH),
              {QStringLiteral("/R"), player.Container(), QStringLiteral("--drive"), drive.fileName(), QStringLiteral("--fast")});
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(run.readAllStandardError()).count(QStringLiteral("External control is off")), 1);
    EXPECT_EQ(player.Variables(QStringLiteral("vars.txt")).at(QStringLiteral("X")), QStringLiteral("1"));
}

TEST(ExternalControl, RemoteClientExplainsItself)
{
    QProcess remote;
    remote.start(QStringLiteral(TOMERIC_REMOTE_PATH), {QStringLiteral("--help")});
    ASSERT_TRUE(remote.waitForFinished());
    EXPECT_EQ(remote.exitCode(), 0);
    EXPECT_TRUE(remote.readAllStandardOutput().contains("tomeric-remote [--publication NAME] run ACTION"));
    remote.start(QStringLiteral(TOMERIC_REMOTE_PATH), {QStringLiteral("fly")});
    ASSERT_TRUE(remote.waitForFinished());
    EXPECT_EQ(remote.exitCode(), 2);
}

} // namespace
} // namespace tomeric
