#pragma once
// How a page background paints itself: a solid colour, a gradient of
// one-pixel lines, or a wallpaper picture tiled, centred or stretched.
// Pure painting on a QPainter, so pages, off-screen page pictures and tests
// share one code path.

#include "imaging/tomeric_color.h"
#include "publication/publication_model.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace tomeric {

// What a background shows (the fields PAGE... of a page record).
struct TBackgroundLook {
    std::int32_t color = 0xFFFFFF;
    int style = pbSolid;
    std::int32_t gradient1 = 0xFF0000;
    std::int32_t gradient2 = 0x0000FF;
    int gradientDir = G_Vert;
    QString wallpaper;
    int wallpaperStyle = wsTile;

    static TBackgroundLook From(const TPageBackground& background);
    // The white solid look the master page takes back when no page shows it.
    static TBackgroundLook PlainWhite() { return {}; }
    bool operator==(const TBackgroundLook&) const = default;
};

// The colour of each line of a gradient of `lineCount` lines from c1 to c2:
// every channel moves by the same step (the largest channel difference over
// the line count) towards its value in c2, clamped to 0..255, and is
// rounded for drawing. Empty when the colours are equal or there are no lines.
std::vector<QColor> GradientLineColors(std::int32_t c1, std::int32_t c2, int lineCount);

void PaintGradient(QPainter& painter, const QRect& area, std::int32_t c1, std::int32_t c2,
                   int direction);
// `fill` is used where the picture does not cover the area (centred).
void PaintWallpaper(QPainter& painter, const QRect& area, const QImage& picture,
                    int wallpaperStyle, const QColor& fill);

// Gives the wallpaper picture for a name; a null image when it cannot be loaded.
using TWallpaperSource = std::function<QImage(const QString& name)>;

void PaintBackground(QPainter& painter, const QRect& area, const TBackgroundLook& look,
                     const TWallpaperSource& wallpapers);

} // namespace tomeric
