// The plug-in loader with the example plug-in loaded into this process:
// every refusal with its message, commands that run from a script and are
// refused from a browser link, and the host callbacks' memory rules.

#include "extensions/plugins.h"
#include "extensions/shared_library.h"

#include "actions/action_eval.h"
#include "actions/script_session.h"
#include "platform/string_table.h"
#include "vars/variables.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tomeric {
namespace {

class PlugInLoader : public ::testing::Test {
protected:
    void SetUp() override
    {
        session = std::make_unique<ScriptSession>([this](const QString& line) { lines.append(line); });
        session->UseEmptyPublication();
        host.services = &session->Services().All();
        host.pages = &session->Pages();
        host.title = QStringLiteral("Test");
        SetPlugInHost(&host);
    }
    void TearDown() override
    {
        UnloadPlugIns();
        SetPlugInHost(nullptr);
        session.reset();
    }
    QString Copy(const QString& from, const QString& name)
    {
        const QString to = dir.filePath(name);
        EXPECT_TRUE(QFile::copy(from, to));
        return to;
    }
    QString Write(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    void Run(const QString& script, uint8_t flags = 0)
    {
        TActionEval eval(session->Services().All(), script, flags, 1, dtScript, QStringLiteral("Button"));
        eval.Run();
    }

    const QString example = QStringLiteral(EXAMPLE_PLUGIN_PATH);
    QTemporaryDir dir;
    QStringList lines;
    std::unique_ptr<ScriptSession> session;
    TPlugInHost host;
};

TEST_F(PlugInLoader, RefusesWhatIsNoPlugInOrAlreadyThere)
{
    EXPECT_EQ(LoadPlugIn(dir.filePath(QStringLiteral("missing.so"))).message, Message(msgNoSuchFile));
    EXPECT_EQ(LoadPlugIn(Write(QStringLiteral("win.dll"), QByteArray("MZ\x90\0", 4))).message,
              Message(msgPlugInBuiltForWindows));
    const TPlugInLoadResult notALibrary = LoadPlugIn(Write(QStringLiteral("text.so"), "not a library"));
    EXPECT_EQ(notALibrary.message, Message(msgPlugInNotLoaded));
    EXPECT_FALSE(notALibrary.systemError.isEmpty()) << "the system's reason comes first";
    EXPECT_EQ(LoadPlugIn(QStringLiteral(ZLIB_LIBRARY_PATH)).message, Message(msgNotAPlugIn));

    ASSERT_TRUE(LoadPlugIn(example).loaded);
    EXPECT_EQ(LoadPlugIn(example).message, Message(msgPlugInInstalled));
    EXPECT_EQ(LoadPlugIn(Copy(example, QStringLiteral("twin.so"))).message, Message(msgPlugInNameConflict));
    ASSERT_NE(CommandTable().FindGroupByName(QStringLiteral("Example")), nullptr);
    EXPECT_EQ(CommandTable().FindGroupByName(QStringLiteral("Example"))->Effects.size(), 1u);
    EXPECT_TRUE(HasPlugInEffect(QStringLiteral("example curtain")));

    // Refusals are shown with the file's name in a box of their own.
    LoadPlugIns({Copy(example, QStringLiteral("third.so"))});
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("DIALOG AlertBox \"Test\" \"") + dir.filePath(QStringLiteral("third.so")) +
                                    QStringLiteral("[#13]")))
        << lines[0].toStdString();
}

// Damaged libraries are refused from their headers, before the system
// loader maps them: cut inside its headers or its code, or built for another
// processor, the example plug-in gives the box of a library that did not load.
TEST_F(PlugInLoader, RefusesDamagedLibrariesBeforeLoadingThem)
{
    QFile file(example);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    ASSERT_EQ(CheckLibraryBytes(whole).kind, TLibraryFileKind::lfLoadable);
    for (const qsizetype length : {4, 40, 100, 0x900, 0x1400}) {
        const TLibraryFileCheck check = CheckLibraryBytes(QByteArrayView(whole).first(length));
        EXPECT_EQ(check.kind, TLibraryFileKind::lfCutShort) << length;
        const TPlugInLoadResult result = LoadPlugIn(Write(QStringLiteral("cut%1.so").arg(length), whole.first(length)));
        EXPECT_EQ(result.message, Message(msgPlugInNotLoaded));
        EXPECT_EQ(result.systemError, check.reason);
    }
    QByteArray otherMachine = whole;
    otherMachine[18] = char(183 ^ 62 ^ otherMachine[18]); // e_machine: AArch64 <-> x86-64
    const TPlugInLoadResult foreign = LoadPlugIn(Write(QStringLiteral("arm.so"), otherMachine));
    EXPECT_EQ(foreign.message, Message(msgPlugInNotLoaded));
    EXPECT_TRUE(foreign.systemError.startsWith(QStringLiteral("built for another processor"))) << foreign.systemError.toStdString();
    EXPECT_EQ(CommandTable().FindGroupByName(QStringLiteral("Example")), nullptr);
}

TEST_F(PlugInLoader, CommandsRunFromScriptsButNotFromBrowserLinks)
{
    ASSERT_TRUE(LoadPlugIn(example).loaded);
    SetVariable(QStringLiteral("Word"), QStringLiteral("Hel"));
    Run(QStringLiteral("ExampleAppend \"[Word]\" \"lo\"\r\nExampleInfo \"9\" \"[Shown]\"\r\n"
                       "ExampleInfo \"5\" \"[Subs]\"\r\nExampleRun \"SetVar [#34]Ran[#34] [#34]1[#34]\""));
    EXPECT_EQ(GetVariable(QStringLiteral("Word")), QStringLiteral("Hello"));
    EXPECT_EQ(GetVariable(QStringLiteral("Shown")), QStringLiteral("(none)")) << "a message box answers nothing";
    EXPECT_TRUE(lines.contains(QStringLiteral("DIALOG AlertBox \"Test\" \"Hello from the example plug-in\"")));
    EXPECT_EQ(GetVariable(QStringLiteral("Ran")), QStringLiteral("1"));

    Run(QStringLiteral("ExampleAppend \"[Word]\" \"!\""), afFromBrowserLink);
    EXPECT_EQ(GetVariable(QStringLiteral("Word")), QStringLiteral("Hello"));
    EXPECT_EQ(LastError(), QStringLiteral("ExampleAppend\r\r") + Message(msgBrowserLinkRefused, QStringLiteral("ExampleAppend")));

    Run(QStringLiteral("NeverRegistered \"x\""));
    EXPECT_EQ(LastError(), QStringLiteral("NeverRegistered\r\r") + Message(msgUnknownCommand)) << "id 0 registers nothing";

    Run(QStringLiteral("ExampleAppend \"[Word]\""));
    EXPECT_EQ(LastError(), QStringLiteral("ExampleAppend\r\r") + Message(msgParameterCount, QStringLiteral("2")));

    NotifyPlugIns(6, 3);
    EXPECT_EQ(GetVariable(QStringLiteral("ExampleEvents")), QStringLiteral("6:3;"));
    UnloadPlugIns();
    EXPECT_FALSE(CommandTable().FindCommand(QStringLiteral("ExampleAppend")));
}

} // namespace
} // namespace tomeric
