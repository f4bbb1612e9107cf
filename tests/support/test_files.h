// Where the tests find the files they read, reading them whole, and reading integers out of
// bytes. Every test program is compiled with QUILL_TEST_DATA_DIR (tests/data, the files made by
// other programs) and QUILL_TEST_SOURCE_DIR (tests/).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace test_files {

// tests/data: files made by other programs (its README says which made what).
inline std::filesystem::path dataDir() { return QUILL_TEST_DATA_DIR; }

// The decoders' reference files, written by the table generators in tools/.
inline std::filesystem::path referenceDir() {
  return std::filesystem::path(QUILL_TEST_SOURCE_DIR) / "decode" / "reference";
}

// The whole file as bytes; empty when it cannot be read.
inline std::string readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The 32-bit big-endian value at `bytes` (four bytes must be readable).
inline uint32_t bigEndian32(const uint8_t* bytes) {
  return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
}

// The 32-bit little-endian signed value at `offset` of `bytes` (the settings file's integers).
inline int32_t littleEndian32At(const std::string& bytes, size_t offset) {
  uint32_t value = 0;
  for (int k = 3; k >= 0; --k) value = (value << 8) | static_cast<uint8_t>(bytes.at(offset + static_cast<size_t>(k)));
  int32_t result = 0;
  std::memcpy(&result, &value, sizeof result);
  return result;
}

}  // namespace test_files
