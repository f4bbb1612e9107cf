// "SysListView32": the report view (columns with headers) and the list view, on QTreeView and
// QListView over ListViewModel. The model's item states are the truth; the Qt selection shows
// them. Every change of an item's state, by the program or by the user, is reported to the
// parent as LVN_ITEMCHANGING (a non-zero answer refuses it) and LVN_ITEMCHANGED; the items that
// lose a state are reported before those that gain one. Clicks send NM_CLICK and NM_DBLCLK,
// Enter outside a dialog NM_RETURN.
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <memory>
#include <vector>

#include "platform/system/controls/control_support.h"
#include "platform/system/controls/list_view_model.h"
#include "platform/system/controls/standard_controls.h"
#include "platform/system/window_host.h"

namespace platform::controls {
namespace {

inline constexpr UINT kStateBits = LVIS_SELECTED | LVIS_FOCUSED;  // the states the control keeps
inline constexpr DWORD kViewTypeMask = 0x0003;                    // LVS_TYPEMASK

class ListViewEvents;

struct ListViewRecord {
  HWND window = nullptr;            // the control's own window
  DWORD style = 0;                  // LVS_* and WS_* bits given at creation
  DWORD extendedStyle = 0;          // LVS_EX_* bits (LVM_SETEXTENDEDLISTVIEWSTYLE)
  ListViewModel* model = nullptr;   // items and columns; owned by the view (its Qt child)
  QAbstractItemView* view = nullptr;  // the Qt view (report or list); the layer owns it
  ListViewEvents* events = nullptr;   // the same view, seen as the class that forwards its input
  HFONT font = nullptr;             // the last WM_SETFONT handle, borrowed; only WM_GETFONT returns it
  int listColumnWidth = 0;          // the column width of the list view (not report), device pixels
  bool pressed = false;             // a left press began on the view; its release sends NM_CLICK
  bool syncing = false;             // the control is changing the Qt selection; its signals are ignored
  int userEventDepth = 0;           // > 0 while a desktop input event is being handled
  std::unique_ptr<SignalReceiver> receiver;  // receives the selection model's signals; owned
};

bool isReport(const ListViewRecord& record) { return (record.style & kViewTypeMask) == LVS_REPORT; }
bool isSingleSelection(const ListViewRecord& record) { return (record.style & LVS_SINGLESEL) != 0; }

// ---------------------------------------------------------------------------------------------
// States and their notifications
// ---------------------------------------------------------------------------------------------

LRESULT sendItemNotification(HWND hwnd, UINT code, int item, UINT oldState, UINT newState, UINT changed, LPARAM param) {
  NMLISTVIEW info{};
  info.iItem = item;
  info.uOldState = oldState;
  info.uNewState = newState;
  info.uChanged = changed;
  info.lParam = param;
  return notifyParent(hwnd, code, &info.hdr);
}

// Makes the Qt view show the model's states.
void showStates(ListViewRecord& record) {
  QItemSelectionModel* selection = record.view->selectionModel();
  if (selection == nullptr) return;
  record.syncing = true;
  QItemSelection selected;
  QModelIndex focused;
  const int lastColumn = std::max(0, record.model->columnCount() - 1);
  for (int i = 0; i < record.model->itemCount(); ++i) {
    const UINT state = record.model->item(i).state;
    if (state & LVIS_SELECTED) selected.select(record.model->index(i, 0), record.model->index(i, lastColumn));
    if (state & LVIS_FOCUSED) focused = record.model->index(i, 0);
  }
  selection->select(selected, QItemSelectionModel::ClearAndSelect);
  selection->setCurrentIndex(focused, QItemSelectionModel::NoUpdate);
  record.syncing = false;
}

// Gives the items the states in `wanted` (one per item), reporting each change to the parent.
// Returns false when a notification destroyed the control.
bool changeStates(HWND hwnd, ListViewRecord& record, const std::vector<UINT>& wanted) {
  std::vector<int> losing;
  std::vector<int> gaining;
  for (int i = 0; i < record.model->itemCount() && i < static_cast<int>(wanted.size()); ++i) {
    const UINT old = record.model->item(i).state;
    const UINT now = wanted[static_cast<size_t>(i)] & kStateBits;
    if (old == now) continue;
    ((now & ~old) == 0 ? losing : gaining).push_back(i);
  }
  losing.insert(losing.end(), gaining.begin(), gaining.end());
  for (int index : losing) {
    // A handler may have removed items meanwhile; the ones that are gone need nothing more.
    if (!record.model->validItem(index) || static_cast<size_t>(index) >= wanted.size()) continue;
    const ListViewItem& item = record.model->item(index);
    const UINT old = item.state;
    const UINT now = wanted[static_cast<size_t>(index)] & kStateBits;
    if (old == now) continue;
    const LRESULT refused = sendItemNotification(hwnd, LVN_ITEMCHANGING, index, old, now, LVIF_STATE, item.param);
    if (!stillAlive(hwnd, &record)) return false;
    if (refused != 0 || !record.model->validItem(index)) continue;
    record.model->setItemState(index, now);
    sendItemNotification(hwnd, LVN_ITEMCHANGED, index, old, now, LVIF_STATE, record.model->item(index).param);
    if (!stillAlive(hwnd, &record)) return false;
  }
  showStates(record);
  return true;
}

std::vector<UINT> currentStates(const ListViewRecord& record) {
  std::vector<UINT> states;
  states.reserve(static_cast<size_t>(record.model->itemCount()));
  for (int i = 0; i < record.model->itemCount(); ++i) states.push_back(record.model->item(i).state);
  return states;
}

// The states the user gave the items in the Qt view.
std::vector<UINT> statesShownByView(const ListViewRecord& record) {
  std::vector<UINT> states(static_cast<size_t>(record.model->itemCount()), 0);
  QItemSelectionModel* selection = record.view->selectionModel();
  if (selection == nullptr) return currentStates(record);
  for (int i = 0; i < record.model->itemCount(); ++i) {
    if (selection->isRowSelected(i, QModelIndex())) states[static_cast<size_t>(i)] |= LVIS_SELECTED;
  }
  const QModelIndex current = selection->currentIndex();
  if (current.isValid() && record.model->validItem(current.row())) states[static_cast<size_t>(current.row())] |= LVIS_FOCUSED;
  return states;
}

bool takeUserStates(HWND hwnd, ListViewRecord& record) { return changeStates(hwnd, record, statesShownByView(record)); }

// The selection model changed outside an input event the view forwards (those take the new
// states themselves once Qt is done with them).
void onQtSelectionChanged(HWND hwnd) {
  auto* record = recordOf<ListViewRecord>(hwnd);
  if (record == nullptr || record->syncing || record->userEventDepth > 0) return;
  takeUserStates(hwnd, *record);
}

// ---------------------------------------------------------------------------------------------
// The Qt views
// ---------------------------------------------------------------------------------------------

// What the view's input handlers call once Qt has handled an event.
class ListViewEvents {
 public:
  explicit ListViewEvents(HWND window) : window_(window) {}
  virtual ~ListViewEvents() = default;
  void detach() { window_ = nullptr; }
  // The width that the texts of a column need (LVSCW_AUTOSIZE), in desktop pixels.
  virtual int contentsWidth(int column) const = 0;

