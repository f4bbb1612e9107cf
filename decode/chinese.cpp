// The Chinese decoders: Big5 (traditional characters, code page 950's mapping with the classic
// Big5 choices) and GB2312 in its EUC-CN form (simplified characters).
//
// Both walk the input once. A lead byte always takes the byte after it as its trail, untested:
// the caller's buffer holds a zero byte after the input, so a lead byte at the very end pairs
// with that zero. Neither decoder ever reads past that zero byte. The text is at most one unit
// per input byte; the faster walks store a few units ahead of the text as scratch, only where
// the text still to come is sure to cover them, so nothing but the text and its closing zero
// is left in the n + 1 units of output room.
#include "decode/chinese.h"

#include <algorithm>

#include "decode/cjk_single_byte_runs.h"
#include "decode/tables/chinese_tables.h"

namespace {

constexpr bool inRange(uint32_t b, int32_t first, int32_t last) {
  return b - static_cast<uint32_t>(first) <= static_cast<uint32_t>(last - first);
}

// The walk shared by both decoders: bytes below 0x80 are copied in runs, a byte from
// `leadFirst` to `leadLast` takes the next byte as its trail and gives the cell `cellFor`
// looks up, every other byte stands for itself.
template <int32_t leadFirst, int32_t leadLast, char16_t (*cellFor)(int32_t, int32_t)>
size_t decodeDoubleByte(char16_t* out, const uint8_t* in, int32_t n) {
  char16_t* const start = out;
  // One character that is no ASCII byte: a table pair or a byte that stands for itself.
  const auto nonAscii = [](const uint8_t* at, char16_t*& to) {
    const uint32_t b = *at;
    if (inRange(b, leadFirst, leadLast)) {
      *to++ = cellFor(static_cast<int32_t>(b), at[1]);
      return at + 2;
    }
    *to++ = static_cast<char16_t>(b);
    return at + 1;
  };
  const uint8_t* p = in;
  const uint8_t* const end = in + std::max(n, 0);
  // Far from the end, ASCII runs are widened 16 bytes at a time with scratch past the run;
  // near it, copied exactly. Chinese text is mostly pairs in a row, which the processor
  // predicts well, so this plain walk beats a vector one here.
  while (end - p >= cjk_runs::kWideningMargin) {
    p = *p < 0x80 ? cjk_runs::widenAsciiPrefix(p, end, out) : nonAscii(p, out);
  }
  while (p < end) {
    p = *p < 0x80 ? cjk_runs::copyAsciiRun(p, end, out) : nonAscii(p, out);
  }
  *out = 0;
  return static_cast<size_t>(out - start);
}

}  // namespace

size_t ChineseDecoder::decodeBig5(char16_t* out, const uint8_t* in, int32_t n) const {
  // Leads 0xA1-0xF9; 0x80-0xA0 and 0xFA-0xFF stand for themselves.
  return decodeDoubleByte<kBig5LeadFirst, kBig5LeadLast, big5Cell>(out, in, n);
}

size_t ChineseDecoder::decodeGb2312(char16_t* out, const uint8_t* in, int32_t n) const {
  // Leads 0xA1-0xFE, though the table ends with row 0xF7: later rows give no character.
  // 0x80-0xA0 and 0xFF stand for themselves.
  return decodeDoubleByte<kGb2312LeadFirst, 0xFE, gb2312Cell>(out, in, n);
}
