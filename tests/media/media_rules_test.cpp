// The rules of the media commands that need no sound card: play options,
// which open items a new file stops, what StopMedia selects, the mixer's
// lines and scale, MCI strings, cartoon files and the cartoon's steps.

#include "media/cartoon_player.h"
#include "media/cartoon_stepper.h"
#include "media/mci_command.h"
#include "media/media_rules.h"
#include "media/mixer.h"
#include "media/system_sounds.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QtEndian>

#include <vector>

namespace tomeric {
namespace {

TEST(MediaOptions, LoopWinsOverWaitAndBothAreFoundAnywhereInAnyCase)
{
    EXPECT_EQ(ParsePlayMode(QString()), pmNormal);
    EXPECT_EQ(ParsePlayMode(QStringLiteral("wait")), pmWait);
    EXPECT_EQ(ParsePlayMode(QStringLiteral("NoWAITing")), pmWait);
    EXPECT_EQ(ParsePlayMode(QStringLiteral("Wait,Loop")), pmLoop);
    EXPECT_EQ(ParsePlayMode(QStringLiteral("endless LOOP")), pmLoop);
    EXPECT_EQ(ParsePlayMode(QStringLiteral("Async")), pmNormal);
}

TOpenMediaFacts Open(const char* file, TMediaKind kind = mkDevice, bool video = false)
{
    return TOpenMediaFacts{QString::fromLatin1(file).toUpper(), kind, video};
}

TEST(OpenMediaRules, AWaveStopsWavesAndAMidiFileStopsMidiFilesOnly)
{
    const QString wave = QStringLiteral("/pub/Click.wav");
    const QString midi = QStringLiteral("/pub/Song.mid");
    EXPECT_TRUE(StartStops(wave, Open("/pub/music.wav")));
    EXPECT_FALSE(StartStops(wave, Open("/pub/song.mid")));
    EXPECT_FALSE(StartStops(wave, Open("/pub/film.avi", mkDevice, true)));
    EXPECT_TRUE(StartStops(midi, Open("/pub/other.rmi")));
    EXPECT_TRUE(StartStops(midi, Open("/pub/other.MID")));
    EXPECT_FALSE(StartStops(midi, Open("/pub/music.wav")));
    EXPECT_FALSE(StartStops(QStringLiteral("/pub/voice.mp3"), Open("/pub/music.wav")));
    EXPECT_FALSE(StartStops(QStringLiteral("/pub/noextension"), Open("/pub/other")));
    // Cartoons are no sound.
    EXPECT_FALSE(StartStops(wave, Open("/pub/walk.wav", mkCartoon, true)));
}

TEST(OpenMediaRules, StopMediaSelectsByKindOrByFileNameWithoutPath)
{
    const std::vector<TOpenMediaFacts> open = {
        Open("/pub/loop.wav", mkLoopingSound), Open("/pub/song.mid"), Open("/pub/film.ogv", mkDevice, true),
        Open("/pub/walk.car", mkCartoon, true)};
    const auto selected = [&](const char* target) {
        QString names;
        for (const TOpenMediaFacts& item : open)
            if (StopMediaSelects(QString::fromLatin1(target), item))
                names += item.fileName.section(QLatin1Char('/'), -1) + QLatin1Char(' ');
        return names.trimmed().toStdString();
    };
    EXPECT_EQ(selected("sound"), "LOOP.WAV SONG.MID");
    EXPECT_EQ(selected("Video"), "FILM.OGV WALK.CAR");
    EXPECT_EQ(selected(""), "LOOP.WAV SONG.MID FILM.OGV WALK.CAR");
    EXPECT_EQ(selected("C:\\elsewhere\\Song.Mid"), "SONG.MID");
    EXPECT_EQ(selected("other.wav"), "");
}

TEST(Mixer, LinesAreChosenByNameAndVolumesScaleBy257)
{
    EXPECT_EQ(MixerLineByName(QStringLiteral("wave")), mlWave);
    EXPECT_EQ(MixerLineByName(QStringLiteral("CD")), mlCompactDisc);
    EXPECT_EQ(MixerLineByName(QStringLiteral("Aux")), mlCompactDisc);
    EXPECT_EQ(MixerLineByName(QStringLiteral("Auxiliary")), mlAuxiliary);
    EXPECT_EQ(MixerLineByName(QStringLiteral("MIDI")), mlSynthesizer);
    EXPECT_EQ(MixerLineByName(QStringLiteral("Speakers")), mlMaster);
    EXPECT_EQ(VolumeToControl(255), 65535);
    EXPECT_EQ(VolumeToControl(300), 65535);
    EXPECT_EQ(VolumeToControl(-4), 0);
    EXPECT_EQ(ControlToVolume(VolumeToControl(100)), 100);
    EXPECT_EQ(LineOfFile(QStringLiteral("a.rmi")), mlSynthesizer);
    EXPECT_EQ(LineOfFile(QStringLiteral("a.mp3")), mlWave);

    TMixer& mixer = TMixer::Instance();
    mixer.SetLevel(mlWave, VolumeToControl(51));
    mixer.SetLevel(mlMaster, VolumeToControl(255));
    EXPECT_NEAR(mixer.Gain(mlWave), 0.2, 1e-9);
    mixer.SetLevel(mlMicrophone, 1000);
    EXPECT_EQ(mixer.Level(mlMicrophone), 0); // no such line: unchanged, reads 0
    mixer.SetLevel(mlWave, VolumeToControl(255));
}

TEST(SystemSounds, NamesPickThemeSoundsAndTonesAreSquareWavesOfTheirLength)
{
    EXPECT_EQ(ThemeSoundOf(QStringLiteral("systemstop")), QStringLiteral("dialog-error"));
    EXPECT_EQ(ThemeSoundOf(QStringLiteral("SystemAsterisk")), QStringLiteral("dialog-information"));
    EXPECT_TRUE(ThemeSoundOf(QStringLiteral("Ding")).isEmpty());
    const QByteArray tone = ToneSamples(-1000, 150, 8000); // |frequency|
    ASSERT_EQ(tone.size(), 1200 * 2);
    const auto sample = [&](int i) { return qFromLittleEndian<qint16>(tone.constData() + 2 * i); };
    EXPECT_GT(sample(0), 0);
    EXPECT_LT(sample(4), 0); // half a period of 1000 Hz at 8 kHz is 4 samples
    EXPECT_GT(sample(8), 0);
}

TEST(MciCommandText, WordsAreCutWithQuotesAndVerbsInLowerCase)
{
    int error = -1;
    const auto open = ParseMciCommand(QStringLiteral("OPEN \"my file.wav\" type waveaudio Alias Tune wait"), &error);
    ASSERT_TRUE(open);
    EXPECT_EQ(error, mciOk);
    EXPECT_EQ(open->verb, QStringLiteral("open"));
    EXPECT_EQ(open->device, QStringLiteral("my file.wav"));
    EXPECT_EQ(open->ValueAfter(QStringLiteral("alias")), QStringLiteral("Tune"));
    EXPECT_EQ(open->ValueAfter(QStringLiteral("type")), QStringLiteral("waveaudio"));
    EXPECT_TRUE(open->Has(QStringLiteral("wait")));
    EXPECT_FALSE(open->ValueAfter(QStringLiteral("wait")));

    const auto status = ParseMciCommand(QStringLiteral("status a  media   present"), &error);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->Tail(0), QStringLiteral("media present"));

