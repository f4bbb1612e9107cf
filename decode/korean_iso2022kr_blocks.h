// The vector walk of the ISO-2022-KR decoder, 16 bytes at a time on processors with SSSE3 and
// BMI2. Private to korean.cpp, which falls back to its plain walk elsewhere, near the end of
// the input and for the blocks this walk does not take.
//
// Korean ISO-2022-KR text shifts out and in around every word, so the plain walk guesses the
// end of every run of pairs, and often wrongly. Here the mode before every byte of a block
// comes from bit arithmetic on the positions of SO and SI (taking each as a character start),
// the pairs of the double-byte stretches from the same lead/trail pairing as in EUC-KR, and
// the block is checked afterwards: if a shift code turns out to be the trail of a pair, or an
// ESC or a lead outside the UHC rows appears, the block is decoded character by character.
#pragma once

#include "decode/cjk_pair_blocks.h"
#include "decode/tables/korean_tables.h"

#if defined(QUILL_CJK_PAIR_BLOCKS)

namespace iso2022kr_blocks {

// The mode before each of 16 bytes (bit set: double-byte), when `shiftOuts` and `shiftIns` mark
// the SO and SI bytes and `doubleBefore` is the mode before the block: the nearest shift code
// before a byte decides, spread over the bytes after it in four doubling steps.
inline uint32_t doubleByteModeBefore(uint32_t shiftOuts, uint32_t shiftIns, bool doubleBefore, bool& doubleAfter) {
  uint32_t known = shiftOuts | shiftIns;  // a shift code at or before the bit
  uint32_t shiftedOut = shiftOuts;        // ... and it is SO
  for (int step = 1; step < 16; step <<= 1) {
    shiftedOut |= (shiftedOut << step) & ~known;
    known |= known << step;
  }
  doubleAfter = ((known >> 15) & 1) ? ((shiftedOut >> 15) & 1) != 0 : doubleBefore;
  const uint32_t fromBefore = doubleBefore ? ~(known << 1) : 0u;
  return ((shiftedOut << 1) | fromBefore) & 0xFFFF;
}

// How far the vector walk may go: the position from which the rest of the input is sure to
// give at least 24 more units. Shift codes give none and ESC may start a designator that gives
// none, but every other byte belongs to a character of at most two bytes; 64 such bytes after
// the limit, less four for every ESC met, leave room for the scratch of the last block.
inline const uint8_t* scratchLimit(const uint8_t* in, const uint8_t* end) {
  int32_t certain = 0;
  const uint8_t* q = end;
  while (q > in && certain < 64) {
    --q;
    const uint8_t b = *q;
    certain += (b == 0x0E || b == 0x0F) ? 0 : (b == 0x1B ? -4 : 1);
  }
  return certain >= 64 ? q : in;
}

// Decodes from `p` (a character start, in the mode `doubleByte`) in blocks of 16 bytes while
// each block ends before `limit` (from scratchLimit) and returns the position of the next
// character; `doubleByte` follows the mode. `decodeOne(p, out, doubleByte)` decodes one step
// exactly (a character or a shift code or a designator) and returns the position after it.
// Every unit past the returned output position is scratch.
template <typename DecodeOne>
__attribute__((target("ssse3,bmi2"))) const uint8_t* decodeBlocks(const uint8_t* p, const uint8_t* limit,
                                                                  char16_t*& out, bool& doubleByte,
                                                                  DecodeOne decodeOne) {
  using cjk_blocks::keepLanes;
  using cjk_blocks::kLaneCompactions;
  const __m128i zero = _mm_setzero_si128();
  const __m128i minusOne = _mm_set1_epi16(-1);
  const __m128i cellCount = _mm_set1_epi16(kUhcTableCells);
  alignas(16) int16_t positions[24] = {};  // as in cjk_blocks::decodeBlocks

  while (limit - p >= 17) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const uint32_t shiftOuts = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(0x0E))));
    const uint32_t shiftIns = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(0x0F))));
    const uint32_t escapes = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(0x1B))));
    const uint32_t shifts = shiftOuts | shiftIns;
    bool doubleAfter;
    const uint32_t doubleMode = doubleByteModeBefore(shiftOuts, shiftIns, doubleByte, doubleAfter);
    // In double-byte mode every byte that is no shift code leads a pair.
    const uint32_t leads = doubleMode & ~shifts;
    uint32_t straddles;
    const uint32_t starts = ~cjk_blocks::trailBytes(leads, straddles) & 0xFFFF;
    // Leads 0x49-0x7E reach the Hanja table (or lie past the UHC rows): the plain walk's case.
    const uint32_t otherLeads =
        static_cast<unsigned>(_mm_movemask_epi8(cjk_blocks::bytesInRange(bytes, 0x49, 0x7E))) & leads & starts;
    if (escapes != 0 || (shifts & ~starts) != 0 || otherLeads != 0) {
      const uint8_t* const blockEnd = p + 16;
      while (p < blockEnd) {
        p = decodeOne(p, out, doubleByte);
      }
      continue;
    }

    // Pairs move both bytes up by 0x80: lead 0x01-0x48 is UHC row 0x81-0xC8, and the trail
    // position is t + 0x80 - 0x41. Leads 0x00 and from 0x80 up lie outside every table.
    const __m128i low8 = _mm_unpacklo_epi8(bytes, zero);
    const __m128i high8 = _mm_unpackhi_epi8(bytes, zero);
    const __m128i trails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
    const auto positionsOf = [&](__m128i lead16, __m128i trail16) __attribute__((always_inline)) {
      return _mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(lead16, _mm_set1_epi16(0x01)), _mm_set1_epi16(kUhcCellsPerRow)),
                           _mm_add_epi16(trail16, _mm_set1_epi16(0x80 - kUhcTrailFirst)));
    };
    const __m128i lowPositions = positionsOf(low8, _mm_unpacklo_epi8(trails, zero));
    const __m128i highPositions = positionsOf(high8, _mm_unpackhi_epi8(trails, zero));
    const auto inTable = [&](__m128i position) __attribute__((always_inline)) {
      return _mm_and_si128(_mm_cmpgt_epi16(position, minusOne), _mm_cmplt_epi16(position, cellCount));
    };
    // Lead lanes as 16-bit masks, from the lead bits.
    const __m128i leadBits = _mm_set1_epi16(static_cast<int16_t>(leads));
    const __m128i lowBit = _mm_setr_epi16(1, 2, 4, 8, 16, 32, 64, 128);
    const __m128i highBit = _mm_setr_epi16(256, 512, 1024, 2048, 4096, 8192, 16384, static_cast<int16_t>(-32768));
    const __m128i lowLeads = _mm_cmpeq_epi16(_mm_and_si128(leadBits, lowBit), lowBit);
    const __m128i highLeads = _mm_cmpeq_epi16(_mm_and_si128(leadBits, highBit), highBit);
    const __m128i uhcLeads = cjk_blocks::bytesInRange(bytes, 0x01, 0x48);
    const __m128i lowLookups =
        _mm_and_si128(_mm_and_si128(lowLeads, _mm_unpacklo_epi8(uhcLeads, uhcLeads)), inTable(lowPositions));
    const __m128i highLookups =
        _mm_and_si128(_mm_and_si128(highLeads, _mm_unpackhi_epi8(uhcLeads, uhcLeads)), inTable(highPositions));
    const __m128i lowUnits = _mm_or_si128(low8, _mm_andnot_si128(lowLookups, lowLeads));
    const __m128i highUnits = _mm_or_si128(high8, _mm_andnot_si128(highLookups, highLeads));

    // Keep the lanes of the characters (shift codes give nothing), in order.
    const uint32_t characters = starts & ~shifts;
    const unsigned lowKept = characters & 0xFF;
    const unsigned highKept = characters >> 8;
    const int lowCount = kLaneCompactions[lowKept].count;
    const int count = lowCount + kLaneCompactions[highKept].count;
    char16_t* const blockOut = out;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), keepLanes(lowUnits, lowKept));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + lowCount), keepLanes(highUnits, highKept));
    _mm_store_si128(reinterpret_cast<__m128i*>(positions), keepLanes(lowPositions, lowKept));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(positions + lowCount), keepLanes(highPositions, highKept));
    out += count;
    const unsigned lookupLanes = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(lowLookups, highLookups)));
    uint32_t lookups = _pext_u32(lookupLanes, characters) | 0xFF0000u;
    for (int i = 0; i < 8; ++i) {
      const int slot = std::countr_zero(lookups);
      lookups &= lookups - 1;
      blockOut[slot] = kUhcTable[positions[slot]];
    }
    doubleByte = doubleAfter;
    p += 16 + straddles;
  }
  return p;
}

}  // namespace iso2022kr_blocks

#endif
