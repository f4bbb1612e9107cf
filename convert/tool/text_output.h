// Writing decoded UTF-16 text to a stream, as UTF-8 or as the raw little-endian units.
#pragma once

#include <cstddef>
#include <cstdio>

// Writes `count` units as UTF-8. Surrogate pairs become one four-byte sequence; a surrogate
// without its partner becomes U+FFFD; every other unit, zero and 0xFFFF included, is encoded
// as the code point of the same value. Returns false when the stream reports an error.
bool writeUtf8(std::FILE* stream, const char16_t* text, size_t count);

// Writes `count` units as little-endian byte pairs. Returns false on a stream error.
bool writeUtf16LittleEndian(std::FILE* stream, const char16_t* text, size_t count);
