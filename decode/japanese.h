// Japanese decoders: Shift-JIS (code page 932 without its vendor rows), ISO-2022-JP and EUC-JP,
// all through the one JIS X 0208 table.
#pragma once

#include <cstddef>
#include <cstdint>

// Stateless: every call starts in its initial state. Each writes at most one unit per input
// byte (decodeShiftJisCrLf: two for an LF) and then one zero unit, and returns the units written before that zero. The byte
// after the n input bytes must be readable (it is the zero after the file's bytes).
struct JapaneseDecoder {
  size_t decodeShiftJis(char16_t* out, const uint8_t* in, int32_t n) const;
  size_t decodeShiftJisCrLf(char16_t* out, const uint8_t* in, int32_t n) const;
  size_t decodeIso2022Jp(char16_t* out, const uint8_t* in, int32_t n) const;
  size_t decodeEucJp(char16_t* out, const uint8_t* in, int32_t n) const;
};
