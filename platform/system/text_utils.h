// Inside the layer: small helpers for the UTF-16 texts that cross the API.
#pragma once

#include <string>
#include <string_view>

#include "platform/system/windows.h"

namespace platform::text {

// The text at `text` up to its terminating zero; nullptr gives an empty text.
std::u16string fromPointer(LPCWSTR text);
// One UTF-16 unit folded to lower case the way the system's case-insensitive comparisons do
// (simple case folding of the unit; surrogate halves stay as they are).
char16_t foldUnit(char16_t unit);
std::u16string folded(std::u16string_view text);
// Compares two texts as their folded forms compare (negative, zero or positive), without making
// them: sorted lists and directory searches compare often.
int compareFolded(std::u16string_view a, std::u16string_view b);
// Copies `text` into `buffer` of `maxCount` units with its terminator; returns the units copied
// (without the terminator). Nothing is written when maxCount <= 0 or buffer is nullptr.
int copyTruncated(std::u16string_view text, LPWSTR buffer, int maxCount);

}  // namespace platform::text
