// SaveVariables and LoadVariables: the 8-bit key=value file.

#include "vars_test_support.h"

#include "platform/string_table.h"
#include "vars/variable_commands.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tomeric::testing {
namespace {

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

class VariableFileTest : public VarsTest {
protected:
    QTemporaryDir dir;
    QString PathOf(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(VariableFileTest, SavesGlobalsInOrderAsWindows1252WithEncodedLineBreaks) {
    SetVariable(QStringLiteral("[Name]"), QStringLiteral("José"));
    SetVariable(QStringLiteral("[Note]"), QStringLiteral("a\r\nb"));
    SetVariable(QStringLiteral("[Eq]"), QStringLiteral("x=y"));
    SetVariable(QStringLiteral("[Money]"), QStringLiteral("5 €"));
    SetLastError(QStringLiteral("stale"));
    const QString path = PathOf("vars.txt");
    EXPECT_TRUE(SaveVariables(path));
    EXPECT_EQ(LastError(), QString());
    EXPECT_EQ(ReadBytes(path),
              QByteArray("Name=Jos\xe9\r\nNote=a[#13][#10]b\r\nEq=x=y\r\nMoney=5 \x80\r\n"
                         "LastError=stale\r\n")); // [LastError] is a global like any other
}

TEST_F(VariableFileTest, RoundTripKeepsEveryValue) {
    const QString values[] = {QStringLiteral("plain"), QStringLiteral("cr\rlf\nboth\r\n"),
                              QStringLiteral("a=b=c"), QStringLiteral("àéîõü ß €‰"),
                              QStringLiteral("  spaces  ")};
    for (int i = 0; i < 5; ++i)
        SetVariable(QStringLiteral("[v%1]").arg(i), values[i]);
    ASSERT_TRUE(SaveVariables(PathOf("round.txt")));
    ResetVariableStore();
    ASSERT_TRUE(LoadVariables(PathOf("round.txt")));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(GetVariable(QStringLiteral("v%1").arg(i)), values[i]) << i;
    EXPECT_EQ(GlobalVars().Count(), 5 + 0); // no [LastError] left behind by success
}

TEST_F(VariableFileTest, LoadsAWindowsFile) {
    SetVariable(QStringLiteral("[Idx]"), QStringLiteral("4"));
    ASSERT_TRUE(LoadVariables(QStringLiteral(TOMERIC_TEST_DATA "/vars/sample_variables.txt")));
    EXPECT_EQ(GetVariable(QStringLiteral("Name")), QStringLiteral("José"));
    EXPECT_EQ(GetVariable(QStringLiteral("Price")), QStringLiteral("5 €"));
    EXPECT_EQ(GetVariable(QStringLiteral("Note")), QStringLiteral("line1\r\nline2"));
    EXPECT_EQ(GetVariable(QStringLiteral("Equation")), QStringLiteral("a=b+c"));
    EXPECT_EQ(GetVariable(QStringLiteral("Score")), QStringLiteral("42"));
    EXPECT_EQ(GetVariable(QStringLiteral("Item4")), QStringLiteral("element"));
    EXPECT_FALSE(GlobalVars().Contains(QStringLiteral("no name here")));
    EXPECT_EQ(LastError(), QString());
}

TEST_F(VariableFileTest, LoadingGoesThroughTheWritePath) {
    DefineVariable(QStringLiteral("[Score]"), QStringLiteral("Currency"), QString(), false);
    ASSERT_TRUE(LoadVariables(QStringLiteral(TOMERIC_TEST_DATA "/vars/sample_variables.txt")));
    EXPECT_EQ(GetVariable(QStringLiteral("Score")), QStringLiteral("42.00"));
    QFile file(PathOf("builtin.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("WindowTop=77\r\nPageTitle=x\r\n");
    file.close();
    LoadVariables(file.fileName());
    EXPECT_EQ(DefaultHeadlessHost().state.windowTop, 77);
    EXPECT_FALSE(GlobalVars().Contains(QStringLiteral("PageTitle")));
}

TEST_F(VariableFileTest, AResolverFindsFilesIncludedInThePublication) {
    QString asked;
    const FileNameResolver resolve = [&](const QString& name) {
        asked = name;
        return QStringLiteral(TOMERIC_TEST_DATA "/vars/sample_variables.txt");
    };
    ASSERT_TRUE(LoadVariables(QStringLiteral("defaults.txt"), resolve));
    EXPECT_EQ(asked, QStringLiteral("defaults.txt"));
    EXPECT_EQ(GetVariable(QStringLiteral("Score")), QStringLiteral("42"));
}

TEST_F(VariableFileTest, MissingFileSetsLastErrorAndLoadsNothing) {
    EXPECT_FALSE(LoadVariables(PathOf("absent.txt")));
    EXPECT_FALSE(LastError().isEmpty());
    EXPECT_EQ(GlobalVars().Keys(), QStringList{QStringLiteral("LastError")});
}

TEST_F(VariableFileTest, FailedSaveKeepsTheOldFile) {
    const QString path = PathOf("keep.txt");
    SetVariable(QStringLiteral("[a]"), QStringLiteral("1"));
    ASSERT_TRUE(SaveVariables(path));
    const QByteArray before = ReadBytes(path);
    EXPECT_FALSE(SaveVariables(PathOf("no/such/folder/x.txt")));
    EXPECT_FALSE(LastError().isEmpty());
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(VariableFileTest, SaveOverwritesAnExistingFile) {
    const QString path = PathOf("over.txt");
    SetVariable(QStringLiteral("[a]"), QStringLiteral("1"));
    ASSERT_TRUE(SaveVariables(path));
    SetVariable(QStringLiteral("[a]"), QString());
    SetVariable(QStringLiteral("[b]"), QStringLiteral("2"));
    ASSERT_TRUE(SaveVariables(path));
    // [LastError] is a global too once it exists
    EXPECT_EQ(ReadBytes(path), QByteArray("b=2\r\n"));
}

TEST_F(VariableFileTest, BackslashNamesAreMappedToThisSystem) {
    QDir(dir.path()).mkdir(QStringLiteral("Sub"));
    SetVariable(QStringLiteral("[a]"), QStringLiteral("1"));
    ASSERT_TRUE(SaveVariables(dir.path() + QStringLiteral("\\sub\\v.txt")));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("Sub/v.txt"))));
}

} // namespace
} // namespace tomeric::testing
