// UTF-8 and big-endian UTF-16 loops: scalar, and on x86-64 SSE2 (always present), AVX2 and
// AVX-512 (chosen at run time).
#include "decode/unicode_kernels.h"

#include "decode/cpu_features.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define QUILL_UNICODE_X86 1
#endif

namespace {

// ---- UTF-8 ----

struct Utf8Step {
  unsigned consumed;  // input bytes the step used up: 1 to 4
  unsigned written;   // units it wrote: 1, or 2 for a surrogate pair
};

inline bool isContinuation(uint32_t byte) { return (byte & 0xC0) == 0x80; }

// One step over the byte b at the position and the three bytes after it (zero past the input).
// A well-formed four-byte sequence becomes its surrogate pair: read as a three-byte form it
// would give a wrong character and swallow the byte after it, losing text that was valid.
inline Utf8Step utf8Step(char16_t* out, uint32_t b, uint32_t t, uint32_t u, uint32_t v) {
  if (b < 0x80) {
    out[0] = static_cast<char16_t>(b);
    return {1, 1};
  }
  if (b >= 0xC0 && b < 0xE0) {
    out[0] = static_cast<char16_t>(((b & 0x1F) << 6) | (t & 0x3F));
    return {2, 1};
  }
  if (b >= 0xF0 && b <= 0xF4 && isContinuation(t) && isContinuation(u) && isContinuation(v)) {
    uint32_t codePoint = ((b & 0x07) << 18) | ((t & 0x3F) << 12) | ((u & 0x3F) << 6) | (v & 0x3F);
    if (codePoint >= 0x10000 && codePoint <= 0x10FFFF) {
      codePoint -= 0x10000;
      out[0] = static_cast<char16_t>(0xD800 + (codePoint >> 10));
      out[1] = static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
      return {4, 2};
    }
  }
  out[0] = static_cast<char16_t>(((b & 0x0F) << 12) | ((t & 0x3F) << 6) | (u & 0x3F));
  return {3, 1};
}

// The scalar loop from position p, units already written o. Returns the units written.
size_t utf8Scalar(char16_t* out, const uint8_t* in, size_t n, size_t p, size_t o) {
  // While four bytes remain, a step reads only inside the input.
  while (p + 4 <= n) {
    Utf8Step step = utf8Step(out + o, in[p], in[p + 1], in[p + 2], in[p + 3]);
    p += step.consumed;
    o += step.written;
  }
  while (p < n) {
    uint32_t t = p + 1 < n ? in[p + 1] : 0;
    uint32_t u = p + 2 < n ? in[p + 2] : 0;
    Utf8Step step = utf8Step(out + o, in[p], t, u, 0);
    p += step.consumed;
    o += step.written;
  }
  return o;
}

// ---- big-endian UTF-16 ----

void swapScalar(char16_t* out, const uint8_t* in, size_t units) {
  for (size_t i = 0; i < units; ++i) {
    out[i] = static_cast<char16_t>((in[2 * i] << 8) | in[2 * i + 1]);
  }
}

#if defined(QUILL_UNICODE_X86)

// Steps through the block of `width` bytes at p, and a little past it when its last sequence
// runs on. The caller takes a block only while 3 bytes follow it, so each step reads inside
// the input.
inline void stepThroughBlock(char16_t* out, const uint8_t* in, size_t width, size_t& p,
                             size_t& o) {
  const size_t blockEnd = p + width;
  while (p < blockEnd) {
    Utf8Step step = utf8Step(out + o, in[p], in[p + 1], in[p + 2], in[p + 3]);
    p += step.consumed;
    o += step.written;
  }
}

// UTF-8, SSE2: a block of 16 bytes below 0x80 is widened at once; a block with any other byte
// goes through steps. (Stepping from the first such byte and testing again right after it was
// tried: the extra tests cost more than they save, on Latin as on Cyrillic or CJK text.)
size_t utf8Sse2(char16_t* out, const uint8_t* in, size_t n) {
  const __m128i zero = _mm_setzero_si128();
  size_t p = 0;
  size_t o = 0;
  while (p + 16 + 3 <= n) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + p));
    if (_mm_movemask_epi8(bytes) != 0) {
      stepThroughBlock(out, in, 16, p, o);
      continue;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o), _mm_unpacklo_epi8(bytes, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o + 8), _mm_unpackhi_epi8(bytes, zero));
    p += 16;
    o += 16;
  }
  return utf8Scalar(out, in, n, p, o);
}

