// The built-in variables: the table, what each reports, and what writing
// the writable ones does.

#include "vars_test_support.h"

#include "platform/string_table.h"
#include "vars/builtin_vars.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace tomeric::testing {
namespace {

TEST(BuiltinTable, HoldsSixtySixNamesInOrderWithSeventeenWritable) {
    const TVarStringList& table = BuiltinVarTable();
    EXPECT_EQ(table.Count(), 66);
    const QStringList keys = table.Keys();
    EXPECT_EQ(keys.first(), QStringLiteral("PageTitle"));
    EXPECT_EQ(keys[15], QStringLiteral("Clipboard"));
    EXPECT_EQ(keys[49], QStringLiteral("TomericVersion"));
    EXPECT_EQ(keys.last(), QStringLiteral("PubTop"));
    int writable = 0;
    for (const QString& key : keys)
        writable += table.Value(key) == QStringLiteral("W");
    EXPECT_EQ(writable, 17);
    EXPECT_EQ(FindBuiltinVar(QStringLiteral("decimalsymbol")), BuiltinVar::DecimalSymbol);
    EXPECT_FALSE(FindBuiltinVar(QStringLiteral("LastError")).has_value());
}

TEST_F(VarsTest, EveryReadOnlyNameRefusesWrites) {
    for (int i = 0; i < kBuiltinVarCount; ++i) {
        const BuiltinVarEntry& entry = BuiltinVarAt(i);
        if (entry.writable)
            continue;
        const QString name = QString::fromLatin1(entry.name);
        SetLastError(QString());
        SetVariable(u'[' + name + u']', QStringLiteral("x"));
        EXPECT_EQ(LastError(), Message(msgReadOnlyGlobal) + QStringLiteral(" [") + name + QStringLiteral("]."));
        EXPECT_FALSE(GlobalVars().Contains(name));
    }
}

struct ConstantCase {
    const char* name;
    const char* value;
};

class BuiltinConstants : public VarsTest, public ::testing::WithParamInterface<ConstantCase> {
protected:
    void SetUp() override {
        VarsTest::SetUp();
        PublicationFacts& facts = CurrentPublicationFacts();
        facts.executablePath = QStringLiteral("/opt/pub/demo");
        facts.author = QStringLiteral("Ann");
        facts.version = QStringLiteral("1.2");
        facts.colors = QStringLiteral("256");
        facts.mailServer = QStringLiteral("smtp.example.org");
        facts.applicationKind = 2;
        SetSelfName(QStringLiteral("OkButton"));
    }
};

TEST_P(BuiltinConstants, ReportsTheValue) {
    EXPECT_EQ(GetVariable(QString::fromUtf8(GetParam().name)), QString::fromUtf8(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(
    Values, BuiltinConstants,
    ::testing::Values(ConstantCase{"TomericVersion", "561.0"}, ConstantCase{"Embedded", "embedded:\\\\\\"},
                      ConstantCase{"PubAuthor", "Ann"}, ConstantCase{"PubVersion", "1.2"},
                      ConstantCase{"PubColors", "256"}, ConstantCase{"MailServer", "smtp.example.org"},
                      ConstantCase{"QXMode", "R"}, ConstantCase{"QXType", "T"}, ConstantCase{"Self", "OkButton"},
                      ConstantCase{"CommandLine", "/opt/pub/demo"}, ConstantCase{"CDRomDrive", "Error"},
                      ConstantCase{"NetworkDrive", "Error"}, ConstantCase{"WindowsPlatform", "2"},
                      ConstantCase{"WindowsVer", "10.0"}, ConstantCase{"PageTitle", "Intro"},
                      ConstantCase{"PageNumber", "1"}, ConstantCase{"P", "1"}, ConstantCase{"PageCount", "3"},
                      ConstantCase{"PageNumberLeft", "1"}, ConstantCase{"PageNumberRight", "2"},
                      ConstantCase{"WindowState", "Normal"}, ConstantCase{"WindowOrder", "Normal"},
                      ConstantCase{"ScreenWidth", "1024"}, ConstantCase{"ScreenColors", "16777216"},
                      ConstantCase{"DecimalSymbol", "."}, ConstantCase{"PageNumberOffset", "0"},
                      ConstantCase{"SystemLanguageExt", "ENU"},
                      ConstantCase{"SystemLanguage", "English (United States)"}));

TEST_F(VarsTest, CommandLineFollowsThePathWithCarriageReturns) {
    CurrentPublicationFacts().executablePath = QStringLiteral("/opt/pub/demo");
    CurrentPublicationFacts().commandLineText = QStringLiteral("-kIntro\rfile.txt");
    EXPECT_EQ(GetVariable(QStringLiteral("CommandLine")), QStringLiteral("/opt/pub/demo\r-kIntro\rfile.txt"));
}

TEST_F(VarsTest, PreviewModeAndApplicationKinds) {
    CurrentPublicationFacts().previewMode = 2;
    EXPECT_EQ(GetVariable(QStringLiteral("QXMode")), QStringLiteral("D"));
    const char* letters[] = {"A", "S", "T", "W"};
    for (int kind = 0; kind < 4; ++kind) {
        CurrentPublicationFacts().applicationKind = kind;
        EXPECT_EQ(GetVariable(QStringLiteral("QXType")), QString::fromLatin1(letters[kind]));
    }
}

TEST_F(VarsTest, PageNumbersFollowTheOffset) {
    DefaultHeadlessHost().state.pageIndex = 3;
    SetVariable(QStringLiteral("[PageNumberOffset]"), QStringLiteral("1"));
    EXPECT_EQ(GetVariable(QStringLiteral("PageNumber")), QStringLiteral("2"));
    EXPECT_EQ(GetVariable(QStringLiteral("PageNumberLeft")), QStringLiteral("4"));
    EXPECT_EQ(GetVariable(QStringLiteral("PageNumberRight")), QStringLiteral("5"));
    for (const char* name : {"[PAGENUMBEROFFSET]", "[PAGENUMBER]", "[P]", "[PAGENUMBERLEFT]", "[PAGENUMBERRIGHT]"})
        EXPECT_TRUE(observer.ChangedNames().contains(QString::fromLatin1(name))) << name;
}

TEST_F(VarsTest, PageNumbersThatAreNotPositiveAreEmpty) {
    SetVariable(QStringLiteral("[PageNumberOffset]"), QStringLiteral("5"));
    EXPECT_EQ(GetVariable(QStringLiteral("PageNumber")), QStringLiteral("-4"));
    EXPECT_EQ(GetVariable(QStringLiteral("PageNumberLeft")), QString());
    EXPECT_EQ(GetVariable(QStringLiteral("PageNumberRight")), QString());
    SetVariable(QStringLiteral("[PageNumberOffset]"), QStringLiteral("two"));
    EXPECT_EQ(GetVariable(QStringLiteral("PageNumberOffset")), QStringLiteral("0"));
}

TEST_F(VarsTest, WholeNumberWritesReadZeroForOtherText) {
    SetVariable(QStringLiteral("[WindowWidth]"), QStringLiteral("640"));
    EXPECT_EQ(DefaultHeadlessHost().state.windowWidth, 640);
    SetVariable(QStringLiteral("[WindowWidth]"), QStringLiteral("wide"));
    EXPECT_EQ(DefaultHeadlessHost().state.windowWidth, 0);
}

TEST_F(VarsTest, WindowStateAndOrderWords) {
    SetVariable(QStringLiteral("[WindowState]"), QStringLiteral(" maximized "));
    EXPECT_EQ(GetVariable(QStringLiteral("WindowState")), QStringLiteral("Maximized"));
    SetVariable(QStringLiteral("[WindowOrder]"), QStringLiteral("ontop"));
    EXPECT_EQ(GetVariable(QStringLiteral("WindowOrder")), QStringLiteral("OnTop"));
    SetVariable(QStringLiteral("[WindowOrder]"), QStringLiteral("sideways"));
    EXPECT_EQ(GetVariable(QStringLiteral("WindowOrder")), QStringLiteral("Normal"));
}

TEST_F(VarsTest, TitlesAreWrittenThroughTheHost) {
    SetVariable(QStringLiteral("[PubTitle]"), QStringLiteral("My book"));
    SetVariable(QStringLiteral("[AppTitle]"), QStringLiteral("Task bar"));
    EXPECT_EQ(DefaultHeadlessHost().state.pubTitle, QStringLiteral("My book"));
    EXPECT_EQ(GetVariable(QStringLiteral("AppTitle")), QStringLiteral("Task bar"));
}

TEST_F(VarsTest, ClipboardHoldsTextAndEmptiesOnEmptyValue) {
    SetVariable(QStringLiteral("[Clipboard]"), QStringLiteral("copied"));
    EXPECT_EQ(GetVariable(QStringLiteral("Clipboard")), QStringLiteral("copied"));
    SetVariable(QStringLiteral("[Clipboard]"), QString());
    EXPECT_EQ(GetVariable(QStringLiteral("Clipboard")), QString());
}

TEST_F(VarsTest, DecimalSymbolTakesOneCharacterElseTheLocales) {
    SetVariable(QStringLiteral("[DecimalSymbol]"), QStringLiteral(","));
    EXPECT_EQ(DecimalSymbol(), u',');
    EXPECT_EQ(GetVariable(QStringLiteral("DecimalSymbol")), QStringLiteral(","));
    SetVariable(QStringLiteral("[DecimalSymbol]"), QStringLiteral("ab"));
    const QString system = QLocale::system().decimalPoint();
    EXPECT_EQ(DecimalSymbol(), system.size() == 1 ? system[0] : QChar(u'.'));
}

TEST_F(VarsTest, CurrentDirChangesTheFolderOrReports304) {
    const QString before = QDir::currentPath();
    QTemporaryDir dir;
    SetVariable(QStringLiteral("[CurrentDir]"), dir.path());
    EXPECT_EQ(QFileInfo(QDir::currentPath()).canonicalFilePath(), QFileInfo(dir.path()).canonicalFilePath());
    EXPECT_TRUE(GetVariable(QStringLiteral("CurrentDir")).endsWith(u'/'));
    SetVariable(QStringLiteral("[CurrentDir]"), dir.path() + QStringLiteral("/missing"));
    EXPECT_EQ(LastError(), Message(msgPathMissing));
    QDir::setCurrent(before);
}

TEST_F(VarsTest, FoldersEndWithASeparatorAndExist) {
    for (const char* name : {"WindowsDir", "SystemDir", "MyDocuments", "ProgramFiles", "TempDir"}) {
        const QString folder = GetVariable(QString::fromLatin1(name));
        EXPECT_TRUE(folder.endsWith(u'/')) << name;
        EXPECT_TRUE(QFileInfo(folder).isDir()) << name;
    }
}

TEST_F(VarsTest, PublicationFolderAndDrive) {
    CurrentPublicationFacts().publicationFile = QStringLiteral("/home/ann/pubs/demo.exe");
    EXPECT_EQ(GetVariable(QStringLiteral("PubDir")), QStringLiteral("/home/ann/pubs/"));
    EXPECT_EQ(GetVariable(QStringLiteral("PubDrive")), QString());
    CurrentPublicationFacts().publicationFile = QStringLiteral("D:\\pubs\\demo.exe");
    EXPECT_EQ(GetVariable(QStringLiteral("PubDrive")), QStringLiteral("D:"));
}

TEST_F(VarsTest, TempDirCanBeFixedByTheShell) {
    CurrentPublicationFacts().tempDir = QStringLiteral("/var/tmp/pub/");
    EXPECT_EQ(GetVariable(QStringLiteral("TempDir")), QStringLiteral("/var/tmp/pub/"));
}

TEST_F(VarsTest, LanguageNamesFollowTheLocale) {
    QLocale::setDefault(QLocale(QLocale::French, QLocale::Canada));
    EXPECT_EQ(GetVariable(QStringLiteral("SystemLanguageExt")), QStringLiteral("FRC"));
    QLocale::setDefault(QLocale(QLocale::Icelandic, QLocale::Iceland));
    EXPECT_EQ(GetVariable(QStringLiteral("SystemLanguageExt")), QStringLiteral("ISL"));
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(GetVariable(QStringLiteral("SystemLanguageExt")), QStringLiteral("<unknown>"));
}

TEST_F(VarsTest, SerialNumberIsAnUnsignedNumber) {
    bool ok = false;
    GetVariable(QStringLiteral("HDSerialNum")).toUInt(&ok);
    EXPECT_TRUE(ok);
}

TEST_F(VarsTest, ResetBringsBackTheStartingState) {
    SetVariable(QStringLiteral("[PageNumberOffset]"), QStringLiteral("3"));
    SetSelfName(QStringLiteral("Btn"));
    ResetBuiltinVarState();
    EXPECT_EQ(GetVariable(QStringLiteral("PageNumberOffset")), QStringLiteral("0"));
    EXPECT_EQ(GetVariable(QStringLiteral("Self")), QString());
}

TEST_F(VarsTest, UserNameIsNeverEmpty) {
    EXPECT_FALSE(GetVariable(QStringLiteral("UserName")).isEmpty());
}

TEST_F(VarsTest, HostsCanBeReplaced) {
    HeadlessBuiltinHost other;
    other.state.pageTitles = {QString(), QStringLiteral("Elsewhere")};
    SetBuiltinHost(&other);
    EXPECT_EQ(GetVariable(QStringLiteral("PageTitle")), QStringLiteral("Elsewhere"));
    SetBuiltinHost(nullptr);
    EXPECT_EQ(GetVariable(QStringLiteral("PageTitle")), QStringLiteral("Intro"));
}

TEST_F(VarsTest, DateNamesUseTheLocale) {
    const QDateTime moment(QDate(2024, 3, 5), QTime(9, 4, 3));
    EXPECT_EQ(ReadBuiltinVar(BuiltinVar::Time, moment), QStringLiteral("9:04:03 AM"));
    EXPECT_EQ(ReadBuiltinVar(BuiltinVar::Time24, moment), QStringLiteral("9:04:03"));
    EXPECT_EQ(ReadBuiltinVar(BuiltinVar::Minute, moment), QStringLiteral("04"));
    EXPECT_EQ(ReadBuiltinVar(BuiltinVar::DateShort, moment), QStringLiteral("3/5/24"));
    EXPECT_EQ(ReadBuiltinVar(BuiltinVar::DateLong, moment), QLocale().toString(moment.date(), QLocale::LongFormat));
    EXPECT_EQ(ReadBuiltinVar(BuiltinVar::Month, moment), QStringLiteral("March"));
    EXPECT_EQ(ReadBuiltinVar(BuiltinVar::MonthNum, moment), QStringLiteral("3"));
    EXPECT_EQ(ReadBuiltinVar(BuiltinVar::Day, moment), QStringLiteral("Tuesday"));
    EXPECT_EQ(ReadBuiltinVar(BuiltinVar::DayNum, moment), QStringLiteral("5"));
    EXPECT_EQ(ReadBuiltinVar(BuiltinVar::Year, moment), QStringLiteral("2024"));
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    EXPECT_EQ(ReadBuiltinVar(BuiltinVar::Month, moment), QStringLiteral("mars"));
    EXPECT_EQ(ReadBuiltinVar(BuiltinVar::DateShort, moment), QStringLiteral("05/03/2024"));
}

} // namespace
} // namespace tomeric::testing
