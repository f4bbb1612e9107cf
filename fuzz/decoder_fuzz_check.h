// The check shared by the fuzz targets of the double-byte decoders: arbitrary bytes handed over
// the way the viewer hands them (the bytes followed by one zero byte, room for exactly n + 1
// units). The sanitizers catch any read or write outside those buffers; the checks catch a
// decoder that changes its input, skips a unit, leaves the text without its closing zero,
// reports another count than the units before it or writes a text other than the reference
// reading's (a plain byte-at-a-time reading of the same rules, given the input and its zero
// byte).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace fuzzing {

inline constexpr char16_t kUntouched = 0xDBFF;  // a lone high surrogate: no such decoder writes one

template <typename Reference, typename Decode>
void decodeAndCheck(const uint8_t* data, size_t size, Reference reference, Decode decode) {
  auto input = std::make_unique<uint8_t[]>(size + 1);
  if (size != 0) std::memcpy(input.get(), data, size);
  input[size] = 0;
  auto output = std::make_unique<char16_t[]>(size + 1);
  for (size_t i = 0; i <= size; ++i) output[i] = kUntouched;

  const size_t reported = decode(output.get(), input.get(), static_cast<int32_t>(size));

  size_t written = size + 1;
  while (written > 0 && output[written - 1] == kUntouched) --written;
  if (written == 0 || output[written - 1] != 0) std::abort();
  if (reported != written - 1) std::abort();  // the count must end at the closing zero
  for (size_t i = 0; i < written; ++i)
    if (output[i] == kUntouched) std::abort();
  if ((size != 0 && std::memcmp(input.get(), data, size) != 0) || input[size] != 0) std::abort();
  const std::u16string expected = reference(static_cast<const uint8_t*>(input.get()), size);
  if (expected.size() != written - 1 || expected.compare(0, expected.size(), output.get(), written - 1) != 0) {
    std::abort();
  }
}

}  // namespace fuzzing
