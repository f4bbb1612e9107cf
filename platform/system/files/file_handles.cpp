// Open files: CreateFile with the handheld's access, share modes and creation dispositions, and
// the reads, writes, seeks and size queries on the handles it gives.
//
// Share modes are honoured among the program's own handles, the way the handheld honours them
// among all of its programs: an open is refused with ERROR_SHARING_VIOLATION when it asks for
// access that an open handle does not share, or when it does not share access that an open
// handle holds. Files are identified by device and inode, so two spellings of one file (case,
// "..", links) meet in one record.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <map>
#include <mutex>
#include <string>

#include "platform/system/files/device_location.h"
#include "platform/system/files/handle_table.h"
#include "platform/system/files/host_errors.h"
#include "platform/system/files/host_file_info.h"
#include "platform/system/files/open_file_table.h"
#include "platform/system/threads.h"
#include "platform/system/windows.h"

namespace platform::files {
namespace {

constexpr DWORD kGenericAll = 0x10000000;

// One open handle.
struct OpenFile {
  int descriptor = -1;  // the host file descriptor, owned: closed by CloseHandle
  dev_t device = 0;     // the file's host device, with `inode` its identity
  ino_t inode = 0;      // the file's host inode
  bool canRead = false;   // opened with read access
  bool canWrite = false;  // opened with write access
  DWORD shareMode = 0;    // FILE_SHARE_* that this handle allows others
};

// Every open file handle by its value.
HandleTable<OpenFile>& table() {
  static HandleTable<OpenFile> instance;
  return instance;
}

bool wantsRead(DWORD access) { return (access & (GENERIC_READ | kGenericAll)) != 0; }
bool wantsWrite(DWORD access) { return (access & (GENERIC_WRITE | kGenericAll)) != 0; }

// Whether a new open of (device, inode) with this access and share mode meets an open handle
// that forbids it. The caller holds the table's mutex.
bool conflictsWithOpenHandles(dev_t device, ino_t inode, bool read, bool write, DWORD shareMode) {
  for (const auto& [value, file] : table().entries) {
    if (file.device != device || file.inode != inode) continue;
    if (read && (file.shareMode & FILE_SHARE_READ) == 0) return true;
    if (write && (file.shareMode & FILE_SHARE_WRITE) == 0) return true;
    if (file.canRead && (shareMode & FILE_SHARE_READ) == 0) return true;
    if (file.canWrite && (shareMode & FILE_SHARE_WRITE) == 0) return true;
  }
  return false;
}

// The open file behind a handle, or nullptr (the last error then says why). The caller holds
// the table's mutex.
OpenFile* findOpenFile(HANDLE handle) {
  OpenFile* open = table().find(handle);
  if (open == nullptr) SetLastError(ERROR_INVALID_HANDLE);
  return open;
}

int openFlagsFor(bool read, bool write, DWORD disposition) {
  int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;  // never wait on a pipe or device while opening
  flags |= write ? (read ? O_RDWR : O_WRONLY) : O_RDONLY;
  switch (disposition) {
    case CREATE_NEW:
      return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS:
      return flags | O_CREAT | O_TRUNC;
    case OPEN_ALWAYS:
      return flags | O_CREAT;
    case TRUNCATE_EXISTING:
      return flags | O_TRUNC;
    default:
      return flags;
  }
}

// Whether the file an open descriptor names, as the kernel resolved its path, lies inside the
// device (always in desktop mode; a host without /proc is trusted to the checks before the open).
bool openedInsideDevice(int descriptor) {
  const std::string link = "/proc/self/fd/" + std::to_string(descriptor);
  char buffer[4096];
  const ssize_t length = ::readlink(link.c_str(), buffer, sizeof buffer);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof buffer) return true;
  return isInsideDevice(std::string(buffer, static_cast<size_t>(length)));
}

}  // namespace

bool isHostFileOpen(dev_t device, ino_t inode) {
  std::lock_guard<std::mutex> lock(table().mutex);
  for (const auto& [value, file] : table().entries) {
    if (file.device == device && file.inode == inode) return true;
  }
  return false;
}

}  // namespace platform::files

using namespace platform::files;

