// Fuzzes the Palm DOC reader with whole files, opened as the viewer opens them with the two
// Palm DOC encodings, and the decompressor with bare command streams, whose output must equal
// a plain command-at-a-time reading of the stream byte for byte.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "convert/decode_text.h"
#include "palmdoc/palmdoc.h"

namespace {

constexpr uint32_t kPalmDocJapanese = 18;
constexpr uint32_t kPalmDocWestern = 19;

// The viewer's text must end with a zero unit inside the buffer's capacity + 1 units.
void requireZeroTerminated(const WideBuffer& text) {
  if (text.data == nullptr) return;
  for (uint32_t i = 0; i <= text.capacity; ++i)
    if (text.data[i] == 0) return;
  std::abort();
}

// The input as a whole file: loaded into a ByteBuffer with its zero byte, a WideBuffer of the
// file's size as after a load, then the decode step (header test, palmDocTextSize, growing the
// WideBuffer, decoding) for each Palm DOC encoding.
void decodeAsFile(const uint8_t* data, size_t size) {
  ByteBuffer bytes;
  if (!bytes.ensureCapacity(static_cast<uint32_t>(size))) return;
  std::memcpy(bytes.data, data, size);
  bytes.data[size] = 0;
  for (uint32_t encoding : {kPalmDocJapanese, kPalmDocWestern}) {
    WideBuffer text;
    if (!text.ensureCapacity(static_cast<uint32_t>(size) + 1)) return;
    text.data[0] = 0;
    decodeText(encoding, bytes, static_cast<int32_t>(size), text);
    requireZeroTerminated(text);
  }
}

// The reference reading: one command at a time, one byte at a time, every bound checked where
// it is met. Stops at an end command, at the end of the input, at a command whose operand is cut
// off, at a back-reference of distance 0 or before the output's start, and when the output
// (`room` bytes) is full; whatever was produced before stays.
std::vector<uint8_t> plainDecompress(const uint8_t* in, size_t n, size_t room) {
  std::vector<uint8_t> out;
  size_t i = 0;
  const auto put = [&](uint8_t byte) {
    if (out.size() >= room) return false;
    out.push_back(byte);
    return true;
  };
  while (i < n) {
    const unsigned m = in[i++];
    if (m == 0x00) break;
    if (m <= 0x08) {
      unsigned copied = 0;
      while (copied < m && i < n && put(in[i])) {
        ++i;
        ++copied;
      }
      if (copied < m) break;
    } else if (m <= 0x7F) {
      if (!put(static_cast<uint8_t>(m))) break;
    } else if (m <= 0xBF) {
      if (i >= n) break;
      const unsigned v = ((m << 8) | in[i++]) & 0x3FFF;
      const size_t distance = v >> 3;
      const size_t length = (v & 7) + 3;
      if (distance == 0 || distance > out.size()) break;
      size_t copied = 0;
      while (copied < length && put(out[out.size() - distance])) ++copied;
      if (copied < length) break;
    } else {
      if (!put(' ') || !put(static_cast<uint8_t>(m ^ 0x80))) break;
    }
  }
  return out;
}

// The input as a bare compressed stream into a scratch area whose size the first byte picks, so
// that both full and cut-short outputs are reached; the byte after the output must be zero.
void decompressAsStream(const uint8_t* data, size_t size) {
  if (size == 0) return;
  const size_t scratchSize = size_t{data[0]} * 16;
  std::vector<uint8_t> scratch(scratchSize, 0xEE);
  const int32_t count = decompressPalmDoc(data + 1, data + size, scratch.data(), scratchSize);
  if (scratchSize == 0) {
    if (count != 0) std::abort();
    return;
  }
  if (count < 0 || static_cast<size_t>(count) >= scratchSize || scratch[count] != 0) std::abort();
  const std::vector<uint8_t> expected = plainDecompress(data + 1, size - 1, scratchSize - 1);
  if (expected.size() != static_cast<size_t>(count) || !std::equal(expected.begin(), expected.end(), scratch.begin())) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > (1u << 24)) return 0;
  decodeAsFile(data, size);
  decompressAsStream(data, size);
  return 0;
}
