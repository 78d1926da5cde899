#pragma once
// The line a run without a person prints for each pop-up shown, in the
// headless runner's format (a contract for outside tests):
//
//   POPUP Balloon "text" "x" "y" "time"          (-1, -1, 0 when left out)
//   POPUP StickyNote "x" "y" "text" "time"
//   POPUP PopUpImage "x" "y" "picture" "time" "transition" "options"
//   POPUP Menu "items"                           Menu and MenuEx alike

#include "actions/services.h"

#include <optional>

namespace tomeric {

// True for Balloon, StickyNote, PopUpImage, Menu and MenuEx.
bool IsPopUpCommand(const QString& command);
// The POPUP line of a pop-up command; nothing for other commands.
std::optional<QString> PopUpLine(const ServiceCall& call);

} // namespace tomeric
