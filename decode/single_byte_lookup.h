// Table-driven decoding of one-byte encodings, with vector lookups where the processor has
// them. Shared by the ISO-8859 decoder and the Thai and Vietnamese decoders; private to decode/.
#pragma once

#include <cstddef>
#include <cstdint>

// A 256-unit table prepared for lookups 16, 32 or 64 bytes at a time. Bytes 0x00..0x7F map to
// themselves in every table the viewer has, so only the upper half is split into planes.
struct SingleByteLookup {
  const char16_t* units = nullptr;  // the 256-unit table itself (static data, not owned)
  bool upperIsIdentity = false;     // every byte maps to the unit of the same value (Latin-1)
  alignas(64) uint8_t low[128] = {};   // low byte of the unit of each byte 0x80..0xFF
  alignas(64) uint8_t high[128] = {};  // high byte of the unit of each byte 0x80..0xFF
  // The planes cut into eight 16-byte slices, each slice XORed with the one before it. A byte
  // shuffle zeroes a lane whose index has its top bit set, so XOR-ing the shuffles of slice k
  // with the index lowered by 16 k (saturating) for k = 0..7 leaves exactly the slice the
  // index falls into: the slices below it cancel out and those above give zero.
  alignas(16) uint8_t lowDelta[128] = {};   // for the low plane
  alignas(16) uint8_t highDelta[128] = {};  // for the high plane
};

// Prepares a table at compile time. The table must map 0x00..0x7F to themselves; a table that
// does not is rejected while compiling (the throw makes the evaluation non-constant).
constexpr SingleByteLookup makeSingleByteLookup(const char16_t (&units)[256]) {
  SingleByteLookup lookup;
  lookup.units = units;
  lookup.upperIsIdentity = true;
  for (int byte = 0; byte < 0x80; ++byte) {
    if (units[byte] != byte) throw "single-byte tables map 0x00..0x7F to themselves";
  }
  for (int i = 0; i < 128; ++i) {
    char16_t unit = units[0x80 + i];
    lookup.low[i] = static_cast<uint8_t>(unit & 0xFF);
    lookup.high[i] = static_cast<uint8_t>(unit >> 8);
    if (unit != 0x80 + i) lookup.upperIsIdentity = false;
  }
  for (int i = 0; i < 128; ++i) {
    bool firstSlice = i < 16;
    lookup.lowDelta[i] = firstSlice ? lookup.low[i] : lookup.low[i] ^ lookup.low[i - 16];
    lookup.highDelta[i] = firstSlice ? lookup.high[i] : lookup.high[i] ^ lookup.high[i - 16];
  }
  return lookup;
}

// The ways of doing the lookup, slowest first. Each gives the same units for the same bytes.
enum class SingleByteKernel {
  Scalar,      // one table read per byte
  Sse2,        // runs of 16 bytes below 0x80 widened at once, the rest read from the table
  Ssse3,       // 16 bytes at a time, upper half through byte shuffles over the table slices
  Avx2,        // the same, 32 bytes at a time
  Avx512Vbmi,  // 64 bytes at a time, the 128-byte planes looked up with two-table permutes
};

// Whether this processor can run a kernel (Scalar and, on x86-64, Sse2 always can).
bool singleByteKernelAvailable(SingleByteKernel kernel);
// The fastest kernel this processor can run; decided once.
SingleByteKernel bestSingleByteKernel();

// Writes the units of in[0..n) to out[0..n) with the given kernel, which must be available.
// Reads nothing past in[n - 1] and writes nothing past out[n - 1]; writes no ending zero.
void lookupSingleBytes(SingleByteKernel kernel, char16_t* out, const uint8_t* in, size_t n,
                       const SingleByteLookup& table);

// The decoder step shared by the one-byte decoders: n units (none when n <= 0) through the best
// kernel, then the ending zero unit. out must have room for n + 1 units. Returns the units
// written before the zero (n, or 0).
size_t decodeSingleBytes(char16_t* out, const uint8_t* in, int32_t n, const SingleByteLookup& table);
