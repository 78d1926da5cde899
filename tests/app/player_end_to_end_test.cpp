// qxplay5 end to end: a publication packed at test time, played off-screen
// by a driver script, checked by the variables it writes and by pictures of
// its pages.

#include "player_test_support.h"

#include "platform/string_table.h"

namespace tomeric::testing {
namespace {

const char* const kBackgroundsTour =
    "# walk through every background\n"
    "screenshot solid.png\n"
    "key PgDn\n"
    "screenshot gradient.png\n"
    "key PgDn\n"
    "screenshot wallpaper.png\n"
    "key End\n"
    "screenshot centred.png\n"
    "key PgDn\n"
    "vars vars.txt\n"
    "run SetVar \"[AllowClose]\" \"TRUE\"\n"
    "quit\n";

TEST(PlayerDriver, PageUpDownAndEndNavigateAndEnterActionsRunAfterStartup)
{
    PlayerSession session(QStringLiteral("backgrounds"));
    const TPlayerRun run = session.Drive(QString::fromUtf8(kBackgroundsTour));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto vars = session.Variables(QStringLiteral("vars.txt"));
    EXPECT_EQ(vars.at(QStringLiteral("STARTED")), QStringLiteral("Yes"));
    // PgDn on the last page goes nowhere; the last page has no enter action.
    EXPECT_EQ(vars.at(QStringLiteral("ENTERED")), QStringLiteral("Solid;Gradient;Wallpaper;"));
}

TEST(PlayerDriver, ScreenshotsShowSolidGradientAndWallpaperBackgrounds)
{
    PlayerSession session(QStringLiteral("backgrounds"));
    ASSERT_EQ(session.Drive(QString::fromUtf8(kBackgroundsTour)).exitCode, 0);

    const QImage solid = session.Picture(QStringLiteral("solid.png"));
    ASSERT_EQ(solid.size(), QSize(200, 100));
    EXPECT_TRUE(Near(solid.pixelColor(10, 10), QColor(0, 255, 0)));
    EXPECT_TRUE(Near(solid.pixelColor(199, 99), QColor(0, 255, 0)));

    // Black to white from top to bottom over 100 lines: 2.55 a line.
    const QImage gradient = session.Picture(QStringLiteral("gradient.png"));
    EXPECT_TRUE(Near(gradient.pixelColor(50, 0), QColor(0, 0, 0)));
    EXPECT_TRUE(Near(gradient.pixelColor(50, 20), QColor(51, 51, 51)));
    EXPECT_TRUE(Near(gradient.pixelColor(150, 99), QColor(252, 252, 252)));

    // The 20 × 10 tile: red left half, blue right half, repeated.
    const QImage wallpaper = session.Picture(QStringLiteral("wallpaper.png"));
    EXPECT_TRUE(Near(wallpaper.pixelColor(5, 5), QColor(255, 0, 0)));
    EXPECT_TRUE(Near(wallpaper.pixelColor(15, 5), QColor(0, 0, 255)));
    EXPECT_TRUE(Near(wallpaper.pixelColor(185, 95), QColor(255, 0, 0)));

    // One centred copy at 90,45 on yellow.
    const QImage centred = session.Picture(QStringLiteral("centred.png"));
    EXPECT_TRUE(Near(centred.pixelColor(10, 10), QColor(255, 255, 0)));
    EXPECT_TRUE(Near(centred.pixelColor(95, 50), QColor(255, 0, 0)));
    EXPECT_TRUE(Near(centred.pixelColor(105, 50), QColor(0, 0, 255)));
    EXPECT_TRUE(Near(centred.pixelColor(115, 50), QColor(255, 255, 0)));
}

TEST(PlayerClose, ShutdownActionRefusesUntilItKeepsTheStatusTrue)
{
    PlayerSession session(QStringLiteral("backgrounds"));
    const TPlayerRun run = session.Drive(QStringLiteral("quit\n"
                                                        "run SetVar \"[StillHere]\" \"Yes\"\n"
                                                        "vars after.txt\n"
                                                        "run SetVar \"[AllowClose]\" \"true\"\n"
                                                        "quit\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains(QStringLiteral("refused to close")));
    EXPECT_EQ(session.Variables(QStringLiteral("after.txt")).at(QStringLiteral("STILLHERE")), QStringLiteral("Yes"));
    // The shutdown action saw where the close came from; the status
    // variables are cleared again after it.
    const auto closing = session.Variables(QStringLiteral("closing.txt"));
    EXPECT_EQ(closing.at(QStringLiteral("LASTSOURCE")), QStringLiteral("CloseButton"));
    EXPECT_EQ(session.Variables(QStringLiteral("after.txt")).count(QStringLiteral("SHUTDOWNSTATUS")), 0u);
}

TEST(PlayerClose, EscapeClosesThroughTheCloseQueryAsAWindowsClose)
{
    PlayerSession session(QStringLiteral("backgrounds"));
    const TPlayerRun run = session.Drive(QStringLiteral("run SetVar \"[AllowClose]\" \"TRUE\"\n"
                                                        "key Esc\n"
                                                        "wait 100\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(session.Variables(QStringLiteral("closing.txt")).at(QStringLiteral("LASTSOURCE")),
              QStringLiteral("Windows"));
}

TEST(PlayerPasswords, TheRightStartPasswordOpensTheWrongOneEndsQuietly)
{
    PlayerSession session(QStringLiteral("password"));
    const TPlayerRun opened = session.Drive(QStringLiteral("answer secret\n"
                                                           "vars vars.txt\n"
                                                           "answer bye\n"
                                                           "quit\n"));
    ASSERT_TRUE(opened.finished);
    EXPECT_EQ(opened.exitCode, 0);
    EXPECT_TRUE(opened.out.contains(QStringLiteral("DIALOG Password")));
    EXPECT_EQ(session.Variables(QStringLiteral("vars.txt")).at(QStringLiteral("OPENED")), QStringLiteral("Yes"));

    PlayerSession refused(QStringLiteral("password"));
    const TPlayerRun wrong = refused.Drive(QStringLiteral("answer nope\nvars vars.txt\n"));
    ASSERT_TRUE(wrong.finished);
    EXPECT_EQ(wrong.exitCode, 0);
    EXPECT_TRUE(wrong.out.contains(QStringLiteral("DIALOG AlertBox")));
    EXPECT_FALSE(QFile::exists(refused.Path(QStringLiteral("vars.txt"))));
}

TEST(PlayerPasswords, AWrongExitPasswordRefusesTheClose)
{
    PlayerSession session(QStringLiteral("password"));
    const TPlayerRun run = session.Drive(QStringLiteral("answer secret\n"
                                                        "answer wrong\n"
                                                        "quit\n"
                                                        "vars still.txt\n"
                                                        "answer bye\n"
                                                        "quit\n"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(QFile::exists(session.Path(QStringLiteral("still.txt"))));
}

TEST(PlayerPages, RenderPagesDrawsEveryPageWithoutRunningActions)
{
    PlayerSession session(QStringLiteral("backgrounds"));
    const TPlayerRun run =
        session.Run({session.Container(), QStringLiteral("--render-pages"), session.Path(QStringLiteral("pages"))});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("4 pages drawn")));
    const QStringList files = QDir(session.Path(QStringLiteral("pages"))).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, (QStringList{QStringLiteral("001-Solid.png"), QStringLiteral("002-Gradient.png"),
                                  QStringLiteral("003-Wallpaper.png"), QStringLiteral("004-Centred.png")}));
    EXPECT_TRUE(Near(session.Picture(QStringLiteral("pages/001-Solid.png")).pixelColor(3, 3), QColor(0, 255, 0)));
    EXPECT_FALSE(QFile::exists(session.Path(QStringLiteral("closing.txt"))));
}

TEST(PlayerStart, AMissingContainerIsNotAnApplication)
{
    PlayerSession session(QStringLiteral("backgrounds"));
    const TPlayerRun run = session.Run({QStringLiteral("/R"), session.Path(QStringLiteral("missing.tpk"))});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(Message(msgNotAnApplication))) << run.err.toStdString();
}

TEST(PlayerStart, AFileThatIsNoPackageCannotBeRead)
{
    PlayerSession session(QStringLiteral("backgrounds"));
    QFile junk(session.Path(QStringLiteral("junk.tpk")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a package at all, just text\n");
    junk.close();
    const TPlayerRun run = session.Run({QStringLiteral("/R"), junk.fileName()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(Message(msgNoResourceAccess))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(Message(msgDiskReadError))) << run.err.toStdString();
}

TEST(PlayerStart, HelpAndBadOptionsNeedNoPublication)
{
    PlayerSession session(QStringLiteral("backgrounds"));
    const TPlayerRun help = session.Run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--drive")));
    EXPECT_EQ(session.Run({QStringLiteral("--bogus")}).exitCode, 2);
    EXPECT_EQ(session.Run({session.Container(), QStringLiteral("--drive")}).exitCode, 2);
}

TEST(PlayerStart, KSwitchChoosesTheStartPage)
{
    PlayerSession session(QStringLiteral("backgrounds"));
    const TPlayerRun run = session.Drive(QStringLiteral("screenshot start.png\n"
                                                        "run SetVar \"[AllowClose]\" \"TRUE\"\n"),
                                         {QStringLiteral("/kgradient")});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(Near(session.Picture(QStringLiteral("start.png")).pixelColor(50, 0), QColor(0, 0, 0)));
}

TEST(PlayerDriver, UnknownObjectsAndVerbsAreReportedAndTheRunGoesOn)
{
    PlayerSession session(QStringLiteral("backgrounds"));
    const TPlayerRun run = session.Drive(QStringLiteral("click Nothing\n"
                                                        "frobnicate\n"
                                                        "key Ctrl+Q+\n"
                                                        "run SetVar \"[AllowClose]\" \"TRUE\"\n"
                                                        "vars vars.txt\n"));
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains(QStringLiteral("no object Nothing")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("unknown verb frobnicate")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("unknown key")));
    EXPECT_TRUE(QFile::exists(session.Path(QStringLiteral("vars.txt"))));
}

} // namespace
} // namespace tomeric::testing

namespace tomeric::testing {
namespace {

TEST(PlayerTimers, IdleReturnRunsAfterReturnTimeWithoutInput)
{
    PlayerSession session(QStringLiteral("idle"));
    const TPlayerRun run = session.Drive(QStringLiteral("wait 1500\nvars vars.txt\n"));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(session.Variables(QStringLiteral("vars.txt")).at(QStringLiteral("IDLE")).startsWith(QLatin1Char('x')));
}

TEST(PlayerWindow, FullScreenCentresThePublicationAndPageKeysCanBeOff)
{
    PlayerSession session(QStringLiteral("idle"));
    const TPlayerRun run = session.Drive(QStringLiteral("key PgDn\n"
                                                        "screenshot page.png\n"
                                                        "run SetVar \"[Left]\" \"[PubLeft]\"\n"
                                                        "run SetVar \"[Top]\" \"[PubTop]\"\n"
                                                        "run SetVar \"[Width]\" \"[WindowWidth]\"\n"
                                                        "run SetVar \"[Screen]\" \"[ScreenWidth]\"\n"
                                                        "vars vars.txt\n"));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto vars = session.Variables(QStringLiteral("vars.txt"));
    EXPECT_EQ(vars.at(QStringLiteral("WIDTH")), vars.at(QStringLiteral("SCREEN")));
    const int screen = vars.at(QStringLiteral("SCREEN")).toInt();
    EXPECT_EQ(vars.at(QStringLiteral("LEFT")).toInt(), (screen - 100) / 2);
    EXPECT_GT(vars.at(QStringLiteral("TOP")).toInt(), 0);
    // ALLOWPAGEUPDN=No: still on the black first page.
    EXPECT_TRUE(Near(session.Picture(QStringLiteral("page.png")).pixelColor(5, 5), QColor(0, 0, 0)));
}

TEST(PlayerErrors, ScriptErrorsShowTheErrorBoxWhileShowErrorsIsOn)
{
    PlayerSession session(QStringLiteral("idle"));
    const TPlayerRun run = session.Drive(QStringLiteral("run NoSuchCommand \"x\"\n"));
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains(QStringLiteral("ERROR \""))) << run.out.toStdString();
}

} // namespace
} // namespace tomeric::testing

#include "platform/registry_store.h"

namespace tomeric::testing {
namespace {

TEST(PlayerWindow, SavedPositionBeyondTheDesktopComesBackAndIsSavedAgainAtClose)
{
    PlayerSession session(QStringLiteral("position"));
    platform::RegistryStore registry(session.RegistryFile());
    const QString key = QStringLiteral("Software\\TomericTests");
    ASSERT_TRUE(registry
                    .WriteValue(platform::RegistryRoot::CurrentUser, key, QStringLiteral("Window"),
                                platform::RegistryValue::FromString(QStringLiteral("50000,40,x,y,0")))
                    .ok());
    const TPlayerRun run = session.Drive(QStringLiteral("run SetVar \"[Left]\" \"[WindowLeft]\"\n"
                                                        "run SetVar \"[Top]\" \"[WindowTop]\"\n"
                                                        "run SetVar \"[Width]\" \"[WindowWidth]\"\n"
                                                        "run SetVar \"[Screen]\" \"[ScreenWidth]\"\n"
                                                        "vars vars.txt\n"));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto vars = session.Variables(QStringLiteral("vars.txt"));
    const int left = vars.at(QStringLiteral("LEFT")).toInt();
    // At the right edge of the desktop (the frame is only known once shown).
    EXPECT_NEAR(left, vars.at(QStringLiteral("SCREEN")).toInt() - vars.at(QStringLiteral("WIDTH")).toInt(), 8);
    EXPECT_EQ(vars.at(QStringLiteral("TOP")), QStringLiteral("40"));

    platform::RegistryValue saved;
    ASSERT_TRUE(platform::RegistryStore(session.RegistryFile())
                    .ReadValue(platform::RegistryRoot::CurrentUser, key, QStringLiteral("Window"), &saved)
                    .ok());
    const QStringList parts = saved.text.split(QLatin1Char(','));
    ASSERT_EQ(parts.size(), 5);
    EXPECT_EQ(parts[0].toInt(), left);
    EXPECT_EQ(parts[1], QStringLiteral("40"));
    EXPECT_EQ(parts[4], QStringLiteral("0"));
}

} // namespace
} // namespace tomeric::testing

namespace tomeric::testing {
namespace {

TEST(PlayerWindow, AShapedWindowTakesTheSizeOfItsShapePicture)
{
    PlayerSession session(QStringLiteral("shaped"));
    const TPlayerRun run = session.Drive(QStringLiteral("run SetVar \"[W]\" \"[ClientWidth]\"\n"
                                                        "run SetVar \"[H]\" \"[ClientHeight]\"\n"
                                                        "vars vars.txt\n"));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const auto vars = session.Variables(QStringLiteral("vars.txt"));
    EXPECT_EQ(vars.at(QStringLiteral("W")), QStringLiteral("40"));
    EXPECT_EQ(vars.at(QStringLiteral("H")), QStringLiteral("20"));
}

} // namespace
} // namespace tomeric::testing

namespace tomeric::testing {
namespace {

TEST(PlayerStart, ASplashPictureDoesNotStandInTheWayOfTheStart)
{
    PlayerSession session(QStringLiteral("backgrounds"), QStringLiteral("tile.png"));
    const TPlayerRun run = session.Drive(QStringLiteral("run SetVar \"[AllowClose]\" \"TRUE\"\n"
                                                        "vars vars.txt\n"));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(session.Variables(QStringLiteral("vars.txt")).at(QStringLiteral("STARTED")), QStringLiteral("Yes"));
}

TEST(PlayerStart, WithoutADisplayThePagesAreDrawnBesideTheCurrentFolder)
{
    PlayerSession session(QStringLiteral("backgrounds"));
    const TPlayerRun run = session.Run({session.Container()});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("no display")));
    EXPECT_TRUE(QFile::exists(session.Path(QStringLiteral("backgrounds-pages/004-Centred.png"))));
}

} // namespace
} // namespace tomeric::testing

