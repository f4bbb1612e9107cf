// The Word reader and its Compound File reader on files built here: pieces, fields, special
// characters, properties, notices, and damage of every kind the reader must survive.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "platform/textview/readers/compound_file.h"
#include "platform/textview/readers/word_reader.h"
#include "tests/readers/reader_test_support.h"
#include "tests/readers/word_builder.h"

namespace platform::textview {
namespace {

using testing::buildWordFile;
using testing::WordFile;
using testing::WordPiece;

QString wordText(const std::string& bytes) { return shownText(wordReader().read(bytesOf(bytes))); }

void put32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

TEST(WordReader, PiecesFieldsAndSpecialCharacters) {
  const struct {
    const char* what;
    std::vector<WordPiece> pieces;
    const char16_t* text;
  } cases[] = {
      {"8- and 16-bit pieces", {{u"Wide \u65E5\r"}, {u"\x93narrow\x94 \x80", true}}, u"Wide \u65E5\n\u201Cnarrow\u201D \u20AC"},
      {"field result only", {{u"See \x13 HYPERLINK \"x\" \x14the page\x15."}}, u"See the page."},
      {"nested fields", {{u"\x13 A \x13 B \x14in\x15 \x14out\x15"}}, u"out"},
      {"field never closed", {{u"a\x13 DATE \x14" u"b"}}, u"ab"},
      {"breaks and specials", {{u"a\x0B" u"b\tc\x01\x08\x05\x1F" u"d\x1E" u"e\x0C" u"f"}}, u"a\nb\tcd\u2011e\nf"},
      {"a piece outside the stream", {{u"kept "}, {u"lost", false, 0x7FFFFFF0}, {u"kept"}}, u"kept kept"},
  };
  for (const auto& c : cases) {
    WordFile file;
    file.pieces = c.pieces;
    EXPECT_EQ(wordText(buildWordFile(file)), QString::fromUtf16(c.text)) << c.what;
  }
}

TEST(WordReader, FastSavedPiecesAreReadInTextOrderWithTheirModifiers) {
  WordFile file;
  // The second piece refers to a modifier list (italic on); the third carries one modifier of
  // its own, bold on (0x55 for bold, operand 1); the fourth one this reader does not show.
  file.pieces = {{u"first "}, {u"second", true, 0, 1}, {u" third", false, 0, 0x0100 | (0x55 << 1)},
                 {u" fourth", false, 0, 0x0100 | (0x0E << 1)}};
  file.storeReversed = true;
  file.prcs = {std::string("\x36\x08\x01", 3)};
  const TextDocument document = wordReader().read(bytesOf(buildWordFile(file)));
  EXPECT_EQ(shownText(document), u"first second third fourth"_qs);
  EXPECT_FALSE(document.runsIn(0, 1).front().format->italic);
  EXPECT_TRUE(document.runsIn(7, 8).front().format->italic);
  EXPECT_TRUE(document.runsIn(13, 14).front().format->bold);
  EXPECT_FALSE(document.runsIn(13, 14).front().format->italic);
  EXPECT_EQ(*document.runsIn(20, 21).front().format, CharacterFormat{});
}

TEST(WordReader, PicturesShowAPlaceholderInTheViewOnly) {
  WordFile file;
  file.pieces = {{u"a\x01" u"b\x08" u"c\x01" u"d"}};
  const std::string fSpec("\x55\x08\x01", 3);
  file.chpRuns = {{0, 1, ""}, {1, 2, fSpec}, {2, 3, ""}, {3, 4, fSpec}, {4, 7, ""}};  // the last 0x01 is no picture
  const std::string bytes = buildWordFile(file);
  EXPECT_EQ(wordText(bytes), u"a[Picture]b[Picture]cd"_qs);
  EXPECT_EQ(shownText(readWordDocument(bytesOf(bytes), false)), u"abcd"_qs);
  // The formatting sample holds one inline picture.
  EXPECT_EQ(shownText(wordReader().read(bytesOf(readRichFile("en-formatting.doc")))).count(u"[Picture]"_qs), 1);
}

TEST(WordReader, ListNumbersAndBullets) {
  using Level = WordFile::ListLevel;
  WordFile file;
  std::vector<Level> outline(9);
  using namespace std::string_literals;  // the number texts hold the units 0 and 1
  outline[0] = {1, 0, u"\x00."s, 0};      // 1.<tab>
  outline[1] = {1, 4, u"\x00.\x01)"s, 1};  // 1.a)<space>
  file.lists = {{7, outline}, {9, {{1, 23, u"\xF0B7", 0}}}, {11, {{4, 1, u"\x00"s, 1}}}};
  file.listOverrides = {{7, {}}, {9, {}}, {7, {{0, 10}}}, {11, {}}};
  const auto list = [](uint16_t ilfo, uint8_t ilvl) {
    return std::string{'\x0B', '\x46', static_cast<char>(ilfo), '\0', '\x0A', '\x26', static_cast<char>(ilvl)};
  };
  const struct {
    std::u16string text;
    std::string properties;
  } paragraphs[] = {{u"One", list(1, 0)},     {u"Sub a", list(1, 1)},  {u"Sub b", list(1, 1)}, {u"Two", list(1, 0)},
                    {u"Sub c", list(1, 1)},   {u"Dot", list(2, 0)},    {u"Plain", ""},          {u"Roman", list(4, 0)},
                    {u"Restart", list(3, 0)}, {u"Next", list(1, 0)},   {u"", list(2, 0)},       {u"Unknown", list(9, 0)}};
  std::u16string text;
  for (const auto& paragraph : paragraphs) {
    const auto first = static_cast<uint32_t>(text.size());
    text += paragraph.text + u"\r";
    file.papRuns.push_back({first, static_cast<uint32_t>(text.size()), paragraph.properties});
  }
  file.pieces = {{text}};
  EXPECT_EQ(wordText(buildWordFile(file)),
            u"1.\tOne\n1.a) Sub a\n1.b) Sub b\n2.\tTwo\n2.a) Sub c\n\u2022\tDot\nPlain\nIV Roman\n10.\tRestart\n"
            u"11.\tNext\n\u2022\t\nUnknown"_qs);
}

TEST(WordReader, CharacterPropertiesAndHiddenText) {
  WordFile file;
  file.pieces = {{u"plain bold hidden red"}};
  file.chpRuns = {{0, 6, ""},
                  {6, 11, std::string("\x35\x08\x01\x43\x4A\x1C\x00", 7)},          // bold, 14 pt
                  {11, 18, std::string("\x3C\x08\x01", 3)},                          // hidden
                  {18, 21, std::string("\x70\x68\xFF\x00\x00\x00\x3E\x2A\x01", 9)}};  // red, underlined
  const TextDocument document = wordReader().read(bytesOf(buildWordFile(file)));
  ASSERT_EQ(shownText(document), u"plain bold red"_qs);
  const CharacterFormat& bold = *document.runsIn(6, 7).front().format;
  EXPECT_TRUE(bold.bold);
  EXPECT_EQ(bold.pointSize, 14.0);
  const CharacterFormat& red = *document.runsIn(11, 12).front().format;
  EXPECT_EQ(red.color, 0xFFFF0000u);
  EXPECT_TRUE(red.underline);
  EXPECT_FALSE(red.bold);
}

TEST(WordReader, NoticesForWhatCannotBeShown) {
  const struct {
    uint16_t flags;
    uint16_t nFib;
    WordFileKind kind;
    const char* notice;
  } cases[] = {
      {0x0200 | 0x0100, 0xC1, WordFileKind::PasswordProtected, "This document is password-protected."},
      {0x0200 | 0x8100, 0xC1, WordFileKind::PasswordProtected, "This document is password-protected."},
      {0x0200, 0x68, WordFileKind::OlderVersion, "This Word document is from Word 6 or 95, which this viewer does not read."},
  };
  for (const auto& c : cases) {
    WordFile file;
    file.pieces = {{u"secret text"}};
    file.flags = c.flags;
    file.nFib = c.nFib;
    const std::string bytes = buildWordFile(file);
    EXPECT_EQ(wordFileKind(bytesOf(bytes)), c.kind);
    EXPECT_EQ(wordText(bytes), QString::fromUtf8(c.notice));
  }
}

TEST(WordReader, DamagedStructuresStopSafely) {
  WordFile file;
  file.pieces = {{u"Intact text."}};
  const std::string good = buildWordFile(file);
  ASSERT_EQ(wordText(good), u"Intact text."_qs);

  // The text length is clamped to the piece table.
  std::string longText = good;
  put32(longText, testing::kBuiltWordDocument + 0x4C, 0x7FFFFFFF);
  EXPECT_EQ(wordText(longText), u"Intact text."_qs);

  // The piece table's offset and length point outside the table stream.
  std::string lostClx = good;
  put32(lostClx, testing::kBuiltWordDocument + 0x9A + 33 * 8, 0x7FFFFFF0);
  put32(lostClx, testing::kBuiltWordDocument + 0x9A + 33 * 8 + 4, 0x7FFFFFF0);
  EXPECT_EQ(wordText(lostClx), QString());

  // A FAT chain that loops back on itself stops where it repeats: the FIB is read, the text
  // (in the stream's third sector) is lost with the rest of the chain.
  std::string looping = good;
  put32(looping, testing::kBuiltFatSector + 4 * 3, 2);
  EXPECT_EQ(wordFileKind(bytesOf(looping)), WordFileKind::Readable);
  EXPECT_EQ(wordText(looping), QString());

  // A looping mini FAT: the small stream ends where its chain repeats.
  {
    std::string cfb(512 * 5, '\0');
    const uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::copy(signature, signature + 8, cfb.begin());
    const auto put16 = [&](size_t at, uint32_t value) {
      cfb[at] = static_cast<char>(value & 0xFF);
      cfb[at + 1] = static_cast<char>(value >> 8);
    };
    put16(0x18, 0x3E);
    put16(0x1A, 3);
    put16(0x1C, 0xFFFE);
    put16(0x1E, 9);
    put16(0x20, 6);
    put32(cfb, 0x2C, 1);  // one FAT sector (0); the directory in 1, the mini FAT in 2
    put32(cfb, 0x30, 1);
    put32(cfb, 0x38, 4096);
    put32(cfb, 0x3C, 2);
    put32(cfb, 0x40, 1);
    put32(cfb, 0x44, 0xFFFFFFFE);
    for (size_t i = 0; i < 109; ++i) put32(cfb, 0x4C + 4 * i, i == 0 ? 0 : 0xFFFFFFFF);
    const size_t fat = 512, directory = 1024, miniFat = 1536, miniStream = 2048;
    for (size_t i = 0; i < 128; ++i) put32(cfb, fat + 4 * i, 0xFFFFFFFF);
    for (uint32_t sector : {0u, 1u, 2u, 3u}) put32(cfb, fat + 4 * sector, sector == 0 ? 0xFFFFFFFD : 0xFFFFFFFE);
    for (size_t i = 0; i < 128; ++i) put32(cfb, miniFat + 4 * i, 0xFFFFFFFF);
    put32(cfb, miniFat, 1);  // mini sector 0 -> 1 -> 0 -> ...
    put32(cfb, miniFat + 4, 0);
    const auto entry = [&](size_t at, std::u16string_view name, uint8_t type, uint32_t child, uint32_t start, uint32_t size) {
      for (size_t i = 0; i < name.size(); ++i) put16(at + 2 * i, name[i]);
      put16(at + 64, static_cast<uint32_t>((name.size() + 1) * 2));
      cfb[at + 66] = static_cast<char>(type);
      put32(cfb, at + 68, 0xFFFFFFFF);
      put32(cfb, at + 72, 0xFFFFFFFF);
      put32(cfb, at + 76, child);
      put32(cfb, at + 116, start);
      put32(cfb, at + 120, size);
    };
    entry(directory, u"Root Entry", 5, 1, 3, 256);
    entry(directory + 128, u"Small", 2, 0xFFFFFFFF, 0, 200);
    for (size_t i = 0; i < 256; ++i) cfb[miniStream + i] = static_cast<char>('a' + i / 64);
    const std::optional<CompoundFile> opened = CompoundFile::open(bytesOf(cfb));
    ASSERT_TRUE(opened.has_value());
    const std::optional<std::vector<uint8_t>> small = opened->stream(u"Small");
    ASSERT_TRUE(small.has_value());
    EXPECT_EQ(std::string(small->begin(), small->end()), std::string(64, 'a') + std::string(64, 'b'));
  }

  // A directory whose entries name each other as siblings is walked once.
  std::string cycle = good;
  put32(cycle, testing::kBuiltDirectorySector + 128 + 68, 2);
  put32(cycle, testing::kBuiltDirectorySector + 256 + 72, 1);
  put32(cycle, testing::kBuiltDirectorySector + 256 + 68, 1);
  EXPECT_EQ(wordText(cycle), u"Intact text."_qs);

  // Sector shifts other than 9 and 12 are not a Compound File.
  for (int shift : {7, 10, 16, 31}) {
    std::string bad = good;
    bad[0x1E] = static_cast<char>(shift);
    EXPECT_FALSE(CompoundFile::open(bytesOf(bad)).has_value()) << shift;
    EXPECT_EQ(wordFileKind(bytesOf(bad)), WordFileKind::NotWord);
  }

  // Cut anywhere, the file shows a notice or what it holds of the text.
  for (size_t length = 0; length <= good.size(); length += 128) {
    const QString text = wordText(good.substr(0, length));
    EXPECT_TRUE(text == wordNotice(WordFileKind::NotWord) || u"Intact text."_qs.startsWith(text)) << length;
  }
}

}  // namespace
}  // namespace platform::textview
