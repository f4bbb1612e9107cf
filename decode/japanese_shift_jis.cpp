// Shift-JIS (code page 932's JIS X 0208 part) to UTF-16, and its LF -> CR LF variant for the
// Palm DOC reader.
//
// A lead byte (0x81-0x9F, 0xE0-0xEF) takes the byte after it as its trail, also when the lead
// is the last input byte (the trail is then the zero after the input). A trail below 0x40,
// 0x7F or above 0xFC drops both bytes. A valid pair is turned into JIS row and cell bytes:
//   k  = lead - 0x80 (leads 0x81-0x9F) or lead - 0xC0 (leads 0xE0-0xEF), so 1..47
//   j1 = 2k + 0x1F, plus 1 when trail >= 0x9F
//   j2 = trail - 0x1F (trail < 0x7F), trail - 0x20 (0x80 <= trail < 0x9F), trail - 0x7E (>= 0x9F)
// and looked up at (j1 - 0x21) * 94 + (j2 - 0x21). Leads 0xEA (high trails) to 0xEF reach past
// the table's end and give 0xFFFF. Half-width katakana 0xA1-0xDF become U+FF61-U+FF9F; every
// other byte (ASCII, 0x80, 0xA0, 0xF0-0xFF) is written as the unit of the same value.
//
// The position arithmetic is split into two small tables built at compile time from those
// rules: the row offset of a lead, and the in-row offset (plus one row for trails >= 0x9F) of
// a trail, so that a pair costs two byte-indexed reads and one table read.
#include <array>
#include <cstddef>

#include "decode/japanese.h"
#include "decode/japanese_runs.h"
#include "decode/tables/jis_table.h"

namespace {

constexpr int32_t kNotALead = -1;
// Far enough below zero that lead offset + trail offset stays negative: jisCell then answers
// 0xFFFF without a read, and the decoder does not keep the unit anyway.
constexpr int32_t kInvalidTrail = -1'000'000;

// Lead byte -> (j1 - 0x21) * 94 for a trail below 0x9F, or kNotALead.
constexpr std::array<int32_t, 256> kLeadRowOffset = [] {
  std::array<int32_t, 256> table{};
  for (int b = 0; b < 256; ++b) {
    int k = 0;
    if (b >= 0x81 && b <= 0x9F) k = b - 0x80;
    if (b >= 0xE0 && b <= 0xEF) k = b - 0xC0;
    table[b] = k == 0 ? kNotALead : ((2 * k + 0x1F) - 0x21) * kJisCellsPerRow;
  }
  return table;
}();

// Trail byte -> (j2 - 0x21), plus 94 (the next row) for trails 0x9F and above, or kInvalidTrail.
constexpr std::array<int32_t, 256> kTrailOffset = [] {
  std::array<int32_t, 256> table{};
  for (int t = 0; t < 256; ++t) {
    if (t < 0x40 || t == 0x7F || t > 0xFC) {
      table[t] = kInvalidTrail;
    } else if (t >= 0x9F) {
      table[t] = kJisCellsPerRow + ((t - 0x7E) - 0x21);
    } else if (t >= 0x80) {
      table[t] = (t - 0x20) - 0x21;
    } else {
      table[t] = (t - 0x1F) - 0x21;
    }
  }
  return table;
}();

// Unit of a byte that is no lead byte: half-width katakana move to U+FF61..U+FF9F, the rest
// keep their value.
constexpr std::array<char16_t, 256> kSingleByteUnit = [] {
  std::array<char16_t, 256> table{};
  for (int b = 0; b < 256; ++b) {
    table[b] = static_cast<char16_t>(b >= 0xA1 && b <= 0xDF ? b + 0xFEC0 : b);
  }
  return table;
}();

// One forward pass; returns the position of the ending zero unit it writes.
template <bool kLineFeedToCrLf>
char16_t* decodeShiftJisText(char16_t* out, const uint8_t* in, int32_t n) {
  using japanese_runs::RunEnd;
  constexpr RunEnd kRunEnd = kLineFeedToCrLf ? RunEnd::kHighBitOrLineFeed : RunEnd::kHighBit;
  const size_t length = n > 0 ? static_cast<size_t>(n) : 0;
  size_t i = 0;
  while (i < length) {
    const uint8_t b = in[i];
    if (b < 0x80) {
      if (kLineFeedToCrLf && b == 0x0A) {
        out[0] = 0x0D;
        out[1] = 0x0A;
        out += 2;
        ++i;
        continue;
      }
      const size_t run = japanese_runs::copyRun<kRunEnd>(in + i, length - i, out);
      out += run;
      i += run;
      continue;
    }
    const int32_t rowOffset = kLeadRowOffset[b];
    if (rowOffset != kNotALead) {
      // The trail may be the zero byte after the input (i + 1 == length): then it is invalid.
      const int32_t trailOffset = kTrailOffset[in[i + 1]];
      // Written in any case, kept only for a valid trail: whatever comes next overwrites it.
      *out = jisCell(rowOffset + trailOffset);
      out += trailOffset >= 0 ? 1 : 0;
      i += 2;
    } else {
      *out++ = kSingleByteUnit[b];
      ++i;
    }
  }
  *out = 0;
  return out;
}

}  // namespace

size_t JapaneseDecoder::decodeShiftJis(char16_t* out, const uint8_t* in, int32_t n) const {
  return static_cast<size_t>(decodeShiftJisText<false>(out, in, n) - out);
}

size_t JapaneseDecoder::decodeShiftJisCrLf(char16_t* out, const uint8_t* in, int32_t n) const {
  return static_cast<size_t>(decodeShiftJisText<true>(out, in, n) - out);
}
