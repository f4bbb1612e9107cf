// The inner loops of the UTF-8 and UTF-16 decoders, scalar and vector; private to decode/.
#pragma once

#include <cstddef>
#include <cstdint>

// The ways of running the loops, slowest first. Each gives the same units for the same bytes.
enum class UnicodeKernel {
  Scalar,  // one byte (UTF-8) or one unit (UTF-16) at a time
  Sse2,    // runs of 16 bytes below 0x80 widened at once; 8 units swapped at once
  Avx2,    // the same with 32 bytes and 16 units
  Avx512Vbmi2,  // UTF-8: blocks of 64 bytes of well-formed sequences decoded and compressed at
                // once, other blocks step by step; UTF-16 as Avx2
};

// Whether this processor can run a kernel (Scalar and, on x86-64, Sse2 always can).
bool unicodeKernelAvailable(UnicodeKernel kernel);
// The fastest kernel this processor can run; decided once.
UnicodeKernel bestUnicodeKernel();

// Decodes in[0..n) as UTF-8 into out and returns the number of units written, at most n.
//   - a byte below 0x80 is one unit;
//   - a lead 0xC0..0xDF takes the next byte: ((b & 0x1F) << 6) | (t & 0x3F);
//   - a lead 0xF0..0xF4 followed by three continuation bytes that encode U+10000..U+10FFFF is
//     written as its surrogate pair (four bytes, two units);
//   - every other byte takes the next two: ((b & 0x0F) << 12) | ((t & 0x3F) << 6) | (u & 0x3F).
// Nothing else is tested: overlong forms, surrogates and stray bytes give what the arithmetic
// gives. A step that needs bytes past in[n - 1] takes them as zero without reading them.
size_t decodeUtf8Units(UnicodeKernel kernel, char16_t* out, const uint8_t* in, size_t n);

// Writes `units` big-endian units from in (2 * units bytes) to out in the machine's order:
// out[i] = in[2i] << 8 | in[2i + 1]. The input is not changed.
void swapUtf16Units(UnicodeKernel kernel, char16_t* out, const uint8_t* in, size_t units);
