// The handheld system API that the viewer is written against: windows, messages, dialogs,
// controls, menus, fonts, cursors, hot keys, files, the registry and the clipboard, under the
// API's own names. The application includes only this header family; the implementation on the
// desktop lives in platform/ and is the only code that sees Qt.
//
// Text is UTF-16 throughout (WCHAR is char16_t). Handles are opaque pointer-sized values that
// are always even, so "a handle with its lowest bit set" is a distinct value the layer maps back.
#pragma once

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------------------------
// Basic types
// ---------------------------------------------------------------------------------------------
using BYTE = uint8_t;
using WORD = uint16_t;
using SHORT = int16_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using INT = int32_t;
using LONG = int32_t;
using BOOL = int32_t;
using WCHAR = char16_t;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPVOID = void*;
using LPCVOID = const void*;
using UINT_PTR = uintptr_t;
using LONG_PTR = intptr_t;
using ULONG_PTR = uintptr_t;
using DWORD_PTR = uintptr_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using ATOM = uint16_t;
using COLORREF = DWORD;

#define WINAPI
#define CALLBACK
#define APIENTRY

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

#define DECLARE_QUILL_HANDLE(name) \
  struct name##__;                 \
  using name = name##__*
DECLARE_QUILL_HANDLE(HWND);
DECLARE_QUILL_HANDLE(HINSTANCE);
DECLARE_QUILL_HANDLE(HMENU);
DECLARE_QUILL_HANDLE(HICON);
DECLARE_QUILL_HANDLE(HDC);
DECLARE_QUILL_HANDLE(HKEY);
DECLARE_QUILL_HANDLE(HFONT);
DECLARE_QUILL_HANDLE(HBRUSH);
#undef DECLARE_QUILL_HANDLE
using HANDLE = void*;
using HGDIOBJ = void*;
using HCURSOR = HICON;
using HMODULE = HINSTANCE;
using HGLOBAL = HANDLE;

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

inline constexpr WORD LOWORD(uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
inline constexpr WORD HIWORD(uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
inline constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) {
  return static_cast<LPARAM>(static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16));
}
inline constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) {
  return static_cast<WPARAM>(static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16));
}
inline constexpr DWORD MAKELONG(WORD lo, WORD hi) {
  return static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16);
}
// A resource named by number rather than by text.
inline LPCWSTR MAKEINTRESOURCE(WORD id) { return reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(id)); }
inline bool IS_INTRESOURCE(LPCWSTR name) { return (reinterpret_cast<uintptr_t>(name) >> 16) == 0; }

struct POINT {
  LONG x;  // horizontal position in pixels
  LONG y;  // vertical position in pixels
};
struct RECT {
  LONG left;    // left edge, inclusive
  LONG top;     // top edge, inclusive
  LONG right;   // right edge, exclusive
  LONG bottom;  // bottom edge, exclusive
};

// ---------------------------------------------------------------------------------------------
// Windows, classes and messages
// ---------------------------------------------------------------------------------------------
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using DLGPROC = BOOL (*)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASS {
  UINT style;               // CS_* flags
  WNDPROC lpfnWndProc;      // the class procedure
  int cbClsExtra;           // extra class bytes (kept for the API's shape; must be 0)
  int cbWndExtra;           // extra bytes per window, reachable with Get/SetWindowLong(Ptr)(hwnd, offset >= 0)
  HINSTANCE hInstance;      // the owning program instance
  HICON hIcon;              // class icon, borrowed
  HCURSOR hCursor;          // class cursor, borrowed (may be none)
  HBRUSH hbrBackground;     // background brush, borrowed (stock objects only)
  LPCWSTR lpszMenuName;     // must be none: menus come from the shell's menu bar
  LPCWSTR lpszClassName;    // class name, copied by RegisterClass
};

struct CREATESTRUCT {
  LPVOID lpCreateParams;  // the creation parameter given to CreateWindowEx, borrowed
  HINSTANCE hInstance;    // the instance given to CreateWindowEx
  HMENU hMenu;            // the menu or child id given to CreateWindowEx
  HWND hwndParent;        // the parent window
  int cy;                 // height
  int cx;                 // width
  int y;                  // top
  int x;                  // left
  LONG style;             // WS_* style
  LPCWSTR lpszName;       // window text, borrowed for the call
  LPCWSTR lpszClass;      // class name, borrowed for the call
  DWORD dwExStyle;        // WS_EX_* style
};

struct MSG {
  HWND hwnd;      // the window the message is for (none for a thread message such as WM_QUIT)
  UINT message;   // message number
  WPARAM wParam;  // first parameter
  LPARAM lParam;  // second parameter
  DWORD time;     // milliseconds since start when it was queued
  POINT pt;       // pointer position when it was queued
};

