// The Palm DOC reader: finds the text of a book, decompresses it when it is compressed, and
// turns it into UTF-16 through the Shift-JIS decoder (Japanese books) or the Western table
// (ISO-8859-1 with Windows-1252 in 0x80 to 0x9F, for Western books), every LF becoming CR LF.
//
// What a damaged book shows:
// - A header that cannot be trusted (a file shorter than 90 bytes, record 0 or record 1 starting
//   inside the header or past the end of the file, record 0 too short for its compression and
//   text length) is treated like an unsupported compression: palmDocTextSize gives -1, nothing
//   is decoded, and right after a load the view is empty.
// - A damaged compressed stream (an operand cut off by the end of the file, a back-reference of
//   distance 0 or reaching before the start of the text) shows the text decompressed up to the
//   damaged command.
// - A compressed text is never longer than twice the length its header announces, nor longer
//   than its bytes could decompress to; a header announcing gigabytes for a small file costs
//   only what the file can really produce. A longer text is shown up to that size.
// - Text that would not fit the WideBuffer (only possible when it could not be grown to
//   palmDocTextSize) is shown up to what fits.
#include <algorithm>
#include <memory>
#include <new>

#include "decode/japanese.h"
#include "palmdoc/palmdoc.h"
#include "palmdoc/palmdoc_layout.h"
#include "palmdoc/western_text.h"

namespace {

// Finds or decompresses the text of a book whose layout is Stored or Compressed. Returns false
// only when the decompression area cannot be obtained.
bool loadText(const PalmDocLayout& layout, const uint8_t* file, int32_t byteCount, PalmDocTextBytes& text) {
  const uint8_t* start = file + layout.textOffset;
  if (layout.compression == PalmDocCompression::Stored) {
    // The byte after the text is the zero that follows the file's bytes.
    text.bytes = start;
    text.count = layout.textLimit;
    return true;
  }
  const size_t scratchSize = size_t{layout.textLimit} + 1;
  text.scratch.reset(static_cast<uint8_t*>(obtainDocumentStorage(scratchSize)));
  if (!text.scratch) return false;
  text.count = static_cast<uint32_t>(
      decompressPalmDoc(start, file + byteCount, text.scratch.get(), scratchSize));
  text.bytes = text.scratch.get();
  return true;
}

// The layout of a book whose text the viewer can decode, or nothing.
std::optional<PalmDocLayout> decodableLayout(const uint8_t* file, int32_t byteCount) {
  std::optional<PalmDocLayout> layout = readPalmDocLayout(file, byteCount);
  if (!layout || layout->compression == PalmDocCompression::Unsupported) return std::nullopt;
  return layout;
}

// The text of a book for one of the two decoders: false when there is nothing to convert
// (the book cannot be decoded, or there is no output storage); a book whose decompression area
// cannot be obtained leaves an empty text.
bool bookText(WideBuffer& text, const uint8_t* file, int32_t byteCount, PalmDocTextBytes& source) {
  const std::optional<PalmDocLayout> layout = decodableLayout(file, byteCount);
  if (!layout || text.data == nullptr) return false;
  if (!loadText(*layout, file, byteCount, source)) {
    text.data[0] = 0;
    return false;
  }
  return true;
}

}  // namespace

bool palmDocTextBytes(const uint8_t* file, int32_t byteCount, PalmDocTextBytes& text) {
  const std::optional<PalmDocLayout> layout = decodableLayout(file, byteCount);
  return layout && loadText(*layout, file, byteCount, text);
}

int32_t palmDocTextSize(const uint8_t* file, int32_t byteCount) {
  const std::optional<PalmDocLayout> layout = decodableLayout(file, byteCount);
  if (!layout) return -1;
  // Room for every LF of the text to become CR LF. textLimit is below 2^30, so this fits.
  return static_cast<int32_t>(2 * layout->textLimit);
}

size_t decodePalmDocWestern(WideBuffer& text, const uint8_t* file, int32_t byteCount) {
  PalmDocTextBytes source;
  if (!bookText(text, file, byteCount, source)) return 0;
  return writeWesternText(text.data, text.capacity, source.bytes, source.count);
}

size_t decodePalmDocJapanese(WideBuffer& text, const uint8_t* file, int32_t byteCount) {
  PalmDocTextBytes source;
  if (!bookText(text, file, byteCount, source)) return 0;
  // The decoder writes at most two units per byte and a zero unit; the WideBuffer holds
  // capacity + 1 units. A text that does not fit is cut, and a decompressed one gets a new zero
  // byte after the cut so that a lead byte before it pairs with zero, as at the end of a file.
  const uint32_t fits = text.capacity / 2;
  if (source.count > fits) {
    source.count = fits;
    if (source.scratch) source.scratch[fits] = 0;
  }
  return JapaneseDecoder().decodeShiftJisCrLf(text.data, source.bytes, static_cast<int32_t>(source.count));
}
