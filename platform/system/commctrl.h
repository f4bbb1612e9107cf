// The common controls that the viewer uses: the list view ("SysListView32") in report mode.
#pragma once

#include "platform/system/windows.h"

// List-view styles
inline constexpr DWORD LVS_ICON = 0x0000;
inline constexpr DWORD LVS_REPORT = 0x0001;
inline constexpr DWORD LVS_SMALLICON = 0x0002;
inline constexpr DWORD LVS_LIST = 0x0003;
inline constexpr DWORD LVS_SINGLESEL = 0x0004;
inline constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;
inline constexpr DWORD LVS_SORTASCENDING = 0x0010;
inline constexpr DWORD LVS_SORTDESCENDING = 0x0020;
inline constexpr DWORD LVS_NOCOLUMNHEADER = 0x4000;

inline constexpr UINT LVM_FIRST = 0x1000;
inline constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4;
inline constexpr UINT LVM_GETITEM = LVM_FIRST + 5;
inline constexpr UINT LVM_SETITEM = LVM_FIRST + 6;
inline constexpr UINT LVM_INSERTITEM = LVM_FIRST + 7;
inline constexpr UINT LVM_DELETEITEM = LVM_FIRST + 8;
inline constexpr UINT LVM_DELETEALLITEMS = LVM_FIRST + 9;
inline constexpr UINT LVM_GETNEXTITEM = LVM_FIRST + 12;
inline constexpr UINT LVM_FINDITEM = LVM_FIRST + 13;
inline constexpr UINT LVM_ENSUREVISIBLE = LVM_FIRST + 19;
inline constexpr UINT LVM_GETCOLUMN = LVM_FIRST + 25;
inline constexpr UINT LVM_SETCOLUMN = LVM_FIRST + 26;
inline constexpr UINT LVM_INSERTCOLUMN = LVM_FIRST + 27;
inline constexpr UINT LVM_DELETECOLUMN = LVM_FIRST + 28;
inline constexpr UINT LVM_GETCOLUMNWIDTH = LVM_FIRST + 29;
inline constexpr UINT LVM_SETCOLUMNWIDTH = LVM_FIRST + 30;
inline constexpr UINT LVM_SETITEMSTATE = LVM_FIRST + 43;
inline constexpr UINT LVM_GETITEMSTATE = LVM_FIRST + 44;
inline constexpr UINT LVM_GETITEMTEXT = LVM_FIRST + 45;
inline constexpr UINT LVM_SETITEMTEXT = LVM_FIRST + 46;
inline constexpr UINT LVM_GETSELECTEDCOUNT = LVM_FIRST + 50;
inline constexpr UINT LVM_SETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 54;
inline constexpr UINT LVM_GETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 55;
inline constexpr DWORD LVS_EX_FULLROWSELECT = 0x00000020;
// LVM_SETCOLUMNWIDTH's special widths: fit the texts, or the texts and the header.
inline constexpr int LVSCW_AUTOSIZE = -1;
inline constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;

inline constexpr UINT LVIF_TEXT = 0x0001;
inline constexpr UINT LVIF_IMAGE = 0x0002;
inline constexpr UINT LVIF_PARAM = 0x0004;
inline constexpr UINT LVIF_STATE = 0x0008;
inline constexpr UINT LVIS_FOCUSED = 0x0001;
inline constexpr UINT LVIS_SELECTED = 0x0002;
inline constexpr int LVNI_ALL = 0x0000;
inline constexpr int LVNI_FOCUSED = 0x0001;
inline constexpr int LVNI_SELECTED = 0x0002;

struct LVITEM {
  UINT mask;         // LVIF_* fields that are valid
  int iItem;         // item index (row)
  int iSubItem;      // column; 0 = the item's own text
  UINT state;        // LVIS_* state bits
  UINT stateMask;    // which state bits are valid
  LPWSTR pszText;    // text, borrowed (in) or the caller's buffer (out)
  int cchTextMax;    // size of pszText in units when reading
  int iImage;        // image index (unused here)
  LPARAM lParam;     // the item's application value
  int iIndent;       // indentation (unused here)
};

inline constexpr UINT LVCF_FMT = 0x0001;
inline constexpr UINT LVCF_WIDTH = 0x0002;
inline constexpr UINT LVCF_TEXT = 0x0004;
inline constexpr UINT LVCF_SUBITEM = 0x0008;
inline constexpr int LVCFMT_LEFT = 0x0000;
inline constexpr int LVCFMT_RIGHT = 0x0001;
inline constexpr int LVCFMT_CENTER = 0x0002;

struct LVCOLUMN {
  UINT mask;        // LVCF_* fields that are valid
  int fmt;          // LVCFMT_* alignment
  int cx;           // width in pixels
  LPWSTR pszText;   // header text, borrowed
  int cchTextMax;   // size of pszText when reading
  int iSubItem;     // the column's sub-item index
};

// LVM_FINDITEM: what to look for, from the item after the start index.
inline constexpr UINT LVFI_PARAM = 0x0001;      // the item's lParam equals lParam
inline constexpr UINT LVFI_STRING = 0x0002;     // the item's text equals psz (case ignored)
inline constexpr UINT LVFI_SUBSTRING = 0x0004;  // the item's text begins with psz
inline constexpr UINT LVFI_PARTIAL = 0x0008;    // the item's text begins with psz
inline constexpr UINT LVFI_WRAP = 0x0020;       // continue from the first item
struct LVFINDINFO {
  UINT flags;        // LVFI_* of the search
  LPCWSTR psz;       // the text sought, borrowed
  LPARAM lParam;     // the value sought (LVFI_PARAM)
  POINT pt;          // position for a nearest-item search (unused here)
  UINT vkDirection;  // direction key for a nearest-item search (unused here)
};

// Notifications (WM_NOTIFY, lParam = NMHDR*)
struct NMHDR {
  HWND hwndFrom;  // the control
  UINT_PTR idFrom;  // its id
  UINT code;      // notification code
};
inline constexpr UINT LVN_FIRST = static_cast<UINT>(-100);
inline constexpr UINT LVN_ITEMCHANGING = LVN_FIRST - 0;  // about to change; non-zero refuses
inline constexpr UINT LVN_ITEMCHANGED = LVN_FIRST - 1;
inline constexpr UINT LVN_INSERTITEM = LVN_FIRST - 2;
inline constexpr UINT LVN_DELETEITEM = LVN_FIRST - 3;
inline constexpr UINT LVN_DELETEALLITEMS = LVN_FIRST - 4;  // TRUE: no LVN_DELETEITEM per item
inline constexpr UINT NM_CLICK = static_cast<UINT>(-2);
inline constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);
inline constexpr UINT NM_RETURN = static_cast<UINT>(-4);
inline constexpr UINT NM_SETFOCUS = static_cast<UINT>(-7);
inline constexpr UINT NM_KILLFOCUS = static_cast<UINT>(-8);
struct NMLISTVIEW {
  NMHDR hdr;        // who sent it
  int iItem;        // the item concerned, or -1
  int iSubItem;     // its column
  UINT uNewState;   // state after the change
  UINT uOldState;   // state before
  UINT uChanged;    // LVIF_* that changed
  POINT ptAction;   // where the click was
  LPARAM lParam;    // the item's application value
};

struct INITCOMMONCONTROLSEX {
  DWORD dwSize;  // size of this record
  DWORD dwICC;   // ICC_* classes to register
};
inline constexpr DWORD ICC_LISTVIEW_CLASSES = 0x00000001;
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);
void InitCommonControls();