// Class styles
inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;
inline constexpr UINT CS_DBLCLKS = 0x0008;

// Window styles
inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_HSCROLL = 0x00100000;
inline constexpr DWORD WS_VSCROLL = 0x00200000;
inline constexpr DWORD WS_DLGFRAME = 0x00400000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// Get/SetWindowLong(Ptr) indexes
inline constexpr int GWL_WNDPROC = -4;
inline constexpr int GWL_HINSTANCE = -6;
inline constexpr int GWL_ID = -12;
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;
inline constexpr int GWL_USERDATA = -21;
inline constexpr int GWLP_WNDPROC = GWL_WNDPROC;
inline constexpr int GWLP_HINSTANCE = GWL_HINSTANCE;
inline constexpr int GWLP_ID = GWL_ID;
inline constexpr int GWLP_USERDATA = GWL_USERDATA;
// Dialog window slots (pointer-sized on this host)
inline constexpr int DWLP_MSGRESULT = 0;
inline constexpr int DWLP_DLGPROC = DWLP_MSGRESULT + static_cast<int>(sizeof(LRESULT));
inline constexpr int DWLP_USER = DWLP_DLGPROC + static_cast<int>(sizeof(DLGPROC));
inline constexpr int DWL_MSGRESULT = DWLP_MSGRESULT;
inline constexpr int DWL_USER = DWLP_USER;

// Show commands
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_RESTORE = 9;

// Window messages
inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_ENABLE = 0x000A;
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_GETTEXT = 0x000D;
inline constexpr UINT WM_GETTEXTLENGTH = 0x000E;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_SETCURSOR = 0x0020;
inline constexpr UINT WM_SETFONT = 0x0030;
inline constexpr UINT WM_GETFONT = 0x0031;
// From a list box with LBS_WANTKEYBOARDINPUT to its parent, before it acts on a key: wParam is
// MAKEWPARAM(virtual key, caret index), lParam the list box. The answer -2 means the parent
// used the key up; -1 (or anything else) lets the list box act on it as usual.
inline constexpr UINT WM_VKEYTOITEM = 0x002E;
// Hands a block of bytes to a window, also a window of another running viewer of the same
// device: lParam points to a COPYDATASTRUCT, wParam is the sending window (or nothing). The
// receiver reads the bytes during the call and must not keep the pointer; returns TRUE when it
// took them. Blocks larger than kMaxCopyDataBytes are not passed to another process.
inline constexpr UINT WM_COPYDATA = 0x004A;
struct COPYDATASTRUCT {
  ULONG_PTR dwData;  // what the block is, as the two programs agree
  DWORD cbData;      // its size in bytes
  LPVOID lpData;     // the bytes, borrowed for the call
};
inline constexpr DWORD kMaxCopyDataBytes = 2900;
inline constexpr UINT WM_NOTIFY = 0x004E;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
// A key pressed with Alt held, or F10: the keys that work the menus.
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_SYSKEYUP = 0x0105;
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT WM_COMMAND = 0x0111;
// Sent to a pop-up menu's owner just before the menu shows (wParam: the menu), so that the
// owner can enable, grey or check its items.
inline constexpr UINT WM_INITMENUPOPUP = 0x0117;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_HSCROLL = 0x0114;
inline constexpr UINT WM_VSCROLL = 0x0115;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_MOUSEWHEEL = 0x020A;
inline constexpr UINT WM_CUT = 0x0300;
inline constexpr UINT WM_COPY = 0x0301;
inline constexpr UINT WM_PASTE = 0x0302;
inline constexpr UINT WM_CLEAR = 0x0303;
inline constexpr UINT WM_HOTKEY = 0x0312;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT WM_APP = 0x8000;
// WM_ACTIVATE states (low word of wParam)
inline constexpr WORD WA_INACTIVE = 0;
inline constexpr WORD WA_ACTIVE = 1;
inline constexpr WORD WA_CLICKACTIVE = 2;
// WM_SIZE kinds (wParam)
inline constexpr WPARAM SIZE_RESTORED = 0;
inline constexpr WPARAM SIZE_MINIMIZED = 1;
// Pointer-button state in the wParam of mouse messages. The desktop's right button reaches the
// program as the handheld's stylus (WM_LBUTTONDOWN/UP) with MK_RBUTTON set instead of MK_LBUTTON,
// so that the tap-and-hold recognition can answer it at once.
inline constexpr WPARAM MK_LBUTTON = 0x0001;
inline constexpr WPARAM MK_RBUTTON = 0x0002;
inline constexpr WPARAM MK_SHIFT = 0x0004;
inline constexpr WPARAM MK_CONTROL = 0x0008;
inline constexpr int WHEEL_DELTA = 120;  // one wheel notch (high word of WM_MOUSEWHEEL's wParam)
// A top-level window that never becomes the active window (the shell's menu bar).
inline constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;

