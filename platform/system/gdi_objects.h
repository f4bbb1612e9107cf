// Inside the layer: the GDI objects behind HBRUSH and HFONT handles.
#pragma once

#include <QColor>
#include <optional>

#include "platform/system/windows.h"

namespace platform::gdi {

// The colour of a brush handle (the stock brushes), or nothing for an unknown or hollow brush.
std::optional<QColor> brushColor(HBRUSH brush);
// The logical font behind a font handle (stock fonts included), or nullptr.
const LOGFONT* findLogFont(HGDIOBJ object);
// The description of a stock font (SYSTEM_FONT), or nullptr for any other object.
const LOGFONT* stockLogFont(HGDIOBJ object);
// Frees a font created by CreateFontIndirect; false when `object` is not one.
bool deleteFont(HGDIOBJ object);
// Whether `object` is one of the stock objects (which DeleteObject leaves alone).
bool isStockObject(HGDIOBJ object);
// How many fonts the program created and has not deleted (for tests that check for leaks).
size_t liveFontCount();

}  // namespace platform::gdi
