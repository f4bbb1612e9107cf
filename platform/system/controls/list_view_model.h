// The items and columns of a list view ("SysListView32"), kept as the platform's control keeps
// them (an item's text, its sub-items by column, its state bits and the program's value), and
// shown to Qt's item views as a table model. The control's procedure changes them only through
// this class, so that the views always see what the messages did.
#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "platform/system/commctrl.h"

namespace platform::controls {

struct ListViewItem {
  std::vector<std::u16string> texts;  // [0] the item's text, [n] the text of sub-item n (owned)
  UINT state = 0;                     // LVIS_SELECTED and LVIS_FOCUSED bits
  LPARAM param = 0;                   // the program's value (LVIF_PARAM)

  const std::u16string& text(int subItem) const;
  void setText(int subItem, std::u16string text);
};

struct ListViewColumn {
  std::u16string text;  // the header text (owned)
  int width = 0;        // width in device pixels, as LVM_INSERTCOLUMN / LVM_SETCOLUMNWIDTH gave it
  int format = LVCFMT_LEFT;  // LVCFMT_* alignment of the column's texts
};

class ListViewModel : public QAbstractTableModel {
 public:
  explicit ListViewModel(bool reportMode, QObject* parent) : QAbstractTableModel(parent), reportMode_(reportMode) {}

  int itemCount() const { return static_cast<int>(items_.size()); }
  bool validItem(int index) const { return index >= 0 && index < itemCount(); }
  const ListViewItem& item(int index) const { return items_[static_cast<size_t>(index)]; }
  int columnTotal() const { return static_cast<int>(columns_.size()); }
  bool validColumn(int index) const { return index >= 0 && index < columnTotal(); }
  const ListViewColumn& column(int index) const { return columns_[static_cast<size_t>(index)]; }

  // Where a sorted list puts an item with `text` (case-insensitive, like the platform).
  int sortedPosition(const std::u16string& text, bool descending) const;

  void insertItem(int index, ListViewItem item);
  void removeItem(int index);
  void removeAllItems();
  void setItemText(int index, int subItem, std::u16string text);
  void setItemParam(int index, LPARAM param) { items_[static_cast<size_t>(index)].param = param; }
  void setItemState(int index, UINT state) { items_[static_cast<size_t>(index)].state = state; }

  // Inserting a column at position p > 0 moves the sub-items from p on one column right.
  void insertColumn(int index, ListViewColumn column);
  void removeColumn(int index);
  void setColumn(int index, ListViewColumn column);
  void setColumnWidth(int index, int width) { columns_[static_cast<size_t>(index)].width = width; }

  // QAbstractTableModel
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  bool reportMode_;                      // LVS_REPORT shows every column, other views column 0
  std::vector<ListViewItem> items_;      // the items in list order
  std::vector<ListViewColumn> columns_;  // the columns in order
};

}  // namespace platform::controls
