// The decode step: from an EncodingIndex to the decoder of its catalogue row, with the Palm DOC
// header test and the raw copy for indexes outside the catalogue.
#include "convert/decode_text.h"

#include <cstddef>

#include "convert/encoding_catalogue.h"
#include "palmdoc/palmdoc.h"

namespace {

// An index outside the catalogue (only a settings file can hold one): the document's bytes and
// its zero byte, read as little-endian UTF-16 pairs, then an ending zero unit. Only the
// document's own bytes are copied: the storage may still hold a longer earlier document.
// Writes (byteCount + 1) / 2 + 1 units, within the byteCount + 1 that `out` has room for, and
// returns the units before the ending zero.
size_t copyRaw(char16_t* out, const uint8_t* in, int32_t byteCount) {
  const size_t count = static_cast<size_t>(byteCount);
  size_t unit = 0;
  size_t i = 0;
  for (; i + 1 < count; i += 2) out[unit++] = static_cast<char16_t>(in[i] | (in[i + 1] << 8));
  // An odd count leaves one byte, paired with the zero byte: the high half is zero.
  if (i < count) out[unit++] = in[i];
  // An even count pairs the zero byte with whatever follows it in storage; the ending zero
  // unit stands in for that pair, so nothing after the document shows.
  out[unit] = 0;
  return unit;
}

// Palm DOC rows: the Palm database header test on bytes 31 to 33 (the end of the database name
// and the attributes must be zero), then room for the text as the reader computes it. Returns
// false when nothing is to be decoded.
bool preparePalmDocText(const uint8_t* file, int32_t byteCount, WideBuffer& text) {
  constexpr int32_t kHeaderTestEnd = 34;  // bytes 31, 32 and 33 must exist and be zero
  if (byteCount < kHeaderTestEnd) return false;
  if (file[31] != 0 || file[32] != 0 || file[33] != 0) return false;
  const int32_t units = palmDocTextSize(file, byteCount);
  if (units < 0) return false;  // a compression the reader does not support, or a damaged header
  if (!text.ensureCapacity(static_cast<uint32_t>(units))) return false;
  return text.data != nullptr;  // a size of 0 leaves a buffer without storage as it was
}

}  // namespace

DecodeOutcome decodeText(uint32_t encoding, const ByteBuffer& bytes, int32_t byteCount, WideBuffer& text) {
  const bool consistent = byteCount > 0 && bytes.data != nullptr && static_cast<uint32_t>(byteCount) <= bytes.capacity;
  if (!consistent) return {};
  const uint8_t* in = bytes.data;
  const EncodingRow* row = encodingRow(encoding);

  if (row != nullptr && row->room == TextRoom::kPalmDocBook) {
    if (!preparePalmDocText(in, byteCount, text)) return {};
  } else if (!text.ensureCapacity(static_cast<uint32_t>(byteCount))) {
    // Every other row writes at most one unit per byte and the ending zero. The loaded document
    // already has that room; growing here only protects a caller that did not make it.
    return {};
  }
  const size_t units = row != nullptr ? row->decode(text, in, byteCount) : copyRaw(text.data, in, byteCount);
  return DecodeOutcome{true, static_cast<uint32_t>(units)};
}
