// The Chinese decoders: every table pair against the generator's reference, the cells where the
// tables depart from code pages 950 and 936 (checked against literal values, so that a slip in
// the generator shows too), the user-defined area, lead bytes at the end of the input, trails
// outside a row, and the single-byte runs around the 16-byte blocks of the fast path.
#include <random>
#include <string>

#include "decode/chinese.h"
#include "tests/decode/cjk_test_support.h"

namespace {

using cjk_test::decode;

const cjk_test::Decoder big5 = [](char16_t* out, const uint8_t* in, int32_t n) {
  return ChineseDecoder{}.decodeBig5(out, in, n);
};
const cjk_test::Decoder gb2312 = [](char16_t* out, const uint8_t* in, int32_t n) {
  return ChineseDecoder{}.decodeGb2312(out, in, n);
};

const cjk_test::PairReference& big5Pairs() {
  static const cjk_test::PairReference reference = cjk_test::loadPairs("big5_pairs.txt", 0xA1, 0x40, 191, 16960);
  return reference;
}
const cjk_test::PairReference& gb2312Pairs() {
  static const cjk_test::PairReference reference = cjk_test::loadPairs("gb2312_pairs.txt", 0xA1, 0xA1, 94, 8178);
  return reference;
}

std::string pair(unsigned code) {
  return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

char16_t decodeOnePair(const cjk_test::Decoder& decoder, unsigned code) {
  const std::u16string text = decode(decoder, pair(code));
  EXPECT_EQ(text.size(), 1u) << std::hex << code;
  return text.empty() ? char16_t{0} : text[0];
}

TEST(Big5, EveryTablePairMatchesTheReference) {
  cjk_test::expectEveryPair(big5, big5Pairs());
  cjk_test::expectEveryPair(big5, big5Pairs(), "x", u"x");
}

TEST(Gb2312, EveryTablePairMatchesTheReference) {
  cjk_test::expectEveryPair(gb2312, gb2312Pairs());
  cjk_test::expectEveryPair(gb2312, gb2312Pairs(), "x", u"x");
}

// Chinese text in all its kinds of characters, in random order, with expected units from the
// reference: runs of Hanzi, full-width and ASCII punctuation, digits and words, bytes from 0x80
// up that are no lead, and leads with a trail outside the row or past the table.
template <typename PairUnit>
void expectMixedText(const cjk_test::Decoder& decoder, int leadFirst, int leadLast, int trailFirst,
                     const std::string& singles, PairUnit pairUnit) {
  const auto addOne = [&](cjk_test::KnownText& text, std::mt19937& rng) {
    const auto byte = [&](int first, int last) { return std::uniform_int_distribution<int>(first, last)(rng); };
    const auto pair = [&](int lead, int trail) {
      text.add(std::string{static_cast<char>(lead), static_cast<char>(trail)}, std::u16string(1, pairUnit(lead, trail)));
    };
    const int kind = byte(0, 99);
    if (kind < 70) {
      pair(byte(0xB0, 0xD7), byte(0xA1, 0xFE));
    } else if (kind < 78) {
      pair(byte(leadFirst, leadLast), byte(trailFirst, 0xFE));
    } else if (kind < 90) {
      for (int i = byte(1, 24); i > 0; --i) {
        const char c = static_cast<char>(byte(0, 4) == 0 ? '\n' : byte(0x20, 0x7E));
        text.add(std::string(1, c), std::u16string(1, static_cast<char16_t>(c)));
      }
    } else if (kind < 95) {
      const char c = singles[static_cast<size_t>(byte(0, static_cast<int>(singles.size()) - 1))];
      text.add(std::string(1, c), std::u16string(1, static_cast<char16_t>(static_cast<uint8_t>(c))));
    } else {
      pair(byte(leadFirst, leadLast), byte(0x00, 0xFF));
    }
  };
  cjk_test::expectKnownText(decoder, 30000, 3, addOne);
}

TEST(Big5, MixedTextOfEveryKind) {
  expectMixedText(big5, 0xA1, 0xF9, 0x40, "\x80\x9F\xA0\xFA\xFF",
                  [](int lead, int trail) { return big5Pairs().at(lead, trail); });
}

TEST(Gb2312, MixedTextOfEveryKind) {
  expectMixedText(gb2312, 0xA1, 0xFE, 0xA1, "\x80\x9F\xA0\xFF",
                  [](int lead, int trail) { return gb2312Pairs().at(lead, trail); });
}

TEST(Big5, CellsThatDepartFromCodePage950) {
  struct Cell {
    unsigned code;
    char16_t unit;
  };
  const Cell classic[] = {{0xA145, 0x2022}, {0xA14E, 0xFF64}, {0xA1C2, 0x203E}, {0xA1E3, 0x223C},
                          {0xA1F2, 0x2641}, {0xA1F3, 0x2609}, {0xA241, 0xFF0F}, {0xA242, 0xFF3C},
                          {0xA244, 0x00A5}, {0xA246, 0x00A2}, {0xA247, 0x00A3}};
  for (const Cell& cell : classic) {
    EXPECT_EQ(decodeOnePair(big5, cell.code), cell.unit) << std::hex << cell.code;
  }
  for (unsigned code : {0xA15A, 0xA1C3, 0xA1C5, 0xA1FE, 0xA240, 0xA2CC, 0xA2CE}) {
    EXPECT_EQ(decodeOnePair(big5, code), 0xFFFD) << std::hex << code;
  }
  EXPECT_EQ(decodeOnePair(big5, 0xA3E1), 0xFFFF);  // code page 950's euro sign
  EXPECT_EQ(decodeOnePair(big5, 0xA440), 0x4E00);
  EXPECT_EQ(decodeOnePair(big5, 0xF9D5), 0x9F98);
}

TEST(Big5, UserDefinedAreaAndUnusedTrailsHoldNoCharacter) {
  for (unsigned lead = 0xC6; lead <= 0xC8; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      const unsigned code = lead << 8 | trail;
      if (code >= 0xC6A1) {
        EXPECT_EQ(decodeOnePair(big5, code), 0xFFFF) << std::hex << code;
      }
    }
  }
  EXPECT_EQ(decodeOnePair(big5, 0xC67E), 0x7C72);  // the last character before the area
  EXPECT_EQ(decodeOnePair(big5, 0xC940), 0x4E42);  // the first after it
  for (unsigned code : {0xA17F, 0xA1A0, 0xB07F, 0xF990}) {
    EXPECT_EQ(decodeOnePair(big5, code), 0xFFFF) << std::hex << code;
  }
}

TEST(Big5, TheCodePage950ExtensionEndsTheTableWithTwoZeroCells) {
  // A zero unit inside the text; the decoder goes on after it.
  EXPECT_EQ(decode(big5, "\xF9\xD6" "a\xF9\xD7"), std::u16string(u"\0a\0", 3));
  // Beyond 0xF9D7 and before 0xA140 lies no table cell.
  EXPECT_EQ(decode(big5, "\xF9\xD8\xF9\xFE\xF9\xFF\xA1\x3F"), u"\uFFFF\uFFFF\uFFFF\uFFFF");
}

TEST(Big5, BytesThatAreNoLeadStandForThemselves) {
  EXPECT_EQ(decode(big5, "\x80\xA0\xFA\xFF"), u"\u0080\u00A0\u00FA\u00FF");
  // The byte after them is decoded on its own, as a lead when it is one.
  EXPECT_EQ(decode(big5, "\xFA\xA4\x40\xA0\xA4\x40"), u"\u00FA\u4E00\u00A0\u4E00");
}

TEST(Big5, LeadByteAtTheEndPairsWithTheZeroAfterTheInput) {
  // (0xA4, 0x00) reaches 0x40 cells back: the cell 0xA3BF of the row before.
  EXPECT_EQ(decode(big5, "x\xA4"), std::u16string(u"x") + big5Pairs().at(0xA3, 0xBF));
  EXPECT_EQ(big5Pairs().at(0xA4, 0x00), big5Pairs().at(0xA3, 0xBF));
  EXPECT_EQ(decode(big5, "\xA1"), u"\uFFFF");
}

TEST(Big5, TrailsOutsideTheRowReachTheNeighbouringCell) {
  // 0xA2 with 0x3F is one cell before 0xA240: the last cell of row 0xA1, a U+FFFD cell.
  EXPECT_EQ(decode(big5, "\xA2\x3F"), u"\uFFFD");
  // A line end after a lead is its trail.
  EXPECT_EQ(decode(big5, "\xB0\x0A!"), std::u16string(1, big5Pairs().at(0xB0, 0x0A)) + u"!");
  EXPECT_EQ(big5Pairs().at(0xB0, 0x0A), big5Pairs().at(0xAF, 0xC9));
}

TEST(Gb2312, CellsThatDepartFromCodePage936) {
  EXPECT_EQ(decodeOnePair(gb2312, 0xA1A4), 0x30FB);
  EXPECT_EQ(decodeOnePair(gb2312, 0xA1AA), 0x2015);
  unsigned additions = 0;
  for (unsigned code = 0xA2A1; code <= 0xA8C0; ++code) {
    const bool added = (code >= 0xA2A1 && code <= 0xA2AA) || (code >= 0xA6E0 && code <= 0xA6EB) ||
                       (code >= 0xA6EE && code <= 0xA6F2) || code == 0xA6F4 || code == 0xA6F5 ||
                       code == 0xA8BB || code == 0xA8BD || code == 0xA8BE || code == 0xA8C0;
    if (added) {
      EXPECT_EQ(decodeOnePair(gb2312, code), 0xFFFF) << std::hex << code;
      ++additions;
    }
  }
  EXPECT_EQ(additions, 33u);
  EXPECT_EQ(decode(gb2312, "\xB0\xA1\xF7\xFE\xA8\xBA\xA1\xA1"), u"\u554A\u9F44\u00EA\u3000");
}

TEST(Gb2312, UserDefinedRowsAndRowsPastTheTableHoldNoCharacter) {
  EXPECT_EQ(decode(gb2312, "\xAA\xA1\xAF\xFE\xF8\xA1\xFE\xFE\xF7\xFF\xA1\xA0"),
            u"\uFFFF\uFFFF\uFFFF\uFFFF\uFFFF\uFFFF");
}

TEST(Gb2312, BytesThatAreNoLeadStandForThemselves) {
  EXPECT_EQ(decode(gb2312, "\xFF\x80\xA0"), u"\u00FF\u0080\u00A0");
  EXPECT_EQ(decode(gb2312, "\xA0\xB0\xA1"), u"\u00A0\u554A");
}

TEST(Gb2312, LeadByteAtTheEndPairsWithTheZeroAfterTheInput) {
  // (0xC0, 0x00) reaches 0xA1 cells back: the cell 0xBEBC, two rows up.
  EXPECT_EQ(decode(gb2312, "x\xC0"), std::u16string(u"x") + gb2312Pairs().at(0xBE, 0xBC));
  EXPECT_EQ(gb2312Pairs().at(0xC0, 0x00), gb2312Pairs().at(0xBE, 0xBC));
  EXPECT_EQ(decode(gb2312, "\xA1"), u"\uFFFF");
  EXPECT_EQ(decode(gb2312, "\xFE"), u"\uFFFF");
}

TEST(ChineseDecoders, NothingButTheZeroUnitForAnEmptyOrNegativeLength) {
  for (const auto& decoder : {big5, gb2312}) {
    char16_t out[3] = {0x1111, 0x1111, 0x1111};
    const uint8_t in[3] = {0xB0, 0xA1, 0};
    EXPECT_EQ(decoder(out, in, 0), 0u);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0x1111);
    EXPECT_EQ(decoder(out, in, -1), 0u);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0x1111);
  }
}

