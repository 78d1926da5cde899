// The string, file and registry commands as scripts use them: parameters
// evaluated by their kinds, results in variables, failures in [LastError]
// only (the script goes on).

#include "actions/script_session.h"
#include "actions/system_error_text.h"
#include "platform/registry_store.h"
#include "platform/string_table.h"
#include "vars/variables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tomeric {
namespace {

class CommandScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = QDir::currentPath();
        QDir::setCurrent(dir.path());
        qputenv("TOMERIC_REGISTRY_FILE", QFile::encodeName(dir.filePath(QStringLiteral("registry.json"))));
        ResetVariableStore();
        SetShowErrors(false);
        session = std::make_unique<ScriptSession>([this](const QString& line) { output.append(line); });
        session->UseEmptyPublication();
    }
    void TearDown() override {
        session.reset();
        ResetVariableStore();
        SetShowErrors(true);
        qunsetenv("TOMERIC_REGISTRY_FILE");
        QDir::setCurrent(saved_);
    }
    void Run(const char* script) { session->Run(QString::fromUtf8(script)); }
    static QString Var(const char* name) { return GetVariable(QString::fromUtf8(name)); }
    void WriteFile(const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray FileBytes(const QString& name) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
    QStringList output;
    std::unique_ptr<ScriptSession> session;

private:
    QString saved_;
};

// ---- string commands ----------------------------------------------------------------

TEST_F(CommandScriptTest, StringCommandsGiveTheirResultsInVariables) {
    struct Case { const char* script; const char* variable; const char* expected; };
    const Case cases[] = {
        {R"(SubStr "Hello" "2" "3" "[s]")", "s", "ell"},
        {R"(StrDel "Hello" "1" "1" "[s]")", "s", "ello"},
        {R"(StrIns "X" "Hello" "3" "[s]")", "s", "HeXllo"},
        {R"(StrIns "X" "Hello" "1+1" "[s]")", "s", "HXello"},   // positions are computed
        {R"(StrLen "Hello" "[s]")", "s", "5"},
        {R"(SearchStr "LO" "Hello" "[s]")", "s", "4"},
        {R"(SearchStr "LO" "Hello" "[s]" "CaseSensitive")", "s", "0"},
        {R"(SearchStr "LO" "Hello" "[s]" "casesensitive")", "s", "0"},
        {R"(SearchStr "!LO" "Hello" "[s]")", "s", "0"},
        {R"(SearchStr "lo" "!Hello" "[s]")", "s", "4"},
        {R"(StrUpper "café" "[s]")", "s", "CAFÉ"},
        {R"(StrLower "CAFÉ" "[s]")", "s", "café"},
        {R"(StrReplace "Abc abc" "ABC" "x" "[s]")", "s", "x x"},
        {R"(StrReplace "Abc abc" "!abc" "x" "[s]")", "s", "Abc x"},
        {R"(StrReplace "Abc abc" "abc" "x" "[s]" "CaseSensitive")", "s", "Abc x"},
        {R"(ExtractFilePath "C:\data\list.txt" "[s]")", "s", "C:\\data\\"},
        {R"(ExtractFileName "C:\data\list.txt" "[s]")", "s", "list.txt"},
        {R"(ExtractFileExt "C:\data\list.txt" "[s]")", "s", ".txt"},
        {R"(ExtractFileDrive "\\srv\share\x.txt" "[s]")", "s", "\\\\srv\\share"},
        {R"(ChangeFileExt "C:\data\list.txt" ".csv" "[s]")", "s", "C:\\data\\list.csv"},
    };
    for (const Case& c : cases) {
        ResetVariableStore();
        Run(c.script);
        EXPECT_EQ(Var(c.variable), QString::fromUtf8(c.expected)) << c.script;
    }
}

TEST_F(CommandScriptTest, StrParseFillsAnArrayAndCountsThePieces) {
    Run(R"(StrParse "a,b,,c" "," "[p]" "[n]")");
    EXPECT_EQ(Var("p1"), QStringLiteral("a"));
    EXPECT_EQ(Var("p2"), QStringLiteral("b"));
    EXPECT_EQ(Var("p3"), QString());
    EXPECT_EQ(Var("p4"), QStringLiteral("c"));
    EXPECT_EQ(Var("n"), QStringLiteral("4"));
    Run(R"(StrParse "x,y," "," "[p]" "[n]")");
    EXPECT_EQ(Var("n"), QStringLiteral("2"));
    EXPECT_EQ(Var("p4"), QStringLiteral("c")) << "elements beyond the new count keep their values";
}

