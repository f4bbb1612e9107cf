// The document buffers and their storage. Storage failures leave an empty buffer instead of
// ending the program, so a file too large for memory shows as an empty document.
#include "decode/document_buffers.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
// In front of the data: how the block was obtained, so that giving it back needs only the
// data pointer. 64 bytes keep the data on a cache line boundary.
constexpr size_t kHeaderBytes = 64;

struct StorageHeader {
  void* base;     // what was obtained: the mapping or the malloc block
  size_t mapped;  // bytes mapped, or 0 for a malloc block
};
static_assert(sizeof(StorageHeader) <= kHeaderBytes);

StorageHeader* headerOf(void* storage) {
  return reinterpret_cast<StorageHeader*>(static_cast<char*>(storage) - kHeaderBytes);
}

// A mapping of `length` bytes (a multiple of kHugePage) that starts on a 2 MiB boundary.
void* mapAligned(size_t length) {
  const size_t padded = length + kHugePage;
  void* raw = mmap(nullptr, padded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
  if (aligned > start) munmap(raw, aligned - start);
  const size_t tail = (start + padded) - (aligned + length);
  if (tail > 0) munmap(reinterpret_cast<void*>(aligned + length), tail);
  auto* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
  madvise(block, length, MADV_HUGEPAGE);  // advice only: without huge pages it still works
#endif
  return block;
}

// The shared rule: n == 0 changes nothing; fitting storage is reused unless it is much too
// big; otherwise the old storage goes and storage of n + 1 elements takes its place (content
// neither kept nor cleared).
template <typename Element>
bool growStorage(Element*& data, uint32_t& capacity, uint32_t n) {
  if (n == 0) return true;
  const size_t held = static_cast<size_t>(capacity) * sizeof(Element);
  const bool muchTooBig = held > kKeptSlackBytes && capacity / 2 > n;
  if (data != nullptr && capacity >= n && !muchTooBig) return true;
  releaseDocumentStorage(data);
  data = nullptr;
  capacity = 0;
  // n + 1 cannot overflow size_t: n is at most 2^32 - 1 and size_t is 64 bits wide here.
  static_assert(sizeof(size_t) > sizeof(uint32_t), "n + 1 elements must be countable");
  data = static_cast<Element*>(obtainDocumentStorage((static_cast<size_t>(n) + 1) * sizeof(Element)));
  if (data == nullptr) return false;
  capacity = n;
  return true;
}

}  // namespace

void* obtainDocumentStorage(size_t bytes) {
  if (bytes > SIZE_MAX / 2) return nullptr;
  const size_t total = bytes + kHeaderBytes;
  StorageHeader header{};
  if (total >= kHugePage) {
    header.mapped = (total + kHugePage - 1) & ~(kHugePage - 1);
    header.base = mapAligned(header.mapped);
  } else {
    header.base = std::aligned_alloc(kHeaderBytes, (total + kHeaderBytes - 1) & ~(kHeaderBytes - 1));
  }
  if (header.base == nullptr) return nullptr;
  *static_cast<StorageHeader*>(header.base) = header;
  return static_cast<char*>(header.base) + kHeaderBytes;
}

void releaseDocumentStorage(void* storage) {
  if (storage == nullptr) return;
  const StorageHeader header = *headerOf(storage);
  if (header.mapped != 0) {
    munmap(header.base, header.mapped);
  } else {
    std::free(header.base);
  }
}

ByteBuffer::~ByteBuffer() { release(); }

bool ByteBuffer::ensureCapacity(uint32_t n) { return growStorage(data, capacity, n); }

void ByteBuffer::release() {
  releaseDocumentStorage(data);
  data = nullptr;
  capacity = 0;
}

WideBuffer::~WideBuffer() { release(); }

bool WideBuffer::ensureCapacity(uint32_t n) { return growStorage(data, capacity, n); }

void WideBuffer::release() {
  releaseDocumentStorage(data);
  data = nullptr;
  capacity = 0;
}

char16_t* WideBuffer::handOver() {
  char16_t* storage = data;
  data = nullptr;
  capacity = 0;
  return storage;
}
