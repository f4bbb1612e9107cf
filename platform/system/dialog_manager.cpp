// The dialog manager: modal dialogs built from the program's templates. DialogBoxParam creates
// the dialog window (class "#32770") and its controls through CreateWindowEx, converting dialog
// units with the dialog font's base units, gives every control the dialog font, sends
// WM_INITDIALOG, disables the owner and runs a nested message loop until EndDialog. The dialog
// class procedure calls the program's dialog procedure first and does the default handling
// when that returns FALSE.
#include "platform/system/dialog_manager.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <cmath>
#include <map>

#include "platform/system/message_loop.h"
#include "platform/system/resources.h"
#include "platform/system/responders.h"
#include "platform/system/text_utils.h"
#include "platform/system/window_host.h"
#include "platform/system/window_records.h"

namespace platform::dialogs {
namespace {

constexpr int kDialogWindowExtra = 3 * static_cast<int>(sizeof(LONG_PTR));  // DWLP_MSGRESULT, DWLP_DLGPROC, DWLP_USER
constexpr int kDefaultPointSize = 8;
constexpr int kDeviceDpi = 96;  // the device's fonts are sized at 96 dots per inch

// One modal dialog run by DialogBoxParam.
struct ModalDialog {
  bool ended = false;        // EndDialog was called
  INT_PTR result = 0;        // EndDialog's result
  HFONT font = nullptr;      // the dialog font; owned, deleted when the dialog ends
  HWND savedFocus = nullptr; // the control that had the focus when the dialog was last deactivated
  bool modeless = false;     // made by createModelessDialog: its font goes when the window does
};

std::map<HWND, ModalDialog>& dialogs() {
  static std::map<HWND, ModalDialog> table;  // dialog window -> its state
  return table;
}

int depth = 0;  // nested modal loops running

int toPixels(int units, int base, int divisor) {
  return static_cast<int>(std::lround(static_cast<double>(units) * base / divisor));
}

bool isDefaultPushButton(HWND hwnd) {
  const auto record = windows::findWindow(hwnd);
  return record && record->windowClass->folded == u"button" && (record->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

// The first control that takes the focus by tabbing (or the first enabled one).
HWND firstTabItem(HWND dialog) {
  const auto record = windows::findWindow(dialog);
  if (!record) return nullptr;
  HWND fallback = nullptr;
  for (HWND child : record->children) {
    const auto childRecord = windows::findWindow(child);
    if (!childRecord || !childRecord->visible || !childRecord->enabled) continue;
    if ((childRecord->style & WS_TABSTOP) != 0) return child;
    if (fallback == nullptr) fallback = child;
  }
  return fallback;
}

bool returnsResultDirectly(UINT message) {
  // For these the dialog procedure's own return value is the result, as on the platform.
  return message == WM_INITDIALOG || message == WM_VKEYTOITEM;
}

LRESULT defaultDialogHandling(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE: {
      auto it = dialogs().find(hwnd);
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (it != dialogs().end() && windows::isSelfOrDescendant(hwnd, GetFocus())) it->second.savedFocus = GetFocus();
        return 0;
      }
      // Activation gives the focus back to the control that had it, or to the first one.
      HWND target = it != dialogs().end() && IsWindow(it->second.savedFocus) ? it->second.savedFocus : firstTabItem(hwnd);
      if (!windows::isSelfOrDescendant(hwnd, GetFocus())) SetFocus(target != nullptr ? target : hwnd);
      return 0;
    }
    case WM_CLOSE:
      PostMessage(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)));
      return 0;
    case WM_GETFONT: {
      const auto it = dialogs().find(hwnd);
      return it == dialogs().end() ? 0 : reinterpret_cast<LRESULT>(it->second.font);
    }
    case WM_SETFONT:
      return 0;
    case WM_DESTROY: {
      // A modeless dialog has no loop to clean up after it: its window's end is its end.
      const auto it = dialogs().find(hwnd);
      if (it != dialogs().end() && it->second.modeless) {
        DeleteObject(it->second.font);
        dialogs().erase(it);
      }
      return DefWindowProc(hwnd, message, wParam, lParam);
    }
    default:
      return DefWindowProc(hwnd, message, wParam, lParam);
  }
}

LRESULT dialogClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto dialogProc = reinterpret_cast<DLGPROC>(GetWindowLongPtr(hwnd, DWLP_DLGPROC));
  if (dialogProc != nullptr) {
    SetWindowLongPtr(hwnd, DWLP_MSGRESULT, 0);
    const BOOL handled = dialogProc(hwnd, message, wParam, lParam);
    if (handled != FALSE) {
      if (returnsResultDirectly(message)) return handled;
      return IsWindow(hwnd) ? GetWindowLongPtr(hwnd, DWLP_MSGRESULT) : 0;
    }
    if (!IsWindow(hwnd)) return 0;
  }
  return defaultDialogHandling(hwnd, message, wParam, lParam);
}

