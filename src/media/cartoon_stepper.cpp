#include "media/cartoon_stepper.h"

#include <algorithm>

namespace tomeric {

QRect SpannedBox(QPoint a, QPoint b)
{
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

QPoint DefaultCartoonStart(QPoint written, QSize page)
{
    return QPoint(written.x() == -1 ? page.width() / 4 : written.x(),
                  written.y() == -1 ? page.height() / 2 : written.y());
}

QPoint DefaultCartoonEnd(QPoint written, QPoint start, QSize page)
{
    return QPoint(written.x() == -1 ? start.x() + page.width() / 2 : written.x(),
                  written.y() == -1 ? start.y() : written.y());
}

TCartoonStepper::TCartoonStepper(const TCartoonPath& path)
    : path_(path), box_(SpannedBox(path.start, path.end)), position_(path.start),
      cycles_(std::max(1, path.steps))
{
    path_.frames = std::max(1, path_.frames);
    path_.steps = cycles_;
    const double moves = double(path_.frames) * path_.steps;
    dx_ = (path.end.x() - path.start.x()) / moves;
    dy_ = (path.end.y() - path.start.y()) / moves;
}

bool TCartoonStepper::Inside(QPointF position) const
{
    const QPoint p = position.toPoint();
    return p.x() >= box_.left() && p.x() <= box_.right() && p.y() >= box_.top() && p.y() <= box_.bottom();
}

bool TCartoonStepper::Running() const { return path_.loop || Inside(position_); }

TCartoonStep TCartoonStepper::Current() const
{
    return TCartoonStep{Inside(position_), frame_, position_.toPoint()};
}

void TCartoonStepper::Advance()
{
    frame_ = (frame_ + 1) % path_.frames;
    const bool inPlace = dx_ == 0 && dy_ == 0;
    if (inPlace && frame_ == 0 && --cycles_ == 0) {
        // Every cycle shown: just outside the box ends a cartoon without loop.
        position_ = QPointF(box_.right() + 1, box_.bottom() + 1);
        cycles_ = path_.steps;
    }
    if (path_.loop && !Inside(position_))
        position_ = QPointF(path_.start);
    else if (!inPlace)
        position_ += QPointF(dx_, dy_);
}

} // namespace tomeric
