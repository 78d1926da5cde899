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

struct SpotCase {
    const char* text;
    const char* name;
    bool hasPoint;
    int x, y;
};

class DriverSpots : public ::testing::TestWithParam<SpotCase> {};

TEST_P(DriverSpots, ANameAndAnOptionalPointInsideIt)
{
    const auto spot = ParseDriverSpot(QString::fromUtf8(GetParam().text));
    ASSERT_TRUE(spot.has_value()) << GetParam().text;
    EXPECT_EQ(spot->name, QString::fromUtf8(GetParam().name));
    ASSERT_EQ(spot->point.has_value(), GetParam().hasPoint);
    if (GetParam().hasPoint) {
        EXPECT_EQ(*spot->point, QPoint(GetParam().x, GetParam().y));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DriverSpots,
    ::testing::Values(SpotCase{"Tri", "Tri", false, 0, 0},
                      SpotCase{"  Tri@20,30 ", "Tri", true, 20, 30},
                      SpotCase{"Tri@ 5 , 7", "Tri", true, 5, 7},
                      SpotCase{"Tri@-4,0", "Tri", true, -4, 0},
                      SpotCase{"Big Button", "Big Button", false, 0, 0},
                      // an "@" that starts no point belongs to the name
                      SpotCase{"mail@home", "mail@home", false, 0, 0},
                      SpotCase{"a@b@1,2", "a@b", true, 1, 2},
                      SpotCase{"Tri@20", "Tri@20", false, 0, 0},
                      SpotCase{"@1,2", "@1,2", false, 0, 0}));

TEST(DriverSpots, NothingIsNoSpot)
{
    EXPECT_FALSE(ParseDriverSpot(QString()).has_value());
    EXPECT_FALSE(ParseDriverSpot(QStringLiteral("   ")).has_value());
}

TEST(DriverDrags, OntoAnotherObjectOrItsPoint)
{
    auto drag = ParseDriverDrag(QStringLiteral("Chip  TargetB"));
    ASSERT_TRUE(drag.has_value());
    EXPECT_EQ(drag->from.name, QStringLiteral("Chip"));
    EXPECT_FALSE(drag->from.point.has_value());
    ASSERT_TRUE(drag->to.has_value());
    EXPECT_EQ(drag->to->name, QStringLiteral("TargetB"));

    drag = ParseDriverDrag(QStringLiteral("Tri@10,12 Bin@0,0"));
    ASSERT_TRUE(drag.has_value());
    EXPECT_EQ(drag->from.point, QPoint(10, 12));
    ASSERT_TRUE(drag->to.has_value());
    EXPECT_EQ(drag->to->point, QPoint(0, 0));
}

TEST(DriverDrags, ByAnOffsetFromThePress)
{
    const auto drag = ParseDriverDrag(QStringLiteral("Chip 160 -10"));
    ASSERT_TRUE(drag.has_value());
    EXPECT_EQ(drag->from.name, QStringLiteral("Chip"));
    EXPECT_FALSE(drag->to.has_value());
    EXPECT_EQ(drag->offset, QPoint(160, -10));
}

TEST(DriverDrags, AReleaseGoesWherePressedOntoASpotOrByAnOffset)
{
    auto release = ParseDriverRelease(QString());
    ASSERT_TRUE(release.has_value());
    EXPECT_FALSE(release->to.has_value());
    EXPECT_EQ(release->offset, QPoint(0, 0));

    release = ParseDriverRelease(QStringLiteral(" Bin@3,4 "));
    ASSERT_TRUE(release.has_value() && release->to.has_value());
    EXPECT_EQ(release->to->name, QStringLiteral("Bin"));
    EXPECT_EQ(release->to->point, QPoint(3, 4));

    release = ParseDriverRelease(QStringLiteral("-5 12"));
    ASSERT_TRUE(release.has_value());
    EXPECT_FALSE(release->to.has_value());
    EXPECT_EQ(release->offset, QPoint(-5, 12));

    EXPECT_FALSE(ParseDriverRelease(QStringLiteral("5 x")).has_value());
    EXPECT_FALSE(ParseDriverRelease(QStringLiteral("1 2 3")).has_value());
}

TEST(DriverDrags, AnythingElseIsRefused)
{
    for (const char* text : {"", "Chip", "Chip 10 x", "Chip 1 2 3", "Chip ten 20"})
        EXPECT_FALSE(ParseDriverDrag(QString::fromUtf8(text)).has_value()) << text;
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
