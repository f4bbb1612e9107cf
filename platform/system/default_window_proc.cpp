// DefWindowProc: the platform's default handling of a message, with its documented results.
#include "platform/system/device_screen.h"
#include "platform/system/message_loop.h"
#include "platform/system/qt_units.h"
#include "platform/system/text_utils.h"
#include "platform/system/window_records.h"
#include "platform/system/window_widgets.h"

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  using platform::windows::findWindow;
  platform::messages::reportDelivery(hwnd, message, wParam, lParam, platform::messages::Delivery::Default);
  const auto record = findWindow(hwnd);
  if (!record) return 0;
  switch (message) {
    case WM_SETTEXT:
      record->text = platform::text::fromPointer(reinterpret_cast<LPCWSTR>(lParam));
      if (record->widget && !record->isChild()) record->widget->setWindowTitle(platform::unitsToQString(record->text));
      platform::widgets::refreshTopBar();
      return TRUE;
    case WM_GETTEXT:
      return platform::text::copyTruncated(record->text, reinterpret_cast<LPWSTR>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(record->text.size());
    case WM_VKEYTOITEM:
      return -1;  // the list box acts on the key itself
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_PAINT:
      // Default painting validates the window; the widget paints itself on the desktop.
      record->needsPaint = false;
      return 0;
    case WM_ERASEBKGND:
      return record->windowClass->info.hbrBackground != nullptr ? 1 : 0;
    case WM_ACTIVATE:
      // Activation gives the window the keyboard focus unless the program is in the background.
      if (LOWORD(wParam) != WA_INACTIVE && !platform::widgets::isDeviceScreenMinimised()) SetFocus(hwnd);
      return 0;
    case WM_MOUSEWHEEL:
      // An unhandled wheel turn goes to the parent, which may scroll instead.
      if (record->isChild() && findWindow(record->parent)) return SendMessage(record->parent, message, wParam, lParam);
      return 0;
    case WM_SETCURSOR:
      return FALSE;
    default:
      return 0;
  }
}
