// ISO-8859 single-byte decoders (parts 1 to 7).
#pragma once

#include <cstddef>
#include <cstdint>

// Each decoder ends its text with a zero unit and returns the units written before that zero.
struct Iso8859Decoder {
  size_t decodeIso8859(char16_t* out, const uint8_t* in, int32_t n, int part) const;
};

// The 256-unit table of one ISO-8859 part (1 to 7), or nullptr for any other part.
// Part 1 maps every byte to the unit of the same value; the Palm DOC reader uses it.
const char16_t* iso8859Table(int part);
