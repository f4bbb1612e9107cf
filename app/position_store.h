// Where the reader left each document: the first character the view showed, per document
// (its full path and size), for the last 200 documents, most recent first. Kept in a file of
// the program's own beside the settings file; the settings file is not touched. The list also
// gives the recent documents.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/system/windows.h"

inline constexpr WCHAR kPositionsPath[] = u"\\Program Files\\Quillscope\\Positions.dat";
inline constexpr WCHAR kPositionsSavePath[] = u"\\Program Files\\Quillscope\\Positions.dat.new";

struct StoredPosition {
  std::u16string path;        // the document's full device path (1 to 1023 units)
  uint64_t size = 0;          // its size in bytes when the position was taken
  uint32_t topCharacter = 0;  // the first character the view showed (UTF-16 offset)
  uint32_t encoding = 0;      // the EncodingIndex it was read in
  bool operator==(const StoredPosition&) const = default;
};

// The file: "QSPOS001", a 32-bit count (at most 200), a 32-bit FNV-1a checksum of what
// follows, then per entry a 16-bit path length, the path's UTF-16 units, the 64-bit size and
// the 32-bit first character and encoding; little-endian, nothing after the last entry.
namespace position_file {
inline constexpr size_t kCapacity = 200;
// The entries of a whole file, or nothing when it is not one (damaged, cut short, foreign).
std::optional<std::vector<StoredPosition>> parse(const uint8_t* bytes, size_t size);
std::string serialize(const std::vector<StoredPosition>& entries);
}  // namespace position_file

class PositionStore {
 public:
  // Reads the file once, the first time it is needed; a damaged or foreign file reads as empty
  // and is replaced by the next save.
  const std::vector<StoredPosition>& entries();
  // The entry of this path, if any.
  const StoredPosition* find(const std::u16string& path);
  // Puts the entry first (replacing the path's old one), keeps the newest 200 and saves.
  void remember(const StoredPosition& entry);
  // Writes the whole list to a file beside the store and puts it in place in one step, so the
  // store holds the old list or the new, never a mix. Returns whether it was written.
  bool save() const;

 private:
  void loadOnce();
  bool loaded_ = false;                  // the file has been read
  std::vector<StoredPosition> entries_;  // most recent first, at most 200
};
