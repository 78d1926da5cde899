#pragma once
// The arithmetic of a cartoon: where its frame is at each step, which frame
// shows, and when it ends. No thread, no drawing: TCartoonPlayer runs it on
// its worker thread and hands every step to the main thread to draw.

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

namespace tomeric {

struct TCartoonPath {
    QPoint start, end; // the frame's centre, in page-area coordinates
    int frames = 1;
    int steps = 1; // at least 1
    bool loop = false;
};

// What one step shows.
struct TCartoonStep {
    bool visible = false; // the position lies on the path: the frame is drawn
    int frame = 0;
    QPoint centre;
};

// The box spanned by two points, both included.
QRect SpannedBox(QPoint a, QPoint b);

// The page-area defaults of a path written with -1: x1 a quarter of the page
// width, y1 half its height, x2 half a page width further than x1, y2 = y1.
QPoint DefaultCartoonStart(QPoint written, QSize page);
QPoint DefaultCartoonEnd(QPoint written, QPoint start, QSize page);

class TCartoonStepper {
public:
    explicit TCartoonStepper(const TCartoonPath& path);

    // False once a cartoon without loop has left its path: it ends.
    bool Running() const;
    // The step to draw now.
    TCartoonStep Current() const;
    // After the delay: the next frame and position.
    void Advance();

private:
    bool Inside(QPointF position) const;

    TCartoonPath path_;
    QRect box_;
    QPointF position_;
    double dx_ = 0, dy_ = 0;
    int frame_ = 0;
    int cycles_;
};

} // namespace tomeric
