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

// Places `data` at the end of the table stream and points FIB pair `index` at its first `length` bytes.
void addTableStructure(std::string& word, std::string& table, size_t index, const std::string& data, size_t length) {
  put32(word, kBlob + index * 8, static_cast<uint32_t>(table.size()));
  put32(word, kBlob + index * 8 + 4, static_cast<uint32_t>(length));
  table += data;
}

std::string listLevelBytes(const WordFile::ListLevel& level) {
  std::string bytes(28, '\0');
  put32(bytes, 0, static_cast<uint32_t>(level.start));
  bytes[4] = static_cast<char>(level.format);
  bytes[15] = static_cast<char>(level.follow);
  put16(bytes, 28, static_cast<uint32_t>(level.text.size()));
  for (char16_t unit : level.text) put16(bytes, bytes.size(), unit);
  return bytes;
}

void addLists(const WordFile& file, std::string& word, std::string& table) {
  std::string lists(2, '\0');
  put16(lists, 0, static_cast<uint32_t>(file.lists.size()));
  std::string levels;
  for (const WordFile::List& list : file.lists) {
    std::string entry(28, '\0');
    put32(entry, 0, list.lsid);
    entry[26] = list.levels.size() == 1 ? '\x01' : '\0';
    lists += entry;
    for (const WordFile::ListLevel& level : list.levels) levels += listLevelBytes(level);
  }
  addTableStructure(word, table, 73, lists + levels, lists.size());
  std::string overrides(4, '\0');
  put32(overrides, 0, static_cast<uint32_t>(file.listOverrides.size()));
  std::string data;
  for (const WordFile::ListOverride& override : file.listOverrides) {
    std::string entry(16, '\0');
    put32(entry, 0, override.lsid);
    entry[12] = static_cast<char>(override.restarts.size());
    overrides += entry;
    put32(data, data.size(), 0);
    for (const auto& [level, start] : override.restarts) {
      const size_t at = data.size();
      put32(data, at, static_cast<uint32_t>(start));
      put32(data, at + 4, level | 0x10u);
    }
  }
  addTableStructure(word, table, 74, overrides + data, overrides.size());
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

  // Property pages after the text, one per kind; runs in file offsets of the stored pieces.
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
  const auto addPage = [&](const std::vector<WordFile::Run>& runs, bool paragraphs, size_t index) {
    if (runs.empty()) return;
    padTo(word, 512);
    const size_t page = word.size();
    word.resize(page + 512, '\0');
    size_t grpprlAt = 511;
    for (size_t k = 0; k < runs.size(); ++k) {
      const WordFile::Run& run = runs[k];
      put32(word, page + 4 * k, fcOf(run.first));
      if (k + 1 == runs.size()) put32(word, page + 4 * (k + 1), fcOf(run.last));
      // A character run: its size, its grpprl. A paragraph run: 0, its size in words, the
      // style (0) and its grpprl.
      std::string body = paragraphs ? std::string(2, '\0') + run.grpprl : run.grpprl;
      if (paragraphs) body.resize((body.size() + 1) & ~size_t{1}, '\0');
      const std::string head = paragraphs ? std::string{'\0', static_cast<char>(body.size() / 2)}
                                          : std::string(1, static_cast<char>(body.size()));
      grpprlAt = (grpprlAt - head.size() - body.size()) & ~size_t{1};
      std::copy(head.begin(), head.end(), word.begin() + static_cast<std::ptrdiff_t>(page + grpprlAt));
      std::copy(body.begin(), body.end(), word.begin() + static_cast<std::ptrdiff_t>(page + grpprlAt + head.size()));
      word[page + 4 * (runs.size() + 1) + k * (paragraphs ? 13 : 1)] = static_cast<char>(grpprlAt / 2);
    }
    word[page + 511] = static_cast<char>(runs.size());
    const size_t bin = table.size();
    put32(table, bin, fcOf(runs.front().first));
    put32(table, bin + 4, fcOf(runs.back().last));
    put32(table, bin + 8, static_cast<uint32_t>(page / 512));
    put32(word, kBlob + index * 8, static_cast<uint32_t>(bin));
    put32(word, kBlob + index * 8 + 4, 12);
  };
  addPage(file.chpRuns, false, 12);
  addPage(file.papRuns, true, 13);
  if (!file.lists.empty()) addLists(file, word, table);
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
