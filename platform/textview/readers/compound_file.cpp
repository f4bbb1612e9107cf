#include "platform/textview/readers/compound_file.h"

#include <algorithm>
#include <cstring>

namespace platform::textview {
namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kNoStream = 0xFFFFFFFF;
constexpr size_t kHeaderSize = 512;
constexpr size_t kMiniSectorSize = 64;
constexpr size_t kEntrySize = 128;

uint16_t u16At(ByteView bytes, size_t at) { return at + 2 <= bytes.size() ? static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8)) : 0; }
uint32_t u32At(ByteView bytes, size_t at) {
  return at + 4 <= bytes.size() ? static_cast<uint32_t>(bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                                                         (static_cast<uint32_t>(bytes[at + 3]) << 24))
                                : kEndOfChain;
}

char16_t foldAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

bool sameName(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return foldAscii(x) == foldAscii(y); });
}

}  // namespace

bool hasCompoundFileSignature(ByteView bytes) {
  return bytes.size() >= 8 && std::memcmp(bytes.data(), kCompoundFileSignature, 8) == 0;
}

std::optional<CompoundFile> CompoundFile::open(ByteView bytes) {
  if (!hasCompoundFileSignature(bytes) || bytes.size() < kHeaderSize) return std::nullopt;
  CompoundFile file(bytes);
  if (!file.readHeader()) return std::nullopt;
  return file;
}

ByteView CompoundFile::sector(uint32_t id) const {
  if (id >= sectorCount_) return {};
  const size_t size = size_t{1} << sectorShift_;
  const size_t offset = (static_cast<size_t>(id) + 1) << sectorShift_;
  if (offset >= bytes_.size()) return {};
  return bytes_.subspan(offset, std::min(size, bytes_.size() - offset));
}

std::vector<uint32_t> CompoundFile::chain(const std::vector<uint32_t>& fat, uint32_t start, size_t sectorCount) const {
  std::vector<uint32_t> ids;
  std::vector<bool> visited(std::min(sectorCount, fat.size()), false);
  for (uint32_t id = start; id < visited.size() && !visited[id]; id = fat[id]) {
    visited[id] = true;
    ids.push_back(id);
  }
  return ids;
}

bool CompoundFile::readHeader() {
  const uint16_t major = u16At(bytes_, 0x1A);
  sectorShift_ = u16At(bytes_, 0x1E);
  if (sectorShift_ != 9 && sectorShift_ != 12) return false;
  if (u16At(bytes_, 0x20) != 6) return false;  // mini sectors are 64 bytes
  if (major != 3 && major != 4) return false;
  const size_t sectorSize = size_t{1} << sectorShift_;
  // Version 4 keeps its header in a sector of 4096 bytes too; sectors are counted after it.
  sectorCount_ = bytes_.size() > sectorSize ? (bytes_.size() - sectorSize + sectorSize - 1) / sectorSize : 0;
  miniCutoff_ = u32At(bytes_, 0x38);
  const size_t entriesPerSector = sectorSize / 4;

  // The sectors that hold the FAT: 109 in the header, the rest in the DIFAT chain.
  std::vector<uint32_t> fatSectors;
  const uint32_t fatSectorCount = std::min<uint32_t>(u32At(bytes_, 0x2C), static_cast<uint32_t>(sectorCount_));
  for (size_t i = 0; i < 109 && fatSectors.size() < fatSectorCount; ++i) fatSectors.push_back(u32At(bytes_, 0x4C + 4 * i));
  std::vector<bool> visitedDifat(sectorCount_, false);
  for (uint32_t difat = u32At(bytes_, 0x44); difat < sectorCount_ && !visitedDifat[difat] && fatSectors.size() < fatSectorCount;) {
    visitedDifat[difat] = true;
    const ByteView block = sector(difat);
    for (size_t i = 0; i + 1 < entriesPerSector && fatSectors.size() < fatSectorCount; ++i) fatSectors.push_back(u32At(block, 4 * i));
    difat = u32At(block, 4 * (entriesPerSector - 1));
  }
  fat_.reserve(std::min(fatSectors.size() * entriesPerSector, sectorCount_ + entriesPerSector));
  for (uint32_t id : fatSectors) {
    const ByteView block = sector(id);
    for (size_t i = 0; i < entriesPerSector; ++i) fat_.push_back(u32At(block, 4 * i));
    if (fat_.size() >= sectorCount_) break;  // entries for sectors beyond the file are of no use
  }

  // The directory.
  for (uint32_t id : chain(fat_, u32At(bytes_, 0x30), sectorCount_)) {
    const ByteView block = sector(id);
    for (size_t at = 0; at + kEntrySize <= block.size(); at += kEntrySize) {
      const ByteView raw = block.subspan(at, kEntrySize);
      Entry entry;
      const size_t nameBytes = std::min<size_t>(u16At(raw, 64), 64);
      for (size_t i = 0; i + 1 < nameBytes; i += 2) {
        const char16_t unit = u16At(raw, i);
        if (unit == 0) break;
        entry.name.push_back(unit);
      }
      entry.type = raw[66];
      entry.left = u32At(raw, 68);
      entry.right = u32At(raw, 72);
      entry.child = u32At(raw, 76);
      entry.start = u32At(raw, 116);
      entry.size = major == 3 ? u32At(raw, 120) : (u32At(raw, 120) | (static_cast<uint64_t>(u32At(raw, 124)) << 32));
      entries_.push_back(std::move(entry));
    }
  }
  if (entries_.empty() || entries_[0].type != 5) return false;

  // The mini FAT and the mini stream.
  for (uint32_t id : chain(fat_, u32At(bytes_, 0x3C), sectorCount_)) {
    const ByteView block = sector(id);
    for (size_t i = 0; i < entriesPerSector; ++i) miniFat_.push_back(u32At(block, 4 * i));
  }
  miniStream_ = readChain(entries_[0].start, entries_[0].size);
  return true;
}

