// Fuzzes the two Korean decoders with arbitrary bytes (see decoder_fuzz_check.h) and compares
// every unit with a plain byte-at-a-time reading of the rules, which takes none of the
// decoders' shortcuts (vector blocks, widened runs, the "SI x SO" step).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "decode/korean.h"
#include "decode/tables/korean_tables.h"
#include "fuzz/decoder_fuzz_check.h"

using fuzzing::decodeAndCheck;

namespace {

// The table cell of a lead and a trail, or 0xFFFF when the position falls outside the table.
char16_t cell(const char16_t* table, int32_t cells, int32_t perRow, int32_t leadFirst, int32_t trailFirst,
              int32_t lead, int32_t trail) {
  const int64_t position = int64_t{lead - leadFirst} * perRow + (trail - trailFirst);
  return position >= 0 && position < cells ? table[position] : char16_t{0xFFFF};
}

// An EUC-KR pair: leads 0x81-0xC8 in the Unified Hangul table, every other lead in the Hanja
// table (the ISO-2022-KR pairs, moved up by 0x80, may land beyond both).
char16_t pair(int32_t lead, int32_t trail) {
  if (lead >= 0x81 && lead <= 0xC8) return cell(kUhcTable, kUhcTableCells, 190, 0x81, 0x41, lead, trail);
  return cell(kHanjaTable, kHanjaTableCells, 94, 0xCA, 0xA1, lead, trail);
}

// `in` holds n bytes and a zero after them.
std::u16string plainEucKr(const uint8_t* in, size_t n) {
  std::u16string text;
  for (size_t i = 0; i < n;) {
    const uint8_t b = in[i];
    if ((b >= 0x81 && b <= 0xC8) || (b >= 0xCA && b <= 0xFD)) {
      text += pair(b, in[i + 1]);
      i += 2;
    } else {
      text += static_cast<char16_t>(b);
      i += 1;
    }
  }
  return text;
}

std::u16string plainIso2022Kr(const uint8_t* in, size_t n) {
  std::u16string text;
  bool doubleByte = false;
  for (size_t i = 0; i < n;) {
    const uint8_t b = in[i];
    if (b == 0x0E || b == 0x0F) {
      doubleByte = b == 0x0E;
      i += 1;
    } else if (b == 0x1B && in[i + 1] == '$' && n - i >= 3 && in[i + 2] == ')') {
      i += std::min<size_t>(4, n - i);  // ESC $ ) C, its last byte unread
    } else if (doubleByte) {
      text += pair(b + 0x80, in[i + 1] + 0x80);
      i += 2;
    } else {
      text += static_cast<char16_t>(b);
      i += 1;
    }
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  const KoreanDecoder decoder;
  decodeAndCheck(data, size, plainEucKr,
                 [&](char16_t* out, const uint8_t* in, int32_t n) { return decoder.decodeEucKr(out, in, n); });
  decodeAndCheck(data, size, plainIso2022Kr,
                 [&](char16_t* out, const uint8_t* in, int32_t n) { return decoder.decodeIso2022Kr(out, in, n); });
  return 0;
}
