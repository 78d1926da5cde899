#include "media/system_sounds.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QtEndian>

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace tomeric {

namespace {

constexpr int kSampleRate = 44100;
constexpr qint16 kAmplitude = 8000;

constexpr std::pair<const char*, const char*> kThemeSounds[] = {
    {"SystemAsterisk", "dialog-information"},
    {"SystemExclamation", "dialog-warning"},
    {"SystemStop", "dialog-error"},
    {"SystemQuestion", "dialog-question"},
    {"SystemDefault", "bell"},
};

// libcanberra's entry points (loaded at run time, so the player needs no
// sound theme library to start).
using CaCreate = int (*)(void**);
using CaDestroy = int (*)(void*);
using CaPlay = int (*)(void*, uint32_t, ...);

} // namespace

QByteArray ToneSamples(int frequency, int ms, int sampleRate)
{
    const int hz = std::clamp(std::abs(frequency), 1, kHighestToneHz);
    const int count = sampleRate * ms / 1000;
    QByteArray samples(count * 2, Qt::Uninitialized);
    auto* out = reinterpret_cast<uchar*>(samples.data());
    for (int i = 0; i < count; ++i) {
        // Which half of the period sample i falls in.
        const bool high = (qint64(i) * hz * 2 / sampleRate) % 2 == 0;
        qToLittleEndian<qint16>(high ? kAmplitude : qint16(-kAmplitude), out + 2 * i);
    }
    return samples;
}

QString ThemeSoundOf(const QString& name)
{
    for (const auto& [word, sound] : kThemeSounds)
        if (name.compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(sound);
    return QString();
}

TSystemSounds::TSystemSounds(std::function<void(int ms)> wait) : wait_(std::move(wait)) {}

TSystemSounds::~TSystemSounds()
{
    if (context_)
        reinterpret_cast<CaDestroy>(dlsym(canberra_, "ca_context_destroy"))(context_);
    if (canberra_)
        dlclose(canberra_);
}

void TSystemSounds::PlayTone(int frequency)
{
    QElapsedTimer clock;
    clock.start();
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    QBuffer buffer;
    buffer.setData(ToneSamples(frequency, kToneMs, kSampleRate));
    buffer.open(QIODevice::ReadOnly);
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    QAudioSink sink(device, format);
    // Without a sound card the sink fails at once: the beep is all there is.
    bool playing = false;
    if (!device.isNull()) {
        sink.start(&buffer);
        playing = sink.error() == QAudio::NoError;
    }
    if (!playing)
        QApplication::beep();
    const int left = kToneMs - int(clock.elapsed());
    if (left > 0)
        wait_(left);
    sink.stop();
}

void TSystemSounds::SystemSound(const QString& name)
{
    const QString eventId = ThemeSoundOf(name);
    if (eventId.isEmpty() || !PlayThemeSound(eventId))
        QApplication::beep();
}

bool TSystemSounds::PlayThemeSound(const QString& eventId)
{
    if (!canberra_) {
        canberra_ = dlopen("libcanberra.so.0", RTLD_LAZY | RTLD_LOCAL);
        if (!canberra_)
            return false;
        auto create = reinterpret_cast<CaCreate>(dlsym(canberra_, "ca_context_create"));
        if (!create || create(&context_) != 0)
            context_ = nullptr;
    }
    auto play = reinterpret_cast<CaPlay>(dlsym(canberra_, "ca_context_play"));
    if (!context_ || !play)
        return false;
    const QByteArray id = eventId.toLatin1();
    return play(context_, 0, "event.id", id.constData(), static_cast<const char*>(nullptr)) == 0;
}

} // namespace tomeric
