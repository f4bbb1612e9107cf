// UTF-8 and UTF-16 decoders: byte-order marks, multi-byte forms, four-byte sequences, input
// that ends inside a sequence, odd lengths, and the vector loops against the scalar one.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "decode/unicode.h"
#include "decode/unicode_kernels.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr char16_t kUntouched = 0xBEEF;  // fills the output storage before a decode
constexpr size_t kGuardUnits = 64;       // units past the n + 1 the decoder may use

enum class Decoder { Utf8, Utf16 };

// Decodes as the viewer does: the bytes in storage of exactly n + 1 with a zero after them, the
// output in n + 1 units. Returns the text before the ending zero unit, and checks that nothing
// after that zero, nor past the n + 1 units, was written, that the decoder reported the units
// before that zero and that the input is unchanged.
std::u16string decode(Decoder decoder, const Bytes& bytes) {
  Bytes input(bytes);
  input.push_back(0);
  std::vector<char16_t> output(bytes.size() + 1 + kGuardUnits, kUntouched);
  UnicodeDecoder unicode;
  int32_t n = static_cast<int32_t>(bytes.size());
  const size_t reported = decoder == Decoder::Utf8 ? unicode.decodeUtf8(output.data(), input.data(), n)
                                                  : unicode.decodeUtf16(output.data(), input.data(), n);
  EXPECT_EQ(Bytes(input.begin(), input.end() - 1), bytes) << "the input was changed";
  size_t end = output.size();
  while (end > 0 && output[end - 1] == kUntouched) --end;
  if (end == 0 || output[end - 1] != 0) {
    ADD_FAILURE() << "no ending zero unit after the text";
    return {};
  }
  EXPECT_LE(end, bytes.size() + 1) << "wrote past the n + 1 units";
  EXPECT_EQ(reported, end - 1) << "the decoder must report the units before its ending zero";
  return std::u16string(output.begin(), output.begin() + static_cast<std::ptrdiff_t>(end - 1));
}

std::u16string utf8(const Bytes& bytes) { return decode(Decoder::Utf8, bytes); }
std::u16string utf16(const Bytes& bytes) { return decode(Decoder::Utf16, bytes); }

std::vector<UnicodeKernel> availableKernels() {
  std::vector<UnicodeKernel> kernels;
  for (UnicodeKernel kernel : {UnicodeKernel::Scalar, UnicodeKernel::Sse2, UnicodeKernel::Avx2,
                               UnicodeKernel::Avx512Vbmi2}) {
    if (unicodeKernelAvailable(kernel)) kernels.push_back(kernel);
  }
  return kernels;
}

// Encodes code points as well-formed UTF-8 and UTF-16, for round trips.
void appendCodePoint(char32_t cp, Bytes& asUtf8, std::u16string& asUtf16) {
  if (cp < 0x80) {
    asUtf8.push_back(static_cast<uint8_t>(cp));
  } else if (cp < 0x800) {
    asUtf8.insert(asUtf8.end(), {static_cast<uint8_t>(0xC0 | (cp >> 6)),
                                 static_cast<uint8_t>(0x80 | (cp & 0x3F))});
  } else if (cp < 0x10000) {
    asUtf8.insert(asUtf8.end(), {static_cast<uint8_t>(0xE0 | (cp >> 12)),
                                 static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F)),
                                 static_cast<uint8_t>(0x80 | (cp & 0x3F))});
  } else {
    asUtf8.insert(asUtf8.end(), {static_cast<uint8_t>(0xF0 | (cp >> 18)),
                                 static_cast<uint8_t>(0x80 | ((cp >> 12) & 0x3F)),
                                 static_cast<uint8_t>(0x80 | ((cp >> 6) & 0x3F)),
                                 static_cast<uint8_t>(0x80 | (cp & 0x3F))});
  }
  if (cp < 0x10000) {
    asUtf16.push_back(static_cast<char16_t>(cp));
  } else {
    asUtf16.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
    asUtf16.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
  }
}

TEST(Utf8Decoder, SkipsOnlyALeadingByteOrderMark) {
  EXPECT_EQ(utf8({0xEF, 0xBB, 0xBF, 0x41}), u"A");
  EXPECT_EQ(utf8({0xEF, 0xBB, 0xBF}), u"");
  // A second mark is a character; a mark cut short is an ordinary three-byte step.
  EXPECT_EQ(utf8({0xEF, 0xBB, 0xBF, 0xEF, 0xBB, 0xBF}), u"\uFEFF");
  EXPECT_EQ(utf8({0xEF, 0xBB}), u"\uFEC0");
  EXPECT_EQ(utf8({0x41, 0xEF, 0xBB, 0xBF}), u"A\uFEFF");
}

