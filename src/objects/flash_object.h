#pragma once
// TTomericFlash (22): a Flash movie on a page. The object keeps the
// publication's rules (where the movie comes from, the loaded, done and
// cancel actions, the commands a movie sends); the movie itself is played
// by a TFlashEngine that the host supplies. Without an engine (no web engine
// in the build, or no Flash emulator installed) the object shows "Requires
// Flash Player" and its commands fail.

#include "objects/tomeric_obj.h"

#include <QByteArray>
#include <QColor>

#include <memory>
#include <optional>

namespace tomeric {

// How a movie is shown, from the object's properties.
struct TFlashPlayback {
    QByteArray movie;  // the movie's bytes
    QString name;      // its file name, without folders
    int scaleMode = 0; // ScaleMode: 0 show all, 1 no border, 2 exact fit, 3 no scale
    std::optional<QColor> background; // UseBackgroundColor: the object's fill colour
    bool transparent = false;         // the page shows through the movie's background
    bool autoStart = true;
    bool contextMenu = false;
    // Stop at the last frame and report the end, instead of looping.
    bool playOnce = false;
};

// What an engine reports to its object (main thread).
class TFlashEngineEvents {
public:
    virtual ~TFlashEngineEvents() = default;
    // The movie is loaded and ready; `frameCount` of its main timeline.
    virtual void MovieReady(int frameCount) = 0;
    virtual void MovieFailed(const QString& reason) = 0;
    // The movie called fscommand(command, args).
    virtual void MovieCommand(const QString& command, const QString& args) = 0;
    // A movie played once reached its last frame.
    virtual void MovieEnded() = 0;
};

// The Flash player behind the object.
class TFlashEngine {
public:
    virtual ~TFlashEngine() = default;
    // The view, a child of the object that fills it.
    virtual QWidget* View() = 0;
    virtual void Load(const TFlashPlayback& playback) = 0;
    virtual void Play() = 0;
    virtual void Pause() = 0;
    // Back to the first frame, stopped there.
    virtual void Rewind() = 0;
};

// Makes the Flash player of an object (a child of `parent`, reporting to
// `events`); the caller owns it. Null when no player can be had.
using TFlashEngineFactory = TFlashEngine* (*)(QWidget* parent, TFlashEngineEvents& events);
// The player sets its engine once at start-up; without one (the default,
// tests, builds without a web engine or Flash emulator) objects show their
// notice.
void SetFlashEngineFactory(TFlashEngineFactory factory);

class TTomericFlash final : public TTomericObj, private TFlashEngineEvents {
    Q_OBJECT
public:
    TTomericFlash(QWidget* parent, const TObjectRecord& record, ObjectHost& host);
    ~TTomericFlash() override;

    const QString& FileName() const { return fileName_; }
    bool HasEngine() const { return engine_ != nullptr; }
    // The movie was read and handed to the engine (it may still be loading).
    bool HasMovie() const { return engine_ && movieGiven_; }
    // The engine reported the movie ready.
    bool IsOpen() const { return isOpen_; }
    bool AllowScriptAccess() const { return allowScriptAccess_; }

    // ---- the Flash commands (see flash_commands.cpp) ------------------------
    // With `loop`, a movie that played once starts over, looping.
    void Play(bool loop);
    void Pause();
    // Stops the movie (back to its first frame with AutoRewind) and runs
    // CancelAction.
    void Stop();
    void Rewind();

    // TTomericObj
    std::optional<QString> FamilyInfo(const QString& upperInfo) const override;
    bool SetObjectFileName(const QString& file) override;
    void RefreshObject() override;
    QWidget* FocusTarget() override;
    void OnInit() override;

protected:
    void PaintContent(QPainter& painter) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // TFlashEngineEvents
    void MovieReady(int frameCount) override;
    void MovieFailed(const QString& reason) override;
    void MovieCommand(const QString& command, const QString& args) override;
    void MovieEnded() override;

    void LoadMovie();
    // The movie's bytes: an included file from the package, or a file on
    // disk; nothing when it cannot be read.
    std::optional<QByteArray> ReadMovie() const;
    TFlashPlayback Playback(QByteArray movie) const;

    std::unique_ptr<TFlashEngine> engine_;
    QString fileName_;
    QString loadedAction_, doneAction_, cancelAction_;
    int scaleMode_ = 0;
    bool autoStart_ = true;
    bool autoRewind_ = true;
    bool loop_ = false;
    bool useInternalLoop_ = false;
    bool useBackgroundColor_ = false;
    bool allowContextMenu_ = false;
    bool allowScriptAccess_ = true;
    bool movieGiven_ = false;
    bool isOpen_ = false;
    int frameCount_ = 0;
};

TTomericObj* CreateFlash(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
