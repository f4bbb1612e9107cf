// Fuzzes the text view's document path: bytes pulled through a stream-in in chunks of any size,
// read by the plain-text reader, indexed into lines and segments. Each step is compared with a
// simple reference: the stream gives back exactly the bytes, the decoding follows the reader's
// rules read plainly (UTF-16 after a byte-order mark, else UTF-8 when it is valid, Windows-1252
// otherwise, up to the first zero), the line count is the line ends counted one unit at a time,
// and the segments tile the text, each line end closing exactly one, with every cut piece of a
// long line close to the longest segment. A first byte from 0xF0 up repeats the rest, so that
// lines longer than a segment are reached.
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/textview/readers/plain_text_reader.h"
#include "platform/textview/stream_in.h"
#include "platform/textview/text_model.h"

using namespace platform::textview;

namespace {

// The stream's source: the bytes, handed out `chunk` at a time at most.
struct Source {
  const std::vector<uint8_t>* bytes;  // what the stream delivers, borrowed
  size_t next = 0;                    // the next byte to deliver
  size_t chunk = 1;                   // the most one call delivers
};

DWORD CALLBACK deliver(DWORD_PTR cookie, BYTE* buffer, LONG wanted, LONG* delivered) {
  auto* source = reinterpret_cast<Source*>(cookie);
  const size_t count = std::min({source->chunk, static_cast<size_t>(wanted), source->bytes->size() - source->next});
  if (count > 0) std::memcpy(buffer, source->bytes->data() + source->next, count);
  source->next += count;
  *delivered = static_cast<LONG>(count);
  return 0;
}

QString plainDecoding(const std::vector<uint8_t>& bytes) {
  if (bytes.size() >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
    const bool little = bytes[0] == 0xFF;
    QString text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      const char16_t unit = little ? char16_t(bytes[i] | bytes[i + 1] << 8) : char16_t(bytes[i] << 8 | bytes[i + 1]);
      if (unit == 0) break;
      text += QChar(unit);
    }
    return text;
  }
  QByteArray text;
  for (uint8_t byte : bytes) {
    if (byte == 0) break;
    text += static_cast<char>(byte);
  }
  if (text.startsWith("\xEF\xBB\xBF")) text.remove(0, 3);
  // Strict UTF-8, decoded a byte at a time: no overlong forms, surrogates, values above
  // U+10FFFF or cut sequences.
  QString asUtf8;
  bool valid = true;
  for (qsizetype i = 0; i < text.size() && valid;) {
    const auto lead = static_cast<uint8_t>(text[i]);
    const int length = lead < 0x80 ? 1 : lead >= 0xC0 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                                                      : lead >= 0xF0 && lead < 0xF8 ? 4 : 0;
    if (length == 0 || i + length > text.size()) {
      valid = false;
      break;
    }
    char32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<uint8_t>(text[i + k]);
      valid = valid && (next & 0xC0) == 0x80;
      value = value << 6 | (next & 0x3F);
    }
    static constexpr char32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
    valid = valid && value >= kLeast[length] && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
    if (valid && value > 0xFFFF) {
      asUtf8 += QChar(QChar::highSurrogate(value));
      asUtf8 += QChar(QChar::lowSurrogate(value));
    } else if (valid) {
      asUtf8 += QChar(static_cast<char16_t>(value));
    }
    i += length;
  }
  if (valid) return asUtf8;
  // Windows-1252: Latin-1 but for 0x80-0x9F, where the five unassigned bytes stand for themselves.
  static constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                         0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                         0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                         0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  QString windows1252;
  for (const char byte : text) {
    const auto b = static_cast<uint8_t>(byte);
    windows1252 += QChar(b >= 0x80 && b <= 0x9F ? kHigh[b - 0x80] : char16_t{b});
  }
  return windows1252;
}

// The line ends, one unit at a time: CR CR LF, CR LF, CR and LF each end one line.
int lineEndAt(const QString& text, qsizetype i) {
  const auto at = [&](qsizetype k) { return k < text.size() ? text[k].unicode() : char16_t{0}; };
  if (at(i) == u'\n') return 1;
  if (at(i) != u'\r') return 0;
  if (at(i + 1) == u'\r' && at(i + 2) == u'\n') return 3;
  return at(i + 1) == u'\n' ? 2 : 1;
}

// Ends the run at a failed check, saying which.
#define check(condition) ((condition) ? void() : fail(__LINE__))
[[noreturn]] void fail(int line) {
  std::fprintf(stderr, "fuzz_text_model.cpp:%d: check failed\n", line);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 8192) return 0;
  const size_t copies = data[0] >= 0xF0 ? size_t{data[0] - 0xEFu} * 24 : 1;
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < copies; ++i) bytes.insert(bytes.end(), data + 2, data + size);

  Source source{&bytes, 0, size_t{data[1]} * 37 + 1};
  EDITSTREAM stream{};
  stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  stream.pfnCallback = deliver;
  const std::vector<uint8_t> pulled = pullStream(stream);
  check(pulled == bytes && stream.dwError == 0);

  const QString text = decodePlainText(pulled);
  check(text == plainDecoding(bytes));
  const TextDocument document = plainTextReader().read(pulled);
  check(document.text() == text);

  qsizetype lineEnds = 0;
  QString withNewlines;
  for (qsizetype i = 0; i < text.size();) {
    const int length = lineEndAt(text, i);
    withNewlines += length > 0 ? QChar(u'\n') : text[i];
    lineEnds += length > 0;
    i += std::max(length, 1);
  }
  check(document.lineCount() == lineEnds + 1);
  check(document.textOf(0, document.length(), u"\n") == withNewlines);

  // The segments tile the text; a line end closes a segment exactly where the text has one.
  qsizetype closedByLineEnds = 0;
  for (qsizetype segment = 0; segment < document.segmentCount(); ++segment) {
    const qsizetype start = document.segmentStart(segment);
    const qsizetype end = document.segmentEnd(segment);
    const int lineEnd = document.lineEndLength(segment);
    check(start < end || (segment + 1 == document.segmentCount()) || lineEnd > 0);
    check(segment == 0 ? start == 0 : start == document.segmentEnd(segment - 1));
    check(document.segmentAt(start) == segment || start == end);
    const qsizetype contentEnd = end - lineEnd;
    check(end - start - lineEnd <= kMaxSegmentLength);
    for (qsizetype i = start; i < contentEnd; ++i) check(lineEndAt(text, i) == 0);
    if (lineEnd > 0) {
      check(lineEndAt(text, contentEnd) == lineEnd);
      ++closedByLineEnds;
    } else if (segment + 1 < document.segmentCount()) {
      // A cut piece of a long line: cut near the longest segment, whatever the text holds.
      check(end - start > kMaxSegmentLength - 1024);
    }
  }
  check(closedByLineEnds == lineEnds);
  check(document.segmentEnd(document.segmentCount() - 1) == document.length());
  return 0;
}
