// The two conversion tables of the Korean decoders, indexed arithmetically from the bytes.
// The contents are generated (korean_tables_uhc.cpp, korean_tables_hanja.cpp, by
// tools/gen_cjk_tables.py); this header only describes their layout.
#pragma once

#include <cstdint>

inline constexpr char16_t kKoreanNoCharacter = 0xFFFF;  // a cell, or a pair, without a character

// Code page 949, the Unified Hangul Code: every pair of a lead 0x81-0xC8 and a trail 0x41-0xFE.
// Holds the 8822 extension syllables and the KS X 1001 symbols, letters and Hangul (leads and
// trails 0xA1 and up, euro sign at 0xA2E6 and registered sign at 0xA2E7 included).
inline constexpr int32_t kUhcLeadFirst = 0x81;
inline constexpr int32_t kUhcLeadLast = 0xC8;
inline constexpr int32_t kUhcTrailFirst = 0x41;
inline constexpr int32_t kUhcCellsPerRow = 190;  // trails 0x41-0xFE
inline constexpr int32_t kUhcTableCells = (kUhcLeadLast - kUhcLeadFirst + 1) * kUhcCellsPerRow;  // 13680
extern const char16_t kUhcTable[kUhcTableCells];

// The 4888 Hanja of KS X 1001 as EUC-KR maps them: leads 0xCA-0xFD, trails 0xA1-0xFE.
inline constexpr int32_t kHanjaLeadFirst = 0xCA;
inline constexpr int32_t kHanjaLeadLast = 0xFD;
inline constexpr int32_t kHanjaTrailFirst = 0xA1;
inline constexpr int32_t kHanjaCellsPerRow = 94;  // trails 0xA1-0xFE
inline constexpr int32_t kHanjaTableCells = (kHanjaLeadLast - kHanjaLeadFirst + 1) * kHanjaCellsPerRow;  // 4888
extern const char16_t kHanjaTable[kHanjaTableCells];

// The cell a lead and a trail select: (lead - first lead) * cells per row + (trail - first
// trail). The trail byte is never tested, so a trail outside a row's range reaches a
// neighbouring cell; a position before the first or past the last cell gives no character
// instead of reading outside the table.
inline char16_t uhcCell(int32_t lead, int32_t trail) {
  const int32_t position = (lead - kUhcLeadFirst) * kUhcCellsPerRow + (trail - kUhcTrailFirst);
  return static_cast<uint32_t>(position) < static_cast<uint32_t>(kUhcTableCells) ? kUhcTable[position]
                                                                                 : kKoreanNoCharacter;
}

inline char16_t hanjaCell(int32_t lead, int32_t trail) {
  const int32_t position = (lead - kHanjaLeadFirst) * kHanjaCellsPerRow + (trail - kHanjaTrailFirst);
  return static_cast<uint32_t>(position) < static_cast<uint32_t>(kHanjaTableCells) ? kHanjaTable[position]
                                                                                   : kKoreanNoCharacter;
}