 protected:
  HWND window() const { return window_; }
  ListViewRecord* record() const { return recordOf<ListViewRecord>(window_); }
  void beginUserEvent() {
    if (ListViewRecord* r = record()) ++r->userEventDepth;
  }
  // Takes the user's states; false when the control is gone.
  bool endUserEvent() {
    ListViewRecord* r = record();
    if (r == nullptr) return false;
    --r->userEventDepth;
    return takeUserStates(window_, *r);
  }
  void sendClick(UINT code, QAbstractItemView& view, const QPoint& viewportPosition);

 private:
  HWND window_;  // the control, or nullptr once it is destroyed
};

void ListViewEvents::sendClick(UINT code, QAbstractItemView& view, const QPoint& viewportPosition) {
  const QModelIndex hit = view.indexAt(viewportPosition);
  const QPoint inControl = view.viewport()->mapTo(&view, viewportPosition);
  NMLISTVIEW info{};
  info.iItem = hit.isValid() ? hit.row() : -1;
  info.iSubItem = hit.isValid() ? hit.column() : 0;
  info.ptAction = POINT{toDevicePixels(inControl.x()), toDevicePixels(inControl.y())};
  notifyParent(window_, code, &info.hdr);
}

template <typename View>
class ListViewWidget : public View, public ListViewEvents {
 public:
  explicit ListViewWidget(HWND window) : ListViewEvents(window) {}
  int contentsWidth(int column) const override { return View::sizeHintForColumn(column); }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    beginUserEvent();
    View::mousePressEvent(event);
    if (!endUserEvent()) return;
    if (event->button() == Qt::LeftButton) record()->pressed = true;
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    beginUserEvent();
    View::mouseMoveEvent(event);
    endUserEvent();
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    beginUserEvent();
    View::mouseReleaseEvent(event);
    if (!endUserEvent()) return;
    ListViewRecord* r = record();
    if (event->button() != Qt::LeftButton || !r->pressed) return;
    r->pressed = false;
    sendClick(NM_CLICK, *this, event->position().toPoint());
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    beginUserEvent();
    View::mouseDoubleClickEvent(event);
    if (!endUserEvent()) return;
    if (event->button() != Qt::LeftButton) return;
    record()->pressed = false;  // the second release of a double click is no click of its own
    sendClick(NM_DBLCLK, *this, event->position().toPoint());
  }
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      // In a dialog Enter belongs to the dialog (its default button); elsewhere it is NM_RETURN.
      if (record() == nullptr || parentIsDialog(window())) {
        event->ignore();
        return;
      }
      NMHDR header{};
      notifyParent(window(), NM_RETURN, &header);
      event->accept();
      return;
    }
    beginUserEvent();
    View::keyPressEvent(event);
    endUserEvent();
  }
  void focusInEvent(QFocusEvent* event) override {
    // Qt makes the first item current when a view without one gains the focus; the platform's
    // list view focuses no item until the user moves: that change is not taken, and undone.
    ListViewRecord* r = record();
    if (r != nullptr) r->syncing = true;
    View::focusInEvent(event);
    r = record();
    if (r == nullptr) return;
    r->syncing = false;
    showStates(*r);
  }
};

