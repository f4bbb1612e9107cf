// What the host knows of one file, in the handheld's terms: attribute bits, sizes and file times.
#include "platform/system/files/host_file_info.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform::files {
namespace {

constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
constexpr std::int64_t kTicksPerSecond = 10000000;  // 100-ns intervals

void fillFromStat(const struct stat& st, HostFileInfo& info) {
  info.isDirectory = S_ISDIR(st.st_mode);
  info.isRegular = S_ISREG(st.st_mode);
  info.size = info.isDirectory ? 0 : static_cast<std::uint64_t>(st.st_size);
  info.lastAccessTime = fileTimeFromUnix(st.st_atim.tv_sec, static_cast<std::uint32_t>(st.st_atim.tv_nsec));
  info.lastWriteTime = fileTimeFromUnix(st.st_mtim.tv_sec, static_cast<std::uint32_t>(st.st_mtim.tv_nsec));
  info.creationTime = info.lastWriteTime;
  // chmod a-w marks a file read-only even for a user (root) whom the host would let write it.
  info.readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

FILETIME fileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds) {
  if (seconds < -kSecondsFrom1601To1970) return FILETIME{0, 0};
  const std::uint64_t ticks = static_cast<std::uint64_t>(seconds + kSecondsFrom1601To1970) * kTicksPerSecond +
                              nanoseconds / 100;
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

namespace {

// The real user, the one the host's access test judges (asked once: a search examines many files).
uid_t thisUser() {
  static const uid_t user = ::getuid();
  return user;
}

#ifdef STATX_BTIME
// The same fields from statx, which also gives the birth time in the one call: a directory
// search examines every entry, so each call saved counts.
void fillFromStatx(const struct statx& st, HostFileInfo& info) {
  info.isDirectory = S_ISDIR(st.stx_mode);
  info.isRegular = S_ISREG(st.stx_mode);
  info.size = info.isDirectory ? 0 : static_cast<std::uint64_t>(st.stx_size);
  info.lastAccessTime = fileTimeFromUnix(st.stx_atime.tv_sec, st.stx_atime.tv_nsec);
  info.lastWriteTime = fileTimeFromUnix(st.stx_mtime.tv_sec, st.stx_mtime.tv_nsec);
  info.creationTime = (st.stx_mask & STATX_BTIME) != 0 ? fileTimeFromUnix(st.stx_btime.tv_sec, st.stx_btime.tv_nsec)
                                                       : info.lastWriteTime;
  info.readOnly = (st.stx_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool readWithStatx(int folder, const char* path, HostFileInfo& info, bool& ownerCanWrite) {
  constexpr unsigned kWanted = STATX_BASIC_STATS | STATX_BTIME;
  struct statx st {};
  if (::statx(folder, path, AT_STATX_SYNC_AS_STAT, kWanted, &st) != 0) {
    const int statError = errno;
    // A dangling link is still an entry.
    if (::statx(folder, path, AT_STATX_SYNC_AS_STAT | AT_SYMLINK_NOFOLLOW, kWanted, &st) != 0) {
      errno = statError;
      return false;
    }
  }
  fillFromStatx(st, info);
  ownerCanWrite = st.stx_uid == thisUser() && (st.stx_mode & S_IWUSR) != 0;
  return true;
}
#endif

bool readWithStat(int folder, const char* path, HostFileInfo& info, bool& ownerCanWrite) {
  struct stat st {};
  if (::fstatat(folder, path, &st, 0) != 0) {
    const int statError = errno;
    if (::fstatat(folder, path, &st, AT_SYMLINK_NOFOLLOW) != 0) {  // a dangling link is still an entry
      errno = statError;
      return false;
    }
  }
  fillFromStat(st, info);
  ownerCanWrite = st.st_uid == thisUser() && (st.st_mode & S_IWUSR) != 0;
  return true;
}

// `path` is relative to the open folder `folder`, or absolute with AT_FDCWD.
bool readAt(int folder, const char* path, HostFileInfo& info) {
  info = HostFileInfo{};
  bool ownerCanWrite = false;  // this user owns the entry and its owner write bit is set
#ifdef STATX_BTIME
  bool found = readWithStatx(folder, path, info, ownerCanWrite);
  if (!found && errno == ENOSYS) found = readWithStat(folder, path, info, ownerCanWrite);  // a kernel without statx
#else
  const bool found = readWithStat(folder, path, info, ownerCanWrite);
#endif
  if (!found) return false;
  // A write bit is not yet leave to write. For this user's own file the owner bit alone
  // decides (an access list's owner entry is that bit), so only other users' files need the
  // question put to the host, which costs another look-up of the name.
  if (!info.isDirectory && !info.readOnly && !ownerCanWrite &&
      ::faccessat(folder, path, W_OK, 0) != 0 && errno == EACCES) {
    info.readOnly = true;
  }
  return true;
}

}  // namespace

bool readHostFileInfo(const std::string& hostPath, HostFileInfo& info) {
  return readAt(AT_FDCWD, hostPath.c_str(), info);
}

bool readHostFileInfoAt(int folder, const std::string& name, HostFileInfo& info) {
  return readAt(folder, name.c_str(), info);
}

DWORD attributesOf(const HostFileInfo& info, const std::u16string& deviceName) {
  DWORD attributes = 0;
  if (info.isDirectory) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (!info.isDirectory && info.readOnly) attributes |= FILE_ATTRIBUTE_READONLY;
  if (!deviceName.empty() && deviceName[0] == u'.') attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

DWORD missingPathError(const std::string& hostPath) {
  const std::size_t slash = hostPath.find_last_of('/');
  if (slash == std::string::npos) return ERROR_FILE_NOT_FOUND;
  const std::string folder = slash == 0 ? std::string("/") : hostPath.substr(0, slash);
  struct stat st {};
  if (::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return ERROR_FILE_NOT_FOUND;
  return ERROR_PATH_NOT_FOUND;
}

}  // namespace platform::files
