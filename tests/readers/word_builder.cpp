#include "tests/readers/word_builder.h"

#include <algorithm>

namespace platform::textview::testing {
namespace {

void put16(std::string& bytes, size_t at, uint32_t value) {
  if (bytes.size() < at + 2) bytes.resize(at + 2, '\0');
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}
void put32(std::string& bytes, size_t at, uint32_t value) {
  put16(bytes, at, value & 0xFFFF);
  put16(bytes, at + 2, value >> 16);
}
void padTo(std::string& bytes, size_t multiple) { bytes.resize((bytes.size() + multiple - 1) / multiple * multiple, '\0'); }

constexpr size_t kTextStart = 0x400;
constexpr size_t kBlob = 0x9A;

std::string pieceBytes(const WordPiece& piece) {
  std::string bytes;
  for (char16_t c : piece.text) {
    if (piece.compressed) {
      bytes.push_back(static_cast<char>(c));
    } else {
      bytes.push_back(static_cast<char>(c & 0xFF));
      bytes.push_back(static_cast<char>(c >> 8));
    }
  }
  return bytes;
}

void directoryEntry(std::string& bytes, size_t at, const std::u16string& name, uint8_t type, uint32_t child, uint32_t right,
                    uint32_t start, uint32_t size) {
  for (size_t i = 0; i < name.size(); ++i) put16(bytes, at + 2 * i, name[i]);
  put16(bytes, at + 64, static_cast<uint32_t>((name.size() + 1) * 2));
  bytes[at + 66] = static_cast<char>(type);
  put32(bytes, at + 68, 0xFFFFFFFF);
  put32(bytes, at + 72, right);
  put32(bytes, at + 76, child);
  put32(bytes, at + 116, start);
  put32(bytes, at + 120, size);
}

}  // namespace

std::string buildWordFile(const WordFile& file) {
  // The WordDocument stream: FIB, then the pieces' bytes.
  std::string word(kTextStart, '\0');
  put16(word, 0, 0xA5EC);
  put16(word, 2, file.nFib);
  put16(word, 0x0A, file.flags);
  put16(word, 0x20, 14);
  put16(word, 0x3E, 22);
  put16(word, 0x98, 93);
  std::vector<uint32_t> offsets(file.pieces.size());
  std::vector<size_t> storeOrder(file.pieces.size());
  for (size_t i = 0; i < storeOrder.size(); ++i) storeOrder[i] = file.storeReversed ? storeOrder.size() - 1 - i : i;
  for (size_t i : storeOrder) {
    offsets[i] = static_cast<uint32_t>(word.size());
    word += pieceBytes(file.pieces[i]);
  }
  uint32_t characters = 0;
  for (const WordPiece& piece : file.pieces) characters += static_cast<uint32_t>(piece.text.size());
  put32(word, 0x4C, file.ccpTextOverride != 0 ? file.ccpTextOverride : characters);

  // The table stream: the Clx, then the character properties' bin table.
  std::string table;
  for (const std::string& prc : file.prcs) {
    table.push_back('\x01');
    put16(table, table.size(), static_cast<uint32_t>(prc.size()));
    table += prc;
  }
  const size_t clx = 0;
  table.push_back('\x02');
  const size_t count = file.pieces.size();
  const size_t plcAt = table.size() + 4;
  put32(table, table.size(), static_cast<uint32_t>(4 * (count + 1) + 8 * count));
  uint32_t cp = 0;
  for (size_t i = 0; i < count; ++i) {
    put32(table, plcAt + 4 * i, cp);
    cp += static_cast<uint32_t>(file.pieces[i].text.size());
  }
  put32(table, plcAt + 4 * count, cp);
  for (size_t i = 0; i < count; ++i) {
    const WordPiece& piece = file.pieces[i];
    const size_t pcd = plcAt + 4 * (count + 1) + 8 * i;
    const uint32_t fc = piece.fcOverride != 0 ? piece.fcOverride : offsets[i];
    put16(table, pcd, 0);
    put32(table, pcd + 2, piece.compressed ? (fc * 2) | 0x40000000u : fc);
    put16(table, pcd + 6, piece.prm);
  }
  const size_t clxEnd = table.size();
  put32(word, kBlob + 33 * 8, static_cast<uint32_t>(clx));
  put32(word, kBlob + 33 * 8 + 4, static_cast<uint32_t>(clxEnd - clx));

  if (!file.chpRuns.empty()) {
    // One CHPX page after the text; runs in file offsets of the stored pieces.
    const auto fcOf = [&](uint32_t character) {
      uint32_t start = 0;
      for (size_t i = 0; i < count; ++i) {
        const auto length = static_cast<uint32_t>(file.pieces[i].text.size());
        if (character < start + length || i + 1 == count) {
          return offsets[i] + (character - start) * (file.pieces[i].compressed ? 1 : 2);
        }
        start += length;
      }
      return offsets.empty() ? 0u : offsets.back();
    };
    padTo(word, 512);
    const size_t page = word.size();
    word.resize(page + 512, '\0');
    const size_t runs = file.chpRuns.size();
    size_t grpprlAt = 511;
    for (size_t k = 0; k < runs; ++k) {
      const auto& run = file.chpRuns[k];
      put32(word, page + 4 * k, fcOf(run.first));
      if (k + 1 == runs) put32(word, page + 4 * (k + 1), fcOf(run.last));
      grpprlAt = (grpprlAt - 1 - run.grpprl.size()) & ~size_t{1};
      word[page + grpprlAt] = static_cast<char>(run.grpprl.size());
      std::copy(run.grpprl.begin(), run.grpprl.end(), word.begin() + static_cast<std::ptrdiff_t>(page + grpprlAt + 1));
      word[page + 4 * (runs + 1) + k] = static_cast<char>(grpprlAt / 2);
    }
    word[page + 511] = static_cast<char>(runs);
    const size_t bin = table.size();
    put32(table, bin, fcOf(file.chpRuns.front().first));
    put32(table, bin + 4, fcOf(file.chpRuns.back().last));
    put32(table, bin + 8, static_cast<uint32_t>(page / 512));
    put32(word, kBlob + 12 * 8, static_cast<uint32_t>(bin));
    put32(word, kBlob + 12 * 8 + 4, 12);
  }
  // Streams of 4096 bytes and more live in the regular FAT.
  word.resize(std::max<size_t>(word.size(), 4096), '\0');
  table.resize(std::max<size_t>(table.size(), 4096), '\0');
  padTo(word, 512);
  padTo(table, 512);

  // The Compound File: header, FAT, directory, WordDocument, 1Table.
  const auto wordSectors = static_cast<uint32_t>(word.size() / 512);
  const auto tableSectors = static_cast<uint32_t>(table.size() / 512);
  std::string out(512, '\0');
  const uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::copy(signature, signature + 8, out.begin());
  put16(out, 0x18, 0x3E);
  put16(out, 0x1A, 3);
  put16(out, 0x1C, 0xFFFE);
  put16(out, 0x1E, 9);
  put16(out, 0x20, 6);
  put32(out, 0x2C, 1);           // one FAT sector
  put32(out, 0x30, 1);           // the directory in sector 1
  put32(out, 0x38, 4096);
  put32(out, 0x3C, 0xFFFFFFFE);  // no mini FAT
  put32(out, 0x44, 0xFFFFFFFE);  // no DIFAT sectors
  for (size_t i = 0; i < 109; ++i) put32(out, 0x4C + 4 * i, i == 0 ? 0 : 0xFFFFFFFF);
  put32(out, 0x4C, 0);

  std::string fat(512, '\xFF');
  put32(fat, 0, 0xFFFFFFFD);  // the FAT's own sector
  put32(fat, 4, 0xFFFFFFFE);  // the directory
  uint32_t sector = 2;
  for (uint32_t i = 0; i < wordSectors; ++i, ++sector) put32(fat, 4 * sector, i + 1 < wordSectors ? sector + 1 : 0xFFFFFFFE);
  const uint32_t tableStart = sector;
  for (uint32_t i = 0; i < tableSectors; ++i, ++sector) put32(fat, 4 * sector, i + 1 < tableSectors ? sector + 1 : 0xFFFFFFFE);

  std::string directory(512, '\0');
  directoryEntry(directory, 0, u"Root Entry", 5, 1, 0xFFFFFFFF, 0xFFFFFFFE, 0);
  directoryEntry(directory, 128, u"WordDocument", 2, 0xFFFFFFFF, 2, 2, static_cast<uint32_t>(word.size()));
  directoryEntry(directory, 256, u"1Table", 2, 0xFFFFFFFF, 0xFFFFFFFF, tableStart, static_cast<uint32_t>(table.size()));
  out += fat + directory + word + table;
  return out;
}

}  // namespace platform::textview::testing
