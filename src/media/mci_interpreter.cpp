#include "media/mci_interpreter.h"

#include "actions/services.h"
#include "media/media_playback.h"

#include <QThread>
#include <QTimer>

namespace tomeric {

struct TMciInterpreter::TDevice {
    int id = 0;
    std::unique_ptr<TMediaPlayback> playback;
    bool stopped = true;  // "stop" or never played: the mode is "stopped"
    bool repeat = false;  // "play ... repeat"
    qint64 playTo = -1;   // "play ... to N"
    QTimer toWatch;       // watches for the "to" position
};

const TMciInterpreter::TVerbRow TMciInterpreter::kVerbs[] = {
    {"open", &TMciInterpreter::Open, false},
    {"play", &TMciInterpreter::Play, true},
    {"pause", &TMciInterpreter::Pause, true},
    {"resume", &TMciInterpreter::Resume, true},
    {"stop", &TMciInterpreter::Stop, true},
    {"seek", &TMciInterpreter::Seek, true},
    {"close", &TMciInterpreter::Close, false},
    {"status", &TMciInterpreter::Status, true},
    {"set", &TMciInterpreter::Set, true},
    {"setaudio", &TMciInterpreter::SetAudio, true},
    {"capability", &TMciInterpreter::Capability, true},
};

namespace {

TMciReply Fail(int code) { return TMciReply{code, QString()}; }
TMciReply Answer(const QString& text) { return TMciReply{mciOk, text}; }
TMciReply Answer(bool value) { return Answer(value ? QStringLiteral("true") : QStringLiteral("false")); }

std::optional<qint64> NumberAfter(const TMciCommand& command, const QString& keyword, int* error)
{
    const std::optional<QString> text = command.ValueAfter(keyword);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const qint64 value = text->toLongLong(&ok);
    if (!ok || value < 0) {
        *error = mciBadInteger;
        return std::nullopt;
    }
    return value;
}

} // namespace

TMciInterpreter::TMciInterpreter(std::function<QString(const QString&)> resolveFile, MessagePump* pump)
    : resolveFile_(std::move(resolveFile)), pump_(pump)
{
}

TMciInterpreter::~TMciInterpreter() { CloseAll(); }

void TMciInterpreter::CloseAll() { devices_.clear(); }

TMciReply TMciInterpreter::Send(const QString& commandText)
{
    int error = mciOk;
    const std::optional<TMciCommand> command = ParseMciCommand(commandText, &error);
    if (!command)
        return Fail(error);
    for (const TVerbRow& row : kVerbs) {
        if (command->verb != QLatin1String(row.verb))
            continue;
        if (row.needsDevice && command->device.isEmpty())
            return Fail(mciMissingDeviceName);
        if (row.needsDevice && command->device.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0)
            return Fail(mciCannotUseAll);
        if (row.needsDevice && !FindDevice(command->device))
            return Fail(mciInvalidDeviceName);
        return (this->*row.run)(*command);
    }
    return Fail(mciUnrecognizedCommand);
}

TMciInterpreter::TDevice* TMciInterpreter::FindDevice(const QString& name)
{
    const auto found = devices_.find(name.toLower());
    return found == devices_.end() ? nullptr : found->second.get();
}

TMciReply TMciInterpreter::Open(const TMciCommand& command)
{
    if (command.device.isEmpty())
        return Fail(mciMissingDeviceName);
    const QString alias = command.ValueAfter(QStringLiteral("alias")).value_or(command.device);
    if (FindDevice(alias))
        return Fail(mciDuplicateAlias);
    const QString path = resolveFile_(command.device);
    if (path.isEmpty())
        return Fail(command.device.contains(u'.') ? mciFileNotFound : mciInvalidDeviceName);
    auto device = std::make_unique<TDevice>();
    device->playback = std::make_unique<TMediaPlayback>();
    if (device->playback->Open(path))
        return Fail(mciInvalidFile);
    device->id = nextDeviceId_++;
    TDevice& opened = *device;
    connect(opened.playback.get(), &TMediaPlayback::Ended, this, [this, &opened] { PlayEnded(opened); });
    connect(&opened.toWatch, &QTimer::timeout, this, [&opened] {
        if (opened.playTo >= 0 && opened.playback->Position() >= opened.playTo) {
            opened.toWatch.stop();
            opened.playback->Pause();
            opened.stopped = true;
        }
    });
    opened.toWatch.setInterval(10);
    devices_[alias.toLower()] = std::move(device);
    return Answer(QString::number(opened.id));
}

void TMciInterpreter::PlayEnded(TDevice& device)
{
    if (device.repeat) {
        device.playback->Seek(0);
        device.playback->Play();
        return;
    }
    device.stopped = true;
    device.toWatch.stop();
}

TMciReply TMciInterpreter::Play(const TMciCommand& command)
{
    TDevice& device = *FindDevice(command.device);
    int error = mciOk;
    const std::optional<qint64> from = NumberAfter(command, QStringLiteral("from"), &error);
    const std::optional<qint64> to = NumberAfter(command, QStringLiteral("to"), &error);
    if (error != mciOk)
        return Fail(error);
    const qint64 length = device.playback->Duration();
    if ((from && length > 0 && *from > length) || (to && length > 0 && *to > length))
        return Fail(mciOutOfRange);
    if (from)
        device.playback->Seek(*from);
    else if (!device.playback->Playing() && length > 0 && device.playback->Position() >= length)
        device.playback->Seek(0);
    device.repeat = command.Has(QStringLiteral("repeat"));
    device.playTo = to.value_or(-1);
    device.stopped = false;
    device.playback->Play();
    if (device.playTo >= 0)
        device.toWatch.start();
    if (command.Has(QStringLiteral("wait")))
        WaitWhilePlaying(device);
    return Answer(QString());
}

void TMciInterpreter::WaitWhilePlaying(TDevice& device)
{
    // The device may be closed by a script that runs while this waits.
    const int id = device.id;
    const auto stillOpen = [this, id] {
        for (const auto& [alias, open] : devices_)
            if (open->id == id)
                return !open->stopped && !open->repeat;
        return false;
    };
    while (stillOpen() && !(pump_ && pump_->ShuttingDown())) {
        if (pump_)
            pump_->WaitForMessages(20, false);
        else
            QThread::msleep(5);
    }
}

TMciReply TMciInterpreter::Pause(const TMciCommand& command)
{
    FindDevice(command.device)->playback->Pause();
    return Answer(QString());
}

TMciReply TMciInterpreter::Resume(const TMciCommand& command)
{
    TDevice& device = *FindDevice(command.device);
    if (device.playback->Paused() && !device.stopped)
        device.playback->Play();
    return Answer(QString());
}

TMciReply TMciInterpreter::Stop(const TMciCommand& command)
{
    TDevice& device = *FindDevice(command.device);
    device.playback->Pause();
    device.stopped = true;
    device.toWatch.stop();
    return Answer(QString());
}

TMciReply TMciInterpreter::Seek(const TMciCommand& command)
{
    TDevice& device = *FindDevice(command.device);
    const std::optional<QString> target = command.ValueAfter(QStringLiteral("to"));
    if (!target)
        return Fail(mciMissingParameter);
    qint64 position = 0;
    if (target->compare(QLatin1String("start"), Qt::CaseInsensitive) == 0) {
        position = 0;
    } else if (target->compare(QLatin1String("end"), Qt::CaseInsensitive) == 0) {
        position = device.playback->Duration();
    } else {
        bool ok = false;
        position = target->toLongLong(&ok);
        if (!ok || position < 0)
            return Fail(mciBadInteger);
        if (position > device.playback->Duration())
            return Fail(mciOutOfRange);
    }
    // Seeking stops a playing device, as MCI does.
    device.playback->Pause();
    device.stopped = true;
    device.playback->Seek(position);
    return Answer(QString());
}

TMciReply TMciInterpreter::Close(const TMciCommand& command)
{
    if (command.device.isEmpty())
        return Fail(mciMissingDeviceName);
    if (command.device.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0) {
        CloseAll();
        return Answer(QString());
    }
    if (!devices_.erase(command.device.toLower()))
        return Fail(mciInvalidDeviceName);
    return Answer(QString());
}

TMciReply TMciInterpreter::Status(const TMciCommand& command)
{
    const TDevice& device = *FindDevice(command.device);
    const QString item = command.Tail(0);
    if (item == QLatin1String("mode")) {
        if (device.playback->Playing())
            return Answer(QStringLiteral("playing"));
        return Answer(device.stopped ? QStringLiteral("stopped") : QStringLiteral("paused"));
    }
    if (item == QLatin1String("length"))
        return Answer(QString::number(device.playback->Duration()));
    if (item == QLatin1String("position"))
        return Answer(QString::number(device.playback->Position()));
    if (item == QLatin1String("ready") || item == QLatin1String("media present"))
        return Answer(true);
    if (item == QLatin1String("time format"))
        return Answer(QStringLiteral("milliseconds"));
    if (item.isEmpty())
        return Fail(mciMissingParameter);
    return Fail(mciUnrecognizedKeyword);
}

TMciReply TMciInterpreter::Set(const TMciCommand& command)
{
    TDevice& device = *FindDevice(command.device);
    const QString what = command.Tail(0);
    if (what.startsWith(QLatin1String("time format"))) {
        const QString format = command.Tail(2);
        if (format == QLatin1String("milliseconds") || format == QLatin1String("ms"))
            return Answer(QString());
        return Fail(format.isEmpty() ? mciMissingParameter : mciBadTimeFormat);
    }
    if (what == QLatin1String("audio all off") || what == QLatin1String("audio all on")) {
        device.playback->SetMuted(what.endsWith(QLatin1String("off")));
        return Answer(QString());
    }
    return Fail(what.isEmpty() ? mciMissingParameter : mciUnrecognizedKeyword);
}

TMciReply TMciInterpreter::SetAudio(const TMciCommand& command)
{
    TDevice& device = *FindDevice(command.device);
    int error = mciOk;
    if (command.words.value(0) != QLatin1String("volume") || command.words.value(1) != QLatin1String("to"))
        return Fail(command.words.isEmpty() ? mciMissingParameter : mciUnrecognizedKeyword);
    const std::optional<qint64> volume = NumberAfter(command, QStringLiteral("to"), &error);
    if (!volume)
        return Fail(error != mciOk ? error : mciMissingParameter);
    if (*volume > 1000)
        return Fail(mciOutOfRange);
    device.playback->SetVolume(double(*volume) / 1000.0);
    return Answer(QString());
}

TMciReply TMciInterpreter::Capability(const TMciCommand& command)
{
    const TDevice& device = *FindDevice(command.device);
    const QString item = command.Tail(0);
    if (item == QLatin1String("can play"))
        return Answer(true);
    if (item == QLatin1String("has video"))
        return Answer(device.playback->HasVideo());
    if (item == QLatin1String("has audio"))
        return Answer(device.playback->HasAudio());
    return Fail(item.isEmpty() ? mciMissingParameter : mciUnrecognizedKeyword);
}

} // namespace tomeric
