// Directory search: FindFirstFile, FindNextFile and FindClose over a device folder.
//
// The search reports what the handheld reports: the folder's entries without "." and "..",
// each with its attributes, size and times. Names are taken once, when the search starts, and
// each entry is examined when it is handed out; an entry that vanished meanwhile is passed
// over. Entries come in case-insensitive name order, so a listing is the same every time.
// Desktop mode adds the mounted names ("My Documents", "Program Files", "Quillscope") to the
// folders that hold them.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <QChar>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/system/files/device_location.h"
#include "platform/system/files/handle_table.h"
#include "platform/system/files/host_errors.h"
#include "platform/system/files/host_file_info.h"
#include "platform/system/qt_units.h"
#include "platform/system/text_utils.h"
#include "platform/system/windows.h"

using namespace platform::files;

namespace {

// One name a search will hand out.
struct FoundEntry {
  std::u16string name;        // the entry's device name
  std::string hostName;       // its name in the searched host folder; empty for a mount point
  std::string mountHostPath;  // a mount point: the whole host path of the folder it shows
  bool isMountPoint = false;  // a desktop-mode folder that exists only on the device
};

// The searched host folder, held open (a descriptor the search owns) so that each entry is
// examined relative to it: one look-up of the entry's name instead of a walk of its whole path.
class OpenFolder {
 public:
  OpenFolder() = default;
  explicit OpenFolder(int descriptor) : descriptor_(descriptor) {}
  OpenFolder(OpenFolder&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}
  OpenFolder& operator=(OpenFolder&& other) noexcept {
    if (this != &other) {
      close();
      descriptor_ = std::exchange(other.descriptor_, -1);
    }
    return *this;
  }
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;
  ~OpenFolder() { close(); }
  int descriptor() const { return descriptor_; }

 private:
  void close() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
  }
  int descriptor_ = -1;  // owned; -1 when the folder could not be opened (a virtual folder)
};

// One search in progress.
struct Search {
  std::vector<FoundEntry> entries;  // what is left to hand out, in order
  std::size_t next = 0;             // the index of the next entry to hand out
  OpenFolder folder;                // the searched folder, open until the search is closed
};

// Every open search by its handle value.
HandleTable<Search>& searchTable() {
  static HandleTable<Search> instance;
  return instance;
}

char16_t foldCase(char16_t unit) { return QChar(unit).toCaseFolded().unicode(); }

