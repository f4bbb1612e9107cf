// Menus: records of items behind HMENU handles, built by CreateMenu / CreatePopupMenu /
// AppendMenu or from the program's menu templates by LoadMenu. A menu owns its pop-ups:
// DestroyMenu frees them with it.
#include "platform/system/menus.h"

#include <unordered_map>

#include "platform/system/handle_allocator.h"
#include "platform/system/resources.h"
#include "platform/system/text_utils.h"

namespace platform::menus {
namespace {

std::unordered_map<uintptr_t, MenuRecord>& table() {
  static std::unordered_map<uintptr_t, MenuRecord> menus;  // handle value -> menu
  return menus;
}

MenuRecord* find(HMENU menu) {
  const auto it = table().find(handles::handleValue(menu));
  return it == table().end() ? nullptr : &it->second;
}

HMENU create(bool popup) {
  const HMENU menu = handles::allocateHandle<HMENU>();
  table()[handles::handleValue(menu)].popup = popup;
  return menu;
}

// The item that `item` names: a position with MF_BYPOSITION, else a command searched through
// the pop-ups too. Returns nullptr when there is none.
MenuItem* locate(HMENU menu, UINT item, UINT flags, int depth = 0) {
  MenuRecord* record = find(menu);
  if (record == nullptr || depth > 16) return nullptr;
  if ((flags & MF_BYPOSITION) != 0) return item < record->items.size() ? &record->items[item] : nullptr;
  for (auto& entry : record->items) {
    if ((entry.flags & MF_POPUP) != 0) {
      if (MenuItem* inner = locate(entry.submenu, item, flags, depth + 1)) return inner;
    } else if ((entry.flags & MF_SEPARATOR) == 0 && entry.id == item) {
      return &entry;
    }
  }
  return nullptr;
}

void fill(HMENU menu, const MenuItemTemplate* items, size_t count, int depth) {
  for (size_t i = 0; i < count && items != nullptr; ++i) {
    const MenuItemTemplate& item = items[i];
    if ((item.flags & MF_POPUP) != 0 && depth < 16) {
      const HMENU popup = create(true);
      fill(popup, item.subItems, item.subItemCount, depth + 1);
      AppendMenu(menu, item.flags, reinterpret_cast<UINT_PTR>(popup), item.text);
    } else if ((item.flags & MF_SEPARATOR) != 0 || item.text == nullptr) {
      AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenu(menu, item.flags, item.id, item.text);
    }
  }
}

}  // namespace

const MenuRecord* findMenu(HMENU menu) { return find(menu); }

bool isEnabledCommand(HMENU menu, UINT id) {
  const MenuItem* item = locate(menu, id, MF_BYCOMMAND);
  return item != nullptr && (item->flags & (MF_GRAYED | MF_DISABLED)) == 0;
}

void destroyAllMenus() { table().clear(); }

size_t liveMenuCount() { return table().size(); }

}  // namespace platform::menus

using platform::menus::find;

HMENU CreateMenu() { return platform::menus::create(false); }

HMENU CreatePopupMenu() { return platform::menus::create(true); }

BOOL DestroyMenu(HMENU menu) {
  platform::menus::MenuRecord* record = find(menu);
  if (record == nullptr) return FALSE;
  const auto items = record->items;
  platform::menus::table().erase(platform::handles::handleValue(menu));
  for (const auto& item : items) {
    if ((item.flags & MF_POPUP) != 0) DestroyMenu(item.submenu);
  }
  return TRUE;
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrSubmenu, LPCWSTR text) {
  platform::menus::MenuRecord* record = find(menu);
  if (record == nullptr) return FALSE;
  platform::menus::MenuItem item;
  item.flags = flags;
  if ((flags & MF_POPUP) != 0) {
    item.submenu = reinterpret_cast<HMENU>(idOrSubmenu);
    if (find(item.submenu) == nullptr || item.submenu == menu) return FALSE;
  } else if ((flags & MF_SEPARATOR) == 0) {
    item.id = static_cast<UINT>(idOrSubmenu);
  }
  if ((flags & MF_SEPARATOR) == 0) item.text = platform::text::fromPointer(text);
  record->items.push_back(std::move(item));
  return TRUE;
}

HMENU LoadMenu(HINSTANCE instance, LPCWSTR name) {
  if (name == nullptr || !IS_INTRESOURCE(name)) return nullptr;
  const platform::MenuTemplate* found =
      platform::FindMenuTemplate(instance, static_cast<WORD>(reinterpret_cast<uintptr_t>(name)));
  if (found == nullptr) return nullptr;
  const HMENU menu = CreateMenu();
  platform::menus::fill(menu, found->items, found->itemCount, 0);
  return menu;
}

HMENU GetSubMenu(HMENU menu, int position) {
  const platform::menus::MenuRecord* record = find(menu);
  if (record == nullptr || position < 0 || static_cast<size_t>(position) >= record->items.size()) return nullptr;
  const auto& item = record->items[static_cast<size_t>(position)];
  return (item.flags & MF_POPUP) != 0 ? item.submenu : nullptr;
}

int GetMenuItemCount(HMENU menu) {
  const platform::menus::MenuRecord* record = find(menu);
  return record == nullptr ? -1 : static_cast<int>(record->items.size());
}

UINT GetMenuItemID(HMENU menu, int position) {
  const platform::menus::MenuRecord* record = find(menu);
  if (record == nullptr || position < 0 || static_cast<size_t>(position) >= record->items.size()) {
    return static_cast<UINT>(-1);
  }
  const auto& item = record->items[static_cast<size_t>(position)];
  return (item.flags & MF_POPUP) != 0 ? static_cast<UINT>(-1) : item.id;
}

int GetMenuString(HMENU menu, UINT item, LPWSTR buffer, int maxCount, UINT flags) {
  const platform::menus::MenuItem* entry = platform::menus::locate(menu, item, flags);
  if (entry == nullptr) {
    if (buffer != nullptr && maxCount > 0) buffer[0] = 0;
    return 0;
  }
  if (buffer == nullptr) return static_cast<int>(entry->text.size());
  return platform::text::copyTruncated(entry->text, buffer, maxCount);
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
  platform::menus::MenuItem* entry = platform::menus::locate(menu, item, enable & MF_BYPOSITION);
  if (entry == nullptr) return -1;
  const UINT previous = entry->flags & (MF_GRAYED | MF_DISABLED);
  entry->flags = (entry->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  return static_cast<BOOL>(previous);
}
