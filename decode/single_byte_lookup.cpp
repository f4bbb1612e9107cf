// Single-byte table lookups: a scalar loop and, on x86-64, vector kernels chosen at run time.
//
// Every vector kernel reads and writes whole blocks only inside [0, n): the last, partial block
// is done again as the full block that ends at n (it overlaps the one before, which is harmless
// because each unit depends on its own byte alone), and inputs shorter than one block go to the
// next smaller kernel.
#include "decode/single_byte_lookup.h"

#include "decode/cpu_features.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define QUILL_SINGLE_BYTE_X86 1
#endif

namespace {

void lookupScalar(char16_t* out, const uint8_t* in, size_t n, const char16_t* units) {
  for (size_t i = 0; i < n; ++i) out[i] = units[in[i]];
}

#if defined(QUILL_SINGLE_BYTE_X86)

// ---- SSE2: whole blocks below 0x80 are widened, other blocks read from the table ----

inline void widen16(char16_t* out, __m128i bytes) {
  const __m128i zero = _mm_setzero_si128();
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(bytes, zero));
}

void lookupSse2(char16_t* out, const uint8_t* in, size_t n, const SingleByteLookup& table) {
  size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    if (table.upperIsIdentity || _mm_movemask_epi8(bytes) == 0) {
      widen16(out + i, bytes);
    } else {
      lookupScalar(out + i, in + i, 16, table.units);
    }
  }
  lookupScalar(out + i, in + i, n - i, table.units);
}

// ---- SSSE3: byte shuffles over the eight slices of each plane ----

__attribute__((target("ssse3"))) inline __m128i slice128(const uint8_t* plane, int k) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(plane + 16 * k));
}

__attribute__((target("ssse3"))) inline void ssse3Block(char16_t* out, const uint8_t* in,
                                                        const SingleByteLookup& table) {
  __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  if (table.upperIsIdentity || _mm_movemask_epi8(bytes) == 0) {
    widen16(out, bytes);
    return;
  }
  // Upper bytes become indexes 0..127; bytes below 0x80 become negative and stay so, giving
  // zero from every shuffle.
  __m128i index = _mm_xor_si128(bytes, _mm_set1_epi8(static_cast<char>(0x80)));
  const __m128i sliceStep = _mm_set1_epi8(16);
  __m128i low = _mm_shuffle_epi8(slice128(table.lowDelta, 0), index);
  __m128i high = _mm_shuffle_epi8(slice128(table.highDelta, 0), index);
  for (int k = 1; k < 8; ++k) {
    index = _mm_subs_epi8(index, sliceStep);
    low = _mm_xor_si128(low, _mm_shuffle_epi8(slice128(table.lowDelta, k), index));
    high = _mm_xor_si128(high, _mm_shuffle_epi8(slice128(table.highDelta, k), index));
  }
  __m128i upper = _mm_cmplt_epi8(bytes, _mm_setzero_si128());
  low = _mm_or_si128(low, _mm_andnot_si128(upper, bytes));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(low, high));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(low, high));
}

__attribute__((target("ssse3"))) void lookupSsse3(char16_t* out, const uint8_t* in, size_t n,
                                                  const SingleByteLookup& table) {
  if (n < 16) {
    lookupScalar(out, in, n, table.units);
    return;
  }
  size_t i = 0;
  for (; i + 16 <= n; i += 16) ssse3Block(out + i, in + i, table);
  if (i < n) ssse3Block(out + n - 16, in + n - 16, table);
}

// ---- AVX2: the same shuffles, 32 bytes at a time ----

__attribute__((target("avx2"))) inline __m256i slice256(const uint8_t* plane, int k) {
  return _mm256_broadcastsi128_si256(
      _mm_load_si128(reinterpret_cast<const __m128i*>(plane + 16 * k)));
}

