// Inside the layer: the table of thread handles, which CloseHandle consults for a handle that
// names no open file.
#pragma once

#include "platform/system/windows.h"

namespace platform::threads {

// Gives back a thread handle; false when `handle` is no thread's. A thread still running goes
// on to its end on its own.
bool closeThreadHandle(HANDLE handle);

}  // namespace platform::threads