// Draws the selection over the first column only, unless the list selects full rows.
class SelectionDelegate : public QStyledItemDelegate {
 public:
  explicit SelectionDelegate(QObject* parent) : QStyledItemDelegate(parent) {}
  void setFullRow(bool fullRow) { fullRow_ = fullRow; }

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (!fullRow_ && index.column() > 0) option->state &= ~QStyle::State_Selected;
  }

 private:
  bool fullRow_ = false;  // LVS_EX_FULLROWSELECT
};

QAbstractItemView* createView(ListViewRecord& record, HWND hwnd) {
  QAbstractItemView* view = nullptr;
  if (isReport(record)) {
    auto* tree = new ListViewWidget<QTreeView>(hwnd);
    tree->setRootIsDecorated(false);
    tree->setItemsExpandable(false);
    tree->setUniformRowHeights(true);
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionsMovable(false);
    tree->setHeaderHidden((record.style & LVS_NOCOLUMNHEADER) != 0);
    record.events = tree;
    view = tree;
  } else {
    auto* list = new ListViewWidget<QListView>(hwnd);
    list->setViewMode(QListView::ListMode);
    list->setFlow((record.style & kViewTypeMask) == LVS_LIST ? QListView::TopToBottom : QListView::LeftToRight);
    list->setWrapping(true);
    list->setResizeMode(QListView::Adjust);
    list->setUniformItemSizes(true);
    record.events = list;
    view = list;
  }
  record.model = new ListViewModel(isReport(record), view);
  view->setModel(record.model);
  view->setItemDelegate(new SelectionDelegate(view));
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(isSingleSelection(record) ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  const bool border = (record.style & WS_BORDER) != 0;
  view->setFrameShape(border ? QFrame::StyledPanel : QFrame::NoFrame);
  if ((record.style & LVS_SHOWSELALWAYS) == 0) {
    // Without LVS_SHOWSELALWAYS the selection is hidden while the list has no focus.
    QPalette palette = view->palette();
    palette.setBrush(QPalette::Inactive, QPalette::Highlight, palette.brush(QPalette::Inactive, QPalette::Base));
    palette.setBrush(QPalette::Inactive, QPalette::HighlightedText, palette.brush(QPalette::Inactive, QPalette::Text));
    view->setPalette(palette);
  }
  view->setEnabled((record.style & WS_DISABLED) == 0);
  return view;
}

void applyExtendedStyle(ListViewRecord& record) {
  const bool fullRow = (record.extendedStyle & LVS_EX_FULLROWSELECT) != 0;
  static_cast<SelectionDelegate*>(record.view->itemDelegate())->setFullRow(fullRow);
  if (auto* tree = qobject_cast<QTreeView*>(record.view)) tree->setAllColumnsShowFocus(fullRow);
  record.view->viewport()->update();
}

LRESULT onCreate(HWND hwnd, const CREATESTRUCT* create) {
  auto record = std::make_unique<ListViewRecord>();
  record->window = hwnd;
  record->style = static_cast<DWORD>(create->style);
  record->view = createView(*record, hwnd);
  applyExtendedStyle(*record);
  record->receiver = std::make_unique<SignalReceiver>(hwnd);
  QItemSelectionModel* selection = record->view->selectionModel();
  QObject::connect(selection, &QItemSelectionModel::selectionChanged, record->receiver.get(), [hwnd] { onQtSelectionChanged(hwnd); });
  QObject::connect(selection, &QItemSelectionModel::currentChanged, record->receiver.get(), [hwnd] { onQtSelectionChanged(hwnd); });
  widgets::attachWidget(hwnd, record->view, widgets::InputRouting::Native);
  storeRecord(hwnd, record.release());
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Columns
// ---------------------------------------------------------------------------------------------

void showColumnWidth(ListViewRecord& record, int column) {
  if (auto* tree = qobject_cast<QTreeView*>(record.view)) {
    tree->header()->resizeSection(column, toDesktopPixels(record.model->column(column).width));
  }
}

LRESULT onInsertColumn(ListViewRecord& record, int index, const LVCOLUMN* info) {
  if (info == nullptr || index < 0) return -1;
  index = std::min(index, record.model->columnTotal());
  ListViewColumn column;
  if ((info->mask & LVCF_TEXT) != 0) column.text = textParameter(info->pszText);
  if ((info->mask & LVCF_WIDTH) != 0) column.width = std::max(0, info->cx);
  if ((info->mask & LVCF_FMT) != 0) column.format = info->fmt;
  record.model->insertColumn(index, std::move(column));
  for (int i = index; i < record.model->columnTotal(); ++i) showColumnWidth(record, i);
  return index;
}

// The width a column has now: the user may have dragged its header edge.
int columnWidthNow(const ListViewRecord& record, int column) {
  if (auto* tree = qobject_cast<QTreeView*>(record.view)) return toDevicePixels(tree->header()->sectionSize(column));
  return record.model->column(column).width;
}

LRESULT onSetColumnWidth(ListViewRecord& record, int index, int width) {
  if (!isReport(record)) {
    // The list view has one width for all its columns.
    if (index != 0 || width < 0) return FALSE;
    record.listColumnWidth = width;
    if (auto* list = qobject_cast<QListView*>(record.view)) {
      list->setGridSize(QSize(toDesktopPixels(width), list->fontMetrics().height() + 4));
    }
    return TRUE;
  }
  if (!record.model->validColumn(index)) return FALSE;
  auto* tree = static_cast<QTreeView*>(record.view);
  if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
    const int contents = record.events->contentsWidth(index);
    const int header = width == LVSCW_AUTOSIZE_USEHEADER ? tree->header()->sectionSizeHint(index) : 0;
    tree->header()->resizeSection(index, std::max(contents, header));
    record.model->setColumnWidth(index, toDevicePixels(tree->header()->sectionSize(index)));
    return TRUE;
  }
  if (width < 0) return FALSE;
  record.model->setColumnWidth(index, width);
  showColumnWidth(record, index);
  return TRUE;
}

LRESULT onGetColumn(const ListViewRecord& record, int index, LVCOLUMN* info) {
  if (info == nullptr || !record.model->validColumn(index)) return FALSE;
  const ListViewColumn& column = record.model->column(index);
  if (info->mask & LVCF_FMT) info->fmt = column.format;
  if (info->mask & LVCF_WIDTH) info->cx = columnWidthNow(record, index);
  if (info->mask & LVCF_TEXT) copyTextOut(column.text, static_cast<WPARAM>(std::max(0, info->cchTextMax)), reinterpret_cast<LPARAM>(info->pszText));
  if (info->mask & LVCF_SUBITEM) info->iSubItem = index;
  return TRUE;
}

LRESULT onSetColumn(ListViewRecord& record, int index, const LVCOLUMN* info) {
  if (info == nullptr || !record.model->validColumn(index)) return FALSE;
  ListViewColumn column = record.model->column(index);
  if (info->mask & LVCF_FMT) column.format = info->fmt;
  if (info->mask & LVCF_WIDTH) column.width = std::max(0, info->cx);
  if (info->mask & LVCF_TEXT) column.text = textParameter(info->pszText);
  record.model->setColumn(index, std::move(column));
  if (info->mask & LVCF_WIDTH) showColumnWidth(record, index);
  return TRUE;
}

LRESULT onDeleteColumn(ListViewRecord& record, int index) {
  // The first column holds the items' own texts and stays.
  if (index <= 0 || !record.model->validColumn(index)) return FALSE;
  record.model->removeColumn(index);
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Items
// ---------------------------------------------------------------------------------------------

// A sub-item the control can hold: the item's own text, or a column of the report view.
bool validSubItem(const ListViewRecord& record, int subItem) {
  return subItem == 0 || (subItem > 0 && subItem < record.model->columnTotal());
}

// The states after the program asks for `state` within `mask` on `index` (-1: every item),
// or false when the platform refuses the request.
bool requestedStates(const ListViewRecord& record, int index, UINT state, UINT mask, std::vector<UINT>& states) {
  mask &= kStateBits;
  state &= mask;
  states = currentStates(record);
  if (index == -1) {
    if ((state & LVIS_SELECTED) && isSingleSelection(record)) return false;  // no "select all"
    if (state & LVIS_FOCUSED) return false;                                   // no "focus all"
    for (UINT& s : states) s = (s & ~mask) | state;
    return true;
  }
  if (!record.model->validItem(index)) return false;
  UINT& target = states[static_cast<size_t>(index)];
  target = (target & ~mask) | state;
  for (size_t i = 0; i < states.size(); ++i) {
    if (static_cast<int>(i) == index) continue;
    // One focused item; one selected item in a single-selection list.
    if (state & LVIS_FOCUSED) states[i] &= ~LVIS_FOCUSED;
    if ((state & LVIS_SELECTED) && isSingleSelection(record)) states[i] &= ~LVIS_SELECTED;
  }
  return true;
}

LRESULT onSetItemState(HWND hwnd, ListViewRecord& record, int index, const LVITEM* info) {
  if (info == nullptr) return FALSE;
  std::vector<UINT> states;
  if (!requestedStates(record, index, info->state, info->stateMask, states)) return FALSE;
  changeStates(hwnd, record, states);
  return TRUE;
}

LRESULT onInsertItem(HWND hwnd, ListViewRecord& record, const LVITEM* info) {
  if (info == nullptr || info->iSubItem != 0 || info->iItem < 0) return -1;
  ListViewItem item;
  item.texts.push_back((info->mask & LVIF_TEXT) != 0 ? textParameter(info->pszText) : std::u16string());
  if (info->mask & LVIF_PARAM) item.param = info->lParam;
  const bool ascending = (record.style & LVS_SORTASCENDING) != 0;
  const bool descending = (record.style & LVS_SORTDESCENDING) != 0;
  const int position = ascending || descending ? record.model->sortedPosition(item.texts[0], descending)
                                               : std::min(info->iItem, record.model->itemCount());
  const LPARAM param = item.param;
  // Qt's selection moves along with the rows, as the states do: nothing to show again.
  record.syncing = true;
  record.model->insertItem(position, std::move(item));
  record.syncing = false;
  // The new item takes the states it was given; others give up what only one item may have.
  if ((info->mask & LVIF_STATE) != 0 && (info->state & info->stateMask & kStateBits) != 0) {
    std::vector<UINT> states;
    if (requestedStates(record, position, info->state, info->stateMask, states)) {
      record.model->setItemState(position, states[static_cast<size_t>(position)]);
      if (!changeStates(hwnd, record, states)) return position;
    }
  }
  sendItemNotification(hwnd, LVN_INSERTITEM, position, 0, 0, 0, param);
  return position;
}

// Text and value changes of an item (sub-item 0) are reported like state changes; sub-item
// texts are not.
LRESULT onSetItem(HWND hwnd, ListViewRecord& record, const LVITEM* info) {
  if (info == nullptr || !record.model->validItem(info->iItem) || !validSubItem(record, info->iSubItem)) return FALSE;
  const int index = info->iItem;
  if (info->iSubItem > 0) {
    if (info->mask & LVIF_TEXT) record.model->setItemText(index, info->iSubItem, textParameter(info->pszText));
    return TRUE;
  }
  const ListViewItem& item = record.model->item(index);
  UINT changed = 0;
  std::u16string text;
  if (info->mask & LVIF_TEXT) {
    text = textParameter(info->pszText);
    if (text != item.text(0)) changed |= LVIF_TEXT;
  }
  if ((info->mask & LVIF_PARAM) && info->lParam != item.param) changed |= LVIF_PARAM;
  if (changed != 0) {
    const UINT state = item.state;
    if (sendItemNotification(hwnd, LVN_ITEMCHANGING, index, state, state, changed, item.param) != 0) return FALSE;
    if (!stillAlive(hwnd, &record) || !record.model->validItem(index)) return FALSE;
    if (changed & LVIF_TEXT) record.model->setItemText(index, 0, std::move(text));
    if (changed & LVIF_PARAM) record.model->setItemParam(index, info->lParam);
    sendItemNotification(hwnd, LVN_ITEMCHANGED, index, state, state, changed, record.model->item(index).param);
    if (!stillAlive(hwnd, &record) || !record.model->validItem(index)) return TRUE;
  }
  if (info->mask & LVIF_STATE) return onSetItemState(hwnd, record, index, info);
  return TRUE;
}

LRESULT onSetItemText(HWND hwnd, ListViewRecord& record, int index, const LVITEM* info) {
  if (info == nullptr) return FALSE;
  LVITEM change{};
  change.mask = LVIF_TEXT;
  change.iItem = index;
  change.iSubItem = info->iSubItem;
  change.pszText = info->pszText;
  return onSetItem(hwnd, record, &change);
}

LRESULT onGetItem(const ListViewRecord& record, LVITEM* info) {
  if (info == nullptr || !record.model->validItem(info->iItem) || !validSubItem(record, info->iSubItem)) return FALSE;
  const ListViewItem& item = record.model->item(info->iItem);
  if (info->mask & LVIF_TEXT) {
    copyTextOut(item.text(info->iSubItem), static_cast<WPARAM>(std::max(0, info->cchTextMax)), reinterpret_cast<LPARAM>(info->pszText));
  }
  if ((info->mask & LVIF_PARAM) && info->iSubItem == 0) info->lParam = item.param;
  if (info->mask & LVIF_STATE) info->state = item.state & info->stateMask;
  return TRUE;
}

// LVM_GETITEMTEXT answers the number of units copied.
LRESULT onGetItemText(const ListViewRecord& record, int index, LVITEM* info) {
  if (info == nullptr || !record.model->validItem(index) || !validSubItem(record, info->iSubItem)) return 0;
  return copyTextOut(record.model->item(index).text(info->iSubItem), static_cast<WPARAM>(std::max(0, info->cchTextMax)),
                     reinterpret_cast<LPARAM>(info->pszText));
}

LRESULT onDeleteItem(HWND hwnd, ListViewRecord& record, int index) {
  if (!record.model->validItem(index)) return FALSE;
  sendItemNotification(hwnd, LVN_DELETEITEM, index, 0, 0, 0, record.model->item(index).param);
  if (!stillAlive(hwnd, &record) || !record.model->validItem(index)) return FALSE;
  // Qt moves the current index to a neighbour of a removed row; the platform focuses nothing.
  record.syncing = true;
  record.model->removeItem(index);
  record.syncing = false;
  showStates(record);
  return TRUE;
}

// LVN_DELETEALLITEMS first; unless the parent answers TRUE, LVN_DELETEITEM for every item,
// the last one first.
LRESULT onDeleteAllItems(HWND hwnd, ListViewRecord& record) {
  const LRESULT suppress = sendItemNotification(hwnd, LVN_DELETEALLITEMS, -1, 0, 0, 0, 0);
  if (!stillAlive(hwnd, &record)) return TRUE;
  if (suppress == 0) {
    for (int i = record.model->itemCount() - 1; i >= 0; --i) {
      if (!record.model->validItem(i)) continue;
      sendItemNotification(hwnd, LVN_DELETEITEM, i, 0, 0, 0, record.model->item(i).param);
      if (!stillAlive(hwnd, &record)) return TRUE;
    }
  }
  record.syncing = true;
  record.model->removeAllItems();
  record.syncing = false;
  record.pressed = false;
  return TRUE;
}

LRESULT onGetNextItem(const ListViewRecord& record, int start, UINT flags) {
  UINT wanted = 0;
  if (flags & LVNI_SELECTED) wanted |= LVIS_SELECTED;
  if (flags & LVNI_FOCUSED) wanted |= LVIS_FOCUSED;
  if (start < -1) start = -1;
  for (int i = start + 1; i < record.model->itemCount(); ++i) {
    if ((record.model->item(i).state & wanted) == wanted) return i;
  }
  return -1;
}

LRESULT onGetSelectedCount(const ListViewRecord& record) {
  int count = 0;
  for (int i = 0; i < record.model->itemCount(); ++i) {
    if (record.model->item(i).state & LVIS_SELECTED) ++count;
  }
  return count;
}

LRESULT onFindItem(const ListViewRecord& record, int start, const LVFINDINFO* find) {
  if (find == nullptr) return -1;
  const int total = record.model->itemCount();
  if (total == 0) return -1;
  if (start < -1 || start >= total) start = -1;
  const std::u16string text = textParameter(find->psz);
  const bool wrap = (find->flags & LVFI_WRAP) != 0;
  const int steps = wrap ? total : total - (start + 1);
  for (int step = 1; step <= steps; ++step) {
    const int index = (start + step) % total;
    const ListViewItem& item = record.model->item(index);
    bool match = false;
    if (find->flags & LVFI_PARAM) {
      match = item.param == find->lParam;
    } else if (find->flags & (LVFI_PARTIAL | LVFI_SUBSTRING)) {
      match = startsWithNoCase(item.text(0), text);
    } else if (find->flags & LVFI_STRING) {
      match = compareNoCase(item.text(0), text) == 0;
    }
    if (match) return index;
  }
  return -1;
}

LRESULT onEnsureVisible(ListViewRecord& record, int index) {
  if (!record.model->validItem(index)) return FALSE;
  record.view->scrollTo(record.model->index(index, 0), QAbstractItemView::EnsureVisible);
  return TRUE;
}

LRESULT onSetExtendedStyle(ListViewRecord& record, DWORD mask, DWORD style) {
  const DWORD previous = record.extendedStyle;
  if (mask == 0) mask = 0xFFFFFFFF;
  record.extendedStyle = (previous & ~mask) | (style & mask);
  applyExtendedStyle(record);
  return static_cast<LRESULT>(previous);
}

LRESULT handleListViewMessage(HWND hwnd, ListViewRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
  const int index = static_cast<int>(static_cast<intptr_t>(wParam));
  switch (message) {
    case LVM_INSERTCOLUMN:
      return onInsertColumn(record, index, reinterpret_cast<const LVCOLUMN*>(lParam));
    case LVM_SETCOLUMNWIDTH:
      return onSetColumnWidth(record, index, static_cast<int>(static_cast<short>(LOWORD(static_cast<uintptr_t>(lParam)))));
    case LVM_GETCOLUMNWIDTH:
      if (!isReport(record)) return record.listColumnWidth;
      return record.model->validColumn(index) ? columnWidthNow(record, index) : 0;
    case LVM_GETCOLUMN:
      return onGetColumn(record, index, reinterpret_cast<LVCOLUMN*>(lParam));
    case LVM_SETCOLUMN:
      return onSetColumn(record, index, reinterpret_cast<const LVCOLUMN*>(lParam));
    case LVM_DELETECOLUMN:
      return onDeleteColumn(record, index);
    case LVM_INSERTITEM:
      return onInsertItem(hwnd, record, reinterpret_cast<const LVITEM*>(lParam));
    case LVM_SETITEM:
      return onSetItem(hwnd, record, reinterpret_cast<const LVITEM*>(lParam));
    case LVM_SETITEMTEXT:
      return onSetItemText(hwnd, record, index, reinterpret_cast<const LVITEM*>(lParam));
    case LVM_GETITEM:
      return onGetItem(record, reinterpret_cast<LVITEM*>(lParam));
    case LVM_GETITEMTEXT:
      return onGetItemText(record, index, reinterpret_cast<LVITEM*>(lParam));
    case LVM_GETITEMCOUNT:
      return record.model->itemCount();
    case LVM_DELETEITEM:
      return onDeleteItem(hwnd, record, index);
    case LVM_DELETEALLITEMS:
      return onDeleteAllItems(hwnd, record);
    case LVM_GETNEXTITEM:
      return onGetNextItem(record, index, static_cast<UINT>(LOWORD(static_cast<uintptr_t>(lParam))));
    case LVM_SETITEMSTATE:
      return onSetItemState(hwnd, record, index, reinterpret_cast<const LVITEM*>(lParam));
    case LVM_GETITEMSTATE:
      if (!record.model->validItem(index)) return 0;
      return static_cast<LRESULT>(record.model->item(index).state & static_cast<UINT>(lParam));
    case LVM_GETSELECTEDCOUNT:
      return onGetSelectedCount(record);
    case LVM_ENSUREVISIBLE:
      return onEnsureVisible(record, index);
    case LVM_FINDITEM:
      return onFindItem(record, index, reinterpret_cast<const LVFINDINFO*>(lParam));
    case LVM_SETEXTENDEDLISTVIEWSTYLE:
      return onSetExtendedStyle(record, static_cast<DWORD>(wParam), static_cast<DWORD>(lParam));
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
      return static_cast<LRESULT>(record.extendedStyle);
    default:
      return DefWindowProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace

// The widget that shows the control.
QWidget* shownWidget(const ListViewRecord& record) { return record.view; }
// Lets go of the widget's calls into the record before the record is deleted.
void detachWidget(ListViewRecord& record) { record.events->detach(); }

LRESULT handleListViewWindowMessage(HWND hwnd, ListViewRecord& record, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      NMHDR header{};
      notifyParent(hwnd, message == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS, &header);
      return 0;
    }
    default:
      return handleListViewMessage(hwnd, record, message, wParam, lParam);
  }
}

LRESULT listViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  static constexpr ControlProcedure<ListViewRecord> kProcedure{onCreate, shownWidget, detachWidget, nullptr,
                                                    handleListViewWindowMessage};
  return runControlProcedure(kProcedure, hwnd, message, wParam, lParam);
}

}  // namespace platform::controls
