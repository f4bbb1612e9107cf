// The plain-text reader: byte-order marks, strict UTF-8, the Windows-1252 fallback and the zero
// byte that ends a streamed document; the reader chosen by content.
#include <gtest/gtest.h>

#include <string>

#include "platform/textview/readers/plain_text_reader.h"
#include "platform/textview/readers/reader.h"

namespace platform::textview {
namespace {

ByteView bytesOf(const std::string& text) { return ByteView(reinterpret_cast<const uint8_t*>(text.data()), text.size()); }

QString decode(const std::string& bytes) { return decodePlainText(bytesOf(bytes)); }

TEST(PlainTextReader, Utf16WithByteOrderMarkStopsAtTheZeroUnit) {
  EXPECT_EQ(decode(std::string("\xFF\xFE" "A\0\x42\x30\0\0Z\0", 10)), QString::fromUtf16(u"A\u3042"));
  EXPECT_EQ(decode(std::string("\xFE\xFF\0A\x30\x42", 6)), QString::fromUtf16(u"A\u3042"));
  // A lone odd byte at the end is not half a character.
  EXPECT_EQ(decode(std::string("\xFF\xFE" "A\0B", 5)), "A");
  EXPECT_EQ(decode(std::string("\xFF\xFE", 2)), "");
}

TEST(PlainTextReader, ValidUtf8IsUtf8AndAnythingElseIsWindows1252) {
  EXPECT_EQ(decode("caf\xC3\xA9 \xE6\xBC\xA2"), QString::fromUtf16(u"caf\u00E9 \u6F22"));
  EXPECT_EQ(decode("\xEF\xBB\xBFhi"), "hi");  // the UTF-8 mark is dropped
  EXPECT_EQ(decode("\xEF\xBB\xBF\xEF\xBB\xBFhi"), QChar(0xFEFF) + QStringLiteral("hi"));  // once
  EXPECT_EQ(decode("caf\xE9"), QString::fromUtf16(u"caf\u00E9"));
  EXPECT_EQ(decode("\x80 \x93q\x94 \x85\x81"), QString::fromUtf16(u"\u20AC \u201Cq\u201D \u2026\u0081"));  // not Latin-1
  EXPECT_EQ(decode("\xC3"), QString::fromUtf16(u"\u00C3"));         // a cut sequence is not UTF-8
  EXPECT_EQ(decode(std::string("ab\0cd", 5)), "ab");              // the stream's zero byte ends it
  EXPECT_EQ(decode(std::string("\0", 1)), "");
}

TEST(PlainTextReader, StrictUtf8Validation) {
  EXPECT_TRUE(isValidUtf8(bytesOf("")));
  EXPECT_TRUE(isValidUtf8(bytesOf("\xF0\x9F\x98\x80")));  // U+1F600
  EXPECT_TRUE(isValidUtf8(bytesOf("\xF4\x8F\xBF\xBF")));  // U+10FFFF
  EXPECT_FALSE(isValidUtf8(bytesOf("\xC0\xAF")));          // overlong
  EXPECT_FALSE(isValidUtf8(bytesOf("\xE0\x80\xAF")));      // overlong
  EXPECT_FALSE(isValidUtf8(bytesOf("\xED\xA0\x80")));      // a surrogate
  EXPECT_FALSE(isValidUtf8(bytesOf("\xF4\x90\x80\x80")));  // above U+10FFFF
  EXPECT_FALSE(isValidUtf8(bytesOf("\xE6\xBC")));          // cut short
  EXPECT_FALSE(isValidUtf8(bytesOf("\xE6\x41\xA2")));      // a bad continuation
  EXPECT_FALSE(isValidUtf8(bytesOf("\x80")));
}

TEST(PlainTextReader, IsTheFallbackAndKeepsLineEnds) {
  const std::string bytes("one\r\ntwo\rthree\0", 15);
  EXPECT_STREQ(readerFor(bytesOf(bytes)).name(), "plain text");
  const TextDocument document = readDocument(bytesOf(bytes));
  EXPECT_EQ(document.text(), QString::fromUtf16(u"one\r\ntwo\rthree"));
  EXPECT_EQ(document.lineCount(), 3);
  EXPECT_FALSE(documentReaders().empty());
  EXPECT_EQ(documentReaders().back(), &plainTextReader());
}

}  // namespace
}  // namespace platform::textview
