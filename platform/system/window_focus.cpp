// Keyboard focus and the active window. SetFocus sends WM_KILLFOCUS to the window that loses
// the focus and WM_SETFOCUS to the one that gains it, at once; activating a top-level window
// sends WM_ACTIVATE, whose default handling gives the window the focus. Focus changes that the
// desktop makes (a click into another window) go through the same path.
#include "platform/system/device_screen.h"
#include "platform/system/message_loop.h"
#include "platform/system/window_records.h"
#include "platform/system/window_widgets.h"

namespace platform::windows {
namespace {

struct FocusState {
  HWND focus = nullptr;   // the window with the keyboard focus
  HWND active = nullptr;  // the active top-level window
};

FocusState& state() {
  static FocusState instance;
  return instance;
}

bool canActivate(HWND hwnd) {
  const auto record = findWindow(hwnd);
  return record && !record->destroyed && !record->isChild() && record->visible && record->enabled &&
         (record->exStyle & WS_EX_NOACTIVATE) == 0;
}

}  // namespace

void activateWindow(HWND hwnd) {
  auto& s = state();
  if (hwnd == s.active) return;
  const HWND previous = s.active;
  s.active = hwnd;
  if (previous != nullptr && findWindow(previous)) {
    messages::deliver(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hwnd),
                      platform::messages::Delivery::Sent);
  }
  if (const auto record = findWindow(hwnd)) {
    widgets::raise(*record);
    widgets::refreshTopBar();
    if (s.active == hwnd) {
      messages::deliver(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(previous),
                        platform::messages::Delivery::Sent);
    }
  }
}

HWND nextWindowToActivate(HWND leaving) {
  const auto record = findWindow(leaving);
  if (record && record->parent != nullptr && canActivate(record->parent)) return record->parent;
  const auto tops = topLevelWindows();
  for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
    if (*it != leaving && canActivate(*it)) return *it;
  }
  return nullptr;
}

void moveFocusAwayFrom(HWND hwnd) {
  const auto record = findWindow(hwnd);
  if (!record) return;
  if (isSelfOrDescendant(hwnd, state().focus)) {
    HWND parent = record->isChild() ? record->parent : nullptr;
    SetFocus(findWindow(parent) ? parent : nullptr);
  }
  if (state().active == hwnd) {
    const HWND next = nextWindowToActivate(hwnd);
    if (next != nullptr) {
      activateWindow(next);
    } else {
      state().active = nullptr;
      messages::deliver(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0, platform::messages::Delivery::Sent);
      widgets::refreshTopBar();
    }
  }
}

void forgetFocusOf(HWND hwnd) {
  auto& s = state();
  if (s.focus == hwnd) s.focus = nullptr;
  if (s.active == hwnd) s.active = nullptr;
}

}  // namespace platform::windows

HWND SetFocus(HWND hwnd) {
  using namespace platform::windows;
  auto& s = state();
  if (hwnd != nullptr) {
    const auto record = findWindow(hwnd);
    if (!record || record->destroyed) return nullptr;
    // The window's top-level window becomes the active one first, as on the platform.
    const HWND top = topLevelAncestor(hwnd);
    if (top != s.active && canActivate(top)) activateWindow(top);
    if (!findWindow(hwnd)) return nullptr;
  }
  const HWND previous = s.focus;
  if (previous == hwnd) return previous;
  s.focus = hwnd;
  if (previous != nullptr && findWindow(previous)) {
    platform::messages::deliver(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0,
                                platform::messages::Delivery::Sent);
  }
  if (hwnd != nullptr && s.focus == hwnd && findWindow(hwnd)) {
    platform::widgets::focusWidgetOf(hwnd);
    platform::messages::deliver(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0,
                                platform::messages::Delivery::Sent);
  }
  return previous;
}

HWND GetFocus() { return platform::windows::state().focus; }

HWND GetActiveWindow() { return platform::windows::state().active; }
