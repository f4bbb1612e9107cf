// The device's file system on the host: which host folder each device path names.
//
// Sandbox mode puts the whole device inside one host folder. Desktop mode shows the host's own
// tree with two folders mounted into it: "\My Documents" (the user's documents) and
// "\Program Files\Quillscope" (the program's data folder, where the settings file and the
// registry live). Paths are resolved lexically first, so ".." can never climb above "\".
#include "platform/system/files/device_paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QString>
#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "platform/system/files/device_location.h"
#include "platform/system/qt_units.h"

namespace platform::files {
namespace {

constexpr char16_t kDocumentsName[] = u"My Documents";
constexpr char16_t kProgramFilesName[] = u"Program Files";
constexpr char16_t kProgramName[] = u"Quillscope";

// The mapping in force. Guarded by mappingMutex(); read through currentMapping().
struct DeviceMapping {
  bool chosen = false;          // false until setDeviceRoot ran or QUILLSCOPE_DEVICE was read
  std::string sandboxRoot;      // absolute host folder that is "\", or empty in desktop mode
  std::string documentsFolder;  // desktop mode: the host folder behind "\My Documents"
  std::string dataFolder;       // desktop mode: the host folder behind "\Program Files\Quillscope"
};

std::mutex& mappingMutex() {
  static std::mutex mutex;
  return mutex;
}

DeviceMapping& mappingState() {
  static DeviceMapping mapping;
  return mapping;
}

QString fromHost(const std::string& hostPath) { return QFile::decodeName(QByteArray::fromStdString(hostPath)); }
std::string toHost(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString fromDevice(const std::u16string& text) {
  return platform::unitsToQString(text.data(), static_cast<qsizetype>(text.size()));
}
std::u16string toDevice(const QString& text) { return text.toStdU16String(); }

// An absolute, lexically clean host path without a trailing "/" (except the root itself).
std::string cleanAbsoluteHostPath(const std::string& hostPath) {
  return toHost(QDir::cleanPath(QDir::current().absoluteFilePath(fromHost(hostPath))));
}

void chooseMappingLocked(DeviceMapping& mapping, const std::string& hostFolder) {
  mapping.chosen = true;
  mapping.sandboxRoot.clear();
  mapping.documentsFolder.clear();
  mapping.dataFolder.clear();
  if (!hostFolder.empty()) {
    mapping.sandboxRoot = cleanAbsoluteHostPath(hostFolder);
    return;
  }
  // The documents folder is the XDG one when it exists; otherwise the home folder, so that
  // "\My Documents" always names a folder the user has.
  QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (documents.isEmpty() || !QDir(documents).exists()) documents = QDir::homePath();
  mapping.documentsFolder = toHost(QDir::cleanPath(documents));
  QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (dataHome.isEmpty()) dataHome = QDir::homePath() + QStringLiteral("/.local/share");
  mapping.dataFolder = toHost(QDir::cleanPath(dataHome + QStringLiteral("/quillscope")));
}

DeviceMapping currentMapping() {
  std::lock_guard<std::mutex> lock(mappingMutex());
  DeviceMapping& mapping = mappingState();
  if (!mapping.chosen) {
    const char* fromEnvironment = std::getenv("QUILLSCOPE_DEVICE");
    chooseMappingLocked(mapping, fromEnvironment ? std::string(fromEnvironment) : std::string());
  }
  return mapping;
}

bool sameNameIgnoringCase(const std::u16string& a, const char16_t* b) {
  return fromDevice(a).compare(platform::zeroTerminatedToQString(b), Qt::CaseInsensitive) == 0;
}

// Splits on both separators and resolves "." and ".." lexically; ".." at the root stays there.
std::vector<std::u16string> resolveComponents(const std::u16string& devicePath) {
  std::vector<std::u16string> components;
  std::size_t start = 0;
  while (start <= devicePath.size()) {
    std::size_t end = start;
    while (end < devicePath.size() && !isDeviceSeparator(devicePath[end])) ++end;
    std::u16string name = devicePath.substr(start, end - start);
    if (name == u"..") {
      if (!components.empty()) components.pop_back();
    } else if (!name.empty() && name != u".") {
      components.push_back(std::move(name));
    }
    start = end + 1;
  }
  return components;
}

std::string joinHost(const std::string& base, const std::string& name) {
  if (!base.empty() && base.back() == '/') return base + name;
  return base + "/" + name;
}

// Appends the names below `base`, taking an existing entry that differs only in case when the
// exact name is missing. Once a name exists in neither spelling, the rest is appended as given.
std::string appendHostNames(std::string hostPath, const std::vector<std::u16string>& names, std::size_t first) {
  bool stillResolving = true;
  for (std::size_t i = first; i < names.size(); ++i) {
    const QString name = fromDevice(names[i]);
    std::string candidate = joinHost(hostPath, toHost(name));
    struct stat info {};
    if (stillResolving && ::lstat(candidate.c_str(), &info) != 0) {
      stillResolving = false;
      if (errno == ENOENT) {
        if (DIR* dir = ::opendir(hostPath.c_str())) {
          QString best;
          while (const dirent* entry = ::readdir(dir)) {
            const QString entryName = QFile::decodeName(entry->d_name);
            if (entryName == QLatin1String(".") || entryName == QLatin1String("..")) continue;
            if (entryName.compare(name, Qt::CaseInsensitive) != 0) continue;
            if (best.isEmpty() || entryName < best) best = entryName;  // the same choice every time
          }
          ::closedir(dir);
          if (!best.isEmpty()) {
            candidate = joinHost(hostPath, toHost(best));
            stillResolving = true;
          }
        }
      }
    }
    hostPath = std::move(candidate);
  }
  return hostPath;
}

// Replaces `hostPath` by the device path below `prefix` when it lies inside it.
bool deviceSuffixBelow(const std::string& hostPath, const std::string& prefix, std::string& suffix) {
  if (hostPath == prefix) {
    suffix.clear();
    return true;
  }
  const std::string withSlash = prefix == "/" ? prefix : prefix + "/";
  if (hostPath.compare(0, withSlash.size(), withSlash) != 0) return false;
  suffix = hostPath.substr(withSlash.size());
  return true;
}

std::u16string devicePathFrom(const std::u16string& mountPoint, const std::string& hostSuffix) {
  std::u16string result = mountPoint;
  if (!hostSuffix.empty()) {
    const std::u16string suffix = toDevice(fromHost(hostSuffix));
    // A host name holding "\" has no device spelling: it would read back as two names.
    if (suffix.find(u'\\') != std::u16string::npos) return {};
    if (result != u"\\") result += u'\\';
    for (char16_t unit : suffix) result += unit == u'/' ? u'\\' : unit;
  }
  return result;
}

// The real path (every link followed) of `hostPath`, or of its deepest existing folder when it
// does not exist; empty when not even "/" can be resolved.
std::string realPathOfDeepestExisting(std::string hostPath) {
  while (!hostPath.empty()) {
    if (char* real = ::realpath(hostPath.c_str(), nullptr)) {
      std::string result(real);
      std::free(real);
      return result;
    }
    if (errno != ENOENT && errno != ENOTDIR) return {};
    // A dangling link or a missing name: judge the folder that holds it.
    const std::size_t slash = hostPath.find_last_of('/');
    if (slash == std::string::npos) return {};
    hostPath = slash == 0 ? (hostPath == "/" ? std::string() : std::string("/")) : hostPath.substr(0, slash);
  }
  return {};
}

// `realRoot` is the device folder's real path: the folder itself may lie behind a link (a
// temporary folder often does).
bool isBelowRealRoot(const std::string& realRoot, const std::string& hostPath) {
  const std::string real = realPathOfDeepestExisting(hostPath);
  if (realRoot.empty() || real.empty()) return false;
  std::string suffix;
  return deviceSuffixBelow(real, realRoot, suffix);
}

bool isInsideSandbox(const std::string& sandboxRoot, const std::string& hostPath) {
  return isBelowRealRoot(realPathOfDeepestExisting(sandboxRoot), hostPath);
}

}  // namespace

void setDeviceRoot(const std::string& hostFolder) {
  std::lock_guard<std::mutex> lock(mappingMutex());
  chooseMappingLocked(mappingState(), hostFolder);
}

std::string deviceRoot() { return currentMapping().sandboxRoot; }

std::u16string joinDevicePath(const std::vector<std::u16string>& components) {
  if (components.empty()) return u"\\";
  std::u16string path;
  for (const std::u16string& name : components) {
    path += u'\\';
    path += name;
  }
  return path;
}

DeviceLocation locateDevicePath(const std::u16string& devicePath) {
  const DeviceMapping mapping = currentMapping();
  DeviceLocation location;
  location.components = resolveComponents(devicePath);
  std::vector<std::u16string>& names = location.components;

  if (!mapping.sandboxRoot.empty()) {
    location.hostPath = appendHostNames(mapping.sandboxRoot, names, 0);
    location.outsideDevice = !isInsideSandbox(mapping.sandboxRoot, location.hostPath);
    return location;
  }
  if (!names.empty() && sameNameIgnoringCase(names[0], kDocumentsName)) {
    names[0] = kDocumentsName;
    location.hostPath = appendHostNames(mapping.documentsFolder, names, 1);
    return location;
  }
  if (!names.empty() && sameNameIgnoringCase(names[0], kProgramFilesName)) {
    names[0] = kProgramFilesName;
    if (names.size() >= 2 && sameNameIgnoringCase(names[1], kProgramName)) {
      names[1] = kProgramName;
      location.hostPath = appendHostNames(mapping.dataFolder, names, 2);
      return location;
    }
    if (names.size() == 1) {
      location.isVirtualDirectory = true;
      location.mountedNames = {kProgramName};
    }
  }
  if (names.empty()) location.mountedNames = {kDocumentsName, kProgramFilesName};
  location.hostPath = appendHostNames("/", names, 0);
  return location;
}

bool isInsideDevice(const std::string& hostPath) {
  const DeviceMapping mapping = currentMapping();
  return mapping.sandboxRoot.empty() || isInsideSandbox(mapping.sandboxRoot, hostPath);
}

DeviceBoundary::DeviceBoundary() {
  const DeviceMapping mapping = currentMapping();
  sandboxed_ = !mapping.sandboxRoot.empty();
  if (sandboxed_) realRoot_ = realPathOfDeepestExisting(mapping.sandboxRoot);
}

bool DeviceBoundary::contains(const std::string& hostPath) const {
  return !sandboxed_ || isBelowRealRoot(realRoot_, hostPath);
}

std::string hostPathFor(const std::u16string& devicePath) { return locateDevicePath(devicePath).hostPath; }

std::u16string devicePathFor(const std::string& hostPath) {
  const DeviceMapping mapping = currentMapping();
  const std::string absolute = cleanAbsoluteHostPath(hostPath);
  std::string suffix;
  if (!mapping.sandboxRoot.empty()) {
    if (!deviceSuffixBelow(absolute, mapping.sandboxRoot, suffix)) return {};
    return devicePathFrom(u"\\", suffix);
  }
  // The deeper mount wins: the data folder lies inside the documents folder when that is the
  // home folder.
  std::string dataSuffix;
  std::string documentsSuffix;
  const bool inData = deviceSuffixBelow(absolute, mapping.dataFolder, dataSuffix);
  const bool inDocuments = deviceSuffixBelow(absolute, mapping.documentsFolder, documentsSuffix);
  if (inData && (!inDocuments || mapping.dataFolder.size() >= mapping.documentsFolder.size())) {
    return devicePathFrom(u"\\Program Files\\Quillscope", dataSuffix);
  }
  if (inDocuments) return devicePathFrom(u"\\My Documents", documentsSuffix);
  deviceSuffixBelow(absolute, "/", suffix);
  return devicePathFrom(u"\\", suffix);
}

}  // namespace platform::files
