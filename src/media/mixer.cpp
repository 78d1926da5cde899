#include "media/mixer.h"

#include "media/alsa_master.h"
#include "media/media_rules.h"

#include <algorithm>
#include <utility>

namespace tomeric {

namespace {

constexpr int kFullLevel = 65535;

constexpr std::pair<const char*, TMixerLine> kLineNames[] = {
    {"Aux", mlCompactDisc},  {"CD", mlCompactDisc},         {"Wave", mlWave},
    {"Midi", mlSynthesizer}, {"LineIn", mlLineIn},          {"Microphone", mlMicrophone},
    {"DAT", mlDigital},      {"Auxiliary", mlAuxiliary},
};

} // namespace

TMixerLine MixerLineByName(const QString& name)
{
    for (const auto& [word, line] : kLineNames)
        if (name.compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
            return line;
    return mlMaster;
}

int VolumeToControl(int volume) { return std::clamp(volume, 0, 255) * 257; }
int ControlToVolume(int control) { return control / 257; }

TMixerLine LineOfFile(const QString& fileName)
{
    const QString extension = UpperExtension(fileName);
    return extension == QLatin1String(".MID") || extension == QLatin1String(".RMI") ? mlSynthesizer : mlWave;
}

TMixer& TMixer::Instance()
{
    static TMixer mixer;
    return mixer;
}

TMixer::TMixer()
{
    for (TMixerLine line : {mlMaster, mlWave, mlSynthesizer})
        levels_[line] = kFullLevel;
}

bool TMixer::HasVolumeControl(TMixerLine line) const
{
    return line == mlMaster || line == mlWave || line == mlSynthesizer;
}

int TMixer::Level(TMixerLine line) const
{
    if (line == mlMaster)
        if (TAlsaMaster* system = TAlsaMaster::Find())
            if (const std::optional<int> level = system->Level())
                return *level;
    return HasVolumeControl(line) ? levels_[line] : 0;
}

void TMixer::SetLevel(TMixerLine line, int control)
{
    control = std::clamp(control, 0, kFullLevel);
    // The system's master control sets the level of everything the machine
    // plays, the player's sound included.
    if (line == mlMaster)
        if (TAlsaMaster* system = TAlsaMaster::Find(); system && system->SetLevel(control))
            return;
    if (!HasVolumeControl(line) || levels_[line] == control)
        return;
    levels_[line] = control;
    emit LevelsChanged();
}

double TMixer::Gain(TMixerLine line) const
{
    const double own = line == mlMaster ? 1.0 : double(Level(line)) / kFullLevel;
    return own * double(levels_[mlMaster]) / kFullLevel;
}

} // namespace tomeric
