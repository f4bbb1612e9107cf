// The twenty encodings the user can choose, numbered by EncodingIndex, and their font
// character sets.
#pragma once

#include <cstdint>

inline constexpr int kEncodingCount = 20;
inline constexpr int kEncodingNameUnits = 30;  // each name is stored in a row of 30 units

// The display name of EncodingIndex i (0..19), or nullptr outside that range.
const char16_t* encodingName(int index);
// The platform font character set for an EncodingIndex taken as unsigned; 128 outside 0..19.
uint8_t charsetForEncoding(uint32_t index);
