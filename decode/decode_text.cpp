// The decode step: from an EncodingIndex to the decoder of its row, with the Palm DOC header
// test and the raw copy for indexes outside the catalogue.
#include "decode/decode_text.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "decode/chinese.h"
#include "decode/iso8859.h"
#include "decode/japanese.h"
#include "decode/korean.h"
#include "decode/thai_vietnamese.h"
#include "decode/unicode.h"
#include "palmdoc/palmdoc.h"

namespace {

constexpr uint32_t kPalmDocJapanese = 18;
constexpr uint32_t kPalmDocWestern = 19;
constexpr uint32_t kLastCatalogueRow = 19;

// Where storage is filled before a counted decode. Any non-zero value does: the decoders end
// their text with a zero unit, so the last unit that is not the marker is that zero.
constexpr char16_t kUnwrittenMarker = 0xFDD0;

// An index outside the catalogue (only a settings file can hold one): the document's bytes and
// its zero byte, read as little-endian UTF-16 pairs, then an ending zero unit. Only the
// document's own bytes are copied: the storage may still hold a longer earlier document.
// Writes (byteCount + 1) / 2 + 1 units, within the byteCount + 1 that `out` has room for.
void copyRaw(char16_t* out, const uint8_t* in, int32_t byteCount) {
  const size_t count = static_cast<size_t>(byteCount);
  size_t unit = 0;
  size_t i = 0;
  for (; i + 1 < count; i += 2) out[unit++] = static_cast<char16_t>(in[i] | (in[i + 1] << 8));
  // An odd count leaves one byte, paired with the zero byte: the high half is zero.
  if (i < count) out[unit++] = in[i];
  // An even count pairs the zero byte with whatever follows it in storage; the ending zero
  // unit stands in for that pair, so nothing after the document shows.
  out[unit] = 0;
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

void runPalmDocDecoder(uint32_t encoding, const uint8_t* file, int32_t byteCount, WideBuffer& text) {
  if (encoding == kPalmDocJapanese) {
    decodePalmDocJapanese(text, file, byteCount);
  } else {
    decodePalmDocWestern(text, file, byteCount);
  }
}

// The decoder of a catalogue row other than Palm DOC, or nullptr for a row whose decoder this
// build does not have. The decoder objects are stateless; each call makes its own.
using RowDecoder = void (*)(char16_t* out, const uint8_t* in, int32_t n);

RowDecoder rowDecoder(uint32_t encoding) {
  switch (encoding) {
    case 0:  // "Japanese (Auto)": nothing is detected, it is Shift-JIS
    case 1:
      return [](char16_t* out, const uint8_t* in, int32_t n) { JapaneseDecoder().decodeShiftJis(out, in, n); };
    case 2:
      return [](char16_t* out, const uint8_t* in, int32_t n) { JapaneseDecoder().decodeIso2022Jp(out, in, n); };
    case 3:
      return [](char16_t* out, const uint8_t* in, int32_t n) { JapaneseDecoder().decodeEucJp(out, in, n); };
    case 4:
      return [](char16_t* out, const uint8_t* in, int32_t n) { UnicodeDecoder().decodeUtf8(out, in, n); };
    case 5:
      return [](char16_t* out, const uint8_t* in, int32_t n) { UnicodeDecoder().decodeUtf16(out, in, n); };
    // ISO-8859 parts 1, 2, 3, 4, 5 and 7; no row reaches part 6.
    case 6:
      return [](char16_t* out, const uint8_t* in, int32_t n) { Iso8859Decoder().decodeIso8859(out, in, n, 1); };
    case 7:
      return [](char16_t* out, const uint8_t* in, int32_t n) { Iso8859Decoder().decodeIso8859(out, in, n, 2); };
    case 8:
      return [](char16_t* out, const uint8_t* in, int32_t n) { Iso8859Decoder().decodeIso8859(out, in, n, 3); };
    case 9:
      return [](char16_t* out, const uint8_t* in, int32_t n) { Iso8859Decoder().decodeIso8859(out, in, n, 4); };
    case 10:
      return [](char16_t* out, const uint8_t* in, int32_t n) { Iso8859Decoder().decodeIso8859(out, in, n, 5); };
    case 11:
      return [](char16_t* out, const uint8_t* in, int32_t n) { Iso8859Decoder().decodeIso8859(out, in, n, 7); };
    case 12:
      return [](char16_t* out, const uint8_t* in, int32_t n) { KoreanDecoder().decodeEucKr(out, in, n); };
    case 13:
      return [](char16_t* out, const uint8_t* in, int32_t n) { KoreanDecoder().decodeIso2022Kr(out, in, n); };
    case 14:
      return [](char16_t* out, const uint8_t* in, int32_t n) { ChineseDecoder().decodeBig5(out, in, n); };
    case 15:
      return [](char16_t* out, const uint8_t* in, int32_t n) { ChineseDecoder().decodeGb2312(out, in, n); };
    case 16:
      return [](char16_t* out, const uint8_t* in, int32_t n) { ThaiVietnameseDecoder().decodeThai(out, in, n); };
    case 17:
      return [](char16_t* out, const uint8_t* in, int32_t n) { ThaiVietnameseDecoder().decodeVietnamese(out, in, n); };
    default:
      return nullptr;
  }
}

void fillWithMarker(WideBuffer& text) {
  std::char_traits<char16_t>::assign(text.data, static_cast<size_t>(text.capacity) + 1, kUnwrittenMarker);
}

// The extent of the text written over the marker: the index of its ending zero unit.
uint32_t writtenUnits(WideBuffer& text) {
  size_t last = static_cast<size_t>(text.capacity) + 1;
  while (last > 0 && text.data[last - 1] == kUnwrittenMarker) --last;
  if (last == 0) {
    text.data[0] = 0;  // the decoder wrote nothing at all: leave an empty text, not the marker
    return 0;
  }
  if (text.data[last - 1] == 0) return static_cast<uint32_t>(last - 1);
  // A decoder that left no ending zero: end the text after what it wrote, within the storage.
  const size_t end = std::min(last, static_cast<size_t>(text.capacity));
  text.data[end] = 0;
  return static_cast<uint32_t>(end);
}

}  // namespace

DecodeOutcome decodeText(uint32_t encoding, const ByteBuffer& bytes, int32_t byteCount, WideBuffer& text,
                         bool reportUnits) {
  DecodeOutcome outcome;
  if (byteCount <= 0 || bytes.data == nullptr || static_cast<uint32_t>(byteCount) > bytes.capacity) return outcome;
  const uint8_t* in = bytes.data;

  if (encoding == kPalmDocJapanese || encoding == kPalmDocWestern) {
    if (!preparePalmDocText(in, byteCount, text)) return outcome;
    if (reportUnits) fillWithMarker(text);
    runPalmDocDecoder(encoding, in, byteCount, text);
  } else {
    const RowDecoder decoder = encoding > kLastCatalogueRow ? nullptr : rowDecoder(encoding);
    if (encoding <= kLastCatalogueRow && decoder == nullptr) return outcome;
    // Every other row writes at most one unit per byte and the ending zero. The loaded document
    // already has that room; growing here only protects a caller that did not make it.
    if (!text.ensureCapacity(static_cast<uint32_t>(byteCount))) return outcome;
    if (reportUnits) fillWithMarker(text);
    if (decoder != nullptr) {
      decoder(text.data, in, byteCount);
    } else {
      copyRaw(text.data, in, byteCount);
    }
  }
  outcome.decoded = true;
  if (reportUnits) outcome.units = writtenUnits(text);
  return outcome;
}

void decodeText(uint32_t encoding, const ByteBuffer& bytes, int32_t byteCount, WideBuffer& text) {
  decodeText(encoding, bytes, byteCount, text, false);
}
