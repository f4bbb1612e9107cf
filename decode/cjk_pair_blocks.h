// The vector walk of the EUC-style double-byte decoders (EUC-KR, Big5, GB2312) on processors
// with SSSE3 and BMI2: 16 bytes at a time, without a branch per character. Private to korean.cpp and
// chinese.cpp, which fall back to their plain walks elsewhere and near the end of the input.
//
// The plain walk decides after every character whether the next one is a pair or a single
// byte. In Korean text, where words of one to four syllables alternate with spaces, the
// processor guesses that wrong about once per word, and each wrong guess costs more than
// decoding the word. The walk here finds where characters start with bit arithmetic instead:
// a lead byte claims the byte after it, and in a run of lead-range bytes that begins at a
// character start every other byte is a lead, the same pairing as backslashes in an escaped
// string. From the start mask of a 16-byte block it widens all bytes, drops the trail bytes
// with a byte shuffle, and then puts the table cells of the pairs in their places (found with
// one bit gather, pext, of the lookup lanes at the start bits).
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "decode/cpu_features.h"

#if defined(__x86_64__) || defined(__i386__)
#define QUILL_CJK_PAIR_BLOCKS 1
#include <immintrin.h>
#endif

namespace cjk_blocks {

// Input bytes that must remain for a block: a block reads 17 bytes and writes up to 24 units
// past its output (scratch that later output overwrites); the 47 or more bytes that remain
// after it give at least 24 more units, the closing zero included, before the decoder returns.
inline constexpr std::ptrdiff_t kBlockMargin = 64;

// The layout of one pair table, as the decoders' table headers give it.
struct PairTable {
  int32_t leadFirst;        // first lead byte of the table
  int32_t leadLast;         // last lead byte the decoder sends to the table
  int32_t trailFirst;       // trail byte of a row's first cell
  int32_t cellsPerRow;      // cells per row
  int32_t cellCount;        // cells in the table
  const char16_t* cells;    // the table (static storage, not owned)
  int32_t otherLeadFirst;   // a second lead range decoded by the plain walk (EUC-KR's Hanja),
  int32_t otherLeadLast;    //   or an empty range (first > last)
};

#if defined(QUILL_CJK_PAIR_BLOCKS)

// Whether this processor runs decodeBlocks well: it needs SSSE3 and BMI2, and is not used on
// AMD's family 17h (Zen and Zen 2), whose BMI2 bit gathering (pext) is slow microcode there.
inline bool available() {
  const CpuFeatures& cpu = cpuFeatures();
  return cpu.ssse3 && cpu.bmi2 && !cpu.slowBmi2;
}

// For each 8-bit mask of lanes to keep: the byte shuffle that moves the kept 16-bit lanes of a
// vector to its front, in order, and how many there are.
struct alignas(16) LaneCompaction {
  uint8_t shuffle[16];  // source byte for each destination byte; 0x80 clears it
  uint8_t count;        // lanes kept
};
constexpr std::array<LaneCompaction, 256> makeLaneCompactions() {
  std::array<LaneCompaction, 256> table{};
  for (int mask = 0; mask < 256; ++mask) {
    int kept = 0;
    for (int lane = 0; lane < 8; ++lane) {
      if ((mask >> lane) & 1) {
        table[mask].shuffle[2 * kept] = static_cast<uint8_t>(2 * lane);
        table[mask].shuffle[2 * kept + 1] = static_cast<uint8_t>(2 * lane + 1);
        ++kept;
      }
    }
    for (int rest = kept; rest < 8; ++rest) {
      table[mask].shuffle[2 * rest] = 0x80;
      table[mask].shuffle[2 * rest + 1] = 0x80;
    }
    table[mask].count = static_cast<uint8_t>(kept);
  }
  return table;
}
inline constexpr std::array<LaneCompaction, 256> kLaneCompactions = makeLaneCompactions();

// The lanes of 16 bytes from `first` to `last` (unsigned), as a byte mask vector.
__attribute__((target("ssse3"))) inline __m128i bytesInRange(__m128i bytes, int32_t first, int32_t last) {
  const __m128i offset = _mm_sub_epi8(bytes, _mm_set1_epi8(static_cast<char>(first)));
  const __m128i beyond = _mm_subs_epu8(offset, _mm_set1_epi8(static_cast<char>(last - first)));
  return _mm_cmpeq_epi8(beyond, _mm_setzero_si128());
}

// Which of 16 bytes are trail bytes, for a block that starts at a character start: `leads`
// has a bit for every byte in a lead range. Sets `straddles` when the last byte is a lead
// whose trail is the first byte of the next block.
inline uint32_t trailBytes(uint32_t leads, uint32_t& straddles) {
  constexpr uint32_t kEven = 0x5555;
  const uint32_t followsLead = leads << 1;
  // Runs of leads that start on an odd bit: adding them to the leads carries the run's length
  // parity into the bit after it, which flips which bits of the run are trails.
  const uint32_t oddRunStarts = leads & ~kEven & ~followsLead;
  const uint32_t sum = oddRunStarts + leads;
  straddles = (sum >> 16) & 1;
  return (kEven ^ (sum << 1)) & followsLead & 0xFFFF;
}

// The lanes of `lanes` that `mask` (8 bits) names, moved to the front in order; the rest 0.
__attribute__((target("ssse3"))) inline __m128i keepLanes(__m128i lanes, unsigned mask) {
  return _mm_shuffle_epi8(lanes, _mm_load_si128(reinterpret_cast<const __m128i*>(kLaneCompactions[mask].shuffle)));
}

// Decodes from `p` (a character start) in blocks of 16 bytes while at least kBlockMargin bytes
// remain, and returns the position of the next character. `decodeOne(p, out)` decodes one
// character exactly and returns the position after it; it serves the blocks that hold a lead
// of the other range or a single byte from 0x80 up. Every unit past the returned output
// position is scratch.
template <typename DecodeOne>
__attribute__((target("ssse3,bmi2"))) const uint8_t* decodeBlocks(const PairTable& table, const uint8_t* p,
                                                             const uint8_t* end, char16_t*& out,
                                                             DecodeOne decodeOne) {
  // Copies, so that the vector stores below (which may alias anything) leave them in registers.
  const char16_t* const cells = table.cells;
  const int32_t leadRangeFirst = table.leadFirst;
  const int32_t leadRangeLast = table.leadLast;
  const int32_t otherFirst = table.otherLeadFirst;
  const int32_t otherLast = table.otherLeadLast;
  const __m128i zero = _mm_setzero_si128();
  const __m128i leadFirst = _mm_set1_epi16(static_cast<int16_t>(table.leadFirst));
  const __m128i trailFirst = _mm_set1_epi16(static_cast<int16_t>(table.trailFirst));
  const __m128i cellsPerRow = _mm_set1_epi16(static_cast<int16_t>(table.cellsPerRow));
  const __m128i cellCount = _mm_set1_epi16(static_cast<int16_t>(table.cellCount));
  const __m128i minusOne = _mm_set1_epi16(-1);
  // Table positions of the block's characters in output order (used for its pairs only);
  // 16 to 23 stay 0 for the lookups that run past the last pair.
  alignas(16) int16_t positions[24] = {};

  while (end - p >= kBlockMargin) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(bytes));
    const __m128i low8 = _mm_unpacklo_epi8(bytes, zero);
    const __m128i high8 = _mm_unpackhi_epi8(bytes, zero);
    if ((high & 0xFF) == 0) {
      // At least eight ASCII bytes: widen the run (up to 16 bytes), scratch after it.
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), low8);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), high8);
      const int run = std::countr_zero(high | 0x10000u);
      out += run;
      p += run;
      continue;
    }
    const __m128i leadLanes = bytesInRange(bytes, leadRangeFirst, leadRangeLast);
    const unsigned leads = static_cast<unsigned>(_mm_movemask_epi8(leadLanes));
    const unsigned otherLeads =
        otherFirst <= otherLast ? static_cast<unsigned>(_mm_movemask_epi8(bytesInRange(bytes, otherFirst, otherLast)))
                                : 0u;
    uint32_t straddles;
    const uint32_t starts = ~trailBytes(leads | otherLeads, straddles) & 0xFFFF;
    if ((starts & high & ~leads) != 0) {
      // A character this block cannot take: decode the block's characters one by one.
      const uint8_t* const blockEnd = p + 16;
      while (p < blockEnd) {
        p = decodeOne(p, out);
      }
      continue;
    }

    // Table positions of the lead lanes: (lead - first lead) * cells per row + (trail - first
    // trail). A position outside the table gives no character: its unit is 0xFFFF at once.
    const __m128i trails = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
    const auto positionsOf = [&](__m128i lead16, __m128i trail16) __attribute__((always_inline)) {
      return _mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(lead16, leadFirst), cellsPerRow),
                           _mm_sub_epi16(trail16, trailFirst));
    };
    const __m128i lowPositions = positionsOf(low8, _mm_unpacklo_epi8(trails, zero));
    const __m128i highPositions = positionsOf(high8, _mm_unpackhi_epi8(trails, zero));
    const auto inTable = [&](__m128i position) __attribute__((always_inline)) {
      return _mm_and_si128(_mm_cmpgt_epi16(position, minusOne), _mm_cmplt_epi16(position, cellCount));
    };
    const __m128i lowLeads = _mm_unpacklo_epi8(leadLanes, leadLanes);
    const __m128i highLeads = _mm_unpackhi_epi8(leadLanes, leadLanes);
    const __m128i lowLookups = _mm_and_si128(lowLeads, inTable(lowPositions));
    const __m128i highLookups = _mm_and_si128(highLeads, inTable(highPositions));
    // Units: the byte itself for single bytes, 0xFFFF for pairs outside the table; the pairs
    // to look up are filled in below.
    const __m128i lowUnits = _mm_or_si128(low8, _mm_andnot_si128(lowLookups, lowLeads));
    const __m128i highUnits = _mm_or_si128(high8, _mm_andnot_si128(highLookups, highLeads));

    // Keep the lanes where characters start, in order: units to the output, positions beside.
    const unsigned lowStarts = starts & 0xFF;
    const unsigned highStarts = starts >> 8;
    const int lowCount = kLaneCompactions[lowStarts].count;
    const int count = lowCount + kLaneCompactions[highStarts].count;
    char16_t* const blockOut = out;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), keepLanes(lowUnits, lowStarts));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + lowCount), keepLanes(highUnits, highStarts));
    _mm_store_si128(reinterpret_cast<__m128i*>(positions), keepLanes(lowPositions, lowStarts));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(positions + lowCount), keepLanes(highPositions, highStarts));
    out += count;

    // The output slots that need a table cell: the bits of the lookup lanes gathered at the
    // start bits, in order. A block has at most eight pairs; a fixed count of lookups keeps the
    // loop free of a guessed exit. Slots 16 to 23 take the surplus (scratch past the output,
    // position 0).
    const unsigned lookupLanes = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(lowLookups, highLookups)));
    uint32_t lookups = _pext_u32(lookupLanes, starts) | 0xFF0000u;
    for (int i = 0; i < 8; ++i) {
      const int slot = std::countr_zero(lookups);
      lookups &= lookups - 1;
      blockOut[slot] = cells[positions[slot]];
    }
    p += 16 + straddles;
  }
  return p;
}

#endif

}  // namespace cjk_blocks
