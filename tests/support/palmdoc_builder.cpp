#include "tests/support/palmdoc_builder.h"

#include <algorithm>
#include <cstring>

namespace {

void appendBigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

constexpr size_t kRecordSize = 4096;   // text bytes per record, as book writers use
constexpr size_t kWindow = 2047;       // farthest a back-reference reaches
constexpr size_t kMinMatch = 3;
constexpr size_t kMaxMatch = 10;

// Compresses one record on its own: back-references never reach into an earlier record.
std::vector<uint8_t> compressRecord(const uint8_t* text, size_t size) {
  std::vector<uint8_t> out;
  size_t i = 0;
  while (i < size) {
    // Longest earlier match (overlap allowed: the copy repeats what it writes).
    size_t bestLength = 0, bestDistance = 0;
    const size_t maxLength = std::min(kMaxMatch, size - i);
    for (size_t distance = 1; distance <= std::min(i, kWindow) && maxLength >= kMinMatch; ++distance) {
      size_t length = 0;
      while (length < maxLength && text[i - distance + length] == text[i + length]) ++length;
      if (length > bestLength) {
        bestLength = length;
        bestDistance = distance;
        if (length == maxLength) break;
      }
    }
    if (bestLength >= kMinMatch) {
      const unsigned v = 0x8000u | static_cast<unsigned>(bestDistance << 3) | static_cast<unsigned>(bestLength - 3);
      out.push_back(static_cast<uint8_t>(v >> 8));
      out.push_back(static_cast<uint8_t>(v));
      i += bestLength;
      continue;
    }
    const uint8_t b = text[i];
    if (b == ' ' && i + 1 < size && text[i + 1] >= 0x40 && text[i + 1] <= 0x7F) {
      out.push_back(static_cast<uint8_t>(text[i + 1] ^ 0x80));
      i += 2;
    } else if (b >= 0x09 && b <= 0x7F) {
      out.push_back(b);
      ++i;
    } else {
      // A run of up to 8 bytes that cannot stand for themselves.
      size_t run = 1;
      while (run < 8 && i + run < size && (text[i + run] < 0x09 || text[i + run] >= 0x80)) ++run;
      out.push_back(static_cast<uint8_t>(run));
      out.insert(out.end(), text + i, text + i + run);
      i += run;
    }
  }
  return out;
}

}  // namespace

void PalmDocFile::putBigEndian32(size_t offset, uint32_t value) {
  for (int k = 0; k < 4; ++k) storage.at(offset + k) = static_cast<uint8_t>(value >> (24 - 8 * k));
}

void PalmDocFile::truncate(size_t count) {
  storage.resize(storage.size() - 1 - count);
  storage.push_back(0);
}

PalmDocFile buildPalmDoc(const PalmDocBookContents& contents) {
  std::vector<uint8_t> file(78, 0);
  std::memcpy(file.data(), "book", 4);  // the name; byte 31 (its last byte) stays zero
  file[32] = contents.attributeHigh;
  file[33] = contents.attributeLow;
  std::memcpy(file.data() + 60, "TEXtREAd", 8);
  const size_t recordCount = contents.records.size() + 1;
  file[76] = static_cast<uint8_t>(recordCount >> 8);
  file[77] = static_cast<uint8_t>(recordCount);

  uint32_t offset = static_cast<uint32_t>(78 + 8 * recordCount + 2);
  std::vector<uint32_t> offsets{offset};
  offset += 16;
  for (const auto& record : contents.records) {
    offsets.push_back(offset);
    offset += static_cast<uint32_t>(record.size());
  }
  for (size_t k = 0; k < offsets.size(); ++k) {
    appendBigEndian(file, offsets[k], 4);
    appendBigEndian(file, static_cast<uint32_t>(k), 4);  // attributes and unique id
  }
  appendBigEndian(file, 0, 2);  // padding

  appendBigEndian(file, contents.compression, 2);
  appendBigEndian(file, 0, 2);
  appendBigEndian(file, contents.textLength, 4);
  appendBigEndian(file, static_cast<uint32_t>(contents.records.size()), 2);
  appendBigEndian(file, kRecordSize, 2);
  appendBigEndian(file, 0, 4);
  for (const auto& record : contents.records) file.insert(file.end(), record.begin(), record.end());

  file.push_back(0);  // the zero byte the viewer keeps after the file's bytes
  return PalmDocFile{std::move(file)};
}

PalmDocFile storedBook(std::string_view text) {
  PalmDocBookContents contents;
  contents.compression = 1;
  contents.textLength = static_cast<uint32_t>(text.size());
  contents.records.push_back(bytesOf(text));
  return buildPalmDoc(contents);
}

PalmDocFile compressedBook(std::vector<uint8_t> stream, uint32_t textLength) {
  PalmDocBookContents contents;
  contents.textLength = textLength;
  contents.records.push_back(std::move(stream));
  return buildPalmDoc(contents);
}

std::vector<std::vector<uint8_t>> compressPalmDocRecords(std::string_view text) {
  std::vector<std::vector<uint8_t>> records;
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  for (size_t start = 0; start < text.size(); start += kRecordSize) {
    records.push_back(compressRecord(bytes + start, std::min(kRecordSize, text.size() - start)));
  }
  return records;
}

std::vector<uint8_t> bytesOf(std::string_view text) { return std::vector<uint8_t>(text.begin(), text.end()); }
