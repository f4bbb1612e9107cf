// Korean decoders: EUC-KR with the Unified Hangul extension, and ISO-2022-KR.
#pragma once

#include <cstddef>
#include <cstdint>

// Each decoder ends its text with a zero unit and returns the units written before that zero.
struct KoreanDecoder {
  size_t decodeEucKr(char16_t* out, const uint8_t* in, int32_t n) const;
  size_t decodeIso2022Kr(char16_t* out, const uint8_t* in, int32_t n) const;
};
