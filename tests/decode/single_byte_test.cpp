// The single-byte decoders (ISO-8859 parts 1 to 7, Thai, Vietnamese): every cell of every
// table against the reference file the table generator writes, the cells the tables fill in
// for unassigned bytes, part selection, exact output length, and the vector lookups against
// the scalar one.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "decode/iso8859.h"
#include "decode/single_byte_lookup.h"
#include "decode/thai_vietnamese.h"
#include "tests/support/test_files.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Table = std::array<char16_t, 256>;

constexpr char16_t kUntouched = 0xBEEF;
constexpr size_t kGuardUnits = 64;

// The nine tables in the column order of the reference file.
enum TableId { kIso1, kIso2, kIso3, kIso4, kIso5, kIso6, kIso7, kThai, kVietnamese, kTableCount };

const char* const kColumnNames[kTableCount] = {"iso8859-1", "iso8859-2", "iso8859-3",
                                               "iso8859-4", "iso8859-5", "iso8859-6",
                                               "iso8859-7", "thai",      "vietnamese"};

// Reads the expected unit of every byte of every table: "# byte <names>" then 256 rows of a
// hex byte and nine hex units.
std::array<Table, kTableCount> loadReference() {
  std::array<Table, kTableCount> tables{};
  std::ifstream file(test_files::referenceDir() / "single_byte_tables.txt");
  EXPECT_TRUE(file) << "cannot open " << (test_files::referenceDir() / "single_byte_tables.txt");
  std::string line;
  int rows = 0;
  while (std::getline(file, line)) {
    if (line.rfind("# byte ", 0) == 0) {
      std::istringstream header(line.substr(7));
      for (const char* name : kColumnNames) {
        std::string column;
        header >> column;
        EXPECT_EQ(column, name) << "reference columns out of order";
      }
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    std::istringstream row(line);
    unsigned byte = 0;
    row >> std::hex >> byte;
    EXPECT_EQ(byte, static_cast<unsigned>(rows)) << "reference rows out of order";
    for (auto& table : tables) {
      unsigned unit = 0x10000;
      row >> unit;
      EXPECT_LT(unit, 0x10000u) << "bad unit in row " << rows;
      table[byte & 0xFF] = static_cast<char16_t>(unit);
    }
    ++rows;
  }
  EXPECT_EQ(rows, 256);
  return tables;
}

const std::array<Table, kTableCount>& reference() {
  static const std::array<Table, kTableCount> tables = loadReference();
  return tables;
}

// Runs one table's decoder as the viewer does: the input in exactly n + 1 bytes with a zero
// after them, the output in n + 1 units and guard units after them. Checks the ending zero,
// the untouched guard and the unchanged input, and returns the n units.
std::u16string decode(TableId table, const Bytes& bytes, int isoPart = 0) {
  Bytes input(bytes);
  input.push_back(0);
  std::vector<char16_t> output(bytes.size() + 1 + kGuardUnits, kUntouched);
  int32_t n = static_cast<int32_t>(bytes.size());
  size_t result = 0;
  if (table == kThai) {
    result = ThaiVietnameseDecoder{}.decodeThai(output.data(), input.data(), n);
  } else if (table == kVietnamese) {
    result = ThaiVietnameseDecoder{}.decodeVietnamese(output.data(), input.data(), n);
  } else {
    int part = isoPart != 0 ? isoPart : table - kIso1 + 1;
    result = Iso8859Decoder{}.decodeIso8859(output.data(), input.data(), n, part);
  }
  EXPECT_EQ(result, bytes.size()) << "a single-byte decoder writes exactly n units";
  EXPECT_EQ(output[bytes.size()], 0) << "no ending zero after exactly n units";
  for (size_t i = bytes.size() + 1; i < output.size(); ++i) {
    EXPECT_EQ(output[i], kUntouched) << "wrote past the n + 1 units";
  }
  EXPECT_EQ(Bytes(input.begin(), input.end() - 1), bytes) << "the input was changed";
  return std::u16string(output.begin(), output.begin() + static_cast<std::ptrdiff_t>(bytes.size()));
}

std::u16string expectedUnits(TableId table, const Bytes& bytes) {
  std::u16string units;
  for (uint8_t byte : bytes) units.push_back(reference()[table][byte]);
  return units;
}

// Every byte value several times in a shuffled order, long enough for every vector kernel.
Bytes everyByteShuffled(unsigned seed) {
  Bytes bytes;
  for (int round = 0; round < 5; ++round) {
    for (int byte = 0; byte < 256; ++byte) bytes.push_back(static_cast<uint8_t>(byte));
  }
  std::shuffle(bytes.begin(), bytes.end(), std::mt19937(seed));
  return bytes;
}

TEST(SingleByteDecoders, EveryCellOfEveryTableMatchesTheReference) {
  Bytes inOrder(256);
  for (int byte = 0; byte < 256; ++byte) inOrder[byte] = static_cast<uint8_t>(byte);
  Bytes shuffled = everyByteShuffled(5);
  for (int id = 0; id < kTableCount; ++id) {
    auto table = static_cast<TableId>(id);
    SCOPED_TRACE(kColumnNames[id]);
    EXPECT_EQ(decode(table, inOrder), expectedUnits(table, inOrder));
    EXPECT_EQ(decode(table, shuffled), expectedUnits(table, shuffled));
  }
}

TEST(SingleByteDecoders, EveryLengthAndAlignmentGivesExactlyNUnits) {
  // Short and odd lengths reach the ends of the vector blocks and the scalar tails.
  Bytes source = everyByteShuffled(11);
  for (int id = 0; id < kTableCount; ++id) {
    auto table = static_cast<TableId>(id);
    for (size_t length = 0; length <= 200; ++length) {
      size_t offset = length % 61;
      Bytes bytes(source.begin() + static_cast<std::ptrdiff_t>(offset),
                  source.begin() + static_cast<std::ptrdiff_t>(offset + length));
      ASSERT_EQ(decode(table, bytes), expectedUnits(table, bytes))
          << kColumnNames[id] << ", length " << length;
    }
  }
}

TEST(SingleByteDecoders, ReferenceHoldsTheFillOfUnassignedBytes) {
  // The reference file is generated too; these cells are checked against what the viewer's
  // tables must hold, independently of the generator.
  const auto& ref = reference();
  for (int byte = 0; byte < 0x80; ++byte) {
    for (const Table& table : ref) ASSERT_EQ(table[byte], byte);
  }
  for (int byte = 0x80; byte < 0x100; ++byte) EXPECT_EQ(ref[kIso1][byte], byte);
  for (int byte : {0xA5, 0xAE, 0xBE, 0xC3, 0xD0, 0xE3, 0xF0}) EXPECT_EQ(ref[kIso3][byte], 0);
  EXPECT_EQ(std::count(ref[kIso6].begin(), ref[kIso6].end(), 0xFFFF), 45);
  for (int byte : {0xA4, 0xA5, 0xAA, 0xAE, 0xD2}) EXPECT_EQ(ref[kIso7][byte], 0xFFFF);
  EXPECT_EQ(ref[kIso7][0xFF], 0x0000);
  EXPECT_EQ(ref[kIso7][0xA1], 0x2018);
  // Thai and Vietnamese gaps repeat their nearest assigned neighbour below.
  struct Run { TableId table; int first, last; char16_t unit; };
  const Run runs[] = {
      {kThai, 0x80, 0x84, 0x20AC},       {kThai, 0x85, 0x90, 0x2026},
      {kThai, 0x97, 0x9F, 0x2014},       {kThai, 0xDA, 0xDE, 0x0E3A},
      {kThai, 0xFB, 0xFF, 0x0E5B},       {kVietnamese, 0x80, 0x81, 0x20AC},
      {kVietnamese, 0x89, 0x8A, 0x2030}, {kVietnamese, 0x8C, 0x90, 0x0152},
      {kVietnamese, 0x99, 0x9A, 0x2122}, {kVietnamese, 0x9C, 0x9E, 0x0153},
  };
  for (const Run& run : runs) {
    for (int byte = run.first; byte <= run.last; ++byte) {
      EXPECT_EQ(ref[run.table][byte], run.unit) << kColumnNames[run.table] << " " << byte;
    }
  }
}

TEST(SingleByteDecoders, SpotChecksThroughTheDecoders) {
  EXPECT_EQ(decode(kIso1, {0x80, 0x9F, 0xE9}), u"\u0080\u009F\u00E9");
  EXPECT_EQ(decode(kIso3, {0x41, 0xA5, 0x42, 0xA1}), std::u16string(u"A\0B\u0126", 4));
  EXPECT_EQ(decode(kIso7, {0xC1, 0xA4, 0xFF, 0x41}), std::u16string(u"\u0391\uFFFF\0A", 4));
  EXPECT_EQ(decode(kIso6, {0xC1, 0xA1}), u"\u0621\uFFFF");
  EXPECT_EQ(decode(kThai, {0x80, 0x82, 0xA1}), u"\u20AC\u20AC\u0E01");
  // Vietnamese marks stay separate characters after their letter.
  EXPECT_EQ(decode(kVietnamese, {0x61, 0xEC, 0x8E, 0x61, 0xF2}), u"a\u0301\u0152a\u0323");
  // A zero byte is a zero unit inside the text, and the count stays exact.
  EXPECT_EQ(decode(kIso2, {0x41, 0x00, 0xA1}), std::u16string(u"A\0\u0104", 3));
}

TEST(SingleByteDecoders, AnyPartOutsideTwoToSevenIsPartOne) {
  Bytes bytes = everyByteShuffled(17);
  std::u16string latin1 = expectedUnits(kIso1, bytes);
  for (int part : {1, 0, 8, 9, -1, INT_MIN, INT_MAX}) {
    EXPECT_EQ(decode(kIso1, bytes, part), latin1) << "part " << part;
  }
  EXPECT_EQ(decode(kIso6, bytes, 6), expectedUnits(kIso6, bytes));
}

TEST(SingleByteDecoders, NonPositiveLengthWritesOnlyTheZero) {
  const uint8_t bytes[] = {0xC1, 0};
  for (int32_t n : {0, -1, INT32_MIN}) {
    char16_t output[2] = {kUntouched, kUntouched};
    Iso8859Decoder{}.decodeIso8859(output, bytes, n, 7);
    EXPECT_EQ(output[0], 0);
    EXPECT_EQ(output[1], kUntouched);
    output[0] = kUntouched;
    ThaiVietnameseDecoder{}.decodeThai(output, bytes, n);
    EXPECT_EQ(output[0], 0);
    EXPECT_EQ(output[1], kUntouched);
  }
}

TEST(SingleByteDecoders, PartTablesAreExposedForOtherReaders) {
  ASSERT_NE(iso8859Table(1), nullptr);
  for (int byte = 0; byte < 256; ++byte) ASSERT_EQ(iso8859Table(1)[byte], byte);
  for (int part = 2; part <= 7; ++part) {
    ASSERT_NE(iso8859Table(part), nullptr);
    TableId id = static_cast<TableId>(part - 1);
    EXPECT_TRUE(std::equal(reference()[id].begin(), reference()[id].end(), iso8859Table(part)));
  }
  EXPECT_EQ(iso8859Table(0), nullptr);
  EXPECT_EQ(iso8859Table(8), nullptr);
}

TEST(SingleByteLookupKernels, EveryKernelMatchesTheScalarLookupOnRandomTables) {
  // Random upper halves put every bit of both planes to work, which the real tables (whose
  // high bytes are mostly alike) would not.
  std::mt19937 random(42);
  std::vector<SingleByteKernel> kernels;
  for (auto kernel : {SingleByteKernel::Sse2, SingleByteKernel::Ssse3, SingleByteKernel::Avx2,
                      SingleByteKernel::Avx512Vbmi}) {
    if (singleByteKernelAvailable(kernel)) kernels.push_back(kernel);
  }
  for (int trial = 0; trial < 40; ++trial) {
    char16_t units[256];
    for (int byte = 0; byte < 256; ++byte) {
      units[byte] = byte < 0x80 || trial == 0 ? static_cast<char16_t>(byte)
                                              : static_cast<char16_t>(random());
    }
    const SingleByteLookup lookup = makeSingleByteLookup(units);
    ASSERT_EQ(lookup.upperIsIdentity, trial == 0);
    size_t length = trial < 20 ? static_cast<size_t>(trial) * 7 : 100 + random() % 2000;
    int highShare = static_cast<int>(random() % 101);
    Bytes bytes(length);
    for (auto& byte : bytes) {
      byte = static_cast<int>(random() % 100) < highShare ? static_cast<uint8_t>(random())
                                                          : static_cast<uint8_t>(random() % 0x80);
    }
    std::vector<char16_t> expected(length + 1, kUntouched);
    lookupSingleBytes(SingleByteKernel::Scalar, expected.data(), bytes.data(), length, lookup);
    for (size_t i = 0; i < length; ++i) ASSERT_EQ(expected[i], units[bytes[i]]);
    for (SingleByteKernel kernel : kernels) {
      std::vector<char16_t> output(length + 1, kUntouched);
      lookupSingleBytes(kernel, output.data(), bytes.data(), length, lookup);
      ASSERT_EQ(output, expected) << "kernel " << static_cast<int>(kernel) << ", length "
                                  << length;
    }
  }
}

}  // namespace
