// The names of the twelve KeyActions, as the Key dialog lists them and the About text speaks of
// them. A list's position is the KeyAction's number.
#pragma once

#include "platform/system/windows.h"

inline constexpr int kKeyActionCount = 12;
inline constexpr int kKeyActionNameUnits = 20;  // each name and its terminator fit in 20 units

// The display name of a KeyAction (0..11), or nullptr outside that range.
const WCHAR* keyActionName(int action);
