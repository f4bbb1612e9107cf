// Decoding a file in pieces small enough to stay in the processor's caches: a piece of the
// file's bytes becomes a piece of UTF-16 text, then of output, and the storage is used again
// for the next piece. The whole text is never held, so no fresh memory is touched beyond the
// few pieces' worth, however big the file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "convert/tool/text_output.h"

// Where the bytes of an encoding may be cut so that each piece, decoded on its own, gives
// exactly the units the whole input gives for it.
enum class PieceCut {
  kNone,       // nowhere: ISO-2022 decoders carry a mode from one character to the next, and a
               // Palm DOC book is a database, not a text
  kAsciiRun,   // before a byte below 0x80 that follows three more: these decoders carry nothing
               // from one character to the next, no character of theirs starts below 0x80 and
               // none is longer than four bytes, so the character before the cut ends there; the
               // piece after it starts with no byte-order mark
  kUtf16Pair,  // at an even offset whose pair is no byte-order mark (a later piece would take
               // it as one); a big-endian file is not cut at all
};

// The cut rule of an EncodingIndex (taken as unsigned; none outside the catalogue).
PieceCut pieceCutFor(uint32_t encoding);

// The last position p in (0, available) at which in[0, available) may be cut, or 0 for none.
size_t pieceEnd(PieceCut cut, const uint8_t* in, size_t available);

// How a decode in pieces ended.
enum class PieceResult {
  kDone,         // the text was written (or writing it failed: TextOutput::finish says)
  kNotCuttable,  // this encoding or this file is decoded whole: nothing was read or written
  kReadError,    // reading the file failed (errno says why); the text before it was written
  kNoMemory,     // storage for a piece could not be obtained
};

// Decodes the first `size` bytes of the open file `fd` (read with pread from offset 0; a file
// that ends sooner gives what it has) as EncodingIndex `encoding`, reading `window` bytes at a
// time (more when no cut lies in a window), and hands each piece's text to `output`. The
// caller calls output.finish().
PieceResult decodeInPieces(int fd, uint64_t size, uint32_t encoding, size_t window, TextOutput& output);

// Converts the text of a Palm DOC book (EncodingIndex 18 or 19) in pieces of about `window`
// bytes, once the decode step's header test passes: the text is decompressed whole (a
// back-reference may reach two kilobytes back), then converted a piece at a time. The file is
// file[0, byteCount) with a zero byte after it. kNotCuttable for any other encoding, for a book
// the decode step decodes nothing of, and when storage for the decompressed text is missing.
PieceResult decodeBookInPieces(const uint8_t* file, int32_t byteCount, uint32_t encoding, size_t window,
                               TextOutput& output);
