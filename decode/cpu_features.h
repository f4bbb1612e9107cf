// What this processor offers the decoders' vector kernels, asked once. On a processor other
// than x86 every answer is no, and the plain kernels run.
#pragma once

struct CpuFeatures {
  bool ssse3 = false;        // SSSE3 byte shuffles
  bool bmi2 = false;         // BMI2 bit gathering (pext)
  bool slowBmi2 = false;     // AMD family 17h (Zen, Zen 2), where pext is slow microcode
  bool popcnt = false;       // POPCNT
  bool avx2 = false;         // AVX2
  bool avx512Vbmi = false;   // AVX-512 F, BW and VBMI
  bool avx512Vbmi2 = false;  // AVX-512 F, BW and VBMI2
};

// The features of this processor, found on the first call.
inline const CpuFeatures& cpuFeatures() {
  static const CpuFeatures features = [] {
    CpuFeatures found;
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    const bool avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
    found.ssse3 = __builtin_cpu_supports("ssse3");
    found.bmi2 = __builtin_cpu_supports("bmi2");
    found.slowBmi2 = __builtin_cpu_is("amdfam17h");
    found.popcnt = __builtin_cpu_supports("popcnt");
    found.avx2 = __builtin_cpu_supports("avx2");
    found.avx512Vbmi = avx512 && __builtin_cpu_supports("avx512vbmi");
    found.avx512Vbmi2 = avx512 && __builtin_cpu_supports("avx512vbmi2");
#endif
    return found;
  }();
  return features;
}
