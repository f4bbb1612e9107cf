// Where the text of a Palm DOC book lies in the file, read from the database header and the
// DOC header record, with every field checked against the file's size before it is trusted.
#pragma once

#include <cstdint>
#include <optional>

// The kinds of text storage the viewer reads; only the low byte of the compression field counts.
enum class PalmDocCompression : uint8_t {
  Stored = 1,      // the text bytes are the file's bytes
  Compressed = 2,  // the text is PalmDOC-compressed
  Unsupported,     // any other value (eReader, zTXT, ...): nothing is decoded
};

// The facts the reader needs about one book. Plain values; owns nothing.
struct PalmDocLayout {
  PalmDocCompression compression = PalmDocCompression::Unsupported;  // from record 0
  uint32_t textOffset = 0;   // record 1's offset: the text runs from here to the end of the file
  uint32_t textBytes = 0;    // bytes from textOffset to the end of the file
  // Most bytes the text can decode to: the stored bytes themselves, or for a compressed book
  // the decompression area (twice the text length the header announces, so a header that
  // understates its text by up to half still shows all of it), never more than the compressed
  // bytes could possibly expand to.
  uint32_t textLimit = 0;
};

// Every PalmDOC command yields at most 5 bytes per byte it consumes (a 2-byte back-reference
// copies at most 10), so a stream of n bytes never decompresses to more than 5 × n.
inline constexpr uint64_t kPalmDocMaxExpansion = 5;

// The header fields the reader uses: the record list starts at 78 with 8-byte entries, and only
// the offsets of records 0 and 1 are read, so the first byte a record may start at is 94.
inline constexpr uint32_t kRecord0OffsetField = 78;
inline constexpr uint32_t kRecord1OffsetField = 86;
inline constexpr uint32_t kHeaderFieldsEnd = 90;      // a file shorter than this has no layout
inline constexpr uint32_t kFirstRecordByte = 94;      // records start after the two entries read
inline constexpr uint32_t kDocHeaderBytesRead = 8;    // compression (2), unused (2), length (4)

// Reads the layout of the book in file[0, byteCount). Returns nothing when the header cannot be
// trusted: a file too short for the fields read, record 0 or record 1 starting inside the header
// or past the end of the file, or record 0 too short for the compression and text length.
// An unsupported compression is a layout with compression Unsupported.
std::optional<PalmDocLayout> readPalmDocLayout(const uint8_t* file, int32_t byteCount);
