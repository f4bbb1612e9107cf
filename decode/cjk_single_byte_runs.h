// Fast copying of the single-byte runs between the double-byte characters of the Korean and
// Chinese decoders: ASCII text (markup, digits, line ends, the spaces of Korean text) is
// widened 16 bytes at a time with SSE2 where the compiler offers it, byte by byte elsewhere.
// Private to korean.cpp and chinese.cpp.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cjk_runs {

#if defined(__SSE2__)
// Widens 16 bytes to 16 units at `out`.
inline void widen16(__m128i bytes, char16_t* out) {
  const __m128i zero = _mm_setzero_si128();
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(bytes, zero));
}

// Copies bytes from `p` until one for which `stops` (a 16-bit mask of the stopping lanes of
// a 16-byte block) is set, as long as 16 whole bytes before `end` remain. Returns the new
// position; `out` advances by one unit per byte copied.
template <typename StopMask>
inline const uint8_t* copyBlocks(const uint8_t* p, const uint8_t* end, char16_t*& out, StopMask stops) {
  while (end - p >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned mask = stops(bytes);
    if (mask != 0) {
      // Only the bytes before the first stop are written, so nothing beyond the decoded text
      // is ever touched.
      const int before = std::countr_zero(mask);
      for (int i = 0; i < before; ++i) {
        out[i] = p[i];
      }
      out += before;
      return p + before;
    }
    widen16(bytes, out);
    out += 16;
    p += 16;
  }
  return p;
}
#endif

// How many input bytes must remain for widenAsciiPrefix. A decoder that writes one unit for
// every byte or pair it consumes writes at least 17 more units (the closing zero included)
// over the 32 or more bytes that then remain after the prefix, so every unit that
// widenAsciiPrefix writes past the prefix is overwritten before the decoder returns.
inline constexpr std::ptrdiff_t kWideningMargin = 48;

// Widens the bytes below 0x80 at the start of the 16 bytes at `p` (at least one: the caller has
// seen that *p is below 0x80) and returns the position after them. Writes 16 units at `out`
// whatever the length of the run and advances `out` by that length only: the units past it are
// scratch that later output overwrites. Only for decoders that write a unit for every byte or
// pair they consume, and only while at least kWideningMargin bytes remain before `end`. This
// keeps the short ASCII runs of CJK text (a space, a digit, a line end) free of loops whose
// length the processor would have to guess.
inline const uint8_t* widenAsciiPrefix(const uint8_t* p, const uint8_t* end, char16_t*& out) {
#if defined(__SSE2__)
  (void)end;
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  widen16(bytes, out);
  const int run = std::countr_zero(static_cast<unsigned>(_mm_movemask_epi8(bytes)) | 0x10000u);
  out += run;
  return p + run;
#else
  const uint8_t* const stop = p + 16 < end ? p + 16 : end;
  while (p < stop && *p < 0x80) {
    *out++ = *p++;
  }
  return p;
#endif
}

// Copies the bytes below 0x80 from `p` on, one unit each, and returns the position of the first
// byte not copied (`end` at the latest). Reads nothing at or past `end`.
inline const uint8_t* copyAsciiRun(const uint8_t* p, const uint8_t* end, char16_t*& out) {
#if defined(__SSE2__)
  p = copyBlocks(p, end, out, [](__m128i bytes) { return static_cast<unsigned>(_mm_movemask_epi8(bytes)); });
#else
  while (end - p >= 8) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    if ((word & 0x8080808080808080u) != 0) {
      break;
    }
    for (int i = 0; i < 8; ++i) {
      out[i] = p[i];
    }
    out += 8;
    p += 8;
  }
#endif
  while (p < end && *p < 0x80) {
    *out++ = *p++;
  }
  return p;
}

// Copies the bytes from `p` on that are none of the three given control bytes, one unit each,
// and returns the position of the first byte not copied (`end` at the latest). Reads nothing at
// or past `end`. Used for the single-byte mode of ISO-2022 text, where every other byte stands
// for itself.
inline const uint8_t* copyRunUntil(const uint8_t* p, const uint8_t* end, char16_t*& out, uint8_t stop1,
                                   uint8_t stop2, uint8_t stop3) {
#if defined(__SSE2__)
  const __m128i s1 = _mm_set1_epi8(static_cast<char>(stop1));
  const __m128i s2 = _mm_set1_epi8(static_cast<char>(stop2));
  const __m128i s3 = _mm_set1_epi8(static_cast<char>(stop3));
  p = copyBlocks(p, end, out, [&](__m128i bytes) {
    const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, s1), _mm_cmpeq_epi8(bytes, s2)),
                                      _mm_cmpeq_epi8(bytes, s3));
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
  });
#endif
  while (p < end && *p != stop1 && *p != stop2 && *p != stop3) {
    *out++ = *p++;
  }
  return p;
}

}  // namespace cjk_runs
