// Fuzzes the single-byte decoders (ISO-8859 with any part number, Thai, Vietnamese) with
// arbitrary bytes, handed over the way the viewer hands them (the bytes followed by one zero
// byte, room for exactly n + 1 units). Each must write exactly one unit per byte, the table's
// unit, then the zero; and every vector lookup must agree with the scalar one, on the real
// tables and on a table made of the input itself (so that any unit value can occur).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "decode/iso8859.h"
#include "decode/single_byte_lookup.h"
#include "decode/tables/thai_vietnamese_tables.h"
#include "decode/thai_vietnamese.h"

namespace {

const SingleByteKernel kKernels[] = {SingleByteKernel::Scalar, SingleByteKernel::Sse2,
                                     SingleByteKernel::Ssse3, SingleByteKernel::Avx2,
                                     SingleByteKernel::Avx512Vbmi};

void check(bool condition) {
  if (!condition) std::abort();
}

// Decodes with `decode` and checks the output against `table`, unit by unit.
template <typename Decode>
void checkDecoder(const std::vector<uint8_t>& input, size_t n, const char16_t* table,
                  Decode decode) {
  std::vector<char16_t> out(n + 1, 0xBEEF);
  check(decode(out.data(), input.data(), static_cast<int32_t>(n)) == n);
  for (size_t i = 0; i < n; ++i) check(out[i] == table[input[i]]);
  check(out[n] == 0);
}

void checkKernels(const std::vector<uint8_t>& input, size_t n, const SingleByteLookup& lookup) {
  std::vector<char16_t> reference(n + 1, 0xBEEF);
  lookupSingleBytes(SingleByteKernel::Scalar, reference.data(), input.data(), n, lookup);
  for (SingleByteKernel kernel : kKernels) {
    if (!singleByteKernelAvailable(kernel)) continue;
    std::vector<char16_t> out(n + 1, 0xBEEF);
    lookupSingleBytes(kernel, out.data(), input.data(), n, lookup);
    check(out == reference);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= INT32_MAX) return 0;
  std::vector<uint8_t> input(data, data + size);
  input.push_back(0);

  for (int part : {0, 1, 2, 3, 4, 5, 6, 7, 8, -7}) {
    const char16_t* table = iso8859Table(part >= 2 && part <= 7 ? part : 1);
    checkDecoder(input, size, table, [part](char16_t* out, const uint8_t* in, int32_t n) {
      return Iso8859Decoder{}.decodeIso8859(out, in, n, part);
    });
  }
  checkDecoder(input, size, kThaiTable, [](char16_t* out, const uint8_t* in, int32_t n) {
    return ThaiVietnameseDecoder{}.decodeThai(out, in, n);
  });
  checkDecoder(input, size, kVietnameseTable, [](char16_t* out, const uint8_t* in, int32_t n) {
    return ThaiVietnameseDecoder{}.decodeVietnamese(out, in, n);
  });

  // A table whose upper half comes from the input (repeated as needed), for the kernels.
  char16_t units[256];
  const size_t pairBytes = size & ~static_cast<size_t>(1);
  for (int byte = 0; byte < 256; ++byte) {
    units[byte] = static_cast<char16_t>(byte);
    if (byte >= 0x80 && pairBytes != 0) {
      size_t at = (2 * static_cast<size_t>(byte)) % pairBytes;
      units[byte] = static_cast<char16_t>(data[at] | data[at + 1] << 8);
    }
  }
  checkKernels(input, size, makeSingleByteLookup(units));
  checkKernels(input, size, makeSingleByteLookup(kThaiTable));
  check(std::memcmp(input.data(), data, size) == 0 && input[size] == 0);
  return 0;
}
