// The decode step proper: the decoder of an EncodingIndex's catalogue row, run over the loaded
// bytes.
#pragma once

#include <cstdint>

#include "decode/document_buffers.h"

// What one decode did.
struct DecodeOutcome {
  bool decoded = false;  // false: nothing was decoded and the text keeps what it held
  uint32_t units = 0;    // code units written before the ending zero unit (embedded zeros count)
};

// Decodes the first byteCount bytes of `bytes` (which holds a zero byte after them) into
// `text` as the viewer does for EncodingIndex `encoding` (taken as unsigned): a catalogue row's
// decoder, the Palm DOC rows after their header test, or the raw copy for an index above 19.
// `text` must have room for at least byteCount + 1 units; the Palm DOC rows grow it.
// Nothing is decoded, and `text` keeps what it held, for byteCount <= 0, for a byteCount the
// ByteBuffer cannot hold, for a Palm DOC row whose header test fails (a file shorter than 34
// bytes included) and when storage for the text cannot be obtained. The viewer needs only the
// text; tools use the unit count the decoder reports.
DecodeOutcome decodeText(uint32_t encoding, const ByteBuffer& bytes, int32_t byteCount, WideBuffer& text);
