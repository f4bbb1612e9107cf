// Builds Palm DOC files for the tests: a database header, a record list, a DOC header record and
// the text records, with every field the reader looks at open to damage.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// A book to build. Plain values; the records are owned copies.
struct PalmDocBookContents {
  uint16_t compression = 2;                     // record 0's compression field (big-endian)
  uint32_t textLength = 0;                      // record 0's text length field
  std::vector<std::vector<uint8_t>> records;    // records 1..n: the text, then any others
  uint8_t attributeHigh = 0;                    // byte 32: the high byte of the attributes
  uint8_t attributeLow = 0;                     // byte 33: the low byte of the attributes
};

// A built file, loaded as the viewer loads one: its bytes followed by one zero byte.
struct PalmDocFile {
  std::vector<uint8_t> storage;  // owned: the file's bytes and the zero byte after them

  const uint8_t* data() const { return storage.data(); }
  int32_t size() const { return static_cast<int32_t>(storage.size() - 1); }
  // Overwrites the 4-byte big-endian value at `offset` (to damage a header field).
  void putBigEndian32(size_t offset, uint32_t value);
  // Drops the last `count` bytes of the file, keeping the zero byte after it.
  void truncate(size_t count);
};

// Offsets within a built file: the record list has one 8-byte entry per record and is followed
// by two bytes of padding, then record 0 (16 bytes), then records 1..n.
inline constexpr size_t kRecord0Offset = 78;   // where the record list's first entry starts
inline constexpr size_t kRecord1Offset = 86;   // where the second entry starts

PalmDocFile buildPalmDoc(const PalmDocBookContents& contents);

// A stored book holding `text` in one record.
PalmDocFile storedBook(std::string_view text);
// A compressed book whose only text record is the given command stream; the header announces
// `textLength` bytes.
PalmDocFile compressedBook(std::vector<uint8_t> stream, uint32_t textLength);

// A PalmDOC compressor: greedy longest matches within 2047 bytes, space pairs, literal runs.
// Compresses `text` in 4096-byte records, as book writers do.
std::vector<std::vector<uint8_t>> compressPalmDocRecords(std::string_view text);

std::vector<uint8_t> bytesOf(std::string_view text);
