// Stock objects, display contexts and the object functions that work on every kind of GDI
// object (DeleteObject, GetObject). Fonts themselves live in gdi_fonts.cpp.
#include <QApplication>
#include <QFont>
#include <array>
#include <cstring>
#include <set>

#include "platform/system/gdi_objects.h"
#include "platform/system/handle_allocator.h"
#include "platform/system/window_host.h"

namespace platform::gdi {
namespace {

struct StockBrush {
  int index;       // GetStockObject index
  QColor colour;   // its colour (invalid: the hollow brush)
};

constexpr int kNullBrush = 5;
constexpr int kDefaultGuiFont = 17;

const std::array<StockBrush, 6>& stockBrushes() {
  static const std::array<StockBrush, 6> brushes{{
      {WHITE_BRUSH, QColor(255, 255, 255)},
      {1, QColor(192, 192, 192)},
      {2, QColor(128, 128, 128)},
      {3, QColor(64, 64, 64)},
      {BLACK_BRUSH, QColor(0, 0, 0)},
      {kNullBrush, QColor()},
  }};
  return brushes;
}

struct StockTable {
  std::array<HGDIOBJ, 20> handles{};  // GetStockObject index -> handle, allocated once
  LOGFONT systemFont{};               // the stock font's description
};

StockTable& stock() {
  static StockTable table = [] {
    StockTable t;
    for (auto& handle : t.handles) handle = handles::allocateHandle<HGDIOBJ>();
    t.systemFont.lfHeight = 12;
    t.systemFont.lfWeight = 400;
    t.systemFont.lfCharSet = DEFAULT_CHARSET;
    return t;
  }();
  return table;
}

struct DcTable {
  std::set<uintptr_t> live;  // display contexts handed out by GetDC and not yet released
};

DcTable& dcs() {
  static DcTable table;
  return table;
}

}  // namespace

std::optional<QColor> brushColor(HBRUSH brush) {
  for (const auto& entry : stockBrushes()) {
    if (stock().handles[static_cast<size_t>(entry.index)] == brush) {
      if (!entry.colour.isValid()) return std::nullopt;
      return entry.colour;
    }
  }
  return std::nullopt;
}

bool isStockObject(HGDIOBJ object) {
  if (object == nullptr) return false;
  for (HGDIOBJ handle : stock().handles) {
    if (handle == object) return true;
  }
  return false;
}

const LOGFONT* stockLogFont(HGDIOBJ object) {
  if (object == stock().handles[SYSTEM_FONT] || object == stock().handles[kDefaultGuiFont]) {
    return &stock().systemFont;
  }
  return nullptr;
}

}  // namespace platform::gdi

HGDIOBJ GetStockObject(int index) {
  if (index < 0 || index >= static_cast<int>(platform::gdi::stock().handles.size())) return nullptr;
  return platform::gdi::stock().handles[static_cast<size_t>(index)];
}

BOOL DeleteObject(HGDIOBJ object) {
  if (object == nullptr) return FALSE;
  if (platform::gdi::isStockObject(object)) return TRUE;
  return platform::gdi::deleteFont(object) ? TRUE : FALSE;
}

int GetObject(HGDIOBJ object, int size, void* out) {
  const LOGFONT* font = platform::gdi::findLogFont(object);
  if (font == nullptr) return 0;
  if (out == nullptr) return static_cast<int>(sizeof(LOGFONT));
  if (size <= 0) return 0;
  const size_t count = std::min(static_cast<size_t>(size), sizeof(LOGFONT));
  std::memcpy(out, font, count);
  return static_cast<int>(count);
}

HDC GetDC(HWND /*hwnd*/) {
  const HDC dc = platform::handles::allocateHandle<HDC>();
  platform::gdi::dcs().live.insert(platform::handles::handleValue(dc));
  return dc;
}

int ReleaseDC(HWND /*hwnd*/, HDC dc) {
  return platform::gdi::dcs().live.erase(platform::handles::handleValue(dc)) != 0 ? 1 : 0;
}
