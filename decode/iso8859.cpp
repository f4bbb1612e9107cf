// ISO-8859 decoder: one table lookup per byte through the part's table.
#include "decode/iso8859.h"

#include "decode/single_byte_lookup.h"
#include "decode/tables/iso8859_tables.h"

namespace {

// The seven tables prepared for vector lookups while compiling; part p is entry p - 1.
constexpr SingleByteLookup kIso8859Lookups[7] = {
    makeSingleByteLookup(kIso8859Tables[0]), makeSingleByteLookup(kIso8859Tables[1]),
    makeSingleByteLookup(kIso8859Tables[2]), makeSingleByteLookup(kIso8859Tables[3]),
    makeSingleByteLookup(kIso8859Tables[4]), makeSingleByteLookup(kIso8859Tables[5]),
    makeSingleByteLookup(kIso8859Tables[6]),
};

static_assert(kIso8859Lookups[0].upperIsIdentity, "part 1 maps every byte to itself");

}  // namespace

size_t Iso8859Decoder::decodeIso8859(char16_t* out, const uint8_t* in, int32_t n, int part) const {
  // Parts 2 to 7 select their own table; 1 and every other number select part 1.
  int row = (part >= 2 && part <= 7) ? part - 1 : 0;
  return decodeSingleBytes(out, in, n, kIso8859Lookups[row]);
}

const char16_t* iso8859Table(int part) {
  if (part < 1 || part > 7) return nullptr;
  return kIso8859Tables[part - 1];
}
