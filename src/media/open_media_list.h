#pragma once
// The open-media list: everything PlaySoundFile, PlayVideoFile and
// PlayCartoonFile started and that still plays, newest first, so that
// StopMedia can stop a file by name, all sounds, all videos or everything,
// and so that a file is never opened twice at the same time. It lives on the
// main thread; the engine's end notifications and a cartoon's end arrive
// there.

#include "media/media_rules.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <list>
#include <memory>

namespace tomeric {

class TCartoonPlayer;
class TMediaPlayback;
class TVideoSurface;

// One playing item.
struct TOpenMedia {
    int serial = 0; // unique for the life of the list
    TOpenMediaFacts facts;
    TPlayMode mode = pmNormal;
    int restarts = 0; // how often a looping item started again
    TMediaPlayback* playback = nullptr;  // kinds 0 and 3; owned
    QPointer<TVideoSurface> video;       // a video's window; owned
    TCartoonPlayer* cartoon = nullptr;   // kind 2; owned
};

class TOpenMediaList : public QObject {
    Q_OBJECT
public:
    TOpenMediaList();
    ~TOpenMediaList() override;

    // A new item at the head of the list.
    TOpenMedia& Add(const TOpenMediaFacts& facts, TPlayMode mode);
    // The item of a file (compared without its path, ignoring case).
    TOpenMedia* Find(const QString& fileName);
    bool Contains(int serial) const;
    // Connects the item's engine: its end restarts a looping item and stops
    // any other, a failure stops it.
    void Watch(TOpenMedia& item);

    // Removes the item and stops what it plays.
    void Stop(int serial);
    void StopWhere(const std::function<bool(const TOpenMediaFacts&)>& selects);
    void StopAll() { StopWhere([](const TOpenMediaFacts&) { return true; }); }

    int Count() const { return int(items_.size()); }
    // Incremented on every insertion and removal.
    quint32 Changes() const { return changes_; }
    // Facts of the items, newest first.
    std::vector<TOpenMediaFacts> Facts() const;
    // One line an item, newest first, for the driver's "media" verb:
    //   LOOP.WAV kind=3 mode=2 video=0 restarts=0 state=playing
    QStringList Describe() const;

signals:
    // A looping item started again (its restart count is in the item).
    void Restarted(int serial);
    // The engine reported a failure of a playing item.
    void PlaybackFailed(const QString& text);

private:
    void EngineEnded(int serial);
    void Release(TOpenMedia& item);

    std::list<std::unique_ptr<TOpenMedia>> items_;
    quint32 changes_ = 0;
    int nextSerial_ = 1;
};

} // namespace tomeric
