#include "windows/screen_composition.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace tomeric {

namespace {

bool StaysOnTop(const QWidget& window)
{
    return (window.windowFlags() & Qt::WindowStaysOnTopHint) || window.windowType() == Qt::ToolTip;
}

std::vector<QWidget*> ShownWindows(const std::vector<const QWidget*>& skip)
{
    std::vector<QWidget*> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || window->windowType() == Qt::Desktop || window->size().isEmpty())
            continue;
        if (std::find(skip.begin(), skip.end(), window) != skip.end())
            continue;
        windows.push_back(window);
    }
    std::stable_partition(windows.begin(), windows.end(), [](const QWidget* w) { return !StaysOnTop(*w); });
    return windows;
}

} // namespace

void ComposeWindowsOver(QImage& canvas, const QPoint& origin, const std::vector<const QWidget*>& skip)
{
    if (canvas.isNull())
        return;
    // A scaled player's canvas has more pixels than screen points.
    const QRect area(origin, (QSizeF(canvas.size()) / canvas.devicePixelRatio()).toSize());
    QPainter painter(&canvas);
    for (QWidget* window : ShownWindows(skip)) {
        const QRect placed(window->mapToGlobal(QPoint(0, 0)), window->size());
        if (!placed.intersects(area))
            continue;
        // Clipped to the canvas: what lies outside is not part of it.
        painter.drawPixmap(placed.topLeft() - origin, window->grab());
    }
}

QImage ComposeScreen(const QRect& screenRect)
{
    QImage canvas(screenRect.size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::black);
    ComposeWindowsOver(canvas, screenRect.topLeft());
    return canvas;
}

} // namespace tomeric
