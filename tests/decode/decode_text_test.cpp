// The decode step: rows to decoders, the raw copy outside the catalogue, the Palm DOC header
// test, and what is left alone when nothing is decoded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "convert/decode_text.h"
#include "decode/chinese.h"
#include "decode/iso8859.h"
#include "decode/japanese.h"
#include "decode/korean.h"
#include "decode/thai_vietnamese.h"
#include "decode/unicode.h"
#include "tests/support/palmdoc_builder.h"
#include "tests/support/test_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A loaded document as the viewer holds it: the bytes with a zero after them, and a text
// buffer with room for one unit per byte plus the ending zero.
struct Document {
  ByteBuffer bytes;
  WideBuffer text;
  int32_t byteCount = 0;

  explicit Document(const Bytes& content) { load(content); }

  // Loads into the same buffers, as the viewer does for the next document.
  void load(const Bytes& content) {
    const auto size = static_cast<uint32_t>(content.size());
    EXPECT_TRUE(bytes.ensureCapacity(size == 0 ? 1 : size));
    EXPECT_TRUE(text.ensureCapacity(size == 0 ? 1 : size));
    if (!content.empty()) std::memcpy(bytes.data, content.data(), content.size());
    byteCount = static_cast<int32_t>(size);
    bytes.data[byteCount] = 0;
    text.data[0] = 0;
  }

  // Decodes with `encoding` and returns every unit before the ending zero, or "<none>" when
  // nothing was decoded.
  std::u16string decode(uint32_t encoding) {
    const DecodeOutcome outcome = decodeText(encoding, bytes, byteCount, text);
    if (!outcome.decoded) return u"<none>";
    EXPECT_EQ(text.data[outcome.units], 0) << "the count must stop at the ending zero unit";
    return std::u16string(text.data, outcome.units);
  }
};

// The output of a family decoder called directly, every unit before its ending zero (found as
// the last unit written over a marker fill, and checked against the count the decoder
// reports), for comparing with the dispatch.
template <typename Call>
std::u16string directly(Call call, const Bytes& input) {
  Bytes in(input);
  in.push_back(0);
  std::vector<char16_t> out(input.size() + 1, 0xABCD);
  const size_t reported = call(out.data(), in.data(), static_cast<int32_t>(input.size()));
  size_t end = out.size();
  while (end > 0 && out[end - 1] == 0xABCD) --end;
  if (end == 0) return u"<nothing written>";
  EXPECT_EQ(reported, end - 1) << "the decoder must report the units before its ending zero";
  return std::u16string(out.data(), end - 1);
}

template <typename Decoder>
std::u16string direct(size_t (Decoder::*method)(char16_t*, const uint8_t*, int32_t) const, const Bytes& input) {
  return directly([method](char16_t* out, const uint8_t* in, int32_t n) { return (Decoder().*method)(out, in, n); },
                  input);
}

