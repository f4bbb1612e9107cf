#include "platform/system/controls/list_view_model.h"

#include "platform/system/controls/control_support.h"
#include "platform/system/window_host.h"

namespace platform::controls {
namespace {

const std::u16string kNoText;

Qt::Alignment alignmentOf(int format) {
  switch (format & 0x3) {
    case LVCFMT_RIGHT:
      return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
      return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

}  // namespace

const std::u16string& ListViewItem::text(int subItem) const {
  if (subItem < 0 || static_cast<size_t>(subItem) >= texts.size()) return kNoText;
  return texts[static_cast<size_t>(subItem)];
}

void ListViewItem::setText(int subItem, std::u16string text) {
  if (subItem < 0) return;
  if (static_cast<size_t>(subItem) >= texts.size()) texts.resize(static_cast<size_t>(subItem) + 1);
  texts[static_cast<size_t>(subItem)] = std::move(text);
}

int ListViewModel::sortedPosition(const std::u16string& text, bool descending) const {
  int low = 0;
  int high = itemCount();
  // Rows are usually added in order (a directory search hands names out sorted): a text that
  // belongs after the last row needs no search.
  if (high > 0) {
    const int last = compareNoCase(items_.back().text(0), text);
    if (descending ? last > 0 : last < 0) return high;
  }
  while (low < high) {
    const int middle = low + (high - low) / 2;
    const int order = compareNoCase(items_[static_cast<size_t>(middle)].text(0), text);
    if (descending ? order > 0 : order < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

void ListViewModel::insertItem(int index, ListViewItem item) {
  beginInsertRows(QModelIndex(), index, index);
  items_.insert(items_.begin() + index, std::move(item));
  endInsertRows();
}

void ListViewModel::removeItem(int index) {
  beginRemoveRows(QModelIndex(), index, index);
  items_.erase(items_.begin() + index);
  endRemoveRows();
}

void ListViewModel::removeAllItems() {
  beginResetModel();
  items_.clear();
  endResetModel();
}

void ListViewModel::setItemText(int index, int subItem, std::u16string text) {
  items_[static_cast<size_t>(index)].setText(subItem, std::move(text));
  const int shownColumn = reportMode_ ? subItem : 0;
  if (shownColumn < columnCount() && (reportMode_ || subItem == 0)) {
    const QModelIndex cell = this->index(index, shownColumn);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
  }
}

void ListViewModel::insertColumn(int index, ListViewColumn column) {
  if (reportMode_) beginInsertColumns(QModelIndex(), index, index);
  columns_.insert(columns_.begin() + index, std::move(column));
  if (index > 0) {
    for (ListViewItem& item : items_) {
      if (static_cast<size_t>(index) < item.texts.size()) item.texts.insert(item.texts.begin() + index, std::u16string());
    }
  }
  if (reportMode_) endInsertColumns();
}

void ListViewModel::removeColumn(int index) {
  if (reportMode_) beginRemoveColumns(QModelIndex(), index, index);
  columns_.erase(columns_.begin() + index);
  if (index > 0) {
    for (ListViewItem& item : items_) {
      if (static_cast<size_t>(index) < item.texts.size()) item.texts.erase(item.texts.begin() + index);
    }
  }
  if (reportMode_) endRemoveColumns();
}

void ListViewModel::setColumn(int index, ListViewColumn column) {
  columns_[static_cast<size_t>(index)] = std::move(column);
  if (reportMode_) {
    emit headerDataChanged(Qt::Horizontal, index, index);
    if (itemCount() > 0) emit dataChanged(this->index(0, index), this->index(itemCount() - 1, index));
  }
}

int ListViewModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : itemCount(); }

int ListViewModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return reportMode_ ? columnTotal() : 1;
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !validItem(index.row())) return {};
  const ListViewItem& shown = item(index.row());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
      const std::u16string& text = shown.text(index.column());
      return widgets::toQString(text.c_str(), static_cast<int>(text.size()));
    }
    case Qt::TextAlignmentRole:
      // The first column is always left-aligned on the platform.
      if (!reportMode_ || index.column() == 0 || !validColumn(index.column())) return QVariant::fromValue(alignmentOf(LVCFMT_LEFT));
      return QVariant::fromValue(alignmentOf(column(index.column()).format));
    default:
      return {};
  }
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || !validColumn(section)) return {};
  if (role == Qt::DisplayRole) {
    const std::u16string& text = column(section).text;
    return widgets::toQString(text.c_str(), static_cast<int>(text.size()));
  }
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(alignmentOf(section == 0 ? LVCFMT_LEFT : column(section).format));
  return {};
}

Qt::ItemFlags ListViewModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace platform::controls
