// Korean decoders: EUC-KR with the Unified Hangul extension, and ISO-2022-KR.
#pragma once

#include <cstdint>

struct KoreanDecoder {
  int decodeEucKr(char16_t* out, const uint8_t* in, int32_t n) const;
  int decodeIso2022Kr(char16_t* out, const uint8_t* in, int32_t n) const;
};
