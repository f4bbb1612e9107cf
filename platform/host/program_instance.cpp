// The program instance: one handle for the one program that the desktop runs.
#include "platform/host/launcher.h"
#include "platform/system/handle_allocator.h"

namespace platform::host {

HINSTANCE programInstance() {
  static const HINSTANCE instance = handles::allocateHandle<HINSTANCE>();
  return instance;
}

}  // namespace platform::host