__attribute__((target("avx2"))) size_t utf8Avx2(char16_t* out, const uint8_t* in, size_t n) {
  size_t p = 0;
  size_t o = 0;
  while (p + 32 + 3 <= n) {
    __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + p));
    if (_mm256_movemask_epi8(bytes) != 0) {
      stepThroughBlock(out, in, 32, p, o);
      continue;
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + o),
                        _mm256_cvtepu8_epi16(_mm256_castsi256_si128(bytes)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + o + 16),
                        _mm256_cvtepu8_epi16(_mm256_extracti128_si256(bytes, 1)));
    p += 32;
    o += 32;
  }
  return utf8Scalar(out, in, n, p, o);
}

// UTF-8, AVX-512 with VBMI2: a block of 64 bytes of well-formed one- to four-byte sequences is
// decoded at once. Every position gets the unit its sequence would give if it started there;
// the positions that start a sequence (and the second unit of a surrogate pair) are then
// compressed together and stored. A block that is not well formed (a stray continuation, a
// lead without its continuations, a four-byte lead outside U+10000..U+10FFFF) is decoded step
// by step, so it gives exactly what the scalar loop gives.
#define QUILL_UTF8_AVX512_TARGET __attribute__((target("avx512f,avx512bw,avx512vbmi2,popcnt")))

QUILL_UTF8_AVX512_TARGET inline __m512i widen32(const uint8_t* bytes) {
  return _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes)));
}

// Which kinds of sequence a block holds; the forms that are absent are not computed.
struct BlockForms {
  bool twoByte;    // some lead 0xC0..0xDF
  bool threeByte;  // some lead 0xE0..0xEF
  bool fourByte;   // some lead 0xF0..0xF4
};

// Decodes the 32 positions at `at` (bytes at..at+33 readable) whose classes are given as masks,
// and stores the units of the positions in `keep`. Returns the number of units stored.
QUILL_UTF8_AVX512_TARGET inline unsigned decodeHalf(char16_t* out, const uint8_t* at,
                                                    BlockForms forms, uint32_t lead2,
                                                    uint32_t lead3, uint32_t lead4,
                                                    uint32_t lowSurrogate, uint32_t keep) {
  const __m512i b = widen32(at);      // the byte at each position
  const __m512i t = widen32(at + 1);  // the byte after it
  const __m512i u = widen32(at + 2);  // and the one after that
  const __m512i low6 = _mm512_set1_epi16(0x3F);
  const __m512i t6 = _mm512_and_si512(t, low6);
  const __m512i u6 = _mm512_and_si512(u, low6);
  __m512i units = b;
  if (forms.twoByte) {
    __m512i twoByte =
        _mm512_or_si512(_mm512_slli_epi16(_mm512_and_si512(b, _mm512_set1_epi16(0x1F)), 6), t6);
    units = _mm512_mask_mov_epi16(units, lead2, twoByte);
  }
  if (forms.threeByte) {
    // Shifting a 16-bit lane by 12 keeps only the low four bits of the lead.
    __m512i threeByte =
        _mm512_or_si512(_mm512_or_si512(_mm512_slli_epi16(b, 12), _mm512_slli_epi16(t6, 6)), u6);
    units = _mm512_mask_mov_epi16(units, lead3, threeByte);
  }
  if (forms.fourByte) {
    // High surrogate: 0xD800 + ((code point - 0x10000) >> 10), from the first three bytes.
    __m512i top = _mm512_or_si512(
        _mm512_or_si512(_mm512_slli_epi16(_mm512_and_si512(b, _mm512_set1_epi16(0x07)), 8),
                        _mm512_slli_epi16(t6, 2)),
        _mm512_and_si512(_mm512_srli_epi16(u, 4), _mm512_set1_epi16(0x03)));
    units = _mm512_mask_mov_epi16(
        units, lead4, _mm512_add_epi16(top, _mm512_set1_epi16(static_cast<short>(0xD7C0))));
    // Low surrogate, at the position of the second byte: the last two bytes after it.
    __m512i bottom = _mm512_or_si512(
        _mm512_or_si512(_mm512_slli_epi16(_mm512_and_si512(t, _mm512_set1_epi16(0x0F)), 6), u6),
        _mm512_set1_epi16(static_cast<short>(0xDC00)));
    units = _mm512_mask_mov_epi16(units, lowSurrogate, bottom);
  }
  unsigned count = static_cast<unsigned>(__builtin_popcount(keep));
  __mmask32 storeMask = count == 32 ? 0xFFFFFFFFu : (1u << count) - 1;
  _mm512_mask_storeu_epi16(out, storeMask, _mm512_maskz_compress_epi16(keep, units));
  return count;
}

