// Loading a file the way the viewer loads a document: all of it into the ByteBuffer with a
// zero byte after it, and a WideBuffer with room for one unit per byte and an empty text.
#pragma once

#include <cstdint>
#include <string>

#include "decode/document_buffers.h"

// A loaded document.
struct LoadedDocument {
  ByteBuffer bytes;       // owned: the file's bytes and a zero byte after them
  int32_t byteCount = 0;  // the number of bytes read (the document's length)
  WideBuffer text;        // owned: room for byteCount + 1 units, holding the empty text
};

// How a load ended.
enum class LoadResult {
  kLoaded,      // the whole file is in `bytes`
  kMissing,     // no such file
  kUnreadable,  // it exists but cannot be opened or read (a directory, no permission, I/O error)
  kTooLarge,    // 2 GiB or more: the viewer counts a document's bytes in a signed 32-bit number
  kNoMemory,    // storage for the bytes or the text could not be obtained
};

// An opened document file.
struct DocumentFile {
  int fd = -1;           // owned: the open file, or -1
  bool regular = false;  // a regular file, whose size is known; otherwise a pipe or a device
  uint64_t size = 0;     // a regular file's size when it was opened, below 2 GiB
  DocumentFile() = default;
  ~DocumentFile();
  DocumentFile(const DocumentFile&) = delete;
  DocumentFile& operator=(const DocumentFile&) = delete;
};

// Opens `path` for reading (kLoaded when it is open); on failure `message` says why.
LoadResult openDocumentFile(const std::string& path, DocumentFile& file, std::string& message);
// Reads the opened `file` from its current position into `document`; on failure `message`
// says why, naming `path`.
LoadResult loadDocumentFile(const std::string& path, const DocumentFile& file, LoadedDocument& document,
                            std::string& message);
