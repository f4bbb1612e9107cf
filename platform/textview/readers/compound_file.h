// A bounded reader of Compound Files (the container of Word 97-2003 documents): header, DIFAT,
// FAT, mini FAT and the directory. Every read is checked against the file: the sector shift is
// 9 or 12, a chain stops at its end mark, at a sector outside the file, at a sector it has
// visited already (a looping FAT) and after as many sectors as the file holds; directory
// entries are each visited once. A stream cut short by the file's end gives the bytes it has.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "platform/textview/readers/reader.h"

namespace platform::textview {

inline constexpr uint8_t kCompoundFileSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

bool hasCompoundFileSignature(ByteView bytes);

class CompoundFile {
 public:
  // The file's structure, or nothing when the header is not a Compound File's.
  static std::optional<CompoundFile> open(ByteView bytes);

  // The names of the streams directly under the root storage, in directory order.
  std::vector<std::u16string> rootStreams() const;
  // The bytes of a stream directly under the root storage (names compare case-insensitively
  // for ASCII, as the format says); nothing when there is no such stream.
  std::optional<std::vector<uint8_t>> stream(std::u16string_view name) const;
  // The same bytes without a copy where the stream's sectors lie in order in the file (as a
  // large stream usually does): a view of the file, else of `storage`, which is filled.
  std::optional<ByteView> streamView(std::u16string_view name, std::vector<uint8_t>& storage) const;

 private:
  struct Entry {
    std::u16string name;     // the entry's name
    uint8_t type = 0;        // 1 storage, 2 stream, 5 root
    uint32_t left = 0;       // sibling with a smaller name, or 0xFFFFFFFF
    uint32_t right = 0;      // sibling with a larger name, or 0xFFFFFFFF
    uint32_t child = 0;      // the root of its children's tree, or 0xFFFFFFFF
    uint32_t start = 0;      // first sector (mini sector for a small stream)
    uint64_t size = 0;       // bytes in the stream
  };

  explicit CompoundFile(ByteView bytes) : bytes_(bytes) {}
  bool readHeader();
  // Sector ids of a chain in `fat`, bounded as the class comment says.
  std::vector<uint32_t> chain(const std::vector<uint32_t>& fat, uint32_t start, size_t sectorCount) const;
  // The bytes of a sector, clipped to the file (empty when it lies beyond).
  ByteView sector(uint32_t id) const;
  std::vector<uint8_t> readChain(uint32_t start, uint64_t size) const;
  std::vector<uint8_t> readMiniChain(uint32_t start, uint64_t size) const;
  std::vector<uint32_t> rootChildren() const;

  ByteView bytes_;                   // the whole file, borrowed
  uint32_t sectorShift_ = 9;         // 9 (512-byte sectors) or 12 (4096)
  uint32_t miniCutoff_ = 4096;       // streams smaller than this live in the mini stream
  size_t sectorCount_ = 0;           // sectors the file holds after its header
  std::vector<uint32_t> fat_;        // next sector of every sector
  std::vector<uint32_t> miniFat_;    // next mini sector of every mini sector
  std::vector<Entry> entries_;       // the directory
  std::vector<uint8_t> miniStream_;  // the root entry's stream, which holds the small streams
};

}  // namespace platform::textview
