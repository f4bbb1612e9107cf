// The fallback reader: the bytes as text. UTF-16 when they start with a byte-order mark, UTF-8
// when they are valid UTF-8, Windows-1252 otherwise (the desktop's own 8-bit text); the text ends at the first zero byte (UTF-16:
// zero unit), such as the one a stream delivers after a file's bytes.
#pragma once

#include <QString>

#include "platform/textview/readers/reader.h"

namespace platform::textview {

class PlainTextReader final : public DocumentReader {
 public:
  const char* name() const override { return "plain text"; }
  bool recognises(ByteView bytes) const override;
  TextDocument read(ByteView bytes) const override;
};

const PlainTextReader& plainTextReader();

// The decoding the reader applies, on its own.
QString decodePlainText(ByteView bytes);
// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no cut sequence.
bool isValidUtf8(ByteView bytes);

}  // namespace platform::textview
