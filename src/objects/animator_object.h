#pragma once
// TTomericAnimator (type 19): an animated picture (animated GIF, or any
// format QMovie reads) on a page. It plays when its page shows (AutoStart),
// counts its loops when GIFPlay asks for a number of them and then runs its
// done action once, stops when hidden or when its page is left, and reloads
// its picture when its page comes back or it is shown again.

#include "objects/tomeric_obj.h"

#include <QMovie>

#include <memory>

namespace tomeric {

class TTomericAnimator : public TTomericObj {
    Q_OBJECT
public:
    TTomericAnimator(QWidget* parent, const TObjectRecord& record, ObjectHost& host);
    ~TTomericAnimator() override;

    // GIFPlay: any current play stops; |loops| loops are played and, for a
    // positive number, counted (0: endless).
    void Play(int loops);
    // GIFStop: with AutoRewind back to the first frame, else paused where it is.
    void Stop();
    bool Playing() const;
    int LoopsPlayed() const { return loopsPlayed_; }
    int CurrentFrame() const;

    void OnPageShow() override;
    void OnPagePaint(bool shown, const QRect& area) override;
    void OnPageHide() override;

    std::optional<QString> FamilyInfo(const QString& upperInfo) const override;
    bool SetObjectFileName(const QString& file) override;
    void RefreshObject() override { Reload(); }

protected:
    void PaintContent(QPainter& painter) override;
    void LineChanged() override { FitToImage(); }
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Reload();
    void Start();
    void FitToImage();
    void FrameChanged(int frame);
    void MovieFinished();
    void LoopEnded();

    QString imageFile_, clickAction_, doneAction_;
    bool autoStart_ = true;
    bool autoRewind_ = true;
    bool autoSizing_ = true;
    int loopCount_ = 0;
    bool counting_ = false;
    int loopsPlayed_ = 0;
    int lastFrame_ = -1;
    bool wanted_ = false;        // playing, or asked to play (survives a page change)
    bool hiddenByState_ = false; // hidden by its own visibility, not its page's
    std::unique_ptr<QMovie> movie_;
    // The frame on screen, and the last frame kept after the counted loops
    // without AutoRewind (the movie itself has wrapped to its first frame).
    QImage shownImage_, frozenImage_;
};

TTomericObj* CreateAnimator(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
