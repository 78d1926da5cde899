// The command line: the container to open, switches, [CommandLine] and the
// screen-saver run modes.

#include "package/command_line.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tomeric;

namespace {

TEST(StandalonePlayer, IsRecognisedByItsBaseNameInAnyCase) {
    const struct {
        const char* path;
        bool standalone;
    } cases[] = {{"/usr/bin/qxplay5", true},       {"C:\\Tomeric\\QXPlay5.exe", true},
                 {"/opt/QXPLAY5.EXE", true},       {"qxplay5", true},
                 {"/usr/bin/qxplay5x", false},     {"/home/ann/demo.exe", false},
                 {"/usr/bin/qxplay5.scr", false}};
    for (const auto& c : cases)
        EXPECT_EQ(IsStandalonePlayer(c.path), c.standalone) << c.path;
}

class ContainerDiscovery : public ::testing::Test {
protected:
    void SetUp() override {
        container = dir.filePath("Demo.exe");
        QFile file(container);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QTemporaryDir dir;
    QString container;
};

TEST_F(ContainerDiscovery, ACompiledPublicationIsItsOwnContainer) {
    const TContainerChoice choice = DiscoverContainer({"/home/ann/demo.exe", "/kStart"});
    EXPECT_TRUE(choice.found);
    EXPECT_FALSE(choice.standalone);
    EXPECT_EQ(choice.containerPath, "/home/ann/demo.exe");
    EXPECT_EQ(choice.firstTextArgument, 1);
}

TEST_F(ContainerDiscovery, TheStandalonePlayerTakesTheContainerFromSlashR) {
    for (const char* r : {"/R", "/r", "-R"}) {
        const TContainerChoice choice = DiscoverContainer({"/usr/bin/qxplay5", r, container, "/B"});
        EXPECT_TRUE(choice.found) << r;
        EXPECT_TRUE(choice.standalone);
        EXPECT_EQ(choice.containerPath, container);
        EXPECT_EQ(choice.firstTextArgument, 3);
    }
}

TEST_F(ContainerDiscovery, NamesAreMatchedIgnoringCaseLikeWindows) {
    const TContainerChoice choice =
        DiscoverContainer({"qxplay5", "/R", dir.filePath("DEMO.EXE")});
    EXPECT_TRUE(choice.found);
    EXPECT_EQ(choice.containerPath, container);
}

TEST_F(ContainerDiscovery, ASingleArgumentNamingAContainerOpensIt) {
    const TContainerChoice choice = DiscoverContainer({"qxplay5", container});
    EXPECT_TRUE(choice.found);
    EXPECT_EQ(choice.containerPath, container);
    EXPECT_EQ(choice.firstTextArgument, 2);
}

TEST_F(ContainerDiscovery, AMissingContainerIsNotFound) {
    const QStringList cases[] = {
        {"qxplay5"},
        {"qxplay5", "/R"},
        {"qxplay5", "/R", dir.filePath("missing.exe")},
        {"qxplay5", "/X", container},
        {"qxplay5", dir.filePath("missing.exe")},
        {"qxplay5", "/R", dir.path()}, // a folder is no container
    };
    for (const QStringList& args : cases)
        EXPECT_FALSE(DiscoverContainer(args).found) << args.join(' ').toStdString();
}

TEST(CommandLineText, JoinsTheArgumentsAfterTheContainerWithCR) {
    const QStringList args = {"qxplay5", "/R", "pub.exe", "/B", "hello world"};
    EXPECT_EQ(CommandLineText(args, 3), "/B\rhello world");
    EXPECT_EQ(CommandLineText(args, 5), "");
    EXPECT_EQ(CommandLineText({"demo.exe", "a", "b"}, 1), "a\rb");
}

TEST(CommandLineText, TheVariableStartsWithTheExecutablePath) {
    EXPECT_EQ(CommandLineVariable("/opt/demo.exe", "a\rb"), "/opt/demo.exe\ra\rb");
    EXPECT_EQ(CommandLineVariable("/opt/demo.exe", ""), "/opt/demo.exe");
}

TEST(Switches, StartPageSwitchIsUpperCasedInEitherSpelling) {
    const struct {
        QStringList args;
        QString page;
    } cases[] = {
        {{"demo", "/kstart"}, "START"},
        {{"demo", "-Kstart"}, "START"},
        {{"demo", "/KFirst", "-kSecond"}, "SECOND"}, // the last one wins
        {{"demo", "/K"}, ""},
        {{"demo", "start"}, ""},
        {{"demo", "/Bk"}, ""},
        {{"demo", "K"}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StartPageSwitch(c.args), c.page) << c.args.join(' ').toStdString();
}

TEST(Switches, BypassPrintDialogIsSetByAnyBSwitch) {
    EXPECT_TRUE(BypassPrintDialogSwitch({"demo", "/b"}));
    EXPECT_TRUE(BypassPrintDialogSwitch({"demo", "-B"}));
    EXPECT_TRUE(BypassPrintDialogSwitch({"demo", "/Bypass"}));
    EXPECT_FALSE(BypassPrintDialogSwitch({"demo", "B"}));
    EXPECT_FALSE(BypassPrintDialogSwitch({"demo"}));
}

TEST(Switches, TheContainerArgumentsAreNotSwitches) {
    const QStringList args = {"qxplay5", "/R", "/Books/pub.exe", "/kIntro"};
    EXPECT_EQ(SwitchValue(args, u'R', 3), std::nullopt);
    EXPECT_FALSE(BypassPrintDialogSwitch(args, 3));
    EXPECT_EQ(StartPageSwitch(args, 3), "INTRO");
}

TEST(Switches, AnExistingNativePathIsDataNotASwitch) {
    QTemporaryDir dir;
    EXPECT_FALSE(SwitchValue({"demo", dir.path()}, dir.path()[1], 1).has_value());
}

TEST(ScreenSaver, TheExtensionScrMakesAScreenSaver) {
    EXPECT_TRUE(IsScreenSaverExecutable("C:\\Windows\\Demo.SCR"));
    EXPECT_TRUE(IsScreenSaverExecutable("/opt/demo.scr"));
    EXPECT_FALSE(IsScreenSaverExecutable("/opt/demo.exe"));
    EXPECT_EQ(ParseScreenSaverArguments({"/opt/demo.exe", "/s"}).mode, ssNone);
}

TEST(ScreenSaver, TheFirstArgumentChoosesTheRunMode) {
    const struct {
        QStringList args;
        TScreenSaverMode mode;
        std::uintptr_t handle;
    } cases[] = {
        {{"x.scr"}, ssConfigureNoParent, 0},
        {{"x.scr", "/"}, ssConfigureNoParent, 0},
        {{"x.scr", "/c"}, ssConfigure, 0},
        {{"x.scr", "/C:1234"}, ssConfigure, 0},
        {{"x.scr", "/s"}, ssRun, 0},
        {{"x.scr", "-x"}, ssRun, 0},
        {{"x.scr", "/p", "4242"}, ssPreview, 4242},
        {{"x.scr", "/P", "window"}, ssPreview, 0}, // not a number: handle 0
        {{"x.scr", "/a", "77"}, ssChangePassword, 77},
        {{"x.scr", "/A"}, ssChangePassword, 0},
    };
    for (const auto& c : cases) {
        const TScreenSaverArguments parsed = ParseScreenSaverArguments(c.args);
        EXPECT_EQ(parsed.mode, c.mode) << c.args.join(' ').toStdString();
        EXPECT_EQ(parsed.windowHandle, c.handle) << c.args.join(' ').toStdString();
    }
}

} // namespace

namespace {

TEST(LocatePublicationFile, TriesTheNameThenTheContainersFolderThenThePath) {
    QTemporaryDir written, container, onPath;
    for (const QString& path : {written.filePath("Next.pkg"), container.filePath("Next.pkg"),
                                container.filePath("Local.pkg"), onPath.filePath("Far.pkg")}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", onPath.path().toUtf8() + ":/nonexistent");
    EXPECT_EQ(LocatePublicationFile(written.filePath("next.pkg"), container.path()),
              written.filePath("Next.pkg"));
    EXPECT_EQ(LocatePublicationFile("next.pkg", container.path()), container.filePath("Next.pkg"));
    EXPECT_EQ(LocatePublicationFile("C:\\gone\\local.pkg", container.path()),
              container.filePath("Local.pkg"));
    EXPECT_EQ(LocatePublicationFile("far.pkg", container.path()), onPath.filePath("Far.pkg"));
    EXPECT_EQ(LocatePublicationFile("none.pkg", container.path()), "");
    qputenv("PATH", oldPath);
}

} // namespace
