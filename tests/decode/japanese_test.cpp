// The Japanese decoders: Shift-JIS (and its LF -> CR LF variant), ISO-2022-JP and EUC-JP, on
// their edge cases, on the long runs their vector paths take, and on every JIS cell against the
// reference data the table generator wrote from the cp932 codec.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "decode/japanese.h"
#include "tests/support/test_files.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Decode = size_t (JapaneseDecoder::*)(char16_t*, const uint8_t*, int32_t) const;

constexpr char16_t kMarker = 0xABCD;  // fills output storage the decoder has not written
constexpr char16_t kNone = 0xFFFF;    // what an empty cell or a position outside the table gives

// Runs a decoder as the viewer does: input in storage of exactly n + 1 bytes whose last byte is
// the zero after the document (so the sanitizer catches any read beyond it), output storage of
// the room the contract promises (n + 1 units, 2n + 1 for the CR LF variant) plus a guard.
// Returns the units before the ending zero, and checks that nothing was written after it and
// that the decoder reported that count.
std::u16string decode(Decode method, const Bytes& input) {
  const auto n = static_cast<int32_t>(input.size());
  std::vector<uint8_t> in(input);
  in.push_back(0);
  const size_t room = method == &JapaneseDecoder::decodeShiftJisCrLf ? 2 * input.size() + 1 : input.size() + 1;
  std::vector<char16_t> out(room + 16, kMarker);
  const size_t reported = (JapaneseDecoder().*method)(out.data(), in.data(), n);
  size_t end = out.size();
  while (end > 0 && out[end - 1] == kMarker) --end;
  if (end == 0 || out[end - 1] != 0 || end > room) {
    ADD_FAILURE() << "no ending zero unit within the room of " << room << " units";
    return {};
  }
  EXPECT_EQ(reported, end - 1);
  return std::u16string(out.data(), end - 1);
}

std::u16string shiftJis(const Bytes& in) { return decode(&JapaneseDecoder::decodeShiftJis, in); }
std::u16string shiftJisCrLf(const Bytes& in) { return decode(&JapaneseDecoder::decodeShiftJisCrLf, in); }
std::u16string iso2022Jp(const Bytes& in) { return decode(&JapaneseDecoder::decodeIso2022Jp, in); }
std::u16string eucJp(const Bytes& in) { return decode(&JapaneseDecoder::decodeEucJp, in); }

Bytes bytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// ISO-2022-JP pairs inside ESC $ B ... ESC ( B.
Bytes inDoubleByteMode(const Bytes& pairs) {
  Bytes in{0x1B, '$', 'B'};
  in.insert(in.end(), pairs.begin(), pairs.end());
  const Bytes backToSingleByte{0x1B, '(', 'B'};
  in.insert(in.end(), backToSingleByte.begin(), backToSingleByte.end());
  return in;
}

TEST(ShiftJisTest, DecodesPairsKatakanaAndSingleBytes) {
  EXPECT_EQ(shiftJis({0x82, 0xA0}), u"\u3042");
  EXPECT_EQ(shiftJis({0x93, 0xFA, 0x96, 0x7B}), u"\u65E5\u672C");  // trails on both sides of 0x9F
  EXPECT_EQ(shiftJis({0x88, 0x9F}), u"\u4E9C");                    // first kanji, trail 0x9F
  EXPECT_EQ(shiftJis({0xE0, 0x40}), u"\u6F3E");                    // first lead of the second block
  EXPECT_EQ(shiftJis({0xB1, 0xA1, 0xDF}), u"\uFF71\uFF61\uFF9F");  // half-width katakana
  // Bytes that are neither lead nor katakana keep their value, backslash and tilde included.
  EXPECT_EQ(shiftJis({0x80, 0xA0, 0xFD, 0x5C, 0x7E, 0x00, 0x7F}), std::u16string(u"\u0080\u00A0\u00FD\\~\0\x7F", 7));
  // 0xFA is an IBM extension lead in code page 932, but no lead byte here.
  EXPECT_EQ(shiftJis({0xFA, 0x40}), u"\u00FA@");
}

TEST(ShiftJisTest, DropsALeadWithAnInvalidTrailTogetherWithTheTrail) {
  for (uint8_t trail : {0x00, 0x0A, 0x3F, 0x7F, 0xFD, 0xFF}) {
    SCOPED_TRACE(trail);
    EXPECT_EQ(shiftJis({'a', 0x81, trail, 'b'}), u"ab");
    EXPECT_EQ(shiftJisCrLf({'a', 0xEF, trail, 'b'}), u"ab");
  }
  // A lead byte at the end pairs with the zero after the input and vanishes with it.
  EXPECT_EQ(shiftJis({'a', 'b', 0x82}), u"ab");
  EXPECT_EQ(shiftJis({0x82}), u"");
}

