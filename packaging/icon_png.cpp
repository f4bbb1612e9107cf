// Writes the program's icon (resource 1000) as PNG files for the desktop's hicolor icon theme:
// OUTDIR/NxN/apps/quillscope.png at 1, 2, 4 and 8 times its size, each pixel repeated, so the
// installed icon is the very picture the program draws. A build step, never installed.
//
// The PNG is written here without a library: 8-bit RGBA rows under filter 0, in a zlib stream
// of stored (uncompressed) blocks; the icons are small.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "resources/resource_tables.h"

namespace {

std::uint32_t crc32(const std::vector<std::uint8_t>& bytes, std::size_t from) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = from; i < bytes.size(); ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void putBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void putChunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data) {
  putBigEndian32(png, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  putBigEndian32(png, crc32(png, typeAt));
}

// A zlib stream of stored blocks holding `raw`.
std::vector<std::uint8_t> storedZlib(const std::vector<std::uint8_t>& raw) {
  std::vector<std::uint8_t> out = {0x78, 0x01};
  std::size_t at = 0;
  do {
    const std::size_t length = std::min<std::size_t>(raw.size() - at, 65535);
    const bool last = at + length == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<std::uint8_t>(length & 0xFF));
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.push_back(static_cast<std::uint8_t>(~length & 0xFF));
    out.push_back(static_cast<std::uint8_t>((~length >> 8) & 0xFF));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
               raw.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length;
  } while (at < raw.size());
  std::uint32_t a = 1, b = 0;  // Adler-32 of the raw bytes
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  putBigEndian32(out, (b << 16) | a);
  return out;
}

std::vector<std::uint8_t> pngOf(const platform::IconResource& icon, int scale) {
  const int width = icon.width * scale, height = icon.height * scale;
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(height) * (1 + 4 * static_cast<std::size_t>(width)));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    for (int x = 0; x < width; ++x) {
      const std::uint32_t argb = icon.pixels[(y / scale) * icon.width + x / scale];
      raw.insert(raw.end(), {static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8),
                             static_cast<std::uint8_t>(argb), static_cast<std::uint8_t>(argb >> 24)});
    }
  }
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  putBigEndian32(header, static_cast<std::uint32_t>(width));
  putBigEndian32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, filter set 0, no interlace
  putChunk(png, "IHDR", header);
  putChunk(png, "IDAT", storedZlib(raw));
  putChunk(png, "IEND", {});
  return png;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n", argc > 0 ? argv[0] : "quillscope-icon-png");
    return 2;
  }
  const platform::IconResource* icon = nullptr;
  for (std::size_t i = 0; i < kIconCount; ++i) {
    if (kIcons[i].id == res::kIconMain) icon = &kIcons[i];
  }
  if (icon == nullptr) return 1;
  for (int scale : {1, 2, 4, 8}) {
    const std::string size = std::to_string(icon->width * scale) + "x" + std::to_string(icon->height * scale);
    const std::filesystem::path folder = std::filesystem::path(argv[1]) / size / "apps";
    std::filesystem::create_directories(folder);
    const std::vector<std::uint8_t> png = pngOf(*icon, scale);
    std::ofstream file(folder / "quillscope.png", std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!file) return 1;
  }
  return 0;
}
