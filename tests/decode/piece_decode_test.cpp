// quillscope-decode's decoding in pieces: for every encoding, any window size gives the bytes
// the whole input gives, and the UTF-8 output encodes every unit alike however its text is cut.
#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "convert/decode_text.h"
#include "convert/tool/piece_decode.h"
#include "convert/tool/text_output.h"
#include "tests/support/palmdoc_builder.h"

namespace {

// What a TextOutput writes for `parts`, each handed to put() in turn.
std::string written(const std::vector<std::u16string>& parts, bool utf8 = true) {
  char* bytes = nullptr;
  size_t size = 0;
  FILE* stream = open_memstream(&bytes, &size);
  TextOutput output(stream, utf8);
  for (const std::u16string& part : parts) output.put(part.data(), part.size());
  EXPECT_TRUE(output.finish());
  std::fclose(stream);
  std::string result(bytes, size);
  std::free(bytes);
  return result;
}

// The plain UTF-8 of `units`: pairs joined, lone surrogates as U+FFFD.
std::string plainUtf8(const std::u16string& units) {
  std::string out;
  for (size_t i = 0; i < units.size(); ++i) {
    char32_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
      out += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
              static_cast<char>(0x80 | (c & 0x3F))};
    } else {
      out += {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
              static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
  }
  return out;
}

TEST(TextOutputTest, EveryUnitEncodesAlikeWholeOrCutAnywhere) {
  // Every unit in order (long runs of each UTF-8 length, lone surrogates, the pair DBFF DC00),
  // then pairs and lone halves mixed.
  std::u16string units;
  for (char32_t u = 0; u <= 0xFFFF; ++u) units += static_cast<char16_t>(u);
  units += u"\xD83D\xDE00\xD800x\xDC00\xD801\xD802\xDC02";
  // Blocks of eight that mix ASCII with two-byte forms in every pattern (bit k of the pattern:
  // unit k is ASCII), starting with an all two-byte block; then ASCII mixed with three-byte.
  for (unsigned mask = 0; mask < 256; ++mask) {
    for (unsigned k = 0; k < 8; ++k) units += (mask >> k & 1) != 0 ? u'a' + k : u'\x3B1' + k;
  }
  for (unsigned mask = 0; mask < 256; ++mask) {
    for (unsigned k = 0; k < 8; ++k) units += (mask >> k & 1) != 0 ? u'a' + k : u'\x4E00' + k;
  }
  // Every mix of the three lengths in four units.
  for (unsigned mix = 0; mix < 81; ++mix) {
    for (unsigned k = 0, digits = mix; k < 4; ++k, digits /= 3) {
      units += digits % 3 == 0 ? u'a' + k : digits % 3 == 1 ? u'\x3B1' + k : u'\xAC00' + k;
    }
  }
  const std::string expected = plainUtf8(units);
  EXPECT_EQ(written({units}), expected);
  for (size_t step : {1, 2, 7, 1000}) {
    std::vector<std::u16string> parts;
    for (size_t at = 0; at < units.size(); at += step) parts.push_back(units.substr(at, step));
    EXPECT_EQ(written(parts), expected) << "parts of " << step;
  }
  // A high surrogate that ends the last part has no partner.
  EXPECT_EQ(written({u"a\xD83D", u"\xDE00", u"\xD83D"}), "a\xF0\x9F\x98\x80\xEF\xBF\xBD");
  EXPECT_EQ(written({u"a\xD83D"}, false), std::string("a\0\x3D\xD8", 4));
}

// Bytes that put the cut rules to work: short ASCII runs between lead bytes, lone leads right
// before ASCII, LF, ESC, byte-order marks of both kinds in the middle, and the rest random.
std::string mixedBytes(size_t count) {
  uint32_t state = 12345;
  const auto next = [&state] { return (state = state * 1103515245 + 12345) >> 16; };
  static const std::string kPieces[] = {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", "\n", "\x1B$B", "abc",
                                        "abcdefgh", "\xF0\x9F\x98\x80", "\xE3\x81", "\x82\xA0"};
  std::string bytes;
  while (bytes.size() < count) {
    const uint32_t pick = next() % 16;
    if (pick < 10) {
      bytes += kPieces[pick];
    } else {
      bytes += static_cast<char>(next() & 0xFF);
    }
  }
  bytes.resize(count);
  return bytes;
}

class PieceDecodeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quill-pieces-XXXXXX";
    fd_ = mkstemp(pattern);
    ASSERT_GE(fd_, 0);
    unlink(pattern);
  }
  void TearDown() override {
    if (fd_ >= 0) close(fd_);
  }

  // The whole input decoded by the decode step and written as UTF-8.
  static std::string whole(uint32_t encoding, const std::string& input) {
    ByteBuffer bytes;
    WideBuffer text;
    EXPECT_TRUE(bytes.ensureCapacity(static_cast<uint32_t>(input.size())));
    EXPECT_TRUE(text.ensureCapacity(static_cast<uint32_t>(input.size() + 1)));
    std::copy(input.begin(), input.end(), bytes.data);
    bytes.data[input.size()] = 0;
    const DecodeOutcome outcome = decodeText(encoding, bytes, static_cast<int32_t>(input.size()), text);
    return written({std::u16string(text.data, outcome.decoded ? outcome.units : 0)});
  }

  int fd_ = -1;  // owned: an unlinked temporary file
};

