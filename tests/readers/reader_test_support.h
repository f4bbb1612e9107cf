// Helpers the reader tests share: files, byte views and a document's text as lines.
#pragma once

#include <QString>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/textview/readers/reader.h"

namespace platform::textview {

inline ByteView bytesOf(const std::string& bytes) {
  return ByteView(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

inline std::string readTestFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The document's text with LF between paragraphs.
inline QString shownText(const TextDocument& document) { return document.textOf(0, document.length(), u"\n"); }

// The text a reader shows for these bytes.
inline QString readText(const std::string& bytes) { return shownText(readDocument(bytesOf(bytes))); }

}  // namespace platform::textview
