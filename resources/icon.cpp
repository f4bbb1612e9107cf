// The program icon (1000): a page with lines of text under a magnifying lens, drawn once into
// a 32 × 32 ARGB image when the table is first used.
#include <array>
#include <iterator>
#include <cstdint>

#include "resources/resource_ids.h"
#include "resources/resource_tables.h"

namespace {

constexpr int kSize = 32;

constexpr std::array<uint32_t, kSize * kSize> drawIcon() {
  std::array<uint32_t, kSize * kSize> px{};
  const uint32_t kPaper = 0xFFFFFFFF, kEdge = 0xFF30557F, kInk = 0xFF3A3A3A, kLens = 0xFF1E6FD9;
  for (int y = 2; y < 30; ++y) {
    for (int x = 5; x < 25; ++x) {
      const bool edge = (y == 2 || y == 29 || x == 5 || x == 24);
      px[y * kSize + x] = edge ? kEdge : kPaper;
    }
  }
  for (int line = 0; line < 6; ++line) {  // text lines on the page
    const int y = 7 + line * 3;
    for (int x = 8; x < (line % 2 ? 18 : 21); ++x) px[y * kSize + x] = kInk;
  }
  for (int y = 0; y < kSize; ++y) {  // a lens ring centred at (21, 20) and its handle
    for (int x = 0; x < kSize; ++x) {
      const int dx = x - 21, dy = y - 20, d2 = dx * dx + dy * dy;
      if (d2 >= 25 && d2 <= 42) px[y * kSize + x] = kLens;
      if (x >= 25 && x <= 30 && y >= 24 && y <= 30 && (x - y >= -1 && x - y <= 1)) px[y * kSize + x] = kLens;
    }
  }
  return px;
}

constexpr auto kIconPixels = drawIcon();

}  // namespace

const platform::IconResource kIcons[] = {
    {res::kIconMain, kSize, kSize, kIconPixels.data()},
};
const size_t kIconCount = std::size(kIcons);
