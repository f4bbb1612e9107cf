// The HTML reader: a web page (often saved under a .doc name) through Qt's own HTML import,
// its character set from the byte-order mark or the page's meta tag (UTF-8 when it names none,
// Windows-1252 when the bytes are not UTF-8). Blocks become paragraphs, table rows lines.
#pragma once

#include "platform/textview/readers/reader.h"

namespace platform::textview {

class HtmlReader final : public DocumentReader {
 public:
  const char* name() const override { return "HTML"; }
  // A page that opens (after a byte-order mark and white space) with a doctype, an <html>,
  // <head> or <body> tag, or a comment followed by one of those.
  bool recognises(ByteView bytes) const override;
  TextDocument read(ByteView bytes) const override;
};

const HtmlReader& htmlReader();

}  // namespace platform::textview
