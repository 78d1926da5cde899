#include "media/video_surface.h"

#include "publication/object_model.h"

#include <QPainter>
#include <QVideoFrame>
#include <QVideoSink>

namespace tomeric {

TVideoSurface::TVideoSurface(QWidget* parent, int paintMode)
    : QWidget(parent), sink_(new QVideoSink(this)), paintMode_(paintMode)
{
    connect(sink_, &QVideoSink::videoFrameChanged, this, &TVideoSurface::FrameArrived);
}

TVideoSurface::~TVideoSurface() = default;

void TVideoSurface::SetPaintMode(int mode)
{
    if (mode == paintMode_)
        return;
    paintMode_ = mode;
    update();
}

void TVideoSurface::Clear()
{
    frame_ = QImage();
    update();
}

void TVideoSurface::FrameArrived(const QVideoFrame& frame)
{
    if (!frame.isValid())
        return;
    const bool first = frame_.isNull();
    frame_ = frame.toImage();
    if (first && !frame_.isNull())
        emit FirstFrame(frame_.size());
    update();
}

QRect TVideoSurface::TargetRect() const
{
    if (paintMode_ == pNormal)
        return QRect(QPoint(0, 0), frame_.size());
    if (paintMode_ == pStretchAspect) {
        QSize fitted = frame_.size().scaled(size(), Qt::KeepAspectRatio);
        return QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
    }
    return rect();
}

void TVideoSurface::paintEvent(QPaintEvent*)
{
    // Before the first frame (and for sound alone) what lies beneath shows.
    if (frame_.isNull())
        return;
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(TargetRect(), frame_);
}

} // namespace tomeric
