// The Palm DOC e-book reader: the database header, the DOC header record and PalmDOC
// decompression, converting the text through the Shift-JIS decoder or the Western table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "decode/document_buffers.h"

// Units to reserve for the decoded text of a file, or -1 for an unsupported compression or a
// header that cannot be trusted (then nothing is decoded). Never more than the file's own bytes
// can decode to, whatever its header claims.
int32_t palmDocTextSize(const uint8_t* file, int32_t byteCount);

// Gives back storage from obtainDocumentStorage.
struct ReleaseDocumentStorage {
  void operator()(uint8_t* storage) const { releaseDocumentStorage(storage); }
};

// The text bytes of a book before conversion: the file's own bytes or, for a compressed book,
// the decompressed text. In both cases bytes[count] is readable and zero, unless the text was
// cut short to fit the output (which only the reader itself does).
struct PalmDocTextBytes {
  const uint8_t* bytes = nullptr;  // the text; points into the file or into `scratch`
  uint32_t count = 0;              // text bytes at `bytes`
  // owned: the decompression area of a compressed book, from the document storage (big areas
  // are huge pages: a book's megabytes of text are touched once, and first touching ordinary
  // pages costs more than decompressing into them)
  std::unique_ptr<uint8_t[], ReleaseDocumentStorage> scratch;
};

// Finds or decompresses the text of the book in file[0, byteCount) (file[byteCount] readable,
// zero): what the two decoders below convert. False when palmDocTextSize() would give -1 or
// storage for the decompressed text cannot be obtained. No header test of the decode step's.
bool palmDocTextBytes(const uint8_t* file, int32_t byteCount, PalmDocTextBytes& text);

// Decompresses the stream [in, end) into scratch (scratchSize bytes) and returns the number
// of bytes produced. Never reads or writes outside the two ranges. At most scratchSize - 1
// bytes are produced and the byte after them is always set to zero. Stops at an end command,
// at the end of the input, when the scratch area is full, or at the first damaged command (an
// operand cut off by the end, a back-reference of distance 0 or before the start of the output).
int32_t decompressPalmDoc(const uint8_t* in, const uint8_t* end, uint8_t* scratch, size_t scratchSize);

// Write the decoded, zero-terminated text to the start of `text`, whose capacity the caller
// has grown to palmDocTextSize(); file[byteCount] must be readable (the zero after the file's
// bytes). Nothing is written when palmDocTextSize() would give -1; text that does not fit the
// buffer is cut. Return the units written before the ending zero (0 when nothing was written).
size_t decodePalmDocWestern(WideBuffer& text, const uint8_t* file, int32_t byteCount);
size_t decodePalmDocJapanese(WideBuffer& text, const uint8_t* file, int32_t byteCount);
