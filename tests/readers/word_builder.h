// Builds small Word 97-2003 files for the tests: a Compound File of 512-byte sectors (every
// stream in the regular FAT) holding a WordDocument stream with a FIB, text pieces and
// optional character properties, and a 1Table stream with the piece table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform::textview::testing {

struct WordPiece {
  std::u16string text;      // the piece's characters
  bool compressed = false;  // stored as 8-bit (Windows-1252) bytes
  uint32_t fcOverride = 0;  // when non-zero, the offset written for the piece (to point elsewhere)
  uint16_t prm = 0;         // property modifier (odd: index * 2 + 1 into the Prcs)
};

struct WordFile {
  std::vector<WordPiece> pieces;       // in text order
  bool storeReversed = false;          // write the pieces' bytes in reverse order (a fast save)
  std::vector<std::string> prcs;       // grpprls the pieces' modifiers refer to
  // Character properties: [first, last) characters of the text (by character position) and
  // their grpprl; the pieces must then be stored in order.
  struct Run {
    uint32_t first;
    uint32_t last;
    std::string grpprl;
  };
  std::vector<Run> chpRuns;
  std::vector<Run> papRuns;            // paragraph properties the same way (style 0)
  // Lists: each level's start, number format (nfc), number text (units 0-8 stand for the
  // levels' numbers) and what follows it (0 tab, 1 space, 2 nothing); one level makes a
  // simple list. Overrides name a list and may restart levels; paragraphs name overrides
  // (1-based) with sprmPIlfo.
  struct ListLevel {
    int32_t start = 1;
    uint8_t format = 0;
    std::u16string text;
    uint8_t follow = 0;
  };
  struct List {
    uint32_t lsid;
    std::vector<ListLevel> levels;
  };
  struct ListOverride {
    uint32_t lsid;
    std::vector<std::pair<uint8_t, int32_t>> restarts;  // level, new start
  };
  std::vector<List> lists;
  std::vector<ListOverride> listOverrides;
  uint32_t ccpTextOverride = 0;        // when non-zero, the FIB's ccpText
  uint16_t flags = 0x0200;             // FIB flags (0x0200: the table stream is 1Table)
  uint16_t nFib = 0x00C1;              // FIB version
};

// The bytes of the Compound File.
std::string buildWordFile(const WordFile& file);

// Offsets inside what buildWordFile() writes, for tests that damage it.
inline constexpr size_t kBuiltFatSector = 512;         // the one FAT sector
inline constexpr size_t kBuiltDirectorySector = 1024;  // the directory
inline constexpr size_t kBuiltWordDocument = 1536;     // the WordDocument stream

}  // namespace platform::textview::testing
