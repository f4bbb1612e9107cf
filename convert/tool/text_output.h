// Writing decoded UTF-16 text to a stream, as UTF-8 or as the raw little-endian units, in
// pieces: a text may arrive in any number of parts, cut anywhere, even inside a surrogate pair.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

class TextOutput {
 public:
  // utf8: surrogate pairs become one four-byte sequence; a surrogate without its partner
  // becomes U+FFFD; every other unit, zero and 0xFFFF included, is encoded as the code point of
  // the same value. Otherwise the units are written as little-endian byte pairs.
  TextOutput(std::FILE* stream, bool utf8) : stream_(stream), utf8_(utf8) {}

  // Writes the next `count` units of the text. Returns false once the stream reported an error.
  bool put(const char16_t* text, size_t count);
  // Ends the text (a high surrogate held back from the last part is written as U+FFFD) and
  // flushes the stream. Returns false when any write failed.
  bool finish();

 private:
  // Units encoded per round of put().
  static constexpr size_t kRoundUnits = size_t{64} << 10;

  bool putRound(const char16_t* text, size_t count);
  bool emit(const uint8_t* bytes, size_t count);

  std::FILE* stream_;                 // not owned: where the bytes go
  bool utf8_;                         // UTF-8, or little-endian UTF-16
  bool ok_ = true;                    // no write has failed yet
  char16_t heldHighSurrogate_ = 0;    // the last unit of the previous part when it began a pair
  std::vector<uint8_t> staging_;      // the encoded bytes of one part
};
