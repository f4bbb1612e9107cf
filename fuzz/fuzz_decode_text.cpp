// Fuzzes the decode step: the first four bytes pick the EncodingIndex (every catalogue row,
// the raw copy above 19), the rest is a file loaded as the viewer loads it. The text must end
// with a zero unit inside its buffer, the reported count must stop at that zero, and a shorter
// document decoded afterwards into the same buffers must not show the longer one's bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "convert/decode_text.h"

namespace {

// Loads `size` bytes as the viewer does: ByteBuffer with its zero byte, WideBuffer of the
// file's size holding an empty text.
bool load(const uint8_t* data, size_t size, ByteBuffer& bytes, WideBuffer& text) {
  const auto capacity = static_cast<uint32_t>(size == 0 ? 1 : size);
  if (!bytes.ensureCapacity(capacity) || !text.ensureCapacity(capacity)) return false;
  if (size > 0) std::memcpy(bytes.data, data, size);
  bytes.data[size] = 0;
  text.data[0] = 0;
  return true;
}

void decodeAndCheck(uint32_t encoding, const ByteBuffer& bytes, size_t size, WideBuffer& text) {
  const DecodeOutcome outcome = decodeText(encoding, bytes, static_cast<int32_t>(size), text);
  if (text.data == nullptr) std::abort();
  if (outcome.units > text.capacity || text.data[outcome.units] != 0) std::abort();
  if (!outcome.decoded && text.data[0] != 0) std::abort();  // the loaded empty text stays
  if (encoding > 19 && outcome.decoded && outcome.units != (size + 1) / 2) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4 || size > (1u << 20)) return 0;
  uint32_t selector = 0;
  std::memcpy(&selector, data, 4);
  // Mostly catalogue rows, sometimes an index outside it (20 .. 2^32 - 1).
  const uint32_t encoding = (selector & 0x80000000u) ? selector : selector % 22;
  data += 4;
  size -= 4;

  ByteBuffer bytes;
  WideBuffer text;
  if (!load(data, size, bytes, text)) return 0;
  decodeAndCheck(encoding, bytes, size, text);
  // The first half again, into the same (larger) buffers.
  const size_t half = size / 2;
  if (!load(data, half, bytes, text)) return 0;
  decodeAndCheck(encoding, bytes, half, text);
  // Plain decode too: the viewer's path without the count.
  decodeText(encoding, bytes, static_cast<int32_t>(half), text);
  return 0;
}
