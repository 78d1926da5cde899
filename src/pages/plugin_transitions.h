#pragma once
// Transitions that plug-ins draw: the transition hook that hands a name the
// built-in table does not know to the plug-in that registered it, with the
// pictures and the screen as the plug-in interface's bitmaps and canvas.

#include "pages/transitions.h"

namespace tomeric {

// `sleeper` runs between the plug-in's steps (the window stays live).
TPlugInTransitionHook PlugInTransitions(TTransitionSleeper sleeper);

} // namespace tomeric