// ASCII runs of every length from every alignment between double-byte characters: the block
// copy must stop exactly at the first lead byte and never run past the input.
TEST(ChineseDecoders, AsciiRunsOfEveryLengthAndAlignment) {
  for (int before = 0; before < 3; ++before) {
    for (int length = 0; length <= 40; ++length) {
      std::string run;
      std::u16string runText;
      for (int i = 0; i < length; ++i) {
        const char c = static_cast<char>(i % 5 == 4 ? '\n' : 'a' + i % 26);
        run += c;
        runText += static_cast<char16_t>(c);
      }
      std::string big5Bytes = "\x80";
      std::string gbBytes = "\x80";
      std::u16string big5Text = u"\u0080";
      std::u16string gbText = u"\u0080";
      for (int i = 0; i < before; ++i) {
        big5Bytes += "\xA4\x40";
        big5Text += u'\u4E00';
        gbBytes += "\xD2\xBB";
        gbText += u'\u4E00';
      }
      EXPECT_EQ(decode(big5, big5Bytes + run + "\xA4\x40" + run), big5Text + runText + u'\u4E00' + runText);
      EXPECT_EQ(decode(gb2312, gbBytes + run + "\xD2\xBB" + run), gbText + runText + u'\u4E00' + runText);
    }
  }
}

}  // namespace
