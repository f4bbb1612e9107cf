// The calling thread's last error, as the handheld keeps it: one value per thread, set by the
// operations that fail and read with GetLastError.
#include "platform/system/windows.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;  // this thread's last error code
}  // namespace

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD error) { lastError = error; }
