#pragma once
// Page transitions: replace what is on screen in a rectangle by a new
// picture with a visible effect. Page changes use them with the page's
// PAGEEFFECT and EFFECTSPEED; showing or hiding an object and the pop-up
// picture use them on their own rectangles.
//
//   TImageSurface or a page's surface ...
//   TTransitionRequest request;
//   request.area = pageRect; request.name = page.effect; request.options = page.speed;
//   request.fromPicture = oldPage; request.toPicture = newPage;
//   RunTransition(surface, request);
//
// Names outside the built-in table go to the plug-in hook; an effect that
// nobody draws is a plain copy, so the new picture always ends up shown.

#include "pages/transition_surface.h"

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace tomeric {

// The built-in effects; the value is the effect's index.
enum class TTransitionEffect : int {
    teNone = 0, teDissolve, teSlideLeft, teSlideRight, teSlideUp, teSlideDown,
    teExplode, teImplode, teWeaveHorizontal, teWeaveVertical, teSplitHorizontal,
    teSplitVertical, teWipeLeft, teWipeRight, teWipeUp, teWipeDown, teCircle, teGrow,
    teBlocks, teCheckerboard, teBlockDissolve, teFade, teTransparent, tePageTurn,
};
inline constexpr int kTransitionEffectCount = 24;

// The effect of that name (compared ignoring case); nothing for other names.
std::optional<TTransitionEffect> TransitionEffectByName(const QString& name);
QString TransitionEffectName(TTransitionEffect effect);

// The delay level of an options text: its integer value, 5 when it is not a
// number, clamped to 0..10. Larger is slower.
int TransitionDelayLevel(const QString& options);

// 8 × 8 monochrome cells, one per step; the first byte is the bottom row, the
// high bit the left pixel. A 1 bit keeps the old pixel, a 0 bit shows the new.
using TDitherPattern = std::array<std::uint8_t, 8>;
extern const std::array<TDitherPattern, 8> kDissolvePatterns;
extern const std::array<TDitherPattern, 8> kBlockDissolvePatterns;
// Whether the pattern keeps the old pixel at (x, y) of the area (the cell
// repeats over the area from its top-left corner).
bool DitherKeepsOld(const TDitherPattern& pattern, int x, int y);

struct TPlugInTransitionRequest {
    QString name;
    QImage fromPicture; // may be null
    QImage toPicture;
    QString options;
    int direction = 0;
    QRect area;
    TTransitionSurface* surface = nullptr;
};
// Asked for names the table does not know; answers whether it drew.
using TPlugInTransitionHook = std::function<bool(const TPlugInTransitionRequest&)>;
using TTransitionSleeper = std::function<void(int milliseconds)>;

struct TTransitionRequest {
    QRect area;                    // destination rectangle on the surface
    QImage view;                   // pop-up pictures: the new picture when toPicture is null
    int direction = 0;             // Page Turn only: negative turns backwards
    QString options;               // its integer value is the delay level
    QString name;                  // the effect name
    std::optional<QRegion> clipRegion; // Transparent only, surface coordinates
    QImage fromPicture;            // the old picture; may be null
    QImage toPicture;              // the new picture, the size of the area
};

struct TTransitionEnvironment {
    TTransitionSleeper sleeper;        // none: the calling thread sleeps
    TPlugInTransitionHook plugIns;     // none: unknown names copy
    std::optional<std::uint32_t> seed; // Blocks' shuffle; none: a fresh random seed
};

// Draws the transition and returns when it has ended. Nothing outside the
// area is touched; at the end the area shows the new picture (Transparent
// with a clip region: inside the region only).
void RunTransition(TTransitionSurface& surface, const TTransitionRequest& request,
                   const TTransitionEnvironment& environment = {});

} // namespace tomeric
