// UTF-8 and UTF-16 decoders.
#pragma once

#include <cstddef>
#include <cstdint>

// Each decoder ends its text with a zero unit and returns the units written before that zero.
struct UnicodeDecoder {
  size_t decodeUtf8(char16_t* out, const uint8_t* in, int32_t n) const;
  size_t decodeUtf16(char16_t* out, const uint8_t* in, int32_t n) const;
};
