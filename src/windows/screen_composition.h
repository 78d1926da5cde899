#pragma once
// What a person sees on the screen, built from the application's own
// windows: the pop-ups and floating windows over the main window, each at
// its screen position. The screenshot of a driven run and the picture
// pop-up's transitions (which start from what lies beneath) use it; the
// window system itself is never asked for the screen's pixels.

#include <QImage>
#include <QPoint>
#include <QRect>

#include <vector>

class QWidget;

namespace tomeric {

// Draws every visible top-level window of the application except those in
// `skip` over `canvas`, whose top-left corner lies at `origin` on the
// screen. Windows that stay on top (pop-ups) come last; the rest keep the
// order in which the application lists them.
void ComposeWindowsOver(QImage& canvas, const QPoint& origin, const std::vector<const QWidget*>& skip = {});

// The application's windows as they show in `screenRect`; black where none is.
QImage ComposeScreen(const QRect& screenRect);

} // namespace tomeric
