// Fuzzes the two Chinese decoders with arbitrary bytes (see decoder_fuzz_check.h) and compares
// every unit with a plain byte-at-a-time reading of the rules, which takes none of the
// decoders' shortcuts (widened runs).
#include <cstddef>
#include <cstdint>
#include <string>

#include "decode/chinese.h"
#include "decode/tables/chinese_tables.h"
#include "fuzz/decoder_fuzz_check.h"

using fuzzing::decodeAndCheck;

namespace {

// Leads from `leadFirst` to `leadLast` take the next byte (the zero after the input at the very
// end) as their trail; a position outside the table gives 0xFFFF; every other byte stands for
// itself. `in` holds n bytes and a zero after them.
std::u16string plainDoubleByte(const uint8_t* in, size_t n, uint8_t leadFirst, uint8_t leadLast, uint8_t trailFirst,
                               int32_t perRow, const char16_t* table, int32_t cells) {
  std::u16string text;
  for (size_t i = 0; i < n;) {
    const uint8_t b = in[i];
    if (b >= leadFirst && b <= leadLast) {
      const int64_t position = int64_t{b - leadFirst} * perRow + (in[i + 1] - trailFirst);
      text += position >= 0 && position < cells ? table[position] : char16_t{0xFFFF};
      i += 2;
    } else {
      text += static_cast<char16_t>(b);
      i += 1;
    }
  }
  return text;
}

std::u16string plainBig5(const uint8_t* in, size_t n) {
  return plainDoubleByte(in, n, 0xA1, 0xF9, 0x40, 191, kBig5Table, kBig5TableCells);
}

std::u16string plainGb2312(const uint8_t* in, size_t n) {
  return plainDoubleByte(in, n, 0xA1, 0xFE, 0xA1, 94, kGb2312Table, kGb2312TableCells);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  const ChineseDecoder decoder;
  decodeAndCheck(data, size, plainBig5,
                 [&](char16_t* out, const uint8_t* in, int32_t n) { return decoder.decodeBig5(out, in, n); });
  decodeAndCheck(data, size, plainGb2312,
                 [&](char16_t* out, const uint8_t* in, int32_t n) { return decoder.decodeGb2312(out, in, n); });
  return 0;
}
