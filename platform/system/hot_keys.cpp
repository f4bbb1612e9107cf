// Hot keys: RegisterHotKey and UnregisterHotKey. While a key is registered, the desktop's key
// routing turns its presses anywhere in the program into WM_HOTKEY for the registering window.
#include "platform/system/hot_keys.h"

#include <algorithm>
#include <vector>

#include "platform/system/window_records.h"

namespace platform::windows {
namespace {

struct HotKey {
  HWND window;      // registering window
  int id;           // its id for that window
  UINT modifiers;   // MOD_* bits as registered
  UINT vk;          // virtual-key code
};

std::vector<HotKey>& hotKeys() {
  static std::vector<HotKey> keys;
  return keys;
}

constexpr UINT kDesktopModifiers = MOD_ALT | MOD_CONTROL | MOD_SHIFT;

}  // namespace

HotKeyMatch findHotKey(WORD vk, UINT pressedModifiers) {
  for (const auto& key : hotKeys()) {
    if (key.vk == vk && (key.modifiers & kDesktopModifiers) == (pressedModifiers & kDesktopModifiers)) {
      return HotKeyMatch{key.window, key.id, key.modifiers};
    }
  }
  return {};
}

void unregisterHotKeysOf(HWND hwnd) {
  std::erase_if(hotKeys(), [hwnd](const HotKey& key) { return key.window == hwnd; });
}

void unregisterAllHotKeys() { hotKeys().clear(); }

size_t registeredHotKeyCount() { return hotKeys().size(); }

}  // namespace platform::windows

BOOL RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT vk) {
  using namespace platform::windows;
  if (hwnd != nullptr && !findWindow(hwnd)) return FALSE;
  if (vk == 0 || vk > 0xFF) return FALSE;
  // One key combination belongs to one registration at a time.
  const bool taken = std::any_of(hotKeys().begin(), hotKeys().end(), [&](const HotKey& key) {
    return key.vk == vk && (key.modifiers & kDesktopModifiers) == (modifiers & kDesktopModifiers);
  });
  if (taken) return FALSE;
  hotKeys().push_back(HotKey{hwnd, id, modifiers, vk});
  return TRUE;
}

BOOL UnregisterHotKey(HWND hwnd, int id) {
  auto& keys = platform::windows::hotKeys();
  const size_t before = keys.size();
  std::erase_if(keys, [&](const auto& key) { return key.window == hwnd && key.id == id; });
  return keys.size() != before ? TRUE : FALSE;
}