// The handheld's wildcard match, ignoring case: "*" any run of units, "?" one unit.
bool matchesWildcard(const std::u16string& name, const std::u16string& pattern) {
  if (pattern == u"*" || pattern == u"*.*") return true;
  std::size_t n = 0, p = 0, starPattern = std::u16string::npos, starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || foldCase(pattern[p]) == foldCase(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      starPattern = p++;
      starName = n;
    } else if (starPattern != std::u16string::npos) {
      p = starPattern + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

// The order of the platform's sorted lists (case folded unit by unit), so that a list filled in
// search order only ever appends; no string is made per comparison.
bool lessIgnoringCase(const FoundEntry& a, const FoundEntry& b) {
  const int folded = platform::text::compareFolded(a.name, b.name);
  return folded != 0 ? folded < 0 : a.name < b.name;
}

// A host name as the device spells it: ASCII directly (most names, and a big folder has many),
// anything else through the host's file name encoding.
std::u16string deviceNameOf(const std::string& hostName) {
  if (std::all_of(hostName.begin(), hostName.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return std::u16string(hostName.begin(), hostName.end());
  }
  return QFile::decodeName(QByteArray::fromStdString(hostName)).toStdU16String();
}

std::string hostChild(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Fills `data` for an entry; false when it can no longer be examined.
bool describe(const FoundEntry& entry, int folder, WIN32_FIND_DATA& data) {
  data = WIN32_FIND_DATA{};
  HostFileInfo info;
  const bool examined = entry.isMountPoint ? readHostFileInfo(entry.mountHostPath, info)
                                           : readHostFileInfoAt(folder, entry.hostName, info);
  if (!examined) {
    if (!entry.isMountPoint) return false;
    info = HostFileInfo{};
  }
  if (entry.isMountPoint) info.isDirectory = true;
  data.dwFileAttributes = attributesOf(info, entry.name);
  data.ftCreationTime = info.creationTime;
  data.ftLastAccessTime = info.lastAccessTime;
  data.ftLastWriteTime = info.lastWriteTime;
  data.nFileSizeHigh = static_cast<DWORD>(info.size >> 32);
  data.nFileSizeLow = static_cast<DWORD>(info.size & 0xFFFFFFFFu);
  std::copy(entry.name.begin(), entry.name.end(), data.cFileName);
  data.cFileName[entry.name.size()] = 0;
  return true;
}

// Hands out the next entry that can still be examined.
bool handOutNext(Search& search, WIN32_FIND_DATA& data) {
  while (search.next < search.entries.size()) {
    if (describe(search.entries[search.next++], search.folder.descriptor(), data)) return true;
  }
  return false;
}

}  // namespace

HANDLE FindFirstFile(LPCWSTR pattern, WIN32_FIND_DATA* data) {
  if (pattern == nullptr || data == nullptr) return failWith(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  const std::u16string text(pattern);
  std::size_t split = text.size();
  while (split > 0 && !isDeviceSeparator(text[split - 1])) --split;
  const std::u16string folderPath = text.substr(0, split);
  const std::u16string namePattern = text.substr(split);
  if (namePattern.empty()) return failWith(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);

  const DeviceLocation folder = locateDevicePath(folderPath.empty() ? u"\\" : folderPath);
  if (folder.outsideDevice) return failWith(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
  Search search;
  // The search keeps one descriptor for examining entries and reads the names through another.
  const int descriptor = ::open(folder.hostPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const int listing = descriptor >= 0 ? ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0) : -1;
  DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
  const int openError = errno;
  if (dir == nullptr && listing >= 0) ::close(listing);
  search.folder = OpenFolder(descriptor);
  if (dir != nullptr) {
    const DeviceBoundary boundary;  // resolves the device folder once, not per link
    while (const dirent* entry = ::readdir(dir)) {
      std::string hostName = entry->d_name;
      if (hostName == "." || hostName == "..") continue;
      std::u16string name = deviceNameOf(hostName);
      // A name with no device spelling, or too long for the record, cannot be handed out.
      if (name.find(u'\\') != std::u16string::npos || name.size() >= static_cast<std::size_t>(MAX_PATH)) continue;
      if (!matchesWildcard(name, namePattern)) continue;
      // Sandbox mode: a link that leads out of the device is as good as missing. The folder
      // itself lies inside, so only a link (or an entry of unknown kind) can lead out; the
      // others need no resolving, which a folder of many files would pay for each.
      const bool mayLeadOut = entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN;
      if (mayLeadOut && !boundary.contains(hostChild(folder.hostPath, hostName))) continue;
      search.entries.push_back(FoundEntry{std::move(name), std::move(hostName), {}, false});
    }
    ::closedir(dir);
  } else if (!folder.isVirtualDirectory && folder.mountedNames.empty()) {
    if (openError == ENOENT || openError == ENOTDIR) return failWith(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
    return failWithErrno(openError, INVALID_HANDLE_VALUE);
  }
  for (const std::u16string& mounted : folder.mountedNames) {
    if (!matchesWildcard(mounted, namePattern)) continue;
    std::vector<std::u16string> inside = folder.components;
    inside.push_back(mounted);
    const QString mountedName = platform::unitsToQString(mounted);
    std::erase_if(search.entries, [&](const FoundEntry& e) {  // the mount hides a host entry of that name
      return platform::unitsToQString(e.name).compare(mountedName, Qt::CaseInsensitive) == 0;
    });
    search.entries.push_back(FoundEntry{mounted, {}, locateDevicePath(joinDevicePath(inside)).hostPath, true});
  }
  std::sort(search.entries.begin(), search.entries.end(), lessIgnoringCase);

  if (!handOutNext(search, *data)) return failWith(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
  std::lock_guard<std::mutex> lock(searchTable().mutex);
  return reinterpret_cast<HANDLE>(searchTable().add(std::move(search)));
}

BOOL FindNextFile(HANDLE searchHandle, WIN32_FIND_DATA* data) {
  if (data == nullptr) return failWith(ERROR_INVALID_PARAMETER, FALSE);
  std::lock_guard<std::mutex> lock(searchTable().mutex);
  Search* search = searchTable().find(searchHandle);
  if (search == nullptr) return failWith(ERROR_INVALID_HANDLE, FALSE);
  if (!handOutNext(*search, *data)) return failWith(ERROR_NO_MORE_FILES, FALSE);
  return TRUE;
}

BOOL FindClose(HANDLE searchHandle) {
  std::lock_guard<std::mutex> lock(searchTable().mutex);
  if (!searchTable().remove(searchHandle)) return failWith(ERROR_INVALID_HANDLE, FALSE);
  return TRUE;
}
