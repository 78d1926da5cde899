#pragma once
// The rules of the open-media list that need no device: how the options of
// the play commands read, which open items a new file stops, and which items
// StopMedia selects. TOpenMediaList applies them to what is really playing.

#include <QString>

namespace tomeric {

// How an item plays (the last parameter of the play commands).
enum TPlayMode : int { pmNormal = 0, pmWait = 1, pmLoop = 2 };

// What an open item is.
enum TMediaKind : int {
    mkDevice = 0,       // a file opened on the media engine
    mkCartoon = 2,      // a cartoon thread
    mkLoopingSound = 3, // a WAVE file looping on its own
};

// "Loop" anywhere in the options (any case) wins over "Wait"; neither is
// normal play.
TPlayMode ParsePlayMode(const QString& options);

// What the list knows of one open item.
struct TOpenMediaFacts {
    QString fileName; // the full path, upper-cased
    TMediaKind kind = mkDevice;
    bool hasVideo = false;
};

// Two names of the same file: their file-name parts, ignoring case.
bool SameMediaFile(const QString& a, const QString& b);

// Starting `newFile` stops the open item `open`: a WAVE file stops every
// WAVE item, a MIDI file (".MID", ".RMI") every MIDI item; other files stop
// nothing.
bool StartStops(const QString& newFile, const TOpenMediaFacts& open);

// StopMedia's parameter: "SOUND" (any case) selects the items without video,
// "VIDEO" those with video (cartoons included), empty selects everything,
// any other text the item of that file name.
bool StopMediaSelects(const QString& target, const TOpenMediaFacts& open);

// The upper-cased extension with its dot (".WAV"); empty without one.
QString UpperExtension(const QString& fileName);

} // namespace tomeric
