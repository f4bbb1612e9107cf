// Inside the layer: the registered hot keys, looked up when the desktop reports a key press.
#pragma once

#include "platform/system/windows.h"

namespace platform::windows {

struct HotKeyMatch {
  HWND window = nullptr;  // the registering window (nullptr: no hot key for this press)
  int id = 0;             // its id (WM_HOTKEY's wParam)
  UINT modifiers = 0;     // the modifiers it was registered with (low word of WM_HOTKEY's lParam)
};

// The hot key that a press of `vk` with the desktop modifiers `pressedModifiers` (MOD_ALT,
// MOD_CONTROL, MOD_SHIFT) triggers. MOD_WIN in a registration stands for the handheld's
// application-key modifier, which the desktop's keys carry implicitly: it is not required.
HotKeyMatch findHotKey(WORD vk, UINT pressedModifiers);
void unregisterHotKeysOf(HWND hwnd);
void unregisterAllHotKeys();
size_t registeredHotKeyCount();

}  // namespace platform::windows