// Scroll codes (WM_VSCROLL / WM_HSCROLL low word)
inline constexpr WORD SB_LINEUP = 0;
inline constexpr WORD SB_LINEDOWN = 1;
inline constexpr WORD SB_PAGEUP = 2;
inline constexpr WORD SB_PAGEDOWN = 3;
inline constexpr WORD SB_THUMBPOSITION = 4;
inline constexpr WORD SB_THUMBTRACK = 5;
inline constexpr WORD SB_TOP = 6;
inline constexpr WORD SB_BOTTOM = 7;
inline constexpr WORD SB_ENDSCROLL = 8;

// Virtual keys
inline constexpr WORD VK_BACK = 0x08;
inline constexpr WORD VK_TAB = 0x09;
inline constexpr WORD VK_RETURN = 0x0D;
inline constexpr WORD VK_ESCAPE = 0x1B;
inline constexpr WORD VK_SPACE = 0x20;
inline constexpr WORD VK_PRIOR = 0x21;
inline constexpr WORD VK_NEXT = 0x22;
inline constexpr WORD VK_END = 0x23;
inline constexpr WORD VK_HOME = 0x24;
inline constexpr WORD VK_LEFT = 0x25;
inline constexpr WORD VK_UP = 0x26;
inline constexpr WORD VK_RIGHT = 0x27;
inline constexpr WORD VK_DOWN = 0x28;
inline constexpr WORD VK_DELETE = 0x2E;
inline constexpr WORD VK_APPS = 0x5D;  // the Menu (context menu) key
inline constexpr WORD VK_F1 = 0x70;
inline constexpr WORD VK_F10 = 0x79;
inline constexpr WORD VK_APP1 = 0xC1;  // the handheld's four application keys
inline constexpr WORD VK_APP2 = 0xC2;
inline constexpr WORD VK_APP3 = 0xC3;
inline constexpr WORD VK_APP4 = 0xC4;
inline constexpr UINT MOD_ALT = 0x0001;
inline constexpr UINT MOD_CONTROL = 0x0002;
inline constexpr UINT MOD_SHIFT = 0x0004;
inline constexpr UINT MOD_WIN = 0x0008;

// Dialog and message-box results and ids
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDC_STATIC = -1;

// Message-box styles
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;

// Stock objects and cursors
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int SYSTEM_FONT = 13;
inline LPCWSTR const IDC_ARROW = reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(32512));
inline LPCWSTR const IDC_WAIT = reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(32514));

// System metrics
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;

// ---------------------------------------------------------------------------------------------
// Window functions
// ---------------------------------------------------------------------------------------------
ATOM RegisterClass(const WNDCLASS* wc);
BOOL UnregisterClass(LPCWSTR className, HINSTANCE instance);
BOOL GetClassInfo(HINSTANCE instance, LPCWSTR className, WNDCLASS* out);
// Creates a window; the class procedure receives WM_CREATE (with a CREATESTRUCT) before this
// returns. A WM_CREATE result of -1 destroys the window and gives nullptr.
HWND CreateWindowEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param);
inline HWND CreateWindow(LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                         int height, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param) {
  return CreateWindowEx(0, className, windowName, style, x, y, width, height, parent, menuOrId, instance, param);
}
// Sends WM_DESTROY to the window and then to its children, and frees them.
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
// Finds a top-level window whose class and title both match (either may be nullptr for "any"),
// in this process or in another viewer running on the same device.
HWND FindWindow(LPCWSTR className, LPCWSTR windowName);
// Brings a window forward. The handle may carry its lowest bit set (the handheld's way of
// asking to restore it too); the layer maps it back to the window.
BOOL SetForegroundWindow(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int showCommand);
BOOL UpdateWindow(HWND hwnd);
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL IsWindowVisible(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL GetWindowRect(HWND hwnd, RECT* rect);  // in screen coordinates
BOOL GetClientRect(HWND hwnd, RECT* rect);  // left = top = 0
BOOL ClientToScreen(HWND hwnd, POINT* point);
BOOL ScreenToClient(HWND hwnd, POINT* point);
HWND GetParent(HWND hwnd);
HWND GetWindow(HWND hwnd, UINT relation);  // GW_CHILD / GW_HWNDNEXT
inline constexpr UINT GW_HWNDNEXT = 2;
inline constexpr UINT GW_CHILD = 5;
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND hwnd);
BOOL SetWindowText(HWND hwnd, LPCWSTR text);
int GetWindowText(HWND hwnd, LPWSTR buffer, int maxCount);
int GetWindowTextLength(HWND hwnd);
int GetClassName(HWND hwnd, LPWSTR buffer, int maxCount);
LONG GetWindowLong(HWND hwnd, int index);
LONG SetWindowLong(HWND hwnd, int index, LONG value);
LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
HWND SetFocus(HWND hwnd);  // sends WM_KILLFOCUS to the old and WM_SETFOCUS to the new window
// Where the pointer is, in device pixels of the screen.
BOOL GetCursorPos(POINT* point);
HWND GetFocus();
HWND GetActiveWindow();
HWND GetDesktopWindow();
int GetSystemMetrics(int index);

