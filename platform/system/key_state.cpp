// GetKeyState for the modifier keys: the state that came with the last key the desktop
// reported, so that a program reading it while it handles WM_KEYDOWN sees the modifiers of
// that key press (the input routing posts the message right after noting them).
#include "platform/system/key_state.h"

#include "platform/system/input_routing.h"

namespace {
UINT heldModifiers = 0;  // MOD_* of the last key event
}  // namespace

void platform::input::rememberModifiers(UINT modifiers) { heldModifiers = modifiers; }

int16_t GetKeyState(int virtualKey) {
  UINT modifier = 0;
  switch (virtualKey) {
    case VK_SHIFT: modifier = MOD_SHIFT; break;
    case VK_CONTROL: modifier = MOD_CONTROL; break;
    case VK_MENU: modifier = MOD_ALT; break;
    default: return 0;
  }
  return (heldModifiers & modifier) != 0 ? static_cast<int16_t>(0x8000) : int16_t{0};
}
