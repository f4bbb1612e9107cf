// The handheld's registry functions over the registry store: key handles, path parsing and the
// buffer conventions of the calls (sizes in bytes, ERROR_MORE_DATA with the needed size).
//
// As on the handheld, the access rights and the options of RegCreateKeyEx are not enforced:
// every key is readable and writable, and every key is kept (there are no volatile keys).
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>

#include "platform/system/files/handle_table.h"
#include "platform/system/registry/registry_store.h"
#include "platform/system/windows.h"

using namespace platform::registry;

namespace {

// One open key handle.
struct OpenKey {
  KeyId key = 0;              // the key's row in the store
  std::string databasePath;  // the store it belongs to: a handle outlives no device change
};

// Every open key handle by its value.
platform::files::HandleTable<OpenKey>& keyTable() {
  static platform::files::HandleTable<OpenKey> instance;
  return instance;
}

constexpr LONG status(DWORD error) { return static_cast<LONG>(error); }

// The predefined roots' handle values, HKEY_CLASSES_ROOT to HKEY_USERS, one after another in
// the order of their rows in the store.
const std::uintptr_t kFirstRootValue = reinterpret_cast<std::uintptr_t>(HKEY_CLASSES_ROOT);
const std::uintptr_t kLastRootValue = reinterpret_cast<std::uintptr_t>(HKEY_USERS);

bool isPredefinedRoot(std::uintptr_t value) { return value >= kFirstRootValue && value <= kLastRootValue; }

// The key a handle names: one of the predefined roots, or an open handle of the current store.
std::optional<KeyId> keyOf(HKEY handle, LONG& error) {
  const auto value = reinterpret_cast<std::uintptr_t>(handle);
  if (isPredefinedRoot(value)) return static_cast<KeyId>(value - kFirstRootValue) + kClassesRootId;
  std::lock_guard<std::mutex> lock(keyTable().mutex);
  const OpenKey* open = keyTable().find(handle);
  if (open == nullptr || open->databasePath != currentDatabasePath()) {
    error = status(ERROR_INVALID_HANDLE);
    return std::nullopt;
  }
  return open->key;
}

HKEY newHandleFor(KeyId key) {
  std::lock_guard<std::mutex> lock(keyTable().mutex);
  return reinterpret_cast<HKEY>(keyTable().add(OpenKey{key, currentDatabasePath()}));
}

// Splits "a\b\c" into its names. A leading separator or an empty name between two is a bad
// path; one trailing separator is allowed.
LONG splitKeyPath(LPCWSTR path, std::vector<std::u16string>& names) {
  names.clear();
  if (path == nullptr || path[0] == 0) return ERROR_SUCCESS;
  const std::u16string text(path);
  if (text[0] == u'\\') return status(ERROR_BAD_PATHNAME);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(u'\\', start);
    if (end == std::u16string::npos) end = text.size();
    if (end == start) return status(ERROR_BAD_PATHNAME);
    if (end - start > kMaxKeyNameUnits) return status(ERROR_INVALID_PARAMETER);
    names.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return ERROR_SUCCESS;
}

std::u16string valueNameOf(LPCWSTR name) { return name == nullptr ? std::u16string() : std::u16string(name); }

// The existing key that `subKey` names below the key `parent` is open on.
LONG existingKeyAt(HKEY parent, LPCWSTR subKey, KeyId& key) {
  LONG error = ERROR_SUCCESS;
  const std::optional<KeyId> base = keyOf(parent, error);
  if (!base) return error;
  std::vector<std::u16string> names;
  if ((error = splitKeyPath(subKey, names)) != ERROR_SUCCESS) return error;
  return openKeyPath(*base, names, key);
}

}  // namespace

LONG RegOpenKeyEx(HKEY parent, LPCWSTR subKey, DWORD /*options*/, REGSAM /*access*/, HKEY* result) {
  if (result == nullptr) return status(ERROR_INVALID_PARAMETER);
  *result = nullptr;
  KeyId key = 0;
  if (const LONG error = existingKeyAt(parent, subKey, key); error != ERROR_SUCCESS) return error;
  *result = newHandleFor(key);
  return ERROR_SUCCESS;
}

