// Inside the file services: host error numbers in the handheld's terms.
#pragma once

#include "platform/system/windows.h"

namespace platform::files {

// The handheld's error code for a host errno value.
DWORD errorFromErrno(int hostErrno);

// Sets the last error from errno and returns `failureValue`, for one-line failure exits.
template <typename T>
T failWithErrno(int hostErrno, T failureValue) {
  SetLastError(errorFromErrno(hostErrno));
  return failureValue;
}
template <typename T>
T failWith(DWORD error, T failureValue) {
  SetLastError(error);
  return failureValue;
}

}  // namespace platform::files
