// Fuzzes quillscope-decode's decoding in pieces: the first byte picks the EncodingIndex, the
// second the window; the rest is the file. Decoded in pieces (a Palm DOC book: converted in
// pieces), it must give exactly the UTF-8 of the whole decode.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "convert/decode_text.h"
#include "convert/tool/piece_decode.h"
#include "convert/tool/text_output.h"

namespace {

// Collects what a TextOutput writes.
struct Capture {
  char* bytes = nullptr;                               // owned by the stream, then by us
  size_t size = 0;                                     // bytes written
  std::FILE* stream = open_memstream(&bytes, &size);  // owned: closed by take()
  std::string take() {
    std::fclose(stream);
    std::string result(bytes, size);
    std::free(bytes);
    return result;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > (1u << 18)) return 0;
  const uint32_t encoding = data[0] % 20;
  const size_t window = 16 + data[1];
  data += 2;
  size -= 2;

  ByteBuffer bytes;
  WideBuffer text;
  const auto capacity = static_cast<uint32_t>(size == 0 ? 1 : size);
  if (!bytes.ensureCapacity(capacity) || !text.ensureCapacity(capacity)) return 0;
  if (size > 0) std::memcpy(bytes.data, data, size);
  bytes.data[size] = 0;
  const DecodeOutcome outcome = decodeText(encoding, bytes, static_cast<int32_t>(size), text);
  Capture whole;
  TextOutput wholeOutput(whole.stream, true);
  wholeOutput.put(text.data, outcome.decoded ? outcome.units : 0);
  wholeOutput.finish();
  const std::string expected = whole.take();

  Capture pieces;
  TextOutput piecesOutput(pieces.stream, true);
  PieceResult result = decodeBookInPieces(bytes.data, static_cast<int32_t>(size), encoding, window, piecesOutput);
  if (result == PieceResult::kNotCuttable) {
    const int fd = memfd_create("pieces", 0);
    if (fd < 0 || write(fd, data, size) != static_cast<ssize_t>(size)) std::abort();
    result = decodeInPieces(fd, size, encoding, window, piecesOutput);
    close(fd);
  }
  piecesOutput.finish();
  const std::string got = pieces.take();
  if (result == PieceResult::kDone && got != expected) std::abort();
  if (result != PieceResult::kDone && result != PieceResult::kNotCuttable) std::abort();
  return 0;
}
