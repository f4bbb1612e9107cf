// The program instance: one handle for the one program that the desktop runs.
#include "platform/system/handle_allocator.h"
#include "platform/system/resources.h"

namespace platform {

HINSTANCE programInstance() {
  static const HINSTANCE instance = handles::allocateHandle<HINSTANCE>();
  return instance;
}

}  // namespace platform