__attribute__((target("avx2"))) inline void avx2Block(char16_t* out, const uint8_t* in,
                                                      const SingleByteLookup& table) {
  __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
  if (table.upperIsIdentity || _mm256_movemask_epi8(bytes) == 0) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                        _mm256_cvtepu8_epi16(_mm256_castsi256_si128(bytes)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16),
                        _mm256_cvtepu8_epi16(_mm256_extracti128_si256(bytes, 1)));
    return;
  }
  __m256i index = _mm256_xor_si256(bytes, _mm256_set1_epi8(static_cast<char>(0x80)));
  const __m256i sliceStep = _mm256_set1_epi8(16);
  __m256i low = _mm256_shuffle_epi8(slice256(table.lowDelta, 0), index);
  __m256i high = _mm256_shuffle_epi8(slice256(table.highDelta, 0), index);
  for (int k = 1; k < 8; ++k) {
    index = _mm256_subs_epi8(index, sliceStep);
    low = _mm256_xor_si256(low, _mm256_shuffle_epi8(slice256(table.lowDelta, k), index));
    high = _mm256_xor_si256(high, _mm256_shuffle_epi8(slice256(table.highDelta, k), index));
  }
  __m256i upper = _mm256_cmpgt_epi8(_mm256_setzero_si256(), bytes);
  low = _mm256_or_si256(low, _mm256_andnot_si256(upper, bytes));
  // The unpacks work within each 128-bit lane: units 0-7 and 16-23, then 8-15 and 24-31.
  __m256i first = _mm256_unpacklo_epi8(low, high);
  __m256i second = _mm256_unpackhi_epi8(low, high);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                      _mm256_permute2x128_si256(first, second, 0x20));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16),
                      _mm256_permute2x128_si256(first, second, 0x31));
}

__attribute__((target("avx2"))) void lookupAvx2(char16_t* out, const uint8_t* in, size_t n,
                                                const SingleByteLookup& table) {
  if (n < 32) {
    lookupSsse3(out, in, n, table);
    return;
  }
  size_t i = 0;
  for (; i + 32 <= n; i += 32) avx2Block(out + i, in + i, table);
  if (i < n) avx2Block(out + n - 32, in + n - 32, table);
}

// ---- AVX-512 VBMI: each 128-byte plane is two registers, one two-table permute per plane ----

#define QUILL_AVX512_TARGET __attribute__((target("avx512f,avx512bw,avx512vbmi")))

// Permute indexes that interleave a low-byte and a high-byte register into 16-bit units: for
// output byte j, byte j / 2 of the low plane (j even) or of the high plane (index 64 + j / 2).
struct InterleaveIndexes {
  alignas(64) uint8_t firstHalf[64];   // units 0..31
  alignas(64) uint8_t secondHalf[64];  // units 32..63
};

constexpr InterleaveIndexes makeInterleaveIndexes() {
  InterleaveIndexes indexes{};
  for (int j = 0; j < 64; ++j) {
    int fromHigh = (j & 1) ? 64 : 0;
    indexes.firstHalf[j] = static_cast<uint8_t>(fromHigh + j / 2);
    indexes.secondHalf[j] = static_cast<uint8_t>(fromHigh + 32 + j / 2);
  }
  return indexes;
}

constexpr InterleaveIndexes kInterleave = makeInterleaveIndexes();

struct Avx512Planes {
  __m512i lowFirst, lowSecond;    // low bytes of the units of 0x80..0xBF and 0xC0..0xFF
  __m512i highFirst, highSecond;  // high bytes of the same
  __m512i interleaveFirst, interleaveSecond;  // kInterleave
};

QUILL_AVX512_TARGET inline void avx512Block(char16_t* out, const uint8_t* in,
                                            const Avx512Planes& planes, bool identity) {
  __m512i bytes = _mm512_loadu_si512(in);
  __mmask64 upper = _mm512_movepi8_mask(bytes);
  // No shortcut for blocks below 0x80: the lookup costs little more than widening, and text
  // that mixes both kinds of block would mispredict the test.
  if (identity) {
    // Loading the halves again (from the first level cache) is as cheap as extracting them.
    _mm512_storeu_si512(out, _mm512_cvtepu8_epi16(
                                 _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in))));
    _mm512_storeu_si512(out + 32, _mm512_cvtepu8_epi16(_mm256_loadu_si256(
                                      reinterpret_cast<const __m256i*>(in + 32))));
    return;
  }
  // The permute uses the low seven bits of each byte: bit 6 picks the register, bits 0-5 the
  // byte. Lanes below 0x80 keep the byte itself (low) or get zero (high).
  __m512i low = _mm512_mask2_permutex2var_epi8(planes.lowFirst, bytes, upper, planes.lowSecond);
  __m512i high = _mm512_maskz_permutex2var_epi8(upper, planes.highFirst, bytes, planes.highSecond);
  _mm512_storeu_si512(out, _mm512_permutex2var_epi8(low, planes.interleaveFirst, high));
  _mm512_storeu_si512(out + 32, _mm512_permutex2var_epi8(low, planes.interleaveSecond, high));
}

