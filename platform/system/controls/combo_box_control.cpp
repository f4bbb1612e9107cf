// "COMBOBOX" as a drop-down list (CBS_DROPDOWNLIST): the user picks an entry and cannot type.
// The record's entries and selection are the truth; the Qt combo box shows them. A choice by
// the user sends CBN_SELENDOK, CBN_CLOSEUP and CBN_SELCHANGE (a choice by keyboard on the
// closed list only CBN_SELCHANGE); a program's CB_SETCURSEL sends nothing.
#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QMetaObject>
#include <algorithm>
#include <memory>

#include "platform/system/controls/control_support.h"
#include "platform/system/controls/standard_controls.h"
#include "platform/system/controls/string_list.h"
#include "platform/system/window_host.h"

namespace platform::controls {
namespace {

class ComboWidget;

struct ComboBoxRecord {
  HWND window = nullptr;        // the control's own window
  DWORD style = 0;              // CBS_* and WS_* bits given at creation
  StringList items;             // the entries, in list order, with their data
  int selection = -1;           // the selected entry, -1 for none
  HFONT font = nullptr;         // the last WM_SETFONT handle, borrowed; only WM_GETFONT returns it
  ComboWidget* combo = nullptr; // the Qt combo box; the layer owns it
  QWidget* popup = nullptr;     // the combo box's drop-down window, owned by the combo box
  bool dropped = false;         // the drop-down list is showing (or being shown)
  bool closeOutcomePending = false;  // the list closed and no choice has been seen yet
  bool closingByProgram = false;     // CB_SHOWDROPDOWN(FALSE) is closing the list
  bool syncing = false;         // the program is changing the Qt combo box; its signals are ignored
  int droppedHeight = 0;        // device pixels from the top of the box to the bottom of the dropped list
  bool resizing = false;        // the control is setting its own height (its WM_SIZE is its own)
  std::unique_ptr<SignalReceiver> receiver;  // receives the widget's signals and the popup's events; owned
};

// The Qt combo box; it tells the record when its list is about to drop down.
class ComboWidget : public QComboBox {
 public:
  explicit ComboWidget(HWND window) : window_(window) {}
  void detach() { window_ = nullptr; }
  void showPopup() override;

