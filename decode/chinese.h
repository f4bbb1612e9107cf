// Chinese decoders: Big5 and GB2312.
#pragma once

#include <cstdint>

struct ChineseDecoder {
  int decodeBig5(char16_t* out, const uint8_t* in, int32_t n) const;
  int decodeGb2312(char16_t* out, const uint8_t* in, int32_t n) const;
};
