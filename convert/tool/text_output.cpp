// UTF-16 to UTF-8 (or to little-endian bytes). Each part is encoded into a staging buffer and
// handed to the stream in one write; runs of ASCII, most of many texts, are narrowed sixteen
// units at a time, runs below U+0800 (ASCII mixed with two-byte forms), runs from U+0800 to
// U+FFFF that are no surrogates (the characters of East Asian text) and any mix of the three
// lengths eight at a time.
#include "convert/tool/text_output.h"

#include <bit>
#include <cstring>
#include <initializer_list>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
bool isSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDFFF; }

inline uint8_t* putCodePoint(uint8_t* out, char32_t c) {
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

#if defined(__x86_64__)
// Narrows the ASCII units from text[i] on, sixteen at a time, and then the ASCII units that
// open the next block of sixteen. Stores whole blocks: `out` has 16 bytes of room past what
// it keeps.
inline size_t narrowAscii(const char16_t* text, size_t i, size_t end, uint8_t*& out) {
  const __m128i nonAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= end; i += 16) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + 8));
    const __m128i asciiLow = _mm_cmpeq_epi16(_mm_and_si128(low, nonAscii), zero);
    const __m128i asciiHigh = _mm_cmpeq_epi16(_mm_and_si128(high, nonAscii), zero);
    const auto ascii = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(asciiLow, asciiHigh)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(low, high));
    if (ascii != 0xFFFF) {
      const auto leading = static_cast<size_t>(__builtin_ctz(~ascii));
      out += leading;
      return i + leading;
    }
    out += 16;
  }
  return i;
}

// Byte-shuffle patterns for eight units below U+0800, by which of them are ASCII (bit k for
// unit k): each unit is two bytes in a vector, the ASCII ones keep only their first.
struct ShuffleTable {
  uint8_t pattern[256][16];  // source byte per output byte, 0x80 for none
  uint8_t length[256];       // output bytes
};
constexpr ShuffleTable kOneOrTwoByteShuffles = [] {
  ShuffleTable table{};
  for (int mask = 0; mask < 256; ++mask) {
    int at = 0;
    for (int k = 0; k < 8; ++k) {
      table.pattern[mask][at++] = static_cast<uint8_t>(2 * k);
      if ((mask & (1 << k)) == 0) table.pattern[mask][at++] = static_cast<uint8_t>(2 * k + 1);
    }
    table.length[mask] = static_cast<uint8_t>(at);
    while (at < 16) table.pattern[mask][at++] = 0x80;
  }
  return table;
}();

// Encodes units from text[i] on, eight at a time, while all eight lie below U+0800 (ASCII and
// the two-byte forms of Latin, Greek, Cyrillic, Hebrew, Arabic ... text). Writes 16 bytes per
// step. SSSE3 for the byte shuffle.
__attribute__((target("ssse3"))) size_t encodeOneOrTwoByteRuns(const char16_t* text, size_t i, size_t end,
                                                                uint8_t*& out) {
  const __m128i bias = _mm_set1_epi16(static_cast<short>(0x8000));
  const __m128i below0x800 = _mm_set1_epi16(0x0800 - 0x8000);
  const __m128i below0x80 = _mm_set1_epi16(0x0080 - 0x8000);
  const __m128i low6 = _mm_set1_epi16(0x3F);
  const __m128i lead = _mm_set1_epi16(0xC0);
  const __m128i follow = _mm_set1_epi16(0x80);
  for (; i + 8 <= end; i += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    const __m128i biased = _mm_xor_si128(units, bias);
    const __m128i fits = _mm_cmplt_epi16(biased, below0x800);
    if (_mm_movemask_epi8(fits) != 0xFFFF) break;
    const __m128i ascii = _mm_cmplt_epi16(biased, below0x80);
    // Lane k: byte 2k = 0xC0 | u >> 6, byte 2k + 1 = 0x80 | (u & 0x3F); an ASCII lane keeps u.
    const __m128i twoByte = _mm_or_si128(_mm_or_si128(_mm_srli_epi16(units, 6), lead),
                                         _mm_slli_epi16(_mm_or_si128(_mm_and_si128(units, low6), follow), 8));
    const __m128i lanes = _mm_or_si128(_mm_and_si128(ascii, units), _mm_andnot_si128(ascii, twoByte));
    const auto asciiMask = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(ascii, ascii)) & 0xFF);
    const __m128i pattern =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(kOneOrTwoByteShuffles.pattern[asciiMask]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(lanes, pattern));
    out += kOneOrTwoByteShuffles.length[asciiMask];
  }
  return i;
}