std::vector<uint8_t> CompoundFile::readChain(uint32_t start, uint64_t size) const {
  std::vector<uint8_t> data;
  size = std::min<uint64_t>(size, bytes_.size());  // a stream never holds more than the file
  data.reserve(static_cast<size_t>(size));
  for (uint32_t id : chain(fat_, start, sectorCount_)) {
    if (data.size() >= size) break;
    const ByteView block = sector(id);
    if (block.empty()) break;
    const size_t take = std::min<size_t>(block.size(), static_cast<size_t>(size) - data.size());
    data.insert(data.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(take));
    if (block.size() < (size_t{1} << sectorShift_)) break;  // the file ends inside this sector
  }
  return data;
}

std::vector<uint8_t> CompoundFile::readMiniChain(uint32_t start, uint64_t size) const {
  std::vector<uint8_t> data;
  size = std::min<uint64_t>(size, miniStream_.size());
  const size_t miniSectors = miniStream_.size() / kMiniSectorSize;
  for (uint32_t id : chain(miniFat_, start, miniSectors)) {
    if (data.size() >= size) break;
    const size_t offset = static_cast<size_t>(id) * kMiniSectorSize;
    const size_t take = std::min<size_t>(kMiniSectorSize, static_cast<size_t>(size) - data.size());
    data.insert(data.end(), miniStream_.begin() + static_cast<std::ptrdiff_t>(offset),
                miniStream_.begin() + static_cast<std::ptrdiff_t>(offset + take));
  }
  return data;
}

std::vector<uint32_t> CompoundFile::rootChildren() const {
  // The children form a tree of siblings; walk it with a stack, each entry once.
  std::vector<uint32_t> children;
  std::vector<bool> visited(entries_.size(), false);
  std::vector<uint32_t> pending{entries_[0].child};
  while (!pending.empty()) {
    const uint32_t id = pending.back();
    pending.pop_back();
    if (id == kNoStream || id >= entries_.size() || visited[id]) continue;
    visited[id] = true;
    children.push_back(id);
    pending.push_back(entries_[id].right);
    pending.push_back(entries_[id].left);
  }
  return children;
}

std::vector<std::u16string> CompoundFile::rootStreams() const {
  std::vector<std::u16string> names;
  for (uint32_t id : rootChildren()) {
    if (entries_[id].type == 2) names.push_back(entries_[id].name);
  }
  return names;
}

std::optional<ByteView> CompoundFile::streamView(std::u16string_view name, std::vector<uint8_t>& storage) const {
  for (uint32_t id : rootChildren()) {
    const Entry& entry = entries_[id];
    if (entry.type != 2 || !sameName(entry.name, name)) continue;
    if (entry.size >= miniCutoff_) {
      // A stream whose sectors follow each other in the file is the file's own bytes there.
      const std::vector<uint32_t> sectors = chain(fat_, entry.start, sectorCount_);
      const uint64_t size = std::min<uint64_t>(entry.size, bytes_.size());
      const size_t sectorSize = size_t{1} << sectorShift_;
      bool contiguous = !sectors.empty() && uint64_t{sectors.size()} * sectorSize >= size;
      for (size_t i = 1; contiguous && i < sectors.size(); ++i) contiguous = sectors[i] == sectors[i - 1] + 1;
      if (contiguous) {
        const size_t offset = (static_cast<size_t>(sectors.front()) + 1) << sectorShift_;
        if (offset < bytes_.size()) return bytes_.subspan(offset, std::min<size_t>(static_cast<size_t>(size), bytes_.size() - offset));
      }
    }
    storage = entry.size < miniCutoff_ ? readMiniChain(entry.start, entry.size) : readChain(entry.start, entry.size);
    return ByteView(storage.data(), storage.size());
  }
  return std::nullopt;
}

std::optional<std::vector<uint8_t>> CompoundFile::stream(std::u16string_view name) const {
  for (uint32_t id : rootChildren()) {
    const Entry& entry = entries_[id];
    if (entry.type != 2 || !sameName(entry.name, name)) continue;
    return entry.size < miniCutoff_ ? readMiniChain(entry.start, entry.size) : readChain(entry.start, entry.size);
  }
  return std::nullopt;
}

}  // namespace platform::textview