    EXPECT_FALSE(ParseMciCommand(QStringLiteral("   "), &error));
    EXPECT_EQ(error, mciMissingCommandString);
    EXPECT_FALSE(ParseMciCommand(QStringLiteral("open \"x.wav alias a"), &error));
    EXPECT_EQ(error, mciNoClosingQuote);
    EXPECT_EQ(MciErrorText(mciUnrecognizedCommand),
              QStringLiteral("The driver cannot recognize the specified command."));
    EXPECT_EQ(MciErrorText(9999), QStringLiteral("Unknown error code."));
}

QByteArray CartoonBytes(int frames, const QImage& strip)
{
    QByteArray picture;
    QBuffer buffer(&picture);
    buffer.open(QIODevice::WriteOnly);
    strip.save(&buffer, "BMP");
    QByteArray bytes(12, '\0');
    auto* data = reinterpret_cast<uchar*>(bytes.data());
    qToLittleEndian<quint16>(0x4E53, data);
    qToLittleEndian<quint32>(12, data + 2);
    qToLittleEndian<quint16>(quint16(frames), data + 10);
    return bytes + picture;
}

TEST(CartoonFile, FramesSplitThePictureAndItsBottomLeftColourIsClear)
{
    QImage strip(30, 10, QImage::Format_RGB32);
    strip.fill(Qt::magenta);
    strip.setPixel(15, 5, qRgb(0, 0, 255));
    const auto cartoon = ParseCartoonFile(CartoonBytes(3, strip));
    ASSERT_TRUE(cartoon);
    EXPECT_EQ(cartoon->frames, 3);
    EXPECT_EQ(cartoon->FrameSize(), QSize(10, 10));
    EXPECT_EQ(qAlpha(cartoon->image.pixel(0, 0)), 0);
    EXPECT_EQ(cartoon->image.pixel(15, 5), qRgb(0, 0, 255));

    QByteArray wrongMagic = CartoonBytes(3, strip);
    wrongMagic[0] = 'X';
    EXPECT_FALSE(ParseCartoonFile(wrongMagic));
    EXPECT_FALSE(ParseCartoonFile(CartoonBytes(0, strip)));
    EXPECT_FALSE(ParseCartoonFile(CartoonBytes(3, strip).left(40))); // picture cut short
    EXPECT_FALSE(ParseCartoonFile(QByteArray("SN")));
}

// Runs a cartoon's steps to its end (at most `limit`), recording what shows.
std::vector<TCartoonStep> Steps(const TCartoonPath& path, int limit = 1000)
{
    std::vector<TCartoonStep> shown;
    TCartoonStepper stepper(path);
    for (int i = 0; i < limit && stepper.Running(); ++i) {
        if (stepper.Current().visible)
            shown.push_back(stepper.Current());
        stepper.Advance();
    }
    return shown;
}

TEST(CartoonSteps, InPlaceTheFramesShowStepsTimesAndThenItEnds)
{
    const auto shown = Steps(TCartoonPath{QPoint(50, 50), QPoint(50, 50), 3, 2, false});
    ASSERT_EQ(shown.size(), 6u);
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].frame, int(i % 3));
        EXPECT_EQ(shown[i].centre, QPoint(50, 50));
    }
}

