#include "platform/textview/readers/code_pages.h"

#include <array>

namespace platform::textview {
namespace {

// 0x80..0x9F of Windows-1252; the rest of the page is Latin-1.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// ICU's names for the Windows pages the readers meet.
const char* nameOfCodePage(int codePage) {
  switch (codePage) {
    case 437: return "ibm-437";
    case 850: return "ibm-850";
    case 874: return "windows-874";
    case 932: return "windows-932";
    case 936: return "windows-936";
    case 949: return "windows-949";
    case 950: return "windows-950";
    case 1250: return "windows-1250";
    case 1251: return "windows-1251";
    case 1253: return "windows-1253";
    case 1254: return "windows-1254";
    case 1255: return "windows-1255";
    case 1256: return "windows-1256";
    case 1257: return "windows-1257";
    case 1258: return "windows-1258";
    case 1361: return "johab";
    case 10000: return "macintosh";
    default: return nullptr;
  }
}

}  // namespace

char16_t symbolFontCharacter(uint8_t byte, QStringView face) {
  if (face.contains(u"wingdings", Qt::CaseInsensitive)) {
    switch (byte) {
      case 0x6C: return u'\u25CF';  // black circle
      case 0x6E: return u'\u25A0';  // black square
      case 0x6F: return u'\u25A1';  // white square
      case 0x71: return u'\u2751';  // shadowed white square
      case 0x76: return u'\u2756';  // diamond of four
      case 0x9F: return u'\u2022';  // bullet
      case 0xA1: return u'\u25CB';  // white circle
      case 0xA7: return u'\u25AA';  // small black square
      case 0xD8: return u'\u27A2';  // arrowhead
      case 0xFC: return u'\u2713';  // check mark
      default: return 0;
    }
  }
  switch (byte) {
    case 0xA7: return u'\u2663';  // club
    case 0xA8: return u'\u2666';  // diamond
    case 0xA9: return u'\u2665';  // heart
    case 0xAA: return u'\u2660';  // spade
    case 0xB7: return u'\u2022';  // bullet
    default: return 0;
  }
}

char16_t windows1252ToUnicode(uint8_t byte) {
  return byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80] : static_cast<char16_t>(byte);
}

QString decodeWindows1252(ByteView bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  char16_t* out = reinterpret_cast<char16_t*>(text.data());
  for (size_t i = 0; i < bytes.size(); ++i) out[i] = windows1252ToUnicode(bytes[i]);
  return text;
}

int codePageOfCharset(int charset) {
  switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
  }
}

CodePageDecoder::CodePageDecoder() = default;
CodePageDecoder::~CodePageDecoder() = default;

bool CodePageDecoder::isDoubleByte(int codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361;
}

void CodePageDecoder::decode(int codePage, ByteView bytes, QString& out) {
  if (bytes.empty()) return;
  const char* name = nameOfCodePage(codePage);
  if (name == nullptr) {
    out += decodeWindows1252(bytes);
    return;
  }
  auto& decoder = decoders_[codePage];
  if (!decoder) decoder = std::make_unique<QStringDecoder>(name, QStringConverter::Flag::Stateless);
  if (!decoder->isValid()) {
    out += decodeWindows1252(bytes);
    return;
  }
  decoder->resetState();
  out += decoder->decode(QByteArrayView(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
}

}  // namespace platform::textview