// Encodes units from text[i] on, eight at a time, while all eight lie in U+0800..U+FFFF outside
// the surrogates: each becomes E0 | u >> 12, 80 | (u >> 6 & 3F), 80 | (u & 3F). Writes 32
// bytes per step, of which 24 are kept. SSSE3 for the byte shuffle.
__attribute__((target("ssse3"))) size_t encodeThreeByteRuns(const char16_t* text, size_t i, size_t end,
                                                             uint8_t*& out) {
  const __m128i below0x800 = _mm_set1_epi16(0x0800 - 0x8000);
  const __m128i surrogateBase = _mm_set1_epi16(static_cast<short>(0xD800));
  const __m128i surrogateSpan = _mm_set1_epi16(0x0800 - 0x8000);
  const __m128i bias = _mm_set1_epi16(static_cast<short>(0x8000));
  const __m128i low6 = _mm_set1_epi16(0x3F);
  const __m128i lead = _mm_set1_epi16(0xE0);
  const __m128i follow = _mm_set1_epi16(0x80);
  // Per unit k: byte 0 the lead, byte 1 the middle; from a second vector byte 0 the last.
  // Output order per unit: lead, middle, last.
  const __m128i takeLeadMiddle = _mm_setr_epi8(0, 1, -1, 2, 3, -1, 4, 5, -1, 6, 7, -1, 8, 9, -1, 10);
  const __m128i takeLast = _mm_setr_epi8(-1, -1, 0, -1, -1, 2, -1, -1, 4, -1, -1, 6, -1, -1, 8, -1);
  const __m128i takeLeadMiddle2 = _mm_setr_epi8(11, -1, 12, 13, -1, 14, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1);
  const __m128i takeLast2 = _mm_setr_epi8(-1, 10, -1, -1, 12, -1, -1, 14, -1, -1, -1, -1, -1, -1, -1, -1);
  for (; i + 8 <= end; i += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    // Signed compares on biased values: unit >= 0x800 and unit - 0xD800 >= 0x800 (unsigned).
    const __m128i small = _mm_cmplt_epi16(_mm_xor_si128(units, bias), below0x800);
    const __m128i surrogate = _mm_cmplt_epi16(_mm_xor_si128(_mm_sub_epi16(units, surrogateBase), bias), surrogateSpan);
    if (_mm_movemask_epi8(_mm_or_si128(small, surrogate)) != 0) break;
    const __m128i leadBytes = _mm_or_si128(_mm_srli_epi16(units, 12), lead);
    const __m128i middleBytes = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(units, 6), low6), follow);
    const __m128i lastBytes = _mm_or_si128(_mm_and_si128(units, low6), follow);
    // leadMiddle: byte 2k = lead of unit k, byte 2k + 1 = middle of unit k.
    const __m128i leadMiddle = _mm_or_si128(leadBytes, _mm_slli_epi16(middleBytes, 8));
    const __m128i first = _mm_or_si128(_mm_shuffle_epi8(leadMiddle, takeLeadMiddle), _mm_shuffle_epi8(lastBytes, takeLast));
    const __m128i second =
        _mm_or_si128(_mm_shuffle_epi8(leadMiddle, takeLeadMiddle2), _mm_shuffle_epi8(lastBytes, takeLast2));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), first);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), second);
    out += 24;
  }
  return i;
}

// Byte-shuffle patterns for four units below U+10000 held in 32-bit lanes as their one-, two- or
// three-byte forms, by which lanes are two bytes or more (bits 0-3) and three bytes (bits 4-7).
struct MixedShuffleTable {
  uint8_t pattern[256][16];  // source byte per output byte, 0x80 for none
  uint8_t length[256];       // output bytes
};
constexpr MixedShuffleTable kMixedShuffles = [] {
  MixedShuffleTable table{};
  for (int key = 0; key < 256; ++key) {
    int at = 0;
    for (int k = 0; k < 4; ++k) {
      const int bytes = 1 + (key >> k & 1) + (key >> (k + 4) & 1);
      for (int b = 0; b < bytes; ++b) table.pattern[key][at++] = static_cast<uint8_t>(4 * k + b);
    }
    table.length[key] = static_cast<uint8_t>(at);
    while (at < 16) table.pattern[key][at++] = 0x80;
  }
  return table;
}();

