// Object commands in the running player: a driven script moves, queries,
// restyles and hides page objects, and the variables and the page picture
// show the result.

#include "player_test_support.h"

#include "platform/string_table.h"

namespace tomeric::testing {
namespace {

const char* const kObjectTour =
    "wait\n"
    "run GetObjectInfo \"Box\", \"Left\", \"[StartLeft]\"\n"
    "run MoveObject \"box\", \"60\", \"70\"\n"
    "run GetObjectInfo \"Box\", \"Left\", \"[MovedLeft]\"\n"
    "run GetObjectInfo \"Box\", \"Top\", \"[MovedTop]\"\n"
    "run SizeObject \"Box\", \"50\", \"25\"\n"
    "run GetObjectInfo \"Box\", \"Width\", \"[SizedWidth]\"\n"
    "run HideObject \"Ghost\", \"\", \"\"\n"
    "run SetVar \"[GhostError]\", \"[LastError]\"\n"
    "run GetObjectInfo \"Box\", \"Colour\", \"[Bad]\"\n"
    "run SetVar \"[InfoError]\", \"[LastError]\"\n"
    "run HideObject \"Far\", \"Dissolve\", \"0\"\n"
    "run GetObjectInfo \"Far\", \"Visible\", \"[FarVisible]\"\n"
    "run MoveObjectAlongPath \"Box\", \"0,0,30,40\", \"0\", \"Wait,LeftTop\", \"\"\n"
    "run GetObjectInfo \"Box\", \"Left\", \"[PathLeft]\"\n"
    "run GetObjectInfo \"Box\", \"Top\", \"[PathTop]\"\n"
    "run SetObjectLine \"Frame\", \"Red\", \"5\", \"2\"\n"
    "run SetObjectFill \"Frame\", \"0,0,255\", \"\", \"\"\n"
    "screenshot page.png\n"
    "vars vars.txt\n"
    "quit\n";

TEST(ObjectCommandsEndToEnd, ScriptsMoveQueryRestyleAndHideObjects)
{
    PlayerSession session(QStringLiteral("objcmds_basic"));
    const TPlayerRun run = session.Drive(QString::fromUtf8(kObjectTour));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    auto vars = session.Variables(QStringLiteral("vars.txt"));
    EXPECT_EQ(vars[QStringLiteral("STARTLEFT")], QStringLiteral("10"));
    EXPECT_EQ(vars[QStringLiteral("MOVEDLEFT")], QStringLiteral("60"));
    EXPECT_EQ(vars[QStringLiteral("MOVEDTOP")], QStringLiteral("70"));
    EXPECT_EQ(vars[QStringLiteral("SIZEDWIDTH")], QStringLiteral("50"));
    EXPECT_EQ(vars[QStringLiteral("GHOSTERROR")], QStringLiteral("\"Ghost\"||") + Message(msgNoSuchObject));
    EXPECT_EQ(vars[QStringLiteral("INFOERROR")], QStringLiteral("Colour||") + Message(msgInvalidObjectInfo));
    // An object on another page is found and only changes its state.
    EXPECT_EQ(vars[QStringLiteral("FARVISIBLE")], QStringLiteral("False"));
    EXPECT_EQ(vars[QStringLiteral("PATHLEFT")], QStringLiteral("30"));
    EXPECT_EQ(vars[QStringLiteral("PATHTOP")], QStringLiteral("40"));

    const QImage page = session.Picture(QStringLiteral("page.png"));
    ASSERT_FALSE(page.isNull());
    // The red box now lies at (30, 40), 50 x 25.
    EXPECT_TRUE(Near(page.pixelColor(55, 52), QColor(255, 0, 0)));
    EXPECT_TRUE(Near(page.pixelColor(15, 25), QColor(255, 255, 255)));
    // The frame: blue fill, a dotted red border one pixel wide.
    EXPECT_TRUE(Near(page.pixelColor(150, 80), QColor(0, 0, 255)));
    int red = 0, other = 0;
    for (int x = 125; x < 175; ++x)
        (Near(page.pixelColor(x, 60), QColor(255, 0, 0), 40) ? red : other)++;
    EXPECT_GT(red, 5);
    EXPECT_GT(other, 5);
    EXPECT_TRUE(Near(page.pixelColor(150, 62), QColor(0, 0, 255)));
}

} // namespace
} // namespace tomeric::testing
