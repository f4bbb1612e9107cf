// LocalAlloc / LocalFree: heap blocks with a small header that records their size and marks
// them as ours, so that a block handed to the layer can be read within its bounds and a
// pointer that is not a block is refused instead of freed.
#include "platform/system/local_memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/system/windows.h"

namespace platform::memory {
namespace {

constexpr uint64_t kBlockMark = 0x51554C4C4D454D31ull;  // "QULLMEM1"
constexpr size_t kMaxBlock = size_t{1} << 31;           // 2 GiB: larger requests fail
constexpr UINT kLocalFlagsMask = LMEM_ZEROINIT;

struct alignas(16) BlockHeader {
  uint64_t mark;  // kBlockMark while the block is live
  uint64_t size;  // usable bytes after the header
};

BlockHeader* headerOf(const void* block) {
  if (block == nullptr) return nullptr;
  auto* header = reinterpret_cast<BlockHeader*>(const_cast<char*>(static_cast<const char*>(block)) - sizeof(BlockHeader));
  return header->mark == kBlockMark ? header : nullptr;
}

}  // namespace

std::optional<size_t> localBlockSize(const void* block) {
  const BlockHeader* header = headerOf(block);
  if (header == nullptr) return std::nullopt;
  return static_cast<size_t>(header->size);
}

}  // namespace platform::memory

void* LocalAlloc(UINT flags, size_t bytes) {
  using namespace platform::memory;
  if (bytes > kMaxBlock) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  void* raw = std::malloc(sizeof(BlockHeader) + (bytes == 0 ? 1 : bytes));
  if (raw == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto* header = static_cast<BlockHeader*>(raw);
  header->mark = kBlockMark;
  header->size = bytes;
  void* block = header + 1;
  if ((flags & kLocalFlagsMask) != 0) std::memset(block, 0, bytes);
  return block;
}

void* LocalFree(void* memory) {
  if (memory == nullptr) return nullptr;
  auto* header = platform::memory::headerOf(memory);
  if (header == nullptr) return memory;  // not a block of ours: refused, as the platform returns the handle
  header->mark = 0;
  std::free(header);
  return nullptr;
}