TEST(Utf8Decoder, DecodesOneToThreeByteForms) {
  EXPECT_EQ(utf8({0x41, 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0x7F}), u"A\u00E9\u20AC\u007F");
  // Nothing is validated: a lone surrogate is written, an overlong zero is a zero unit inside
  // the text, a stray continuation byte or 0xF8 and up lead three-byte steps.
  EXPECT_EQ(utf8({0xED, 0xA0, 0x80}), std::u16string(1, char16_t{0xD800}));
  EXPECT_EQ(utf8({0xC0, 0x80, 0x41}), std::u16string(u"\0A", 2));
  EXPECT_EQ(utf8({0x80, 0x41, 0x42, 0x43}), u"\u0042C");
  EXPECT_EQ(utf8({0xF8, 0x81, 0x82}), u"\u8042");
}

TEST(Utf8Decoder, FourByteSequencesBecomeSurrogatePairsAndKeepWhatFollows) {
  EXPECT_EQ(utf8({0xF0, 0x9F, 0x98, 0x80, 0x41, 0x42}), u"\U0001F600AB");
  EXPECT_EQ(utf8({0xF0, 0x90, 0x80, 0x80}), u"\U00010000");
  EXPECT_EQ(utf8({0xF4, 0x8F, 0xBF, 0xBF, 0x21}), u"\U0010FFFF!");
  // Not a supplementary character (overlong, above U+10FFFF, a byte that does not continue
  // it): the first three bytes are taken as a three-byte form, as any other lead.
  EXPECT_EQ(utf8({0xF0, 0x80, 0x80, 0x80}), std::u16string(2, char16_t{0}));
  EXPECT_EQ(utf8({0xF4, 0x90, 0x80, 0x41, 0x42}), u"\u4400AB");
  EXPECT_EQ(utf8({0xF0, 0x9F, 0x98, 0x41}), u"\u07D8A");
}

TEST(Utf8Decoder, ASequenceCutShortByTheEndTakesZeroForTheMissingBytes) {
  EXPECT_EQ(utf8({0x41, 0xC3}), u"A\u00C0");
  EXPECT_EQ(utf8({0xE2}), u"\u2000");
  EXPECT_EQ(utf8({0x41, 0xE2, 0x82}), u"A\u2080");
  EXPECT_EQ(utf8({0xF0, 0x9F, 0x98}), u"\u07D8");
  EXPECT_EQ(utf8({0xF0, 0x9F}), u"\u07C0");
  EXPECT_EQ(utf8({}), u"");
}

TEST(Utf8Decoder, NonPositiveLengthWritesOnlyTheZero) {
  const uint8_t bytes[] = {0x41, 0x42, 0};
  char16_t output[3] = {kUntouched, kUntouched, kUntouched};
  UnicodeDecoder unicode;
  unicode.decodeUtf8(output, bytes, -5);
  EXPECT_EQ(output[0], 0);
  EXPECT_EQ(output[1], kUntouched);
  unicode.decodeUtf16(output, bytes, 0);
  EXPECT_EQ(output[0], 0);
  EXPECT_EQ(output[1], kUntouched);
}

TEST(Utf8Decoder, RoundTripsWellFormedTextWithRunsOfEveryLength) {
  std::mt19937 random(20240611);
  Bytes asUtf8;
  std::u16string expected;
  // Runs of ASCII of lengths that start and end anywhere inside the vector blocks, between
  // characters of every length.
  for (int run = 0; run < 600; ++run) {
    int asciiLength = static_cast<int>(random() % 70);
    for (int i = 0; i < asciiLength; ++i) appendCodePoint(U'a' + random() % 26, asUtf8, expected);
    char32_t cp = 0;
    switch (random() % 3) {
      case 0: cp = 0x80 + random() % (0x800 - 0x80); break;
      case 1: cp = 0x800 + random() % (0xD800 - 0x800); break;
      default: cp = 0x10000 + random() % 0x100000; break;
    }
    appendCodePoint(cp, asUtf8, expected);
  }
  EXPECT_EQ(utf8(asUtf8), expected);
  for (int i = 0; i < 40; ++i) appendCodePoint(U'\u4E00' + i, asUtf8, expected);
  EXPECT_EQ(utf8(asUtf8), expected);
}

// Well-formed text of one- to four-byte characters with a few bytes overwritten at random:
// blocks that the vector loops take whole sit next to blocks they must decode step by step.
Bytes damagedText(std::mt19937& random, size_t characters, unsigned damagePerMille) {
  Bytes bytes;
  std::u16string unused;
  const char32_t firsts[] = {0x20, 0x80, 0x800, 0xE000, 0x10000};
  const char32_t spans[] = {0x60, 0x780, 0xD000, 0x2000, 0x100000};
  for (size_t i = 0; i < characters; ++i) {
    size_t kind = random() % 100 < 40 ? 0 : random() % 5;
    appendCodePoint(firsts[kind] + random() % spans[kind], bytes, unused);
  }
  for (auto& byte : bytes) {
    if (random() % 1000 < damagePerMille) byte = static_cast<uint8_t>(random());
  }
  return bytes;
}

