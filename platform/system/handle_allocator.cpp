// Handle values: a counter that starts above the 16-bit resource-number range and steps by 4,
// so every handle is even and the next odd value is never another object's handle.
#include "platform/system/handle_allocator.h"

#include <atomic>

namespace platform::handles {

uintptr_t allocateHandleValue() {
  static std::atomic<uintptr_t> next{0x00120000};
  return next.fetch_add(4);
}

}  // namespace platform::handles
