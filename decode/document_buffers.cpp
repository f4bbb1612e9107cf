// The grow-only document buffers. Storage is obtained with new (std::nothrow) so that a file
// too large for memory leaves an empty buffer instead of ending the program.
#include "decode/document_buffers.h"

#include <cstddef>
#include <new>

namespace {

// The shared rule: n == 0 changes nothing; enough storage is reused as it is; otherwise the old
// storage goes and storage of n + 1 elements takes its place (content neither kept nor cleared).
template <typename Element>
bool growStorage(Element*& data, uint32_t& capacity, uint32_t n) {
  if (n == 0) return true;
  if (data != nullptr && capacity >= n) return true;
  delete[] data;
  data = nullptr;
  capacity = 0;
  // n + 1 cannot overflow size_t: n is at most 2^32 - 1 and size_t is 64 bits wide here.
  static_assert(sizeof(size_t) > sizeof(uint32_t), "n + 1 elements must be countable");
  data = new (std::nothrow) Element[static_cast<size_t>(n) + 1];
  if (data == nullptr) return false;
  capacity = n;
  return true;
}

}  // namespace

ByteBuffer::~ByteBuffer() { release(); }

bool ByteBuffer::ensureCapacity(uint32_t n) { return growStorage(data, capacity, n); }

void ByteBuffer::release() {
  delete[] data;
  data = nullptr;
  capacity = 0;
}

WideBuffer::~WideBuffer() { release(); }

bool WideBuffer::ensureCapacity(uint32_t n) { return growStorage(data, capacity, n); }

void WideBuffer::release() {
  delete[] data;
  data = nullptr;
  capacity = 0;
}
