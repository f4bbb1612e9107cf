#include "palmdoc/palmdoc_layout.h"

#include <algorithm>

namespace {

uint32_t readBigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

// The text is shown as UTF-16 with room for every LF to become CR LF, and the unit count must
// stay a positive 32-bit number: a text is cut at 1 GiB.
constexpr uint64_t kMaxTextBytes = 0x3FFFFFFF;

}  // namespace

std::optional<PalmDocLayout> readPalmDocLayout(const uint8_t* file, int32_t byteCount) {
  if (file == nullptr || byteCount < static_cast<int32_t>(kHeaderFieldsEnd)) return std::nullopt;
  const uint64_t size = static_cast<uint64_t>(byteCount);

  const uint64_t docHeader = readBigEndian32(file + kRecord0OffsetField);
  const uint64_t textOffset = readBigEndian32(file + kRecord1OffsetField);
  // A record that starts inside the header is damage (following it would show the header as
  // text, or read record 0 from the record list); so is one that starts past the end.
  if (docHeader < kFirstRecordByte || docHeader + kDocHeaderBytesRead > size) return std::nullopt;
  if (textOffset < kFirstRecordByte || textOffset > size) return std::nullopt;

  PalmDocLayout layout;
  layout.textOffset = static_cast<uint32_t>(textOffset);
  layout.textBytes = static_cast<uint32_t>(size - textOffset);
  // Only the low byte of the big-endian compression field is examined: 0x0101 reads as stored.
  switch (file[docHeader + 1]) {
    case 1:
      layout.compression = PalmDocCompression::Stored;
      layout.textLimit = static_cast<uint32_t>(std::min<uint64_t>(layout.textBytes, kMaxTextBytes));
      break;
    case 2: {
      layout.compression = PalmDocCompression::Compressed;
      const uint64_t announced = readBigEndian32(file + docHeader + 4);
      const uint64_t possible = kPalmDocMaxExpansion * layout.textBytes;
      layout.textLimit = static_cast<uint32_t>(std::min({2 * announced, possible, kMaxTextBytes}));
      break;
    }
    default:
      layout.compression = PalmDocCompression::Unsupported;
      break;
  }
  return layout;
}
