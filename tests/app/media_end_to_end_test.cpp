// Sound, video, MCI, cartoons and the media objects in the running player,
// with media files the test makes: the open-media list's rules (loops, the
// WAVE and MIDI stop rules, StopMedia by kind), a video centred at its own
// size, MCI strings and their errors, the mixer's volume, cartoons in place
// and on the move, GIFPlay's counted loops and a media player that reaches
// its end. The machine needs no sound card: playback runs silently at its
// real speed.

#include "media_test_files.h"
#include "player_test_support.h"

namespace tomeric::testing {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);

constexpr const char* kMediaTour =
    "wait 300\n"
    // A looping WAVE (300 ms) outlives three times its length; a MIDI file
    // leaves it alone; a second start of it is ignored.
    "run PlaySoundFile \"loop.wav\" \"Loop\"\n"
    "wait 1000\n"
    "run PlaySoundFile \"tune.mid\" \"\"\n"
    "run PlaySoundFile \"LOOP.WAV\" \"\"\n"
    "media loop_and_midi.txt\n"
    "run StopMedia \"sound\"\n"
    "media after_stop_sound.txt\n"
    // A second WAVE stops the first; "Wait" returns once it has played.
    "run PlaySoundFile \"loop.wav\" \"Loop\"\n"
    "run PlaySoundFile \"other.wav\" \"Wait\"\n"
    "run SetVar \"[AfterWait]\" \"done\"\n"
    "media after_second_wave.txt\n"
    // A file that is not there.
    "run PlaySoundFile \"nothere.wav\" \"\"\n"
    "run SetVar \"[MissingError]\" \"[LastError]\"\n"
    // A video at its own size, centred; a cartoon; a sound beside them.
    "run PlayVideoFile \"-1\" \"-1\" \"-1\" \"-1\" \"clip.ogv\" \"\"\n"
    "run PlayCartoonFile \"60\" \"200\" \"60\" \"200\" \"walk.car\" \"2\" \"150\" \"\"\n"
    "run PlaySoundFile \"loop.wav\" \"Loop\"\n"
    "wait 250\n"
    "screenshot video.png\n"
    "media with_video.txt\n"
    "run StopMedia \"video\"\n"
    "media after_stop_video.txt\n"
    "run StopMedia \"\"\n"
    "media after_stop_all.txt\n"
    // An in-place cartoon plays its frames steps times, then vanishes.
    "run PlayCartoonFile \"60\" \"200\" \"60\" \"200\" \"walk.car\" \"2\" \"150\" \"\"\n"
    "wait 250\n"
    "screenshot cartoon_playing.png\n"
    "wait 1200\n"
    "screenshot cartoon_gone.png\n"
    "media after_cartoon.txt\n"
    // One across the page, over the black bar, waited for.
    "run PlayCartoonFile \"20\" \"150\" \"300\" \"150\" \"walk.car\" \"2\" \"30\" \"Wait\"\n"
    "screenshot cartoon_moved.png\n"
    // MCI.
    "run MCICommand \"open loop.wav alias a\"\n"
    "run SetVar \"[OpenResult]\" \"[MCIResult]\"\n"
    "run MCICommand \"status a length\"\n"
    "run SetVar \"[Length]\" \"[MCIResponse]\"\n"
    "run MCICommand \"play a wait\"\n"
    "run MCICommand \"status a mode\"\n"
    "run SetVar \"[ModeAfterWait]\" \"[MCIResponse]\"\n"
    "run MCICommand \"capability a has video\"\n"
    "run SetVar \"[HasVideo]\" \"[MCIResponse]\"\n"
    "run MCICommand \"frobnicate a\"\n"
    "run SetVar \"[BadResult]\" \"[MCIResult]\"\n"
    "run SetVar \"[BadError]\" \"[LastError]\"\n"
    "run MCICommand \"status nobody mode\"\n"
    "run SetVar \"[NoAliasResult]\" \"[MCIResult]\"\n"
    "run MCICommand \"open missing.wav alias m\"\n"
    "run SetVar \"[NoFileResult]\" \"[MCIResult]\"\n"
    "run MCICommand \"close all\"\n"
    "run SetVar \"[CloseResult]\" \"[MCIResult]\"\n"
    // The mixer.
    "run SetVolume \"Wave\" \"255\"\n"
    "run GetVolume \"Wave\" \"[WaveFull]\"\n"
    "run SetVolume \"wave\" \"100\"\n"
    "run GetVolume \"Wave\" \"[WaveHundred]\"\n"
    "run SetVolume \"Microphone\" \"200\"\n"
    "run GetVolume \"Microphone\" \"[Microphone]\"\n"
    "run SoundBuzzer\n"
    "run SystemSound \"SystemAsterisk\"\n"
    // The animation plays two loops of three 60 ms frames.
    "run GIFPlay \"Gif\" \"2\"\n"
    "wait 900\n"
    "screenshot gif_done.png\n"
    // The media player plays its 600 ms WAVE to the end.
    "run MediaPlayerPlay \"Player\"\n"
    "wait 300\n"
    "run SetVar \"[PlayerMid]\" \"[PlayerPos]\"\n"
    "wait 900\n"
    "run GetObjectInfo \"Player\" \"MediaLength\" \"[PlayerLength]\"\n"
    // Leaving the page stops it: no second done action.
    "run MediaPlayerPlay \"Player\"\n"
    "wait 200\n"
    "run GotoPage \"Other\"\n"
    "run SetVar \"[PosAfterLeave]\" \"[PlayerPos]\"\n"
    "wait 700\n"
    // Something still plays when the player closes.
    "run PlaySoundFile \"loop.wav\" \"Loop\"\n"
    "vars vars.txt\n"
    "quit\n";

class MediaEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Silent on any machine, sound card or not.
        qputenv("GST_PLUGIN_FEATURE_RANK", "fakeaudiosink:MAX");
        session = std::make_unique<PlayerSession>(QStringLiteral("media_live"));
        ASSERT_TRUE(WriteWave(session->Path(QStringLiteral("loop.wav")), 300));
        ASSERT_TRUE(WriteWave(session->Path(QStringLiteral("other.wav")), 300));
        ASSERT_TRUE(WriteWave(session->Path(QStringLiteral("tune.wav")), 600));
        ASSERT_TRUE(WriteMidi(session->Path(QStringLiteral("tune.mid"))));
        ASSERT_TRUE(WriteAnimatedGif(session->Path(QStringLiteral("anim.gif")), 30,
                                     {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)}, 6));
        ASSERT_TRUE(WriteCartoon(session->Path(QStringLiteral("walk.car")), 20,
                                 {QColor(255, 0, 0), QColor(0, 160, 0), QColor(0, 0, 255)}));
        ASSERT_TRUE(WriteRedVideo(session->Path(QStringLiteral("clip.ogv")), 80, 60));
        run = session->Drive(QString::fromUtf8(kMediaTour));
        vars = session->Variables(QStringLiteral("vars.txt"));
    }
    static void TearDownTestSuite() { session.reset(); }

    static std::string Var(const char* name)
    {
        const auto found = vars.find(QString::fromLatin1(name));
        return found == vars.end() ? std::string() : found->second.toStdString();
    }
    static QStringList Media(const char* file)
    {
        QFile in(session->Path(QString::fromLatin1(file)));
        if (!in.open(QIODevice::ReadOnly))
            return {QStringLiteral("(not written)")};
        return QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    static QImage Shot(const char* file) { return session->Picture(QString::fromLatin1(file)); }

    static inline std::unique_ptr<PlayerSession> session;
    static inline TPlayerRun run;
    static inline std::map<QString, QString> vars;
};

// Each test reads what the one driven run left behind; the run is shared
// by the suite, so the checks are grouped by subject.
TEST_F(MediaEndToEnd, TheOpenMediaListKeepsItsRules)
{
    // The player ran the tour and closed with a sound still playing.
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral("qxplay5:"))) << run.err.toStdString();

    // A looping WAVE outlives its length; a MIDI file leaves it alone.
    EXPECT_EQ(Media("loop_and_midi.txt"),
              QStringList({QStringLiteral("TUNE.MID kind=0 mode=0 video=0 restarts=0 state=playing"),
                           QStringLiteral("LOOP.WAV kind=3 mode=2 video=0 restarts=0 state=playing")}));
    EXPECT_TRUE(Media("after_stop_sound.txt").isEmpty());

    // A second WAVE stops the first; "Wait" returns once it has played.
    EXPECT_TRUE(Media("after_second_wave.txt").isEmpty());
    EXPECT_EQ(Var("AFTERWAIT"), "done");

    // A missing file is reported with the extraction error.
    EXPECT_NE(Var("MISSINGERROR").find("nothere.wav"), std::string::npos) << Var("MISSINGERROR");
    EXPECT_NE(Var("MISSINGERROR").find("Erreur d'extraction"), std::string::npos) << Var("MISSINGERROR");

    // StopMedia "video" stops videos and cartoons, not sounds.
    const QStringList playing = Media("with_video.txt");
    ASSERT_EQ(playing.size(), 3) << playing.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(playing[1].startsWith(QStringLiteral("WALK.CAR kind=2 mode=0 video=1")));
    EXPECT_TRUE(playing[2].startsWith(QStringLiteral("CLIP.OGV kind=0 mode=0 video=1")));
    EXPECT_EQ(Media("after_stop_video.txt"),
              QStringList(QStringLiteral("LOOP.WAV kind=3 mode=2 video=0 restarts=0 state=playing")));
    EXPECT_TRUE(Media("after_stop_all.txt").isEmpty());
}

