#include "app/text_view_proc.h"

#include "platform/shellext/aygshell.h"
#include "resources/resource_ids.h"

WNDPROC savedTextViewProc = nullptr;

namespace {

constexpr WCHAR kCopyItemText[] = u"COPY";

// Shows the one-item "COPY" menu at the tap point; its choice comes back as WM_COMMAND 2006.
void showCopyMenu(HWND textView, int x, int y) {
  HMENU menu = CreatePopupMenu();
  AppendMenu(menu, MF_STRING, res::kCommandCopy, kCopyItemText);
  TrackPopupMenuEx(menu, 0, x, y, textView, nullptr);
  DestroyMenu(menu);
}

}  // namespace

LRESULT textViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN: {
      // Keys never move a caret in the text view: the main window runs the bound action.
      HWND parent = GetParent(hwnd);
      SetFocus(parent);
      SendMessage(parent, WM_KEYDOWN, wParam, lParam);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == res::kCommandCopy) {
        SendMessage(hwnd, WM_COPY, 0, 0);
        return 0;
      }
      break;
    case WM_LBUTTONDOWN: {
      const int x = static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)));
      const int y = static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam)));
      SHRGINFO gesture{};
      gesture.cbSize = kShrgInfoSize;
      gesture.hwndClient = hwnd;
      gesture.ptDown = {x, y};
      gesture.dwFlags = SHRG_RETURNCMD;
      if (SHRecognizeGesture(&gesture) == GN_CONTEXTMENU) {
        showCopyMenu(hwnd, x, y);
        return 0;
      }
      break;
    }
    default:
      break;
  }
  return CallWindowProc(savedTextViewProc, hwnd, message, wParam, lParam);
}
