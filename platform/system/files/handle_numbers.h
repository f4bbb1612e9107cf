// Inside the layer: the values of file, search and registry handles.
#pragma once

#include <cstdint>

namespace platform::files {

// A fresh handle value: even (the handheld's handles are), never 0 and never
// INVALID_HANDLE_VALUE, and never handed out twice in one run, so a handle of one kind passed
// where another kind is expected is simply not found.
std::uintptr_t newHandleValue();

}  // namespace platform::files