 private:
  HWND window_;  // the control, or nullptr once it is destroyed
};

bool isSorted(const ComboBoxRecord& record) { return (record.style & CBS_SORT) != 0; }

// The height a program gives a drop-down list (in a dialog template too) is that of the box
// with its list dropped; the window itself is as high as the selection field, which depends on
// the font. The rest goes to the dropped list.
void keepFieldHeight(HWND hwnd, ComboBoxRecord& record) {
  if (record.resizing) return;
  const int field = std::max(1, toDevicePixels(record.combo->sizeHint().height()));
  const int itemHeight = std::max(1, toDevicePixels(record.combo->fontMetrics().height()));
  record.combo->setMaxVisibleItems(std::max(1, (record.droppedHeight - field) / itemHeight));
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  if (rect.bottom - rect.top == field) return;
  POINT topLeft{rect.left, rect.top};
  if (HWND parent = GetParent(hwnd)) ScreenToClient(parent, &topLeft);
  record.resizing = true;
  MoveWindow(hwnd, topLeft.x, topLeft.y, rect.right - rect.left, field, TRUE);
  record.resizing = false;
}

// Makes the Qt combo box show the record's selection. Qt selects the first entry of a list
// that was empty and picks a neighbour when the selected entry goes; the platform does neither.
void showSelection(ComboBoxRecord& record) {
  record.syncing = true;
  if (record.combo->currentIndex() != record.selection) record.combo->setCurrentIndex(record.selection);
  record.syncing = false;
}

void ComboWidget::showPopup() {
  auto* record = recordOf<ComboBoxRecord>(window_);
  if (record == nullptr || record->dropped) {
    QComboBox::showPopup();
    return;
  }
  const HWND hwnd = window_;
  notifyParent(hwnd, CBN_DROPDOWN);  // before the list shows, so the parent may still fill it
  if (!stillAlive(hwnd, record)) return;
  record->dropped = true;
  record->closeOutcomePending = false;
  QComboBox::showPopup();
  if (stillAlive(hwnd, record) && !record->popup->isVisible()) record->dropped = false;
}

// The list closed without a choice: the platform reports the cancelled selection end.
void finishCancelledClose(HWND hwnd) {
  auto* record = recordOf<ComboBoxRecord>(hwnd);
  if (record == nullptr || !record->closeOutcomePending) return;
  record->closeOutcomePending = false;
  notifyParent(hwnd, CBN_SELENDCANCEL);
  if (!stillAlive(hwnd, record)) return;
  notifyParent(hwnd, CBN_CLOSEUP);
}

void onPopupHidden(HWND hwnd, ComboBoxRecord& record) {
  if (!record.dropped) return;
  record.dropped = false;
  if (record.closingByProgram) {
    record.closingByProgram = false;
    record.closeOutcomePending = true;
    finishCancelledClose(hwnd);
    return;
  }
  // Qt hides the list before it reports the chosen entry (if any); the choice arrives within
  // the same event, so a close without one is known once that event is done.
  record.closeOutcomePending = true;
  QMetaObject::invokeMethod(record.receiver.get(), [hwnd] { finishCancelledClose(hwnd); }, Qt::QueuedConnection);
}

bool popupEventFilter(HWND hwnd, QObject* watched, QEvent* event) {
  auto* record = recordOf<ComboBoxRecord>(hwnd);
  if (record != nullptr && watched == record->popup && event->type() == QEvent::Hide) onPopupHidden(hwnd, *record);
  return false;
}

// The user chose entry `index` (from the list, by keyboard or by the wheel).
void onUserChoice(HWND hwnd, int index) {
  auto* record = recordOf<ComboBoxRecord>(hwnd);
  if (record == nullptr || record->syncing) return;
  record->selection = record->items.valid(index) ? index : -1;
  if (record->closeOutcomePending) {
    record->closeOutcomePending = false;
    notifyParent(hwnd, CBN_SELENDOK);
    if (!stillAlive(hwnd, record)) return;
    notifyParent(hwnd, CBN_CLOSEUP);
    if (!stillAlive(hwnd, record)) return;
  }
  notifyParent(hwnd, CBN_SELCHANGE);
}

// Any other change of Qt's current entry that the program did not make keeps the record true.
void onCurrentIndexChanged(HWND hwnd, int index) {
  auto* record = recordOf<ComboBoxRecord>(hwnd);
  if (record == nullptr || record->syncing) return;
  record->selection = record->items.valid(index) ? index : -1;
}

LRESULT onCreate(HWND hwnd, const CREATESTRUCT* create) {
  auto record = std::make_unique<ComboBoxRecord>();
  record->window = hwnd;
  record->style = static_cast<DWORD>(create->style);
  record->combo = new ComboWidget(hwnd);
  record->combo->setEditable(false);
  record->combo->setInsertPolicy(QComboBox::NoInsert);
  record->combo->setEnabled((record->style & WS_DISABLED) == 0);
  record->popup = record->combo->view()->window();
  record->receiver = std::make_unique<SignalReceiver>(hwnd, popupEventFilter);
  record->popup->installEventFilter(record->receiver.get());
  QObject::connect(record->combo, &QComboBox::activated, record->receiver.get(),
                   [hwnd](int index) { onUserChoice(hwnd, index); });
  QObject::connect(record->combo, &QComboBox::currentIndexChanged, record->receiver.get(),
                   [hwnd](int index) { onCurrentIndexChanged(hwnd, index); });
  record->droppedHeight = std::max(0, create->cy);
  widgets::attachWidget(hwnd, record->combo, widgets::InputRouting::Native);
  ComboBoxRecord* kept = record.release();
  storeRecord(hwnd, kept);
  keepFieldHeight(hwnd, *kept);
  return 0;
}

LRESULT insertEntry(ComboBoxRecord& record, int index, const std::u16string& text) {
  const int position = record.items.insert(index, text);
  if (position < 0) return CB_ERR;
  record.syncing = true;
  record.combo->insertItem(position, widgets::toQString(text.c_str()));
  record.syncing = false;
  record.selection = StringList::selectionAfterInsertion(record.selection, position);
  showSelection(record);
  return position;
}

LRESULT onDeleteString(ComboBoxRecord& record, int index) {
  if (!record.items.remove(index)) return CB_ERR;
  record.syncing = true;
  record.combo->removeItem(index);
  record.syncing = false;
  record.selection = StringList::selectionAfterRemoval(record.selection, index);
  showSelection(record);
  return record.items.count();
}

LRESULT onResetContent(ComboBoxRecord& record) {
  record.items.clear();
  record.syncing = true;
  record.combo->clear();
  record.syncing = false;
  record.selection = -1;
  showSelection(record);
  return CB_OKAY;
}

// CB_SETCURSEL: an index out of range (-1 included) clears the selection and answers CB_ERR.
LRESULT onSetCurSel(ComboBoxRecord& record, int index) {
  record.selection = record.items.valid(index) ? index : -1;
  showSelection(record);
  return record.selection >= 0 ? record.selection : CB_ERR;
}

LRESULT onSelectString(ComboBoxRecord& record, int start, const std::u16string& prefix) {
  const int found = record.items.find(start, prefix, false);
  if (found < 0) return CB_ERR;
  record.selection = found;
  showSelection(record);
  return found;
}

std::u16string selectedText(const ComboBoxRecord& record) {
  return record.items.valid(record.selection) ? record.items.at(record.selection).text : std::u16string();
}

LRESULT onShowDropDown(HWND hwnd, ComboBoxRecord& record, bool show) {
  if (show) {
    if (!record.dropped) record.combo->showPopup();
  } else if (record.dropped) {
    record.closingByProgram = true;
    record.combo->hidePopup();
    if (stillAlive(hwnd, &record)) record.closingByProgram = false;
  }
  return TRUE;
}

// Focus: CBN_SETFOCUS / CBN_KILLFOCUS. (The drop-down list's desktop focus belongs to the combo
// box, so dropping down changes nothing here.)
LRESULT onFocus(HWND hwnd, bool gained) {
  notifyParent(hwnd, gained ? CBN_SETFOCUS : CBN_KILLFOCUS);
  return 0;
}

LRESULT handleListMessage(HWND hwnd, ComboBoxRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
  const int index = static_cast<int>(static_cast<intptr_t>(wParam));
  switch (message) {
    case CB_ADDSTRING: {
      const std::u16string text = textParameter(lParam);
      return insertEntry(record, isSorted(record) ? record.items.sortedPosition(text) : -1, text);
    }
    case CB_INSERTSTRING:
      return insertEntry(record, index, textParameter(lParam));
    case CB_DELETESTRING:
      return onDeleteString(record, index);
    case CB_RESETCONTENT:
      return onResetContent(record);
    case CB_GETCOUNT:
      return record.items.count();
    case CB_GETCURSEL:
      return record.selection >= 0 ? record.selection : CB_ERR;
    case CB_SETCURSEL:
      return onSetCurSel(record, index);
    case CB_GETLBTEXT:
      if (!record.items.valid(index)) return CB_ERR;
      return copyWholeText(record.items.at(index).text, lParam);
    case CB_GETLBTEXTLEN:
      if (!record.items.valid(index)) return CB_ERR;
      return static_cast<LRESULT>(record.items.at(index).text.size());
    case CB_FINDSTRING:
      return record.items.find(index, textParameter(lParam), false);
    case CB_FINDSTRINGEXACT:
      return record.items.find(index, textParameter(lParam), true);
    case CB_SELECTSTRING:
      return onSelectString(record, index, textParameter(lParam));
    case CB_GETITEMDATA:
      if (!record.items.valid(index)) return CB_ERR;
      return record.items.at(index).data;
    case CB_SETITEMDATA:
      if (!record.items.valid(index)) return CB_ERR;
      record.items.at(index).data = lParam;
      return CB_OKAY;
    case CB_SHOWDROPDOWN:
      return onShowDropDown(hwnd, record, wParam != 0);
    case CB_GETDROPPEDSTATE:
      return record.dropped ? TRUE : FALSE;
    case CB_GETEDITSEL:
      return CB_ERR;  // a drop-down list has no edit field
    default:
      return DefWindowProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace

// The widget that shows the control.
QWidget* shownWidget(const ComboBoxRecord& record) { return record.combo; }
// Lets go of the widget's calls into the record before the record is deleted.
void detachWidget(ComboBoxRecord& record) { record.combo->detach(); }

LRESULT handleComboBoxMessage(HWND hwnd, ComboBoxRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETTEXT:
      return copyTextOut(selectedText(record), wParam, lParam);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(selectedText(record).size());
    case WM_SETTEXT:
      return CB_ERR;  // a combo box without an edit field has no text of its own to set
    case WM_SIZE:
      if (!record.resizing) {
        // A program's new height is again that of the box with its list dropped.
        record.droppedHeight = HIWORD(static_cast<uintptr_t>(lParam));
        keepFieldHeight(hwnd, record);
      }
      return 0;
    case WM_SETFOCUS:
      return onFocus(hwnd, true);
    case WM_KILLFOCUS:
      return onFocus(hwnd, false);
    default:
      return handleListMessage(hwnd, record, message, wParam, lParam);
  }
}

LRESULT comboBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  static constexpr ControlProcedure<ComboBoxRecord> kProcedure{onCreate, shownWidget, detachWidget, keepFieldHeight,
                                                    handleComboBoxMessage};
  return runControlProcedure(kProcedure, hwnd, message, wParam, lParam);
}

}  // namespace platform::controls
