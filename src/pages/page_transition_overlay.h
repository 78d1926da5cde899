#pragma once
// Page transitions on screen: a widget laid over the page container shows
// the transition's canvas while the effect draws, repainting each step at
// once; between steps the event loop keeps running (without user input), so
// the window stays live. The overlay disappears when the effect has ended.

#include "pages/stack_page_view.h"

namespace tomeric {

TTransitionPlayer MakeOverlayTransitionPlayer();

} // namespace tomeric
