#include "platform/system/controls/string_list.h"

#include "platform/system/controls/control_support.h"

namespace platform::controls {

int StringList::sortedPosition(const std::u16string& text) const {
  // Binary search for the first entry not less than `text`; the entries of a sorted list are
  // in order because every one of them went in through this function.
  int low = 0;
  int high = count();
  // Entries usually come in order (a directory search hands names out sorted): one that
  // belongs after the last needs no search.
  if (high > 0 && compareNoCase(entries_.back().text, text) < 0) return high;
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (compareNoCase(entries_[static_cast<size_t>(middle)].text, text) < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

int StringList::insert(int index, std::u16string text) {
  if (index == -1) index = count();
  if (index < 0 || index > count()) return -1;
  entries_.insert(entries_.begin() + index, ListEntry{std::move(text), 0});
  return index;
}

bool StringList::remove(int index) {
  if (!valid(index)) return false;
  entries_.erase(entries_.begin() + index);
  return true;
}

int StringList::find(int start, const std::u16string& text, bool exact) const {
  const int total = count();
  if (total == 0) return -1;
  if (!valid(start)) start = -1;
  for (int step = 1; step <= total; ++step) {
    // From the entry after `start` to the end, then from the top back to `start` itself.
    const int index = (start + step) % total;
    const std::u16string& candidate = entries_[static_cast<size_t>(index)].text;
    const bool match = exact ? compareNoCase(candidate, text) == 0 : startsWithNoCase(candidate, text);
    if (match) return index;
  }
  return -1;
}

int StringList::selectionAfterRemoval(int selection, int removed) {
  if (selection == removed) return -1;
  if (selection > removed) return selection - 1;
  return selection;
}

int StringList::selectionAfterInsertion(int selection, int inserted) {
  if (selection >= 0 && selection >= inserted) return selection + 1;
  return selection;
}

}  // namespace platform::controls
