// The driver's script language and the qxplay5 command line.

#include "app/driver.h"
#include "app/player_options.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

struct KeyCase {
    const char* text;
    int key;
    Qt::KeyboardModifiers modifiers;
};

class DriverKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(DriverKeys, NamesAndModifiersGiveTheKey)
{
    const auto key = ParseDriverKey(QString::fromLatin1(GetParam().text));
    ASSERT_TRUE(key.has_value()) << GetParam().text;
    EXPECT_EQ(key->key, GetParam().key);
    EXPECT_EQ(key->modifiers, GetParam().modifiers);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DriverKeys,
    ::testing::Values(KeyCase{"Esc", Qt::Key_Escape, Qt::NoModifier},
                      KeyCase{"enter", Qt::Key_Return, Qt::NoModifier},
                      KeyCase{"PgUp", Qt::Key_PageUp, Qt::NoModifier},
                      KeyCase{"PGDN", Qt::Key_PageDown, Qt::NoModifier},
                      KeyCase{"Home", Qt::Key_Home, Qt::NoModifier},
                      KeyCase{"End", Qt::Key_End, Qt::NoModifier},
                      KeyCase{"F1", Qt::Key_F1, Qt::NoModifier},
                      KeyCase{"F12", Qt::Key_F12, Qt::NoModifier},
                      KeyCase{"Tab", Qt::Key_Tab, Qt::NoModifier},
                      KeyCase{"Space", Qt::Key_Space, Qt::NoModifier},
                      KeyCase{"a", Qt::Key_A, Qt::NoModifier},
                      KeyCase{"Ctrl+s", Qt::Key_S, Qt::ControlModifier},
                      KeyCase{"Ctrl+Shift+PgDn", Qt::Key_PageDown, Qt::ControlModifier | Qt::ShiftModifier},
                      KeyCase{"alt+F4", Qt::Key_F4, Qt::AltModifier}));

TEST(DriverKeys, UnknownNamesAndModifiersAreRefused)
{
    for (const char* text : {"", "Ctrl+", "Hyper+a", "F13", "F0", "PageSideways", "ab", "Ctrl+Q+"})
        EXPECT_FALSE(ParseDriverKey(QString::fromLatin1(text)).has_value()) << text;
}

TEST(DriverKeys, LettersTypeTheirCharacter)
{
    EXPECT_EQ(ParseDriverKey(QStringLiteral("q"))->text, QStringLiteral("q"));
    EXPECT_EQ(ParseDriverKey(QStringLiteral("Shift+q"))->text, QStringLiteral("Q"));
    EXPECT_EQ(ParseDriverKey(QStringLiteral("Space"))->text, QStringLiteral(" "));
}

TEST(DriverLines, VerbIsLowerCasedAndTheRestKeptAsWritten)
{
    const auto line = ParseDriverLine(QStringLiteral("  RUN SetVar \"[A]\"  \"B c\"  "));
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->verb, QStringLiteral("run"));
    EXPECT_EQ(line->argument, QStringLiteral("SetVar \"[A]\"  \"B c\""));
    EXPECT_EQ(ParseDriverLine(QStringLiteral("quit"))->argument, QString());
}

TEST(DriverLines, BlankLinesAndCommentsAreSkipped)
{
    EXPECT_FALSE(ParseDriverLine(QString()).has_value());
    EXPECT_FALSE(ParseDriverLine(QStringLiteral("   \r")).has_value());
    EXPECT_FALSE(ParseDriverLine(QStringLiteral("# wait 100")).has_value());
}

TEST(DriverLines, OnlyTheLeadingAnswersAreTakenBeforeStart)
{
    QStringList lines{QStringLiteral("# start-up"), QStringLiteral("answer one"), QString(),
                      QStringLiteral("ANSWER two words"), QStringLiteral("wait 10"),
                      QStringLiteral("answer later")};
    EXPECT_EQ(TakeLeadingAnswers(lines), (QStringList{QStringLiteral("one"), QStringLiteral("two words")}));
    EXPECT_EQ(lines, (QStringList{QStringLiteral("wait 10"), QStringLiteral("answer later")}));
}

TEST(PlayerOptions, OwnOptionsAreTakenOutAndTheRestIsThePublicationsCommandLine)
{
    const TPlayerOptions options = ParsePlayerOptions(
        {QStringLiteral("qxplay5"), QStringLiteral("/R"), QStringLiteral("pub.tpk"), QStringLiteral("--fast"),
         QStringLiteral("--drive"), QStringLiteral("d.txt"), QStringLiteral("/Kstart")});
    EXPECT_TRUE(options.error.isEmpty());
    EXPECT_TRUE(options.fast);
    EXPECT_EQ(options.driveScript, QStringLiteral("d.txt"));
    EXPECT_EQ(options.publicationArguments,
              (QStringList{QStringLiteral("qxplay5"), QStringLiteral("/R"), QStringLiteral("pub.tpk"),
                           QStringLiteral("/Kstart")}));
}

TEST(PlayerOptions, MistakesAreUsageErrors)
{
    EXPECT_FALSE(ParsePlayerOptions({QStringLiteral("qxplay5"), QStringLiteral("--drive")}).error.isEmpty());
    EXPECT_FALSE(ParsePlayerOptions({QStringLiteral("qxplay5"), QStringLiteral("--nope")}).error.isEmpty());
    EXPECT_FALSE(ParsePlayerOptions({QStringLiteral("qxplay5"), QStringLiteral("--drive"), QStringLiteral("a"),
                                     QStringLiteral("--render-pages"), QStringLiteral("b")})
                     .error.isEmpty());
    EXPECT_TRUE(ParsePlayerOptions({QStringLiteral("qxplay5"), QStringLiteral("-h")}).help);
}

TEST(StartRequest, SwitchesAfterTheContainerAreRead)
{
    const TStartRequest request =
        ReadStartRequest({QStringLiteral("/usr/bin/qxplay5"), QStringLiteral("/R"), QStringLiteral("/etc/hostname"),
                          QStringLiteral("/B"), QStringLiteral("-kgallery")});
    EXPECT_TRUE(request.found);
    EXPECT_TRUE(request.bypassPrintDialog);
    EXPECT_EQ(request.startPageName, QStringLiteral("GALLERY"));
    EXPECT_EQ(request.commandLineText, QStringLiteral("/B\r-kgallery"));
    EXPECT_TRUE(request.commandLineVariable.startsWith(QStringLiteral("/usr/bin/qxplay5\r")));
}

TEST(StartRequest, TheStandAlonePlayerWithoutAContainerFindsNone)
{
    EXPECT_FALSE(ReadStartRequest({QStringLiteral("qxplay5")}).found);
    EXPECT_FALSE(ReadStartRequest({QStringLiteral("qxplay5"), QStringLiteral("/R"),
                                   QStringLiteral("/no/such/file.tpk")}).found);
}

} // namespace
} // namespace tomeric
