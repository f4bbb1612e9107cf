// SHGetShortcutTarget: the command line stored in a shortcut file, read through the device's
// file services so that the shortcut's path is a device path like any other.
#include <algorithm>
#include <string>

#include "platform/shellext/aygshell.h"
#include "platform/shellext/shortcut_text.h"

namespace {

BOOL refuse(LPWSTR target, int maxCount, DWORD error) {
  if (target != nullptr && maxCount > 0) target[0] = 0;
  SetLastError(error);
  return FALSE;
}

// The whole file when it is small enough to be a shortcut.
bool readSmallFile(LPCWSTR path, std::string& bytes) {
  HANDLE file = CreateFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD high = 0;
  const DWORD size = GetFileSize(file, &high);
  bool ok = high == 0 && size != INVALID_FILE_SIZE && size <= platform::shellext::kMaxShortcutFileBytes;
  if (!ok) SetLastError(ERROR_FILE_TOO_LARGE);  // far too large to be a shortcut
  if (ok) {
    bytes.assign(size, '\0');
    DWORD got = 0;
    ok = ReadFile(file, bytes.data(), size, &got, nullptr) != FALSE;
    bytes.resize(ok ? got : 0);  // a file that shrank meanwhile yields what was there
  }
  CloseHandle(file);
  return ok;
}

}  // namespace

BOOL SHGetShortcutTarget(LPCWSTR shortcutPath, LPWSTR target, int maxCount) {
  if (shortcutPath == nullptr || target == nullptr || maxCount <= 0) return refuse(target, maxCount, ERROR_INVALID_PARAMETER);
  std::string bytes;
  if (!readSmallFile(shortcutPath, bytes)) return refuse(target, maxCount, GetLastError());
  const std::optional<std::u16string> commandLine = platform::shellext::shortcutCommandLine(bytes);
  if (!commandLine) return refuse(target, maxCount, ERROR_INVALID_PARAMETER);
  // A cut path would name another file: a target that does not fit is refused whole.
  if (commandLine->size() >= static_cast<std::size_t>(maxCount)) return refuse(target, maxCount, ERROR_INSUFFICIENT_BUFFER);
  std::copy(commandLine->begin(), commandLine->end(), target);
  target[commandLine->size()] = 0;
  return TRUE;
}