QUILL_UTF8_AVX512_TARGET size_t utf8Avx512(char16_t* out, const uint8_t* in, size_t n) {
  size_t p = 0;
  size_t o = 0;
  // 64 bytes, the 2 after them read for the last positions, and 1 more that a step of the
  // step-by-step fallback may look at.
  while (p + 64 + 3 <= n) {
    const __m512i bytes = _mm512_loadu_si512(in + p);
    const uint64_t high = _mm512_movepi8_mask(bytes);
    if (high == 0) {
      _mm512_storeu_si512(out + o, widen32(in + p));
      _mm512_storeu_si512(out + o + 32, widen32(in + p + 32));
      p += 64;
      o += 64;
      continue;
    }
    const __m512i next = _mm512_loadu_si512(in + p + 1);
    const uint64_t from0xC0 = _mm512_cmpge_epu8_mask(bytes, _mm512_set1_epi8(static_cast<char>(0xC0)));
    const uint64_t from0xE0 = _mm512_cmpge_epu8_mask(bytes, _mm512_set1_epi8(static_cast<char>(0xE0)));
    const uint64_t from0xF0 = _mm512_cmpge_epu8_mask(bytes, _mm512_set1_epi8(static_cast<char>(0xF0)));
    const uint64_t continuation = high & ~from0xC0;
    uint64_t lead2 = from0xC0 & ~from0xE0;
    uint64_t lead3 = from0xE0 & ~from0xF0;
    uint64_t lead4 = from0xF0;
    const uint64_t nextFrom0x90 = _mm512_cmpge_epu8_mask(next, _mm512_set1_epi8(static_cast<char>(0x90)));
    const uint64_t outOfRange =
        _mm512_cmpge_epu8_mask(bytes, _mm512_set1_epi8(static_cast<char>(0xF5))) |
        (_mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8(static_cast<char>(0xF0))) & ~nextFrom0x90) |
        (_mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8(static_cast<char>(0xF4))) & nextFrom0x90);
    // A sequence that runs past the block is left for the next block.
    const uint64_t runsPast = (lead2 & (1ull << 63)) | (lead3 & (3ull << 62)) | (lead4 & (7ull << 61));
    const unsigned consumed = runsPast ? static_cast<unsigned>(__builtin_ctzll(runsPast)) : 64;
    const uint64_t inBlock = consumed == 64 ? ~0ull : (1ull << consumed) - 1;
    lead2 &= inBlock;
    lead3 &= inBlock;
    lead4 &= inBlock;
    const uint64_t expected = ((lead2 | lead3 | lead4) << 1) | ((lead3 | lead4) << 2) | (lead4 << 3);
    if ((continuation & inBlock) != expected || (outOfRange & lead4) != 0) {
      stepThroughBlock(out, in, 64, p, o);
      continue;
    }
    const uint64_t lowSurrogate = lead4 << 1;
    const uint64_t keep = ((~continuation) & inBlock) | lowSurrogate;
    const BlockForms forms = {lead2 != 0, lead3 != 0, lead4 != 0};
    o += decodeHalf(out + o, in + p, forms, static_cast<uint32_t>(lead2),
                    static_cast<uint32_t>(lead3), static_cast<uint32_t>(lead4),
                    static_cast<uint32_t>(lowSurrogate), static_cast<uint32_t>(keep));
    o += decodeHalf(out + o, in + p + 32, forms, static_cast<uint32_t>(lead2 >> 32),
                    static_cast<uint32_t>(lead3 >> 32), static_cast<uint32_t>(lead4 >> 32),
                    static_cast<uint32_t>(lowSurrogate >> 32), static_cast<uint32_t>(keep >> 32));
    p += consumed;
  }
  return utf8Scalar(out, in, n, p, o);
}