// Encodes four units in 32-bit lanes (each below U+10000, no surrogate) and returns where the
// output stands; writes 16 bytes.
__attribute__((target("ssse3"))) inline uint8_t* encodeFourMixed(__m128i units, uint8_t* out) {
  const __m128i low6 = _mm_set1_epi32(0x3F);
  const __m128i follow = _mm_set1_epi32(0x80);
  const __m128i twoOrMore = _mm_cmpgt_epi32(units, _mm_set1_epi32(0x7F));
  const __m128i three = _mm_cmpgt_epi32(units, _mm_set1_epi32(0x7FF));
  const __m128i last = _mm_or_si128(_mm_and_si128(units, low6), follow);
  const __m128i middle = _mm_or_si128(_mm_and_si128(_mm_srli_epi32(units, 6), low6), follow);
  const __m128i twoByte = _mm_or_si128(_mm_or_si128(_mm_srli_epi32(units, 6), _mm_set1_epi32(0xC0)),
                                       _mm_slli_epi32(last, 8));
  const __m128i threeByte =
      _mm_or_si128(_mm_or_si128(_mm_srli_epi32(units, 12), _mm_set1_epi32(0xE0)),
                   _mm_or_si128(_mm_slli_epi32(middle, 8), _mm_slli_epi32(last, 16)));
  __m128i lanes = _mm_or_si128(_mm_and_si128(twoOrMore, twoByte), _mm_andnot_si128(twoOrMore, units));
  lanes = _mm_or_si128(_mm_and_si128(three, threeByte), _mm_andnot_si128(three, lanes));
  const auto key = static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(twoOrMore)) |
                                         (_mm_movemask_ps(_mm_castsi128_ps(three)) << 4));
  const __m128i pattern = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kMixedShuffles.pattern[key]));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(lanes, pattern));
  return out + kMixedShuffles.length[key];
}

// Encodes units from text[i] on, eight at a time, for at most four blocks, while no surrogate
// is among them: the blocks that mix three-byte forms with shorter ones (Korean or Thai words
// between spaces), which neither run above takes. Writes 16 bytes per half block.
__attribute__((target("ssse3"))) size_t encodeMixedRuns(const char16_t* text, size_t i, size_t end,
                                                         uint8_t*& out) {
  const __m128i surrogateBase = _mm_set1_epi16(static_cast<short>(0xD800));
  const __m128i surrogateSpan = _mm_set1_epi16(0x0800 - 0x8000);
  const __m128i bias = _mm_set1_epi16(static_cast<short>(0x8000));
  const __m128i zero = _mm_setzero_si128();
  for (int block = 0; block < 4 && i + 8 <= end; ++block, i += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    const __m128i surrogate = _mm_cmplt_epi16(_mm_xor_si128(_mm_sub_epi16(units, surrogateBase), bias), surrogateSpan);
    if (_mm_movemask_epi8(surrogate) != 0) break;
    out = encodeFourMixed(_mm_unpacklo_epi16(units, zero), out);
    out = encodeFourMixed(_mm_unpackhi_epi16(units, zero), out);
  }
  return i;
}

bool hasSsse3() {
  static const bool present = __builtin_cpu_supports("ssse3");
  return present;
}
#endif

