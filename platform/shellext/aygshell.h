// The Pocket PC shell services: the menu bar, full-screen dialogs, tap-and-hold and shortcuts.
#pragma once

#include "platform/system/screen_metrics.h"
#include "platform/system/windows.h"

// Menu bar. The record keeps the handheld's field order; its size field must be 36, the size
// of the record on the handheld (the layer checks that constant, not this host's sizeof).
inline constexpr DWORD kShMenuBarInfoSize = 36;
struct SHMENUBARINFO {
  DWORD cbSize;        // 36
  HWND hwndParent;     // the window whose commands the menu bar sends
  DWORD dwFlags;       // SHCMBF_* flags (0 here)
  UINT nToolBarId;     // the menu-bar description resource
  HINSTANCE hInstRes;  // the instance holding the resources
  int nBmpId;          // bitmap resource for buttons (0 = none)
  int cBmpImages;      // number of bitmap images
  HWND hwndMB;         // out: the menu bar window
  COLORREF clrBk;      // background colour (0 = default)
};
// Creates the menu bar along the bottom of the screen. Its buttons drop down the pop-up menus
// of the description; a chosen item reaches hwndParent as WM_COMMAND with the item's id.
BOOL SHCreateMenuBar(SHMENUBARINFO* info);
inline constexpr int kMenuBarHeight = 26;  // pixels at the bottom of the screen
using platform::kTopBarHeight;              // the shell's title bar at the top of the screen

// Full-screen dialogs
inline constexpr DWORD SHIDIM_FLAGS = 0x0001;
inline constexpr DWORD SHIDIF_DONEBUTTON = 0x0001;
inline constexpr DWORD SHIDIF_SIZEDLG = 0x0002;
inline constexpr DWORD SHIDIF_SIPDOWN = 0x0008;
inline constexpr DWORD SHIDIF_FULLSCREENNOMENUBAR = 0x0010;
inline constexpr DWORD SHIDIF_SIZEDLGFULLSCREEN = 0x0004;
struct SHINITDLGINFO {
  DWORD dwMask;   // SHIDIM_FLAGS: dwFlags is valid
  HWND hDlg;      // the dialog to prepare
  DWORD dwFlags;  // SHIDIF_* flags
};
// Flags 13: a Done button in the title bar (sends IDOK), sized to fill the screen, input panel
// lowered.
BOOL SHInitDialog(SHINITDLGINFO* info);

// Tap-and-hold
inline constexpr DWORD kShrgInfoSize = 20;
inline constexpr DWORD SHRG_RETURNCMD = 0x00000001;
inline constexpr DWORD SHRG_NOTIFYPARENT = 0x00000002;
inline constexpr DWORD GN_CONTEXTMENU = 1000;
struct SHRGINFO {
  DWORD cbSize;     // 20, the record's size on the handheld
  HWND hwndClient;  // the window tapped
  POINT ptDown;     // the tap point in that window's coordinates
  DWORD dwFlags;    // SHRG_RETURNCMD: return the result instead of notifying
};
// Waits while the pointer stays pressed near the tap point. Returns GN_CONTEXTMENU (1000) when
// it was held for about half a second (or the press was a right-button press), else 0.
DWORD SHRecognizeGesture(SHRGINFO* info);

// Shortcuts (".lnk" files): the target path, at most maxCount units with the terminator.
BOOL SHGetShortcutTarget(LPCWSTR shortcutPath, LPWSTR target, int maxCount);
