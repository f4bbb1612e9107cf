// Finding text in the document's units: direction, case, whole words, CJK, the range limits,
// and a match at the far end of a 200 MB text.
#include "platform/textview/text_search.h"

#include <gtest/gtest.h>

#include <QString>

namespace platform::textview {
namespace {

struct SearchCase {
  const char* what;          // the situation
  QString text;              // the document
  QString needle;            // what is looked for
  int64_t from;              // where the search starts
  int64_t limit;             // where it must stay (-1: the end, forward)
  SearchOptions options;     // direction, case, words
  int64_t expected;          // the match's start, or -1
};

constexpr SearchOptions kForward{true, false, false};
constexpr SearchOptions kBackward{false, false, false};
constexpr SearchOptions kForwardCase{true, true, false};
constexpr SearchOptions kForwardWord{true, false, true};
constexpr SearchOptions kBackwardWord{false, false, true};

TEST(FindInText, FindsByDirectionCaseAndWord) {
  const QString text = QStringLiteral("The cat sat on the Cathedral mat. the end");
  const SearchCase cases[] = {
      {"first match forward", text, "the", 0, -1, kForward, 0},
      {"after the first", text, "the", 1, -1, kForward, 15},
      {"case matters", text, "the", 1, -1, kForwardCase, 15},
      {"case matters past it", text, "The", 1, -1, kForwardCase, -1},
      {"whole word skips Cathedral", text, "cat", 5, -1, kForwardWord, -1},
      {"part of a word without it", text, "cat", 5, -1, kForward, 19},
      {"backward from the end", text, "the", text.size(), 0, kBackward, 34},
      {"backward before a match", text, "the", 34, 0, kBackward, 21},
      {"backward whole word", text, "cat", text.size(), 0, kBackwardWord, 4},
      {"limit cuts a match short", text, "end", 0, 40, kForward, -1},
      {"backward limit", text, "the", 34, 22, kBackward, -1},
      {"not there", text, "dog", 0, -1, kForward, -1},
      {"empty needle", text, "", 0, -1, kForward, -1},
      {"needle longer than text", "ab", "abc", 0, -1, kForward, -1},
      {"CJK", QString::fromUtf8("日本語のテキストと日本"), QString::fromUtf8("日本"), 1, -1, kForward, 9},
      {"CJK backward", QString::fromUtf8("日本語のテキストと日本"), QString::fromUtf8("日本"), 9, 0, kBackward, 0},
      {"Greek case", QString::fromUtf8("ΑΒΓ αβγ"), QString::fromUtf8("αβγ"), 0, -1, kForward, 0},
      {"one unit needle, last lane", QString(17, 'a') + "b", "b", 0, -1, kForward, 17},
  };
  for (const SearchCase& c : cases) {
    EXPECT_EQ(findInText(c.text, c.needle, c.from, c.limit, c.options), c.expected) << c.what;
  }
}

TEST(FindInText, EveryPlaceInALongTextIsFoundOnce) {
  // Matches at each offset of the eight-unit blocks, near both ends: the block scan and the
  // scan of what is left over must agree.
  for (int at = 0; at < 40; ++at) {
    QString text(48, 'x');
    text.replace(at, 3, QStringLiteral("abc"));
    EXPECT_EQ(findInText(text, u"abc", 0, -1, kForward), at) << at;
    EXPECT_EQ(findInText(text, u"abc", text.size(), 0, kBackward), at) << at;
    EXPECT_EQ(findInText(text, u"abc", at + 1, -1, kForward), -1) << at;
  }
}

TEST(FindInText, MatchAtTheEndOfA200MegabyteText) {
  QString text(100 * 1000 * 1000, QChar(u'a'));  // 100 million units: 200 MB
  text.replace(text.size() - 9, 6, QStringLiteral("Needle"));
  EXPECT_EQ(findInText(text, u"needle", 0, -1, kForward), text.size() - 9);
  EXPECT_EQ(findInText(text, u"needle", text.size(), 0, kBackward), text.size() - 9);
  EXPECT_EQ(findInText(text, u"needle", 0, -1, kForwardCase), -1);
}

}  // namespace
}  // namespace platform::textview
