// Inside the layer: the menu records behind HMENU handles, for pop-up menus and the menu bar.
#pragma once

#include <string>
#include <vector>

#include "platform/system/windows.h"

namespace platform::menus {

struct MenuItem {
  UINT flags = 0;           // MF_* flags as appended (MF_POPUP, MF_SEPARATOR, MF_GRAYED ...)
  UINT id = 0;              // command id (0 for separators and pop-ups)
  std::u16string text;      // item text (empty for separators)
  HMENU submenu = nullptr;  // for MF_POPUP: the pop-up menu, owned by this menu
};

struct MenuRecord {
  bool popup = false;            // made by CreatePopupMenu (or as a template's pop-up)
  std::vector<MenuItem> items;   // in order
};

// The menu behind a handle, or nullptr.
const MenuRecord* findMenu(HMENU menu);
// Whether `id` is an enabled command item of `menu` or of its pop-ups.
bool isEnabledCommand(HMENU menu, UINT id);
// Shows `menu` at x, y (device pixels on the device screen) for `owner`, after sending the
// owner WM_INITMENUPOPUP, and returns the chosen command (0 when dismissed). A test's pop-up responder answers instead when one is set.
// With `above`, the menu opens upwards from y (the menu bar's pop-ups).
UINT trackMenu(HMENU menu, int x, int y, HWND owner, bool above);
void destroyAllMenus();
size_t liveMenuCount();

}  // namespace platform::menus
