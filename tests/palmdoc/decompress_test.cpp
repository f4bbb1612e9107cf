// PalmDOC decompression: each command, the end command, damaged streams, and agreement with a
// plain byte-at-a-time decompressor on many streams.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "palmdoc/palmdoc.h"
#include "tests/support/palmdoc_builder.h"

namespace {

// The result of one decompression: the bytes produced and what followed them in the scratch.
struct Decompressed {
  std::vector<uint8_t> bytes;  // the output
  int byteAfter = -1;          // scratch[count], or -1 when the count reached scratchSize
};

Decompressed decompress(const std::vector<uint8_t>& stream, size_t scratchSize) {
  // Filled with 0xEE so that a missing zero after the output shows.
  std::vector<uint8_t> scratch(scratchSize, 0xEE);
  const int32_t count = decompressPalmDoc(stream.data(), stream.data() + stream.size(), scratch.data(), scratchSize);
  Decompressed result;
  result.bytes.assign(scratch.begin(), scratch.begin() + count);
  if (static_cast<size_t>(count) < scratchSize) result.byteAfter = scratch[count];
  return result;
}

std::vector<uint8_t> decompress(const std::vector<uint8_t>& stream) { return decompress(stream, 4096).bytes; }

// The obvious decompressor, one output byte at a time with a check before every byte; it ends
// where the reader's rules end a damaged stream, and keeps what fits of a command cut short.
std::vector<uint8_t> decompressByteByByte(const std::vector<uint8_t>& in, size_t limit) {
  std::vector<uint8_t> out;
  size_t i = 0;
  auto put = [&](uint8_t b) {
    if (out.size() == limit) return false;
    out.push_back(b);
    return true;
  };
  while (i < in.size()) {
    const unsigned m = in[i++];
    if (m == 0) break;
    if (m <= 8) {
      for (unsigned k = 0; k < m; ++k)
        if (i >= in.size() || !put(in[i++])) return out;
    } else if (m < 0x80) {
      if (!put(static_cast<uint8_t>(m))) return out;
    } else if (m < 0xC0) {
      if (i >= in.size()) return out;
      const unsigned v = ((m << 8) | in[i++]) & 0x3FFF;
      const size_t distance = v >> 3;
      if (distance == 0 || distance > out.size()) return out;
      for (unsigned k = 0; k < (v & 7) + 3; ++k)
        if (!put(out[out.size() - distance])) return out;
    } else {
      if (!put(' ') || !put(static_cast<uint8_t>(m ^ 0x80))) return out;
    }
  }
  return out;
}

std::string asString(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(PalmDocDecompress, EachCommandKind) {
  EXPECT_EQ(asString(decompress({0xC1})), " A");                          // space pair
  EXPECT_EQ(asString(decompress({0x03, 0x80, 0x00, 0xFF})), std::string("\x80\x00\xFF", 3));  // literal run
  EXPECT_EQ(asString(decompress({0x09, 'x', 0x7F})), "\tx\x7F");          // bytes for themselves
  // 'a', then distance 1 length 10: the copy repeats the byte it has just written.
  EXPECT_EQ(asString(decompress({0x61, 0x80, 0x0F})), std::string(11, 'a'));
  // "abc" then distance 3 length 7 (0x80 0x1C): an overlapping copy of a 3-byte pattern.
  EXPECT_EQ(asString(decompress({'a', 'b', 'c', 0x80, 0x1C})), "abcabcabca");
  // A non-overlapping back-reference of distance 12, length 4 (v = 12 << 3 | 1).
  EXPECT_EQ(asString(decompress({0x08, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 0x80, 0x61})),
            "ABCDEFGHIJKLABCD");
  // The farthest back-reference: 0xBF 0xFF is distance 2047, length 10.
  std::vector<uint8_t> far;
  for (int k = 0; k < 2047; ++k) far.push_back(static_cast<uint8_t>('a' + k % 26));
  std::vector<uint8_t> stream;
  for (uint8_t b : far) stream.push_back(b);
  stream.push_back(0xBF);
  stream.push_back(0xFF);
  const std::vector<uint8_t> out = decompress(stream, 3000).bytes;
  ASSERT_EQ(out.size(), 2057u);
  EXPECT_TRUE(std::equal(out.begin() + 2047, out.end(), far.begin()));
}

TEST(PalmDocDecompress, EndCommandStopsAndZeroFollowsTheOutput) {
  const Decompressed stopped = decompress({'a', 'b', 0x00, 'c', 'd'}, 16);
  EXPECT_EQ(asString(stopped.bytes), "ab");
  EXPECT_EQ(stopped.byteAfter, 0);
  // Ending at the end of the input, not at an end command, also leaves a zero after the output.
  const Decompressed atEnd = decompress({'a', 0x82}, 16);  // 0x82 would need an operand
  EXPECT_EQ(asString(atEnd.bytes), "a");
  EXPECT_EQ(atEnd.byteAfter, 0);
  const Decompressed leadLast = decompress({0x01, 0x82}, 16);  // a Shift-JIS lead byte last
  EXPECT_EQ(leadLast.bytes, (std::vector<uint8_t>{0x82}));
  EXPECT_EQ(leadLast.byteAfter, 0);
}

TEST(PalmDocDecompress, DamagedStreamsKeepTheTextBeforeTheDamage) {
  // A literal run cut off by the end of the input keeps the bytes that are there.
  EXPECT_EQ(asString(decompress({'x', 0x05, 'a', 'b'})), "xab");
  // A back-reference reaching before the start of the output, or of distance 0, ends it.
  EXPECT_EQ(asString(decompress({'x', 'y', 0x80, 0x18, 'z'})), "xy");     // distance 3 > 2
  EXPECT_EQ(asString(decompress({'x', 'y', 0x80, 0x02, 'z'})), "xy");     // distance 0
  EXPECT_EQ(asString(decompress({0x80, 0x08, 'z'})), "");                 // nothing to refer to
  // The same damage inside a long stream, where the fast path runs.
  std::vector<uint8_t> stream(100, 'q');
  stream.insert(stream.end(), {0x8F, 0xF8});  // distance 511 > 100
  stream.insert(stream.end(), 20, 'r');
  EXPECT_EQ(decompress(stream), std::vector<uint8_t>(100, 'q'));
}

TEST(PalmDocDecompress, OutputNeverPassesTheScratchArea) {
  // 'a' then ten copies of a 10-byte back-reference: 101 bytes wanted.
  std::vector<uint8_t> stream{'a'};
  for (int k = 0; k < 10; ++k) stream.insert(stream.end(), {0x80, 0x0F});
  for (size_t size : {1u, 2u, 5u, 11u, 16u, 17u, 40u, 101u}) {
    SCOPED_TRACE(size);
    const Decompressed d = decompress(stream, size);
    EXPECT_EQ(d.bytes, std::vector<uint8_t>(size - 1, 'a'));
    EXPECT_EQ(d.byteAfter, 0);
  }
  // A scratch area of no bytes receives nothing, not even the zero.
  uint8_t untouched = 0xEE;
  EXPECT_EQ(decompressPalmDoc(stream.data(), stream.data() + stream.size(), &untouched, 0), 0);
  EXPECT_EQ(untouched, 0xEE);
}

// The fast loop copies whole blocks and stops early near either end; it must produce exactly
// what the byte-at-a-time rules give, for any stream and any scratch size.
TEST(PalmDocDecompress, AgreesWithByteAtATimeDecompressionOnRandomStreams) {
  std::mt19937 random(20240607);
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> stream(random() % 300);
    for (uint8_t& b : stream) {
      b = static_cast<uint8_t>(random());
      if (b == 0 && random() % 8 != 0) b = 0x20;  // keep end commands rare
    }
    const size_t scratchSize = 1 + random() % 1200;
    SCOPED_TRACE(round);
    const Decompressed d = decompress(stream, scratchSize);
    ASSERT_EQ(d.bytes, decompressByteByByte(stream, scratchSize - 1));
    ASSERT_EQ(d.byteAfter, 0);
  }
}

TEST(PalmDocDecompress, RoundTripsCompressedText) {
  std::mt19937 random(7);
  const char* words[] = {"the ", "viewer ", "reads ", "a ", "book\n", "\xE9t\xE9 ", "\x82\xA0\x82\xA2", "  ", "\t", "zz"};
  std::string text;
  while (text.size() < 20000) text += words[random() % std::size(words)];
  std::vector<uint8_t> stream;
  for (const auto& record : compressPalmDocRecords(text)) stream.insert(stream.end(), record.begin(), record.end());
  ASSERT_LT(stream.size(), text.size() / 2);  // the compressor really compressed
  const Decompressed d = decompress(stream, text.size() + 1);
  EXPECT_EQ(asString(d.bytes), text);
  EXPECT_EQ(d.byteAfter, 0);
}

}  // namespace
