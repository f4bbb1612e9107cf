// The Korean decoders: every table pair against the generator's reference, in both EUC-KR and
// the 7-bit ISO-2022-KR form, and the edges where real decoders go wrong: lead bytes at the
// end of the input, trails outside a row, the user-defined rows, shift codes and designators,
// and the single-byte runs around the 16-byte blocks of the fast path.
#include <random>
#include <string>

#include "decode/korean.h"
#include "tests/decode/cjk_test_support.h"

namespace {

using cjk_test::decode;
using cjk_test::hexUnits;

const cjk_test::Decoder eucKr = [](char16_t* out, const uint8_t* in, int32_t n) {
  return KoreanDecoder{}.decodeEucKr(out, in, n);
};
const cjk_test::Decoder iso2022Kr = [](char16_t* out, const uint8_t* in, int32_t n) {
  return KoreanDecoder{}.decodeIso2022Kr(out, in, n);
};

const std::string kDesignator = "\x1B$)C";
const std::string kSO = "\x0E";
const std::string kSI = "\x0F";

const cjk_test::PairReference& uhc() {
  static const cjk_test::PairReference reference = cjk_test::loadPairs("uhc_pairs.txt", 0x81, 0x41, 190, 13680);
  return reference;
}
const cjk_test::PairReference& hanja() {
  static const cjk_test::PairReference reference = cjk_test::loadPairs("hanja_pairs.txt", 0xCA, 0xA1, 94, 4888);
  return reference;
}

// The unit of an EUC-KR pair as the position formulas give it, from the reference data.
char16_t eucKrPair(int lead, int trail) {
  return lead <= 0xC8 ? uhc().at(lead, trail) : hanja().at(lead, trail);
}

TEST(EucKr, EveryTablePairMatchesTheReference) {
  cjk_test::expectEveryPair(eucKr, uhc());
  cjk_test::expectEveryPair(eucKr, hanja());
  // Shifted by one byte, pairs straddle every 16-byte boundary of the vector walk.
  cjk_test::expectEveryPair(eucKr, uhc(), "x", u"x");
}

// Korean text in all its kinds of characters, in random order, with expected units from the
// reference: words of syllables and spaces, Hanja, lone bytes from 0x80 up, and leads whose
// trail lies outside the row (a space or a line end after a lead is its trail).
TEST(EucKr, MixedTextOfEveryKind) {
  const auto addOne = [](cjk_test::KnownText& text, std::mt19937& rng) {
    const auto byte = [&](int first, int last) { return std::uniform_int_distribution<int>(first, last)(rng); };
    const auto pair = [&](int lead, int trail) {
      text.add(std::string{static_cast<char>(lead), static_cast<char>(trail)}, std::u16string(1, eucKrPair(lead, trail)));
    };
    const int kind = byte(0, 99);
    if (kind < 55) {
      pair(byte(0xB0, 0xC8), byte(0xA1, 0xFE));  // KS X 1001 Hangul rows
    } else if (kind < 65) {
      pair(byte(0x81, 0xC6), byte(0x41, 0xA0));  // extension syllables and the unused trails
    } else if (kind < 85) {
      const char c = static_cast<char>(byte(0, 3) == 0 ? "\r\n.,"[byte(0, 3)] : ' ');
      text.add(std::string(1, c), std::u16string(1, static_cast<char16_t>(c)));
    } else if (kind < 92) {
      for (int i = byte(1, 20); i > 0; --i) {
        const char c = static_cast<char>(byte(0x20, 0x7E));
        text.add(std::string(1, c), std::u16string(1, static_cast<char16_t>(c)));
      }
    } else if (kind < 95) {
      pair(byte(0xCA, 0xFD), byte(0xA1, 0xFE));  // Hanja
    } else if (kind < 97) {
      const char c = "\x80\xC9\xFE\xFF"[byte(0, 3)];
      text.add(std::string(1, c), std::u16string(1, static_cast<char16_t>(static_cast<uint8_t>(c))));
    } else {
      const int lead = byte(0x81, 0xFC);
      pair(lead >= 0xC9 ? lead + 1 : lead, byte(0x00, 0xFF));  // any lead but 0xC9, any trail
    }
  };
  cjk_test::expectKnownText(eucKr, 20000, 1, addOne);
  cjk_test::expectKnownText(eucKr, 20000, 2, addOne);
}

TEST(EucKr, KnownCharacters) {
  EXPECT_EQ(decode(eucKr, "\xB0\xA1\x81\x41\xCA\xA1\xA2\xE6\xA2\xE7"), u"\uAC00\uAC02\u4F3D\u20AC\u00AE");
  // Unassigned pairs of code page 949, including the trails it never uses, give U+FFFF.
  EXPECT_EQ(decode(eucKr, "\x81\x5B\x81\x60\xC5\x7B\xC5\x80\xC8\xA0"), u"\uFFFF\uFFFF\uFFFF\uFFFF\uFFFF");
}

TEST(EucKr, BytesThatAreNoLeadStandForThemselves) {
  EXPECT_EQ(decode(eucKr, "\xFF\x80"), u"\u00FF\u0080");
  // After the user-defined rows' leads 0xC9 and 0xFE the next byte starts afresh.
  EXPECT_EQ(decode(eucKr, "\xC9\xA1\xA1"), u"\u00C9\u3000");
  EXPECT_EQ(decode(eucKr, "\xFE\xB0\xA1\xFE"), u"\u00FE\uAC00\u00FE");
  EXPECT_EQ(decode(eucKr, std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(EucKr, LeadByteAtTheEndPairsWithTheZeroAfterTheInput) {
  // The zero is an out-of-row trail: its position reaches a cell of the row before, or lies
  // before the table.
  // (0x90, 0x00) is 0x41 cells before the row: the cell (0x8F, 0xBE), an extension syllable.
  EXPECT_EQ(decode(eucKr, "A\x90"), std::u16string(u"A") + uhc().at(0x8F, 0xBE));
  EXPECT_EQ(eucKrPair(0x90, 0x00), uhc().at(0x8F, 0xBE));
  EXPECT_NE(uhc().at(0x8F, 0xBE), 0xFFFF);
  EXPECT_EQ(decode(eucKr, "\xFD"), std::u16string(1, eucKrPair(0xFD, 0x00)));
  EXPECT_EQ(decode(eucKr, "\x81"), u"\uFFFF");
  EXPECT_EQ(decode(eucKr, "\xCA"), u"\uFFFF");
}

TEST(EucKr, TrailsOutsideTheRowAreConsumedAndReachTheNeighbouringCell) {
  // A line end after a lead byte is its trail.
  EXPECT_EQ(decode(eucKr, "\xB0\x0Ax"), std::u16string(1, eucKrPair(0xB0, 0x0A)) + u"x");
  // Two rows down and 0x60 cells back: the last cell but one of the first Hanja row.
  EXPECT_EQ(decode(eucKr, "\xCC\x41"), std::u16string(1, hanja().at(0xCA, 0xFD)));
  // Positions before the first or past the last cell of either table give no character.
  EXPECT_EQ(decode(eucKr, "\x81\x20\xC8\xFF\xCA\x41\xFD\xFF"), u"\uFFFF\uFFFF\uFFFF\uFFFF");
}

TEST(Iso2022Kr, EveryKsX1001PairInDoubleByteModeMatchesTheReference) {
  // The 7-bit pairs of KS X 1001 are the EUC-KR pairs less 0x80 each.
  cjk_test::PairReference symbolsAndHangul;
  symbolsAndHangul.leadFirst = 0xA1;
  symbolsAndHangul.trailFirst = 0xA1;
  symbolsAndHangul.cellsPerRow = 94;
  for (int lead = 0xA1; lead <= 0xC8; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      symbolsAndHangul.units.push_back(uhc().at(lead, trail));
    }
  }
  cjk_test::expectEveryPair(iso2022Kr, symbolsAndHangul, kDesignator + kSO, u"", kSI, -0x80);
  cjk_test::expectEveryPair(iso2022Kr, hanja(), kDesignator + kSO, u"", kSI, -0x80);
}

// ISO-2022-KR text of every kind in random order, with the mode followed along: words shifted
// out and in, "SI space SO" between words, Hanja, pairs whose trail is a shift code (it is
// only a trail then), designators and other escapes in either mode, line ends inside
// double-byte mode, and 8-bit bytes.
TEST(Iso2022Kr, MixedTextOfEveryKind) {
  bool doubleByte = false;
  bool withEscapes = true;
  const auto pairUnit = [](int b, int t) {
    const int lead = b + 0x80;
    const int trail = t + 0x80;
    return lead >= 0x81 && lead <= 0xC8 ? uhc().at(lead, trail) : hanja().at(lead, trail);
  };
  const auto addOne = [&](cjk_test::KnownText& text, std::mt19937& rng) {
    const auto byte = [&](int first, int last) { return std::uniform_int_distribution<int>(first, last)(rng); };
    const auto pair = [&](int b, int t) {
      text.add(std::string{static_cast<char>(b), static_cast<char>(t)}, std::u16string(1, pairUnit(b, t)));
    };
    const auto single = [&](int b) {
      text.add(std::string(1, static_cast<char>(b)), std::u16string(1, static_cast<char16_t>(b)));
    };
    const int kind = byte(withEscapes ? 0 : 3, 99);
    if (kind < 2) {
      text.add(kDesignator, u"");
    } else if (kind < 3) {
      if (doubleByte) {
        pair(0x1B, '(');  // no designator: ESC leads a pair
      } else {
        text.add("\x1B(B", u"\x1B(B");
      }
    } else if (!doubleByte) {
      if (kind < 40) {
        text.add(kSO, u"");
        doubleByte = true;
      } else if (kind < 90) {
        single(byte(0, 3) == 0 ? '\n' : byte(0x20, 0x7E));
      } else {
        single(byte(0x80, 0xFF));
      }
    } else if (kind < 60) {
      pair(byte(0x30, 0x48), byte(0x21, 0x7E));  // Hangul
    } else if (kind < 75) {
      text.add(kSI + " " + kSO, u" ");
    } else if (kind < 85) {
      text.add(kSI, u"");
      doubleByte = false;
    } else if (kind < 88) {
      pair(byte(0x4A, 0x7D), byte(0x21, 0x7E));  // Hanja
    } else if (kind < 91) {
      pair(byte(0x21, 0x48), byte(0, 1) ? 0x0E : 0x0F);  // a shift code as a trail
    } else if (kind < 93) {
      text.add(kSO, u"");
    } else if (kind < 95) {
      pair('\r', '\n');
    } else {
      int b = byte(0x00, 0xFF);
      while (b == 0x0E || b == 0x0F || b == 0x1B) {
        b = byte(0x00, 0xFF);
      }
      pair(b, byte(0x00, 0xFF));
    }
  };
  cjk_test::expectKnownText(iso2022Kr, 30000, 4, addOne);
  // Without escapes most 16-byte blocks are decoded by the vector walk.
  doubleByte = false;
  withEscapes = false;
  cjk_test::expectKnownText(iso2022Kr, 30000, 5, addOne);
}

// Shift codes and designators give no text, so a text that ends in many of them ends its output
// well before its input: nothing may be written after the closing zero unit (the decode
// helper checks), whatever the walk wrote ahead of itself in the middle.
TEST(Iso2022Kr, LongTextEndingInShiftCodesOnly) {
  for (const std::string& ending : {std::string(""), kSI + kSO, kDesignator}) {
    std::string bytes = kDesignator + kSO;
    std::u16string expected;
    for (int i = 0; i < 150; ++i) {
      bytes += i % 5 == 4 ? kSI + " " + kSO : std::string("\x30\x21");
      expected += i % 5 == 4 ? u' ' : u'\uAC00';
    }
    for (int i = 0; i < 100; ++i) {
      bytes += ending.empty() ? kSO : ending;
    }
    EXPECT_EQ(decode(iso2022Kr, bytes), expected);
  }
}

TEST(Iso2022Kr, DesignatorAndShiftCodesWriteNothing) {
  EXPECT_EQ(decode(iso2022Kr, kDesignator + kSO + "\x30\x21" + kSI), u"\uAC00");
  EXPECT_EQ(decode(iso2022Kr, kDesignator + "Hi " + kSO + "\x30\x21\x4A\x21" + kSI + "!\r\n"), u"Hi \uAC00\u4F3D!\r\n");
  // Recognised in double-byte mode too; the designator leaves the mode alone.
  EXPECT_EQ(decode(iso2022Kr, kSO + "\x30\x21" + kSO + kDesignator + "\x30\x21" + kSI + "a" + kSI + "b"),
            u"\uAC00\uAC00ab");
}

TEST(Iso2022Kr, TextWithoutShiftOutIsCopiedByteForByte) {
  const std::string text = "plain \xB0\xA1 text \x80\xFF\x1B(B\x1B$A\r\n";
  std::u16string expected;
  for (char c : text) {
    expected += static_cast<char16_t>(static_cast<uint8_t>(c));
  }
  EXPECT_EQ(decode(iso2022Kr, text), expected);
}

TEST(Iso2022Kr, DesignatorCutShortByTheEnd) {
  EXPECT_EQ(decode(iso2022Kr, "ab\x1B$)"), u"ab");                // the whole rest is skipped
  EXPECT_EQ(decode(iso2022Kr, "ab\x1B$"), u"ab\x1B$");            // the zero after "$" is no ")"
  EXPECT_EQ(decode(iso2022Kr, "ab\x1B"), u"ab\x1B");
}

TEST(Iso2022Kr, DoubleByteModePairsEveryByte) {
  // A line end inside double-byte mode is half of a pair: both move up by 0x80.
  EXPECT_EQ(decode(iso2022Kr, kSO + "\x30\x21\r\n" + kSI), std::u16string(u"\uAC00") + eucKrPair(0x8D, 0x8A));
  // Leads 0x01-0x48 reach the UHC rows, the rest the Hanja rows; bytes with the top bit set,
  // the zero byte, and the rows 0xC9 and 0xFE land outside both tables.
  EXPECT_EQ(decode(iso2022Kr, kSO + "\x01\x41"), std::u16string(1, eucKrPair(0x81, 0xC1)));
  EXPECT_NE(eucKrPair(0x81, 0xC1), 0xFFFF);
  EXPECT_EQ(decode(iso2022Kr, kSO + "\xB0\xA1" + std::string("\0\x21", 2) + "\x49\x21\x7E\x21\x48\x7F"),
            u"\uFFFF\uFFFF\uFFFF\uFFFF\uFFFF");
  // A lead at the end pairs with the zero after the input: (0xB0, 0x80), unassigned.
  EXPECT_EQ(decode(iso2022Kr, kSO + "\x30"), u"\uFFFF");
}

TEST(Iso2022Kr, EveryCallStartsInSingleByteMode) {
  EXPECT_EQ(decode(iso2022Kr, kSO + "\x30\x21"), u"\uAC00");
  EXPECT_EQ(decode(iso2022Kr, "\x30\x21"), u"0!");
}

TEST(KoreanDecoders, NothingButTheZeroUnitForAnEmptyOrNegativeLength) {
  for (const auto& decoder : {eucKr, iso2022Kr}) {
    char16_t out[4] = {0x1111, 0x1111, 0x1111, 0x1111};
    const uint8_t in[4] = {'a', 0xB0, 0xA1, 0};
    EXPECT_EQ(decoder(out, in, 0), 0u);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0x1111);
    EXPECT_EQ(decoder(out, in, -3), 0u);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0x1111);
  }
}

// Single-byte runs of every length from every alignment, between Hangul pairs: the block copy
// must stop exactly at the first lead byte (or control byte) and never run past the input.
TEST(KoreanDecoders, SingleByteRunsOfEveryLengthAndAlignment) {
  for (int before = 0; before < 3; ++before) {
    for (int length = 0; length <= 40; ++length) {
      std::string run;
      std::u16string runText;
      for (int i = 0; i < length; ++i) {
        const char c = static_cast<char>('!' + (i * 7) % 90);
        run += c;
        runText += static_cast<char16_t>(c);
      }
      std::string euc;
      std::u16string expected;
      for (int i = 0; i < before; ++i) {
        euc += "\xB0\xA1";
        expected += u'\uAC00';
      }
      euc += run + "\xC7\xD1" + run;
      expected += runText + u'\uD55C' + runText;
      EXPECT_EQ(decode(eucKr, euc), expected) << "run " << length << " after " << before << " pairs";

      // In ISO-2022-KR's single-byte mode high bytes are copied too, and the run stops at SO.
      std::string iso = std::string(static_cast<size_t>(before), '\x80') + run + kSO + "\x47\x51" + kSI + run;
      std::u16string isoExpected = std::u16string(static_cast<size_t>(before), u'\u0080') + runText + u'\uD55C' + runText;
      EXPECT_EQ(decode(iso2022Kr, iso), isoExpected) << hexUnits(decode(iso2022Kr, iso));
    }
  }
}

}  // namespace
