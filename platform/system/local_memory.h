// Inside the layer: the size of a LocalAlloc block, so that services reading program memory
// (the clipboard) never read past it.
#pragma once

#include <cstddef>
#include <optional>

namespace platform::memory {

// The usable size of a block from LocalAlloc, or nothing when `block` is not one.
std::optional<size_t> localBlockSize(const void* block);

}  // namespace platform::memory