// ---------------------------------------------------------------------------------------------
// Messages and the message loop
// ---------------------------------------------------------------------------------------------
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Waits for the next message (running the desktop's event processing meanwhile); returns 0
// when it is WM_QUIT, whose wParam is the exit code.
BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
inline constexpr UINT PM_NOREMOVE = 0;
inline constexpr UINT PM_REMOVE = 1;
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Handles the dialog keys of a message meant for `dialog` or one of its controls: Enter sends
// WM_COMMAND with the default push button's id (IDOK without one), Escape WM_COMMAND IDCANCEL.
// Returns TRUE when the message was used up this way. The modal loop of DialogBoxParam calls it.
BOOL IsDialogMessage(HWND dialog, const MSG* msg);
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
DWORD GetTickCount();
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void* timerProc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// ---------------------------------------------------------------------------------------------
// Dialogs
// ---------------------------------------------------------------------------------------------
// Runs the dialog template `templateName` of `instance` modally: creates the dialog and its
// controls, sends WM_INITDIALOG with `initParam`, and runs a nested message loop until
// EndDialog. Returns EndDialog's result, or -1 when the dialog could not be created.
using INT_PTR = intptr_t;
INT_PTR DialogBoxParam(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC dialogProc, LPARAM initParam);
// Ends a modal dialog: DialogBoxParam returns `result` once the current message is handled.
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL SetDlgItemText(HWND dialog, int id, LPCWSTR text);
UINT GetDlgItemText(HWND dialog, int id, LPWSTR buffer, int maxCount);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
// Shows a modal message box and returns the id of the button chosen (IDOK, ...).
int MessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// ---------------------------------------------------------------------------------------------
// Standard controls: class names, styles, messages and notifications
// ---------------------------------------------------------------------------------------------
inline constexpr const WCHAR* WC_BUTTON = u"BUTTON";
inline constexpr const WCHAR* WC_STATIC = u"STATIC";
inline constexpr const WCHAR* WC_COMBOBOX = u"COMBOBOX";
inline constexpr const WCHAR* WC_LISTBOX = u"LISTBOX";
inline constexpr const WCHAR* WC_LISTVIEW = u"SysListView32";
inline constexpr const WCHAR* WC_DIALOG = u"#32770";

// Buttons
inline constexpr DWORD BS_PUSHBUTTON = 0x0000;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
inline constexpr DWORD BS_CHECKBOX = 0x0002;
inline constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
inline constexpr DWORD BS_RADIOBUTTON = 0x0004;
inline constexpr DWORD BS_GROUPBOX = 0x0007;
inline constexpr DWORD BS_AUTORADIOBUTTON = 0x0009;
inline constexpr DWORD BS_TYPEMASK = 0x000F;
inline constexpr UINT BM_GETCHECK = 0x00F0;
inline constexpr UINT BM_SETCHECK = 0x00F1;
inline constexpr UINT BM_GETSTATE = 0x00F2;
inline constexpr UINT BM_SETSTATE = 0x00F3;
inline constexpr UINT BM_SETSTYLE = 0x00F4;
inline constexpr UINT BM_CLICK = 0x00F5;
inline constexpr UINT BST_UNCHECKED = 0;
inline constexpr UINT BST_CHECKED = 1;
inline constexpr UINT BST_INDETERMINATE = 2;
inline constexpr WORD BN_CLICKED = 0;

// Static text
inline constexpr DWORD SS_LEFT = 0x0000;
inline constexpr DWORD SS_CENTER = 0x0001;
inline constexpr DWORD SS_RIGHT = 0x0002;
inline constexpr DWORD SS_ICON = 0x0003;
inline constexpr DWORD SS_LEFTNOWORDWRAP = 0x000C;
inline constexpr DWORD SS_NOPREFIX = 0x0080;
inline constexpr DWORD SS_NOTIFY = 0x0100;
inline constexpr UINT STM_SETICON = 0x0170;
inline constexpr UINT STM_SETIMAGE = 0x0172;

// Combo boxes
inline constexpr DWORD CBS_SIMPLE = 0x0001;
inline constexpr DWORD CBS_DROPDOWN = 0x0002;
inline constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
inline constexpr DWORD CBS_AUTOHSCROLL = 0x0040;
inline constexpr DWORD CBS_SORT = 0x0100;
inline constexpr DWORD CBS_HASSTRINGS = 0x0200;
inline constexpr UINT CB_GETEDITSEL = 0x0140;
inline constexpr UINT CB_ADDSTRING = 0x0143;
inline constexpr UINT CB_DELETESTRING = 0x0144;
inline constexpr UINT CB_GETCOUNT = 0x0146;
inline constexpr UINT CB_GETCURSEL = 0x0147;
inline constexpr UINT CB_GETLBTEXT = 0x0148;
inline constexpr UINT CB_GETLBTEXTLEN = 0x0149;
inline constexpr UINT CB_INSERTSTRING = 0x014A;
inline constexpr UINT CB_RESETCONTENT = 0x014B;
inline constexpr UINT CB_FINDSTRING = 0x014C;
inline constexpr UINT CB_SELECTSTRING = 0x014D;
inline constexpr UINT CB_SETCURSEL = 0x014E;
inline constexpr UINT CB_SHOWDROPDOWN = 0x014F;
inline constexpr UINT CB_GETITEMDATA = 0x0150;
inline constexpr UINT CB_SETITEMDATA = 0x0151;
inline constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
inline constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
inline constexpr LRESULT CB_OKAY = 0;
inline constexpr LRESULT CB_ERR = -1;
inline constexpr LRESULT CB_ERRSPACE = -2;
inline constexpr WORD CBN_SELCHANGE = 1;
inline constexpr WORD CBN_DBLCLK = 2;
inline constexpr WORD CBN_SETFOCUS = 3;
inline constexpr WORD CBN_KILLFOCUS = 4;
inline constexpr WORD CBN_EDITCHANGE = 5;
inline constexpr WORD CBN_DROPDOWN = 7;
inline constexpr WORD CBN_CLOSEUP = 8;
inline constexpr WORD CBN_SELENDOK = 9;
inline constexpr WORD CBN_SELENDCANCEL = 10;

// List boxes
inline constexpr DWORD LBS_NOTIFY = 0x0001;
inline constexpr DWORD LBS_SORT = 0x0002;
inline constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;
inline constexpr DWORD LBS_HASSTRINGS = 0x0040;
inline constexpr DWORD LBS_WANTKEYBOARDINPUT = 0x0400;  // keys go to the parent first (WM_VKEYTOITEM)
inline constexpr DWORD LBS_STANDARD = 0x00A00003;  // notify, sort, vertical scroll bar, border
inline constexpr UINT LB_ADDSTRING = 0x0180;
inline constexpr UINT LB_INSERTSTRING = 0x0181;
inline constexpr UINT LB_DELETESTRING = 0x0182;
inline constexpr UINT LB_RESETCONTENT = 0x0184;
inline constexpr UINT LB_SETSEL = 0x0185;
inline constexpr UINT LB_SETCURSEL = 0x0186;
inline constexpr UINT LB_GETSEL = 0x0187;
inline constexpr UINT LB_GETCURSEL = 0x0188;
inline constexpr UINT LB_GETTEXT = 0x0189;
inline constexpr UINT LB_GETTEXTLEN = 0x018A;
inline constexpr UINT LB_GETCOUNT = 0x018B;
inline constexpr UINT LB_SELECTSTRING = 0x018C;
inline constexpr UINT LB_GETTOPINDEX = 0x018E;
inline constexpr UINT LB_FINDSTRING = 0x018F;
inline constexpr UINT LB_SETTOPINDEX = 0x0197;
inline constexpr UINT LB_GETITEMDATA = 0x0199;
inline constexpr UINT LB_SETITEMDATA = 0x019A;
inline constexpr UINT LB_GETITEMHEIGHT = 0x01A1;  // an entry's height in device pixels
inline constexpr UINT LB_FINDSTRINGEXACT = 0x01A2;
inline constexpr LRESULT LB_OKAY = 0;
inline constexpr LRESULT LB_ERR = -1;
inline constexpr LRESULT LB_ERRSPACE = -2;
inline constexpr WORD LBN_SELCHANGE = 1;
inline constexpr WORD LBN_DBLCLK = 2;
inline constexpr WORD LBN_SELCANCEL = 3;
inline constexpr WORD LBN_SETFOCUS = 4;
inline constexpr WORD LBN_KILLFOCUS = 5;

// ---------------------------------------------------------------------------------------------
// Resources, menus, cursors, icons
// ---------------------------------------------------------------------------------------------
HICON LoadIcon(HINSTANCE instance, LPCWSTR name);
// Cursors: instance nullptr with IDC_ARROW or IDC_WAIT gives the standard cursors.
HCURSOR LoadCursor(HINSTANCE instance, LPCWSTR name);
// Sets the cursor shown over the viewer; IDC_WAIT's cursor shows the desktop's busy cursor.
HCURSOR SetCursor(HCURSOR cursor);
int LoadString(HINSTANCE instance, UINT id, LPWSTR buffer, int maxCount);
HMENU LoadMenu(HINSTANCE instance, LPCWSTR name);
HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu);
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_SEPARATOR = 0x0800;
inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_BYPOSITION = 0x0400;
// For MF_POPUP, `idOrSubmenu` is the HMENU of the submenu.
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrSubmenu, LPCWSTR text);
HMENU GetSubMenu(HMENU menu, int position);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);
int GetMenuString(HMENU menu, UINT item, LPWSTR buffer, int maxCount, UINT flags);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);
inline constexpr UINT TPM_LEFTALIGN = 0x0000;
inline constexpr UINT TPM_RETURNCMD = 0x0100;
// Shows a pop-up menu at x, y (screen coordinates) and waits until it closes. The chosen item
// reaches `owner` as WM_COMMAND (or is returned with TPM_RETURNCMD).
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const void* params);
inline BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT*) {
  (void)reserved;
  return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Hot keys
// ---------------------------------------------------------------------------------------------
// While registered, a press of `vk` anywhere in the viewer reaches `hwnd` as WM_HOTKEY with
// id in wParam and MAKELPARAM(modifiers, vk) in lParam, instead of as WM_KEYDOWN.
BOOL RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT vk);
BOOL UnregisterHotKey(HWND hwnd, int id);