RECT dialogRect(const DialogTemplate& t, BaseUnits units) {
  const int width = std::min(toPixels(t.cx, units.baseX, 4), 480);
  const int height = std::min(toPixels(t.cy, units.baseY, 8), 640 - 26);
  const int left = std::clamp(toPixels(t.x, units.baseX, 4), 0, 480 - width);
  const int top = std::clamp(26 + toPixels(t.y, units.baseY, 8), 26, 640 - height);
  return RECT{left, top, left + width, top + height};
}

// Builds the dialog and its controls; nullptr when the template cannot be made into one.
HWND createDialog(HINSTANCE instance, const DialogTemplate& t, HWND owner, DLGPROC dialogProc, HFONT font) {
  const BaseUnits units = baseUnitsFor(font);
  const RECT rect = dialogRect(t, units);
  const DWORD style = (t.style | WS_POPUP) & ~(WS_VISIBLE | WS_CHILD);
  const HWND dialog = CreateWindowEx(0, WC_DIALOG, t.title, style, rect.left, rect.top, rect.right - rect.left,
                                     rect.bottom - rect.top, owner, nullptr, instance, nullptr);
  if (dialog == nullptr) return nullptr;
  dialogs()[dialog].font = font;
  SetWindowLongPtr(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(dialogProc));
  SendMessage(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (size_t i = 0; i < t.itemCount && t.items != nullptr; ++i) {
    const DialogItem& item = t.items[i];
    const int x = toPixels(item.x, units.baseX, 4);
    const int y = toPixels(item.y, units.baseY, 8);
    const int cx = toPixels(item.cx, units.baseX, 4);
    const int cy = toPixels(item.cy, units.baseY, 8);
    const HWND control =
        CreateWindowEx(item.exStyle, item.className, item.text, item.style | WS_CHILD | WS_VISIBLE, x, y, cx, cy, dialog,
                       reinterpret_cast<HMENU>(static_cast<intptr_t>(item.id)), instance, nullptr);
    if (control == nullptr) {
      // A control that cannot be made fails the dialog, as on the platform.
      DestroyWindow(dialog);
      dialogs().erase(dialog);
      return nullptr;
    }
    SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  return dialog;
}

}  // namespace

BaseUnits baseUnitsFor(HFONT font) {
  if (QGuiApplication::instance() == nullptr) return BaseUnits{6, 13};
  const QFontMetricsF metrics(widgets::fontFromHandle(font));
  const double scale = widgets::deviceScale();
  const double letters =
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / scale;
  // The platform rounds the average of the 52 letters: (width / 26 + 1) / 2.
  const int baseX = std::max(1, (static_cast<int>(letters) / 26 + 1) / 2);
  const int baseY = std::max(1, static_cast<int>(std::lround(metrics.height() / scale)));
  return BaseUnits{baseX, baseY};
}

HFONT createTemplateFont(const DialogTemplate& t) {
  LOGFONT logFont{};
  const int points = t.pointSize != 0 ? t.pointSize : kDefaultPointSize;
  logFont.lfHeight = -static_cast<LONG>(std::lround(points * static_cast<double>(kDeviceDpi) / 72.0));
  logFont.lfWeight = 400;
  logFont.lfCharSet = DEFAULT_CHARSET;
  std::u16string face = text::fromPointer(t.fontFace);
  if (face.empty() && QGuiApplication::instance() != nullptr) face = QGuiApplication::font().family().toStdU16String();
  text::copyTruncated(face, logFont.lfFaceName, LF_FACESIZE);
  return CreateFontIndirect(&logFont);
}

void registerDialogClass() {
  WNDCLASS wc{};
  wc.lpfnWndProc = dialogClassProc;
  wc.cbWndExtra = kDialogWindowExtra;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = WC_DIALOG;
  widgets::registerSystemClass(wc);
}

int modalDepth() { return depth; }

HWND createModelessDialog(const DialogTemplate& dialogTemplate, HWND owner, DLGPROC dialogProc, LPARAM initParam) {
  const HWND ownerTop = windows::topLevelAncestor(owner);
  const HFONT font = createTemplateFont(dialogTemplate);
  const HWND dialog = createDialog(programInstance(), dialogTemplate, ownerTop, dialogProc, font);
  if (dialog == nullptr) {
    DeleteObject(font);
    return nullptr;
  }
  dialogs()[dialog].modeless = true;
  const HWND firstItem = firstTabItem(dialog);
  const LRESULT focusDefault = SendMessage(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstItem), initParam);
  if (!IsWindow(dialog)) return nullptr;
  ShowWindow(dialog, SW_SHOWNORMAL);
  if (focusDefault != FALSE && firstTabItem(dialog) != nullptr) SetFocus(firstTabItem(dialog));
  return dialog;
}

}  // namespace platform::dialogs

using platform::dialogs::dialogs;

