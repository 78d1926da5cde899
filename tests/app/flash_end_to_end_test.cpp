// Flash objects in the running player, with a movie the test writes itself:
// the movie shows (its own background, or the object's colour with
// UseBackgroundColor), LoadedAction and DoneAction run once, its
// fscommand("tomeric", ...) runs the argument as a script, another command
// reaches the <object>_FSCommand subroutine, and an object with enhanced
// security keeps both out. The commands Ruffle can carry out work; the others say so.
// Without Ruffle the objects show "Requires Flash Player".

#include "player_test_support.h"

#ifdef TOMERIC_HAS_WEBENGINE
#include "browser/ruffle_location.h"
#endif

#include <QtEndian>

namespace tomeric::testing {
namespace {

// ---- a minimal SWF writer ------------------------------------------------------------

class TBitWriter {
public:
    void Put(std::uint32_t value, int bits)
    {
        for (int bit = bits - 1; bit >= 0; --bit) {
            current_ = std::uint8_t(current_ << 1 | ((value >> bit) & 1));
            if (++used_ == 8)
                Flush();
        }
    }
    QByteArray Bytes()
    {
        if (used_ > 0) {
            current_ = std::uint8_t(current_ << (8 - used_));
            Flush();
        }
        return bytes_;
    }

private:
    void Flush()
    {
        bytes_.append(char(current_));
        current_ = 0;
        used_ = 0;
    }
    QByteArray bytes_;
    std::uint8_t current_ = 0;
    int used_ = 0;
};

QByteArray Le16(int value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian<quint16>(quint16(value), bytes.data());
    return bytes;
}

QByteArray Le32(int value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(quint32(value), bytes.data());
    return bytes;
}

QByteArray Tag(int code, const QByteArray& body)
{
    if (body.size() < 0x3F)
        return Le16(code << 6 | int(body.size())) + body;
    return Le16(code << 6 | 0x3F) + Le32(int(body.size())) + body;
}

// fscommand(command, args): push the "FSCommand:" address and the target,
// then GetURL2.
QByteArray FsCommandActions(const QString& command, const QString& args)
{
    QByteArray push;
    for (const QString& text : {QStringLiteral("FSCommand:") + command, args})
        push += '\0' + text.toUtf8() + '\0';
    return QByteArray(1, char(0x96)) + Le16(int(push.size())) + push + QByteArray("\x9A\x01\x00\x00", 4);
}

// One frame of width × height pixels on `background`, whose action sends
// the given commands and stops.
QByteArray MinimalSwf(int width, int height, QColor background, const QList<QPair<QString, QString>>& commands)
{
    TBitWriter frame;
    const int bits = 16; // enough for any twip size below 1638 pixels
    frame.Put(bits, 5);
    for (int value : {0, width * 20, 0, height * 20})
        frame.Put(std::uint32_t(value), bits);
    QByteArray actions;
    for (const auto& [command, args] : commands)
        actions += FsCommandActions(command, args);
    actions += QByteArray("\x07\x00", 2); // Stop, End
    QByteArray body = frame.Bytes() + Le16(12 << 8) + Le16(1);
    const char colour[] = {char(background.red()), char(background.green()), char(background.blue())};
    body += Tag(9, QByteArray(colour, 3)); // SetBackgroundColor
    body += Tag(12, actions);              // DoAction
    body += Tag(1, {});                    // ShowFrame
    body += Tag(0, {});                    // End
    return QByteArray("FWS\x06", 4) + Le32(int(8 + body.size())) + body;
}

const QColor kMovieGreen(0, 200, 0);

// The same movie compressed ("CWS"): zlib over everything after the header.
QByteArray Compressed(const QByteArray& movie)
{
    return QByteArray("CWS", 3) + movie.mid(3, 5) + qCompress(movie.mid(8)).mid(4);
}

QString WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

QByteArray TestMovie()
{
    return MinimalSwf(160, 120, kMovieGreen,
                      {{QStringLiteral("tomeric"), QStringLiteral("SetVar \"[Played]\" \"[Played][Self];\"")},
                       {QStringLiteral("ping"), QStringLiteral("pong")}});
}

bool RuffleInstalled()
{
#ifdef TOMERIC_HAS_WEBENGINE
    return !RuffleFolder().isEmpty();
#else
    return false;
#endif
}

// ---- the tour ------------------------------------------------------------------------------

constexpr const char* kFlashTour =
    "run GoSub \"WaitForMovies\"\n"
    "wait 500\n"
    "screenshot movie.png\n"
    "run SetVar \"[DoneOnce]\" \"[Done]\"\n"
    "run SetVar \"[PlayedOnce]\" \"[Played]\"\n"
    "run SetVar \"[CmdOnce]\" \"[Cmd]\"\n"
    "run SetVar \"[LockedDoneOnce]\" \"[LockedDone]\"\n"
    "run GetObjectInfo \"Movie\" \"MediaLength\" \"[Frames]\"\n"
    "run FlashPause \"Movie\"\n"
    "run FlashPlay \"Movie\" \"Loop\"\n"
    "run FlashRewind \"Movie\"\n"
    "run SetVar \"[ControlError]\" \"[LastError]\"\n"
    "run FlashGotoFrame \"Movie\" \"1\"\n"
    "run SetVar \"[GotoError]\" \"[LastError]\"\n"
    "run SetVar \"[Got]\" \"stale\"\n"
    "run FlashGetVar \"Movie\" \"x\" \"[Got]\"\n"
    "run FlashPlay \"Missing\" \"\"\n"
    "run SetVar \"[MissingError]\" \"[LastError]\"\n"
    "run FlashStop \"Movie\"\n"
    "wait 300\n"
    "vars vars.txt\n"
    "quit\n";

constexpr const char* kNoticeTour =
    "wait 300\n"
    "screenshot notice.png\n"
    "run FlashPlay \"Movie\" \"\"\n"
    "run SetVar \"[PlayError]\" \"[LastError]\"\n"
    "vars vars.txt\n"
    "quit\n";

struct TFlashRun {
    explicit TFlashRun(const char* script, bool withRuffle)
        : session(QStringLiteral("flash_live"),
                  {{QStringLiteral("movie.swf"), WriteFile(scratch.filePath(QStringLiteral("movie.swf")), TestMovie())},
                   {QStringLiteral("packed.swf"),
                    WriteFile(scratch.filePath(QStringLiteral("packed.swf")), Compressed(TestMovie()))}})
    {
        if (!withRuffle)
            session.SetEnvironment(QStringLiteral("TOMERIC_RUFFLE_DIR"), scratch.path());
        run = session.Drive(QString::fromUtf8(script));
        vars = session.Variables(QStringLiteral("vars.txt"));
    }
    std::string Var(const char* name) const
    {
        const auto found = vars.find(QString::fromLatin1(name));
        return found == vars.end() ? std::string() : found->second.toStdString();
    }

