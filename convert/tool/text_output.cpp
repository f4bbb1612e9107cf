// UTF-16 to UTF-8 (or to little-endian bytes) in big writes: the bytes are encoded into a
// staging buffer of a megabyte and handed to the stream a megabyte at a time, and runs of
// ASCII, most of many texts, are narrowed sixteen units at a time.
#include "convert/tool/text_output.h"

#include <bit>
#include <cstdint>
#include <memory>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr size_t kStagingBytes = size_t{1} << 20;
// Units encoded per round: at most three bytes each, plus one more unit (the second half of a
// surrogate pair that straddles the round's end), always fit the staging buffer.
constexpr size_t kUnitsPerRound = kStagingBytes / 3 - 2;
constexpr char32_t kReplacementCharacter = 0xFFFD;

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

uint8_t* putCodePoint(uint8_t* out, char32_t c) {
  if (c < 0x80) {
    *out++ = static_cast<uint8_t>(c);
  } else if (c < 0x800) {
    *out++ = static_cast<uint8_t>(0xC0 | (c >> 6));
    *out++ = static_cast<uint8_t>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out++ = static_cast<uint8_t>(0xE0 | (c >> 12));
    *out++ = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<uint8_t>(0x80 | (c & 0x3F));
  } else {
    *out++ = static_cast<uint8_t>(0xF0 | (c >> 18));
    *out++ = static_cast<uint8_t>(0x80 | ((c >> 12) & 0x3F));
    *out++ = static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F));
    *out++ = static_cast<uint8_t>(0x80 | (c & 0x3F));
  }
  return out;
}

// Narrows the ASCII units from text[i] on, sixteen at a time, while all sixteen are ASCII.
size_t narrowAscii(const char16_t* text, size_t i, size_t end, uint8_t*& out) {
#if defined(__SSE2__)
  const __m128i nonAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= end; i += 16) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 8));
    const __m128i beyond = _mm_and_si128(_mm_or_si128(low, high), nonAscii);
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(beyond, zero)) != 0xFFFF) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(low, high));
    out += 16;
  }
#else
  (void)text;
  (void)end;
  (void)out;
#endif
  return i;
}

}  // namespace

bool writeUtf8(std::FILE* stream, const char16_t* text, size_t count) {
  const std::unique_ptr<uint8_t[]> staging(new uint8_t[kStagingBytes]);
  bool ok = true;
  size_t i = 0;
  while (i < count) {
    const size_t end = count - i > kUnitsPerRound ? i + kUnitsPerRound : count;
    uint8_t* out = staging.get();
    while (i < end) {
      i = narrowAscii(text, i, end, out);
      if (i >= end) break;
      const char16_t unit = text[i++];
      if (unit < 0x80) {
        *out++ = static_cast<uint8_t>(unit);
      } else if (isHighSurrogate(unit) && i < count && isLowSurrogate(text[i])) {
        out = putCodePoint(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i] - 0xDC00));
        ++i;
      } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
        out = putCodePoint(out, kReplacementCharacter);
      } else {
        out = putCodePoint(out, unit);
      }
    }
    const size_t bytes = static_cast<size_t>(out - staging.get());
    if (ok && std::fwrite(staging.get(), 1, bytes, stream) != bytes) ok = false;
  }
  return std::fflush(stream) == 0 && ok;
}

bool writeUtf16LittleEndian(std::FILE* stream, const char16_t* text, size_t count) {
  bool ok = true;
  if constexpr (std::endian::native == std::endian::little) {
    // The units in memory already are the bytes to write.
    ok = count == 0 || std::fwrite(text, sizeof(char16_t), count, stream) == count;
  } else {
    const std::unique_ptr<uint8_t[]> staging(new uint8_t[kStagingBytes]);
    for (size_t i = 0; i < count;) {
      const size_t end = count - i > kStagingBytes / 2 ? i + kStagingBytes / 2 : count;
      uint8_t* out = staging.get();
      for (; i < end; ++i) {
        *out++ = static_cast<uint8_t>(text[i] & 0xFF);
        *out++ = static_cast<uint8_t>(text[i] >> 8);
      }
      const size_t bytes = static_cast<size_t>(out - staging.get());
      if (ok && std::fwrite(staging.get(), 1, bytes, stream) != bytes) ok = false;
    }
  }
  return std::fflush(stream) == 0 && ok;
}
