#include "pages/background_painter.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace tomeric {

namespace {

constexpr std::uint32_t kSystemColourMark = 0xFF000000u;

// The Windows system colour indexes publications use, mapped to the
// nearest role of the application palette.
QColor SystemColor(int index)
{
    const QPalette palette = QGuiApplication::instance() ? QGuiApplication::palette() : QPalette();
    switch (index) {
    case 0: return palette.color(QPalette::Mid);             // scroll bar
    case 1: return palette.color(QPalette::Window);          // desktop
    case 2: case 27: return palette.color(QPalette::Highlight); // active caption (and its gradient)
    case 3: case 28: return palette.color(QPalette::Mid);    // inactive caption (and its gradient)
    case 4: case 30: return palette.color(QPalette::Window); // menu, menu bar
    case 5: return palette.color(QPalette::Base);            // window
    case 6: return palette.color(QPalette::Shadow);          // window frame
    case 7: return palette.color(QPalette::WindowText);      // menu text
    case 8: return palette.color(QPalette::Text);            // window text
    case 9: return palette.color(QPalette::HighlightedText); // caption text
    case 10: case 11: return palette.color(QPalette::Button); // active and inactive borders
    case 12: return palette.color(QPalette::Dark);           // application workspace
    case 13: case 29: return palette.color(QPalette::Highlight); // selection, menu highlight
    case 14: return palette.color(QPalette::HighlightedText);
    case 15: return palette.color(QPalette::Button);         // button face
    case 16: return palette.color(QPalette::Dark);           // button shadow
    case 17: return palette.color(QPalette::PlaceholderText); // grey text
    case 18: return palette.color(QPalette::ButtonText);
    case 19: return palette.color(QPalette::PlaceholderText); // inactive caption text
    case 20: return palette.color(QPalette::Light);          // button highlight
    case 21: return palette.color(QPalette::Shadow);         // 3-D dark shadow
    case 22: return palette.color(QPalette::Midlight);       // 3-D light
    case 23: return palette.color(QPalette::ToolTipText);
    case 24: return palette.color(QPalette::ToolTipBase);
    case 26: return palette.color(QPalette::Link);           // hot-tracked item
    default: return palette.color(QPalette::Window);
    }
}

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

QColor TomericColor(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    if ((bits & 0xFF000000u) == kSystemColourMark)
        return SystemColor(static_cast<int>(bits & 0xFF));
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

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
