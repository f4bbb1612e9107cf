#include "platform/textview/stream_in.h"

#include <memory>

namespace platform::textview {

std::vector<uint8_t> pullStream(EDITSTREAM& stream) {
  std::vector<uint8_t> bytes;
  if (stream.pfnCallback == nullptr) {
    stream.dwError = ERROR_INVALID_PARAMETER;
    return bytes;
  }
  // The callback writes straight into blocks of a megabyte, which are joined once at the end:
  // the bytes are neither zeroed first nor copied again and again as one buffer grows (a big
  // document paid for both), and the result is exactly as large as the stream.
  constexpr size_t kBlockBytes = size_t{1} << 20;
  struct Block {
    std::unique_ptr<uint8_t[]> data;  // kBlockBytes, owned
    size_t used = 0;                  // bytes filled
  };
  std::vector<Block> blocks;
  size_t total = 0;  // bytes of every block
  while (total < kMaxStreamBytes) {
    if (blocks.empty() || kBlockBytes - blocks.back().used < static_cast<size_t>(kStreamChunkBytes)) {
      blocks.push_back(Block{std::make_unique_for_overwrite<uint8_t[]>(kBlockBytes), 0});
    }
    Block& block = blocks.back();
    LONG delivered = 0;
    const DWORD result = stream.pfnCallback(stream.dwCookie, block.data.get() + block.used, kStreamChunkBytes, &delivered);
    if (result != 0 || delivered < 0 || delivered > kStreamChunkBytes) {
      stream.dwError = result != 0 ? result : ERROR_INVALID_PARAMETER;
      break;
    }
    if (delivered == 0) break;
    block.used += static_cast<size_t>(delivered);
    total += static_cast<size_t>(delivered);
  }
  bytes.reserve(total);
  for (const Block& block : blocks) bytes.insert(bytes.end(), block.data.get(), block.data.get() + block.used);
  return bytes;
}

}  // namespace platform::textview
