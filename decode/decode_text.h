// The decode step proper: the decoder that an EncodingIndex selects, run over the loaded bytes.
#pragma once

#include <cstdint>

#include "decode/document_buffers.h"

// Decodes the first byteCount bytes of `bytes` (which holds a zero byte after them) into
// `text` as the viewer does for EncodingIndex `encoding` (taken as unsigned): a decoder row,
// the Palm DOC rows with their header test, or the raw copy for an index above 19.
// `text` must have room for at least byteCount + 1 units; the Palm DOC rows grow it.
void decodeText(uint32_t encoding, const ByteBuffer& bytes, int32_t byteCount, WideBuffer& text);
