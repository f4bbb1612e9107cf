#include "platform/textview/stream_in.h"

namespace platform::textview {

std::vector<uint8_t> pullStream(EDITSTREAM& stream) {
  std::vector<uint8_t> bytes;
  if (stream.pfnCallback == nullptr) {
    stream.dwError = ERROR_INVALID_PARAMETER;
    return bytes;
  }
  while (bytes.size() < kMaxStreamBytes) {
    const size_t filled = bytes.size();
    bytes.resize(filled + static_cast<size_t>(kStreamChunkBytes));
    LONG delivered = 0;
    const DWORD result = stream.pfnCallback(stream.dwCookie, bytes.data() + filled, kStreamChunkBytes, &delivered);
    if (result != 0 || delivered < 0 || delivered > kStreamChunkBytes) {
      bytes.resize(filled);
      stream.dwError = result != 0 ? result : ERROR_INVALID_PARAMETER;
      break;
    }
    bytes.resize(filled + static_cast<size_t>(delivered));
    if (delivered == 0) break;
  }
  bytes.shrink_to_fit();
  return bytes;
}

}  // namespace platform::textview
