// Handle values for the layer's objects (windows, menus, fonts, icons, display contexts, remote
// windows): pointer-sized, never zero, always even, and above the range of resource numbers, so
// that "a handle with its lowest bit set" is a distinct value the layer can map back.
#pragma once

#include <cstdint>

namespace platform::handles {

// A value that no other live or past object of the layer has had in this process.
uintptr_t allocateHandleValue();

template <typename Handle>
Handle allocateHandle() {
  return reinterpret_cast<Handle>(allocateHandleValue());
}

template <typename Handle>
uintptr_t handleValue(Handle handle) {
  return reinterpret_cast<uintptr_t>(handle);
}

// The handle with its lowest bit cleared (the handheld's "restore as well" marker removed).
template <typename Handle>
Handle withoutLowBit(Handle handle) {
  return reinterpret_cast<Handle>(reinterpret_cast<uintptr_t>(handle) & ~static_cast<uintptr_t>(1));
}

}  // namespace platform::handles
