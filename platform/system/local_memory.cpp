// LocalAlloc / LocalFree: heap blocks that the layer keeps a list of, with their sizes, so that
// a block handed to the layer is read within its bounds and a pointer that is not a live block
// is refused instead of freed (nothing is read in front of a pointer to find out).
#include "platform/system/local_memory.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/system/windows.h"

namespace platform::memory {
namespace {

constexpr size_t kMaxBlock = size_t{1} << 31;  // 2 GiB: larger requests fail

struct BlockTable {
  std::mutex lock;                                // blocks may be freed from any thread
  std::unordered_map<const void*, size_t> sizes;  // live block -> its usable size
};

BlockTable& blocks() {
  static BlockTable table;
  return table;
}

}  // namespace

std::optional<size_t> localBlockSize(const void* block) {
  std::lock_guard guard(blocks().lock);
  const auto it = blocks().sizes.find(block);
  if (it == blocks().sizes.end()) return std::nullopt;
  return it->second;
}

}  // namespace platform::memory

void* LocalAlloc(UINT flags, size_t bytes) {
  using namespace platform::memory;
  if (bytes > kMaxBlock) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  void* block = std::malloc(bytes == 0 ? 1 : bytes);
  if (block == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if ((flags & LMEM_ZEROINIT) != 0) std::memset(block, 0, bytes);
  std::lock_guard guard(blocks().lock);
  blocks().sizes[block] = bytes;
  return block;
}

void* LocalFree(void* memory) {
  using namespace platform::memory;
  if (memory == nullptr) return nullptr;
  {
    std::lock_guard guard(blocks().lock);
    if (blocks().sizes.erase(memory) == 0) return memory;  // not a live block: refused, the platform returns it
  }
  std::free(memory);
  return nullptr;
}
