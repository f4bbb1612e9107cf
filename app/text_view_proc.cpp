#include "app/text_view_proc.h"

#include "platform/shellext/aygshell.h"
#include "platform/textview/richink.h"
#include "resources/resource_ids.h"

WNDPROC savedTextViewProc = nullptr;

bool textViewHasSelection(HWND textView) {
  DWORD start = 0;
  DWORD end = 0;
  SendMessage(textView, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return start != end;
}

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
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      // Keys never move a caret in the text view: the main window runs the bound action.
      HWND parent = GetParent(hwnd);
      SetFocus(parent);
      SendMessage(parent, message, wParam, lParam);
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
        // With nothing selected there is nothing to copy: no menu is offered.
        if (textViewHasSelection(hwnd)) showCopyMenu(hwnd, x, y);
        return 0;
      }
      break;
    }
    default:
      break;
  }
  return CallWindowProc(savedTextViewProc, hwnd, message, wParam, lParam);
}

void offerCopyMenuAtPointer(HWND textView) {
  if (!IsWindow(textView) || !textViewHasSelection(textView)) return;
  POINT pointer{};
  GetCursorPos(&pointer);
  ScreenToClient(textView, &pointer);
  RECT client{};
  GetClientRect(textView, &client);
  const bool inside = pointer.x >= 0 && pointer.y >= 0 && pointer.x < client.right && pointer.y < client.bottom;
  if (!inside) pointer = POINT{0, 0};
  showCopyMenu(textView, pointer.x, pointer.y);
}
