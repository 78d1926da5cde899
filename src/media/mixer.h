#pragma once
// The mixer behind GetVolume and SetVolume: one level a line, 0 to 65,535
// as the publications' mixer lines had, and the player's own output follows
// it (WAVE and other sampled sound through the "Wave" line, MIDI through
// "Midi", everything through the master line; the master line is the
// system's own through the ALSA mixer where there is one). Lines the player has no
// output for have no volume control: they read as 0 and ignore changes.

#include <QObject>
#include <QString>

#include <array>

namespace tomeric {

enum TMixerLine : int {
    mlMaster, mlCompactDisc, mlWave, mlSynthesizer, mlLineIn, mlMicrophone, mlDigital, mlAuxiliary,
    mlLineCount
};

// "Aux" and "CD", "Wave", "Midi", "LineIn", "Microphone", "DAT",
// "Auxiliary" (any case); any other name is the master line.
TMixerLine MixerLineByName(const QString& name);
// A script's volume (0 to 255, clamped) as a control value, and back.
int VolumeToControl(int volume);
int ControlToVolume(int control);

class TMixer : public QObject {
    Q_OBJECT
public:
    // The process's mixer (the system had one mixer device for all).
    static TMixer& Instance();

    bool HasVolumeControl(TMixerLine line) const;
    // 0 .. 65,535; 0 for a line without a volume control.
    int Level(TMixerLine line) const;
    void SetLevel(TMixerLine line, int control);
    // The gain (0.0 .. 1.0) of a sound on `line`, master included.
    double Gain(TMixerLine line) const;

signals:
    void LevelsChanged();

private:
    TMixer();
    std::array<int, mlLineCount> levels_{};
};

// The line a file plays through: MIDI files the synthesizer, others the
// wave line.
TMixerLine LineOfFile(const QString& fileName);

} // namespace tomeric
