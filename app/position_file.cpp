// The position store's file format, apart from any file handling, so that a fuzz target can
// take it alone.
#include <cstring>

#include "app/position_store.h"

namespace position_file {
namespace {

constexpr char kMagic[8] = {'Q', 'S', 'P', 'O', 'S', '0', '0', '1'};
constexpr size_t kHeaderSize = 16;  // magic, count, checksum
constexpr size_t kLongestPath = 1023;

uint32_t fnv1a(const uint8_t* bytes, size_t size) {
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 16777619u;
  return hash;
}

uint64_t readLittle(const uint8_t* at, int bytes) {
  uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

void putLittle(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::optional<std::vector<StoredPosition>> parse(const uint8_t* bytes, size_t size) {
  if (bytes == nullptr || size < kHeaderSize || std::memcmp(bytes, kMagic, sizeof kMagic) != 0) return std::nullopt;
  const uint64_t count = readLittle(bytes + 8, 4);
  if (count > kCapacity || fnv1a(bytes + kHeaderSize, size - kHeaderSize) != readLittle(bytes + 12, 4)) {
    return std::nullopt;
  }
  std::vector<StoredPosition> entries;
  size_t at = kHeaderSize;
  for (uint64_t i = 0; i < count; ++i) {
    if (size - at < 2) return std::nullopt;
    const size_t units = readLittle(bytes + at, 2);
    at += 2;
    if (units == 0 || units > kLongestPath || size - at < units * 2 + 16) return std::nullopt;
    StoredPosition entry;
    entry.path.resize(units);
    for (size_t u = 0; u < units; ++u) entry.path[u] = static_cast<char16_t>(readLittle(bytes + at + 2 * u, 2));
    at += units * 2;
    if (entry.path.find(u'\0') != std::u16string::npos) return std::nullopt;
    entry.size = readLittle(bytes + at, 8);
    entry.topCharacter = static_cast<uint32_t>(readLittle(bytes + at + 8, 4));
    entry.encoding = static_cast<uint32_t>(readLittle(bytes + at + 12, 4));
    at += 16;
    entries.push_back(std::move(entry));
  }
  if (at != size) return std::nullopt;
  return entries;
}

std::string serialize(const std::vector<StoredPosition>& entries) {
  std::string body;
  uint32_t count = 0;
  for (const StoredPosition& entry : entries) {
    if (count == kCapacity) break;
    if (entry.path.empty() || entry.path.size() > kLongestPath) continue;  // never written, never read
    putLittle(body, entry.path.size(), 2);
    for (char16_t unit : entry.path) putLittle(body, unit, 2);
    putLittle(body, entry.size, 8);
    putLittle(body, entry.topCharacter, 4);
    putLittle(body, entry.encoding, 4);
    ++count;
  }
  std::string out(kMagic, sizeof kMagic);
  putLittle(out, count, 4);
  putLittle(out, fnv1a(reinterpret_cast<const uint8_t*>(body.data()), body.size()), 4);
  return out + body;
}

}  // namespace position_file
