// UTF-8 and UTF-16 decoders.
#pragma once

#include <cstdint>

struct UnicodeDecoder {
  int decodeUtf8(char16_t* out, const uint8_t* in, int32_t n) const;
  int decodeUtf16(char16_t* out, const uint8_t* in, int32_t n) const;
};
