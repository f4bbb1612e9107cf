// Helpers the reader tests share: the rich documents, byte views and a document's text.
#pragma once

#include <QString>
#include <string>

#include "platform/textview/readers/reader.h"
#include "tests/support/test_files.h"

namespace platform::textview {

inline ByteView bytesOf(const std::string& bytes) {
  return ByteView(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// A file of tests/data/rich, whole.
inline std::string readRichFile(const std::string& name) { return test_files::readBytes(test_files::dataDir() / "rich" / name); }

// The document's text with LF between paragraphs.
inline QString shownText(const TextDocument& document) { return document.textOf(0, document.length(), u"\n"); }

// The text a reader shows for these bytes.
inline QString readText(const std::string& bytes) { return shownText(readDocument(bytesOf(bytes))); }

}  // namespace platform::textview
