#pragma once
// Page transitions on screen: a widget laid over the page container shows
// the transition's canvas while the effect draws, repainting each step at
// once; between steps the event loop keeps running (without user input), so
// the window stays live. The overlay disappears when the effect has ended.

#include "pages/stack_page_view.h"
#include "pages/transitions.h"

namespace tomeric {

TTransitionPlayer MakeOverlayTransitionPlayer();

// Sleeps between two steps of an effect while timers and painting go on
// (user input waits).
void LiveSleep(int milliseconds);

// Runs `request` (its area relative to `area`) in an overlay over `area` of
// `parent`, starting from its from-picture; returns when the effect ends.
void PlayTransitionOver(QWidget& parent, const QRect& area, const TTransitionRequest& request);

} // namespace tomeric