TEST_F(PieceDecodeTest, EveryWindowGivesTheWholeDecode) {
  const std::string inputs[] = {mixedBytes(3000), std::string(200, '\x82') + "ab\n" + mixedBytes(300),
                                "\xFE\xFF" + mixedBytes(500), "\xEF\xBB\xBF" + mixedBytes(500)};
  for (const std::string& input : inputs) {
    ASSERT_EQ(ftruncate(fd_, 0), 0);
    ASSERT_EQ(pwrite(fd_, input.data(), input.size(), 0), static_cast<ssize_t>(input.size()));
    for (uint32_t encoding = 0; encoding < 21; ++encoding) {
      const std::string expected = whole(encoding, input);
      for (size_t window : {16, 17, 31, 64, 4096}) {
        char* bytes = nullptr;
        size_t size = 0;
        FILE* stream = open_memstream(&bytes, &size);
        TextOutput output(stream, true);
        const PieceResult result = decodeInPieces(fd_, input.size(), encoding, window, output);
        EXPECT_TRUE(output.finish());
        std::fclose(stream);
        const std::string pieces(bytes, size);
        std::free(bytes);
        if (result == PieceResult::kNotCuttable) {
          EXPECT_TRUE(pieces.empty());
          // Only the rows that cannot be cut, and UTF-16 with a big-endian mark, are decoded whole.
          EXPECT_TRUE(pieceCutFor(encoding) == PieceCut::kNone || (encoding == 5 && input[0] == '\xFE'))
              << "encoding " << encoding;
          continue;
        }
        ASSERT_EQ(result, PieceResult::kDone);
        EXPECT_EQ(pieces, expected) << "encoding " << encoding << ", window " << window;
      }
    }
  }
}

TEST_F(PieceDecodeTest, PalmDocBooksGiveTheWholeDecodeInAnyPieces) {
  const std::string text = mixedBytes(2000);
  PalmDocBookContents compressed;
  compressed.textLength = static_cast<uint32_t>(text.size());
  compressed.records = compressPalmDocRecords(text);
  PalmDocFile failsHeaderTest = storedBook(text);
  failsHeaderTest.storage[32] = 1;
  const PalmDocFile books[] = {buildPalmDoc(compressed), storedBook(text), failsHeaderTest};
  for (const PalmDocFile& book : books) {
    const std::string input(book.storage.begin(), book.storage.end() - 1);
    for (uint32_t encoding : {18u, 19u}) {
      for (size_t window : {16, 17, 64, 4096}) {
        char* bytes = nullptr;
        size_t size = 0;
        FILE* stream = open_memstream(&bytes, &size);
        TextOutput output(stream, true);
        const PieceResult result = decodeBookInPieces(book.data(), book.size(), encoding, window, output);
        EXPECT_TRUE(output.finish());
        std::fclose(stream);
        const std::string pieces(bytes, size);
        std::free(bytes);
        EXPECT_EQ(result, &book == &books[2] ? PieceResult::kNotCuttable : PieceResult::kDone);
        if (result == PieceResult::kDone) {
          EXPECT_EQ(pieces, whole(encoding, input)) << "window " << window;
        }
      }
    }
  }
}

}  // namespace
