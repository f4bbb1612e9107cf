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

bool readWithStatx(const std::string& hostPath, HostFileInfo& info) {
  constexpr unsigned kWanted = STATX_BASIC_STATS | STATX_BTIME;
  struct statx st {};
  if (::statx(AT_FDCWD, hostPath.c_str(), AT_STATX_SYNC_AS_STAT, kWanted, &st) != 0) {
    const int statError = errno;
    // A dangling link is still an entry.
    if (::statx(AT_FDCWD, hostPath.c_str(), AT_STATX_SYNC_AS_STAT | AT_SYMLINK_NOFOLLOW, kWanted, &st) != 0) {
      errno = statError;
      return false;
    }
  }
  fillFromStatx(st, info);
  return true;
}
#endif

bool readWithStat(const std::string& hostPath, HostFileInfo& info) {
  struct stat st {};
  if (::stat(hostPath.c_str(), &st) != 0) {
    const int statError = errno;
    if (::lstat(hostPath.c_str(), &st) != 0) {  // a dangling link is still an entry
      errno = statError;
      return false;
    }
  }
  fillFromStat(st, info);
  return true;
}

}  // namespace

bool readHostFileInfo(const std::string& hostPath, HostFileInfo& info) {
  info = HostFileInfo{};
#ifdef STATX_BTIME
  bool found = readWithStatx(hostPath, info);
  if (!found && errno == ENOSYS) found = readWithStat(hostPath, info);  // a kernel without statx
#else
  const bool found = readWithStat(hostPath, info);
#endif
  if (!found) return false;
  if (!info.isDirectory && !info.readOnly && ::access(hostPath.c_str(), W_OK) != 0 && errno == EACCES) {
    info.readOnly = true;
  }
  return true;
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
