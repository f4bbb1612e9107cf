// Thai (code page 874) and Vietnamese (code page 1258) decoders: one table lookup per byte.
// Vietnamese combining marks are written as separate units after their letter; nothing is
// composed, so the output has exactly one unit per byte.
#include "decode/thai_vietnamese.h"

#include "decode/single_byte_lookup.h"
#include "decode/tables/thai_vietnamese_tables.h"

namespace {

constexpr SingleByteLookup kThaiLookup = makeSingleByteLookup(kThaiTable);
constexpr SingleByteLookup kVietnameseLookup = makeSingleByteLookup(kVietnameseTable);

}  // namespace

size_t ThaiVietnameseDecoder::decodeThai(char16_t* out, const uint8_t* in, int32_t n) const {
  return decodeSingleBytes(out, in, n, kThaiLookup);
}

size_t ThaiVietnameseDecoder::decodeVietnamese(char16_t* out, const uint8_t* in, int32_t n) const {
  return decodeSingleBytes(out, in, n, kVietnameseLookup);
}
