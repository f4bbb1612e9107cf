// Questions and changes about one path: its attributes, making a folder, deleting a file.
#include <fcntl.h>
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
  if (location.outsideDevice) return failWith(ERROR_FILE_NOT_FOUND, INVALID_FILE_ATTRIBUTES);
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
  if (location.outsideDevice) return failWith(ERROR_PATH_NOT_FOUND, FALSE);
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
  if (location.outsideDevice) return failWith(ERROR_FILE_NOT_FOUND, FALSE);
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

BOOL DeleteAndRenameFile(LPCWSTR newFileName, LPCWSTR oldFileName) {
  if (newFileName == nullptr || oldFileName == nullptr) return failWith(ERROR_INVALID_PARAMETER, FALSE);
  const DeviceLocation target = locateDevicePath(newFileName);
  const DeviceLocation source = locateDevicePath(oldFileName);
  if (isDeviceFolderOnly(target) || isDeviceFolderOnly(source)) return failWith(ERROR_ACCESS_DENIED, FALSE);
  if (target.outsideDevice || source.outsideDevice) return failWith(ERROR_FILE_NOT_FOUND, FALSE);
  // Both are plain files: the names change, and no link is followed to a file elsewhere.
  struct stat sourceInfo {};
  struct stat targetInfo {};
  if (::lstat(source.hostPath.c_str(), &sourceInfo) != 0) {
    return failWith(errno == ENOENT ? missingPathError(source.hostPath) : errorFromErrno(errno), FALSE);
  }
  if (::lstat(target.hostPath.c_str(), &targetInfo) != 0) {
    return failWith(errno == ENOENT ? missingPathError(target.hostPath) : errorFromErrno(errno), FALSE);
  }
  if (!S_ISREG(sourceInfo.st_mode) || !S_ISREG(targetInfo.st_mode)) return failWith(ERROR_ACCESS_DENIED, FALSE);
  if (isHostFileOpen(sourceInfo.st_dev, sourceInfo.st_ino)) return failWith(ERROR_SHARING_VIOLATION, FALSE);
  if (::rename(source.hostPath.c_str(), target.hostPath.c_str()) != 0) return failWithErrno(errno, FALSE);
  // The new name is durable once the folder that holds it is.
  const std::size_t slash = target.hostPath.find_last_of('/');
  const std::string folder = slash == 0 ? std::string("/") : target.hostPath.substr(0, slash);
  const int folderDescriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folderDescriptor >= 0) {
    ::fsync(folderDescriptor);
    ::close(folderDescriptor);
  }
  return TRUE;
}
