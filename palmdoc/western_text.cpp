#include "palmdoc/western_text.h"

#include <algorithm>
#include <cstddef>

#include "decode/tables/palm_western_table.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Every byte outside 0x80..0x9F is its own unit, so blocks without those bytes and without an
// LF are only widened.
constexpr bool kIdentityOutsideWindowsRange = [] {
  for (int b = 0; b < 256; ++b) {
    if ((b < 0x80 || b > 0x9F) && kPalmWesternTable[b] != b) return false;
  }
  return true;
}();
static_assert(kIdentityOutsideWindowsRange, "the vector path widens every byte outside 0x80..0x9F as it is");

// Converts bytes while two units per byte are sure to fit; returns where the output stands.
char16_t* convertUnchecked(char16_t* out, const uint8_t* bytes, const uint8_t* end, const char16_t* table) {
#if defined(__SSE2__)
  // Sixteen bytes at a time while none is an LF or in 0x80..0x9F (signed: -128..-97).
  const __m128i lineFeed = _mm_set1_epi8('\n');
  const __m128i pastWindows = _mm_set1_epi8(static_cast<char>(0xA0));
  const __m128i zero = _mm_setzero_si128();
  while (end - bytes >= 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    const __m128i windows = _mm_cmpgt_epi8(pastWindows, block);
    const __m128i special = _mm_or_si128(_mm_cmpeq_epi8(block, lineFeed), windows);
    if (_mm_movemask_epi8(special) != 0) {
      // Convert up to the first special byte and that byte, then look again.
      const char16_t* stop = out + __builtin_ctz(static_cast<unsigned>(_mm_movemask_epi8(special)));
      while (out < stop) *out++ = *bytes++;
      const uint8_t b = *bytes++;
      if (b == '\n') *out++ = u'\r';
      *out++ = table[b];
      continue;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(block, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(block, zero));
    out += 16;
    bytes += 16;
  }
#endif
  for (; bytes < end; ++bytes) {
    const uint8_t b = *bytes;
    if (b == '\n') *out++ = u'\r';
    *out++ = table[b];
  }
  return out;
}

}  // namespace

size_t writeWesternText(char16_t* out, uint32_t capacity, const uint8_t* bytes, uint32_t count) {
  // Palm books write Western text in the Windows code page: ISO-8859-1 but for 0x80 to 0x9F,
  // where the curly quotes, dashes and the euro sign are (not the invisible C1 controls).
  const char16_t* table = kPalmWesternTable;
  // Every byte can take two units, so the first capacity / 2 bytes always fit.
  const uint32_t sure = std::min(count, capacity / 2);
  char16_t* o = convertUnchecked(out, bytes, bytes + sure, table);
  char16_t* const limit = out + capacity;  // the unit at `limit` is kept for the zero
  for (uint32_t i = sure; i < count; ++i) {
    const uint8_t b = bytes[i];
    const std::ptrdiff_t needed = b == '\n' ? 2 : 1;
    if (limit - o < needed) break;
    if (b == '\n') *o++ = u'\r';
    *o++ = table[b];
  }
  *o = 0;
  return static_cast<size_t>(o - out);
}
