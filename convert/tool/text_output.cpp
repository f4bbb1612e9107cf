// UTF-16 to UTF-8 (or to little-endian bytes) through a fixed staging buffer.
#include "convert/tool/text_output.h"

#include <cstdint>
#include <memory>

namespace {

constexpr size_t kStagingBytes = 1 << 16;
constexpr char32_t kReplacementCharacter = 0xFFFD;

// Collects encoded bytes and hands them to the stream in large writes.
class StagedWriter {
 public:
  explicit StagedWriter(std::FILE* stream) : stream_(stream) {}

  void put(uint8_t byte) {
    if (used_ == kStagingBytes) flush();
    staging_[used_++] = byte;
  }
  void putCodePoint(char32_t c) {
    if (c < 0x80) {
      put(static_cast<uint8_t>(c));
    } else if (c < 0x800) {
      put(static_cast<uint8_t>(0xC0 | (c >> 6)));
      put(static_cast<uint8_t>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      put(static_cast<uint8_t>(0xE0 | (c >> 12)));
      put(static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F)));
      put(static_cast<uint8_t>(0x80 | (c & 0x3F)));
    } else {
      put(static_cast<uint8_t>(0xF0 | (c >> 18)));
      put(static_cast<uint8_t>(0x80 | ((c >> 12) & 0x3F)));
      put(static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F)));
      put(static_cast<uint8_t>(0x80 | (c & 0x3F)));
    }
  }
  // Writes what is staged; returns false if the stream has failed at any point.
  bool flush() {
    if (used_ > 0 && std::fwrite(staging_, 1, used_, stream_) != used_) failed_ = true;
    used_ = 0;
    return !failed_;
  }

 private:
  std::FILE* stream_;               // not owned: where the bytes go
  uint8_t staging_[kStagingBytes];  // bytes not yet written
  size_t used_ = 0;                 // bytes of staging_ in use
  bool failed_ = false;             // a write to the stream fell short
};

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

bool writeUtf8(std::FILE* stream, const char16_t* text, size_t count) {
  auto writer = std::make_unique<StagedWriter>(stream);
  for (size_t i = 0; i < count; ++i) {
    const char16_t unit = text[i];
    if (isHighSurrogate(unit) && i + 1 < count && isLowSurrogate(text[i + 1])) {
      writer->putCodePoint(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
      writer->putCodePoint(kReplacementCharacter);
    } else {
      writer->putCodePoint(unit);
    }
  }
  return writer->flush() && std::fflush(stream) == 0;
}

bool writeUtf16LittleEndian(std::FILE* stream, const char16_t* text, size_t count) {
  auto writer = std::make_unique<StagedWriter>(stream);
  for (size_t i = 0; i < count; ++i) {
    writer->put(static_cast<uint8_t>(text[i] & 0xFF));
    writer->put(static_cast<uint8_t>(text[i] >> 8));
  }
  return writer->flush() && std::fflush(stream) == 0;
}
