#include "platform/textview/line_count_tree.h"

namespace platform::textview {

void LineCountTree::assign(const std::vector<uint32_t>& counts) {
  tree_.assign(counts.begin(), counts.end());
  const size_t n = tree_.size();
  for (size_t i = 0; i < n; ++i) {
    const size_t parent = i | (i + 1);
    if (parent < n) tree_[parent] += tree_[i];
  }
}

int64_t LineCountTree::linesBefore(int64_t segment) const {
  if (segment > size()) segment = size();
  int64_t sum = 0;
  for (int64_t i = segment - 1; i >= 0; i = (i & (i + 1)) - 1) sum += tree_[static_cast<size_t>(i)];
  return sum;
}

uint32_t LineCountTree::countOf(int64_t segment) const {
  return static_cast<uint32_t>(linesBefore(segment + 1) - linesBefore(segment));
}

void LineCountTree::setCountOf(int64_t segment, uint32_t count) {
  if (segment < 0 || segment >= size()) return;
  const int64_t delta = static_cast<int64_t>(count) - static_cast<int64_t>(countOf(segment));
  if (delta == 0) return;
  for (int64_t i = segment; i < size(); i = i | (i + 1)) tree_[static_cast<size_t>(i)] += delta;
}

int64_t LineCountTree::segmentOfLine(int64_t line) const {
  if (tree_.empty()) return 0;
  // Walk down the implicit tree: find the longest prefix whose sum is <= line.
  int64_t position = 0;  // number of segments whose lines all lie before `line`
  int64_t remaining = line;
  int64_t step = 1;
  while (step * 2 <= size()) step *= 2;
  for (; step > 0; step /= 2) {
    const int64_t next = position + step;
    if (next <= size() && tree_[static_cast<size_t>(next - 1)] <= remaining) {
      position = next;
      remaining -= tree_[static_cast<size_t>(next - 1)];
    }
  }
  // `position` segments end at or before `line`; the line lies in segment `position`, unless
  // zero-line segments or the end of the text intervene.
  return position < size() ? position : size() - 1;
}

}  // namespace platform::textview
