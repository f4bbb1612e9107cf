// What every standard control shares: its record in the window's extra bytes, the notifications
// to its parent, the text rules of WM_GETTEXT, and the font of WM_SETFONT.
#pragma once

#include <QObject>
#include <QString>
#include <QWidget>
#include <string>
#include <string_view>

#include "platform/system/commctrl.h"
#include "platform/system/windows.h"

namespace platform::controls {

// Every control class keeps one pointer in its window's extra bytes, at offset 0.
inline constexpr int kRecordSlot = 0;
inline constexpr int kRecordBytes = static_cast<int>(sizeof(LONG_PTR));

template <typename Record>
Record* recordOf(HWND hwnd) {
  if (hwnd == nullptr || !IsWindow(hwnd)) return nullptr;
  return reinterpret_cast<Record*>(GetWindowLongPtr(hwnd, kRecordSlot));
}
void storeRecord(HWND hwnd, void* record);

// True while `record` is still the record of `hwnd`: a notification handler may destroy the
// control, so code that goes on after sending one checks this first.
template <typename Record>
bool stillAlive(HWND hwnd, const Record* record) {
  return recordOf<Record>(hwnd) == record;
}

// WM_COMMAND(MAKEWPARAM(id, code), hwnd) to the parent; returns the parent's answer.
LRESULT notifyParent(HWND control, WORD code);
// WM_NOTIFY(id, header) to the parent; fills in hwndFrom, idFrom and code first.
LRESULT notifyParent(HWND control, UINT code, NMHDR* header);
bool parentIsDialog(HWND control);

// A text parameter of a message: none reads as the empty text.
std::u16string textParameter(LPARAM text);
std::u16string textParameter(LPCWSTR text);

// WM_GETTEXT's rule: at most `capacity` − 1 units and a terminating zero go to `buffer`;
// returns the units copied, without the zero. A capacity of 0 (or no buffer) copies nothing.
LRESULT copyTextOut(std::u16string_view text, WPARAM capacity, LPARAM buffer);
// Copies the whole text and its zero (CB_GETLBTEXT, LB_GETTEXT: the caller sized the buffer
// from the matching length message); returns the length.
LRESULT copyWholeText(std::u16string_view text, LPARAM buffer);

// Case-insensitive comparison as the system's sorted lists do it (lstrcmpi).
int compareNoCase(const std::u16string& a, const std::u16string& b);
// True when `text` begins with `prefix`, compared without regard to case.
bool startsWithNoCase(const std::u16string& text, const std::u16string& prefix);

// A caption as the desktop shows it: "&x" marks a mnemonic on the platform and in Qt buttons;
// labels show the text without the marks ("&&" is a literal "&").
QString withoutMnemonics(const std::u16string& text);

// WM_SETFONT: shows `widget` in the font of the handle (nullptr: the default font). The handle
// itself is only remembered by the caller for WM_GETFONT; nothing here keeps it.
void applyFont(QWidget* widget, HFONT font);

// Desktop pixels for a length in device pixels, and back.
int toDesktopPixels(int devicePixels);
int toDevicePixels(int desktopPixels);

// The opening every control procedure shares. A control's record keeps its font in `font`.
template <typename Record>
struct ControlProcedure {
  // WM_CREATE: makes the record and stores it with storeRecord.
  LRESULT (*create)(HWND hwnd, const CREATESTRUCT* create);
  // The widget that shows the font of WM_SETFONT and the state of WM_ENABLE.
  QWidget* (*widget)(const Record& record);
  // At WM_DESTROY, after the record is forgotten and before it is deleted: lets go of what the
  // desktop may still call (nullptr: nothing to let go of).
  void (*detach)(Record& record);
  // After WM_SETFONT has shown the new font (nullptr: nothing more to do).
  void (*fontChanged)(HWND hwnd, Record& record);
  // Every other message of a window that has its record.
  LRESULT (*handle)(HWND hwnd, Record& record, UINT message, WPARAM wParam, LPARAM lParam);
};

// Runs `procedure` for one message: WM_CREATE, a window without its record (DefWindowProc),
// WM_DESTROY, WM_SETFONT, WM_GETFONT and WM_ENABLE here, every other message in its handler.
template <typename Record>
LRESULT runControlProcedure(const ControlProcedure<Record>& procedure, HWND hwnd, UINT message, WPARAM wParam,
                            LPARAM lParam) {
  if (message == WM_CREATE) return procedure.create(hwnd, reinterpret_cast<const CREATESTRUCT*>(lParam));
  Record* record = recordOf<Record>(hwnd);
  if (record == nullptr) return DefWindowProc(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_DESTROY:
      storeRecord(hwnd, nullptr);
      if (procedure.detach != nullptr) procedure.detach(*record);
      delete record;  // a signal receiver goes with it, which disconnects the widget's signals
      return 0;
    case WM_SETFONT:
      record->font = reinterpret_cast<HFONT>(wParam);
      applyFont(procedure.widget(*record), record->font);
      if (procedure.fontChanged != nullptr) procedure.fontChanged(hwnd, *record);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(record->font);
    case WM_ENABLE:
      procedure.widget(*record)->setEnabled(wParam != 0);
      return 0;
    default:
      return procedure.handle(hwnd, *record, message, wParam, lParam);
  }
}

// Receives the signals of a control's widget; deleting it (at WM_DESTROY) disconnects them all.
// It also watches events of other objects (the drop-down list of a combo box) through `filter`.
class SignalReceiver : public QObject {
 public:
  using Filter = bool (*)(HWND window, QObject* watched, QEvent* event);
  SignalReceiver(HWND window, Filter filter = nullptr) : window_(window), filter_(filter) {}
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  HWND window_;     // the control whose record the filter consults
  Filter filter_;   // the control's event filter, or nullptr
};

}  // namespace platform::controls
