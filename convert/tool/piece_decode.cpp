// Decoding in pieces: read a window of bytes, cut it where the encoding allows, decode the part
// before the cut with the catalogue row's own decoder, write its text, and carry the bytes after
// the cut over to the next window.
#include "convert/tool/piece_decode.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include "convert/encoding_catalogue.h"
#include "decode/document_buffers.h"
#include "decode/japanese.h"
#include "palmdoc/palmdoc.h"
#include "palmdoc/western_text.h"

namespace {

constexpr uint32_t kIso2022JpRow = 2;
constexpr uint32_t kUtf16Row = 5;
constexpr uint32_t kIso2022KrRow = 13;
constexpr uint32_t kPalmDocJapaneseRow = 18;
constexpr uint32_t kPalmDocWesternRow = 19;

}  // namespace

PieceCut pieceCutFor(uint32_t encoding) {
  const EncodingRow* row = encodingRow(encoding);
  if (row == nullptr || row->room != TextRoom::kUnitPerByte) return PieceCut::kNone;
  if (encoding == kIso2022JpRow || encoding == kIso2022KrRow) return PieceCut::kNone;
  return encoding == kUtf16Row ? PieceCut::kUtf16Pair : PieceCut::kAsciiRun;
}

size_t pieceEnd(PieceCut cut, const uint8_t* in, size_t available) {
  if (cut == PieceCut::kAsciiRun) {
    // Four bytes below 0x80 in a row, in[p - 3] to in[p], found from the end backwards.
    size_t run = 0;
    for (size_t p = available; p-- > 0;) {
      run = in[p] < 0x80 ? run + 1 : 0;
      if (run == 4) return p + 3;
    }
    return 0;
  }
  if (cut == PieceCut::kUtf16Pair) {
    if (available < 4) return 0;
    // The pair at p, in[p] and in[p + 1], must lie inside the window.
    for (size_t p = (available - 2) & ~size_t{1}; p >= 2; p -= 2) {
      const bool mark = (in[p] == 0xFF && in[p + 1] == 0xFE) || (in[p] == 0xFE && in[p + 1] == 0xFF);
      if (!mark) return p;
    }
  }
  return 0;
}

PieceResult decodeInPieces(int fd, uint64_t size, uint32_t encoding, size_t window, TextOutput& output) {
  const PieceCut cut = pieceCutFor(encoding);
  if (cut == PieceCut::kNone || window < 16) return PieceResult::kNotCuttable;
  const EncodingRow* row = encodingRow(encoding);

  size_t capacity = window;
  std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[capacity + 1]);
  WideBuffer text;
  if (!bytes || !text.ensureCapacity(static_cast<uint32_t>(capacity))) return PieceResult::kNoMemory;
  size_t held = 0;      // bytes in `bytes`: the start of the rest of the file
  uint64_t offset = 0;  // the file offset of the byte after them
  bool ended = size == 0;
  bool first = true;
  while (!(ended && held == 0)) {
    while (!ended && held < capacity) {
      const size_t want = static_cast<size_t>(std::min<uint64_t>(capacity - held, size - offset));
      const ssize_t got = pread(fd, bytes.get() + held, want, static_cast<off_t>(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) return PieceResult::kReadError;
      held += static_cast<size_t>(got);
      offset += static_cast<uint64_t>(got);
      ended = got == 0 || offset == size;
    }
    if (first && cut == PieceCut::kUtf16Pair && held >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
      return PieceResult::kNotCuttable;  // every later piece would need the mark's byte order
    }
    first = false;
    size_t end = held;
    if (!ended) {
      end = pieceEnd(cut, bytes.get(), held);
      if (end == 0) {
        // No cut in the whole window: a bigger window, and read on.
        std::unique_ptr<uint8_t[]> bigger(new (std::nothrow) uint8_t[2 * capacity + 1]);
        if (!bigger || !text.ensureCapacity(static_cast<uint32_t>(2 * capacity))) return PieceResult::kNoMemory;
        std::memcpy(bigger.get(), bytes.get(), held);
        bytes = std::move(bigger);
        capacity *= 2;
        continue;
      }
    }
    // The decoders may read the byte after their input: at the file's end it is the zero the
    // whole input has there; before a cut, the next byte of the file, which the cut rules make
    // sure no decoder pairs with.
    if (ended) bytes[end] = 0;
    const size_t units = row->decode(text, bytes.get(), static_cast<int32_t>(end));
    output.put(text.data, units);
    std::memmove(bytes.get(), bytes.get() + end, held - end);
    held -= end;
  }
  return PieceResult::kDone;
}

PieceResult decodeBookInPieces(const uint8_t* file, int32_t byteCount, uint32_t encoding, size_t window,
                               TextOutput& output) {
  if ((encoding != kPalmDocJapaneseRow && encoding != kPalmDocWesternRow) || window < 16) {
    return PieceResult::kNotCuttable;
  }
  // The decode step's header test: bytes 31 to 33 (the end of the database name and the
  // attributes) exist and are zero.
  constexpr int32_t kHeaderTestEnd = 34;
  if (byteCount < kHeaderTestEnd || file[31] != 0 || file[32] != 0 || file[33] != 0) {
    return PieceResult::kNotCuttable;
  }
  PalmDocTextBytes source;
  if (!palmDocTextBytes(file, byteCount, source)) return PieceResult::kNotCuttable;

  // Both conversions write at most two units per byte (LF becomes CR LF) and a zero unit.
  WideBuffer text;
  if (!text.ensureCapacity(static_cast<uint32_t>(2 * window))) return PieceResult::kNoMemory;
  const uint8_t* rest = source.bytes;
  size_t left = source.count;
  while (left > 0) {
    size_t piece = left;
    if (left > window) {
      // Western text converts byte by byte; the Shift-JIS decoder is cut as its own row is.
      piece = encoding == kPalmDocWesternRow ? window : pieceEnd(PieceCut::kAsciiRun, rest, window);
      if (piece == 0) piece = left;  // no cut in a whole window: the rest in one piece
    }
    if (piece > window && !text.ensureCapacity(static_cast<uint32_t>(2 * piece))) return PieceResult::kNoMemory;
    const size_t units =
        encoding == kPalmDocWesternRow
            ? writeWesternText(text.data, static_cast<uint32_t>(2 * piece), rest, static_cast<uint32_t>(piece))
            : JapaneseDecoder().decodeShiftJisCrLf(text.data, rest, static_cast<int32_t>(piece));
    output.put(text.data, units);
    rest += piece;
    left -= piece;
  }
  return PieceResult::kDone;
}
