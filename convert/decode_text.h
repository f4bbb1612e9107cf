// The decode step proper: the decoder that an EncodingIndex selects, run over the loaded bytes.
#pragma once

#include <cstdint>

#include "decode/document_buffers.h"

// Decodes the first byteCount bytes of `bytes` (which holds a zero byte after them) into
// `text` as the viewer does for EncodingIndex `encoding` (taken as unsigned): a decoder row,
// the Palm DOC rows with their header test, or the raw copy for an index above 19.
// `text` must have room for at least byteCount + 1 units; the Palm DOC rows grow it.
// Nothing is decoded, and `text` keeps what it held, for byteCount <= 0, for a byteCount the
// ByteBuffer cannot hold, for a Palm DOC row whose header test fails (a file shorter than 34
// bytes included) and when storage for the text cannot be obtained.
void decodeText(uint32_t encoding, const ByteBuffer& bytes, int32_t byteCount, WideBuffer& text);

// What one decode did, for tools that need the exact extent of the text.
struct DecodeOutcome {
  bool decoded = false;  // false: nothing was decoded and the text keeps what it held
  uint32_t units = 0;    // code units written before the ending zero unit (embedded zeros count)
};

// As decodeText, and reports how many code units the decoder wrote. Costs one extra pass over
// the text storage (it is filled with a marker first), so the viewer itself does not use it.
DecodeOutcome decodeText(uint32_t encoding, const ByteBuffer& bytes, int32_t byteCount, WideBuffer& text,
                         bool reportUnits);
