#include "platform/textview/readers/plain_text_reader.h"

#include <QStringDecoder>
#include <algorithm>

#include "platform/textview/readers/code_pages.h"

namespace platform::textview {
namespace {

QString decodeUtf16(ByteView bytes, bool littleEndian) {
  const size_t units = std::min(bytes.size() / 2, static_cast<size_t>(kMaxDocumentLength));  // an odd last byte is not a unit
  QString text(static_cast<qsizetype>(units), Qt::Uninitialized);
  char16_t* out = reinterpret_cast<char16_t*>(text.data());
  size_t count = 0;
  for (; count < units; ++count) {
    const uint8_t first = bytes[2 * count];
    const uint8_t second = bytes[2 * count + 1];
    const auto unit = static_cast<char16_t>(littleEndian ? (first | (second << 8)) : ((first << 8) | second));
    if (unit == 0) break;
    out[count] = unit;
  }
  text.truncate(static_cast<qsizetype>(count));
  return text;
}

}  // namespace

bool isValidUtf8(ByteView bytes) {
  size_t i = 0;
  const size_t n = bytes.size();
  while (i < n) {
    const uint8_t lead = bytes[i];
    if (lead < 0x80) {
      ++i;
      continue;
    }
    size_t length = 0;
    uint8_t low = 0x80;   // the second byte's range, narrowed to exclude overlong forms,
    uint8_t high = 0xBF;  // surrogates and values above U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (n - i < length) return false;
    if (bytes[i + 1] < low || bytes[i + 1] > high) return false;
    for (size_t k = 2; k < length; ++k) {
      if ((bytes[i + k] & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

QString decodePlainText(ByteView bytes) {
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return decodeUtf16(bytes.subspan(2), true);
  if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) return decodeUtf16(bytes.subspan(2), false);
  const auto zero = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  ByteView text = bytes.first(static_cast<size_t>(zero - bytes.begin()));
  if (text.size() >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF) text = text.subspan(3);
  // Each byte gives at most one unit, so this keeps the result within the document's limit.
  if (text.size() > static_cast<size_t>(kMaxDocumentLength)) text = text.first(static_cast<size_t>(kMaxDocumentLength));
  const auto* data = reinterpret_cast<const char*>(text.data());
  const auto size = static_cast<qsizetype>(text.size());
  if (!isValidUtf8(text)) return decodeWindows1252(text);
  // Only the one mark above is dropped: QString::fromUtf8 would drop a second one too, and
  // U+FEFF after the mark is the text's own character.
  QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
  return utf8.decode(QByteArrayView(data, size));
}

bool PlainTextReader::recognises(ByteView) const { return true; }

TextDocument PlainTextReader::read(ByteView bytes) const { return TextDocument::fromPlainText(decodePlainText(bytes)); }

const PlainTextReader& plainTextReader() {
  static const PlainTextReader reader;
  return reader;
}

}  // namespace platform::textview
