// The keyboard's modifier keys as the program reads them while it handles a key message.
#pragma once

#include "platform/system/windows.h"

inline constexpr WORD VK_SHIFT = 0x10;
inline constexpr WORD VK_CONTROL = 0x11;
inline constexpr WORD VK_MENU = 0x12;  // Alt
inline constexpr WORD VK_F5 = 0x74;

// Whether Shift, Ctrl or Alt (VK_SHIFT, VK_CONTROL, VK_MENU) was held with the key whose message
// is being handled: the high bit (a negative result) when it was, 0 when not or for other keys.
int16_t GetKeyState(int virtualKey);
