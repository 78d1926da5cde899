#pragma once
// Hot keys (KEY=): a publication stores a Windows shortcut code (virtual key
// in the low byte, 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt); objects keep it
// as a Qt key combination. On a key press the main window walks the shown
// page's objects in creation order, groups and containers included, and the
// first visible, enabled object with that hot key reacts (HotKeyPressed):
// buttons show a press and click, inputs take the focus.

#include "objects/tomeric_obj.h"

class QKeyEvent;

namespace tomeric {

// The Qt key combination (QKeyCombination::toCombined) of a shortcut code;
// 0 for none or a key without a Qt equivalent.
int HotKeyFromShortcut(int shortcut);
// The combination a key press stands for, in the same form.
int HotKeyOfEvent(const QKeyEvent& event);

// The first visible, enabled object under `root` whose hot key is `hotKey`;
// null when none.
TTomericObj* FindHotKeyObject(QWidget* root, int hotKey);

// Offers a key press to the objects of `page`, then of `master` (either may
// be null). True when an object took it.
bool DispatchHotKey(QWidget* page, QWidget* master, const QKeyEvent& event);

// How long a hot key holds a button down before it is released.
inline constexpr int kHotKeyPressMs = 150;

} // namespace tomeric
