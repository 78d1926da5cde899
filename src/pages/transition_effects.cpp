// The built-in transition effects. W and H are the area's width and height,
// L the delay level, s a step in pixels; sleeps are in milliseconds. Every
// loop advances by at least one pixel and every front stops exactly at its
// edge, so each effect ends with the new picture in place.

#include "pages/transition_run.h"

#include <QPainter>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

namespace tomeric::transition_detail {
namespace {

constexpr int kDitherSteps = 8;
constexpr int kBlockSize = 8;
constexpr int kWeaveCell = 10;
constexpr std::array<int, 7> kFadeOpacities = {32, 64, 96, 128, 160, 192, 224};

int MoveStep(const TransitionRun& run) { return 14 - run.Level(); }

// Positions of a front moving from `from` towards `to` by `step`, the last
// one exactly `to`.
std::vector<int> Fronts(int from, int to, int step) {
    std::vector<int> fronts;
    step = std::max(1, step);
    int position = from;
    while (position != to) {
        position = from < to ? std::min(to, position + step) : std::max(to, position - step);
        fronts.push_back(position);
    }
    return fronts;
}

// ---- dither -------------------------------------------------------------------

void Dither(TransitionRun& run, const std::array<TDitherPattern, 8>& patterns) {
    QImage screen = run.Canvas().copy(run.Rect()).convertToFormat(QImage::Format_ARGB32);
    const QImage to = run.To().convertToFormat(QImage::Format_ARGB32);
    for (int step = 0; step < kDitherSteps; ++step) {
        const TDitherPattern& pattern = patterns[std::size_t(step)];
        for (int y = 0; y < screen.height(); ++y) {
            auto* out = reinterpret_cast<QRgb*>(screen.scanLine(y));
            const auto* in = reinterpret_cast<const QRgb*>(to.constScanLine(y));
            for (int x = 0; x < screen.width(); ++x) {
                if (!DitherKeepsOld(pattern, x, y))
                    out[x] = in[x];
            }
        }
        run.Put(screen);
        run.Step(run.Rect(), 10 * run.Level());
    }
}

// ---- wipes and slides -----------------------------------------------------------

enum class Side { sLeft, sRight, sTop, sBottom };

// The strip between the area's `side` edge and `front`.
QRect StripFrom(const TransitionRun& run, Side side, int front) {
    switch (side) {
    case Side::sLeft: return QRect(run.Left(), run.Top(), front - run.Left(), run.Height());
    case Side::sRight: return QRect(front, run.Top(), run.Right() - front, run.Height());
    case Side::sTop: return QRect(run.Left(), run.Top(), run.Width(), front - run.Top());
    case Side::sBottom: return QRect(run.Left(), front, run.Width(), run.Bottom() - front);
    }
    return {};
}

// Reveals from the `side` edge; the front starts there.
void Wipe(TransitionRun& run, Side side) {
    const int s = MoveStep(run);
    const int sleep = run.Level() + 2;
    std::vector<int> fronts;
    switch (side) {
    case Side::sLeft: fronts = Fronts(run.Left(), run.Right(), s); break;
    case Side::sRight: fronts = Fronts(run.Right(), run.Left(), s); break;
    case Side::sTop: fronts = Fronts(run.Top(), run.Bottom(), s); break;
    case Side::sBottom: fronts = Fronts(run.Bottom(), run.Top(), s); break;
    }
    for (int front : fronts) {
        const QRect strip = StripFrom(run, side, front);
        run.Reveal(strip, run.Left(), run.Top());
        run.Step(strip, sleep);
    }
}

struct SlideGeometry {
    int from, to;         // the front's start and end
    int dx, dy;           // scroll direction (unit)
    bool horizontal;
    bool pictureBehind;   // the picture's far edge (not its near edge) is at the front
};

void Slide(TransitionRun& run, const SlideGeometry& g, int sleep) {
    int previous = g.from;
    for (int front : Fronts(g.from, g.to, MoveStep(run))) {
        const int d = std::abs(front - previous);
        previous = front;
        run.Scroll(g.dx * d, g.dy * d);
        // The uncovered strip lies on the side the contents moved away from.
        QRect strip;
        QPoint origin;
        if (g.horizontal) {
            strip = g.dx < 0 ? QRect(run.Right() - d, run.Top(), d, run.Height())
                             : QRect(run.Left(), run.Top(), d, run.Height());
            origin = QPoint(g.pictureBehind ? front - run.Width() : front, run.Top());
        } else {
            strip = g.dy < 0 ? QRect(run.Left(), run.Bottom() - d, run.Width(), d)
                             : QRect(run.Left(), run.Top(), run.Width(), d);
            origin = QPoint(run.Left(), g.pictureBehind ? front - run.Height() : front);
        }
        run.Reveal(strip, origin.x(), origin.y());
        run.Step(run.Rect(), sleep);
    }
}

// ---- growing shapes ---------------------------------------------------------------

struct GrowSteps {
    int a; // vertical step
    int b; // horizontal step
};

GrowSteps ExplodeSteps(const TransitionRun& run) {
    const int a = MoveStep(run);
    const int rows = run.Height() / a;
    // An area lower than one step completes in one step both ways.
    const int b = rows > 0 ? std::max(1, run.Width() / rows) : std::max(1, run.Width());
    return {a, b};
}

// The rectangle k steps out from the centre (not clamped).
QRect Grown(const TransitionRun& run, const GrowSteps& steps, int k) {
    const int cx = run.Left() + run.Width() / 2, cy = run.Top() + run.Height() / 2;
    return QRect(QPoint(cx - k * steps.b, cy - k * steps.a),
                 QPoint(cx + k * steps.b - 1, cy + k * steps.a - 1));
}

template <typename DrawStep>
void GrowFromCentre(TransitionRun& run, DrawStep draw) {
    const GrowSteps steps = ExplodeSteps(run);
    for (int k = 1;; ++k) {
        const QRect rect = Grown(run, steps, k).intersected(run.Rect());
        draw(rect);
        run.Step(rect, run.Level());
        if (rect == run.Rect())
            return;
    }
}

// ---- blocks -----------------------------------------------------------------------

QRect Block(const TransitionRun& run, int column, int row) {
    return QRect(run.Left() + column * kBlockSize, run.Top() + row * kBlockSize, kBlockSize,
                 kBlockSize)
        .intersected(run.Rect());
}

int BlockColumns(const TransitionRun& run) { return (run.Width() + kBlockSize - 1) / kBlockSize; }
int BlockRows(const TransitionRun& run) { return (run.Height() + kBlockSize - 1) / kBlockSize; }

std::mt19937 ShuffleEngine(const TTransitionEnvironment& environment) {
    if (environment.seed)
        return std::mt19937(*environment.seed);
    std::random_device device;
    return std::mt19937(device());
}

// ---- page turn ------------------------------------------------------------------

struct PageTurnState {
    int m;     // half width
    int b;     // pixels per step
    int sleep; // current sleep
    int centre;
};

QImage OldPicture(TransitionRun& run, const TTransitionRequest& request) {
    if (request.fromPicture.isNull())
        return run.Canvas().copy(run.Rect());
    if (request.fromPicture.size() == run.Rect().size())
        return request.fromPicture;
    return request.fromPicture.scaled(run.Rect().size(), Qt::IgnoreAspectRatio,
                                      Qt::FastTransformation);
}

void TurnForwards(TransitionRun& run, const QImage& old, PageTurnState& st) {
    const int h = run.Height(), w = run.Width();
    const QRect oldRightHalf(st.m, 0, w - st.m, h);
    for (int edge : Fronts(run.Right(), st.centre, st.b)) {
        run.DrawStretched(QRect(st.centre, run.Top(), edge - st.centre, h), old, oldRightHalf);
        run.Reveal(QRect(edge, run.Top(), run.Right() - edge, h), run.Left(), run.Top());
        run.Step(QRect(st.centre, run.Top(), run.Right() - st.centre, h), st.sleep);
        st.sleep -= 2;
    }
    const QRect newLeftHalf(0, 0, st.m, h);
    for (int edge : Fronts(st.centre, run.Left(), st.b)) {
        st.sleep += 2;
        const QRect target(edge, run.Top(), st.centre - edge, h);
        run.DrawStretched(target, run.To(), newLeftHalf);
        run.Step(target, st.sleep);
    }
}

void TurnBackwards(TransitionRun& run, const QImage& old, PageTurnState& st) {
    const int h = run.Height(), w = run.Width();
    const QRect oldLeftHalf(0, 0, st.m, h);
    for (int edge : Fronts(run.Left(), st.centre, st.b)) {
        run.DrawStretched(QRect(edge, run.Top(), st.centre - edge, h), old, oldLeftHalf);
        run.Reveal(QRect(run.Left(), run.Top(), edge - run.Left(), h), run.Left(), run.Top());
        run.Step(QRect(run.Left(), run.Top(), st.centre - run.Left(), h), st.sleep);
        st.sleep -= 2;
    }
    const QRect newRightHalf(st.m, 0, w - st.m, h);
    for (int edge : Fronts(st.centre, run.Right(), st.b)) {
        st.sleep += 2;
        const QRect target(st.centre, run.Top(), edge - st.centre, h);
        run.DrawStretched(target, run.To(), newRightHalf);
        run.Step(target, st.sleep);
    }
}

} // namespace

void RunCopy(TransitionRun& run, const TTransitionRequest&) { run.Copy(); }

void RunDissolve(TransitionRun& run, const TTransitionRequest&) { Dither(run, kDissolvePatterns); }

void RunBlockDissolve(TransitionRun& run, const TTransitionRequest&) {
    Dither(run, kBlockDissolvePatterns);
}

void RunFade(TransitionRun& run, const TTransitionRequest&) {
    for (int opacity : kFadeOpacities) {
        run.Blend(run.To(), opacity);
        run.Step(run.Rect(), 10 * run.Level());
    }
    run.Copy();
}

void RunWipeLeft(TransitionRun& run, const TTransitionRequest&) { Wipe(run, Side::sRight); }
void RunWipeRight(TransitionRun& run, const TTransitionRequest&) { Wipe(run, Side::sLeft); }
void RunWipeUp(TransitionRun& run, const TTransitionRequest&) { Wipe(run, Side::sBottom); }
void RunWipeDown(TransitionRun& run, const TTransitionRequest&) { Wipe(run, Side::sTop); }

void RunSlideLeft(TransitionRun& run, const TTransitionRequest&) {
    Slide(run, {run.Right(), run.Left(), -1, 0, true, false}, run.Level() + 2);
}

void RunSlideRight(TransitionRun& run, const TTransitionRequest&) {
    Slide(run, {run.Left(), run.Right(), 1, 0, true, true}, run.Level() + 2);
    run.Copy();
}

void RunSlideUp(TransitionRun& run, const TTransitionRequest&) {
    Slide(run, {run.Bottom(), run.Top(), 0, -1, false, false}, run.Level() + 3);
    run.Copy();
}

void RunSlideDown(TransitionRun& run, const TTransitionRequest&) {
    Slide(run, {run.Top(), run.Bottom(), 0, 1, false, true}, run.Level() + 2);
    run.Copy();
}

void RunExplode(TransitionRun& run, const TTransitionRequest&) {
    GrowFromCentre(run, [&](const QRect& rect) { run.Reveal(rect, run.Left(), run.Top()); });
}

void RunGrow(TransitionRun& run, const TTransitionRequest&) {
    GrowFromCentre(run, [&](const QRect& rect) {
        run.DrawStretched(rect, run.To(), run.To().rect());
    });
}

void RunImplode(TransitionRun& run, const TTransitionRequest&) {
    const GrowSteps steps = ExplodeSteps(run);
    for (int k = 1;; ++k) {
        const QRect hole(QPoint(run.Left() + k * steps.b, run.Top() + k * steps.a),
                         QPoint(run.Right() - k * steps.b - 1, run.Bottom() - k * steps.a - 1));
        const bool closed = hole.isEmpty();
        const QRegion outside = closed ? QRegion(run.Rect()) : QRegion(run.Rect()).subtracted(hole);
        run.RevealRegion(outside, run.Left(), run.Top());
        run.Step(run.Rect(), run.Level());
        if (closed)
            return;
    }
}

void RunCircle(TransitionRun& run, const TTransitionRequest&) {
    const GrowSteps steps = ExplodeSteps(run);
    // The ellipse grows until it passes the area by a quarter of W and H.
    const QRect limit = run.Rect().adjusted(-run.Width() / 4, -run.Height() / 4,
                                            run.Width() / 4, run.Height() / 4);
    for (int k = 1;; ++k) {
        const QRect rect = Grown(run, steps, k);
        run.RevealRegion(QRegion(rect, QRegion::Ellipse), run.Left(), run.Top());
        run.Step(rect, run.Level());
        if (rect.contains(limit))
            break;
    }
    run.Copy(); // the ellipse's outline is polygonal: make the corners exact
}

void RunWeaveHorizontal(TransitionRun& run, const TTransitionRequest&) {
    const int rows = std::max(1, run.Height() / kWeaveCell) + 1;
    for (int j = 0; j * kWeaveCell < run.Width(); ++j) {
        QRegion cells;
        for (int i = 0; i < rows; ++i) {
            const int y = run.Top() + i * kWeaveCell;
            // Odd rows (counting from 1) fill rightwards, even rows leftwards.
            const int x = i % 2 == 0 ? run.Left() + j * kWeaveCell
                                     : run.Right() - (j + 1) * kWeaveCell;
            cells += QRect(x, y, kWeaveCell, kWeaveCell).intersected(run.Rect());
        }
        run.RevealRegion(cells, run.Left(), run.Top());
        run.Step(cells.boundingRect(), 2 * run.Level());
    }
}

void RunWeaveVertical(TransitionRun& run, const TTransitionRequest&) {
    const int columns = std::max(1, run.Width() / kWeaveCell) + 1;
    for (int j = 0; j * kWeaveCell < run.Height(); ++j) {
        QRegion cells;
        for (int i = 0; i < columns; ++i) {
            const int x = run.Left() + i * kWeaveCell;
            // Odd columns (counting from 1) fill downwards, even columns upwards.
            const int y = i % 2 == 0 ? run.Top() + j * kWeaveCell
                                     : run.Bottom() - (j + 1) * kWeaveCell;
            cells += QRect(x, y, kWeaveCell, kWeaveCell).intersected(run.Rect());
        }
        run.RevealRegion(cells, run.Left(), run.Top());
        run.Step(cells.boundingRect(), 2 * run.Level());
    }
}

void RunSplitHorizontal(TransitionRun& run, const TTransitionRequest&) {
    const int s = (10 - run.Level()) / 2 + 4;
    const int cx = run.Left() + run.Width() / 2;
    for (int k = 1;; ++k) {
        const int x1 = std::max(run.Left(), cx - k * s), x2 = std::min(run.Right(), cx + k * s);
        const QRect band(x1, run.Top(), x2 - x1, run.Height());
        run.Reveal(band, run.Left(), run.Top());
        run.Step(band, 2 * run.Level());
        if (band == run.Rect())
            return;
    }
}

void RunSplitVertical(TransitionRun& run, const TTransitionRequest&) {
    const int s = MoveStep(run);
    const int cy = run.Top() + run.Height() / 2;
    for (int k = 1;; ++k) {
        const int y1 = std::max(run.Top(), cy - k * s), y2 = std::min(run.Bottom(), cy + k * s);
        const QRect band(run.Left(), y1, run.Width(), y2 - y1);
        run.Reveal(band, run.Left(), run.Top());
        run.Step(band, 2 * run.Level());
        if (band == run.Rect())
            return;
    }
}

void RunBlocks(TransitionRun& run, const TTransitionRequest&) {
    const int columns = BlockColumns(run), rows = BlockRows(run);
    std::vector<int> order(std::size_t(columns) * std::size_t(rows));
    std::iota(order.begin(), order.end(), 0);
    std::mt19937 engine = ShuffleEngine(run.Environment());
    std::shuffle(order.begin(), order.end(), engine);
    int remaining = int(order.size());
    for (int index : order) {
        const QRect block = Block(run, index % columns, index / columns);
        run.Reveal(block, run.Left(), run.Top());
        run.Step(block, remaining % 10 == 0 ? run.Level() + 1 : 0);
        --remaining;
    }
    run.Copy();
}

void RunCheckerboard(TransitionRun& run, const TTransitionRequest&) {
    const int columns = BlockColumns(run), rows = BlockRows(run);
    for (int pass = 0; pass < 2; ++pass) {
        for (int row = 0; row < rows; ++row) {
            QRegion blocks;
            // First pass: column and row of equal parity; second: the others.
            for (int column = (row + pass) % 2; column < columns; column += 2)
                blocks += Block(run, column, row);
            run.RevealRegion(blocks, run.Left(), run.Top());
            run.Step(blocks.boundingRect(), run.Level() + 1);
        }
    }
    run.Copy();
}

void RunTransparent(TransitionRun& run, const TTransitionRequest& request) {
    if (request.clipRegion)
        run.CopyClipped(*request.clipRegion);
    else
        run.Copy();
}

void RunPageTurn(TransitionRun& run, const TTransitionRequest& request) {
    const int t = run.Level() + 10;
    PageTurnState state;
    state.m = run.Width() / 2;
    state.b = std::max(1, state.m / t); // narrow areas still move a pixel a step
    state.sleep = 2 * t;
    state.centre = run.Left() + state.m;
    const QImage old = OldPicture(run, request);
    if (request.direction >= 0)
        TurnForwards(run, old, state);
    else
        TurnBackwards(run, old, state);
}

} // namespace tomeric::transition_detail
