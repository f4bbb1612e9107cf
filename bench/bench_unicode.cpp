// Unicode rows: UTF-8 and UTF-16 (little-endian with its byte-order mark), and the floor for
// UTF-16: a memcpy of its bytes.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bench/bench_support.h"

namespace {

void copyUtf16Bytes(benchmark::State& state) {
  const BenchInput& input = benchInput("unicode-utf16le.txt");
  std::vector<char16_t> out(static_cast<size_t>(input.size()) / 2 + 1);
  for (auto _ : state) {
    std::memcpy(out.data(), input.data() + 2, static_cast<size_t>(input.size()) - 2);  // after the mark
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * input.size());
}

[[maybe_unused]] const bool registered = [] {
  registerDecodeEntry({"UTF8", 4, "unicode-utf8.txt", "UTF-8", "UTF-8"});
  registerDecodeEntry({"UTF16", 5, "unicode-utf16le.txt", "UTF-16", "UTF-16"});
  benchmark::RegisterBenchmark("Decode/UTF16/baseline", copyUtf16Bytes);
  return true;
}();

}  // namespace
