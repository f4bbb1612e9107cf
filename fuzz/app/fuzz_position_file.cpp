// The position store's file: whatever its bytes, parsing stays inside them, and a file that
// parses is exactly the file its entries serialize to (nothing is read that is not written).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/position_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto entries = position_file::parse(data, size);
  if (entries) {
    if (entries->size() > position_file::kCapacity) std::abort();
    const std::string again = position_file::serialize(*entries);
    if (again != std::string(reinterpret_cast<const char*>(data), size)) std::abort();
  }
  return 0;
}
