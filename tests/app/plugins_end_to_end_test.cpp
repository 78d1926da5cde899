// The example plug-in in a publication, in the player and in
// tomeric-script: its commands run from buttons (GetVar/SetVar round trip,
// a file parameter handed over as a path, GetInfo, RunScript), it hears
// message 9 and then 1 at start, message 6 with the new page index and 5
// when the window moves, its transition draws a page change, and the loader
// refuses a second plug-in of the same name (234) and a library built for
// Windows.

#include "platform/string_table.h"
#include "player_test_support.h"

namespace tomeric::testing {
namespace {

const char* const kPlugInTour =
    "click Append\n"
    "click FileLine\n"
    "click Info\n"
    "click Next\n"
    "wait 300\n"
    "screenshot after.png\n"
    "run SetVar \"[WindowLeft]\" \"40\"\n"
    "vars vars.txt\n";

std::map<QString, QString> PlugInFiles(const QString& windowsLibrary)
{
    return {{QStringLiteral("example.so"), QStringLiteral(EXAMPLE_PLUGIN_PATH)},
            {QStringLiteral("example_twin.so"), QStringLiteral(EXAMPLE_PLUGIN_PATH)},
            {QStringLiteral("windows.dll"), windowsLibrary}};
}

// A file with the signature of a Windows DLL.
QString WriteWindowsLibrary(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("MZ\x90\0", 4) + QByteArray(60, '\0'));
    return path;
}

class PlugInsEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        windowsDir = std::make_unique<QTemporaryDir>();
        session = std::make_unique<PlayerSession>(
            QStringLiteral("plugins"), PlugInFiles(WriteWindowsLibrary(windowsDir->filePath(QStringLiteral("w.dll")))));
        // Without --fast, so that the page change runs its transition.
        QFile drive(session->Path(QStringLiteral("drive.txt")));
        ASSERT_TRUE(drive.open(QIODevice::WriteOnly));
        drive.write(kPlugInTour);
        drive.close();
        run = std::make_unique<TPlayerRun>(
            session->Run({QStringLiteral("/R"), session->Container(), QStringLiteral("--drive"), drive.fileName()}));
        vars = session->Variables(QStringLiteral("vars.txt"));
    }
    static void TearDownTestSuite()
    {
        run.reset();
        session.reset();
        windowsDir.reset();
    }
    static std::string Var(const char* name)
    {
        const auto found = vars.find(QString::fromLatin1(name).toUpper());
        return found == vars.end() ? std::string() : found->second.toStdString();
    }

    static inline std::unique_ptr<QTemporaryDir> windowsDir;
    static inline std::unique_ptr<PlayerSession> session;
    static inline std::unique_ptr<TPlayerRun> run;
    static inline std::map<QString, QString> vars;
};

TEST_F(PlugInsEndToEnd, ButtonsRunThePlugInsCommands)
{
    ASSERT_TRUE(run->finished);
    EXPECT_EQ(run->exitCode, 0) << run->err.toStdString();
    EXPECT_EQ(Var("Word"), "Hello") << "GetVar then SetVar of the caller's variable";
    EXPECT_EQ(Var("AfterAppend"), "yes");
    EXPECT_EQ(Var("Line"), "38 first line of the notes") << "an included file arrives as a path on disk";
    EXPECT_EQ(Var("Titles"), "Main[#13][#10]Second");
    EXPECT_EQ(Var("Version"), "561.0");
    EXPECT_EQ(Var("RunByPlugIn"), "yes");
}

TEST_F(PlugInsEndToEnd, ThePlugInHearsTheStartAndEachPageChange)
{
    const QString events = QString::fromStdString(Var("ExampleEvents"));
    EXPECT_TRUE(events.startsWith(QStringLiteral("9;1;"))) << "settings applied, then the start: " << events.toStdString();
    EXPECT_TRUE(events.contains(QStringLiteral("6:2;"))) << events.toStdString();
    EXPECT_TRUE(events.endsWith(QStringLiteral("5;"))) << "the window moved: " << events.toStdString();
}

TEST_F(PlugInsEndToEnd, ThePlugInsTransitionDrawsThePageChange)
{
    EXPECT_EQ(Var("ExampleEffect"), "Example Curtain;");
    const QImage after = session->Picture(QStringLiteral("after.png"));
    ASSERT_FALSE(after.isNull());
    EXPECT_TRUE(Near(after.pixelColor(5, 5), QColor(255, 0, 0))) << "the screenshot ends on the red second page";
    EXPECT_TRUE(Near(after.pixelColor(290, 190), QColor(255, 0, 0)));
}

TEST_F(PlugInsEndToEnd, RefusedLibrariesAreNamedInTheirMessageBox)
{
    EXPECT_EQ(run->out.count(QStringLiteral("Ce nom de module externe (Plug-in) entre en conflit")), 1)
        << run->out.toStdString();
    EXPECT_EQ(run->out.count(QStringLiteral("[#13]") + Message(msgPlugInBuiltForWindows)), 1) << run->out.toStdString();
}

TEST_F(PlugInsEndToEnd, TomericScriptLoadsTheContainersPlugIns)
{
    QFile script(session->Path(QStringLiteral("script.tom")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("SetVar \"[Word]\" \"Hel\"\r\nExampleAppend \"[Word]\" \"lo\"\r\n"
                 "ExampleFileLine \"notes.txt\" \"[Line]\"\r\nGotoPage \"Second\"\r\n");
    script.close();
    QProcess runner;
    runner.setWorkingDirectory(session->Path(QString()));
    runner.start(QStringLiteral(TOMERIC_SCRIPT_PATH),
                 {QStringLiteral("--pub"), session->Container(), QStringLiteral("--vars"), QStringLiteral("-"),
                  script.fileName()});
    ASSERT_TRUE(runner.waitForFinished(60000));
    const QString out = QString::fromUtf8(runner.readAllStandardOutput());
    EXPECT_EQ(runner.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("\nWord=Hello\r\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("\nLine=38 first line of the notes\r\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("\nExampleEvents=9;1;6:2;\r\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("DIALOG AlertBox \"Tomeric 5 Player\""))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("entre en conflit"))) << out.toStdString();
}

} // namespace
} // namespace tomeric::testing
