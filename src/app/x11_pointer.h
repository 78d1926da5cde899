#pragma once
// A left click where the pointer is, through the X test extension, for
// ClickMouse over the windows of other programs: the X server delivers it
// as if the user had clicked. Sessions without an X server offering the
// extension (Wayland, the offscreen platform) cannot.

#include <functional>

namespace tomeric {

// Presses the left button, lets `hold` run (the 100 ms between press and
// release), releases it. False, and nothing happens, without the extension.
bool ClickThroughXTest(const std::function<void()>& hold);

} // namespace tomeric
