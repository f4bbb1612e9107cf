// Inside the registry: the keys and values, kept in a SQLite database ("registry.db") in the
// program's data folder, "\Program Files\Quillscope" on the device (inside the sandbox in
// sandbox mode). Every change is one transaction, so a crash in the middle of a write leaves
// the database as it was before it. A damaged or foreign database file is reported, never
// repaired, replaced or overwritten.
//
// Keys are rows with a parent; names are compared as the handheld compares them, unit by unit
// after upper-casing. Names and data are stored as bytes (names as UTF-16LE), so any text the
// program writes comes back unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/system/windows.h"

namespace platform::registry {

using KeyId = std::int64_t;

// The rows of the four roots, created with the database.
inline constexpr KeyId kClassesRootId = 1;
inline constexpr KeyId kCurrentUserId = 2;
inline constexpr KeyId kLocalMachineId = 3;
inline constexpr KeyId kUsersId = 4;

// The longest key name and value name (units) and the largest value (bytes) the store accepts.
inline constexpr std::size_t kMaxKeyNameUnits = 255;
inline constexpr std::size_t kMaxValueNameUnits = 16383;
inline constexpr std::size_t kMaxValueBytes = 1024 * 1024;

// One value as stored.
struct StoredValue {
  DWORD type = REG_NONE;       // REG_SZ, REG_DWORD, REG_BINARY ...
  std::vector<BYTE> data;      // the bytes as they were written
};

// One subkey as enumerated.
struct StoredKey {
  std::u16string name;         // the key's name as it was created
  std::u16string className;    // the class given at creation (usually empty)
  std::uint64_t lastWrite = 0;  // file time of the last change to the key or its values
};

// The operations on the store. Each returns ERROR_SUCCESS or the handheld's error code:
// ERROR_FILE_NOT_FOUND for a missing key or value, ERROR_REGISTRY_CORRUPT when the database
// file is damaged or is not a registry, ERROR_REGISTRY_IO_FAILED when it cannot be read or
// written. Each opens (or reuses) the database of the current device; `databasePath` says which.
std::string currentDatabasePath();
LONG keyExists(KeyId key);
LONG openKeyPath(KeyId base, const std::vector<std::u16string>& names, KeyId& key);
// Creates every missing key along the path in one transaction; `created` tells whether the last
// one is new.
LONG createKeyPath(KeyId base, const std::vector<std::u16string>& names, const std::u16string& className, KeyId& key,
                   bool& created);
LONG queryValue(KeyId key, const std::u16string& valueName, StoredValue& value);
LONG setValue(KeyId key, const std::u16string& valueName, DWORD type, const BYTE* data, std::size_t size);
LONG deleteValue(KeyId key, const std::u16string& valueName);
// Deletes a key without subkeys (ERROR_ACCESS_DENIED when it has some) and its values.
LONG deleteKey(KeyId key);
// The subkey at `index` in name order; ERROR_NO_MORE_ITEMS past the last one.
LONG enumerateSubkey(KeyId key, DWORD index, StoredKey& subkey);

// Closes the database; the next operation opens it again (tests use this after changing the
// file behind the store's back).
void closeRegistryStore();

}  // namespace platform::registry
