// Inside the layer: desktop input turned into the platform's messages, and the state of the
// pointer that the tap-and-hold recognition watches.
#pragma once

#include <QPoint>
#include <cstdint>

#include "platform/system/windows.h"

namespace platform::input {

struct PointerState {
  bool down = false;          // a button is held
  bool rightButton = false;   // the last press was the right button's (kept after its release)
  QPoint pressPosition;       // where it went down, device pixels of the device screen
  QPoint position;            // where the pointer is now, device pixels of the device screen
  int64_t pressTime = 0;      // when it went down (the layer's millisecond clock)
  uint64_t pressCount = 0;    // presses seen so far (tells one press from the next)
};

// The pointer as the desktop last reported it (updated before any message is posted).
const PointerState& pointerState();

// The modifier keys (MOD_ALT, MOD_CONTROL, MOD_SHIFT) held with the last key the desktop
// reported: what GetKeyState answers while the program handles that key's message.
void rememberModifiers(UINT modifiers);

// Installs the application-wide routing of keys, pointer, wheel and focus (once).
void installInputRouting();

}  // namespace platform::input
