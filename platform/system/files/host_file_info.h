// Inside the file services: what the host knows of one file, in the handheld's terms.
#pragma once

#include <cstdint>
#include <string>

#include "platform/system/windows.h"

namespace platform::files {

// One host entry as the handheld's directory search and attribute query report it.
struct HostFileInfo {
  bool isDirectory = false;  // a folder (after following a symbolic link)
  bool isRegular = false;    // an ordinary file; devices, pipes and sockets are neither
  bool readOnly = false;     // nobody may write it (no write permission bit) or this user may not
  std::uint64_t size = 0;    // size in bytes (0 for a folder)
  FILETIME creationTime{};   // birth time where the host records one, else the modification time
  FILETIME lastAccessTime{};  // last access
  FILETIME lastWriteTime{};   // last modification
};

// Reads what the host knows of `hostPath`, following symbolic links (a dangling link reports
// the link itself). Returns false and leaves errno set when the entry cannot be examined.
bool readHostFileInfo(const std::string& hostPath, HostFileInfo& info);

// The same for the entry `name` of the open host folder `folder` (a descriptor): a directory
// search examines each entry this way, so the kernel does not walk the folder's path again for
// every entry.
bool readHostFileInfoAt(int folder, const std::string& name, HostFileInfo& info);

// The attribute bits of an entry: directory, read-only (files only), hidden for a dot-name, and
// normal when no other bit applies.
DWORD attributesOf(const HostFileInfo& info, const std::u16string& deviceName);

// A host time (seconds and nanoseconds since 1970, UTC) as a file time (100-ns intervals since
// 1601, UTC). Times before 1601 read as 1601.
FILETIME fileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds);

// The error the handheld reports for a path that does not exist: file not found when its folder
// exists, path not found when the folder is missing too.
DWORD missingPathError(const std::string& hostPath);

}  // namespace platform::files
