// "LISTBOX": a single-selection list (LBS_SORT sorts it, LBS_NOTIFY reports to the parent), on
// QListWidget. The record's entries and selection are the truth. With LBS_NOTIFY a click sends
// LBN_SELCHANGE when the button is released (even on the entry already selected, as the
// platform does), a keyboard move that changes the selection sends it at once, and a double
// click sends LBN_DBLCLK. A program's LB_SETCURSEL sends nothing. With LBS_WANTKEYBOARDINPUT
// every key goes to the parent first as WM_VKEYTOITEM; an answer of -2 uses it up.
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>
#include <memory>

#include "platform/system/controls/control_support.h"
#include "platform/system/controls/standard_controls.h"
#include "platform/system/controls/string_list.h"
#include "platform/system/window_host.h"

namespace platform::controls {
namespace {

inline constexpr DWORD kDisableNoScroll = 0x1000;  // LBS_DISABLENOSCROLL

class ListBoxWidget;

struct ListBoxRecord {
  HWND window = nullptr;          // the control's own window
  DWORD style = 0;                // LBS_* and WS_* bits given at creation
  StringList items;               // the entries, in list order, with their data
  int selection = -1;             // the selected entry, -1 for none
  HFONT font = nullptr;           // the last WM_SETFONT handle, borrowed; only WM_GETFONT returns it
  ListBoxWidget* list = nullptr;  // the Qt list; the layer owns it
  bool pressed = false;           // a left press began on the list; its release sends LBN_SELCHANGE
  bool syncing = false;           // the program is changing the Qt list; its signals are ignored
};

bool notifies(const ListBoxRecord& record) { return (record.style & LBS_NOTIFY) != 0; }

// The Qt list: the user's presses, releases, double clicks and keys pass through here so that
// the record learns the new selection and the parent its notifications.
class ListBoxWidget : public QListWidget {
 public:
  explicit ListBoxWidget(HWND window) : window_(window) {}
  void detach() { window_ = nullptr; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  ListBoxRecord* record() const { return recordOf<ListBoxRecord>(window_); }
  HWND window_;  // the control, or nullptr once it is destroyed
};

int selectedRowOf(const QListWidget& list) {
  const QList<QListWidgetItem*> selected = list.selectedItems();
  return selected.isEmpty() ? -1 : list.row(selected.first());
}

// The user moved the selection in the Qt list: the record follows.
void takeUserSelection(ListBoxRecord& record) {
  const int row = selectedRowOf(*record.list);
  record.selection = record.items.valid(row) ? row : -1;
}

// Makes the Qt list show the record's selection; `scroll` also brings it into view (as the
// selection messages do). Qt's selection moves with inserted and removed rows by itself, so
// most changes of the list find it right already.
void showSelection(ListBoxRecord& record, bool scroll) {
  QListWidget& list = *record.list;
  const bool shown = record.selection >= 0 ? list.currentRow() == record.selection && list.item(record.selection)->isSelected()
                                           : list.currentRow() == -1 && !list.selectionModel()->hasSelection();
  if (shown && !scroll) return;
  record.syncing = true;
  if (record.selection >= 0) {
    QListWidgetItem* item = list.item(record.selection);
    list.setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
    if (scroll) list.scrollToItem(item);
  } else {
    list.clearSelection();
    list.setCurrentRow(-1, QItemSelectionModel::Clear);
  }
  record.syncing = false;
}

void ListBoxWidget::mousePressEvent(QMouseEvent* event) {
  QListWidget::mousePressEvent(event);
  if (ListBoxRecord* r = record()) {
    takeUserSelection(*r);
    if (event->button() == Qt::LeftButton) r->pressed = true;
  }
}

void ListBoxWidget::mouseMoveEvent(QMouseEvent* event) {
  QListWidget::mouseMoveEvent(event);  // dragging with the button down moves the selection
  if (ListBoxRecord* r = record()) takeUserSelection(*r);
}

void ListBoxWidget::mouseReleaseEvent(QMouseEvent* event) {
  QListWidget::mouseReleaseEvent(event);
  ListBoxRecord* r = record();
  if (r == nullptr || event->button() != Qt::LeftButton || !r->pressed) return;
  r->pressed = false;
  takeUserSelection(*r);
  if (notifies(*r) && r->items.count() > 0) notifyParent(window_, LBN_SELCHANGE);
}

void ListBoxWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  QListWidget::mouseDoubleClickEvent(event);
  ListBoxRecord* r = record();
  if (r == nullptr || event->button() != Qt::LeftButton) return;
  // The second press of a double click does not begin a new click: its release sends nothing.
  r->pressed = false;
  takeUserSelection(*r);
  if (notifies(*r)) notifyParent(window_, LBN_DBLCLK);
}

void ListBoxWidget::keyPressEvent(QKeyEvent* event) {
  ListBoxRecord* r = record();
  const WORD vk = widgets::virtualKeyFromQtKey(event->key());
  if (r != nullptr && (r->style & LBS_WANTKEYBOARDINPUT) != 0 && vk != 0) {
    const int caret = currentRow();
    const LRESULT answer = SendMessage(GetParent(window_), WM_VKEYTOITEM,
                                       MAKEWPARAM(vk, static_cast<WORD>(caret < 0 ? 0 : caret)),
                                       reinterpret_cast<LPARAM>(window_));
    if (answer == -2) {
      event->accept();
      return;
    }
    r = record();  // the parent may have destroyed the list meanwhile
    if (r == nullptr) return;
  }
  const int before = r != nullptr ? r->selection : -1;
  QListWidget::keyPressEvent(event);
  r = record();
  if (r == nullptr) return;
  takeUserSelection(*r);
  if (r->selection != before && notifies(*r)) notifyParent(window_, LBN_SELCHANGE);
}

void configureList(ListBoxRecord& record) {
  QListWidget& list = *record.list;
  list.setSelectionMode(QAbstractItemView::SingleSelection);
  list.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);  // the scroll position is the top entry
  list.setEditTriggers(QAbstractItemView::NoEditTriggers);
  list.setUniformItemSizes(true);
  const bool border = (record.style & WS_BORDER) != 0;
  list.setFrameShape(border ? QFrame::StyledPanel : QFrame::NoFrame);
  const bool vertical = (record.style & WS_VSCROLL) != 0;
  list.setVerticalScrollBarPolicy(!vertical                           ? Qt::ScrollBarAlwaysOff
                                  : (record.style & kDisableNoScroll) ? Qt::ScrollBarAlwaysOn
                                                                      : Qt::ScrollBarAsNeeded);
  list.setHorizontalScrollBarPolicy((record.style & WS_HSCROLL) != 0 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  list.setEnabled((record.style & WS_DISABLED) == 0);
}

LRESULT onCreate(HWND hwnd, const CREATESTRUCT* create) {
  auto record = std::make_unique<ListBoxRecord>();
  record->window = hwnd;
  record->style = static_cast<DWORD>(create->style);
  record->list = new ListBoxWidget(hwnd);
  configureList(*record);
  widgets::attachWidget(hwnd, record->list, widgets::InputRouting::Native);
  storeRecord(hwnd, record.release());
  return 0;
}

LRESULT insertEntry(ListBoxRecord& record, int index, const std::u16string& text) {
  const int position = record.items.insert(index, text);
  if (position < 0) return LB_ERR;
  record.syncing = true;
  record.list->insertItem(position, widgets::toQString(text.c_str()));
  record.syncing = false;
  record.selection = StringList::selectionAfterInsertion(record.selection, position);
  showSelection(record, false);
  return position;
}

LRESULT onDeleteString(ListBoxRecord& record, int index) {
  if (!record.items.remove(index)) return LB_ERR;
  record.syncing = true;
  delete record.list->takeItem(index);
  record.syncing = false;
  record.selection = StringList::selectionAfterRemoval(record.selection, index);
  showSelection(record, false);
  return record.items.count();
}

LRESULT onResetContent(ListBoxRecord& record) {
  record.items.clear();
  record.syncing = true;
  record.list->clear();
  record.syncing = false;
  record.selection = -1;
  record.pressed = false;
  return 0;
}

// LB_SETCURSEL: -1 clears the selection and, like an index out of range, answers LB_ERR.
LRESULT onSetCurSel(ListBoxRecord& record, int index) {
  if (index != -1 && !record.items.valid(index)) return LB_ERR;
  record.selection = index;
  showSelection(record, true);
  return index >= 0 ? index : LB_ERR;
}

LRESULT onSelectString(ListBoxRecord& record, int start, const std::u16string& prefix) {
  const int found = record.items.find(start, prefix, false);
  if (found < 0) return LB_ERR;
  record.selection = found;
  showSelection(record, true);
  return found;
}

// The first visible entry: with per-entry scrolling the scroll bar's value is its index.
LRESULT onGetTopIndex(ListBoxRecord& record) {
  if (record.items.count() == 0) return 0;
  record.list->doItemsLayout();
  return record.list->verticalScrollBar()->value();
}

// LB_SETTOPINDEX scrolls as far as the list allows towards putting `index` at the top.
LRESULT onSetTopIndex(ListBoxRecord& record, int index) {
  if (record.items.count() == 0) return LB_OKAY;
  if (index < 0 || index >= record.items.count()) return LB_ERR;
  record.list->doItemsLayout();
  record.list->verticalScrollBar()->setValue(index);
  return LB_OKAY;
}

// LB_GETSEL / LB_SETSEL: the selection state of one entry; a single-selection list can only
// be asked.
LRESULT onGetSel(const ListBoxRecord& record, int index) {
  if (!record.items.valid(index)) return LB_ERR;
  return record.selection == index ? 1 : 0;
}

LRESULT onFocus(HWND hwnd, const ListBoxRecord& record, bool gained) {
  if (notifies(record)) notifyParent(hwnd, gained ? LBN_SETFOCUS : LBN_KILLFOCUS);
  return 0;
}

LRESULT handleListMessage(HWND hwnd, ListBoxRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
  const int index = static_cast<int>(static_cast<intptr_t>(wParam));
  switch (message) {
    case LB_ADDSTRING: {
      const std::u16string text = textParameter(lParam);
      const bool sorted = (record.style & LBS_SORT) != 0;
      return insertEntry(record, sorted ? record.items.sortedPosition(text) : -1, text);
    }
    case LB_INSERTSTRING:
      return insertEntry(record, index, textParameter(lParam));
    case LB_DELETESTRING:
      return onDeleteString(record, index);
    case LB_RESETCONTENT:
      return onResetContent(record);
    case LB_GETCOUNT:
      return record.items.count();
    case LB_GETCURSEL:
      return record.selection >= 0 ? record.selection : LB_ERR;
    case LB_SETCURSEL:
      return onSetCurSel(record, index);
    case LB_GETSEL:
      return onGetSel(record, index);
    case LB_SETSEL:
      return LB_ERR;  // only multiple-selection lists take it
    case LB_GETTEXT:
      if (!record.items.valid(index)) return LB_ERR;
      return copyWholeText(record.items.at(index).text, lParam);
    case LB_GETTEXTLEN:
      if (!record.items.valid(index)) return LB_ERR;
      return static_cast<LRESULT>(record.items.at(index).text.size());
    case LB_FINDSTRING:
      return record.items.find(index, textParameter(lParam), false);
    case LB_FINDSTRINGEXACT:
      return record.items.find(index, textParameter(lParam), true);
    case LB_SELECTSTRING:
      return onSelectString(record, index, textParameter(lParam));
    case LB_GETITEMDATA:
      if (!record.items.valid(index)) return LB_ERR;
      return record.items.at(index).data;
    case LB_SETITEMDATA:
      if (!record.items.valid(index)) return LB_ERR;
      record.items.at(index).data = lParam;
      return LB_OKAY;
    case LB_GETTOPINDEX:
      return onGetTopIndex(record);
    case LB_GETITEMHEIGHT:
      return std::max(1, toDevicePixels(record.list->sizeHintForRow(0) > 0 ? record.list->sizeHintForRow(0)
                                                                          : record.list->fontMetrics().height()));
    case LB_SETTOPINDEX:
      return onSetTopIndex(record, index);
    default:
      return DefWindowProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace

// The widget that shows the control.
QWidget* shownWidget(const ListBoxRecord& record) { return record.list; }
// Lets go of the widget's calls into the record before the record is deleted.
void detachWidget(ListBoxRecord& record) { record.list->detach(); }

LRESULT handleListBoxMessage(HWND hwnd, ListBoxRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS:
      return onFocus(hwnd, record, true);
    case WM_KILLFOCUS:
      return onFocus(hwnd, record, false);
    default:
      return handleListMessage(hwnd, record, message, wParam, lParam);
  }
}

LRESULT listBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  static constexpr ControlProcedure<ListBoxRecord> kProcedure{onCreate, shownWidget, detachWidget, nullptr,
                                                    handleListBoxMessage};
  return runControlProcedure(kProcedure, hwnd, message, wParam, lParam);
}

}  // namespace platform::controls
