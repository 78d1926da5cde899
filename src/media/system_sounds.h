#pragma once
// Tones and system sounds: PlayTone and SoundBuzzer play a generated tone for
// 150 ms through the sound card (the command takes those 150 ms, with the
// windows kept alive, whether or not a sound card answers); SystemSound
// plays the desktop's theme sound through libcanberra where it is
// installed, and the simple beep elsewhere.

#include <QString>

#include <functional>

namespace tomeric {

inline constexpr int kToneMs = 150;
inline constexpr int kBuzzerHz = 100;
inline constexpr int kHighestToneHz = 32767;

// The tone's samples: 16-bit signed mono at `sampleRate`, a square wave of
// |frequency| Hz (capped) for `ms` milliseconds.
QByteArray ToneSamples(int frequency, int ms, int sampleRate);

// The theme sound of a SystemSound name ("SystemAsterisk" ->
// "dialog-information"); empty for names that mean the simple beep.
QString ThemeSoundOf(const QString& name);

class TSystemSounds {
public:
    // `wait` runs the event loop for the given milliseconds.
    explicit TSystemSounds(std::function<void(int ms)> wait);
    ~TSystemSounds();

    void PlayTone(int frequency);
    void SystemSound(const QString& name);

private:
    bool PlayThemeSound(const QString& eventId);

    std::function<void(int ms)> wait_;
    void* canberra_ = nullptr;   // the library, when it could be loaded
    void* context_ = nullptr;    // its context
};

} // namespace tomeric