LONG RegCreateKeyEx(HKEY parent, LPCWSTR subKey, DWORD /*reserved*/, LPWSTR className, DWORD /*options*/,
                    REGSAM /*access*/, SECURITY_ATTRIBUTES* /*security*/, HKEY* result, DWORD* disposition) {
  if (result == nullptr) return status(ERROR_INVALID_PARAMETER);
  *result = nullptr;
  LONG error = ERROR_SUCCESS;
  const std::optional<KeyId> base = keyOf(parent, error);
  if (!base) return error;
  std::vector<std::u16string> names;
  if ((error = splitKeyPath(subKey, names)) != ERROR_SUCCESS) return error;
  KeyId key = 0;
  bool created = false;
  error = createKeyPath(*base, names, className == nullptr ? std::u16string() : std::u16string(className), key, created);
  if (error != ERROR_SUCCESS) return error;
  *result = newHandleFor(key);
  if (disposition != nullptr) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY key, LPCWSTR valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* dataSize) {
  if (reserved != nullptr || (data != nullptr && dataSize == nullptr)) return status(ERROR_INVALID_PARAMETER);
  LONG error = ERROR_SUCCESS;
  const std::optional<KeyId> id = keyOf(key, error);
  if (!id) return error;
  StoredValue value;
  if ((error = queryValue(*id, valueNameOf(valueName), value)) != ERROR_SUCCESS) return error;
  if (type != nullptr) *type = value.type;
  if (dataSize == nullptr) return ERROR_SUCCESS;  // only the type was asked for
  const auto needed = static_cast<DWORD>(value.data.size());
  if (data == nullptr) {
    *dataSize = needed;  // a size query
    return ERROR_SUCCESS;
  }
  if (*dataSize < needed) {
    *dataSize = needed;  // the caller's buffer is left as it was
    return status(ERROR_MORE_DATA);
  }
  std::copy(value.data.begin(), value.data.end(), data);
  *dataSize = needed;
  return ERROR_SUCCESS;
}

LONG RegSetValueEx(HKEY key, LPCWSTR valueName, DWORD /*reserved*/, DWORD type, const BYTE* data, DWORD dataSize) {
  if (data == nullptr && dataSize != 0) return status(ERROR_INVALID_PARAMETER);
  if (dataSize > kMaxValueBytes) return status(ERROR_INVALID_PARAMETER);
  const std::u16string name = valueNameOf(valueName);
  if (name.size() > kMaxValueNameUnits) return status(ERROR_INVALID_PARAMETER);
  LONG error = ERROR_SUCCESS;
  const std::optional<KeyId> id = keyOf(key, error);
  if (!id) return error;
  return setValue(*id, name, type, data, dataSize);
}

LONG RegDeleteValue(HKEY key, LPCWSTR valueName) {
  LONG error = ERROR_SUCCESS;
  const std::optional<KeyId> id = keyOf(key, error);
  if (!id) return error;
  return deleteValue(*id, valueNameOf(valueName));
}

LONG RegDeleteKey(HKEY parent, LPCWSTR subKey) {
  if (subKey == nullptr) return status(ERROR_INVALID_PARAMETER);
  KeyId key = 0;
  if (const LONG error = existingKeyAt(parent, subKey, key); error != ERROR_SUCCESS) return error;
  return deleteKey(key);
}

LONG RegEnumKeyEx(HKEY key, DWORD index, LPWSTR name, DWORD* nameCount, DWORD* /*reserved*/, LPWSTR className,
                  DWORD* classCount, FILETIME* lastWrite) {
  if (name == nullptr || nameCount == nullptr || (className != nullptr && classCount == nullptr)) {
    return status(ERROR_INVALID_PARAMETER);
  }
  LONG error = ERROR_SUCCESS;
  const std::optional<KeyId> id = keyOf(key, error);
  if (!id) return error;
  StoredKey subkey;
  if ((error = enumerateSubkey(*id, index, subkey)) != ERROR_SUCCESS) return error;
  // Counts are in units; on the way in they include room for the zero, on the way out not.
  if (subkey.name.size() >= *nameCount) return status(ERROR_MORE_DATA);
  if (className != nullptr && subkey.className.size() >= *classCount) return status(ERROR_MORE_DATA);
  std::copy(subkey.name.begin(), subkey.name.end(), name);
  name[subkey.name.size()] = 0;
  *nameCount = static_cast<DWORD>(subkey.name.size());
  if (className != nullptr) {
    std::copy(subkey.className.begin(), subkey.className.end(), className);
    className[subkey.className.size()] = 0;
    *classCount = static_cast<DWORD>(subkey.className.size());
  }
  if (lastWrite != nullptr) {
    lastWrite->dwLowDateTime = static_cast<DWORD>(subkey.lastWrite & 0xFFFFFFFFu);
    lastWrite->dwHighDateTime = static_cast<DWORD>(subkey.lastWrite >> 32);
  }
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
  const auto value = reinterpret_cast<std::uintptr_t>(key);
  if (isPredefinedRoot(value)) return ERROR_SUCCESS;  // the roots are never closed
  std::lock_guard<std::mutex> lock(keyTable().mutex);
  if (!keyTable().remove(key)) return status(ERROR_INVALID_HANDLE);
  return ERROR_SUCCESS;
}