// ---------------------------------------------------------------------------------------------
// Fonts and display contexts
// ---------------------------------------------------------------------------------------------
inline constexpr int LF_FACESIZE = 32;
struct LOGFONT {
  LONG lfHeight;               // character height in pixels (positive: cell height)
  LONG lfWidth;                // average width, 0 = default
  LONG lfEscapement;           // angle of the text line, tenths of degrees
  LONG lfOrientation;          // angle of each character, tenths of degrees
  LONG lfWeight;               // 0 = default, 400 normal, 700 bold
  BYTE lfItalic;               // non-zero = italic
  BYTE lfUnderline;            // non-zero = underlined
  BYTE lfStrikeOut;            // non-zero = struck out
  BYTE lfCharSet;              // character set number (128 Shift-JIS, 129 Hangul, ...)
  BYTE lfOutPrecision;         // output precision
  BYTE lfClipPrecision;        // clipping precision
  BYTE lfQuality;              // output quality
  BYTE lfPitchAndFamily;       // pitch and family
  WCHAR lfFaceName[LF_FACESIZE];  // face name, zero-terminated
};
static_assert(sizeof(LOGFONT) == 92, "the logical-font record is 92 bytes");

struct TEXTMETRIC {
  LONG tmHeight;           // cell height
  LONG tmAscent;           // ascent
  LONG tmDescent;          // descent
  LONG tmAveCharWidth;     // average character width
  LONG tmMaxCharWidth;     // widest character
  LONG tmExternalLeading;  // extra leading between lines
};

inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE SHIFTJIS_CHARSET = 128;
inline constexpr BYTE HANGUL_CHARSET = 129;
inline constexpr BYTE GB2312_CHARSET = 134;
inline constexpr BYTE CHINESEBIG5_CHARSET = 136;
inline constexpr BYTE GREEK_CHARSET = 161;
inline constexpr BYTE VIETNAMESE_CHARSET = 163;
inline constexpr BYTE BALTIC_CHARSET = 186;
inline constexpr BYTE RUSSIAN_CHARSET = 204;
inline constexpr BYTE THAI_CHARSET = 222;
inline constexpr BYTE EASTEUROPE_CHARSET = 238;
inline constexpr BYTE OEM_CHARSET = 255;
inline constexpr DWORD TRUETYPE_FONTTYPE = 0x0004;

// Called once per font family; a zero result stops the enumeration.
using FONTENUMPROC = int (*)(const LOGFONT* logFont, const TEXTMETRIC* metrics, DWORD fontType, LPARAM data);
// With family nullptr, calls `proc` once per font family that the desktop has, in the
// desktop's order. Returns the last value `proc` returned.
int EnumFontFamilies(HDC dc, LPCWSTR family, FONTENUMPROC proc, LPARAM data);
HFONT CreateFontIndirect(const LOGFONT* logFont);
BOOL DeleteObject(HGDIOBJ object);
HGDIOBJ GetStockObject(int index);
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);
int GetObject(HGDIOBJ object, int size, void* out);  // for an HFONT: copies its LOGFONT