TEST(Utf8Decoder, VectorLoopsMatchTheScalarLoopOnAnyBytes) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 600; ++trial) {
    size_t length = trial < 200 ? static_cast<size_t>(trial) : 200 + random() % 3000;
    Bytes bytes(length);
    if (trial % 2 == 0) {
      // Mostly ASCII with every other byte value mixed in.
      int highShare = static_cast<int>(random() % 100);
      for (auto& byte : bytes) {
        byte = static_cast<int>(random() % 100) < highShare
                   ? static_cast<uint8_t>(random())
                   : static_cast<uint8_t>(random() % 0x80);
      }
    } else {
      bytes = damagedText(random, length / 2, static_cast<unsigned>(random() % 4));
      length = bytes.size();
    }
    std::vector<char16_t> reference(length + 1, kUntouched);
    size_t referenceCount =
        decodeUtf8Units(UnicodeKernel::Scalar, reference.data(), bytes.data(), length);
    ASSERT_LE(referenceCount, length);
    for (UnicodeKernel kernel : availableKernels()) {
      std::vector<char16_t> output(length + 1, kUntouched);
      size_t count = decodeUtf8Units(kernel, output.data(), bytes.data(), length);
      ASSERT_EQ(count, referenceCount) << "kernel " << static_cast<int>(kernel);
      ASSERT_EQ(output, reference) << "kernel " << static_cast<int>(kernel) << ", length "
                                   << length;
    }
  }
}

TEST(Utf16Decoder, ReadsTheByteOrderMark) {
  EXPECT_EQ(utf16({0xFF, 0xFE, 0x41, 0x00, 0x42, 0x00}), u"AB");
  EXPECT_EQ(utf16({0xFE, 0xFF, 0x00, 0x41, 0x00, 0x42}), u"AB");
  EXPECT_EQ(utf16({0x41, 0x00, 0x42, 0x00}), u"AB");
  EXPECT_EQ(utf16({0xFF, 0xFE}), u"");
  EXPECT_EQ(utf16({0xFE, 0xFF}), u"");
  // A later mark is the character U+FEFF; surrogate pairs pass unchanged.
  EXPECT_EQ(utf16({0xFF, 0xFE, 0xFF, 0xFE, 0x3D, 0xD8, 0x00, 0xDE}), u"\uFEFF\U0001F600");
  EXPECT_EQ(utf16({0xFE, 0xFF, 0xFE, 0xFF, 0xD8, 0x3D, 0xDE, 0x00}), u"\uFEFF\U0001F600");
}

TEST(Utf16Decoder, DropsTheHalfUnitOfAnOddLength) {
  EXPECT_EQ(utf16({0x41, 0x00, 0x42}), u"A");
  EXPECT_EQ(utf16({0xFF}), u"");
  EXPECT_EQ(utf16({0xFE}), u"");
  EXPECT_EQ(utf16({0xFF, 0xFE, 0x41}), u"");
  EXPECT_EQ(utf16({0xFE, 0xFF, 0x00, 0x41, 0x00}), u"A");
}

TEST(Utf16Decoder, BigEndianTextDecodesTheSameEveryTime) {
  // Long enough for the vector swap, with an odd tail of units.
  Bytes bytes = {0xFE, 0xFF};
  std::u16string expected;
  for (int i = 0; i < 301; ++i) {
    auto unit = static_cast<char16_t>(0x0400 + i * 97);
    bytes.insert(bytes.end(), {static_cast<uint8_t>(unit >> 8), static_cast<uint8_t>(unit)});
    expected.push_back(unit);
  }
  EXPECT_EQ(utf16(bytes), expected);  // decode() also checks the bytes are unchanged
  EXPECT_EQ(utf16(bytes), expected);
}

TEST(Utf16Decoder, VectorSwapsMatchTheScalarSwap) {
  std::mt19937 random(3);
  for (size_t units : {0u, 1u, 7u, 8u, 9u, 15u, 16u, 17u, 31u, 33u, 1000u, 4099u}) {
    Bytes bytes(2 * units);
    for (auto& byte : bytes) byte = static_cast<uint8_t>(random());
    std::vector<char16_t> reference(units + 1, kUntouched);
    swapUtf16Units(UnicodeKernel::Scalar, reference.data(), bytes.data(), units);
    for (size_t i = 0; i < units; ++i) {
      ASSERT_EQ(reference[i], (bytes[2 * i] << 8) | bytes[2 * i + 1]);
    }
    for (UnicodeKernel kernel : availableKernels()) {
      std::vector<char16_t> output(units + 1, kUntouched);
      swapUtf16Units(kernel, output.data(), bytes.data(), units);
      ASSERT_EQ(output, reference) << "kernel " << static_cast<int>(kernel);
    }
  }
}

}  // namespace
