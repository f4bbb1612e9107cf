// Fuzzes the UTF-8 and UTF-16 decoders with arbitrary bytes, handed over the way the viewer
// hands them (the bytes followed by one zero byte, room for exactly n + 1 units). The
// sanitizers catch any access outside those buffers; the checks catch a decoder that changes
// its input, ends its text in the wrong place, or whose vector loops disagree with the scalar
// loop (UTF-8) or with a pair-by-pair reading of the bytes (UTF-16).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "decode/unicode.h"
#include "decode/unicode_kernels.h"

namespace {

const UnicodeKernel kKernels[] = {UnicodeKernel::Scalar, UnicodeKernel::Sse2,
                                  UnicodeKernel::Avx2, UnicodeKernel::Avx512Vbmi2};

void check(bool condition) {
  if (!condition) std::abort();
}

void fuzzUtf8(const std::vector<uint8_t>& input, size_t n) {
  // The scalar loop over the bytes after a possible mark is the reference for everything else.
  size_t start = n >= 3 && input[0] == 0xEF && input[1] == 0xBB && input[2] == 0xBF ? 3 : 0;
  std::vector<char16_t> reference(n + 1);
  size_t count = decodeUtf8Units(UnicodeKernel::Scalar, reference.data(), input.data() + start,
                                 n - start);
  check(count <= n - start);
  for (UnicodeKernel kernel : kKernels) {
    if (!unicodeKernelAvailable(kernel)) continue;
    std::vector<char16_t> units(n - start + 1);
    check(decodeUtf8Units(kernel, units.data(), input.data() + start, n - start) == count);
    check(std::memcmp(units.data(), reference.data(), count * sizeof(char16_t)) == 0);
  }
  std::vector<char16_t> out(n + 1);
  check(UnicodeDecoder{}.decodeUtf8(out.data(), input.data(), static_cast<int32_t>(n)) == count);
  check(out[count] == 0);
  check(std::memcmp(out.data(), reference.data(), count * sizeof(char16_t)) == 0);
}

void fuzzUtf16(const std::vector<uint8_t>& input, size_t n) {
  bool little = n >= 2 && input[0] == 0xFF && input[1] == 0xFE;
  bool big = n >= 2 && input[0] == 0xFE && input[1] == 0xFF;
  size_t start = little || big ? 2 : 0;
  size_t units = (n - start) / 2;
  std::vector<char16_t> out(n + 1);
  check(UnicodeDecoder{}.decodeUtf16(out.data(), input.data(), static_cast<int32_t>(n)) == units);
  for (size_t i = 0; i < units; ++i) {
    uint8_t first = input[start + 2 * i];
    uint8_t second = input[start + 2 * i + 1];
    check(out[i] == (big ? (first << 8 | second) : (second << 8 | first)));
  }
  check(out[units] == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= INT32_MAX) return 0;
  std::vector<uint8_t> input(data, data + size);
  input.push_back(0);
  fuzzUtf8(input, size);
  fuzzUtf16(input, size);
  check(std::memcmp(input.data(), data, size) == 0 && input[size] == 0);
  return 0;
}
