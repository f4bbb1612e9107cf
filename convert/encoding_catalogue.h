// The twenty encodings the user can choose, numbered by EncodingIndex: one row each with its
// display name, its font character set and its decoder. The View dialog lists the names, the
// viewer gives the text view the character set, the decode step runs the decoder, and
// quillscope-decode --list prints the rows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "decode/document_buffers.h"

inline constexpr int kEncodingCount = 20;
inline constexpr int kEncodingNameUnits = 30;  // each name is stored in a row of 30 units

// How much room a row's decoder needs for its text, which the decode step makes before it runs.
enum class TextRoom {
  kUnitPerByte,  // at most one unit per byte, then the ending zero unit
  kPalmDocBook,  // a Palm DOC book: the header test passes and palmDocTextSize units fit
};

// Decodes the `n` bytes at `in` (a zero byte after them is readable) into text.data, which has
// the room the row's TextRoom asks for, and ends the text with a zero unit. Returns the units
// written before that zero.
using RowDecoder = size_t (*)(WideBuffer& text, const uint8_t* in, int32_t n);

struct EncodingRow {
  char16_t name[kEncodingNameUnits];  // the display name, padded with zero units
  uint8_t charset;                    // the platform font character set of the text
  TextRoom room;                      // the room the decoder needs
  RowDecoder decode;                  // the decoder (a plain function; rows own nothing)
};

// The catalogue in EncodingIndex order; the View dialog lists it in this order, so a list
// position is the index.
extern const EncodingRow kEncodingCatalogue[kEncodingCount];

// The row of an EncodingIndex taken as unsigned, or nullptr outside 0..19.
const EncodingRow* encodingRow(uint32_t index);
// The display name of EncodingIndex i (0..19), or nullptr outside that range.
const char16_t* encodingName(int index);
// The platform font character set for an EncodingIndex taken as unsigned; 128 outside 0..19.
uint8_t charsetForEncoding(uint32_t index);
