#pragma once
// TTomericMediaPlayer (type 18): a media file played in a panel of the page,
// with a tool bar of play, pause and stop buttons and a seek bar (when
// SHOWCONTROLS= is on) or a variable that receives the position (when it is
// off). Playing runs its play action, stopping its cancel action, the end
// its done action unless it loops; leaving the page stops it.

#include "objects/tomeric_obj.h"

#include <QImage>
#include <QPushButton>
#include <QStyle>
#include <QSlider>
#include <QTimer>

#include <memory>

namespace tomeric {

class TMediaPlayback;
class TVideoSurface;

// The seek bar of the tool bar: the publication's track and thumb images
// when it has them, the built-in slider otherwise.
class TMediaSeekBar : public QSlider {
    Q_OBJECT
public:
    TMediaSeekBar(QWidget* parent, QImage track, QImage thumb);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage track_, thumb_;
};

class TTomericMediaPlayer : public TTomericObj {
    Q_OBJECT
public:
    TTomericMediaPlayer(QWidget* parent, const TObjectRecord& record, ObjectHost& host);
    ~TTomericMediaPlayer() override;

    bool IsOpen() const { return isOpen_; }
    // MediaPlayerPlay, MediaPlayerPause, MediaPlayerStop, MediaPlayerRewind.
    void Play();
    void Pause();
    void Stop();
    void Rewind();
    // The length of the open medium in milliseconds (0 when none is open).
    qint64 MediaLength() const;

    void OnPageShow() override;
    void OnPageHide() override;
    std::optional<QString> FamilyInfo(const QString& upperInfo) const override;
    bool SetObjectFileName(const QString& file) override;
    void RefreshObject() override { Open(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Open();
    void BuildToolBar();
    void LayOut();
    void ShowPosition(qint64 ms);
    void PositionTick();
    void Ended();
    void UpdateButtons();
    QIcon ButtonIcon(const char* imageName, QStyle::StandardPixmap fallback) const;

    QString fileName_, varName_, clickAction_, playAction_, doneAction_, cancelAction_;
    int paintMode_;
    bool showControls_ = true;
    bool loop_ = false;
    bool isOpen_ = false;

    TVideoSurface* display_;
    std::unique_ptr<TMediaPlayback> playback_;
    QTimer positionTimer_;
    QWidget* toolBar_ = nullptr;
    QPushButton* playBtn_ = nullptr;
    QPushButton* pauseBtn_ = nullptr;
    QPushButton* stopBtn_ = nullptr;
    TMediaSeekBar* trackBar_ = nullptr;
};

TTomericObj* CreateMediaPlayer(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
