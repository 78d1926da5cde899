#pragma once
// TMediaPlayback: one file on the media engine (Qt Multimedia over
// GStreamer), as the open-media list, the MCI interpreter and the media
// player object use it. A machine without a sound card plays silently at
// real speed; a file the engine cannot read fails with the engine's text,
// never with a crash.

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>

#include <optional>

class QAudioOutput;
class QMediaPlayer;

namespace tomeric {

class TVideoSurface;

class TMediaPlayback : public QObject {
    Q_OBJECT
public:
    explicit TMediaPlayback(QObject* parent = nullptr);
    ~TMediaPlayback() override;

    // Opens `path` and waits, with the event loop running, until the engine
    // has read it or given up; the engine's error text on failure.
    std::optional<QString> Open(const QString& path, int timeoutMs = 10000);
    const QString& Path() const { return path_; }

    void Play();
    void Pause();
    // Stops and goes back to the start.
    void Stop();
    void Seek(qint64 ms);
    // Plays from the start again and again until stopped.
    void SetLoopsForever(bool endless);

    qint64 Duration() const;
    qint64 Position() const;
    bool Playing() const;
    bool Paused() const;
    bool HasVideo() const;
    bool HasAudio() const;
    // The frames' size as the file states it (empty when unknown).
    QSize SourceSize() const;

    // Where the frames go (null: nowhere).
    void SetVideoSurface(TVideoSurface* surface);
    TVideoSurface* VideoSurface() const;
    // The item's own volume, 0.0 .. 1.0 on a linear scale; the mixer's line
    // of the file and its master line scale it further.
    void SetVolume(double volume);
    void SetMuted(bool muted);

signals:
    // The end of the file was reached (not after Stop).
    void Ended();
    // The engine gave up while playing.
    void Failed(const QString& text);
    // Playing, paused or stopped changed.
    void StateChanged();

private:
    void StatusChanged();
    void ApplyGain();
    QString ErrorText() const;

    QMediaPlayer* player_;
    QAudioOutput* audio_;
    QPointer<TVideoSurface> surface_;
    QString path_;
    double ownVolume_ = 1.0;
};

} // namespace tomeric
