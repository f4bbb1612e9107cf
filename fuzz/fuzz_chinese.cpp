// Fuzzes the two Chinese decoders with arbitrary bytes (see decoder_fuzz_check.h).
#include <cstddef>
#include <cstdint>

#include "decode/chinese.h"
#include "fuzz/decoder_fuzz_check.h"

using fuzzing::decodeAndCheck;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= static_cast<size_t>(INT32_MAX)) return 0;
  const ChineseDecoder decoder;
  decodeAndCheck(data, size, [&](char16_t* out, const uint8_t* in, int32_t n) { return decoder.decodeBig5(out, in, n); });
  decodeAndCheck(data, size,
                 [&](char16_t* out, const uint8_t* in, int32_t n) { return decoder.decodeGb2312(out, in, n); });
  return 0;
}
