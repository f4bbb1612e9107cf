// The entries of a list box or of a combo box's list, with the platform's rules for where an
// entry goes, what a search finds, and which entry stays selected when others come and go.
// Results follow the list-box messages: an index, or -1 (LB_ERR / CB_ERR).
#pragma once

#include <string>
#include <vector>

#include "platform/system/windows.h"

namespace platform::controls {

struct ListEntry {
  std::u16string text;  // the entry's text (owned copy)
  LPARAM data = 0;      // the program's value (LB_SETITEMDATA / CB_SETITEMDATA)
};

class StringList {
 public:
  int count() const { return static_cast<int>(entries_.size()); }
  bool valid(int index) const { return index >= 0 && index < count(); }

  // Where a sorted list puts `text`: before the first entry that compares equal or greater
  // without regard to case.
  int sortedPosition(const std::u16string& text) const;
  // Inserts at `index` (-1: at the end). Returns the index, or -1 when it is out of range.
  int insert(int index, std::u16string text);
  // Removes an entry; false when the index is out of range.
  bool remove(int index);
  void clear() { entries_.clear(); }

  const ListEntry& at(int index) const { return entries_[static_cast<size_t>(index)]; }
  ListEntry& at(int index) { return entries_[static_cast<size_t>(index)]; }

  // LB_FINDSTRING / LB_FINDSTRINGEXACT: searches the entries after `start` (all of them from
  // the first when `start` is -1 or out of range), wrapping to the top and ending at `start`.
  // `exact` compares whole texts, otherwise `text` is a prefix; case is ignored. -1: none.
  int find(int start, const std::u16string& text, bool exact) const;

  // The selection after entry `removed` went: none if it was the selected one, one less if it
  // came after it.
  static int selectionAfterRemoval(int selection, int removed);
  // The selection after an entry was inserted at `inserted`.
  static int selectionAfterInsertion(int selection, int inserted);

 private:
  std::vector<ListEntry> entries_;  // the entries in list order
};

}  // namespace platform::controls
