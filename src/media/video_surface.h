#pragma once
// TVideoSurface: the window a video plays in. It paints the engine's frames
// itself (fitted by a paint mode), so that a grab of the page shows the
// video as the user sees it, off-screen included.

#include <QImage>
#include <QWidget>

class QVideoSink;
class QVideoFrame;

namespace tomeric {

class TVideoSurface : public QWidget {
    Q_OBJECT
public:
    // `paintMode` is a TPaintMode: pNormal draws the frame at its size in the
    // top-left corner, pStretchAspect keeps its proportions centred, every
    // other mode stretches it over the whole surface.
    explicit TVideoSurface(QWidget* parent, int paintMode);
    ~TVideoSurface() override;

    QVideoSink* Sink() const { return sink_; }
    void SetPaintMode(int mode);
    // The size of the frames seen so far (empty before the first one).
    QSize FrameSize() const { return frame_.size(); }
    // Forgets the last frame (what lies beneath shows until the next one).
    void Clear();

signals:
    void FirstFrame(QSize size);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void FrameArrived(const QVideoFrame& frame);
    QRect TargetRect() const;

    QVideoSink* sink_;
    QImage frame_;
    int paintMode_;
};

} // namespace tomeric