INT_PTR DialogBoxParam(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC dialogProc, LPARAM initParam) {
  using namespace platform::dialogs;
  if (templateName == nullptr || !IS_INTRESOURCE(templateName)) return -1;
  const WORD templateId = static_cast<WORD>(reinterpret_cast<uintptr_t>(templateName));
  const platform::DialogTemplate* found = platform::FindDialogTemplate(instance, templateId);
  if (found == nullptr) return -1;
  const HWND ownerTop = platform::windows::topLevelAncestor(owner);
  const HFONT font = createTemplateFont(*found);
  const HWND dialog = createDialog(instance, *found, ownerTop, dialogProc, font);
  if (dialog == nullptr) {
    DeleteObject(font);
    return -1;
  }
  // The owner takes no input while its modal dialog runs.
  const bool disabledOwner = ownerTop != nullptr && IsWindowEnabled(ownerTop);
  if (disabledOwner) EnableWindow(ownerTop, FALSE);

  const HWND firstItem = firstTabItem(dialog);
  const LRESULT focusDefault = SendMessage(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstItem), initParam);
  if (IsWindow(dialog) && !dialogs()[dialog].ended) {
    if (focusDefault != FALSE && firstTabItem(dialog) != nullptr) SetFocus(firstTabItem(dialog));
    ShowWindow(dialog, SW_SHOWNORMAL);
  }

  ++depth;
  const std::function<bool()> finished = [dialog] {
    const auto it = dialogs().find(dialog);
    return it == dialogs().end() || it->second.ended || !IsWindow(dialog);
  };
  if (!finished()) {
    // A copy: the responder may install another one for a dialog it opens in turn.
    const auto responder = platform::responders::currentDialogResponder();
    if (responder) responder(dialog, templateId);
  }
  const bool quitSeen = !platform::messages::runModalLoop(
      finished, [dialog](MSG& msg) { return IsDialogMessage(dialog, &msg) != FALSE; });
  --depth;

  const auto it = dialogs().find(dialog);
  const INT_PTR result = (it != dialogs().end() && it->second.ended && !quitSeen) ? it->second.result : 0;
  if (disabledOwner && IsWindow(ownerTop)) EnableWindow(ownerTop, TRUE);
  DestroyWindow(dialog);
  dialogs().erase(dialog);
  DeleteObject(font);
  return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  const auto it = dialogs().find(dialog);
  if (it == dialogs().end()) return FALSE;
  it->second.ended = true;
  it->second.result = result;
  platform::messages::wakeEventLoop();
  return TRUE;
}

BOOL IsDialogMessage(HWND dialog, const MSG* msg) {
  if (msg == nullptr || msg->message != WM_KEYDOWN) return FALSE;
  if (!platform::windows::isSelfOrDescendant(dialog, msg->hwnd)) return FALSE;
  const WORD vk = LOWORD(msg->wParam);
  if (vk == VK_RETURN) {
    int id = IDOK;
    const auto record = platform::windows::findWindow(dialog);
    for (HWND child : record ? record->children : std::vector<HWND>{}) {
      if (platform::dialogs::isDefaultPushButton(child)) {
        id = GetDlgCtrlID(child);
        break;
      }
    }
    const HWND button = GetDlgItem(dialog, id);
    if (button != nullptr && !IsWindowEnabled(button)) return TRUE;
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return TRUE;
  }
  if (vk == VK_ESCAPE) {
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    return TRUE;
  }
  return FALSE;
}

LRESULT SendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND item = GetDlgItem(dialog, id);
  return item == nullptr ? 0 : SendMessage(item, message, wParam, lParam);
}

BOOL SetDlgItemText(HWND dialog, int id, LPCWSTR text) {
  const HWND item = GetDlgItem(dialog, id);
  return item == nullptr ? FALSE : SetWindowText(item, text);
}

UINT GetDlgItemText(HWND dialog, int id, LPWSTR buffer, int maxCount) {
  const HWND item = GetDlgItem(dialog, id);
  if (item == nullptr) {
    if (buffer != nullptr && maxCount > 0) buffer[0] = 0;
    return 0;
  }
  return static_cast<UINT>(GetWindowText(item, buffer, maxCount));
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  if (translated != nullptr) *translated = FALSE;
  const HWND item = GetDlgItem(dialog, id);
  if (item == nullptr) return 0;
  WCHAR text[64] = {};
  GetWindowText(item, text, 64);
  // Leading spaces are skipped; digits are read up to the first other character.
  const WCHAR* p = text;
  while (*p == u' ') ++p;
  bool negative = false;
  if (isSigned && *p == u'-') {
    negative = true;
    ++p;
  }
  if (*p < u'0' || *p > u'9') return 0;
  uint64_t value = 0;
  for (; *p >= u'0' && *p <= u'9'; ++p) {
    value = value * 10 + static_cast<uint64_t>(*p - u'0');
    if (value > (isSigned ? 0x80000000ull : 0xFFFFFFFFull)) return 0;  // out of range: not translated
  }
  if (isSigned && !negative && value > 0x7FFFFFFFull) return 0;
  if (translated != nullptr) *translated = TRUE;
  return negative ? static_cast<UINT>(-static_cast<int64_t>(value)) : static_cast<UINT>(value);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  const HWND item = GetDlgItem(dialog, id);
  if (item == nullptr) return FALSE;
  SendMessage(item, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  const HWND item = GetDlgItem(dialog, id);
  return item == nullptr ? 0 : static_cast<UINT>(SendMessage(item, BM_GETCHECK, 0, 0));
}
