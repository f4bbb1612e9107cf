// Inside the file services: where a device path lands on the host, with what the mapping knows
// beyond the bare host path (the mounted names of desktop mode). device_paths.h gives the
// public, path-only view of the same mapping.
#pragma once

#include <string>
#include <vector>

namespace platform::files {

// One device path resolved against the current device root.
struct DeviceLocation {
  std::vector<std::u16string> components;   // the device path's names after "." and ".." were resolved; empty = "\"
  std::string hostPath;                     // the host path (UTF-8) that holds the entry, existing or not
  bool isVirtualDirectory = false;          // desktop mode: a folder that exists only as a mount point ("\Program Files")
  std::vector<std::u16string> mountedNames;  // desktop mode: names mounted inside this folder, listed beside its host entries
  bool outsideDevice = false;               // sandbox mode: with its links followed, the path leaves the device folder
};

// Resolves a device path ("\" or "/" separators; a path without a leading separator is taken
// from the root, the handheld having no current directory). Existing host names are matched
// case-insensitively, as the handheld's file system compares names, when the exact name is
// missing.
DeviceLocation locateDevicePath(const std::u16string& devicePath);

// Sandbox mode: whether `hostPath`, with every symbolic link followed, lies inside the device
// folder. A path whose last names do not exist yet is judged by the deepest part that exists.
// Always true in desktop mode.
bool isInsideDevice(const std::string& hostPath);

// The same test for many paths at once (a directory search's links): the device folder's own
// real path is resolved once, when the boundary is made, not again for every path.
class DeviceBoundary {
 public:
  DeviceBoundary();
  bool contains(const std::string& hostPath) const;

 private:
  bool sandboxed_ = false;  // false in desktop mode, where every path is inside
  std::string realRoot_;    // the device folder with its links followed; empty when it cannot be resolved
};

// The device path, "\" + names joined with "\", of resolved components.
std::u16string joinDevicePath(const std::vector<std::u16string>& components);

// True when the name is a device path separator ("\" or "/").
inline bool isDeviceSeparator(char16_t unit) { return unit == u'\\' || unit == u'/'; }

}  // namespace platform::files
