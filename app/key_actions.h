// The hardware keys (KeySlots), the actions they can be bound to (KeyActions), and the capture
// of the four application keys as hot keys while the viewer has the focus.
#pragma once

#include <cstdint>

#include "platform/system/windows.h"
#include "settings/key_action_names.h"
#include "settings/settings_image.h"

struct ViewerState;

enum KeySlot : int {
  kSlotUp, kSlotDown, kSlotLeft, kSlotRight, kSlotCenter, kSlotApp1, kSlotApp2, kSlotApp3, kSlotApp4,
};

// The KeySlot of a virtual-key code, or -1 for a key that is not bound.
int keySlotForKey(WORD virtualKey);
// The virtual-key code of a KeySlot.
WORD keyForSlot(int slot);

inline constexpr int kAppKeyCount = 4;        // application keys 1 to 4, the last four KeySlots
inline constexpr int kHotKeyFirstId = 5001;  // ids 5001..5004 for application keys 1..4

// Runs the action bound to the key, if the key is one of the nine.
void dispatchKey(ViewerState& state, WORD virtualKey);
// Carries out one KeyAction; a number outside 0..11 does nothing.
void runKeyAction(ViewerState& state, int32_t action);
// The desktop's own keys, beside the nine (which keep their bindings): Page Up / Page Down
// scroll a page, Home / End (with or without Ctrl) go to the top / the end, Ctrl+A selects
// everything, Ctrl+C copies, Ctrl+O runs the open command, F10 and Alt+F drop the FILE menu
// down, Alt+T the TOOL menu, and the Menu key or Shift+F10 offer COPY where the pointer is.
// `message` is WM_KEYDOWN or WM_SYSKEYDOWN; the modifiers come from GetKeyState. Answers
// whether the key was one of these.
bool runDesktopKey(ViewerState& state, UINT message, WORD virtualKey);
// Captures the four application keys as hot keys of `window` (captured) or releases them from
// the main window (not captured); does nothing when hotKeysRegistered already says so.
void setAppKeysCaptured(ViewerState& state, HWND window, bool captured);
// Releases the four hot keys whatever hotKeysRegistered says (the viewer's teardown).
void unregisterAppKeys(ViewerState& state);