// ---------------------------------------------------------------------------------------------
// Clipboard
// ---------------------------------------------------------------------------------------------
inline constexpr UINT CF_UNICODETEXT = 13;
BOOL OpenClipboard(HWND owner);
BOOL EmptyClipboard();
// Takes a zero-terminated UTF-16 text from a block of LocalAlloc memory; the clipboard owns it.
HANDLE SetClipboardData(UINT format, HANDLE data);
HANDLE GetClipboardData(UINT format);  // a zero-terminated UTF-16 text owned by the clipboard
BOOL CloseClipboard();

// ---------------------------------------------------------------------------------------------
// Memory
// ---------------------------------------------------------------------------------------------
inline constexpr UINT LMEM_FIXED = 0x0000;
inline constexpr UINT LMEM_ZEROINIT = 0x0040;
inline constexpr UINT LPTR = LMEM_FIXED | LMEM_ZEROINIT;
void* LocalAlloc(UINT flags, size_t bytes);
void* LocalFree(void* memory);

// ---------------------------------------------------------------------------------------------
// Strings
// ---------------------------------------------------------------------------------------------
int lstrlen(LPCWSTR text);
int lstrcmp(LPCWSTR a, LPCWSTR b);   // unit by unit
int lstrcmpi(LPCWSTR a, LPCWSTR b);  // case-insensitive, as the system's sorted lists compare
LPWSTR lstrcpyn(LPWSTR dest, LPCWSTR source, int maxCount);
// printf-style formatting into a buffer of at most 1024 units: %s (UTF-16 text), %d, %u, %x,
// %c and %%. Returns the units written, without the terminating zero.
int wsprintf(LPWSTR buffer, LPCWSTR format, ...);

// ---------------------------------------------------------------------------------------------
// Files (device paths: "\" separators, "\" alone is the root; "/" is accepted too)
// ---------------------------------------------------------------------------------------------
struct SECURITY_ATTRIBUTES;
inline constexpr DWORD GENERIC_READ = 0x80000000;
inline constexpr DWORD GENERIC_WRITE = 0x40000000;
inline constexpr DWORD FILE_SHARE_READ = 0x00000001;
inline constexpr DWORD FILE_SHARE_WRITE = 0x00000002;
inline constexpr DWORD CREATE_NEW = 1;
inline constexpr DWORD CREATE_ALWAYS = 2;
inline constexpr DWORD OPEN_EXISTING = 3;
inline constexpr DWORD OPEN_ALWAYS = 4;
inline constexpr DWORD TRUNCATE_EXISTING = 5;
inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x00000001;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x00000002;
inline constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x00000004;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x00000010;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x00000020;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
inline constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;
inline constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFF;
inline constexpr DWORD FILE_BEGIN = 0;
inline constexpr DWORD FILE_CURRENT = 1;
inline constexpr DWORD FILE_END = 2;
inline constexpr int MAX_PATH = 260;

struct FILETIME {
  DWORD dwLowDateTime;   // low 32 bits of 100-ns intervals since 1601-01-01 UTC
  DWORD dwHighDateTime;  // high 32 bits
};
struct SYSTEMTIME {
  WORD wYear;          // e.g. 2026
  WORD wMonth;         // 1..12
  WORD wDayOfWeek;     // 0 = Sunday
  WORD wDay;           // 1..31
  WORD wHour;          // 0..23
  WORD wMinute;        // 0..59
  WORD wSecond;        // 0..59
  WORD wMilliseconds;  // 0..999
};
struct WIN32_FIND_DATA {
  DWORD dwFileAttributes;       // FILE_ATTRIBUTE_* of the entry
  FILETIME ftCreationTime;      // birth time where the host has one, else the change time
  FILETIME ftLastAccessTime;    // last access
  FILETIME ftLastWriteTime;     // last modification
  DWORD nFileSizeHigh;          // high 32 bits of the size
  DWORD nFileSizeLow;           // low 32 bits of the size
  DWORD dwOID;                  // object id (unused on the desktop, 0)
  WCHAR cFileName[MAX_PATH];    // the entry's name, zero-terminated
};

// Opens or creates a file. Share modes are honoured among the program's own open handles: an
// open that conflicts with one already open fails with INVALID_HANDLE_VALUE.
HANDLE CreateFile(LPCWSTR path, DWORD access, DWORD shareMode, SECURITY_ATTRIBUTES* security,
                  DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, void* overlapped);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten, void* overlapped);
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD moveMethod);
// The low 32 bits of the size; the high 32 bits go to *sizeHigh when it is given.
DWORD GetFileSize(HANDLE file, DWORD* sizeHigh);
BOOL CloseHandle(HANDLE object);