TEST(CartoonSteps, AlongALineItMovesFromStartToEndInFramesTimesStepsMoves)
{
    const auto shown = Steps(TCartoonPath{QPoint(0, 10), QPoint(60, 40), 2, 3, false});
    ASSERT_EQ(shown.size(), 7u); // the start and six moves
    EXPECT_EQ(shown.front().centre, QPoint(0, 10));
    EXPECT_EQ(shown[1].centre, QPoint(10, 15));
    EXPECT_EQ(shown.back().centre, QPoint(60, 40));
    EXPECT_EQ(shown[5].frame, 1);

    // Backwards works the same way.
    const auto back = Steps(TCartoonPath{QPoint(60, 0), QPoint(0, 0), 3, 1, false});
    ASSERT_EQ(back.size(), 4u);
    EXPECT_EQ(back.back().centre, QPoint(0, 0));
}

TEST(CartoonSteps, ALoopingCartoonStartsOverAndNeverEnds)
{
    TCartoonStepper moving(TCartoonPath{QPoint(0, 0), QPoint(20, 0), 2, 1, true});
    std::vector<int> xs;
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(moving.Running());
        const TCartoonStep step = moving.Current();
        xs.push_back(step.visible ? step.centre.x() : -1);
        moving.Advance();
    }
    EXPECT_EQ(xs, (std::vector<int>{0, 10, 20, -1, 0, 10, 20, -1}));

    TCartoonStepper inPlace(TCartoonPath{QPoint(5, 5), QPoint(5, 5), 2, 1, true});
    for (int i = 0; i < 20; ++i)
        inPlace.Advance();
    EXPECT_TRUE(inPlace.Running());
}

TEST(CartoonSteps, MinusOneTakesThePageDefaults)
{
    const QSize page(400, 300);
    const QPoint start = DefaultCartoonStart(QPoint(-1, -1), page);
    EXPECT_EQ(start, QPoint(100, 150));
    EXPECT_EQ(DefaultCartoonEnd(QPoint(-1, -1), start, page), QPoint(300, 150));
    EXPECT_EQ(DefaultCartoonEnd(QPoint(20, -1), QPoint(7, 9), page), QPoint(20, 9));
}

} // namespace
} // namespace tomeric
