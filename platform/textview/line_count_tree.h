// How many wrapped lines each segment of the text has, with prefix sums in logarithmic time (a
// Fenwick tree). The layout keeps exact counts for the segments it has laid out and estimates
// for the rest; scrolling to a line, the scroll bar's range and "first visible line" all come
// from these sums.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::textview {

class LineCountTree {
 public:
  // Builds the tree over `counts` (one entry per segment) in linear time.
  void assign(const std::vector<uint32_t>& counts);
  int64_t size() const { return static_cast<int64_t>(tree_.size()); }
  // Sum of the counts of segments [0, segment).
  int64_t linesBefore(int64_t segment) const;
  int64_t total() const { return linesBefore(size()); }
  uint32_t countOf(int64_t segment) const;
  void setCountOf(int64_t segment, uint32_t count);
  // The segment that holds line `line` (0-based, counted over all segments): the last segment
  // whose linesBefore() is at most `line`. Lines past the end give the last segment.
  int64_t segmentOfLine(int64_t line) const;

 private:
  std::vector<int64_t> tree_;  // Fenwick sums: tree_[i] covers (i + 1 - lowbit(i + 1), i]
};

}  // namespace platform::textview
