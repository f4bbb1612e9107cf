// The two conversion tables of the Chinese decoders, indexed arithmetically from the bytes.
// The contents are generated (chinese_tables_big5.cpp, chinese_tables_gb2312.cpp, by
// tools/gen_cjk_tables.py); this header only describes their layout.
#pragma once

#include <cstdint>

inline constexpr char16_t kChineseNoCharacter = 0xFFFF;  // a cell, or a pair, without a character

// Big5 as code page 950 maps it, leads 0xA1-0xF9 with trails 0x40-0xFE (the unused trails
// 0x7F-0xA0 included), ending with the cell 0xF9D7: 88 whole rows and 152 cells of the last.
// Eleven cells hold the classic Big5 character instead of code page 950's, seven hold U+FFFD,
// the euro cell 0xA3E1 and the user-defined area 0xC6A1-0xC8FE hold 0xFFFF, and the last two
// cells hold 0 (code page 950's own extension, which starts there, is not in the table).
inline constexpr int32_t kBig5LeadFirst = 0xA1;
inline constexpr int32_t kBig5LeadLast = 0xF9;
inline constexpr int32_t kBig5TrailFirst = 0x40;
inline constexpr int32_t kBig5CellsPerRow = 191;  // trails 0x40-0xFE
inline constexpr int32_t kBig5TableCells = 88 * kBig5CellsPerRow + 152;  // 16960, up to 0xF9D7
extern const char16_t kBig5Table[kBig5TableCells];

// GB 2312 in its EUC-CN form, leads 0xA1-0xF7 with trails 0xA1-0xFE: the 7445 characters as
// code page 936 maps them (0xA1A4 U+30FB and 0xA1AA U+2015 excepted), without the cells the
// code page adds in these rows.
inline constexpr int32_t kGb2312LeadFirst = 0xA1;
inline constexpr int32_t kGb2312LeadLast = 0xF7;
inline constexpr int32_t kGb2312TrailFirst = 0xA1;
inline constexpr int32_t kGb2312CellsPerRow = 94;  // trails 0xA1-0xFE
inline constexpr int32_t kGb2312TableCells = (kGb2312LeadLast - kGb2312LeadFirst + 1) * kGb2312CellsPerRow;  // 8178
extern const char16_t kGb2312Table[kGb2312TableCells];

// The cell a lead and a trail select: (lead - first lead) * cells per row + (trail - first
// trail). The trail byte is never tested, so a trail outside a row's range reaches a
// neighbouring cell; a position before the first or past the last cell gives no character
// instead of reading outside the table.
inline char16_t big5Cell(int32_t lead, int32_t trail) {
  const int32_t position = (lead - kBig5LeadFirst) * kBig5CellsPerRow + (trail - kBig5TrailFirst);
  return static_cast<uint32_t>(position) < static_cast<uint32_t>(kBig5TableCells) ? kBig5Table[position]
                                                                                  : kChineseNoCharacter;
}

inline char16_t gb2312Cell(int32_t lead, int32_t trail) {
  const int32_t position = (lead - kGb2312LeadFirst) * kGb2312CellsPerRow + (trail - kGb2312TrailFirst);
  return static_cast<uint32_t>(position) < static_cast<uint32_t>(kGb2312TableCells) ? kGb2312Table[position]
                                                                                    : kChineseNoCharacter;
}
