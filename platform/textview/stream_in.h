// Pulling a document through the caller's stream-in callback (EM_STREAMIN).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/textview/richink.h"

namespace platform::textview {

// Each call asks the callback for this many bytes.
inline constexpr LONG kStreamChunkBytes = 4096;
// A stream that has not ended after this many bytes is cut off there: the callback of a
// broken caller must not fill the memory.
inline constexpr size_t kMaxStreamBytes = size_t{512} << 20;

// Calls the callback for chunks of kStreamChunkBytes until a call delivers 0 bytes, and
// returns what it delivered. A callback that returns non-zero, or reports a count below 0 or
// above the request, ends the stream: its error (or ERROR_INVALID_PARAMETER for a bad count)
// goes to stream.dwError and the bytes of that call are not taken.
std::vector<uint8_t> pullStream(EDITSTREAM& stream);

}  // namespace platform::textview
