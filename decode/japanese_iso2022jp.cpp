// ISO-2022-JP to UTF-16 through the JIS X 0208 table.
//
// Two escape sequences are recognised: ESC $ B switches to double-byte mode, ESC ( B back to
// single-byte mode; both are consumed without output. Every call starts in single-byte mode.
// In single-byte mode each byte is written as the unit of the same value, ESC included when no
// sequence follows it (so ESC $ @, ESC ( J, SO and SI appear as characters). In double-byte
// mode each byte pair is looked up as it stands, at (first - 0x21) * 94 + (second - 0x21):
// neither byte is tested, so a line end or a stray ESC is paired like a JIS byte, and positions
// outside the table (control bytes, rows past 84 cell 6) give 0xFFFF.
#include <cstddef>

#include "decode/japanese.h"
#include "decode/japanese_runs.h"
#include "decode/tables/jis_table.h"

namespace {

constexpr uint8_t kEscape = 0x1B;

enum class Escape { kNone, kToDoubleByte, kToSingleByte };

// The escape sequence starting at in[i] (an ESC). The third byte is read only when the second
// matched and is itself an input byte, so nothing past the byte after the input is read.
inline Escape escapeAt(const uint8_t* in, size_t i, size_t length) {
  const uint8_t second = in[i + 1];
  if ((second != '$' && second != '(') || i + 1 >= length || in[i + 2] != 'B') return Escape::kNone;
  return second == '$' ? Escape::kToDoubleByte : Escape::kToSingleByte;
}

char16_t* decodeIso2022JpText(char16_t* out, const uint8_t* in, int32_t n) {
  const size_t length = n > 0 ? static_cast<size_t>(n) : 0;
  bool doubleByte = false;
  size_t i = 0;
  while (i < length) {
    if (in[i] == kEscape) {
      const Escape escape = escapeAt(in, i, length);
      if (escape != Escape::kNone) {
        doubleByte = escape == Escape::kToDoubleByte;
        i += 3;
        continue;
      }
    }
    if (doubleByte) {
      // Pairs until the next ESC; an ESC that starts no sequence is paired like any byte.
      do {
        *out++ = jisCell((in[i] - 0x21) * kJisCellsPerRow + (in[i + 1] - 0x21));
        i += 2;
      } while (i < length && in[i] != kEscape);
    } else {
      // The ESC at in[i], if any, starts no sequence: it is written like the bytes after it.
      *out++ = in[i++];
      const size_t run = japanese_runs::copyRun<japanese_runs::RunEnd::kEscape>(in + i, length - i, out);
      out += run;
      i += run;
    }
  }
  *out = 0;
  return out;
}

}  // namespace

size_t JapaneseDecoder::decodeIso2022Jp(char16_t* out, const uint8_t* in, int32_t n) const {
  return static_cast<size_t>(decodeIso2022JpText(out, in, n) - out);
}
