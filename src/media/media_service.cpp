#include "media/media_service.h"

#include "media/cartoon_player.h"
#include "media/media_playback.h"
#include "media/mixer.h"
#include "media/video_surface.h"
#include "package/package.h"
#include "platform/string_table.h"
#include "vars/variables.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <cmath>

namespace tomeric {

const TMediaService::TCommandRow TMediaService::kCommands[] = {
    {"PlaySoundFile", &TMediaService::PlaySoundFile},
    {"PlayVideoFile", &TMediaService::PlayVideoFile},
    {"PlayCartoonFile", &TMediaService::PlayCartoonFile},
    {"StopMedia", &TMediaService::StopMedia},
    {"MCICommand", &TMediaService::MciCommand},
    {"PlayTone", &TMediaService::PlayTone},
    {"SoundBuzzer", &TMediaService::SoundBuzzer},
    {"SystemSound", &TMediaService::SystemSound},
    {"GetVolume", &TMediaService::GetVolume},
    {"SetVolume", &TMediaService::SetVolume},
};

namespace {

// A whole number as the evaluator left it ("12", "-1", "2,5" rounds).
int WholeNumber(const QString& text)
{
    QString plain = text.trimmed();
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = plain.toDouble(&ok);
    return ok && std::isfinite(value) ? int(std::lround(std::clamp(value, -1e9, 1e9))) : 0;
}

// How long a video may take to show its first frame when its size is asked
// for and the file does not state it.
constexpr int kFirstFrameWaitMs = 3000;

} // namespace

TMediaService::TMediaService(THost host)
    : host_(std::move(host)),
      mci_([this](const QString& name) { return LocateFile(name, false).value_or(QString()); }, host_.pump),
      sounds_([this](int ms) { WaitMs(ms); })
{
}

TMediaService::~TMediaService() { StopEverything(); }

void TMediaService::StopEverything()
{
    list_.StopAll();
    mci_.CloseAll();
}

ServiceReply TMediaService::Perform(const ServiceCall& call)
{
    ServiceReply reply;
    for (const TCommandRow& row : kCommands)
        if (call.Command.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0)
            (this->*row.handler)(call, reply);
    return reply;
}

// ---- locating files --------------------------------------------------------------

std::optional<QString> TMediaService::LocateFile(const QString& file, bool exact) const
{
    if (file.isEmpty())
        return std::nullopt;
    if (exact && QFileInfo(file).isFile())
        return QFileInfo(file).absoluteFilePath();
    const TResolvedFile resolved = ResolveFile(file);
    if (!resolved.ok)
        return std::nullopt;
    return resolved.path;
}

QString TMediaService::MissingFileText(const QString& file) const
{
    const QString word = host_.publication ? host_.publication->LanguageText(ltExtractError)
                                           : BuiltinWord(ltExtractError);
    return file + QStringLiteral("\r\n") + word;
}

// ---- sound and video -----------------------------------------------------------------

void TMediaService::PlaySoundFile(const ServiceCall& call, ServiceReply& reply)
{
    PlayFile(call.Params.value(0), call.Exact[0], call.Params.value(1), std::nullopt, reply);
}

void TMediaService::PlayVideoFile(const ServiceCall& call, ServiceReply& reply)
{
    const TVideoPlacement placement{WholeNumber(call.Params.value(0)), WholeNumber(call.Params.value(1)),
                                    WholeNumber(call.Params.value(2)), WholeNumber(call.Params.value(3))};
    PlayFile(call.Params.value(4), call.Exact[4], call.Params.value(5), placement, reply);
}

void TMediaService::PlayFile(const QString& file, bool exact, const QString& options,
                             const std::optional<TVideoPlacement>& placement, ServiceReply& reply)
{
    const std::optional<QString> path = LocateFile(file, exact);
    if (!path) {
        reply.LastError = MissingFileText(file);
        return;
    }
    if (list_.Find(*path))
        return; // already playing: a second start is ignored
    list_.StopWhere([&](const TOpenMediaFacts& open) { return StartStops(*path, open); });

    const TPlayMode mode = ParsePlayMode(options);
    TOpenMedia& item = list_.Add(TOpenMediaFacts{path->toUpper(), mkDevice, false}, mode);
    const int serial = item.serial;
    item.playback = new TMediaPlayback(&list_);
    // Opening runs the event loop: a script may stop the item meanwhile.
    const std::optional<QString> failure = item.playback->Open(*path);
    if (!list_.Contains(serial))
        return;
    if (failure) {
        list_.Stop(serial);
        reply.LastError = *failure;
        return;
    }
    if (mode == pmLoop && UpperExtension(*path) == QLatin1String(".WAV")) {
        // A looping WAVE plays round on its own, as the system's sound
        // player did; it never waits.
        item.facts.kind = mkLoopingSound;
        item.playback->SetLoopsForever(true);
    } else if (UpperExtension(*path) != QLatin1String(".MP3")) {
        item.facts.hasVideo = item.playback->HasVideo();
    }
    list_.Watch(item);
    if (placement && item.facts.hasVideo)
        ShowVideo(item, *placement);
    if (list_.Contains(serial))
        item.playback->Play();
    if (mode == pmWait)
        WaitUntilGone(serial);
}

void TMediaService::ShowVideo(TOpenMedia& item, const TVideoPlacement& placement)
{
    QWidget* area = host_.pageArea ? host_.pageArea() : nullptr;
    if (!area)
        return;
    auto* surface = new TVideoSurface(area, pStretch);
    surface->hide();
    item.video = surface;
    item.playback->SetVideoSurface(surface);
    QSize source = item.playback->SourceSize();
    if ((placement.width == -1 || placement.height == -1) && source.isEmpty()) {
        // The file does not state its size: the first frame tells.
        const int serial = item.serial;
        item.playback->Play();
        QElapsedTimer clock;
        clock.start();
        while (list_.Contains(serial) && surface->FrameSize().isEmpty() && clock.elapsed() < kFirstFrameWaitMs)
            WaitMs(10);
        if (!list_.Contains(serial))
            return;
        source = surface->FrameSize();
    }
    const int width = placement.width == -1 ? source.width() : placement.width;
    const int height = placement.height == -1 ? source.height() : placement.height;
    const int x = placement.x == -1 ? area->width() / 2 - width / 2 : placement.x;
    const int y = placement.y == -1 ? area->height() / 2 - height / 2 : placement.y;
    surface->setGeometry(x, y, width, height);
    surface->raise();
    surface->show();
}

void TMediaService::StopMedia(const ServiceCall& call, ServiceReply&)
{
    const QString target = call.Params.value(0).trimmed();
    list_.StopWhere([&](const TOpenMediaFacts& open) { return StopMediaSelects(target, open); });
}

// ---- cartoons ---------------------------------------------------------------------------

void TMediaService::PlayCartoonFile(const ServiceCall& call, ServiceReply& reply)
{
    const QString file = call.Params.value(4);
    const std::optional<QString> path = LocateFile(file, call.Exact[4]);
    const QString name = path.value_or(file);
    if (TOpenMedia* open = list_.Find(name))
        list_.Stop(open->serial); // a second start of a cartoon restarts it
    QWidget* area = host_.pageArea ? host_.pageArea() : nullptr;
    if (!area)
        return;

    const QSize page = area->size();
    TCartoonPath cartoonPath;
    cartoonPath.start = DefaultCartoonStart(QPoint(WholeNumber(call.Params.value(0)),
                                                   WholeNumber(call.Params.value(1))), page);
    cartoonPath.end = DefaultCartoonEnd(QPoint(WholeNumber(call.Params.value(2)),
                                               WholeNumber(call.Params.value(3))), cartoonPath.start, page);
    cartoonPath.steps = std::max(1, std::abs(WholeNumber(call.Params.value(5))));
    cartoonPath.loop = call.Params.value(7).contains(QLatin1String("Loop"), Qt::CaseInsensitive);
    const int delay = std::abs(WholeNumber(call.Params.value(6)));

    std::optional<TCartoonFile> cartoon = path ? ReadCartoonFile(*path) : std::nullopt;
    if (!cartoon)
        reply.LastError = Message(msgCannotOpenFile, file);
    const TPlayMode mode = ParsePlayMode(call.Params.value(7));
    TOpenMedia& item = list_.Add(TOpenMediaFacts{name.toUpper(), mkCartoon, true}, mode);
    const int serial = item.serial;
    item.cartoon = new TCartoonPlayer(area, std::move(cartoon), cartoonPath, delay);
    list_.Watch(item);
    item.cartoon->start();
    if (mode == pmWait)
        WaitUntilGone(serial);
}

// ---- waiting ----------------------------------------------------------------------------

void TMediaService::WaitUntilGone(int serial)
{
    while (list_.Contains(serial) && !(host_.pump && host_.pump->ShuttingDown()))
        WaitMs(20);
}

void TMediaService::WaitMs(int ms)
{
    if (host_.pump) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms)
            host_.pump->WaitForMessages(int(ms - clock.elapsed()), false);
    } else {
        QThread::msleep(ulong(ms));
    }
}