// Encodes text[0, count) as UTF-8 at `out`, which has room for 3 * count + 16 bytes (a fast
// step may write past what it keeps). A high surrogate as the last unit is written as U+FFFD:
// the caller holds back one that a later part may complete.
uint8_t* encodeUtf8(const char16_t* text, size_t count, uint8_t* out) {
  size_t i = 0;
#if defined(__x86_64__)
  const bool fastRuns = hasSsse3();
  // Tries the vector kernels in turn from i: true when one of them encoded a run (i is then
  // past it), false when none could start here.
  using RunKernel = size_t (*)(const char16_t*, size_t, size_t, uint8_t*&);
  const auto encodedRun = [&](std::initializer_list<RunKernel> kernels) {
    if (!fastRuns) return false;
    for (const RunKernel kernel : kernels) {
      const size_t next = kernel(text, i, count, out);
      if (next != i) {
        i = next;
        return true;
      }
    }
    return false;
  };
#endif
  while (i < count) {
    const char16_t unit = text[i];
    if (unit < 0x80) {
#if defined(__x86_64__)
      const size_t next = narrowAscii(text, i, count, out);
      if (next != i) {
        i = next;
        continue;
      }
#endif
      *out++ = static_cast<uint8_t>(unit);
      ++i;
    } else if (unit < 0x800) {
#if defined(__x86_64__)
      if (encodedRun({encodeOneOrTwoByteRuns, encodeMixedRuns})) continue;
#endif
      out[0] = static_cast<uint8_t>(0xC0 | (unit >> 6));
      out[1] = static_cast<uint8_t>(0x80 | (unit & 0x3F));
      out += 2;
      ++i;
    } else if (!isSurrogate(unit)) {
#if defined(__x86_64__)
      if (encodedRun({encodeThreeByteRuns, encodeMixedRuns})) continue;
#endif
      out[0] = static_cast<uint8_t>(0xE0 | (unit >> 12));
      out[1] = static_cast<uint8_t>(0x80 | ((unit >> 6) & 0x3F));
      out[2] = static_cast<uint8_t>(0x80 | (unit & 0x3F));
      out += 3;
      ++i;
    } else if (isHighSurrogate(unit) && i + 1 < count && isLowSurrogate(text[i + 1])) {
      out = putCodePoint(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      i += 2;
    } else {
      out = putCodePoint(out, kReplacementCharacter);
      ++i;
    }
  }
  return out;
}

}  // namespace

bool TextOutput::emit(const uint8_t* bytes, size_t count) {
  if (ok_ && count > 0 && std::fwrite(bytes, 1, count, stream_) != count) ok_ = false;
  return ok_;
}

bool TextOutput::put(const char16_t* text, size_t count) {
  // A long text goes in rounds, so that the staging buffer stays small and is touched again
  // and again rather than grown over fresh memory.
  while (count > kRoundUnits) {
    putRound(text, kRoundUnits);
    text += kRoundUnits;
    count -= kRoundUnits;
  }
  return putRound(text, count);
}

bool TextOutput::putRound(const char16_t* text, size_t count) {
  if (count == 0) return ok_;
  if (!utf8_) {
    if constexpr (std::endian::native == std::endian::little) {
      // The units in memory already are the bytes to write.
      return emit(reinterpret_cast<const uint8_t*>(text), count * sizeof(char16_t));
    } else {
      if (staging_.size() < 2 * count) staging_.resize(2 * count);
      for (size_t i = 0; i < count; ++i) {
        staging_[2 * i] = static_cast<uint8_t>(text[i] & 0xFF);
        staging_[2 * i + 1] = static_cast<uint8_t>(text[i] >> 8);
      }
      return emit(staging_.data(), 2 * count);
    }
  }
  if (staging_.size() < 3 * count + 16) staging_.resize(3 * count + 16);
  uint8_t* out = staging_.data();
  if (heldHighSurrogate_ != 0) {
    // The pair's first half ended the previous part.
    if (isLowSurrogate(text[0])) {
      out = putCodePoint(out, 0x10000 + ((static_cast<char32_t>(heldHighSurrogate_) - 0xD800) << 10) + (text[0] - 0xDC00));
      ++text;
      --count;
    } else {
      out = putCodePoint(out, kReplacementCharacter);
    }
    heldHighSurrogate_ = 0;
  }
  if (count > 0 && isHighSurrogate(text[count - 1])) {
    // Its partner, if any, opens the next part. (A high surrogate before it already decided.)
    heldHighSurrogate_ = text[--count];
  }
  out = encodeUtf8(text, count, out);
  return emit(staging_.data(), static_cast<size_t>(out - staging_.data()));
}

bool TextOutput::finish() {
  if (heldHighSurrogate_ != 0) {
    uint8_t bytes[4];
    emit(bytes, static_cast<size_t>(putCodePoint(bytes, kReplacementCharacter) - bytes));
    heldHighSurrogate_ = 0;
  }
  return std::fflush(stream_) == 0 && ok_;
}