HANDLE CreateFile(LPCWSTR path, DWORD access, DWORD shareMode, SECURITY_ATTRIBUTES* /*security*/,
                  DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE /*templateFile*/) {
  if (path == nullptr || creationDisposition < CREATE_NEW || creationDisposition > TRUNCATE_EXISTING) {
    return failWith(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  }
  const bool read = wantsRead(access);
  const bool write = wantsWrite(access);
  if (creationDisposition == TRUNCATE_EXISTING && !write) return failWith(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);

  const DeviceLocation location = locateDevicePath(path);
  if (location.components.empty() || location.isVirtualDirectory) {
    return failWith(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);  // a folder is not a file
  }
  const bool creates = creationDisposition != OPEN_EXISTING && creationDisposition != TRUNCATE_EXISTING;
  // Sandbox mode: a path that leads out of the device through a link is a missing file, and
  // nothing is created for it.
  if (location.outsideDevice) {
    return failWith(creates ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
  }

  std::lock_guard<std::mutex> lock(table().mutex);
  // Everything that can refuse the open is checked before the host file is touched, so a
  // refused CREATE_ALWAYS never truncates a file that another handle holds.
  struct stat existing {};
  const bool exists = ::stat(location.hostPath.c_str(), &existing) == 0;
  struct stat entry {};
  if (!exists && errno == ENOENT && ::lstat(location.hostPath.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode)) {
    // A dangling link: the file it names is never created, in either mode.
    return failWith(creates ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
  }
  if (exists) {
    if (S_ISDIR(existing.st_mode)) return failWith(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    if (!S_ISREG(existing.st_mode)) return failWith(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    if (creationDisposition == CREATE_NEW) return failWith(ERROR_FILE_EXISTS, INVALID_HANDLE_VALUE);
    if (conflictsWithOpenHandles(existing.st_dev, existing.st_ino, read, write, shareMode)) {
      return failWith(ERROR_SHARING_VIOLATION, INVALID_HANDLE_VALUE);
    }
  } else if (errno != ENOENT) {
    return failWithErrno(errno, INVALID_HANDLE_VALUE);
  } else if (creationDisposition == OPEN_EXISTING || creationDisposition == TRUNCATE_EXISTING) {
    return failWith(missingPathError(location.hostPath), INVALID_HANDLE_VALUE);
  }

  const mode_t mode = (flagsAndAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444 : 0666;
  // A file that was missing is created only as a new entry of its own: should a link appear
  // at that name meanwhile, the open fails rather than create the link's target.
  const int flags = openFlagsFor(read, write, creationDisposition) | (exists ? 0 : O_NOFOLLOW);
  const int descriptor = ::open(location.hostPath.c_str(), flags, mode);
  if (descriptor < 0) {
    if (errno == ENOENT) return failWith(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
    if (errno == EEXIST) return failWith(ERROR_FILE_EXISTS, INVALID_HANDLE_VALUE);
    if (errno == ELOOP) return failWith(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    return failWithErrno(errno, INVALID_HANDLE_VALUE);
  }
  struct stat opened {};
  if (::fstat(descriptor, &opened) != 0 || !S_ISREG(opened.st_mode) || !openedInsideDevice(descriptor) ||
      ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0) {
    // Not a file, or (a link changed between the checks and the open) a file outside the device.
    ::close(descriptor);
    return failWith(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
  }
  if (!exists && conflictsWithOpenHandles(opened.st_dev, opened.st_ino, read, write, shareMode)) {
    ::close(descriptor);  // only a file made under us by another spelling can get here
    return failWith(ERROR_SHARING_VIOLATION, INVALID_HANDLE_VALUE);
  }

  const std::uintptr_t value = table().add(OpenFile{descriptor, opened.st_dev, opened.st_ino, read, write, shareMode});
  const bool reportsExisting = exists && (creationDisposition == OPEN_ALWAYS || creationDisposition == CREATE_ALWAYS);
  SetLastError(reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return reinterpret_cast<HANDLE>(value);
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, void* /*overlapped*/) {
  if (bytesRead != nullptr) *bytesRead = 0;
  std::lock_guard<std::mutex> lock(table().mutex);
  OpenFile* open = findOpenFile(file);
  if (open == nullptr) return FALSE;
  if (!open->canRead) return failWith(ERROR_ACCESS_DENIED, FALSE);
  if (buffer == nullptr && bytesToRead > 0) return failWith(ERROR_INVALID_PARAMETER, FALSE);
  DWORD total = 0;
  while (total < bytesToRead) {
    const ssize_t got = ::read(open->descriptor, static_cast<char*>(buffer) + total, bytesToRead - total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      if (bytesRead != nullptr) *bytesRead = total;
      return failWithErrno(errno, FALSE);
    }
    if (got == 0) break;  // the end of the file: what was there is the result
    total += static_cast<DWORD>(got);
  }
  if (bytesRead != nullptr) *bytesRead = total;
  return TRUE;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten, void* /*overlapped*/) {
  if (bytesWritten != nullptr) *bytesWritten = 0;
  std::lock_guard<std::mutex> lock(table().mutex);
  OpenFile* open = findOpenFile(file);
  if (open == nullptr) return FALSE;
  if (!open->canWrite) return failWith(ERROR_ACCESS_DENIED, FALSE);
  if (buffer == nullptr && bytesToWrite > 0) return failWith(ERROR_INVALID_PARAMETER, FALSE);
  DWORD total = 0;
  while (total < bytesToWrite) {
    const ssize_t put = ::write(open->descriptor, static_cast<const char*>(buffer) + total, bytesToWrite - total);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (bytesWritten != nullptr) *bytesWritten = total;
      return failWithErrno(put < 0 ? errno : ENOSPC, FALSE);
    }
    total += static_cast<DWORD>(put);
  }
  if (bytesWritten != nullptr) *bytesWritten = total;
  return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD moveMethod) {
  std::lock_guard<std::mutex> lock(table().mutex);
  OpenFile* open = findOpenFile(file);
  if (open == nullptr) return INVALID_SET_FILE_POINTER;
  // Without a high part the distance is a signed 32-bit value; with one, the two form a signed
  // 64-bit distance.
  const std::int64_t move =
      distanceHigh == nullptr
          ? static_cast<std::int64_t>(distance)
          : static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(*distanceHigh)) << 32) |
                                      static_cast<std::uint32_t>(distance));
  std::int64_t base = 0;
  if (moveMethod == FILE_CURRENT) {
    base = ::lseek(open->descriptor, 0, SEEK_CUR);
  } else if (moveMethod == FILE_END) {
    struct stat st {};
    base = ::fstat(open->descriptor, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
  } else if (moveMethod != FILE_BEGIN) {
    return failWith(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
  }
  if (base < 0) return failWithErrno(errno, INVALID_SET_FILE_POINTER);
  if ((move > 0 && base > std::numeric_limits<std::int64_t>::max() - move) || base + move < 0) {
    return failWith(ERROR_NEGATIVE_SEEK, INVALID_SET_FILE_POINTER);  // the pointer stays where it was
  }
  const std::int64_t target = base + move;
  if (distanceHigh == nullptr && target > 0xFFFFFFFE) {
    return failWith(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);  // not expressible in 32 bits
  }
  if (::lseek(open->descriptor, static_cast<off_t>(target), SEEK_SET) < 0) {
    return failWithErrno(errno, INVALID_SET_FILE_POINTER);
  }
  if (distanceHigh != nullptr) *distanceHigh = static_cast<LONG>(static_cast<std::uint64_t>(target) >> 32);
  // A low part of 0xFFFFFFFF is a valid position when the high part is used; the cleared last
  // error tells it apart from a failure.
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(static_cast<std::uint64_t>(target) & 0xFFFFFFFFu);
}

DWORD GetFileSize(HANDLE file, DWORD* sizeHigh) {
  std::lock_guard<std::mutex> lock(table().mutex);
  OpenFile* open = findOpenFile(file);
  if (open == nullptr) return INVALID_FILE_SIZE;
  struct stat st {};
  if (::fstat(open->descriptor, &st) != 0) return failWithErrno(errno, INVALID_FILE_SIZE);
  const auto size = static_cast<std::uint64_t>(st.st_size);
  if (sizeHigh != nullptr) *sizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);  // tells a low part of 0xFFFFFFFF apart from a failure
  return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

BOOL FlushFileBuffers(HANDLE file) {
  std::lock_guard<std::mutex> lock(table().mutex);
  OpenFile* open = findOpenFile(file);
  if (open == nullptr) return FALSE;
  if (::fsync(open->descriptor) != 0) return failWithErrno(errno, FALSE);
  return TRUE;
}

BOOL CloseHandle(HANDLE object) {
  {
    std::lock_guard<std::mutex> lock(table().mutex);
    if (const OpenFile* open = table().find(object)) {
      ::close(open->descriptor);
      table().remove(object);
      return TRUE;
    }
  }
  if (platform::threads::closeThreadHandle(object)) return TRUE;
  return failWith(ERROR_INVALID_HANDLE, FALSE);
}
