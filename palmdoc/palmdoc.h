// The Palm DOC e-book reader: the database header, the DOC header record and PalmDOC
// decompression, converting the text through the Shift-JIS or ISO-8859-1 decoders.
#pragma once

#include <cstddef>
#include <cstdint>

#include "decode/document_buffers.h"

// Units to reserve for the decoded text of a file, or -1 for an unsupported compression.
int32_t palmDocTextSize(const uint8_t* file, int32_t byteCount);

// Decompresses the stream [in, end) into scratch (scratchSize bytes) and returns the number
// of bytes produced. Never reads or writes outside the two ranges.
int32_t decompressPalmDoc(const uint8_t* in, const uint8_t* end, uint8_t* scratch, size_t scratchSize);

// Write the decoded, zero-terminated text to the start of `text`, whose capacity the caller
// has grown to palmDocTextSize().
void decodePalmDocWestern(WideBuffer& text, const uint8_t* file, int32_t byteCount);
void decodePalmDocJapanese(WideBuffer& text, const uint8_t* file, int32_t byteCount);