QUILL_AVX512_TARGET void lookupAvx512Vbmi(char16_t* out, const uint8_t* in, size_t n,
                                          const SingleByteLookup& table) {
  if (n < 64) {
    lookupAvx2(out, in, n, table);
    return;
  }
  Avx512Planes planes;
  planes.lowFirst = _mm512_load_si512(table.low);
  planes.lowSecond = _mm512_load_si512(table.low + 64);
  planes.highFirst = _mm512_load_si512(table.high);
  planes.highSecond = _mm512_load_si512(table.high + 64);
  planes.interleaveFirst = _mm512_load_si512(kInterleave.firstHalf);
  planes.interleaveSecond = _mm512_load_si512(kInterleave.secondHalf);
  bool identity = table.upperIsIdentity;
  size_t i = 0;
  for (; i + 64 <= n; i += 64) avx512Block(out + i, in + i, planes, identity);
  if (i < n) avx512Block(out + n - 64, in + n - 64, planes, identity);
}

#endif  // QUILL_SINGLE_BYTE_X86

SingleByteKernel detectBestKernel() {
  const SingleByteKernel fastestFirst[] = {SingleByteKernel::Avx512Vbmi, SingleByteKernel::Avx2,
                                           SingleByteKernel::Ssse3, SingleByteKernel::Sse2};
  for (SingleByteKernel kernel : fastestFirst) {
    if (singleByteKernelAvailable(kernel)) return kernel;
  }
  return SingleByteKernel::Scalar;
}

}  // namespace

bool singleByteKernelAvailable(SingleByteKernel kernel) {
#if defined(QUILL_SINGLE_BYTE_X86)
  switch (kernel) {
    case SingleByteKernel::Scalar:
    case SingleByteKernel::Sse2:
      return true;
    case SingleByteKernel::Ssse3:
      return cpuFeatures().ssse3;
    case SingleByteKernel::Avx2:
      return cpuFeatures().avx2;
    case SingleByteKernel::Avx512Vbmi:
      return cpuFeatures().avx512Vbmi;
  }
  return false;
#else
  return kernel == SingleByteKernel::Scalar;
#endif
}

SingleByteKernel bestSingleByteKernel() {
  static const SingleByteKernel best = detectBestKernel();
  return best;
}

void lookupSingleBytes(SingleByteKernel kernel, char16_t* out, const uint8_t* in, size_t n,
                       const SingleByteLookup& table) {
  switch (kernel) {
#if defined(QUILL_SINGLE_BYTE_X86)
    case SingleByteKernel::Sse2:
      lookupSse2(out, in, n, table);
      return;
    case SingleByteKernel::Ssse3:
      lookupSsse3(out, in, n, table);
      return;
    case SingleByteKernel::Avx2:
      lookupAvx2(out, in, n, table);
      return;
    case SingleByteKernel::Avx512Vbmi:
      lookupAvx512Vbmi(out, in, n, table);
      return;
#endif
    default:
      lookupScalar(out, in, n, table.units);
      return;
  }
}

size_t decodeSingleBytes(char16_t* out, const uint8_t* in, int32_t n, const SingleByteLookup& table) {
  size_t count = n > 0 ? static_cast<size_t>(n) : 0;
  lookupSingleBytes(bestSingleByteKernel(), out, in, count, table);
  out[count] = 0;
  return count;
}
