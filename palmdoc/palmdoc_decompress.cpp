// PalmDOC decompression: a byte-oriented LZ77 with four kinds of command.
//
//   0x00         end of the text
//   0x01..0x08   copy the next m bytes unchanged
//   0x09..0x7F   the byte itself
//   0x80..0xBF   with the next byte d: v = (m·256 + d) & 0x3FFF, copy (v & 7) + 3 bytes from
//                v >> 3 bytes back in the output (the copy may overlap what it writes)
//   0xC0..0xFF   a space, then m ^ 0x80
//
// A damaged stream ends decompression at the first command that cannot be carried out: an
// operand cut off by the end of the input, a back-reference of distance 0 or reaching before
// the start of the output, or output that would not fit. Everything produced before it is kept
// (a cut-off literal run keeps the bytes that are present, a back-reference that does not fit
// copies what fits), so a damaged book shows its text up to the damage.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "palmdoc/palmdoc.h"

namespace {

// The fast loop copies fixed-size blocks and lets a copy overshoot its length: it runs only
// while this many input bytes (the longest command, 0x08 and its 8 bytes) remain ...
constexpr std::ptrdiff_t kLongestCommand = 9;
// ... and while the output has room for this many bytes (two 8-byte blocks of a back-reference).
constexpr std::ptrdiff_t kOvershootRoom = 16;

// Where decompression stands: the next input byte and the next output byte. Plain pointers into
// the caller's ranges; owns nothing.
struct Cursor {
  const uint8_t* in;  // next command byte
  uint8_t* out;       // next output byte
};

// Copies `length` bytes from `distance` back, byte-for-byte semantics (an overlapping copy
// repeats the bytes it has just written), writing at most 16 bytes past `out`. The caller has
// checked that `distance` is 1..(bytes already output) and that 16 bytes of room remain.
inline uint8_t* copyBackReferenceFast(uint8_t* out, size_t distance, size_t length) {
  const uint8_t* from = out - distance;
  if (distance >= 8) {
    // The two blocks never overlap their own destination; the second may read bytes that the
    // first has just written, exactly as a byte-at-a-time copy would.
    std::memcpy(out, from, 8);
    std::memcpy(out + 8, from + 8, 8);
  } else if (distance == 1) {
    std::memset(out, out[-1], 16);
  } else {
    for (size_t i = 0; i < length; ++i) out[i] = from[i];
  }
  return out + length;
}

// How many of the eight bytes at `in` (at least the first) stand for themselves: 0x09..0x7F.
// A byte is flagged when its high bit is set or when subtracting 9 borrows; a borrow can flag
// bytes after the first one below 9 only, so the lowest flag is exact.
inline size_t plainBytesAhead(const uint8_t* in) {
  constexpr uint64_t kOnes = 0x0101010101010101ULL;
  constexpr uint64_t kHighBits = 0x8080808080808080ULL;
  uint64_t block;
  std::memcpy(&block, in, 8);
  const uint64_t flags = (block | ((block - 9 * kOnes) & ~block)) & kHighBits;
  if (flags == 0) return 8;
  // The first byte in memory is the lowest one of a little-endian word, the highest otherwise.
  const int bit = std::endian::native == std::endian::little ? std::countr_zero(flags) : std::countl_zero(flags);
  return static_cast<size_t>(bit) / 8;
}

// Carries out commands with every bounds check in place, until the input ends, an end command
// or damage is met, or the output is full. Used for the last few commands of a stream, where the
// fast loop's overshoot would not fit.
Cursor decompressCarefully(Cursor c, const uint8_t* end, uint8_t* outStart, uint8_t* outEnd) {
  while (c.in < end) {
    const unsigned m = *c.in++;
    if (m == 0x00) break;
    if (m <= 0x08) {
      size_t count = m;
      count = std::min<size_t>(count, static_cast<size_t>(end - c.in));
      count = std::min<size_t>(count, static_cast<size_t>(outEnd - c.out));
      std::memcpy(c.out, c.in, count);
      c.out += count;
      c.in += count;
      if (count < m) break;  // cut off by the end of the input or of the output
    } else if (m <= 0x7F) {
      if (c.out == outEnd) break;
      *c.out++ = static_cast<uint8_t>(m);
    } else if (m <= 0xBF) {
      if (c.in == end) break;  // the operand byte is missing
      const unsigned v = ((m << 8) | *c.in++) & 0x3FFF;
      const size_t distance = v >> 3;
      const size_t length = (v & 7) + 3;
      if (distance == 0 || distance > static_cast<size_t>(c.out - outStart)) break;
      const size_t fits = std::min<size_t>(length, static_cast<size_t>(outEnd - c.out));
      const uint8_t* from = c.out - distance;
      for (size_t i = 0; i < fits; ++i) c.out[i] = from[i];
      c.out += fits;
      if (fits < length) break;
    } else {
      if (outEnd - c.out < 2) {
        if (c.out < outEnd) *c.out++ = ' ';
        break;
      }
      c.out[0] = ' ';
      c.out[1] = static_cast<uint8_t>(m ^ 0x80);
      c.out += 2;
    }
  }
  return c;
}

}  // namespace

int32_t decompressPalmDoc(const uint8_t* in, const uint8_t* end, uint8_t* scratch, size_t scratchSize) {
  if (scratch == nullptr || scratchSize == 0) return 0;
  // The last byte of the scratch area is kept for the zero after the output, so that a decoder
  // looking one byte past a final lead byte reads that zero. The count must fit the result type.
  const size_t room = std::min<size_t>(scratchSize - 1, INT32_MAX);
  uint8_t* const outEnd = scratch + room;
  if (in == nullptr || end < in) end = in;  // no input: an empty text
  Cursor c{in, scratch};

  // One bounds check per command: while both margins hold, no command can overrun either range.
  while (end - c.in >= kLongestCommand && outEnd - c.out >= kOvershootRoom) {
    if (static_cast<unsigned>(*c.in - 0x09) < 0x77) {
      // A byte that stands for itself, and the ones after it that do too (up to eight), copied
      // at once: one test fewer than looking at the next byte first, whose outcome varies.
      const size_t count = plainBytesAhead(c.in);
      std::memcpy(c.out, c.in, 8);
      c.out += count;
      c.in += count;
      continue;
    }
    const unsigned m = *c.in++;
    if (m >= 0x80) {
      if (m >= 0xC0) {
        c.out[0] = ' ';
        c.out[1] = static_cast<uint8_t>(m ^ 0x80);
        c.out += 2;
        continue;
      }
      const unsigned v = ((m << 8) | *c.in++) & 0x3FFF;
      const size_t distance = v >> 3;
      if (distance == 0 || distance > static_cast<size_t>(c.out - scratch)) goto finished;
      c.out = copyBackReferenceFast(c.out, distance, (v & 7) + 3);
    } else if (m >= 0x09) {
      *c.out++ = static_cast<uint8_t>(m);
    } else if (m == 0x00) {
      goto finished;
    } else {
      std::memcpy(c.out, c.in, 8);  // m <= 8 bytes wanted; the margins allow a full block
      c.out += m;
      c.in += m;
    }
  }
  c = decompressCarefully(c, end, scratch, outEnd);

finished:
  *c.out = 0;
  return static_cast<int32_t>(c.out - scratch);
}
