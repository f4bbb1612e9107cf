// The Korean decoders: EUC-KR read as code page 949 (with the Unified Hangul Code's extended
// lead and trail bytes), and the 7-bit ISO-2022-KR form with its shift codes (RFC 1557).
//
// Both walk the input once. A lead byte always takes the byte after it as its trail, untested:
// the caller's buffer holds a zero byte after the input, so a lead byte at the very end pairs
// with that zero. Neither decoder ever reads past that zero byte or writes more than one unit
// per input byte before the closing zero unit.
#include "decode/korean.h"

#include <algorithm>

#include "decode/cjk_single_byte_runs.h"
#include "decode/tables/korean_tables.h"

namespace {

constexpr uint8_t kShiftOut = 0x0E;  // SO: the double-byte mode of ISO-2022-KR starts
constexpr uint8_t kShiftIn = 0x0F;   // SI: back to single bytes
constexpr uint8_t kEscape = 0x1B;    // starts the designator ESC $ ) C
constexpr int32_t kDesignatorLength = 4;

constexpr bool inRange(uint32_t b, int32_t first, int32_t last) {
  return b - static_cast<uint32_t>(first) <= static_cast<uint32_t>(last - first);
}

// Whether ESC at `p` starts the designator ESC $ ) C. The third byte is looked at only when
// the second is "$", and only if it lies before the zero byte that ends the input.
bool startsDesignator(const uint8_t* p, const uint8_t* end) {
  return p[1] == '$' && end - p >= 3 && p[2] == ')';
}

// The unit for a pair in double-byte mode: both bytes are moved up by 0x80 (as ordinary
// integers, so bytes that already have the top bit set land past every table) and looked up
// as an EUC-KR pair: the rows up to 0xC8 in the UHC table, every other row in the Hanja table.
char16_t iso2022KrPairUnit(uint32_t b, uint32_t t) {
  const int32_t lead = static_cast<int32_t>(b) + 0x80;
  const int32_t trail = static_cast<int32_t>(t) + 0x80;
  return inRange(static_cast<uint32_t>(lead), kUhcLeadFirst, kUhcLeadLast) ? uhcCell(lead, trail)
                                                                           : hanjaCell(lead, trail);
}

}  // namespace

int KoreanDecoder::decodeEucKr(char16_t* out, const uint8_t* in, int32_t n) const {
  const uint8_t* p = in;
  const uint8_t* const end = in + std::max(n, 0);
  while (p < end) {
    const uint32_t b = *p;
    if (b < 0x80) {
      p = cjk_runs::copyAsciiRun(p, end, out);
    } else if (inRange(b, kUhcLeadFirst, kUhcLeadLast)) {
      *out++ = uhcCell(static_cast<int32_t>(b), p[1]);
      p += 2;
    } else if (inRange(b, kHanjaLeadFirst, kHanjaLeadLast)) {
      *out++ = hanjaCell(static_cast<int32_t>(b), p[1]);
      p += 2;
    } else {
      // 0x80, 0xC9, 0xFE and 0xFF stand for themselves; the byte after 0xC9 or 0xFE (the
      // user-defined rows) is decoded on its own.
      *out++ = static_cast<char16_t>(b);
      ++p;
    }
  }
  *out = 0;
  return 1;
}

int KoreanDecoder::decodeIso2022Kr(char16_t* out, const uint8_t* in, int32_t n) const {
  const uint8_t* p = in;
  const uint8_t* const end = in + std::max(n, 0);
  bool doubleByte = false;  // every call starts in single-byte mode
  while (p < end) {
    const uint32_t b = *p;
    if (b == kShiftOut) {
      doubleByte = true;
      ++p;
    } else if (b == kShiftIn) {
      doubleByte = false;
      ++p;
    } else if (b == kEscape && startsDesignator(p, end)) {
      // ESC $ ) C names KS X 1001 as the double-byte set, the only one there is: the four
      // bytes are skipped, the final one unread. A designator cut off by the end of the input
      // ends the walk.
      p += std::min<std::ptrdiff_t>(kDesignatorLength, end - p);
    } else if (doubleByte) {
      // Line ends and every other byte pair up here, as the shift codes alone delimit pairs.
      *out++ = iso2022KrPairUnit(b, p[1]);
      p += 2;
    } else {
      *out++ = static_cast<char16_t>(b);
      p = cjk_runs::copyRunUntil(p + 1, end, out, kShiftOut, kShiftIn, kEscape);
    }
  }
  *out = 0;
  return 1;
}
