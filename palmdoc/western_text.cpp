#include "palmdoc/western_text.h"

#include <algorithm>
#include <cstddef>

#include "decode/tables/palm_western_table.h"

namespace {

// Converts bytes while two units per byte are sure to fit; returns where the output stands.
char16_t* convertUnchecked(char16_t* out, const uint8_t* bytes, const uint8_t* end, const char16_t* table) {
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