TEST_F(CommandScriptTest, StrParseEmptyPieceRemovesTheElement) {
    Run("SetVar \"[q2]\" \"old\"\r\nStrParse \"a,,b\" \",\" \"[q]\" \"[n]\"");
    EXPECT_EQ(Var("q2"), QString());
    EXPECT_EQ(Var("n"), QStringLiteral("3"));
}

// ---- data files ------------------------------------------------------------------------

TEST_F(CommandScriptTest, WritingALineBeyondTheEndPadsWithEmptyLines) {
    WriteFile(QStringLiteral("data.txt"), "old");
    Run(R"(FileWrite "data.txt" "3" "x")");
    EXPECT_EQ(FileBytes(QStringLiteral("data.txt")), QByteArray("old\r\n\r\nx"));
    EXPECT_EQ(Var("LastError"), QString());
}

TEST_F(CommandScriptTest, AnAppendedMultiLineValueReadsBackWhole) {
    Run("FileWrite \"data.txt\" \"APPEND\" \"a[#13][#10]b\"\r\n"
        "FileRead \"data.txt\" \"1\" \"[v]\"\r\n"
        "FileLen \"data.txt\" \"[n]\"");
    EXPECT_EQ(FileBytes(QStringLiteral("data.txt")), QByteArray("a|b"));
    EXPECT_EQ(Var("v"), QStringLiteral("a\r\nb"));
    EXPECT_EQ(Var("n"), QStringLiteral("1"));
}

TEST_F(CommandScriptTest, DeletingALineBeyondTheEndLeavesTheFileAlone) {
    WriteFile(QStringLiteral("data.txt"), "1\r\n2\r\n3");
    Run(R"(FileDelLine "data.txt" "9")");
    EXPECT_EQ(FileBytes(QStringLiteral("data.txt")), QByteArray("1\r\n2\r\n3"));
    Run(R"(FileDelLine "data.txt" "2")");
    Run(R"(FileInsLine "data.txt" "1")");
    EXPECT_EQ(FileBytes(QStringLiteral("data.txt")), QByteArray("\r\n1\r\n3"));
}

TEST_F(CommandScriptTest, ReadingAllGivesTheFileAsItIs) {
    WriteFile(QStringLiteral("data.txt"), "a|b\r\nc");
    Run("FileRead \"data.txt\" \"ALL\" \"[all]\"\r\nFileRead \"data.txt\" \"0\" \"[zero]\"\r\n"
        "FileRead \"data.txt\" \"1\" \"[one]\"\r\nFileRead \"data.txt\" \"5\" \"[five]\"");
    EXPECT_EQ(Var("all"), QStringLiteral("a|b\r\nc"));
    EXPECT_EQ(Var("zero"), QStringLiteral("a|b\r\nc"));
    EXPECT_EQ(Var("one"), QStringLiteral("a\r\nb"));
    EXPECT_EQ(Var("five"), QString());
}

TEST_F(CommandScriptTest, ALiteralDataFileNameLiesInThePublicationFolder) {
    WriteFile(QStringLiteral("list.txt"), "here");
    Run(R"(FileRead "C:\elsewhere\list.txt" "1" "[v]")");
    EXPECT_EQ(Var("v"), QStringLiteral("here"));
}

TEST_F(CommandScriptTest, ReadingAMissingFileSetsLastErrorAndKeepsTheVariable) {
    Run("SetVar \"[v]\" \"kept\"\r\nFileRead \"none.txt\" \"1\" \"[v]\"\r\nSetVar \"[after]\" \"ran\"");
    EXPECT_EQ(Var("v"), QStringLiteral("kept"));
    EXPECT_EQ(Var("LastError"), FileNotFoundText());
    EXPECT_EQ(Var("after"), QStringLiteral("ran"));
}

TEST_F(CommandScriptTest, ALineNumberThatIsNoNumberIsRefused) {
    WriteFile(QStringLiteral("data.txt"), "a");
    Run(R"(FileWrite "data.txt" "!last" "x")");
    EXPECT_EQ(FileBytes(QStringLiteral("data.txt")), QByteArray("a"));
    EXPECT_EQ(Var("LastError"), Message(msgInvalidInteger, QStringLiteral("last")));
}

