// The text of a document as the text view's readers read it, for quillscope-decode --rich:
// UTF-8, one line per paragraph (a table row is one line with TAB between its cells), no
// pictures, no hidden text, field results only, note citations as their numbers. The interface
// is plain C++ so that the command-line tool needs nothing of Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform::textview {

struct RichTextExport {
  enum class Outcome {
    kText,               // `text` holds the document's text
    kPasswordProtected,  // an encrypted or obfuscated Word file: only `notice`
    kNotReadable,        // a Compound File the Word reader cannot show (Word 6/95, no Word
                         // document in it): only `notice`
  };
  Outcome outcome = Outcome::kText;  // what was read
  std::string text;                  // UTF-8, each line ended by LF (kText)
  std::string notice;                // the one-line notice the view shows instead (otherwise)
  std::string reader;                // the name of the reader the content called for
};

// Reads the bytes with the reader their content calls for. A page saved as HTML needs Qt's GUI
// module: a headless application object is made when the process has none.
RichTextExport exportRichText(const uint8_t* bytes, size_t size);

}  // namespace platform::textview
