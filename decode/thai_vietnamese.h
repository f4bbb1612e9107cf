// Thai (TIS-620) and Vietnamese (code page 1258) single-byte decoders.
#pragma once

#include <cstddef>
#include <cstdint>

// Each decoder ends its text with a zero unit and returns the units written before that zero.
struct ThaiVietnameseDecoder {
  size_t decodeThai(char16_t* out, const uint8_t* in, int32_t n) const;
  size_t decodeVietnamese(char16_t* out, const uint8_t* in, int32_t n) const;
};
