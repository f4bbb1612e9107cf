// Readers turn the bytes pulled through a stream-in into a TextDocument: paragraphs of runs
// with face, size, weight and slant. The reader is chosen by the bytes' content, never by a
// file name; plain text is the fallback that reads anything. Readers know nothing of windows.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/textview/text_model.h"

namespace platform::textview {

using ByteView = std::span<const uint8_t>;

class DocumentReader {
 public:
  virtual ~DocumentReader() = default;
  // A short name for logs and tests ("plain text", "RTF", ...).
  virtual const char* name() const = 0;
  // Whether the bytes are this reader's format (by signature or structure, cheaply).
  virtual bool recognises(ByteView bytes) const = 0;
  // The document the bytes hold. Never fails: damaged or truncated input gives what could be
  // read, and nothing outside `bytes` is touched.
  virtual TextDocument read(ByteView bytes) const = 0;
};

// Every reader, most specific first; the plain-text reader is last and recognises anything.
const std::vector<const DocumentReader*>& documentReaders();
// The first reader that recognises the bytes.
const DocumentReader& readerFor(ByteView bytes);
// The bytes read by the reader their content calls for.
TextDocument readDocument(ByteView bytes);

}  // namespace platform::textview
