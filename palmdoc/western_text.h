// Conversion of a Western Palm DOC text (Windows code page 1252) into the viewer's UTF-16 text.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes the `count` bytes at `bytes` to `out` as UTF-16, an LF becoming CR LF and every other
// byte its unit in the Western Palm DOC table (ISO-8859-1 with the Windows characters in 0x80 to
// 0x9F; a CR stays a CR, so CR LF becomes CR CR LF), then a zero unit.
// `out` holds capacity + 1 units; a text that does not fit is cut before the byte that would
// not fit, so the zero unit always has its place. Returns the units written before the zero.
size_t writeWesternText(char16_t* out, uint32_t capacity, const uint8_t* bytes, uint32_t count);
