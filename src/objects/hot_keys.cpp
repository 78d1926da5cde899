#include "objects/hot_keys.h"

#include "objects/object_tree.h"

#include <QKeyEvent>

#include <array>

namespace tomeric {
namespace {

constexpr int kShiftBit = 0x2000;
constexpr int kCtrlBit = 0x4000;
constexpr int kAltBit = 0x8000;

struct TNamedKey {
    int virtualKey;
    Qt::Key key;
};

constexpr std::array kNamedKeys = {
    TNamedKey{0x08, Qt::Key_Backspace}, TNamedKey{0x09, Qt::Key_Tab},     TNamedKey{0x0D, Qt::Key_Return},
    TNamedKey{0x1B, Qt::Key_Escape},    TNamedKey{0x20, Qt::Key_Space},   TNamedKey{0x21, Qt::Key_PageUp},
    TNamedKey{0x22, Qt::Key_PageDown},  TNamedKey{0x23, Qt::Key_End},     TNamedKey{0x24, Qt::Key_Home},
    TNamedKey{0x25, Qt::Key_Left},      TNamedKey{0x26, Qt::Key_Up},      TNamedKey{0x27, Qt::Key_Right},
    TNamedKey{0x28, Qt::Key_Down},      TNamedKey{0x2D, Qt::Key_Insert},  TNamedKey{0x2E, Qt::Key_Delete},
    TNamedKey{0x6A, Qt::Key_Asterisk},  TNamedKey{0x6B, Qt::Key_Plus},    TNamedKey{0x6D, Qt::Key_Minus},
    TNamedKey{0x6E, Qt::Key_Period},    TNamedKey{0x6F, Qt::Key_Slash},   TNamedKey{0xBA, Qt::Key_Semicolon},
    TNamedKey{0xBB, Qt::Key_Equal},     TNamedKey{0xBC, Qt::Key_Comma},   TNamedKey{0xBD, Qt::Key_Minus},
    TNamedKey{0xBE, Qt::Key_Period},    TNamedKey{0xBF, Qt::Key_Slash},
};

int QtKeyOf(int virtualKey)
{
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
        return virtualKey; // Qt shares these codes
    if (virtualKey >= 0x60 && virtualKey <= 0x69) return Qt::Key_0 + (virtualKey - 0x60);
    if (virtualKey >= 0x70 && virtualKey <= 0x87) return Qt::Key_F1 + (virtualKey - 0x70);
    for (const TNamedKey& named : kNamedKeys)
        if (named.virtualKey == virtualKey) return named.key;
    return 0;
}

int Normalised(int key)
{
    return key == Qt::Key_Enter ? int(Qt::Key_Return) : key;
}

} // namespace

int HotKeyFromShortcut(int shortcut)
{
    const int key = shortcut > 0 ? QtKeyOf(shortcut & 0xFF) : 0;
    if (key == 0) return 0;
    Qt::KeyboardModifiers modifiers;
    if (shortcut & kShiftBit) modifiers |= Qt::ShiftModifier;
    if (shortcut & kCtrlBit) modifiers |= Qt::ControlModifier;
    if (shortcut & kAltBit) modifiers |= Qt::AltModifier;
    return QKeyCombination(modifiers, Qt::Key(key)).toCombined();
}

int HotKeyOfEvent(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers =
        event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    return QKeyCombination(modifiers, Qt::Key(Normalised(event.key()))).toCombined();
}

TTomericObj* FindHotKeyObject(QWidget* root, int hotKey)
{
    TTomericObj* found = nullptr;
    if (!root || hotKey == 0) return nullptr;
    ForEachObject(root, [&](TTomericObj& object) {
        const bool usable = object.VisibleState() && object.EnabledState() && !object.isHidden() &&
                            object.isVisibleTo(root);
        if (!usable || object.HotKey() != hotKey) return true;
        found = &object;
        return false;
    });
    return found;
}

bool DispatchHotKey(QWidget* page, QWidget* master, const QKeyEvent& event)
{
    const int hotKey = HotKeyOfEvent(event);
    TTomericObj* object = FindHotKeyObject(page, hotKey);
    if (!object) object = FindHotKeyObject(master, hotKey);
    if (!object) return false;
    object->HotKeyPressed();
    return true;
}

} // namespace tomeric