TEST_F(CommandScriptTest, FileExistsSizeEraseAndFolders) {
    WriteFile(QStringLiteral("f.txt"), "12345");
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    Run("FileExists \"f.txt\" \"[e1]\"\r\nFileExists \"g.txt\" \"[e2]\"\r\n"
        "FileSize \"f.txt\" \"[s1]\"\r\nFileSize \"g.txt\" \"[s2]\"\r\n"
        "FolderExists \"sub\" \"[d1]\"\r\nFolderExists \"\" \"[d2]\"\r\nFileExists \"sub\" \"[d3]\"");
    EXPECT_EQ(Var("e1"), QStringLiteral("True"));
    EXPECT_EQ(Var("e2"), QStringLiteral("False"));
    EXPECT_EQ(Var("s1"), QStringLiteral("5"));
    EXPECT_EQ(Var("s2"), QString());
    EXPECT_EQ(Var("d1"), QStringLiteral("True"));
    EXPECT_EQ(Var("d2"), QStringLiteral("False"));
    EXPECT_EQ(Var("d3"), QStringLiteral("False"));
    Run(R"(FileErase "f.txt")");
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("f.txt"))));
    EXPECT_EQ(Var("LastError"), QString());
    Run(R"(FileErase "f.txt")");
    EXPECT_EQ(Var("LastError"), FileNotFoundText());
}

TEST_F(CommandScriptTest, CreateAndRemoveFolder) {
    Run(R"(CreateFolder "a\b\c")");
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("a/b/c"))).exists());
    Run(R"(CreateFolder "")");
    EXPECT_EQ(Var("LastError"), PathNotFoundText());
    Run(R"(RemoveFolder "a\b\c")");
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("a/b/c"))).exists());
    EXPECT_EQ(Var("LastError"), QString());
    Run(R"(RemoveFolder "a")");
    EXPECT_EQ(Var("LastError"), QStringLiteral("\"a\"||") + Message(msgFolderNotRemoved)) << "a is not empty";
}

TEST_F(CommandScriptTest, FileCopyRules) {
    WriteFile(QStringLiteral("src.txt"), "data");
    QDir(dir.path()).mkdir(QStringLiteral("out"));
    Run(R"(FileCopy "src.txt" "copy.txt")");
    EXPECT_EQ(FileBytes(QStringLiteral("copy.txt")), QByteArray("data")) << "next to the source";
    Run("SetVar \"[to]\" \"[PubDir]out[#92]\"\r\nFileCopy \"src.txt\" \"[to]\"");
    EXPECT_EQ(FileBytes(QStringLiteral("out/src.txt")), QByteArray("data")) << "the source's name kept";
    Run(R"(FileCopy "src.txt" "src.txt")");
    EXPECT_EQ(Var("LastError"), Message(msgCopyOntoItself));
    Run(R"(FileCopy "" "x.txt")");
    EXPECT_EQ(Var("LastError"), Message(msgCopyFailed));
    Run(R"(FileCopy "none.txt" "x.txt")");
    EXPECT_EQ(Var("LastError"), FileNotFoundText());
}

TEST_F(CommandScriptTest, FileListListsFilesFoldersOrBoth) {
    WriteFile(QStringLiteral("a.txt"), "");
    WriteFile(QStringLiteral("b.csv"), "");
    WriteFile(QStringLiteral("c.dat"), "");
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    const QString folder = dir.path() + u'/';
    struct Case { QString masks; const char* options; QStringList expected; };
    const Case cases[] = {
        {folder + QStringLiteral("*.txt|*.CSV"), "", {"a.txt", "b.csv"}},
        {folder + QStringLiteral("*.*"), "FOLDERS", {"sub"}},
        {folder + QStringLiteral("*.*"), "folders files", {"a.txt", "b.csv", "c.dat", "sub"}},
        {folder + QStringLiteral("?.txt"), "NOEXT", {"a"}},
        {folder + QStringLiteral("*.none"), "", {}},
    };
    for (const Case& c : cases) {
        SetVariable(QStringLiteral("[mask]"), c.masks);
        SetVariable(QStringLiteral("[opt]"), QString::fromUtf8(c.options));
        Run(R"(FileList "[mask]" "[opt]" "[l]")");
        QStringList names = Var("l").split(u'\r', Qt::SkipEmptyParts);
        names.sort();
        EXPECT_EQ(names, c.expected) << c.masks.toStdString() << " " << c.options;
        EXPECT_EQ(Var("LastError"), QString());
    }
    SetVariable(QStringLiteral("[l]"), QStringLiteral("before"));
    SetVariable(QStringLiteral("[mask]"), folder + QStringLiteral("nowhere/*.*"));
    Run(R"(FileList "[mask]" "" "[l]")");
    EXPECT_EQ(Var("l"), QStringLiteral("before"));
    EXPECT_EQ(Var("LastError"), PathNotFoundText());
}

TEST_F(CommandScriptTest, FileToVarReadsEveryByte) {
    WriteFile(QStringLiteral("t.txt"), "a|b\r\ncaf\xe9");
    Run(R"(FileToVar "t.txt" "[v]")");
    EXPECT_EQ(Var("v"), QStringLiteral("a|b\r\ncafé"));
}

