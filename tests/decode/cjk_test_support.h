// Helpers of the Korean and Chinese decoder tests: running a decoder the way the viewer does
// (input followed by one zero byte, output room for n + 1 units, both exactly that large so
// the sanitizers see any overrun), and reading the pair reference files that
// tools/gen_cjk_tables.py writes from the code pages' published mappings.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/test_files.h"

namespace cjk_test {

using Decoder = std::function<size_t(char16_t* out, const uint8_t* in, int32_t n)>;

// No decoder of these families writes this unit: it is a high surrogate, which no table holds
// and no single byte gives. Marks output room the decoder left alone.
inline constexpr char16_t kUntouched = 0xDBFF;

// Decodes `bytes` into room for exactly n + 1 units and returns the text before the closing
// zero unit (zero units inside the text stay). Fails the test when the text does not end with
// a zero unit, when anything after that zero was written or when the decoder reports another
// count than the units before that zero.
inline std::u16string decode(const Decoder& decoder, std::string_view bytes) {
  const size_t n = bytes.size();
  auto input = std::make_unique<uint8_t[]>(n + 1);
  for (size_t i = 0; i < n; ++i) {
    input[i] = static_cast<uint8_t>(bytes[i]);
  }
  input[n] = 0;
  std::vector<char16_t> output(n + 1, kUntouched);
  const size_t reported = decoder(output.data(), input.get(), static_cast<int32_t>(n));
  size_t written = output.size();
  while (written > 0 && output[written - 1] == kUntouched) {
    --written;
  }
  if (written == 0 || output[written - 1] != 0) {
    ADD_FAILURE() << "the output does not end with a zero unit";
    return {};
  }
  EXPECT_EQ(reported, written - 1) << "the decoder must report the units before its ending zero";
  for (size_t i = 0; i < written; ++i) {
    if (output[i] == kUntouched) {
      ADD_FAILURE() << "unit " << i << " was skipped";
    }
  }
  return std::u16string(output.data(), written - 1);
}

inline std::string hexUnits(const std::u16string& text) {
  std::ostringstream s;
  s << std::hex << std::uppercase;
  for (char16_t u : text) {
    s << ' ' << static_cast<unsigned>(u);
  }
  return s.str();
}

// The expected units of every pair of one table, in cell order, as the generator wrote them.
struct PairReference {
  int leadFirst = 0;            // lead byte of the first row
  int trailFirst = 0;           // trail byte of a row's first cell
  int cellsPerRow = 0;          // trail bytes per row
  std::vector<char16_t> units;  // one per pair, row after row

  // The unit a (lead, trail) position formula reaches, or 0xFFFF outside the table.
  char16_t at(int lead, int trail) const {
    const long position = static_cast<long>(lead - leadFirst) * cellsPerRow + (trail - trailFirst);
    return position >= 0 && position < static_cast<long>(units.size()) ? units[position] : char16_t{0xFFFF};
  }
  // Every pair of the table, in cell order: the input that gives `units`.
  std::string allPairs() const {
    std::string bytes;
    for (size_t i = 0; i < units.size(); ++i) {
      bytes += static_cast<char>(leadFirst + static_cast<int>(i) / cellsPerRow);
      bytes += static_cast<char>(trailFirst + static_cast<int>(i) % cellsPerRow);
    }
    return bytes;
  }
};

// Reads reference/<fileName>: '#' comment lines, then one line per lead byte, "LL:" followed
// by one token per trail byte: a unit "XXXX", "XXXX+k" (XXXX and the k units counting up after
// it) or "XXXX*k" (k units XXXX). Fails the test (and returns no units) on any other shape.
inline PairReference loadPairs(const std::string& fileName, int leadFirst, int trailFirst, int cellsPerRow,
                               size_t cellCount) {
  PairReference reference{leadFirst, trailFirst, cellsPerRow, {}};
  const std::filesystem::path path = test_files::referenceDir() / fileName;
  std::ifstream file(path);
  if (!file) {
    ADD_FAILURE() << "cannot read " << path;
    return reference;
  }
  std::string line;
  int expectedLead = leadFirst;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') {
      continue;
    }
    std::istringstream fields(line);
    std::string leadField;
    fields >> leadField;
    const int lead = static_cast<int>(std::stoul(leadField, nullptr, 16));
    if (leadField.size() != 3 || leadField[2] != ':' || lead != expectedLead) {
      ADD_FAILURE() << path << ": unexpected line start " << leadField;
      return {};
    }
    const size_t rowStart = reference.units.size();
    std::string token;
    while (fields >> token) {
      size_t used = 0;
      const unsigned unit = static_cast<unsigned>(std::stoul(token, &used, 16));
      const unsigned count = used < token.size() ? static_cast<unsigned>(std::stoul(token.substr(used + 1))) : 0;
      if (used != 4 || (used < token.size() && token[used] != '+' && token[used] != '*')) {
        ADD_FAILURE() << path << ": bad token " << token;
        return {};
      }
      if (used == token.size()) {
        reference.units.push_back(static_cast<char16_t>(unit));
      } else if (token[used] == '+') {
        for (unsigned k = 0; k <= count; ++k) {
          reference.units.push_back(static_cast<char16_t>(unit + k));
        }
      } else {
        reference.units.insert(reference.units.end(), count, static_cast<char16_t>(unit));
      }
    }
    const size_t rowLength = reference.units.size() - rowStart;
    const bool lastRow = reference.units.size() >= cellCount;
    if (rowLength != static_cast<size_t>(cellsPerRow) && !(lastRow && rowLength < static_cast<size_t>(cellsPerRow))) {
      ADD_FAILURE() << path << ": row " << leadField << " has " << rowLength << " cells";
      return {};
    }
    ++expectedLead;
  }
  if (reference.units.size() != cellCount) {
    ADD_FAILURE() << path << ": " << reference.units.size() << " cells, expected " << cellCount;
    reference.units.clear();
  }
  return reference;
}

