// Painting a page background at the publication size: a gradient is one
// line per pixel row, a tiled wallpaper many small copies. Page changes draw
// the old and the new page off-screen, so both must stay well under a frame.

#include "pages/background_painter.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

namespace {

void PaintLook(benchmark::State& state, const tomeric::TBackgroundLook& look,
               const tomeric::TWallpaperSource& wallpapers = {})
{
    QImage target(800, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&target);
        tomeric::PaintBackground(painter, target.rect(), look, wallpapers);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}

void BM_VerticalGradient800x600(benchmark::State& state)
{
    tomeric::TBackgroundLook look;
    look.style = tomeric::pbGradient;
    look.gradient1 = 0x34201C;
    look.gradient2 = 0x2D1E6E;
    PaintLook(state, look);
}
BENCHMARK(BM_VerticalGradient800x600);

void BM_TiledWallpaper16x16(benchmark::State& state)
{
    QImage tile(16, 16, QImage::Format_RGB32);
    tile.fill(Qt::darkCyan);
    tomeric::TBackgroundLook look;
    look.style = tomeric::pbWallpaper;
    look.wallpaper = QStringLiteral("tile");
    PaintLook(state, look, [tile](const QString&) { return tile; });
}
BENCHMARK(BM_TiledWallpaper16x16);

void BM_GradientLineColours(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(tomeric::GradientLineColors(0x000000, 0xFFFFFF, 1080));
}
BENCHMARK(BM_GradientLineColours);

} // namespace

BENCHMARK_MAIN();
