// SHRecognizeGesture: the tap-and-hold gesture. While the stylus (the left button) stays down
// within a few pixels of where it went down, the recognition waits, running the desktop's
// events; held for half a second it is the context-menu gesture (1000). A release or a move
// away first gives 0. A right-button press is the same gesture on the desktop, at once.
#include "platform/shellext/aygshell.h"
#include "platform/system/input_routing.h"
#include "platform/system/message_loop.h"
#include "platform/system/responders.h"

namespace {

constexpr int64_t kHoldMs = 500;     // how long the stylus must stay down
constexpr int kToleranceDevicePx = 5;  // how far it may wander meanwhile

}  // namespace

DWORD SHRecognizeGesture(SHRGINFO* info) {
  if (info == nullptr || info->cbSize != kShrgInfoSize) return 0;
  const auto responder = platform::responders::currentGestureResponder();
  if (responder) return responder(*info);
  const auto& pointer = platform::input::pointerState();
  // The press being handled was the right button's: the gesture itself, even if the button
  // was let go before the press reached the program.
  if (pointer.rightButton) return GN_CONTEXTMENU;
  if (!pointer.down) return 0;
  const uint64_t press = pointer.pressCount;
  const auto movedAway = [&pointer] {
    const int dx = pointer.position.x() - pointer.pressPosition.x();
    const int dy = pointer.position.y() - pointer.pressPosition.y();
    return dx * dx + dy * dy > kToleranceDevicePx * kToleranceDevicePx;
  };
  const auto broken = [&] { return !pointer.down || pointer.pressCount != press || movedAway(); };
  platform::messages::runDesktopUntil(broken, pointer.pressTime + kHoldMs);
  return broken() ? 0 : GN_CONTEXTMENU;
}