TEST(ShiftJisTest, LineFeedVariantWritesCrLf) {
  EXPECT_EQ(shiftJisCrLf(bytesOf("a\nb")), u"a\r\nb");
  EXPECT_EQ(shiftJisCrLf(bytesOf("\r\n")), u"\r\r\n");
  EXPECT_EQ(shiftJisCrLf({0x82, 0xA0, '\n', 0x82}), u"\u3042\r\n");
  // All line feeds: the output is twice the input, the whole of the room.
  std::u16string lines;
  for (int i = 0; i < 40; ++i) lines += u"\r\n";
  EXPECT_EQ(shiftJisCrLf(Bytes(40, '\n')), lines);
  // A 0x0A trail belongs to its lead: it is no line end.
  EXPECT_EQ(shiftJisCrLf({0x81, 0x0A, 'x'}), u"x");
}

TEST(ShiftJisTest, NothingButTheZeroForAnEmptyOrNegativeLength) {
  for (int32_t n : {0, -1, INT32_MIN}) {
    const uint8_t in[2] = {0x41, 0};
    char16_t out[2] = {kMarker, kMarker};
    JapaneseDecoder().decodeShiftJis(out, in, n);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], kMarker);
    out[0] = kMarker;
    JapaneseDecoder().decodeIso2022Jp(out, in, n);
    EXPECT_EQ(out[0], 0);
    out[0] = kMarker;
    JapaneseDecoder().decodeEucJp(out, in, n);
    EXPECT_EQ(out[0], 0);
  }
}

// Code page 932's own values for the six cells where it departs from the JIS mapping, and its
// NEC row 13 left out, reached through each of the three byte forms.
TEST(JapaneseDecodersTest, UseCodePage932CellsAndLeaveRow13Empty) {
  struct Cell {
    Bytes sjis;
    Bytes euc;
    Bytes jis;
    char16_t unit;
  };
  const Cell cells[] = {
      {{0x81, 0x60}, {0xA1, 0xC1}, {0x21, 0x41}, 0xFF5E}, {{0x81, 0x61}, {0xA1, 0xC2}, {0x21, 0x42}, 0x2225},
      {{0x81, 0x7C}, {0xA1, 0xDD}, {0x21, 0x5D}, 0xFF0D}, {{0x81, 0x91}, {0xA1, 0xF1}, {0x21, 0x71}, 0xFFE0},
      {{0x81, 0x92}, {0xA1, 0xF2}, {0x21, 0x72}, 0xFFE1}, {{0x81, 0xCA}, {0xA2, 0xCC}, {0x22, 0x4C}, 0xFFE2},
      {{0x87, 0x40}, {0xAD, 0xA1}, {0x2D, 0x21}, kNone},  {{0x87, 0x9C}, {0xAD, 0xFE}, {0x2D, 0x7E}, kNone},
  };
  for (const Cell& cell : cells) {
    SCOPED_TRACE(static_cast<int>(cell.unit));
    EXPECT_EQ(shiftJis(cell.sjis), std::u16string(1, cell.unit));
    EXPECT_EQ(eucJp(cell.euc), std::u16string(1, cell.unit));
    EXPECT_EQ(iso2022Jp(inDoubleByteMode(cell.jis)), std::u16string(1, cell.unit));
  }
}

TEST(JapaneseDecodersTest, PositionsOutsideTheTableGiveFFFF) {
  const std::u16string lastCell = u"\u7199";  // JIS 0x7426, the table's last cell
  EXPECT_EQ(shiftJis({0xEA, 0xA4}), lastCell);
  EXPECT_EQ(shiftJis({0xEA, 0xA5, 0xEB, 0x40, 0xEF, 0xFC, 0xED, 0x40}), std::u16string(4, kNone));
  EXPECT_EQ(eucJp({0xF4, 0xA6}), lastCell);
  EXPECT_EQ(eucJp({0xF4, 0xA7, 0xF5, 0xA1, 0xFE, 0xFE}), std::u16string(3, kNone));
  EXPECT_EQ(eucJp({0xA1, 0x41, 0xA2, 0x00}), std::u16string(2, kNone));  // before the first cell
  EXPECT_EQ(iso2022Jp(inDoubleByteMode({0x74, 0x26})), lastCell);
  EXPECT_EQ(iso2022Jp(inDoubleByteMode({0x74, 0x27, 0x7E, 0x7E, 0xFF, 0xFF, 0x0D, 0x0A, 0x00, 0x00})),
            std::u16string(5, kNone));
}

