// The Korean decoders: EUC-KR read as code page 949 (with the Unified Hangul Code's extended
// lead and trail bytes), and the 7-bit ISO-2022-KR form with its shift codes (RFC 1557).
//
// Both walk the input once. A lead byte always takes the byte after it as its trail, untested:
// the caller's buffer holds a zero byte after the input, so a lead byte at the very end pairs
// with that zero. Neither decoder ever reads past that zero byte. The text is at most one unit
// per input byte; the faster walks store a few units ahead of the text as scratch, only where
// the text still to come is sure to cover them, so nothing but the text and its closing zero
// is left in the n + 1 units of output room.
#include "decode/korean.h"

#include <algorithm>

#include "decode/cjk_pair_blocks.h"
#include "decode/cjk_single_byte_runs.h"
#include "decode/korean_iso2022kr_blocks.h"
#include "decode/tables/korean_tables.h"

namespace {

constexpr uint8_t kShiftOut = 0x0E;  // SO: the double-byte mode of ISO-2022-KR starts
constexpr uint8_t kShiftIn = 0x0F;   // SI: back to single bytes
constexpr uint8_t kEscape = 0x1B;    // starts the designator ESC $ ) C
constexpr int32_t kDesignatorLength = 4;

constexpr bool inRange(uint32_t b, int32_t first, int32_t last) {
  return b - static_cast<uint32_t>(first) <= static_cast<uint32_t>(last - first);
}

// SO, SI and ESC: the bytes that may change what follows.
constexpr bool isShiftOrEscape(uint32_t b) { return b == kShiftOut || b == kShiftIn || b == kEscape; }

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

// One character of EUC-KR at `p` that is no ASCII byte: a pair of the UHC or Hanja table, or
// a byte that stands for itself. Returns the position after it.
inline const uint8_t* decodeEucKrNonAscii(const uint8_t* p, char16_t*& out) {
  const uint32_t b = *p;
  if (inRange(b, kUhcLeadFirst, kUhcLeadLast)) {
    *out++ = uhcCell(static_cast<int32_t>(b), p[1]);
    return p + 2;
  }
  if (inRange(b, kHanjaLeadFirst, kHanjaLeadLast)) {
    *out++ = hanjaCell(static_cast<int32_t>(b), p[1]);
    return p + 2;
  }
  // 0x80, 0xC9, 0xFE and 0xFF stand for themselves; the byte after 0xC9 or 0xFE (the
  // user-defined rows) is decoded on its own.
  *out++ = static_cast<char16_t>(b);
  return p + 1;
}

// One step of ISO-2022-KR at `p` in the mode `doubleByte`: a shift code, a designator or a
// character, written exactly. Returns the position after it.
inline const uint8_t* iso2022KrStep(const uint8_t* p, const uint8_t* end, char16_t*& out, bool& doubleByte) {
  const uint32_t b = *p;
  if (b == kShiftOut || b == kShiftIn) {
    doubleByte = b == kShiftOut;
    return p + 1;
  }
  if (b == kEscape && startsDesignator(p, end)) {
    return p + std::min<std::ptrdiff_t>(kDesignatorLength, end - p);
  }
  if (doubleByte) {
    *out++ = iso2022KrPairUnit(b, p[1]);
    return p + 2;
  }
  *out++ = static_cast<char16_t>(b);
  return p + 1;
}

// One character of EUC-KR at `p`, written exactly; returns the position after it.
inline const uint8_t* decodeEucKrCharacter(const uint8_t* p, char16_t*& out) {
  if (*p < 0x80) {
    *out++ = *p;
    return p + 1;
  }
  return decodeEucKrNonAscii(p, out);
}

}  // namespace

size_t KoreanDecoder::decodeEucKr(char16_t* out, const uint8_t* in, int32_t n) const {
  char16_t* const start = out;
  const uint8_t* p = in;
  const uint8_t* const end = in + std::max(n, 0);
#if defined(QUILL_CJK_PAIR_BLOCKS)
  if (cjk_blocks::available()) {
    // The UHC rows go through the vector walk; a block with a Hanja pair or a lone byte from
    // 0x80 up is decoded character by character.
    static constexpr cjk_blocks::PairTable kUhc{kUhcLeadFirst,   kUhcLeadLast,   kUhcTrailFirst,
                                                kUhcCellsPerRow, kUhcTableCells, kUhcTable,
                                                kHanjaLeadFirst, kHanjaLeadLast};
    p = cjk_blocks::decodeBlocks(kUhc, p, end, out, decodeEucKrCharacter);
  }
#endif
  // Far from the end, ASCII runs are widened 16 bytes at a time with scratch past the run;
  // near it, copied exactly.
  while (end - p >= cjk_runs::kWideningMargin) {
    p = *p < 0x80 ? cjk_runs::widenAsciiPrefix(p, end, out) : decodeEucKrNonAscii(p, out);
  }
  while (p < end) {
    p = *p < 0x80 ? cjk_runs::copyAsciiRun(p, end, out) : decodeEucKrNonAscii(p, out);
  }
  *out = 0;
  return static_cast<size_t>(out - start);
}

size_t KoreanDecoder::decodeIso2022Kr(char16_t* out, const uint8_t* in, int32_t n) const {
  char16_t* const start = out;
  const uint8_t* p = in;
  const uint8_t* const end = in + std::max(n, 0);
  bool doubleByte = false;  // every call starts in single-byte mode
#if defined(QUILL_CJK_PAIR_BLOCKS)
  if (cjk_blocks::available()) {
    const auto step = [end](const uint8_t* at, char16_t*& to, bool& mode) { return iso2022KrStep(at, end, to, mode); };
    p = iso2022kr_blocks::decodeBlocks(p, iso2022kr_blocks::scratchLimit(in, end), out, doubleByte, step);
  }
#endif
  while (p < end) {
    const uint32_t b = *p;
    if (isShiftOrEscape(b)) {
      if (b == kShiftOut) {
        doubleByte = true;
        ++p;
        continue;
      }
      if (b == kShiftIn) {
        // Korean text shifts out again after a single space or mark: "SI x SO" keeps the
        // double-byte mode without a detour through the single-byte copy.
        if (doubleByte && end - p >= 3 && p[2] == kShiftOut && !isShiftOrEscape(p[1])) {
          *out++ = p[1];
          p += 3;
          continue;
        }
        doubleByte = false;
        ++p;
        continue;
      }
      if (startsDesignator(p, end)) {
        // ESC $ ) C names KS X 1001 as the double-byte set, the only one there is: the four
        // bytes are skipped, the final one unread. A designator cut off by the end of the
        // input ends the walk.
        p += std::min<std::ptrdiff_t>(kDesignatorLength, end - p);
        continue;
      }
      // Any other ESC is a byte like the others.
    }
    if (doubleByte) {
      // Line ends and every other byte pair up here, as the shift codes alone delimit pairs.
      *out++ = iso2022KrPairUnit(b, p[1]);
      p += 2;
      // The rest of the run of pairs, up to the next shift code or escape at a pair start.
      while (p < end && !isShiftOrEscape(*p)) {
        *out++ = iso2022KrPairUnit(p[0], p[1]);
        p += 2;
      }
    } else {
      *out++ = static_cast<char16_t>(b);
      p = cjk_runs::copyRunUntil(p + 1, end, out, kShiftOut, kShiftIn, kEscape);
    }
  }
  *out = 0;
  return static_cast<size_t>(out - start);
}
