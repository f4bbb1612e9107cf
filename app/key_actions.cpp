#include "app/key_actions.h"

#include "app/commands.h"
#include "app/reading_keys.h"
#include "app/text_view_proc.h"
#include "app/viewer_state.h"
#include "platform/system/key_state.h"
#include "resources/resource_ids.h"

namespace {

// In KeySlot order: UP, DOWN, LEFT, RIGHT, CENTER, application keys 1 to 4.
constexpr WORD kSlotKeys[kKeySlotCount] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_RETURN,
                                           VK_APP1, VK_APP2, VK_APP3, VK_APP4};

void scrollTextView(const ViewerState& state, WORD code, int times) {
  for (int i = 0; i < times; ++i) SendMessage(state.textView, WM_VSCROLL, code, 0);
}

}  // namespace

int keySlotForKey(WORD virtualKey) {
  for (int slot = 0; slot < kKeySlotCount; ++slot) {
    if (kSlotKeys[slot] == virtualKey) return slot;
  }
  return -1;
}

WORD keyForSlot(int slot) { return (slot >= 0 && slot < kKeySlotCount) ? kSlotKeys[slot] : 0; }

void dispatchKey(ViewerState& state, WORD virtualKey) {
  if (runReadingKey(state, virtualKey)) return;  // the desktop's reading keys (reading_keys.h)
  const int slot = keySlotForKey(virtualKey);
  if (slot < 0) return;
  runKeyAction(state, state.keyActions[slot]);
}

void runKeyAction(ViewerState& state, int32_t action) {
  switch (action) {
    case kActionFileOpen:
      PostMessage(state.mainWindow, WM_COMMAND, res::kCommandOpen, 0);
      break;
    case kActionMinimize:
      ShowWindow(state.mainWindow, SW_MINIMIZE);
      break;
    case kActionExit:
      // The destroy notification, sent directly: its handler posts the quit request. The
      // window itself is not destroyed first.
      SendMessage(state.mainWindow, WM_DESTROY, 0, 0);
      break;
    case kActionViewOption:
      runViewCommand(state);
      break;
    case kActionKeyOption:
      runKeyBindCommand(state);
      break;
    case kActionPageUp:
      scrollTextView(state, SB_PAGEUP, 1);
      break;
    case kActionPageDown:
      scrollTextView(state, SB_PAGEDOWN, 1);
      break;
    case kActionLineUp:
      scrollTextView(state, SB_LINEUP, 1);
      break;
    case kActionLineDown:
      scrollTextView(state, SB_LINEDOWN, 1);
      break;
    case kActionThreeLinesUp:
      scrollTextView(state, SB_LINEUP, 3);
      break;
    case kActionThreeLinesDown:
      scrollTextView(state, SB_LINEDOWN, 3);
      break;
    default:  // "None" and numbers outside the catalogue
      break;
  }
}

bool runDesktopKey(ViewerState& state, UINT message, WORD virtualKey) {
  const bool control = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool alt = GetKeyState(VK_MENU) < 0;
  const auto dropMenu = [&state](int button) { PostMessage(state.menuBar, WM_COMMAND, button, 0); };
  if (message == WM_SYSKEYDOWN) {
    if (virtualKey == VK_F10 && shift) {
      offerCopyMenuAtPointer(state.textView);
    } else if (virtualKey == VK_F10 || (alt && virtualKey == 'F')) {
      dropMenu(res::kMenuBarFileButton);
    } else if (alt && virtualKey == 'T') {
      dropMenu(res::kMenuBarToolButton);
    } else {
      return false;
    }
    return true;
  }
  if (alt) return false;
  switch (virtualKey) {
    case VK_PRIOR: scrollTextView(state, SB_PAGEUP, 1); return true;
    case VK_NEXT: scrollTextView(state, SB_PAGEDOWN, 1); return true;
    case VK_HOME: scrollTextView(state, SB_TOP, 1); return true;
    case VK_END: scrollTextView(state, SB_BOTTOM, 1); return true;
    case VK_APPS: offerCopyMenuAtPointer(state.textView); return true;
    default: break;
  }
  if (!control) return false;
  switch (virtualKey) {
    case 'A': SendMessage(state.textView, EM_SETSEL, 0, static_cast<LPARAM>(-1)); return true;
    case 'C': SendMessage(state.textView, WM_COPY, 0, 0); return true;
    case 'O':  // Ctrl+Shift+O is a reading key (the recent documents)
      if (shift) return false;
      PostMessage(state.mainWindow, WM_COMMAND, res::kCommandOpen, 0);
      return true;
    default: return false;
  }
}

void setAppKeysCaptured(ViewerState& state, HWND window, bool captured) {
  if (captured && !state.hotKeysRegistered) {
    for (int i = 0; i < kAppKeyCount; ++i) {
      RegisterHotKey(window, kHotKeyFirstId + i, MOD_WIN, kSlotKeys[kSlotApp1 + i]);
    }
    state.hotKeysRegistered = true;
  } else if (!captured && state.hotKeysRegistered) {
    unregisterAppKeys(state);
    state.hotKeysRegistered = false;
  }
}

void unregisterAppKeys(ViewerState& state) {
  for (int i = 0; i < kAppKeyCount; ++i) UnregisterHotKey(state.mainWindow, kHotKeyFirstId + i);
}