namespace tomeric::testing {
namespace {

TEST(PlayerKeys, F1OpensTheHelpFileResolvedFromThePackage)
{
    PlayerSession session(QStringLiteral("help"));
    const TPlayerRun run = session.Drive(QStringLiteral("key F1\n"));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("CALL Help \""))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("guide.txt\""))) << run.out.toStdString();
}

} // namespace
} // namespace tomeric::testing

namespace tomeric::testing {
namespace {

TEST(PlayerCommands, ExitAsksItsQuestionAndClosesAsTomeric)
{
    PlayerSession session(QStringLiteral("backgrounds"));
    const TPlayerRun run = session.Drive(QStringLiteral("answer 2\n"
                                                        "run Exit \"Quitter\" \"Vraiment ?\"\n"
                                                        "run SetVar \"[AllowClose]\" \"TRUE\"\n"
                                                        "vars stayed.txt\n"
                                                        "run Exit \"\" \"\"\n"
                                                        "vars gone.txt\n"));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("DIALOG MessageBox \"Quitter\" \"Vraiment ?\"")));
    EXPECT_TRUE(QFile::exists(session.Path(QStringLiteral("stayed.txt"))));
    EXPECT_FALSE(QFile::exists(session.Path(QStringLiteral("gone.txt"))));
    EXPECT_EQ(session.Variables(QStringLiteral("closing.txt")).at(QStringLiteral("LASTSOURCE")),
              QStringLiteral("Tomeric"));
}

} // namespace
} // namespace tomeric::testing
