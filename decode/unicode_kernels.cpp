// UTF-8 and big-endian UTF-16 loops: scalar, and on x86-64 SSE2 (always present) and AVX2
// (chosen at run time).
#include "decode/unicode_kernels.h"

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

// UTF-8, SSE2: a block of 16 bytes below 0x80 is widened at once; a block with any other byte
// is decoded step by step up to its end. Blocks are taken only while 3 bytes follow them, so
// that every step inside a block reads inside the input.
size_t utf8Sse2(char16_t* out, const uint8_t* in, size_t n) {
  const __m128i zero = _mm_setzero_si128();
  size_t p = 0;
  size_t o = 0;
  while (p + 16 + 3 <= n) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + p));
    if (_mm_movemask_epi8(bytes) == 0) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o), _mm_unpacklo_epi8(bytes, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o + 8), _mm_unpackhi_epi8(bytes, zero));
      p += 16;
      o += 16;
      continue;
    }
    size_t blockEnd = p + 16;
    while (p < blockEnd) {
      Utf8Step step = utf8Step(out + o, in[p], in[p + 1], in[p + 2], in[p + 3]);
      p += step.consumed;
      o += step.written;
    }
  }
  return utf8Scalar(out, in, n, p, o);
}

__attribute__((target("avx2"))) size_t utf8Avx2(char16_t* out, const uint8_t* in, size_t n) {
  size_t p = 0;
  size_t o = 0;
  while (p + 32 + 3 <= n) {
    __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + p));
    if (_mm256_movemask_epi8(bytes) == 0) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + o),
                          _mm256_cvtepu8_epi16(_mm256_castsi256_si128(bytes)));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + o + 16),
                          _mm256_cvtepu8_epi16(_mm256_extracti128_si256(bytes, 1)));
      p += 32;
      o += 32;
      continue;
    }
    size_t blockEnd = p + 32;
    while (p < blockEnd) {
      Utf8Step step = utf8Step(out + o, in[p], in[p + 1], in[p + 2], in[p + 3]);
      p += step.consumed;
      o += step.written;
    }
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
  if (unicodeKernelAvailable(UnicodeKernel::Avx2)) return UnicodeKernel::Avx2;
  if (unicodeKernelAvailable(UnicodeKernel::Sse2)) return UnicodeKernel::Sse2;
  return UnicodeKernel::Scalar;
}

}  // namespace

bool unicodeKernelAvailable(UnicodeKernel kernel) {
#if defined(QUILL_UNICODE_X86)
  __builtin_cpu_init();
  switch (kernel) {
    case UnicodeKernel::Scalar:
    case UnicodeKernel::Sse2:
      return true;
    case UnicodeKernel::Avx2:
      return __builtin_cpu_supports("avx2");
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
      swapAvx2(out, in, units);
      return;
#endif
    default:
      swapScalar(out, in, units);
      return;
  }
}
