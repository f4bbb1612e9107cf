// EUC-JP to UTF-16 through the JIS X 0208 table.
//
// A byte 0xA1-0xFE and the byte after it (untested; the zero after the input when the lead is
// last) give the cell at (lead - 0xA1) * 94 + (next - 0xA1). A next byte below 0xA1 lands on a
// neighbouring cell or before the table, leads 0xF5-0xFE (and 0xF4 with a next byte of 0xA7 or
// more) past its end: those positions give 0xFFFF. 0x8E (single shift 2) and the byte after it
// give that byte + 0xFEC0 cut to 16 bits (half-width katakana for 0xA1-0xDF). Every other byte,
// 0x8F (the JIS X 0212 prefix) included, is written as the unit of the same value.
#include <cstddef>

#include "decode/japanese.h"
#include "decode/japanese_runs.h"
#include "decode/tables/jis_table.h"

namespace {

constexpr uint8_t kSingleShift2 = 0x8E;

char16_t* decodeEucJpText(char16_t* out, const uint8_t* in, int32_t n) {
  const size_t length = n > 0 ? static_cast<size_t>(n) : 0;
  size_t i = 0;
  while (i < length) {
    const uint8_t b = in[i];
    if (b >= 0xA1 && b != 0xFF) {
      const int32_t position = (b - 0xA1) * kJisCellsPerRow + (in[i + 1] - 0xA1);
      *out++ = jisCell(position);
      i += 2;
    } else if (b < 0x80) {
      const size_t run = japanese_runs::copyRun<japanese_runs::RunEnd::kHighBit>(in + i, length - i, out);
      out += run;
      i += run;
    } else if (b == kSingleShift2) {
      *out++ = static_cast<char16_t>(in[i + 1] + 0xFEC0);
      i += 2;
    } else {
      *out++ = b;
      ++i;
    }
  }
  *out = 0;
  return out;
}

}  // namespace

size_t JapaneseDecoder::decodeEucJp(char16_t* out, const uint8_t* in, int32_t n) const {
  return static_cast<size_t>(decodeEucJpText(out, in, n) - out);
}
