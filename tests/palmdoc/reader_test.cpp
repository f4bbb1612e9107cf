// The Palm DOC reader on built books: stored and compressed text, the compression field, line
// ends, records after the text, and damaged headers and streams.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "decode/iso8859.h"
#include "decode/japanese.h"
#include "decode/tables/palm_western_table.h"
#include "palmdoc/palmdoc.h"
#include "tests/support/palmdoc_builder.h"

namespace {

enum class Script { Western, Japanese };

// What was in the WideBuffer before decoding, to show when nothing was decoded.
constexpr char16_t kPreviousText[] = u"previous";

// Decodes `file` as the viewer does once the header test has passed: the WideBuffer holds the
// file's size (as after a load) and the previous text, is grown to palmDocTextSize, and the
// decoder runs. An unsupported or unreadable book is still handed to the decoder, which must
// leave the previous text alone.
std::u16string decode(const PalmDocFile& file, Script script) {
  WideBuffer text;
  EXPECT_TRUE(text.ensureCapacity(static_cast<uint32_t>(file.size()) + sizeof kPreviousText));
  std::char_traits<char16_t>::copy(text.data, kPreviousText, std::size(kPreviousText));
  const int32_t size = palmDocTextSize(file.data(), file.size());
  if (size > 0) {
    EXPECT_TRUE(text.ensureCapacity(static_cast<uint32_t>(size)));
  }
  if (script == Script::Western) {
    decodePalmDocWestern(text, file.data(), file.size());
  } else {
    decodePalmDocJapanese(text, file.data(), file.size());
  }
  return std::u16string(text.text());
}

std::u16string western(const PalmDocFile& file) { return decode(file, Script::Western); }
std::u16string japanese(const PalmDocFile& file) { return decode(file, Script::Japanese); }

// What the Shift-JIS decoder with LF to CR LF makes of `bytes` on its own.
std::u16string shiftJisCrLf(const std::string& bytes) {
  std::u16string out(2 * bytes.size() + 1, u'\0');
  JapaneseDecoder().decodeShiftJisCrLf(out.data(), reinterpret_cast<const uint8_t*>(bytes.c_str()),
                                       static_cast<int32_t>(bytes.size()));
  return std::u16string(out.c_str());
}

TEST(PalmDocReader, StoredWesternTextConvertsLineEndsAndKeepsByteValues) {
  EXPECT_EQ(western(storedBook("A\nB")), u"A\r\nB");
  // A CR already in the text is kept: CR LF becomes CR CR LF.
  EXPECT_EQ(western(storedBook("one\r\ntwo\n\n")), u"one\r\r\ntwo\r\n\r\n");
  // ISO-8859-1 but for 0x80 to 0x9F, which hold the Windows code page's characters (its gaps,
  // such as 0x81, keep their own value).
  EXPECT_EQ(western(storedBook("caf\xE9 \xFF\x81")), u"caf\u00E9 \u00FF\u0081");
  EXPECT_EQ(western(storedBook("\x93quoted\x94 \x80" "5 \x97 dash")), u"\u201Cquoted\u201D \u20AC" "5 \u2014 dash");
  EXPECT_EQ(western(storedBook("")), u"");
  // Long enough for the sixteen-byte blocks the text is widened in: every byte but zero, at
  // every place in a block.
  std::string all;
  std::u16string expected;
  for (int shift = 0; shift < 16; ++shift) {
    all += std::string(static_cast<size_t>(shift), 'x');
    expected += std::u16string(static_cast<size_t>(shift), u'x');
    for (int b = 1; b < 256; ++b) {
      all += static_cast<char>(b);
      if (b == '\n') expected += u'\r';
      expected += kPalmWesternTable[b];
    }
  }
  EXPECT_EQ(western(storedBook(all)), expected);
  // The ISO-8859-1 row itself is untouched: 0x93 stays U+0093 there.
  char16_t latin1[3] = {};
  const uint8_t bytes[] = {0x93, 0x80};
  Iso8859Decoder().decodeIso8859(latin1, bytes, 2, 1);
  EXPECT_EQ(std::u16string(latin1), u"\u0093\u0080");
}

TEST(PalmDocReader, StoredBookShowsRecordsAfterTheText) {
  PalmDocBookContents contents;
  contents.compression = 1;
  contents.records = {bytesOf("Chapter 1\n"), bytesOf("Chapter 2"), bytesOf("<bookmark>")};
  EXPECT_EQ(western(buildPalmDoc(contents)), u"Chapter 1\r\nChapter 2<bookmark>");
}

TEST(PalmDocReader, CompressedTextRunsAcrossRecords) {
  std::string text;
  for (int k = 0; text.size() < 9000; ++k) text += "Line " + std::to_string(k) + " of the book, caf\xE9.\n";
  PalmDocBookContents contents;
  contents.textLength = static_cast<uint32_t>(text.size());
  contents.records = compressPalmDocRecords(text);
  ASSERT_EQ(contents.records.size(), 3u);
  std::u16string expected;
  for (unsigned char c : text) {
    if (c == '\n') expected += u'\r';
    expected += static_cast<char16_t>(c);
  }
  EXPECT_EQ(western(buildPalmDoc(contents)), expected);
}

TEST(PalmDocReader, OnlyTheLowByteOfTheCompressionCounts) {
  PalmDocBookContents contents;
  contents.records = {bytesOf("\xC1\x09\x03xyz")};  // stored, these bytes are shown as they are
  contents.textLength = 7;
  contents.compression = 0x0101;
  EXPECT_EQ(western(buildPalmDoc(contents)), u"\u00C1\t\u0003xyz");
  contents.compression = 0x0102;
  EXPECT_EQ(western(buildPalmDoc(contents)), u" A\txyz");
  for (uint16_t unsupported : {0x0000, 0x0003, 0x0100, 0x4448}) {  // 0x4448: "DH", eReader
    contents.compression = unsupported;
    const PalmDocFile file = buildPalmDoc(contents);
    EXPECT_EQ(palmDocTextSize(file.data(), file.size()), -1);
    EXPECT_EQ(western(file), kPreviousText);
    EXPECT_EQ(japanese(file), kPreviousText);
  }
}

TEST(PalmDocReader, TextSizeLeavesRoomForCrLfAndIsBoundedByTheFile) {
  const PalmDocFile stored = storedBook(std::string(300, '\n'));
  EXPECT_EQ(palmDocTextSize(stored.data(), stored.size()), 600);
  EXPECT_EQ(western(stored).size(), 600u);

  // Compressed: twice the announced length, as long as the stream could produce that much.
  const std::vector<uint8_t> stream(100, '\n');
  const PalmDocFile exact = compressedBook(stream, 100);
  EXPECT_EQ(palmDocTextSize(exact.data(), exact.size()), 400);
  std::u16string crlfs;
  for (int k = 0; k < 100; ++k) crlfs += u"\r\n";
  // A length far beyond what 100 bytes can decompress to costs only what they can produce:
  // each byte yields at most 5 (a 2-byte back-reference copies at most 10).
  for (uint32_t announced : {501u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
    SCOPED_TRACE(announced);
    const PalmDocFile huge = compressedBook(stream, announced);
    EXPECT_EQ(palmDocTextSize(huge.data(), huge.size()), 2 * 5 * 100);
    EXPECT_EQ(western(huge), crlfs);
  }
}

TEST(PalmDocReader, UnreadableHeadersDecodeNothing) {
  const PalmDocFile good = storedBook("Some text that is long enough.");
  ASSERT_EQ(western(good), u"Some text that is long enough.");
  const uint32_t fileSize = static_cast<uint32_t>(good.size());

  std::vector<PalmDocFile> damaged;
  for (size_t keep : {0u, 34u, 89u}) {  // too short for the two record offsets
    PalmDocFile shortFile = good;
    shortFile.truncate(good.size() - keep);
    damaged.push_back(shortFile);
  }
  for (uint32_t offset : {0u, 33u, 93u, fileSize + 1, 0xFFFFFFF8u}) {  // record 1 in the header or past the end
    PalmDocFile file = good;
    file.putBigEndian32(kRecord1Offset, offset);
    damaged.push_back(file);
  }
  for (uint32_t offset : {0u, 78u, fileSize - 7, fileSize, 0xFFFFFFFCu}) {  // record 0 unreadable
    PalmDocFile file = good;
    file.putBigEndian32(kRecord0Offset, offset);
    damaged.push_back(file);
  }
  for (size_t k = 0; k < damaged.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(palmDocTextSize(damaged[k].data(), damaged[k].size()), -1);
    EXPECT_EQ(western(damaged[k]), kPreviousText);
    EXPECT_EQ(japanese(damaged[k]), kPreviousText);
  }
  // A text record starting exactly at the end of the file is an empty text, not damage.
  PalmDocFile empty = good;
  empty.putBigEndian32(kRecord1Offset, fileSize);
  EXPECT_EQ(western(empty), u"");
}

TEST(PalmDocReader, DamagedCompressedStreamsShowTheTextBeforeTheDamage) {
  // The operand of the last back-reference is cut off by the end of the file.
  EXPECT_EQ(western(compressedBook({'a', 'b', 'c', 0x80}, 10)), u"abc");
  // A back-reference before the start of the text.
  EXPECT_EQ(western(compressedBook({'a', 'b', 0x81, 0x00, 'c'}, 10)), u"ab");
  // The end command stops the text even though more bytes follow.
  EXPECT_EQ(western(compressedBook({'a', '\n', 0x00, 'c', 'd'}, 4)), u"a\r\n");
  // A header that understates the text shows twice the length it announces.
  EXPECT_EQ(western(compressedBook(bytesOf("abcdefghijklmnopqrst"), 4)), u"abcdefgh");
}

TEST(PalmDocReader, TextIsCutToAWideBufferThatCouldNotGrow) {
  const PalmDocFile file = storedBook("abcdefghij\n");
  WideBuffer text;
  ASSERT_TRUE(text.ensureCapacity(5));
  decodePalmDocWestern(text, file.data(), file.size());
  EXPECT_EQ(std::u16string(text.text()), u"abcde");
  decodePalmDocJapanese(text, file.data(), file.size());
  EXPECT_EQ(std::u16string(text.text()), u"ab");
  WideBuffer none;  // no storage at all: nothing can be written
  decodePalmDocWestern(none, file.data(), file.size());
  decodePalmDocJapanese(none, file.data(), file.size());
  EXPECT_EQ(none.data, nullptr);
}

TEST(PalmDocReader, JapaneseTextGoesThroughShiftJis) {
  // U+3042 U+3044, LF, then a half-width katakana.
  EXPECT_EQ(japanese(storedBook("\x82\xA0\x82\xA2\n\xB1")), u"\u3042\u3044\r\n\uFF71");
  std::string text;
  for (int k = 0; text.size() < 6000; ++k) text += "\x8C\xE1\x94y\x82\xCD\x94L\x82\xC5\x82\xA0\x82\xE9\x81" "B " + std::to_string(k) + "\r\n";
  PalmDocBookContents contents;
  contents.textLength = static_cast<uint32_t>(text.size());
  contents.records = compressPalmDocRecords(text);
  EXPECT_EQ(japanese(buildPalmDoc(contents)), shiftJisCrLf(text));
  // A lead byte as the last byte of a compressed text pairs with the zero after it, as at the
  // end of a file, and is dropped with it.
  EXPECT_EQ(japanese(compressedBook({'a', 0x01, 0x82}, 2)), u"a");
}

}  // namespace
