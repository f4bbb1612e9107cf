// Inside the layer: the desktop keys that stand for the handheld's keys, both ways.
#pragma once

#include <Qt>

#include "platform/system/windows.h"

namespace platform::widgets {

// The desktop key for a virtual-key code (Qt::Key_unknown when there is none); the inverse of
// virtualKeyFromQtKey (declared in window_host.h).
int qtKeyFromVirtualKey(WORD vk);
// MOD_ALT / MOD_CONTROL / MOD_SHIFT for the desktop modifiers.
UINT modifiersFromQt(Qt::KeyboardModifiers modifiers);

}  // namespace platform::widgets
