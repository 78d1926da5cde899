#pragma once
// Where the object commands find objects in the player window: the current
// page, the master page while the current page shows it, then every other
// page in page order (pages are created on first use). Floating windows
// will come first once they exist.

#include "objects/object_commands.h"

#include <functional>

namespace tomeric {

class TPageStack;
class TQXPageList;

// `stack` and `pages` are asked at each lookup: the window may replace its
// page stack when it loads a publication. `fast`: effects end at once.
TObjectWorld MakeObjectWorld(std::function<TPageStack*()> stack, std::function<TQXPageList*()> pages,
                             bool fast);

} // namespace tomeric
