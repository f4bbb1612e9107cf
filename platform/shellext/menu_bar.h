// Inside the layer: the shell's menu bar window, for start-up and for tests.
#pragma once

#include "platform/system/windows.h"

namespace platform::shell {

// Registers the menu bar's window class (called once at start-up).
void registerMenuBarClass();
// The rectangle of button `index` of a menu bar, in device pixels of the menu bar window
// (all zero when there is no such button).
RECT menuBarButtonRect(HWND menuBar, int index);

}  // namespace platform::shell