// Decodes every pair of `reference` in one input (after `prefix`, which must give
// `prefixText`, and before `suffix`, which must give nothing; each pair byte moved by
// `byteOffset`) and compares unit for unit; reports the first differences by their bytes.
inline void expectEveryPair(const Decoder& decoder, const PairReference& reference, std::string_view prefix = {},
                            std::u16string_view prefixText = {}, std::string_view suffix = {}, int byteOffset = 0) {
  ASSERT_FALSE(reference.units.empty());
  std::string bytes = reference.allPairs();
  for (char& c : bytes) {
    c = static_cast<char>(static_cast<uint8_t>(c) + byteOffset);
  }
  const std::u16string output = decode(decoder, std::string(prefix) + bytes + std::string(suffix));
  ASSERT_EQ(output.size(), prefixText.size() + reference.units.size());
  ASSERT_EQ(output.substr(0, prefixText.size()), prefixText);
  const std::u16string text = output.substr(prefixText.size());
  int reported = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != reference.units[i] && ++reported <= 10) {
      ADD_FAILURE() << std::hex << std::uppercase << "pair " << (static_cast<uint8_t>(bytes[2 * i]) + 0) << ' '
                    << (static_cast<uint8_t>(bytes[2 * i + 1]) + 0) << ": got " << static_cast<unsigned>(text[i])
                    << ", expected " << static_cast<unsigned>(reference.units[i]);
    }
  }
  EXPECT_EQ(reported, 0) << "pairs decoded differently from the reference";
}

// A text made of characters whose units are known: the input and the output it must give.
struct KnownText {
  std::string bytes;     // the encoded text
  std::u16string units;  // what the decoder must write for it

  void add(std::string_view characterBytes, std::u16string_view characterUnits) {
    bytes += characterBytes;
    units += characterUnits;
  }
};

// Builds a text of `count` characters, each made by `addOne(text, rng)` from a fixed seed, and
// checks that the decoder gives exactly its units, reporting the first difference.
template <typename AddOne>
void expectKnownText(const Decoder& decoder, int count, unsigned seed, AddOne addOne) {
  std::mt19937 rng(seed);
  KnownText text;
  for (int i = 0; i < count; ++i) {
    addOne(text, rng);
  }
  const std::u16string got = decode(decoder, text.bytes);
  size_t same = 0;
  while (same < got.size() && same < text.units.size() && got[same] == text.units[same]) {
    ++same;
  }
  EXPECT_EQ(same, text.units.size()) << "first difference at unit " << same << " of " << text.units.size()
                                     << " (got " << got.size() << " units)";
}

}  // namespace cjk_test
