// The Word reader and its Compound File reader on files built here: pieces, fields, special
// characters, properties, notices, and damage of every kind the reader must survive.
#include <gtest/gtest.h>

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
  file.pieces = {{u"first "}, {u"second", true, 0, 1}};
  file.storeReversed = true;
  file.prcs = {std::string("\x36\x08\x01", 3)};  // italic on
  const TextDocument document = wordReader().read(bytesOf(buildWordFile(file)));
  EXPECT_EQ(shownText(document), u"first second"_qs);
  EXPECT_FALSE(document.runsIn(0, 1).front().format->italic);
  EXPECT_TRUE(document.runsIn(7, 8).front().format->italic);
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