TEST_F(MediaEndToEnd, VideosAndCartoonsShowWhereTheyShould)
{
    // A video of size -1 shows at its own size, centred in the page.
    const QImage page = Shot("video.png");
    ASSERT_FALSE(page.isNull());
    // 80 x 60 centred in 320 x 240: from 120,90 to 199,149.
    const auto reddish = [](QColor c) { return c.red() > 180 && c.green() < 80 && c.blue() < 80; };
    EXPECT_TRUE(reddish(page.pixelColor(124, 94))) << page.pixelColor(124, 94).name().toStdString();
    EXPECT_TRUE(reddish(page.pixelColor(195, 145))) << page.pixelColor(195, 145).name().toStdString();
    EXPECT_TRUE(Near(page.pixelColor(116, 120), kWhite));
    EXPECT_TRUE(Near(page.pixelColor(203, 120), kWhite));
    EXPECT_TRUE(Near(page.pixelColor(160, 86), kWhite));
    EXPECT_TRUE(Near(page.pixelColor(160, 153), kWhite));

    // A cartoon in place shows its frames, then vanishes.
    const QColor shown = Shot("cartoon_playing.png").pixelColor(60, 200);
    EXPECT_FALSE(Near(shown, kWhite)) << shown.name().toStdString();
    EXPECT_TRUE(Near(Shot("cartoon_playing.png").pixelColor(49, 200), kWhite)); // its clear border
    EXPECT_TRUE(Near(Shot("cartoon_gone.png").pixelColor(60, 200), kWhite));
    EXPECT_TRUE(Media("after_cartoon.txt").isEmpty());

    // A cartoon moving across the page leaves it as it was.
    const QImage moved = Shot("cartoon_moved.png");
    ASSERT_FALSE(moved.isNull());
    for (int x = 10; x < 310; x += 10) {
        const bool onBar = x >= 100 && x < 140;
        EXPECT_TRUE(Near(moved.pixelColor(x, 150), onBar ? kBlack : kWhite)) << x;
    }
}

TEST_F(MediaEndToEnd, MciStringsAndTheMixerAnswer)
{
    // MCI strings answer in [MCIResponse] and report what they do not understand.
    EXPECT_EQ(Var("OPENRESULT"), "0");
    EXPECT_EQ(Var("LENGTH"), "300");
    EXPECT_EQ(Var("MODEAFTERWAIT"), "stopped");
    EXPECT_EQ(Var("HASVIDEO"), "false");
    EXPECT_EQ(Var("BADRESULT"), "261");
    EXPECT_EQ(Var("BADERROR"), "The driver cannot recognize the specified command.");
    EXPECT_EQ(Var("NOALIASRESULT"), "263");
    EXPECT_EQ(Var("NOFILERESULT"), "275");
    EXPECT_EQ(Var("CLOSERESULT"), "0");

    // The mixer keeps the volume of each line.
    EXPECT_EQ(Var("WAVEFULL"), "255");
    EXPECT_EQ(Var("WAVEHUNDRED"), "100");
    EXPECT_EQ(Var("MICROPHONE"), "0"); // no such line in the player
}

TEST_F(MediaEndToEnd, TheAnimationAndTheMediaPlayerRunTheirActions)
{
    // GIFPlay 2 stops after the second loop and runs the done action once.
    EXPECT_EQ(Var("GIFDONE"), "1");
    // Without AutoRewind the last frame (blue) stays.
    const QColor last = Shot("gif_done.png").pixelColor(25, 25);
    EXPECT_TRUE(Near(last, QColor(0, 0, 255), 8)) << last.name().toStdString();

    // A media player plays to its end and its position went up on the way;
    // leaving its page later stopped it: no second done action.
    EXPECT_EQ(Var("PLAYERSTARTS"), "2");
    EXPECT_EQ(Var("PLAYERDONE"), "1");
    EXPECT_GT(std::atoi(Var("PLAYERMID").c_str()), 0) << Var("PLAYERMID");
    EXPECT_EQ(Var("PLAYERLENGTH"), "600");
    EXPECT_EQ(Var("POSAFTERLEAVE"), "0");
    EXPECT_EQ(Var("PLAYERPOS"), "0");
}

} // namespace
} // namespace tomeric::testing
