// Inside the layer: the record behind every window handle and every registered class, and the
// table that owns them. window_manager.cpp creates and destroys records; the message queue,
// focus, widgets, dialogs and shell services read them through these functions.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "platform/system/window_host.h"
#include "platform/system/windows.h"

namespace platform::windows {

// A registered window class.
struct WindowClass {
  std::u16string name;    // the class name as registered (owned; info.lpszClassName points here)
  std::u16string folded;  // the name folded to lower case: class names compare case-insensitively
  WNDCLASS info;          // copy of the registration; borrowed pointers (icon, brush) stay borrowed
  bool system = false;    // registered by the layer itself: found whatever instance CreateWindowEx names
};

// One window. Owned by the window table through a shared pointer so that a procedure running
// for a window that it destroys keeps a valid record until it returns.
struct WindowRecord {
  HWND handle = nullptr;                              // this window's handle (even value)
  std::shared_ptr<const WindowClass> windowClass;     // its class (kept alive while the window lives)
  WNDPROC procedure = nullptr;                        // current procedure; GWLP_WNDPROC replaces it
  HWND parent = nullptr;                              // parent of a WS_CHILD window, owner of a top-level one
  HINSTANCE instance = nullptr;                       // the instance given to CreateWindowEx
  UINT_PTR id = 0;                                    // child id (GWLP_ID), or the menu value of a top-level window
  DWORD style = 0;                                    // WS_* and class style bits
  DWORD exStyle = 0;                                  // WS_EX_* bits
  std::u16string text;                                // window text
  RECT rect{0, 0, 0, 0};                              // device pixels: in the parent's client area for a child, on the device screen otherwise
  LONG_PTR userData = 0;                              // GWLP_USERDATA
  std::vector<uint8_t> extraBytes;                    // cbWndExtra bytes, zero-initialised
  std::vector<HWND> children;                         // WS_CHILD windows, in creation (and tab) order
  QPointer<QWidget> widget;                           // the widget that shows the window; owned by the layer, may be none yet
  widgets::InputRouting routing = widgets::InputRouting::Messages;  // how desktop input on the widget reaches the window
  bool plainSurface = false;                          // the widget is the layer's plain class-brush surface
  bool visible = false;                               // WS_VISIBLE as the program last set it
  bool enabled = true;                                // not WS_DISABLED
  bool needsPaint = false;                            // invalidated and not yet painted by UpdateWindow
  bool destroyed = false;                             // DestroyWindow has started; no more messages are delivered
  bool created = false;                               // WM_CREATE has returned successfully

  bool isChild() const { return (style & WS_CHILD) != 0; }
};

// The live window with this handle, or nullptr (also for remote handles and destroyed windows).
std::shared_ptr<WindowRecord> findWindow(HWND hwnd);
// The top-level windows (no WS_CHILD), oldest first.
std::vector<HWND> topLevelWindows();
// The top-level window that contains `hwnd` (itself when it is top-level).
HWND topLevelAncestor(HWND hwnd);
// True when `descendant` is `ancestor` or lies below it through WS_CHILD parents.
bool isSelfOrDescendant(HWND ancestor, HWND descendant);
// The first top-level window of this process whose class and title match, compared without
// case as FindWindow does (`anyClass` / `anyTitle`: that part is not compared).
// `includeCreating`: a window whose WM_CREATE has not returned yet counts too.
HWND findLocalTopLevel(const std::u16string& className, bool anyClass, const std::u16string& title, bool anyTitle,
                       bool includeCreating = false);
// Destroys every window of the program (used when a test's device sandbox ends).
void destroyAllWindows();
// Counts the live windows (for tests that check nothing is left behind).
size_t liveWindowCount();

// Classes: the class for a name, searched as CreateWindowEx does (instance first, then system).
std::shared_ptr<const WindowClass> findClass(LPCWSTR name, HINSTANCE instance);
// Removes every class that the layer did not register itself.
void unregisterProgramClasses();

// Focus and activation (window_focus.cpp).
// Makes a top-level window the active one, sending WM_ACTIVATE to the old and the new window.
void activateWindow(HWND hwnd);
// Called before a window is hidden or destroyed: moves focus and activation away from it.
void moveFocusAwayFrom(HWND hwnd);
// Forgets a destroyed window in the focus and activation state.
void forgetFocusOf(HWND hwnd);
// The top-level window that should become active after `leaving` goes (its owner first).
HWND nextWindowToActivate(HWND leaving);

// Sends WM_SIZE / WM_MOVE after the rectangle of a window changed.
void sendGeometryMessages(HWND hwnd, bool moved, bool resized);

}  // namespace platform::windows
