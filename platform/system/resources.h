// The program's resource section: typed constant data (dialog templates, menus, the menu-bar
// description, strings, icons) that the program registers with the layer at start-up, and
// that LoadIcon, LoadString, LoadMenu, DialogBoxParam and SHCreateMenuBar look up by number.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/system/windows.h"

namespace platform {

// One control of a dialog template. Coordinates are in dialog units.
struct DialogItem {
  const WCHAR* className;  // "BUTTON", "STATIC", "COMBOBOX", "LISTBOX", "SysListView32", ...
  const WCHAR* text;       // caption or initial text; may be u""
  int id;                  // control id (IDC_STATIC = -1 for labels)
  DWORD style;             // WS_* | class styles; WS_CHILD | WS_VISIBLE are implied
  DWORD exStyle;           // WS_EX_* styles
  short x, y, cx, cy;      // position and size in dialog units
};

struct DialogTemplate {
  WORD id;                 // resource number
  const WCHAR* title;      // dialog title
  DWORD style;             // WS_* / DS_* style of the dialog window
  short x, y, cx, cy;      // position and size in dialog units
  const WCHAR* fontFace;   // dialog font face (nullptr = the desktop's default)
  WORD pointSize;          // dialog font size in points
  const DialogItem* items; // the controls, in tab order; not owned
  size_t itemCount;        // number of controls
};

// A menu item; a pop-up item carries its sub-items.
struct MenuItemTemplate {
  const WCHAR* text;                  // item text; nullptr for a separator
  UINT id;                            // command id (0 for separators and pop-ups)
  UINT flags;                         // MF_SEPARATOR, MF_POPUP, MF_GRAYED ...
  const MenuItemTemplate* subItems;   // for MF_POPUP: the pop-up's items; not owned
  size_t subItemCount;                // number of sub-items
};
struct MenuTemplate {
  WORD id;                         // resource number
  const MenuItemTemplate* items;   // top-level items (pop-ups); not owned
  size_t itemCount;                // number of items
};

// One button of a menu-bar description.
struct MenuBarButton {
  UINT stringId;   // string resource holding the caption
  UINT command;    // command id of the button itself
  int popupIndex;  // index of the pop-up of the menu it drops down, or -1 for none
  bool enabled;    // whether the button starts enabled
};
struct MenuBarTemplate {
  WORD id;                      // resource number of the description
  WORD menuId;                  // the menu whose pop-ups the buttons drop down
  const MenuBarButton* buttons; // the buttons, left to right; not owned
  size_t buttonCount;           // number of buttons
};

struct StringResource {
  UINT id;            // string number
  const WCHAR* text;  // the text
};

// An icon as 32-bit ARGB pixels, row by row.
struct IconResource {
  WORD id;                 // resource number
  int width, height;       // size in pixels
  const uint32_t* pixels;  // width × height ARGB values; not owned
};

struct ResourceSection {
  const DialogTemplate* dialogs;     size_t dialogCount;     // dialog templates
  const MenuTemplate* menus;         size_t menuCount;       // menus
  const MenuBarTemplate* menuBars;   size_t menuBarCount;    // menu-bar descriptions
  const StringResource* strings;     size_t stringCount;     // string table
  const IconResource* icons;         size_t iconCount;       // icons
};

// Makes `section` the resources of `instance`. The section must outlive the program.
void RegisterResourceSection(HINSTANCE instance, const ResourceSection* section);
const ResourceSection* FindResourceSection(HINSTANCE instance);
const DialogTemplate* FindDialogTemplate(HINSTANCE instance, WORD id);
const MenuTemplate* FindMenuTemplate(HINSTANCE instance, WORD id);
const MenuBarTemplate* FindMenuBarTemplate(HINSTANCE instance, WORD id);
const IconResource* FindIconResource(HINSTANCE instance, WORD id);

// The instance handle of the running program (the one program the desktop runs).
HINSTANCE programInstance();

}  // namespace platform
