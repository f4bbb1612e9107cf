// Private to the Japanese decoders: copying a run of bytes that decode to themselves (ASCII in
// Shift-JIS and EUC-JP, everything but ESC in ISO-2022-JP's single-byte mode) sixteen at a time.
// Most Japanese files carry long ASCII stretches (markup, numbers, Latin text, indentation),
// and the pair decoding loop should not pay a byte-by-byte walk for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace japanese_runs {

// Which bytes end a run.
enum class RunEnd {
  kHighBit,            // any byte 0x80 or above
  kHighBitOrLineFeed,  // as kHighBit, and LF too (it becomes CR LF)
  kEscape,             // ESC only: in single-byte mode every other byte is written as it is
};

template <RunEnd kEnd>
constexpr bool endsRun(uint8_t b) {
  if constexpr (kEnd == RunEnd::kHighBit) return b >= 0x80;
  if constexpr (kEnd == RunEnd::kHighBitOrLineFeed) return b >= 0x80 || b == 0x0A;
  return b == 0x1B;
}

#if defined(__SSE2__)
// A 16-bit mask with bit k set when byte k of the block ends a run.
template <RunEnd kEnd>
inline unsigned blockEnds(__m128i block) {
  if constexpr (kEnd == RunEnd::kHighBit) return static_cast<unsigned>(_mm_movemask_epi8(block));
  if constexpr (kEnd == RunEnd::kHighBitOrLineFeed) {
    const __m128i lineFeeds = _mm_cmpeq_epi8(block, _mm_set1_epi8(0x0A));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(block, lineFeeds)));
  }
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(0x1B))));
}
#else
// True when one of the eight bytes of `word` ends a run (the classic has-zero-byte trick for
// the equality tests; the high-bit test is a plain mask).
template <RunEnd kEnd>
inline bool wordEnds(uint64_t word) {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHighs = 0x8080808080808080ull;
  auto hasByte = [](uint64_t w, uint8_t value) {
    const uint64_t x = w ^ (kOnes * value);
    return ((x - kOnes) & ~x & kHighs) != 0;
  };
  if constexpr (kEnd == RunEnd::kHighBit) return (word & kHighs) != 0;
  if constexpr (kEnd == RunEnd::kHighBitOrLineFeed) return (word & kHighs) != 0 || hasByte(word, 0x0A);
  return hasByte(word, 0x1B);
}
#endif

// Writes in[0..k) to out as code units of the same value, where k is the length of the run at
// the start of `in` (k <= available), and returns k. Reads only in[0..available) and writes only
// out[0..k), so nothing lands beyond the text the decoder is producing.
template <RunEnd kEnd>
inline size_t copyRun(const uint8_t* in, size_t available, char16_t* out) {
  size_t k = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  while (available - k >= 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
    const unsigned ends = blockEnds<kEnd>(block);
    if (ends != 0) {
      // Widen the clean first half at once when there is one; the rest goes byte by byte.
      if ((ends & 0xFF) == 0) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_unpacklo_epi8(block, zero));
        k += 8;
      }
      break;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_unpacklo_epi8(block, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k + 8), _mm_unpackhi_epi8(block, zero));
    k += 16;
  }
#else
  while (available - k >= 8) {
    uint64_t word;
    std::memcpy(&word, in + k, sizeof word);
    if (wordEnds<kEnd>(word)) break;
    for (size_t j = 0; j < 8; ++j) out[k + j] = in[k + j];
    k += 8;
  }
#endif
  while (k < available && !endsRun<kEnd>(in[k])) {
    out[k] = in[k];
    ++k;
  }
  return k;
}

}  // namespace japanese_runs