// ---- MCI, tones, volume -------------------------------------------------------------------

void TMediaService::MciCommand(const ServiceCall& call, ServiceReply& reply)
{
    const TMciReply result = mci_.Send(call.Params.value(0));
    SetVariable(QStringLiteral("[MCIResult]"), QString::number(result.code));
    SetVariable(QStringLiteral("[MCIResponse]"), result.response);
    reply.LastError = result.code == mciOk ? QString() : MciErrorText(result.code);
}

void TMediaService::PlayTone(const ServiceCall& call, ServiceReply&)
{
    sounds_.PlayTone(WholeNumber(call.Params.value(0)));
}

void TMediaService::SoundBuzzer(const ServiceCall&, ServiceReply&) { sounds_.PlayTone(kBuzzerHz); }

void TMediaService::SystemSound(const ServiceCall& call, ServiceReply&)
{
    sounds_.SystemSound(call.Params.value(0));
}

void TMediaService::GetVolume(const ServiceCall& call, ServiceReply& reply)
{
    const TMixerLine line = MixerLineByName(call.Params.value(0));
    reply.Results[2] = QString::number(ControlToVolume(TMixer::Instance().Level(line)));
}

void TMediaService::SetVolume(const ServiceCall& call, ServiceReply&)
{
    const TMixerLine line = MixerLineByName(call.Params.value(0));
    TMixer::Instance().SetLevel(line, VolumeToControl(WholeNumber(call.Params.value(1))));
}

} // namespace tomeric
