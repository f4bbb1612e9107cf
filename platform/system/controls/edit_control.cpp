// "EDIT": a single-line text field on QLineEdit (the find dialog's find-what field). What the
// user types changes the window text and reaches the parent as WM_COMMAND(EN_CHANGE); a text
// set by the program does not notify, as on the platform.
#include <QLineEdit>
#include <algorithm>
#include <memory>

#include "platform/system/controls/control_support.h"
#include "platform/system/controls/standard_controls.h"
#include "platform/system/edit_control.h"
#include "platform/system/window_host.h"

namespace platform::controls {
namespace {

constexpr UINT kSetSelection = 0x00B1;  // EM_SETSEL

struct EditRecord {
  HWND window = nullptr;        // the field's own window
  HFONT font = nullptr;         // the last WM_SETFONT handle, borrowed; only WM_GETFONT returns it
  QLineEdit* field = nullptr;   // the Qt field; the layer owns it
  std::unique_ptr<SignalReceiver> receiver;  // receives the field's signals; owned
};

// The user changed the text: the window text follows, then the parent hears of it.
void onUserEdit(HWND hwnd) {
  auto* record = recordOf<EditRecord>(hwnd);
  if (record == nullptr) return;
  const std::u16string text = widgets::toU16(record->field->text());
  DefWindowProc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  notifyParent(hwnd, EN_CHANGE);
}

LRESULT onCreate(HWND hwnd, const CREATESTRUCT* create) {
  auto record = std::make_unique<EditRecord>();
  record->window = hwnd;
  record->field = new QLineEdit;
  record->field->setText(widgets::toQString(textParameter(create->lpszName).c_str()));
  record->field->setEnabled((static_cast<DWORD>(create->style) & WS_DISABLED) == 0);
  record->receiver = std::make_unique<SignalReceiver>(hwnd);
  QObject::connect(record->field, &QLineEdit::textEdited, record->receiver.get(), [hwnd] { onUserEdit(hwnd); });
  widgets::attachWidget(hwnd, record->field, widgets::InputRouting::Native);
  storeRecord(hwnd, record.release());
  return 0;
}

QWidget* widgetOfRecord(const EditRecord& record) { return record.field; }

LRESULT handleEditMessage(HWND hwnd, EditRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTEXT: {
      const LRESULT stored = DefWindowProc(hwnd, WM_SETTEXT, wParam, lParam);
      record.field->setText(widgets::toQString(textParameter(lParam).c_str()));
      return stored;
    }
    case kSetSelection: {
      // start -1 removes the selection; an end below 0 means the end of the text.
      const auto start = static_cast<int32_t>(static_cast<uint32_t>(wParam));
      auto end = static_cast<int32_t>(static_cast<uint32_t>(lParam));
      const int length = static_cast<int>(record.field->text().size());
      if (start < 0) {
        record.field->deselect();
        return 0;
      }
      if (end < 0 || end > length) end = length;
      const int from = std::min(start, length);
      record.field->setSelection(from, end - from);
      return 0;
    }
    case EM_LIMITTEXT:
      record.field->setMaxLength(wParam == 0 ? 32767 : static_cast<int>(std::min<WPARAM>(wParam, 32767)));
      return 0;
    case WM_SETFOCUS:
      record.field->setFocus();
      return 0;
    default:
      return DefWindowProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace

LRESULT editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  static constexpr ControlProcedure<EditRecord> kProcedure{onCreate, widgetOfRecord, nullptr, nullptr, handleEditMessage};
  return runControlProcedure(kProcedure, hwnd, message, wParam, lParam);
}

}  // namespace platform::controls