TEST(JapaneseDecodersTest, UntestedBytesLandOnNeighbouringCells) {
  // EUC-JP does not test the byte after a lead: 0xA3 0xA0 is one cell before 0xA3 0xA1, the
  // last cell of the row above.
  EXPECT_EQ(eucJp({0xA3, 0xA0}), eucJp({0xA2, 0xFE}));
  // A lead at the end pairs with the zero after the input: (0xB2 - 0xA1) * 94 - 0xA1 is the
  // 28th cell of JIS row 0x30, which EUC-JP writes as 0xB0 0xBC.
  EXPECT_EQ(eucJp({'a', 0xB2}), u"a" + eucJp({0xB0, 0xBC}));
  EXPECT_NE(eucJp({0xB0, 0xBC}), std::u16string(1, kNone));
  // ISO-2022-JP pairs whatever stands in double-byte text: an odd byte takes the ESC of the
  // closing sequence (0x24 0x1B lies six cells before 0x24 0x21: JIS 0x2379), and the rest of
  // that sequence, "(B", is paired too (an empty cell of row 8).
  EXPECT_EQ(iso2022Jp(inDoubleByteMode({0x24, 0x22, 0x24})),
            u"\u3042" + iso2022Jp(inDoubleByteMode({0x23, 0x79})) + u"\uFFFF");
  EXPECT_NE(iso2022Jp(inDoubleByteMode({0x23, 0x79})), u"\uFFFF");
}

TEST(EucJpTest, SingleShiftsAndOrdinaryBytes) {
  EXPECT_EQ(eucJp({0xA4, 0xA2}), u"\u3042");
  EXPECT_EQ(eucJp({0x8E, 0xB1, 0x8E, 0xDF}), u"\uFF71\uFF9F");
  EXPECT_EQ(eucJp({0x8E, 0x41}), u"\uFF01");  // t + 0xFEC0, t untested
  EXPECT_EQ(eucJp({'a', 0x8E}), u"a\uFEC0");  // paired with the zero after the input
  // 0x8F (JIS X 0212 prefix) is an ordinary byte; the two after it decode as a JIS X 0208 pair.
  EXPECT_EQ(eucJp({0x8F, 0xB0, 0xA1}), u"\u008F\u4E9C");
  EXPECT_EQ(eucJp({0x80, 0xA0, 0xFF, 0x7F}), u"\u0080\u00A0\u00FF\u007F");
}

TEST(Iso2022JpTest, EscapeSequencesSwitchModes) {
  EXPECT_EQ(iso2022Jp({0x1B, '$', 'B', 0x24, 0x22, 0x1B, '(', 'B', 'x'}), u"\u3042x");
  // Only ESC $ B and ESC ( B are recognised; the others are written out in single-byte mode.
  EXPECT_EQ(iso2022Jp({0x1B, '(', 'J', 0x1B, '$', '@', 0x0E, 0x0F}), u"\u001B(J\u001B$@\u000E\u000F");
  // Single-byte mode writes every byte as it is, high bytes too.
  EXPECT_EQ(iso2022Jp({0xA4, 0xA2, 0x82}), u"\u00A4\u00A2\u0082");
  // No return to single-byte mode: pairs to the end, the last odd byte paired with the zero.
  EXPECT_EQ(iso2022Jp({0x1B, '$', 'B', 0x24, 0x22, 0x24, 0x24, 0x24}), u"\u3042\u3044\uFFFF");
  // An ESC that starts no sequence is paired in double-byte mode like any byte.
  EXPECT_EQ(iso2022Jp({0x1B, '$', 'B', 0x1B, 0x41, 0x24, 0x22}), u"\uFFFF\u3042");
  // Sequences cut off by the end of the input are ordinary bytes.
  EXPECT_EQ(iso2022Jp({'a', 0x1B}), u"a\u001B");
  EXPECT_EQ(iso2022Jp({'a', 0x1B, '$'}), u"a\u001B$");
  EXPECT_EQ(iso2022Jp({0x1B, '$', 'B'}), u"");
  // Every call starts in single-byte mode, whatever the previous one ended in.
  EXPECT_EQ(iso2022Jp({0x24, 0x22}), u"$\"");
}

