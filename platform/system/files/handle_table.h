// Inside the layer: the tables of objects behind file, directory-search and registry-key
// handles, and the values of those handles.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>

namespace platform::files {

// A fresh handle value: even (the handheld's handles are), never 0 and never
// INVALID_HANDLE_VALUE, and never handed out twice in one run. One counter serves every table,
// so a handle of one kind passed where another kind is expected is simply not found.
std::uintptr_t newHandleValue();

// The open objects of one kind by their handle values. Callers hold `mutex` around every use,
// and across a look-up and the use of what it found.
template <typename Entry>
struct HandleTable {
  std::mutex mutex;                          // guards `entries`
  std::map<std::uintptr_t, Entry> entries;  // every open object by its handle value

  // Stores `entry` under a fresh handle value and returns the value.
  std::uintptr_t add(Entry entry) {
    const std::uintptr_t value = newHandleValue();
    entries.emplace(value, std::move(entry));
    return value;
  }
  // The object behind a handle, or nullptr.
  template <typename Handle>
  Entry* find(Handle handle) {
    const auto found = entries.find(reinterpret_cast<std::uintptr_t>(handle));
    return found == entries.end() ? nullptr : &found->second;
  }
  // Forgets the object behind a handle; false when there was none.
  template <typename Handle>
  bool remove(Handle handle) {
    return entries.erase(reinterpret_cast<std::uintptr_t>(handle)) != 0;
  }
};

}  // namespace platform::files