TEST(DecodeTextTest, AutoIsShiftJisForEveryInput) {
  Document document(Bytes{});
  // Every byte pair, so every lead, trail and single byte meets both rows.
  Bytes pairs;
  for (int b = 0; b < 256; ++b) {
    for (int t = 0; t < 256; ++t) pairs.insert(pairs.end(), {static_cast<uint8_t>(b), static_cast<uint8_t>(t)});
  }
  document.load(pairs);
  const std::u16string autoText = document.decode(0);
  EXPECT_EQ(autoText, document.decode(1));
  EXPECT_GT(autoText.size(), 10'000u);
  // Random texts of every length up to 64, ending on whatever byte they end on.
  std::mt19937 random(1234);
  for (int length = 1; length <= 64; ++length) {
    Bytes text(static_cast<size_t>(length));
    for (uint8_t& b : text) b = static_cast<uint8_t>(random());
    document.load(text);
    ASSERT_EQ(document.decode(0), document.decode(1)) << "length " << length;
  }
}

TEST(DecodeTextTest, EachRowRunsItsOwnDecoder) {
  // Bytes that every one of these decoders reads differently.
  const Bytes input{0x1B, '$', 'B', 0xA4, 0xA2, 0x24, 0x22, 0x8E, 0xB1, 0x0E, 0x1B, '(', 'B', 0xB0, 0xA1, 'x', 0xC4, 0xE3};
  Document document(input);
  EXPECT_EQ(document.decode(1), direct(&JapaneseDecoder::decodeShiftJis, input));
  EXPECT_EQ(document.decode(2), direct(&JapaneseDecoder::decodeIso2022Jp, input));
  EXPECT_EQ(document.decode(3), direct(&JapaneseDecoder::decodeEucJp, input));
  EXPECT_EQ(document.decode(4), direct(&UnicodeDecoder::decodeUtf8, input));
  EXPECT_EQ(document.decode(5), direct(&UnicodeDecoder::decodeUtf16, input));
  const int parts[] = {1, 2, 3, 4, 5, 7};
  for (int row = 6; row <= 11; ++row) {
    const int part = parts[row - 6];
    const std::u16string expected = directly(
        [part](char16_t* out, const uint8_t* in, int32_t n) { return Iso8859Decoder().decodeIso8859(out, in, n, part); },
        input);
    EXPECT_EQ(document.decode(static_cast<uint32_t>(row)), expected) << "row " << row;
  }
  EXPECT_EQ(document.decode(12), direct(&KoreanDecoder::decodeEucKr, input));
  EXPECT_EQ(document.decode(13), direct(&KoreanDecoder::decodeIso2022Kr, input));
  EXPECT_EQ(document.decode(14), direct(&ChineseDecoder::decodeBig5, input));
  EXPECT_EQ(document.decode(15), direct(&ChineseDecoder::decodeGb2312, input));
  EXPECT_EQ(document.decode(16), direct(&ThaiVietnameseDecoder::decodeThai, input));
  EXPECT_EQ(document.decode(17), direct(&ThaiVietnameseDecoder::decodeVietnamese, input));
  // The rows really differ on this input, so a swapped row would show.
  EXPECT_NE(document.decode(2), document.decode(3));
  EXPECT_NE(document.decode(12), document.decode(15));
  EXPECT_NE(document.decode(14), document.decode(15));
  EXPECT_NE(document.decode(7), document.decode(8));   // parts 2 and 3 differ at 0xA1 and 0xB1
  EXPECT_NE(document.decode(10), document.decode(11));
  EXPECT_NE(document.decode(16), document.decode(17));
}

TEST(DecodeTextTest, CountIncludesEmbeddedZerosAndEndsAtTheEndingZero) {
  Document document(Bytes{'a', 0, 'b'});
  EXPECT_EQ(document.decode(1), std::u16string(u"a\0b", 3));
  // A text whose last unit is the noncharacter U+FDD0.
  document.load(Bytes{0xD0, 0xFD});
  EXPECT_EQ(document.decode(25), u"\uFDD0");
}

TEST(DecodeTextTest, RawCopyOutsideTheCatalogue) {
  Document document(bytesOf("ABCDEFGHIJ"));
  EXPECT_EQ(document.decode(20), u"\u4241\u4443\u4645\u4847\u4A49");
  // A shorter document in the same buffers: its own bytes and zero byte only, never the
  // earlier document's bytes after them.
  document.load(bytesOf("xyz"));
  ASSERT_EQ(document.bytes.capacity, 10u);
  EXPECT_EQ(document.decode(25), u"\u7978\u007A");
  document.load(bytesOf("wxyz"));
  EXPECT_EQ(document.decode(static_cast<uint32_t>(-1)), u"\u7877\u7A79");
  EXPECT_EQ(std::u16string(document.text.text()), u"\u7877\u7A79");  // what the view shows
  document.load(bytesOf("q"));
  EXPECT_EQ(document.decode(0xFFFF'FFFFu), u"q");
}

TEST(DecodeTextTest, NothingIsDecodedForAnEmptyOrInconsistentDocument) {
  Document document(bytesOf("kept"));
  ASSERT_EQ(document.decode(1), u"kept");
  for (int32_t count : {0, -1, 5}) {  // 5 is more than the ByteBuffer holds
    SCOPED_TRACE(count);
    EXPECT_FALSE(decodeText(1, document.bytes, count, document.text).decoded);
    EXPECT_EQ(std::u16string(document.text.text()), u"kept");
  }
  ByteBuffer noStorage;
  EXPECT_FALSE(decodeText(1, noStorage, 3, document.text).decoded);
}

TEST(DecodeTextTest, GrowsATextBufferThatIsTooSmall) {
  Document document(Bytes(100, 'a'));
  WideBuffer small;
  ASSERT_TRUE(small.ensureCapacity(4));
  for (uint32_t row : {1u, 3u, 25u}) {
    const DecodeOutcome outcome = decodeText(row, document.bytes, document.byteCount, small);
    ASSERT_TRUE(outcome.decoded);
    EXPECT_GE(small.capacity, 100u);
    EXPECT_EQ(outcome.units, row == 25 ? 50u : 100u);
  }
}

// A stored Palm DOC book holding `text`: the file's bytes, without the zero byte after them.
Bytes storedBookBytes(const Bytes& text) {
  const PalmDocFile book = storedBook(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
  return Bytes(book.storage.begin(), book.storage.end() - 1);
}

TEST(DecodeTextTest, PalmDocRowsDecodeBooksThatPassTheHeaderTest) {
  Document document(storedBookBytes(Bytes{0x41, 0x0A, 0x42}));
  EXPECT_EQ(document.decode(19), u"A\r\nB");
  document.load(storedBookBytes(Bytes{0x82, 0xA0, 0x0A, 0xB1}));
  EXPECT_EQ(document.decode(18), u"\u3042\r\n\uFF71");
  // The text grows up to twice the book's text: the buffer was grown before decoding.
  document.load(storedBookBytes(Bytes(60, 0x0A)));
  EXPECT_EQ(document.decode(19).size(), 120u);
  EXPECT_GE(document.text.capacity, 120u);
}

TEST(DecodeTextTest, PalmDocHeaderTestLeavesTheTextAsItWas) {
  for (size_t offset : {31u, 32u, 33u}) {
    SCOPED_TRACE(offset);
    Bytes book = storedBookBytes(bytesOf("text"));
    book[offset] = 1;
    Document document(book);
    document.text.data[0] = u'p';  // the text of an earlier decode
    document.text.data[1] = 0;
    EXPECT_EQ(document.decode(18), u"<none>");
    EXPECT_EQ(document.decode(19), u"<none>");
    EXPECT_EQ(std::u16string(document.text.text()), u"p");
  }
  // Files too short for bytes 31 to 33: nothing, and nothing read past their zero byte.
  for (size_t length : {1u, 31u, 32u, 33u}) {
    Document document(Bytes(length, 0));
    EXPECT_EQ(document.decode(18), u"<none>") << length;
  }
  // A compression the reader does not support.
  Bytes book = storedBookBytes(bytesOf("text"));
  book[test_files::bigEndian32(book.data() + kRecord0Offset) + 1] = 3;  // record 0's compression, low byte
  Document document(book);
  EXPECT_EQ(document.decode(19), u"<none>");
}

}  // namespace