    QTemporaryDir scratch;
    PlayerSession session;
    TPlayerRun run;
    std::map<QString, QString> vars;
};

class FlashEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (RuffleInstalled())
            tour = std::make_unique<TFlashRun>(kFlashTour, true);
    }
    static void TearDownTestSuite() { tour.reset(); }
    void SetUp() override
    {
        if (!tour)
            GTEST_SKIP() << "Ruffle is not installed (scripts/install-deps fetches it); Flash movies cannot play";
    }
    static std::string Var(const char* name) { return tour->Var(name); }
    static inline std::unique_ptr<TFlashRun> tour;
};

TEST_F(FlashEndToEnd, ThePlayerRunsTheTourCleanly)
{
    ASSERT_TRUE(tour->run.finished);
    EXPECT_EQ(tour->run.exitCode, 0) << tour->run.err.toStdString();
    EXPECT_FALSE(tour->run.err.contains(QStringLiteral("qxplay5:"))) << tour->run.err.toStdString();
    EXPECT_FALSE(tour->run.err.contains(QStringLiteral("flash:"))) << tour->run.err.toStdString();
}

TEST_F(FlashEndToEnd, TheMovieShowsWithItsBackgroundOrTheObjectsColour)
{
    const QImage page = tour->session.Picture(QStringLiteral("movie.png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_TRUE(Near(page.pixelColor(80, 60), kMovieGreen, 8)) << page.pixelColor(80, 60).name().toStdString();
    // USEBKNDCOLOR=Yes with FILLCOLOR=255: red instead of the movie's green.
    EXPECT_TRUE(Near(page.pixelColor(240, 60), QColor(255, 0, 0), 8)) << page.pixelColor(240, 60).name().toStdString();
}

TEST_F(FlashEndToEnd, TheLoadedAndDoneActionsRunOnceAndTheMovieReportsItsFrames)
{
    EXPECT_EQ(Var("LOADS"), "L");
    EXPECT_EQ(Var("LOCKEDLOADS"), "L");
    EXPECT_EQ(Var("FRAMES"), "1");
    // Without LOOPPLAYBACK the movie stops at its last frame and says so
    // (compressed movies too); rewinding it (AUTOREWIND) runs neither action
    // again.
    EXPECT_EQ(Var("DONEONCE"), "D");
    EXPECT_EQ(Var("LOCKEDDONEONCE"), "D");
}

TEST_F(FlashEndToEnd, MovieCommandsRunScriptsOnlyWhereScriptsAreAllowed)
{
    // "tomeric" runs its argument with the object as [Self]; the movie with
    // enhanced security sends the same commands in vain.
    EXPECT_EQ(Var("PLAYEDONCE"), "Movie;");
    EXPECT_EQ(Var("CMDONCE"), "ping=pong;");
}

TEST_F(FlashEndToEnd, CommandsRuffleOffersWorkAndTheOthersSaySo)
{
    EXPECT_EQ(Var("CONTROLERROR"), "");
    EXPECT_EQ(Var("CANCELLED"), "C");
    EXPECT_EQ(Var("GOTOERROR"), "\"Movie\"||FlashGotoFrame n'est pas disponible avec le lecteur Flash Ruffle.");
    EXPECT_EQ(Var("GOT"), "");
    EXPECT_EQ(Var("MISSINGERROR"), "\"Missing\"||La commande requiert un objet visible.");
}

TEST(FlashWithoutPlayer, TheObjectShowsItsNoticeAndItsCommandsFail)
{
    const TFlashRun notice(kNoticeTour, false);
    ASSERT_TRUE(notice.run.finished);
    EXPECT_EQ(notice.Var("PLAYERROR"), "\"Movie\"||La commande requiert un objet visible.");
    const QImage page = notice.session.Picture(QStringLiteral("notice.png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_FALSE(Near(page.pixelColor(80, 60), kMovieGreen, 40));
    // The notice's black text lies somewhere in the object.
    bool dark = false;
    for (int y = 30; y < 90 && !dark; ++y)
        for (int x = 0; x < 160 && !dark; ++x)
            dark = page.pixelColor(x, y).lightness() < 80;
    EXPECT_TRUE(dark);
}

} // namespace
} // namespace tomeric::testing
