// Another publication run in the same window (RunTomeric) and the single
// instance of a publication: qxplay5 driven off-screen, checked through the
// variables its driver script writes.

#include "player_test_support.h"

#include "app/work_form.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace tomeric::testing {
namespace {

// chain_a's close is allowed only when [AllowClose] is TRUE; chain_b's always.
class ChainSession : public PlayerSession {
public:
    ChainSession() : PlayerSession(QStringLiteral("chain_a"))
    {
        TFolderPackOptions options;
        options.sourceFolder = QStringLiteral(TOMERIC_SOURCE_DIR "/tests/publications/chain_b");
        options.outputPath = Path(QStringLiteral("chain_b.tpk"));
        EXPECT_TRUE(PackFolder(options).ok);
    }
};

// The programs chain_a watches end with it: their variables are emptied and
// their end actions never run in chain_b.
TEST(RunTomeric, IntoAnotherPublicationAndBackKeepsTheVariables)
{
    ChainSession session;
    const TPlayerRun run = session.Drive(QStringLiteral("run SetVar \"[Kept]\" \"yes\"\n"
                                                        "run Run \"sleep\" \"30\" \"\" \"SetVar [#34]EndRan[#34] [#34]yes[#34]\" \"[sleeper]\"\n"
                                                        "run SetVar \"[SleeperPid]\" \"[sleeper.ProcessID]\"\n"
                                                        "run SetVar \"[AllowClose]\" \"TRUE\"\n"
                                                        "run RunTomeric \"chain_b.tpk\" \"\"\n"
                                                        "wait 300\n"
                                                        "vars in_b.txt\n"
                                                        "screenshot b.png\n"
                                                        "run RunTomeric \"chain_a.tpk\" \"\"\n"
                                                        "wait 300\n"
                                                        "vars back.txt\n"
                                                        "quit\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto inB = session.Variables(QStringLiteral("in_b.txt"));
    EXPECT_EQ(inB.at(QStringLiteral("KEPT")), QStringLiteral("yes"));
    EXPECT_EQ(inB.at(QStringLiteral("BSTARTS")), QStringLiteral("B"));
    const QString sleeper = inB.at(QStringLiteral("SLEEPERPID"));
    EXPECT_FALSE(sleeper.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/proc/") + sleeper));
    EXPECT_EQ(inB.count(QStringLiteral("SLEEPER")), 0u);
    EXPECT_EQ(inB.count(QStringLiteral("ENDRAN")), 0u);
    // chain_b's only page is green.
    EXPECT_TRUE(Near(session.Picture(QStringLiteral("b.png")).pixelColor(10, 10), QColor(0, 255, 0)));
    // Back in chain_a its start-up action ran a second time on kept variables.
    const auto back = session.Variables(QStringLiteral("back.txt"));
    EXPECT_EQ(back.at(QStringLiteral("ASTARTS")), QStringLiteral("AA"));
    EXPECT_EQ(back.at(QStringLiteral("BSTARTS")), QStringLiteral("B"));
}

TEST(RunTomeric, ClearVarsStartsTheNextPublicationWithoutVariables)
{
    ChainSession session;
    const TPlayerRun run = session.Drive(QStringLiteral("run SetVar \"[Kept]\" \"yes\"\n"
                                                        "run SetVar \"[AllowClose]\" \"TRUE\"\n"
                                                        "run RunTomeric \"chain_b.tpk\" \"CLEARVARS\"\n"
                                                        "wait 300\n"
                                                        "vars in_b.txt\n"
                                                        "quit\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto inB = session.Variables(QStringLiteral("in_b.txt"));
    EXPECT_EQ(inB.count(QStringLiteral("KEPT")), 0u);
    EXPECT_EQ(inB.count(QStringLiteral("ASTARTS")), 0u);
    EXPECT_EQ(inB.at(QStringLiteral("BSTARTS")), QStringLiteral("B"));
}

TEST(RunTomeric, AMissingFileIsReportedAndThePublicationGoesOn)
{
    ChainSession session;
    const TPlayerRun run = session.Drive(QStringLiteral("run SetVar \"[AllowClose]\" \"TRUE\"\n"
                                                        "run RunTomeric \"nowhere.tpk\" \"\"\n"
                                                        "wait 100\n"
                                                        "vars after.txt\n"
                                                        "quit\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto after = session.Variables(QStringLiteral("after.txt"));
    EXPECT_EQ(after.at(QStringLiteral("LASTERROR")), QStringLiteral("Fichier introuvable !"));
    EXPECT_EQ(after.at(QStringLiteral("ASTARTS")), QStringLiteral("A"));
}

TEST(RunTomeric, ACloseRefusedByTheShutdownActionStopsTheSwitch)
{
    ChainSession session;
    const TPlayerRun run = session.Drive(QStringLiteral("run RunTomeric \"chain_b.tpk\" \"\"\n"
                                                        "wait 300\n"
                                                        "vars still_a.txt\n"
                                                        "run SetVar \"[AllowClose]\" \"TRUE\"\n"
                                                        "quit\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto still = session.Variables(QStringLiteral("still_a.txt"));
    EXPECT_EQ(still.count(QStringLiteral("BSTARTS")), 0u);
    EXPECT_EQ(still.at(QStringLiteral("ASTARTS")), QStringLiteral("A"));
}

TEST(ChainOptions, OptionWordsAndFullScreenStyles)
{
    struct Case {
        const char* options;
        int style;
        bool fullScreen, clearVariables, closeWindows;
    };
    const Case cases[] = {
        {"", 0, false, false, false},
        {"CLEARVARS", 1, true, true, false},
        {"closewindows", 3, true, false, true},
        {"CLOSEWINDOWS CLEARVARS", 2, false, true, true},
    };
    for (const Case& c : cases) {
        const TChainOptions chain = ParseChainOptions(QString::fromLatin1(c.options), c.style);
        EXPECT_EQ(chain.fullScreen, c.fullScreen) << c.options;
        EXPECT_EQ(chain.clearVariables, c.clearVariables) << c.options;
        EXPECT_EQ(chain.closeWindows, c.closeWindows) << c.options;
    }
}

// ---- single instance ------------------------------------------------------------

TEST(SingleInstance, ASecondCopyHandsItsArgumentsToTheFirstAndEndsWithoutAWindow)
{
    PlayerSession session(QStringLiteral("backgrounds"));
    TFolderPackOptions options;
    options.sourceFolder = QStringLiteral(TOMERIC_SOURCE_DIR "/tests/publications/single");
    options.outputPath = session.Path(QStringLiteral("single.tpk"));
    options.singleInstance = true;
    ASSERT_TRUE(PackFolder(options).ok);

    QFile script(session.Path(QStringLiteral("first.txt")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("vars ready.txt\nwait 4000\nvars after.txt\nquit\n");
    script.close();

    QProcess first;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("TOMERIC_REGISTRY_FILE"), session.RegistryFile());
    first.setProcessEnvironment(environment);
    first.setWorkingDirectory(session.Path(QString()));
    first.start(QStringLiteral(QXPLAY5_PATH), {QStringLiteral("/R"), options.outputPath, QStringLiteral("--drive"),
                                                script.fileName(), QStringLiteral("--fast")});
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(session.Path(QStringLiteral("ready.txt"))) && clock.elapsed() < 30000)
        QThread::msleep(50);
    ASSERT_TRUE(QFile::exists(session.Path(QStringLiteral("ready.txt")))) << first.readAllStandardError().toStdString();

    const TPlayerRun second = session.Run({QStringLiteral("/R"), options.outputPath, QStringLiteral("hello")});
    ASSERT_TRUE(second.finished);
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    // No window and no pages drawn in its place.
    EXPECT_FALSE(second.out.contains(QStringLiteral("pages drawn"))) << second.out.toStdString();

    ASSERT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    const auto after = session.Variables(QStringLiteral("after.txt"));
    EXPECT_TRUE(after.at(QStringLiteral("RECEIVED")).contains(QStringLiteral("hello")))
        << after.at(QStringLiteral("RECEIVED")).toStdString();
    EXPECT_EQ(after.at(QStringLiteral("CALLS")), QStringLiteral("x"));
}

} // namespace
} // namespace tomeric::testing
