// UTF-8 and UTF-16 decoders: byte-order marks here, the loops in unicode_kernels.cpp.
#include "decode/unicode.h"

#include <bit>
#include <cstring>

#include "decode/unicode_kernels.h"

namespace {

size_t inputLength(int32_t n) { return n > 0 ? static_cast<size_t>(n) : 0; }

}  // namespace

size_t UnicodeDecoder::decodeUtf8(char16_t* out, const uint8_t* in, int32_t n) const {
  size_t length = inputLength(n);
  // A leading byte-order mark is skipped. Each byte is looked at only when the ones before it
  // matched, and none past the input (a shorter input cannot hold the mark anyway).
  size_t start = 0;
  if (length >= 3 && in[0] == 0xEF && in[1] == 0xBB && in[2] == 0xBF) start = 3;
  size_t written = decodeUtf8Units(bestUnicodeKernel(), out, in + start, length - start);
  out[written] = 0;
  return written;
}

size_t UnicodeDecoder::decodeUtf16(char16_t* out, const uint8_t* in, int32_t n) const {
  size_t length = inputLength(n);
  // The mark is read from the first two bytes; with a single byte there is no mark.
  bool littleEndianMark = length >= 2 && in[0] == 0xFF && in[1] == 0xFE;
  bool bigEndianMark = length >= 2 && in[0] == 0xFE && in[1] == 0xFF;
  size_t start = (littleEndianMark || bigEndianMark) ? 2 : 0;
  // A byte left over after the last whole pair is half a unit and is dropped.
  size_t units = (length - start) / 2;
  if (bigEndianMark) {
    // Swapped on the way out: the input keeps its bytes, so decoding it again gives the same.
    swapUtf16Units(bestUnicodeKernel(), out, in + start, units);
  } else if constexpr (std::endian::native == std::endian::little) {
    if (units > 0) std::memcpy(out, in + start, units * sizeof(char16_t));
  } else {
    for (size_t i = 0; i < units; ++i) {
      out[i] = static_cast<char16_t>(in[start + 2 * i] | (in[start + 2 * i + 1] << 8));
    }
  }
  out[units] = 0;
  return units;
}
