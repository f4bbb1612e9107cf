// Questions and changes about one path: its attributes, making a folder, deleting a file.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/system/files/device_location.h"
#include "platform/system/files/host_errors.h"
#include "platform/system/files/host_file_info.h"
#include "platform/system/files/open_file_table.h"
#include "platform/system/windows.h"

using namespace platform::files;

namespace {

// "\" and the mount points of desktop mode are folders whatever the host has there.
bool isDeviceFolderOnly(const DeviceLocation& location) {
  return location.components.empty() || location.isVirtualDirectory;
}

}  // namespace

DWORD GetFileAttributes(LPCWSTR path) {
  if (path == nullptr) return failWith(ERROR_INVALID_PARAMETER, INVALID_FILE_ATTRIBUTES);
  const DeviceLocation location = locateDevicePath(path);
  if (isDeviceFolderOnly(location)) return FILE_ATTRIBUTE_DIRECTORY;
  HostFileInfo info;
  if (!readHostFileInfo(location.hostPath, info)) {
    if (errno == ENOENT) return failWith(missingPathError(location.hostPath), INVALID_FILE_ATTRIBUTES);
    return failWithErrno(errno, INVALID_FILE_ATTRIBUTES);
  }
  return attributesOf(info, location.components.back());
}

BOOL CreateDirectory(LPCWSTR path, SECURITY_ATTRIBUTES* /*security*/) {
  if (path == nullptr) return failWith(ERROR_INVALID_PARAMETER, FALSE);
  const DeviceLocation location = locateDevicePath(path);
  if (isDeviceFolderOnly(location)) return failWith(ERROR_ALREADY_EXISTS, FALSE);
  if (::mkdir(location.hostPath.c_str(), 0777) != 0) {
    if (errno == ENOENT) return failWith(ERROR_PATH_NOT_FOUND, FALSE);
    return failWithErrno(errno, FALSE);
  }
  return TRUE;
}

BOOL DeleteFile(LPCWSTR path) {
  if (path == nullptr) return failWith(ERROR_INVALID_PARAMETER, FALSE);
  const DeviceLocation location = locateDevicePath(path);
  if (isDeviceFolderOnly(location)) return failWith(ERROR_ACCESS_DENIED, FALSE);
  struct stat st {};
  if (::lstat(location.hostPath.c_str(), &st) != 0) {
    if (errno == ENOENT) return failWith(missingPathError(location.hostPath), FALSE);
    return failWithErrno(errno, FALSE);
  }
  if (S_ISDIR(st.st_mode)) return failWith(ERROR_ACCESS_DENIED, FALSE);
  // As on the handheld: a file open in the program, or marked read-only, stays.
  if (isHostFileOpen(st.st_dev, st.st_ino)) return failWith(ERROR_SHARING_VIOLATION, FALSE);
  if (!S_ISLNK(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    return failWith(ERROR_ACCESS_DENIED, FALSE);
  }
  if (::unlink(location.hostPath.c_str()) != 0) return failWithErrno(errno, FALSE);
  return TRUE;
}
