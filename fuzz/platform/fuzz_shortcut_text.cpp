// libFuzzer target: the reading of shortcut (".lnk") files, whatever their bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/shellext/shortcut_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto commandLine = platform::shellext::shortcutCommandLine(bytes);
  if (commandLine) {
    // A command line is never empty and never holds a line break or a zero.
    if (commandLine->empty()) __builtin_trap();
    for (char16_t unit : *commandLine) {
      if (unit == u'\r' || unit == u'\n' || unit == 0) __builtin_trap();
    }
  }
  return 0;
}
