// Thai (TIS-620) and Vietnamese (code page 1258) single-byte decoders.
#pragma once

#include <cstdint>

struct ThaiVietnameseDecoder {
  int decodeThai(char16_t* out, const uint8_t* in, int32_t n) const;
  int decodeVietnamese(char16_t* out, const uint8_t* in, int32_t n) const;
};
