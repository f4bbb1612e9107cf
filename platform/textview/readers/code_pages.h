// Windows code pages for the readers: Windows-1252 from a table of our own (the plain-text
// fallback and Word's 8-bit text use it on every byte, so it must be quick), every other page
// through Qt's conversion.
#pragma once

#include <QString>
#include <QStringDecoder>
#include <map>
#include <memory>

#include "platform/textview/readers/reader.h"

namespace platform::textview {

// Windows-1252 as Unicode. The five bytes the page leaves undefined (81, 8D, 8F, 90, 9D) map to
// the C1 controls of the same value, as Windows itself converts them.
char16_t windows1252ToUnicode(uint8_t byte);
// The bytes as Windows-1252.
QString decodeWindows1252(ByteView bytes);

// A byte of text in a symbol font (character set 2: Symbol, Wingdings ...) as the Unicode
// character the font draws there, for the bullets and marks lists use; 0 for a byte this table
// does not know. `face` tells Wingdings apart from Symbol.
char16_t symbolFontCharacter(uint8_t byte, QStringView face);

// The code page of an RTF or Pocket Word font's character set (\fcharsetN); 0 when the set
// names no code page of its own (ANSI, default, symbol), so the document's page applies.
int codePageOfCharset(int charset);

// Decodes bytes in any Windows code page, keeping one converter per page for the reader's
// lifetime. A page Qt does not know reads as Windows-1252.
class CodePageDecoder {
 public:
  CodePageDecoder();
  ~CodePageDecoder();
  CodePageDecoder(const CodePageDecoder&) = delete;
  CodePageDecoder& operator=(const CodePageDecoder&) = delete;

  // Appends the bytes, read in `codePage`, to `out`. A double-byte page's lead byte cut off at
  // the end of `bytes` gives a replacement character.
  void decode(int codePage, ByteView bytes, QString& out);
  // Whether the page has characters of two bytes (932, 936, 949, 950, 1361).
  static bool isDoubleByte(int codePage);

 private:
  std::map<int, std::unique_ptr<QStringDecoder>> decoders_;  // converters made so far, owned
};

}  // namespace platform::textview