// The vector paths copy clean runs sixteen (and eight) bytes at a time: put the byte that ends
// a run at every position of a long text, and at every length, and check against the rules.
TEST(JapaneseDecodersTest, RunsOfEveryLengthAndBreakPosition) {
  for (size_t length = 1; length <= 70; ++length) {
    for (size_t at = 0; at < length; ++at) {
      SCOPED_TRACE(testing::Message() << "length " << length << ", at " << at);
      Bytes in(length);
      for (size_t i = 0; i < length; ++i) in[i] = static_cast<uint8_t>('A' + i % 26);
      std::u16string plain(in.begin(), in.end());

      Bytes katakana = in;
      katakana[at] = 0xB1;
      std::u16string katakanaText = plain;
      katakanaText[at] = 0xFF71;
      ASSERT_EQ(shiftJis(katakana), katakanaText);

      Bytes lineFeed = in;
      lineFeed[at] = '\n';
      std::u16string lineFeedText = plain;
      lineFeedText.replace(at, 1, u"\r\n");
      ASSERT_EQ(shiftJisCrLf(lineFeed), lineFeedText);

      Bytes euc = in;
      euc[at] = 0x8E;  // takes the byte after it (or the zero after the input) with it
      std::u16string eucText = plain.substr(0, at) + static_cast<char16_t>((at + 1 < length ? in[at + 1] : 0) + 0xFEC0);
      if (at + 2 < length) eucText += plain.substr(at + 2);
      ASSERT_EQ(eucJp(euc), eucText);

      Bytes iso = in;
      iso[at] = 0xE9;  // any byte but ESC continues a run in single-byte mode
      std::u16string isoText = plain;
      isoText[at] = 0xE9;
      ASSERT_EQ(iso2022Jp(iso), isoText);
      Bytes escape = in;
      escape[at] = 0x1B;
      std::u16string escapeText = plain;
      escapeText[at] = 0x1B;
      ASSERT_EQ(iso2022Jp(escape), escapeText);
    }
  }
}

// The reference file: per Shift-JIS lead byte, the unit for every valid trail byte.
struct PairReference {
  std::vector<uint8_t> leads;
  std::vector<uint8_t> trails;
  std::vector<std::vector<char16_t>> units;  // [lead index][trail index]
};

PairReference loadPairReference() {
  PairReference reference;
  for (int t = 0x40; t <= 0xFC; ++t) {
    if (t != 0x7F) reference.trails.push_back(static_cast<uint8_t>(t));
  }
  std::ifstream file(test_files::referenceDir() / "cp932_pairs.txt");
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string lead;
    fields >> lead;
    reference.leads.push_back(static_cast<uint8_t>(std::stoul(lead, nullptr, 16)));
    std::vector<char16_t> row;
    std::string unit;
    while (fields >> unit) row.push_back(static_cast<char16_t>(std::stoul(unit, nullptr, 16)));
    reference.units.push_back(row);
  }
  return reference;
}

// JIS row and cell (1..94) to Shift-JIS, the inverse of what the decoder computes.
Bytes shiftJisOf(int row, int cell) {
  const int lead = (row + 1) / 2 + (row <= 62 ? 0x80 : 0xC0);
  const int trail = row % 2 == 1 ? cell + 0x3F + (cell >= 64 ? 1 : 0) : cell + 0x9E;
  return {static_cast<uint8_t>(lead), static_cast<uint8_t>(trail)};
}

TEST(JapaneseReferenceTest, EveryShiftJisPairMatchesTheCodePage) {
  const PairReference reference = loadPairReference();
  ASSERT_EQ(reference.leads.size(), 47u) << "tests/decode/reference/cp932_pairs.txt missing or damaged";
  size_t characters = 0;
  for (size_t l = 0; l < reference.leads.size(); ++l) {
    ASSERT_EQ(reference.units[l].size(), reference.trails.size());
    for (size_t t = 0; t < reference.trails.size(); ++t) {
      const char16_t expected = reference.units[l][t];
      ASSERT_EQ(shiftJis({reference.leads[l], reference.trails[t]}), std::u16string(1, expected))
          << std::hex << "pair " << int(reference.leads[l]) << " " << int(reference.trails[t]);
      characters += expected != kNone;
    }
  }
  EXPECT_EQ(characters, 6879u);
}

// EUC-JP and ISO-2022-JP reach the same cells from JIS row and cell directly; every one of the
// 94 x 94 positions must give what the code page gives for its Shift-JIS form.
TEST(JapaneseReferenceTest, EveryEucAndIso2022CellMatchesItsShiftJisForm) {
  const PairReference reference = loadPairReference();
  ASSERT_EQ(reference.leads.size(), 47u);
  for (int row = 1; row <= 94; ++row) {
    for (int cell = 1; cell <= 94; ++cell) {
      const Bytes sjis = shiftJisOf(row, cell);
      const size_t l = sjis[0] < 0xE0 ? sjis[0] - 0x81 : sjis[0] - 0xE0 + 31;
      const size_t t = sjis[1] - 0x40 - (sjis[1] > 0x7F ? 1 : 0);
      const std::u16string expected(1, reference.units[l][t]);
      ASSERT_EQ(eucJp({static_cast<uint8_t>(row + 0xA0), static_cast<uint8_t>(cell + 0xA0)}), expected)
          << "row " << row << " cell " << cell;
      ASSERT_EQ(iso2022Jp(inDoubleByteMode({static_cast<uint8_t>(row + 0x20), static_cast<uint8_t>(cell + 0x20)})),
                expected)
          << "row " << row << " cell " << cell;
    }
  }
}

}  // namespace
