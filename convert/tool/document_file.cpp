// Reading a whole file into the document buffers, with the checks the viewer's own load lacks:
// a file's size is never trusted beyond what is actually read, and 2 GiB or more is refused.
#include "convert/tool/document_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

constexpr uint64_t kLargestDocument = INT32_MAX;  // byteCount is a signed 32-bit number

// read() until `count` bytes arrived or the file ended; returns the bytes read or -1.
int64_t readFully(int fd, uint8_t* into, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t got = read(fd, into + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<int64_t>(done);
}

// The bytes of a pipe or device, whose size is not known in advance, up to the limit + 1 (so
// that a stream over the limit is noticed).
bool readStream(int fd, std::vector<uint8_t>& content) {
  constexpr size_t kChunk = 1 << 16;
  for (;;) {
    const size_t old = content.size();
    content.resize(old + kChunk);
    const int64_t got = readFully(fd, content.data() + old, kChunk);
    if (got < 0) return false;
    content.resize(old + static_cast<size_t>(got));
    if (static_cast<size_t>(got) < kChunk || content.size() > kLargestDocument) return true;
  }
}

}  // namespace

DocumentFile::~DocumentFile() {
  if (fd >= 0) close(fd);
}

LoadResult openDocumentFile(const std::string& path, DocumentFile& file, std::string& message) {
  file.fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file.fd < 0) {
    const int error = errno;
    message = path + ": " + std::strerror(error);
    return error == ENOENT || error == ENOTDIR ? LoadResult::kMissing : LoadResult::kUnreadable;
  }
  struct stat status {};
  if (fstat(file.fd, &status) != 0) {
    message = path + ": " + std::strerror(errno);
    return LoadResult::kUnreadable;
  }
  if (S_ISDIR(status.st_mode)) {
    message = path + ": is a directory";
    return LoadResult::kUnreadable;
  }
  file.regular = S_ISREG(status.st_mode);
  file.size = file.regular ? static_cast<uint64_t>(status.st_size) : 0;
  if (file.size > kLargestDocument) {
    message = path + ": the file is 2 GiB or larger; documents must be smaller";
    return LoadResult::kTooLarge;
  }
  return LoadResult::kLoaded;
}

LoadResult loadDocumentFile(const std::string& path, const DocumentFile& file, LoadedDocument& document,
                            std::string& message) {
  std::vector<uint8_t> streamed;
  uint64_t size = file.size;
  if (!file.regular) {
    if (!readStream(file.fd, streamed)) {
      message = path + ": " + std::strerror(errno);
      return LoadResult::kUnreadable;
    }
    size = streamed.size();
  }
  if (size > kLargestDocument) {
    message = path + ": the file is 2 GiB or larger; documents must be smaller";
    return LoadResult::kTooLarge;
  }

  const auto capacity = static_cast<uint32_t>(size);
  // An empty file still gets storage for its zero byte.
  if (!document.bytes.ensureCapacity(capacity == 0 ? 1 : capacity) ||
      !document.text.ensureCapacity(capacity == 0 ? 1 : capacity)) {
    message = path + ": not enough memory for a document of " + std::to_string(size) + " bytes";
    return LoadResult::kNoMemory;
  }
  int64_t got = static_cast<int64_t>(size);
  if (file.regular) {
    // A file that shrank since it was opened gives what is there; one that grew is cut at its size.
    got = readFully(file.fd, document.bytes.data, capacity);
    if (got < 0) {
      message = path + ": " + std::strerror(errno);
      return LoadResult::kUnreadable;
    }
  } else if (size > 0) {
    std::memcpy(document.bytes.data, streamed.data(), size);
  }
  document.byteCount = static_cast<int32_t>(got);
  document.bytes.data[document.byteCount] = 0;
  document.text.data[0] = 0;
  return LoadResult::kLoaded;
}
