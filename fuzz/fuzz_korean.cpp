// Fuzzes the two Korean decoders with arbitrary bytes (see decoder_fuzz_check.h).
#include <cstddef>
#include <cstdint>

#include "decode/korean.h"
#include "fuzz/decoder_fuzz_check.h"

using fuzzing::decodeAndCheck;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= static_cast<size_t>(INT32_MAX)) return 0;
  const KoreanDecoder decoder;
  decodeAndCheck(data, size, [&](char16_t* out, const uint8_t* in, int32_t n) { return decoder.decodeEucKr(out, in, n); });
  decodeAndCheck(data, size,
                 [&](char16_t* out, const uint8_t* in, int32_t n) { return decoder.decodeIso2022Kr(out, in, n); });
  return 0;
}
