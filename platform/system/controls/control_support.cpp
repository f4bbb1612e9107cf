#include "platform/system/controls/control_support.h"

#include <QFont>
#include <algorithm>
#include <cmath>

#include "platform/system/device_screen.h"
#include "platform/system/qt_units.h"
#include "platform/system/text_utils.h"
#include "platform/system/window_host.h"

namespace platform::controls {

void storeRecord(HWND hwnd, void* record) {
  SetWindowLongPtr(hwnd, kRecordSlot, reinterpret_cast<LONG_PTR>(record));
}

LRESULT notifyParent(HWND control, WORD code) {
  HWND parent = GetParent(control);
  if (parent == nullptr) return 0;
  const WORD id = static_cast<WORD>(GetDlgCtrlID(control));
  return SendMessage(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

LRESULT notifyParent(HWND control, UINT code, NMHDR* header) {
  HWND parent = GetParent(control);
  if (parent == nullptr) return 0;
  const int id = GetDlgCtrlID(control);
  header->hwndFrom = control;
  header->idFrom = static_cast<UINT_PTR>(static_cast<unsigned>(id));
  header->code = code;
  return SendMessage(parent, WM_NOTIFY, static_cast<WPARAM>(static_cast<unsigned>(id)),
                     reinterpret_cast<LPARAM>(header));
}

bool parentIsDialog(HWND control) {
  HWND parent = GetParent(control);
  if (parent == nullptr) return false;
  WCHAR name[16] = {};
  GetClassName(parent, name, 16);
  return std::u16string_view(name) == std::u16string_view(WC_DIALOG);
}

std::u16string textParameter(LPARAM text) { return textParameter(reinterpret_cast<LPCWSTR>(text)); }

std::u16string textParameter(LPCWSTR text) {
  if (text == nullptr) return {};
  return std::u16string(text);
}

LRESULT copyTextOut(std::u16string_view text, WPARAM capacity, LPARAM buffer) {
  auto* out = reinterpret_cast<LPWSTR>(buffer);
  if (out == nullptr || capacity == 0) return 0;
  const size_t count = std::min<size_t>(text.size(), static_cast<size_t>(capacity) - 1);
  std::copy_n(text.data(), count, out);
  out[count] = 0;
  return static_cast<LRESULT>(count);
}

LRESULT copyWholeText(std::u16string_view text, LPARAM buffer) {
  auto* out = reinterpret_cast<LPWSTR>(buffer);
  if (out == nullptr) return -1;
  std::copy(text.begin(), text.end(), out);
  out[text.size()] = 0;
  return static_cast<LRESULT>(text.size());
}

int compareNoCase(const std::u16string& a, const std::u16string& b) { return platform::text::compareFolded(a, b); }

bool startsWithNoCase(const std::u16string& text, const std::u16string& prefix) {
  if (prefix.size() > text.size()) return false;
  return lstrcmpi(text.substr(0, prefix.size()).c_str(), prefix.c_str()) == 0;
}

QString withoutMnemonics(const std::u16string& text) {
  std::u16string shown;
  shown.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&') {
      if (i + 1 < text.size() && text[i + 1] == u'&') {
        shown.push_back(u'&');
        ++i;
      }
      continue;  // a lone "&" only marks the next character
    }
    shown.push_back(text[i]);
  }
  return platform::unitsToQString(shown.data(), static_cast<qsizetype>(shown.size()));
}

void applyFont(QWidget* widget, HFONT font) {
  if (widget == nullptr) return;
  widget->setFont(widgets::fontFromHandle(font));
  widgets::keepFontScaled(widget);  // sized again when the desktop window is resized
}

int toDesktopPixels(int devicePixels) {
  return static_cast<int>(std::lround(devicePixels * widgets::deviceScale()));
}

int toDevicePixels(int desktopPixels) {
  const double scale = widgets::deviceScale();
  if (scale <= 0) return desktopPixels;
  return static_cast<int>(std::lround(desktopPixels / scale));
}

bool SignalReceiver::eventFilter(QObject* watched, QEvent* event) {
  if (filter_ != nullptr && filter_(window_, watched, event)) return true;
  return QObject::eventFilter(watched, event);
}

}  // namespace platform::controls
