// The Word 97-2003 reader: the FIB, the piece table, fields, special characters, and the
// character and paragraph properties (bold, italic, underline, strike-out, size, face, colour,
// super/subscript, highlight, hidden text, alignment, tables), list numbers and bullets, and
// pictures as a "[Picture]" placeholder, of a WordDocument stream in a Compound File.
//
// Every offset and length the FIB gives is checked against its stream; the text is clamped to
// the piece table and pieces outside the stream are skipped. An encrypted or obfuscated file,
// and a Word 6/95 file (an older FIB this reader does not read), show a one-line notice.
#pragma once

#include <QString>

#include "platform/textview/readers/reader.h"

namespace platform::textview {

// What a Compound File holds for this reader.
enum class WordFileKind {
  Readable,           // a Word 97-2003 document
  PasswordProtected,  // encrypted or obfuscated: its text cannot be shown
  OlderVersion,       // Word 6/95 or older
  NotWord,            // a Compound File without a Word document (or a damaged header)
};

WordFileKind wordFileKind(ByteView bytes);
// The one-line notice shown in place of the text of a file that is not Readable.
QString wordNotice(WordFileKind kind);

class WordReader final : public DocumentReader {
 public:
  const char* name() const override { return "Word 97-2003"; }
  // Any Compound File: one without a Word document shows a notice rather than its bytes.
  bool recognises(ByteView bytes) const override;
  TextDocument read(ByteView bytes) const override;
};

// What read() gives, with or without the pictures' placeholders (the plain-text export has no
// pictures).
TextDocument readWordDocument(ByteView bytes, bool picturePlaceholders);

const WordReader& wordReader();

}  // namespace platform::textview
