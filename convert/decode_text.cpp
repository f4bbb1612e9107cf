// The decode step: from an EncodingIndex to the decoder of its row, with the Palm DOC header
// test and the raw copy for indexes outside the catalogue.
#include "convert/decode_text.h"

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

// Runs the decoder of catalogue row 0 to 17. The decoder objects are stateless; each call
// makes its own, as the viewer creates one per decode.
void runRowDecoder(uint32_t encoding, char16_t* out, const uint8_t* in, int32_t n) {
  switch (encoding) {
    case 0:  // "Japanese (Auto)": nothing is detected, it is Shift-JIS
    case 1: JapaneseDecoder().decodeShiftJis(out, in, n); return;
    case 2: JapaneseDecoder().decodeIso2022Jp(out, in, n); return;
    case 3: JapaneseDecoder().decodeEucJp(out, in, n); return;
    case 4: UnicodeDecoder().decodeUtf8(out, in, n); return;
    case 5: UnicodeDecoder().decodeUtf16(out, in, n); return;
    // ISO-8859 parts 1, 2, 3, 4, 5 and 7; no row reaches part 6.
    case 6: Iso8859Decoder().decodeIso8859(out, in, n, 1); return;
    case 7: Iso8859Decoder().decodeIso8859(out, in, n, 2); return;
    case 8: Iso8859Decoder().decodeIso8859(out, in, n, 3); return;
    case 9: Iso8859Decoder().decodeIso8859(out, in, n, 4); return;
    case 10: Iso8859Decoder().decodeIso8859(out, in, n, 5); return;
    case 11: Iso8859Decoder().decodeIso8859(out, in, n, 7); return;
    case 12: KoreanDecoder().decodeEucKr(out, in, n); return;
    case 13: KoreanDecoder().decodeIso2022Kr(out, in, n); return;
    case 14: ChineseDecoder().decodeBig5(out, in, n); return;
    case 15: ChineseDecoder().decodeGb2312(out, in, n); return;
    case 16: ThaiVietnameseDecoder().decodeThai(out, in, n); return;
    case 17: ThaiVietnameseDecoder().decodeVietnamese(out, in, n); return;
    default: return;  // not reached: the caller handles 18 and above
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
  const bool consistent = byteCount > 0 && bytes.data != nullptr && static_cast<uint32_t>(byteCount) <= bytes.capacity;
  if (!consistent) return outcome;
  const uint8_t* in = bytes.data;

  if (encoding == kPalmDocJapanese || encoding == kPalmDocWestern) {
    if (!preparePalmDocText(in, byteCount, text)) return outcome;
    if (reportUnits) fillWithMarker(text);
    runPalmDocDecoder(encoding, in, byteCount, text);
  } else {
    // Every other row writes at most one unit per byte and the ending zero. The loaded document
    // already has that room; growing here only protects a caller that did not make it.
    if (!text.ensureCapacity(static_cast<uint32_t>(byteCount))) return outcome;
    if (reportUnits) fillWithMarker(text);
    if (encoding > kLastCatalogueRow) {
      copyRaw(text.data, in, byteCount);
    } else {
      runRowDecoder(encoding, text.data, in, byteCount);
    }
  }
  outcome.decoded = true;
  if (reportUnits) outcome.units = writtenUnits(text);
  return outcome;
}

void decodeText(uint32_t encoding, const ByteBuffer& bytes, int32_t byteCount, WideBuffer& text) {
  decodeText(encoding, bytes, byteCount, text, false);
}
