// The JIS X 0208 table shared by the Japanese decoders: one UTF-16 unit per cell, 94 cells a
// row, from row 1 cell 1 (JIS 0x2121) to row 84 cell 6 (JIS 0x7426, where JIS X 0208 ends).
// The contents are generated (jis_table.cpp, by tools/gen_jis_table.py).
#pragma once

#include <cstdint>

inline constexpr int32_t kJisCellsPerRow = 94;
inline constexpr int32_t kJisTableCells = 83 * kJisCellsPerRow + 6;  // 7808
inline constexpr char16_t kJisNoCharacter = 0xFFFF;                  // a cell without a character

// Code page 932's mapping of JIS X 0208, without its NEC row 13; 0xFFFF where there is nothing.
extern const char16_t kJisTable[kJisTableCells];

// The cell at `position` ((row - 1) * 94 + (cell - 1)). The decoders compute positions from
// untested bytes, so positions before the first or after the last cell give 0xFFFF instead of
// reading outside the table.
inline char16_t jisCell(int32_t position) {
  return static_cast<uint32_t>(position) < static_cast<uint32_t>(kJisTableCells) ? kJisTable[position]
                                                                                  : kJisNoCharacter;
}
