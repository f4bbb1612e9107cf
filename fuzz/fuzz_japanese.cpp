// Fuzzes the four Japanese decoders with arbitrary bytes: each must stay inside its input (the
// bytes and the zero after them) and its output room (n + 1 units, 2n + 1 for the CR LF
// variant), end its text with a zero unit, and agree with a plain byte-at-a-time reading of
// the rules, which takes none of the decoders' shortcuts (vector runs, offset tables).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "decode/japanese.h"
#include "decode/tables/jis_table.h"

namespace {

constexpr char16_t kUnwritten = 0xABCD;

// The units before the ending zero, which must lie within `room`; nothing may follow it.
std::u16string writtenText(const std::vector<char16_t>& out, size_t room) {
  size_t end = out.size();
  while (end > 0 && out[end - 1] == kUnwritten) --end;
  if (end == 0 || end > room || out[end - 1] != 0) std::abort();
  return std::u16string(out.data(), end - 1);
}

std::u16string plainShiftJis(const uint8_t* in, size_t n, bool crLf) {
  std::u16string text;
  for (size_t i = 0; i < n;) {
    const uint8_t b = in[i];
    if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF)) {
      const uint8_t t = in[i + 1];
      i += 2;
      if (t < 0x40 || t == 0x7F || t > 0xFC) continue;
      int j1 = 2 * (b <= 0x9F ? b - 0x80 : b - 0xC0) + 0x1F;
      int j2 = 0;
      if (t >= 0x9F) {
        ++j1;
        j2 = t - 0x7E;
      } else if (t >= 0x80) {
        j2 = t - 0x20;
      } else {
        j2 = t - 0x1F;
      }
      text += jisCell((j1 - 0x21) * 94 + (j2 - 0x21));
    } else if (b >= 0xA1 && b <= 0xDF) {
      text += static_cast<char16_t>(b + 0xFEC0);
      ++i;
    } else {
      if (crLf && b == 0x0A) text += u'\r';
      text += static_cast<char16_t>(b);
      ++i;
    }
  }
  return text;
}

std::u16string plainIso2022Jp(const uint8_t* in, size_t n) {
  std::u16string text;
  bool doubleByte = false;
  for (size_t i = 0; i < n;) {
    if (in[i] == 0x1B && in[i + 1] == '$' && i + 1 < n && in[i + 2] == 'B') {
      doubleByte = true;
      i += 3;
    } else if (in[i] == 0x1B && in[i + 1] == '(' && i + 1 < n && in[i + 2] == 'B') {
      doubleByte = false;
      i += 3;
    } else if (doubleByte) {
      text += jisCell((in[i] - 0x21) * 94 + (in[i + 1] - 0x21));
      i += 2;
    } else {
      text += static_cast<char16_t>(in[i++]);
    }
  }
  return text;
}

std::u16string plainEucJp(const uint8_t* in, size_t n) {
  std::u16string text;
  for (size_t i = 0; i < n;) {
    const uint8_t b = in[i];
    if (b >= 0xA1 && b <= 0xFE) {
      text += jisCell((b - 0xA1) * 94 + (in[i + 1] - 0xA1));
      i += 2;
    } else if (b == 0x8E) {
      text += static_cast<char16_t>(in[i + 1] + 0xFEC0);
      i += 2;
    } else {
      text += static_cast<char16_t>(b);
      ++i;
    }
  }
  return text;
}

using Method = size_t (JapaneseDecoder::*)(char16_t*, const uint8_t*, int32_t) const;

void check(Method method, const std::vector<uint8_t>& in, size_t n, size_t room, const std::u16string& expected) {
  std::vector<char16_t> out(room + 8, kUnwritten);
  const size_t reported = (JapaneseDecoder().*method)(out.data(), in.data(), static_cast<int32_t>(n));
  if (writtenText(out, room) != expected) std::abort();
  if (reported != expected.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  // Exactly the input and its zero byte, so that any read past the zero is caught.
  std::vector<uint8_t> in(data, data + size);
  in.push_back(0);
  const uint8_t* bytes = in.data();
  check(&JapaneseDecoder::decodeShiftJis, in, size, size + 1, plainShiftJis(bytes, size, false));
  check(&JapaneseDecoder::decodeShiftJisCrLf, in, size, 2 * size + 1, plainShiftJis(bytes, size, true));
  check(&JapaneseDecoder::decodeIso2022Jp, in, size, size + 1, plainIso2022Jp(bytes, size));
  check(&JapaneseDecoder::decodeEucJp, in, size, size + 1, plainEucJp(bytes, size));
  return 0;
}