void swapSse2(char16_t* out, const uint8_t* in, size_t units) {
  size_t i = 0;
  for (; i + 8 <= units; i += 8) {
    __m128i pairs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * i));
    __m128i swapped = _mm_or_si128(_mm_slli_epi16(pairs, 8), _mm_srli_epi16(pairs, 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), swapped);
  }
  swapScalar(out + i, in + 2 * i, units - i);
}

__attribute__((target("avx2"))) void swapAvx2(char16_t* out, const uint8_t* in, size_t units) {
  size_t i = 0;
  for (; i + 16 <= units; i += 16) {
    __m256i pairs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 2 * i));
    __m256i swapped = _mm256_or_si256(_mm256_slli_epi16(pairs, 8), _mm256_srli_epi16(pairs, 8));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), swapped);
  }
  swapSse2(out + i, in + 2 * i, units - i);
}

#endif  // QUILL_UNICODE_X86

UnicodeKernel detectBestKernel() {
  if (unicodeKernelAvailable(UnicodeKernel::Avx512Vbmi2)) return UnicodeKernel::Avx512Vbmi2;
  if (unicodeKernelAvailable(UnicodeKernel::Avx2)) return UnicodeKernel::Avx2;
  if (unicodeKernelAvailable(UnicodeKernel::Sse2)) return UnicodeKernel::Sse2;
  return UnicodeKernel::Scalar;
}

}  // namespace

bool unicodeKernelAvailable(UnicodeKernel kernel) {
#if defined(QUILL_UNICODE_X86)
  switch (kernel) {
    case UnicodeKernel::Scalar:
    case UnicodeKernel::Sse2:
      return true;
    case UnicodeKernel::Avx2:
      return cpuFeatures().avx2;
    case UnicodeKernel::Avx512Vbmi2:
      return cpuFeatures().avx512Vbmi2 && cpuFeatures().popcnt && cpuFeatures().avx2;
  }
  return false;
#else
  return kernel == UnicodeKernel::Scalar;
#endif
}

UnicodeKernel bestUnicodeKernel() {
  static const UnicodeKernel best = detectBestKernel();
  return best;
}

size_t decodeUtf8Units(UnicodeKernel kernel, char16_t* out, const uint8_t* in, size_t n) {
  switch (kernel) {
#if defined(QUILL_UNICODE_X86)
    case UnicodeKernel::Sse2:
      return utf8Sse2(out, in, n);
    case UnicodeKernel::Avx2:
      return utf8Avx2(out, in, n);
    case UnicodeKernel::Avx512Vbmi2:
      return utf8Avx512(out, in, n);
#endif
    default:
      return utf8Scalar(out, in, n, 0, 0);
  }
}

void swapUtf16Units(UnicodeKernel kernel, char16_t* out, const uint8_t* in, size_t units) {
  switch (kernel) {
#if defined(QUILL_UNICODE_X86)
    case UnicodeKernel::Sse2:
      swapSse2(out, in, units);
      return;
    case UnicodeKernel::Avx2:
    case UnicodeKernel::Avx512Vbmi2:  // swapping is bound by memory; AVX2 is enough
      swapAvx2(out, in, units);
      return;
#endif
    default:
      swapScalar(out, in, units);
      return;
  }
}
