// Fuzzes the device-path mapping of sandbox mode with arbitrary device paths (UTF-16) and host
// paths, on a device that holds folders, a file and links leading in, out and nowhere. Every
// device path must land inside the device folder, lexically, and (unless the mapping reports
// that it leads out through a link) with its links followed too, as the standard library
// resolves them; every host path's device path must lead back to that host path. Names are
// taken unit for unit: a leading U+FFFE or U+FEFF is part of the name, never a byte-order mark.
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz/platform/fuzz_temp_device.h"
#include "platform/system/files/device_location.h"
#include "platform/system/files/device_paths.h"

namespace fs = std::filesystem;
using namespace platform::files;

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

bool lexicallyInside(const std::string& path, const std::string& root) {
  return path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/');
}

// Below the root, every name is a plain name: none empty, ".", "..", and no zero byte, so that
// neither the host nor a later step can read the path as leading elsewhere.
bool plainNamesBelow(const std::string& path, const std::string& root) {
  if (path == root) return true;
  std::size_t start = root.size() + 1;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string name = path.substr(start, end - start);
    if (name.empty() || name == "." || name == ".." || name.find('\0') != std::string::npos) return false;
    start = end + 1;
  }
  return true;
}

// The device, made once: "\" is a fresh temporary folder.
const std::string& deviceFolder() {
  static const std::string root = [] {
    const std::string folder = fuzzing::makeTempDevice("quill-fuzz-device");
    fs::create_directories(folder + "/My Documents/Books");
    fs::create_directories(folder + "/Program Files/Quillscope");
    if (FILE* file = std::fopen((folder + "/My Documents/a.txt").c_str(), "w")) std::fclose(file);
    fs::create_directory_symlink("/", folder + "/out");
    fs::create_directory_symlink(folder + "/My Documents", folder + "/docs");
    fs::create_symlink("/nonexistent/quill", folder + "/dangling");
    fs::create_directory_symlink("..", folder + "/My Documents/up");
    setDeviceRoot(folder);
    return folder;
  }();
  return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  const std::string& root = deviceFolder();
  const std::string realRoot = fs::canonical(root).string();

  // The input as a device path, up to its first zero unit (the API's paths end there).
  std::u16string devicePath;
  for (size_t i = 0; i + 1 < size; i += 2) {
    const char16_t unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
    if (unit == 0) break;
    devicePath += unit;
  }
  const DeviceLocation location = locateDevicePath(devicePath);
  check(lexicallyInside(location.hostPath, root));
  check(plainNamesBelow(location.hostPath, root));
  for (const std::u16string& name : location.components) {
    check(!name.empty() && name != u"." && name != u".." && name.find_first_of(u"\\/") == std::u16string::npos);
  }
  if (!location.outsideDevice) {
    std::error_code error;
    const std::string resolved = fs::weakly_canonical(location.hostPath, error).string();
    check(error || lexicallyInside(resolved, realRoot));
  }
  check(hostPathFor(devicePath) == location.hostPath);

  // The input as a host path: its device path, if it has one, names it again.
  const std::string hostPath(reinterpret_cast<const char*>(data), size);
  if (hostPath.find('\0') == std::string::npos) {
    const std::u16string back = devicePathFor(hostPath);
    if (!back.empty()) {
      check(back[0] == u'\\');
      const std::string cleaned =
          QFile::encodeName(QDir::cleanPath(QDir::current().absoluteFilePath(QFile::decodeName(hostPath.c_str()))))
              .toStdString();
      check(lexicallyInside(cleaned, root));
      const std::string again = hostPathFor(back);
      check(lexicallyInside(again, root));
    }
  }
  return 0;
}
