#include "pages/background_painter.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace tomeric {

namespace {

std::array<int, 3> Channels(std::int32_t value)
{
    const QColor c = TomericColor(value);
    return {c.red(), c.green(), c.blue()};
}

int Rounded(double value)
{
    // Halves go to the even neighbour, as the original's rounding does.
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

TBackgroundLook TBackgroundLook::From(const TPageBackground& b)
{
    return {b.color, b.style, b.gradient1, b.gradient2, b.gradientDir, b.wallpaper, b.wallpaperStyle};
}

std::vector<QColor> GradientLineColors(std::int32_t c1, std::int32_t c2, int lineCount)
{
    const auto from = Channels(c1);
    const auto to = Channels(c2);
    int largest = 0;
    for (int i = 0; i < 3; ++i)
        largest = std::max(largest, std::abs(from[i] - to[i]));
    if (largest == 0 || lineCount <= 0)
        return {};
    const double step = double(largest) / lineCount;
    std::array<double, 3> current{double(from[0]), double(from[1]), double(from[2])};
    std::vector<QColor> lines;
    lines.reserve(size_t(lineCount));
    for (int line = 0; line < lineCount; ++line) {
        lines.emplace_back(Rounded(current[0]), Rounded(current[1]), Rounded(current[2]));
        for (int i = 0; i < 3; ++i) {
            if (current[i] < to[i])
                current[i] = std::min(current[i] + step, 255.0);
            else if (current[i] > to[i])
                current[i] = std::max(current[i] - step, 0.0);
        }
    }
    return lines;
}

void PaintGradient(QPainter& painter, const QRect& area, std::int32_t c1, std::int32_t c2,
                   int direction)
{
    const bool vertical = direction != G_Horz; // horizontal lines, top to bottom
    const int lineCount = vertical ? area.height() : area.width();
    const std::vector<QColor> lines = GradientLineColors(c1, c2, lineCount);
    if (lines.empty()) {
        painter.fillRect(area, TomericColor(c1));
        return;
    }
    for (int i = 0; i < lineCount; ++i) {
        const QRect line = vertical ? QRect(area.left(), area.top() + i, area.width(), 1)
                                    : QRect(area.left() + i, area.top(), 1, area.height());
        painter.fillRect(line, lines[size_t(i)]);
    }
}

void PaintWallpaper(QPainter& painter, const QRect& area, const QImage& picture,
                    int wallpaperStyle, const QColor& fill)
{
    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    if (wallpaperStyle == wsStretched) {
        painter.drawImage(area, picture);
    } else if (wallpaperStyle == wsCenter) {
        painter.fillRect(area, fill);
        // Halved differences, rounded towards zero.
        const int left = area.left() + (area.width() - picture.width()) / 2;
        const int top = area.top() + (area.height() - picture.height()) / 2;
        painter.drawImage(QPoint(left, top), picture);
    } else {
        for (int y = area.top(); y < area.bottom() + 1; y += picture.height())
            for (int x = area.left(); x < area.right() + 1; x += picture.width())
                painter.drawImage(QPoint(x, y), picture);
    }
    painter.restore();
}

void PaintBackground(QPainter& painter, const QRect& area, const TBackgroundLook& look,
                     const TWallpaperSource& wallpapers)
{
    const QColor colour = TomericColor(look.color);
    switch (look.style) {
    case pbGradient:
        PaintGradient(painter, area, look.gradient1, look.gradient2, look.gradientDir);
        return;
    case pbWallpaper: {
        const QImage picture =
            (wallpapers && !look.wallpaper.isEmpty()) ? wallpapers(look.wallpaper) : QImage();
        if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0)
            painter.fillRect(area, colour);
        else
            PaintWallpaper(painter, area, picture, look.wallpaperStyle, colour);
        return;
    }
    default:
        painter.fillRect(area, colour);
        return;
    }
}

} // namespace tomeric
