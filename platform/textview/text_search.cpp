#include "platform/textview/text_search.h"

#include <emmintrin.h>

#include <QChar>
#include <algorithm>
#include <vector>

namespace platform::textview {
namespace {

// Each needle unit in the two forms that match it (the same unit twice when case matters or
// the unit has no other case).
struct FoldedNeedle {
  std::vector<char16_t> lower;  // per unit: its lower-case form
  std::vector<char16_t> upper;  // per unit: its upper-case form
};

FoldedNeedle fold(QStringView needle, bool matchCase) {
  FoldedNeedle folded;
  for (QChar c : needle) {
    const char16_t unit = c.unicode();
    const bool caseless = matchCase || c.isSurrogate();
    folded.lower.push_back(caseless ? unit : QChar::toLower(unit));
    folded.upper.push_back(caseless ? unit : QChar::toUpper(unit));
  }
  return folded;
}

bool isWordCharacter(char32_t c) { return c == u'_' || QChar::isLetterOrNumber(c); }

char32_t codePointBefore(QStringView text, int64_t position) {
  const char16_t low = text[position - 1].unicode();
  if (QChar::isLowSurrogate(low) && position >= 2 && QChar::isHighSurrogate(text[position - 2].unicode())) {
    return QChar::surrogateToUcs4(text[position - 2].unicode(), low);
  }
  return low;
}

char32_t codePointAt(QStringView text, int64_t position) {
  const char16_t high = text[position].unicode();
  if (QChar::isHighSurrogate(high) && position + 1 < text.size() && QChar::isLowSurrogate(text[position + 1].unicode())) {
    return QChar::surrogateToUcs4(high, text[position + 1].unicode());
  }
  return high;
}

class Matcher {
 public:
  Matcher(QStringView text, QStringView needle, SearchOptions options)
      : text_(reinterpret_cast<const char16_t*>(text.utf16())),
        view_(text),
        length_(needle.size()),
        folded_(fold(needle, options.matchCase)),
        wholeWord_(options.wholeWord) {}

  // Whether a match starts at `at` (the caller keeps it inside the text).
  bool matchesAt(int64_t at) const {
    for (int64_t k = 0; k < length_; ++k) {
      const char16_t unit = text_[at + k];
      if (unit != folded_.lower[static_cast<size_t>(k)] && unit != folded_.upper[static_cast<size_t>(k)]) return false;
    }
    if (!wholeWord_) return true;
    if (at > 0 && isWordCharacter(codePointBefore(view_, at))) return false;
    const int64_t end = at + length_;
    return end >= view_.size() || !isWordCharacter(codePointAt(view_, end));
  }

  // Of the eight candidate starts from `at`, a bit pair per start whose first and last units
  // could match: the cheap test that lets most of the text go by eight units at a time.
  int candidates(int64_t at) const {
    const __m128i firstUnits = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text_ + at));
    const __m128i lastUnits = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text_ + at + length_ - 1));
    const __m128i first = _mm_or_si128(_mm_cmpeq_epi16(firstUnits, firstLower_), _mm_cmpeq_epi16(firstUnits, firstUpper_));
    const __m128i last = _mm_or_si128(_mm_cmpeq_epi16(lastUnits, lastLower_), _mm_cmpeq_epi16(lastUnits, lastUpper_));
    return _mm_movemask_epi8(_mm_and_si128(first, last));
  }

  int64_t length() const { return length_; }

 private:
  static __m128i splat(char16_t unit) { return _mm_set1_epi16(static_cast<short>(unit)); }

  const char16_t* text_;      // the document's units, borrowed
  QStringView view_;          // the same, for the word tests
  int64_t length_;            // needle units
  FoldedNeedle folded_;       // the needle's units in both cases
  bool wholeWord_;            // matches must stand as words
  __m128i firstLower_ = splat(folded_.lower.front());  // the first unit, both forms, eight times
  __m128i firstUpper_ = splat(folded_.upper.front());
  __m128i lastLower_ = splat(folded_.lower.back());    // the last unit, both forms, eight times
  __m128i lastUpper_ = splat(folded_.upper.back());
};

constexpr int64_t kLanes = 8;

int64_t searchForward(const Matcher& matcher, int64_t from, int64_t lastStart) {
  int64_t at = from;
  for (; at + kLanes - 1 <= lastStart; at += kLanes) {
    for (int mask = matcher.candidates(at); mask != 0; mask &= mask - 1) {
      const int64_t candidate = at + __builtin_ctz(static_cast<unsigned>(mask)) / 2;
      mask &= mask - 1;  // the pair's second bit
      if (matcher.matchesAt(candidate)) return candidate;
    }
  }
  for (; at <= lastStart; ++at) {
    if (matcher.matchesAt(at)) return at;
  }
  return -1;
}

int64_t searchBackward(const Matcher& matcher, int64_t firstStart, int64_t highest) {
  int64_t at = highest;
  for (; at - (kLanes - 1) >= firstStart; at -= kLanes) {
    const int64_t base = at - (kLanes - 1);
    for (int mask = matcher.candidates(base); mask != 0;) {
      const int bit = 31 - __builtin_clz(static_cast<unsigned>(mask));
      const int64_t candidate = base + bit / 2;
      mask &= ~(3 << (bit & ~1));
      if (matcher.matchesAt(candidate)) return candidate;
    }
  }
  for (; at >= firstStart; --at) {
    if (matcher.matchesAt(at)) return at;
  }
  return -1;
}

}  // namespace

int64_t findInText(QStringView text, QStringView needle, int64_t from, int64_t limit, SearchOptions options) {
  const int64_t size = text.size();
  const int64_t length = needle.size();
  if (length == 0 || length > size) return -1;
  const Matcher matcher(text, needle, options);
  if (options.forward) {
    from = std::clamp<int64_t>(from, 0, size);
    limit = limit < 0 ? size : std::min(limit, size);
    return searchForward(matcher, from, limit - length);
  }
  limit = std::clamp<int64_t>(limit, 0, size);
  from = std::clamp<int64_t>(from, 0, size);
  return searchBackward(matcher, limit, std::min(from - 1, size - length));
}

}  // namespace platform::textview
