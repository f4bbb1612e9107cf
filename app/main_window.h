// The main window: its class, creation, and the handler from which every command, key press
// and display refresh is dispatched.
#pragma once

#include "app/viewer_state.h"
#include "platform/shellext/aygshell.h"

inline constexpr WCHAR kMainWindowClass[] = u"Quillscope_";
inline constexpr WCHAR kMainWindowTitle[] = u"Quillscope";
inline constexpr DWORD kTextViewStyle = 0x503008C0;  // child, visible, both scroll bars, read-only, auto scroll
inline constexpr int kMenuBarReserve = kMenuBarHeight;  // bottom pixels left for the menu bar

// Registers the class, creates the main window (which creates the text view, applies the
// settings and loads the command line's document while it is created) and its menu bar, and
// shows it. Returns whether all of that succeeded.
bool createMainWindow(ViewerState& state, HINSTANCE instance, int showCommand);

LRESULT mainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
