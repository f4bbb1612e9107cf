// Handle values for the file services and the registry. One counter serves every kind, so the
// kinds never share a value; steps of 4 keep the lowest two bits clear.
#include "platform/system/files/handle_table.h"

#include <atomic>

namespace platform::files {

std::uintptr_t newHandleValue() {
  // Well above small integers that careless callers might pass, well below the registry's
  // predefined roots (0x80000000 and up).
  static std::atomic<std::uintptr_t> next{0x00F10000};
  return next.fetch_add(4);
}

}  // namespace platform::files