TEST_F(CommandScriptTest, ExtractFileCopiesADiskFileWhenThePublicationHasNone) {
    WriteFile(QStringLiteral("inc.txt"), "included");
    QDir(dir.path()).mkdir(QStringLiteral("out"));
    SetVariable(QStringLiteral("[src]"), dir.filePath(QStringLiteral("inc.txt")));
    SetVariable(QStringLiteral("[dst]"), dir.filePath(QStringLiteral("out")) + u'/');
    Run(R"(ExtractFile "[src]" "[dst]")");
    EXPECT_EQ(FileBytes(QStringLiteral("out/inc.txt")), QByteArray("included"));
}

// ---- registry ------------------------------------------------------------------------------

TEST_F(CommandScriptTest, RegistryValuesRoundTrip) {
    Run("RegistryWrite \"HKEY_CURRENT_USER\" \"Software\\Vendor\\Name\" \"Zoé\"\r\n"
        "RegistryRead \"hkey_current_user \" \"  software\\VENDOR\\name \" \"[v]\"\r\n"
        "RegistryRead \"HKCU\" \"Software\\Vendor\\Name\" \"[short]\"");
    EXPECT_EQ(Var("v"), QStringLiteral("Zoé"));
    EXPECT_EQ(Var("short"), QStringLiteral("Zoé")) << "an unknown root name is the current user";
    EXPECT_EQ(Var("LastError"), QString());
}

TEST_F(CommandScriptTest, ReadingAMissingKeyLeavesTheVariableAndReports253) {
    Run("SetVar \"[v]\" \"kept\"\r\n"
        "RegistryRead \"HKEY_LOCAL_MACHINE\" \"Software\\Vendor\\Missing\" \"[v]\"");
    EXPECT_EQ(Var("v"), QStringLiteral("kept"));
    EXPECT_EQ(Var("LastError"), Message(msgInvalidRegistryKey));
}

TEST_F(CommandScriptTest, ExistingIntegerAndBinaryValuesKeepTheirType) {
    platform::RegistryStore store;
    ASSERT_TRUE(store.WriteValue(platform::RegistryRoot::CurrentUser, QStringLiteral("K"), QStringLiteral("Int"),
                                 platform::RegistryValue::FromInteger(5)).ok());
    ASSERT_TRUE(store.WriteValue(platform::RegistryRoot::CurrentUser, QStringLiteral("K"), QStringLiteral("Bin"),
                                 platform::RegistryValue::FromBytes(QByteArray("a\0b", 3))).ok());
    Run("RegistryRead \"\" \"K\\Int\" \"[i]\"\r\nRegistryRead \"\" \"K\\Bin\" \"[b]\"");
    EXPECT_EQ(Var("i"), QStringLiteral("5"));
    EXPECT_EQ(Var("b"), QStringLiteral("ab")) << "zero bytes dropped";

    Run("RegistryWrite \"\" \"K\\Int\" \"42\"");
    platform::RegistryValue value;
    store.ReadValue(platform::RegistryRoot::CurrentUser, QStringLiteral("K"), QStringLiteral("Int"), &value);
    EXPECT_EQ(value, platform::RegistryValue::FromInteger(42));
    Run("RegistryWrite \"\" \"K\\Int\" \"\"");
    store.ReadValue(platform::RegistryRoot::CurrentUser, QStringLiteral("K"), QStringLiteral("Int"), &value);
    EXPECT_EQ(value, platform::RegistryValue::FromInteger(0));
    Run("RegistryWrite \"\" \"K\\Int\" \"!many\"");
    store.ReadValue(platform::RegistryRoot::CurrentUser, QStringLiteral("K"), QStringLiteral("Int"), &value);
    EXPECT_EQ(value, platform::RegistryValue::FromString(QStringLiteral("many")));

    Run("RegistryWrite \"\" \"K\\Bin\" \"\"");
    store.ReadValue(platform::RegistryRoot::CurrentUser, QStringLiteral("K"), QStringLiteral("Bin"), &value);
    EXPECT_EQ(value, platform::RegistryValue::FromBytes(QByteArray(1, '\0')));
}

TEST_F(CommandScriptTest, AnEmptyRegistryPathDoesNothing) {
    Run("SetVar \"[v]\" \"kept\"\r\nRegistryRead \"\" \"  \" \"[v]\"\r\nRegistryWrite \"\" \"\" \"x\"");
    EXPECT_EQ(Var("v"), QStringLiteral("kept"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("registry.json"))));
}

} // namespace
} // namespace tomeric
