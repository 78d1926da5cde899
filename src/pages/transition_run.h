#pragma once
// The state of one running transition and its drawing primitives; shared by
// the dispatcher (transitions.cpp) and the effects (transition_effects.cpp).

#include "pages/transitions.h"

#include <QImage>
#include <QRect>
#include <QRegion>

#include <cstdint>

namespace tomeric::transition_detail {

class TransitionRun {
public:
    TransitionRun(TTransitionSurface& surface, const QImage& to, const QRect& rect, int level,
                  const TTransitionEnvironment& environment);

    // ---- what the effect works with -------------------------------------
    const QRect& Rect() const { return rect_; } // the effect's area
    int Left() const { return rect_.left(); }
    int Top() const { return rect_.top(); }
    int Right() const { return rect_.left() + rect_.width(); }  // exclusive
    int Bottom() const { return rect_.top() + rect_.height(); } // exclusive
    int Width() const { return rect_.width(); }
    int Height() const { return rect_.height(); }
    int Level() const { return level_; }
    const QImage& To() const { return to_; }
    QImage& Canvas() { return surface_.Canvas(); }
    const TTransitionEnvironment& Environment() const { return environment_; }

    // ---- primitives -------------------------------------------------------
    // Draws the whole new picture with its top-left corner at (x, y), clipped
    // to `clip` (and always to the area).
    void Reveal(const QRect& clip, int x, int y);
    void RevealRegion(const QRegion& clip, int x, int y);
    // The whole new picture at the area's top-left corner; presented at once.
    void Copy();
    void CopyClipped(const QRegion& clip);
    // `source` part of `picture` stretched into `target` (clipped to the area).
    void DrawStretched(const QRect& target, const QImage& picture, const QRect& source);
    // `picture` drawn over the area with the given opacity (0..255).
    void Blend(const QImage& picture, int opacity);
    // Moves the area's screen contents by (dx, dy); what moves out is lost.
    void Scroll(int dx, int dy);
    // Replaces the area with `picture` (the area's size).
    void Put(const QImage& picture);

    // ---- pacing -------------------------------------------------------------
    // Ends a step: shows `dirty` and sleeps (a sleep of 0 or less is skipped).
    void Step(const QRect& dirty, int sleepMs);
    void Sleep(int ms);

private:
    TTransitionSurface& surface_;
    QImage to_;
    QRect rect_;
    int level_;
    const TTransitionEnvironment& environment_;
};

using EffectFunction = void (*)(TransitionRun&, const TTransitionRequest&);

// The effects, indexed like TTransitionEffect.
void RunCopy(TransitionRun& run, const TTransitionRequest& request);
void RunDissolve(TransitionRun& run, const TTransitionRequest& request);
void RunBlockDissolve(TransitionRun& run, const TTransitionRequest& request);
void RunFade(TransitionRun& run, const TTransitionRequest& request);
void RunWipeLeft(TransitionRun& run, const TTransitionRequest& request);
void RunWipeRight(TransitionRun& run, const TTransitionRequest& request);
void RunWipeUp(TransitionRun& run, const TTransitionRequest& request);
void RunWipeDown(TransitionRun& run, const TTransitionRequest& request);
void RunSlideLeft(TransitionRun& run, const TTransitionRequest& request);
void RunSlideRight(TransitionRun& run, const TTransitionRequest& request);
void RunSlideUp(TransitionRun& run, const TTransitionRequest& request);
void RunSlideDown(TransitionRun& run, const TTransitionRequest& request);
void RunExplode(TransitionRun& run, const TTransitionRequest& request);
void RunImplode(TransitionRun& run, const TTransitionRequest& request);
void RunCircle(TransitionRun& run, const TTransitionRequest& request);
void RunGrow(TransitionRun& run, const TTransitionRequest& request);
void RunWeaveHorizontal(TransitionRun& run, const TTransitionRequest& request);
void RunWeaveVertical(TransitionRun& run, const TTransitionRequest& request);
void RunSplitHorizontal(TransitionRun& run, const TTransitionRequest& request);
void RunSplitVertical(TransitionRun& run, const TTransitionRequest& request);
void RunBlocks(TransitionRun& run, const TTransitionRequest& request);
void RunCheckerboard(TransitionRun& run, const TTransitionRequest& request);
void RunTransparent(TransitionRun& run, const TTransitionRequest& request);
void RunPageTurn(TransitionRun& run, const TTransitionRequest& request);

} // namespace tomeric::transition_detail
