// Chinese decoders: Big5 and GB2312.
#pragma once

#include <cstddef>
#include <cstdint>

// Each decoder ends its text with a zero unit and returns the units written before that zero.
struct ChineseDecoder {
  size_t decodeBig5(char16_t* out, const uint8_t* in, int32_t n) const;
  size_t decodeGb2312(char16_t* out, const uint8_t* in, int32_t n) const;
};