// ---- threads
// A thread runs `start(parameter)`; its handle is signalled when the function returns.
using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);
inline constexpr DWORD INFINITE = 0xFFFFFFFFu;
inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;
inline constexpr DWORD STILL_ACTIVE = 259;
// Starts a thread at once (creation flags and stack size are not taken). Returns its handle,
// which CloseHandle gives back; closing it does not stop the thread. nullptr when no thread
// could be started.
HANDLE CreateThread(SECURITY_ATTRIBUTES* security, DWORD stackSize, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                    DWORD creationFlags, DWORD* threadId);
// Waits up to `milliseconds` (INFINITE: for as long as it takes) for a thread to end:
// WAIT_OBJECT_0 once it has, WAIT_TIMEOUT while it runs, WAIT_FAILED for a handle that is no
// thread's.
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
// The value the thread's function returned, or STILL_ACTIVE while it runs.
BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
// Writes what the handle's file holds through to the storage before returning.
BOOL FlushFileBuffers(HANDLE file);
DWORD GetFileAttributes(LPCWSTR path);
BOOL CreateDirectory(LPCWSTR path, SECURITY_ATTRIBUTES* security);
BOOL DeleteFile(LPCWSTR path);
// Replaces the file `newFileName` (which must exist) by the file `oldFileName`, which then no
// longer exists under its own name, in one step: anyone opening `newFileName` finds either the
// whole old file or the whole new one, and handles opened before keep the old file. The change
// of names is written through to the storage before returning. `oldFileName` must not be open.
BOOL DeleteAndRenameFile(LPCWSTR newFileName, LPCWSTR oldFileName);
// Directory search: `pattern` is a directory path followed by "*.*", "*" or a name.
HANDLE FindFirstFile(LPCWSTR pattern, WIN32_FIND_DATA* data);
BOOL FindNextFile(HANDLE search, WIN32_FIND_DATA* data);
BOOL FindClose(HANDLE search);
DWORD GetLastError();
void SetLastError(DWORD error);
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_SHARING_VIOLATION = 32;
inline constexpr DWORD ERROR_FILE_EXISTS = 80;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_MORE_DATA = 234;
inline constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
inline constexpr DWORD ERROR_FILE_TOO_LARGE = 223;
inline constexpr DWORD ERROR_NO_MORE_FILES = 18;
inline constexpr DWORD ERROR_DISK_FULL = 112;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_INVALID_NAME = 123;
inline constexpr DWORD ERROR_NEGATIVE_SEEK = 131;
inline constexpr DWORD ERROR_DIR_NOT_EMPTY = 145;
inline constexpr DWORD ERROR_BAD_PATHNAME = 161;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;
inline constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr DWORD ERROR_INVALID_FLAGS = 1004;
inline constexpr DWORD ERROR_REGISTRY_CORRUPT = 1015;
inline constexpr DWORD ERROR_REGISTRY_IO_FAILED = 1016;
inline constexpr DWORD ERROR_KEY_DELETED = 1018;

// Dates
BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local);
BOOL FileTimeToSystemTime(const FILETIME* time, SYSTEMTIME* out);
void GetLocalTime(SYSTEMTIME* out);
inline constexpr DWORD DATE_SHORTDATE = 0x00000001;
inline constexpr DWORD DATE_LONGDATE = 0x00000002;
inline constexpr DWORD LOCALE_USER_DEFAULT = 0x0400;
inline constexpr DWORD LOCALE_SYSTEM_DEFAULT = 0x0800;
// Formats a date in the desktop locale's short date format; returns units written with the zero.
int GetDateFormat(DWORD locale, DWORD flags, const SYSTEMTIME* date, LPCWSTR format, LPWSTR out, int outCount);

// ---------------------------------------------------------------------------------------------
// Registry (a database in the program's data folder, or in the sandboxed device)
// ---------------------------------------------------------------------------------------------
inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000000u));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002u));
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000003u));
using REGSAM = DWORD;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;
LONG RegOpenKeyEx(HKEY parent, LPCWSTR subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegCreateKeyEx(HKEY parent, LPCWSTR subKey, DWORD reserved, LPWSTR className, DWORD options,
                    REGSAM access, SECURITY_ATTRIBUTES* security, HKEY* result, DWORD* disposition);
// Value name nullptr or empty is the key's default value. Sizes are in bytes; a text value's
// size includes its terminating zero unit.
LONG RegQueryValueEx(HKEY key, LPCWSTR valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize);
LONG RegSetValueEx(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);
LONG RegDeleteValue(HKEY key, LPCWSTR valueName);
LONG RegDeleteKey(HKEY parent, LPCWSTR subKey);
LONG RegEnumKeyEx(HKEY key, DWORD index, LPWSTR name, DWORD* nameCount, DWORD* reserved, LPWSTR className,
                  DWORD* classCount, FILETIME* lastWrite);
LONG RegCloseKey(HKEY key);
