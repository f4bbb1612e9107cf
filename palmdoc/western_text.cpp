#include "palmdoc/western_text.h"

#include <algorithm>
#include <cstddef>

namespace {

// ISO-8859-1 gives every byte the code unit of the same value.
inline char16_t westernUnit(uint8_t byte) { return byte; }

// Converts bytes while two units per byte are sure to fit; returns where the output stands.
char16_t* convertUnchecked(char16_t* out, const uint8_t* bytes, const uint8_t* end) {
  for (; bytes < end; ++bytes) {
    const uint8_t b = *bytes;
    if (b == '\n') *out++ = u'\r';
    *out++ = westernUnit(b);
  }
  return out;
}

}  // namespace

void writeWesternText(char16_t* out, uint32_t capacity, const uint8_t* bytes, uint32_t count) {
  // Every byte can take two units, so the first capacity / 2 bytes always fit.
  const uint32_t sure = std::min(count, capacity / 2);
  char16_t* o = convertUnchecked(out, bytes, bytes + sure);
  char16_t* const limit = out + capacity;  // the unit at `limit` is kept for the zero
  for (uint32_t i = sure; i < count; ++i) {
    const uint8_t b = bytes[i];
    const std::ptrdiff_t needed = b == '\n' ? 2 : 1;
    if (limit - o < needed) break;
    if (b == '\n') *o++ = u'\r';
    *o++ = westernUnit(b);
  }
  *o = 0;
}
