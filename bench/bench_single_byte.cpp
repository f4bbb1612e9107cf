// Single-byte rows: the six ISO-8859 parts, Thai (TIS-620) and Vietnamese (code page 1258), each
// also against the floor for a single-byte decoder: a plain loop through a 256-entry table.
#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "bench/bench_support.h"

namespace {


// The code page's 256 units as ICU gives them, one byte at a time (a byte ICU does not map
// gives U+FFFD); only the loop's speed matters, but its output is a real decode.
std::array<char16_t, 256> tableFromIcu(const char* icuName) {
  std::array<char16_t, 256> table{};
  IcuToUtf16 converter(icuName);
  for (int b = 0; b < 256; ++b) {
    const uint8_t byte = static_cast<uint8_t>(b);
    char16_t unit[4] = {};
    table[b] = converter.ok() && converter.convert(&byte, 1, unit, 4) > 0 ? unit[0] : u'\uFFFD';
  }
  return table;
}

void tableLoop(benchmark::State& state, const char* icuName, const std::string& file) {
  const BenchInput& input = benchInput(file);
  const std::array<char16_t, 256> table = tableFromIcu(icuName);
  std::vector<char16_t> out(static_cast<size_t>(input.size()) + 1);
  for (auto _ : state) {
    const uint8_t* in = input.data();
    const size_t n = static_cast<size_t>(input.size());
    char16_t* o = out.data();
    for (size_t i = 0; i < n; ++i) o[i] = table[in[i]];
    o[n] = 0;
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * input.size());
}

void registerSingleByte(const DecodeEntry& entry) {
  registerDecodeEntry(entry);
  const char* icuName = entry.icuName;
  const std::string file = entry.file;
  benchmark::RegisterBenchmark((std::string("Decode/") + entry.label + "/baseline").c_str(),
                               [icuName, file](benchmark::State& s) { tableLoop(s, icuName, file); });
}

[[maybe_unused]] const bool registered = [] {
  registerSingleByte({"ISO8859_1", 6, "iso8859-1.txt", "ISO-8859-1", "ISO-8859-1"});
  registerSingleByte({"ISO8859_2", 7, "iso8859-2.txt", "ISO-8859-2", "ISO-8859-2"});
  registerSingleByte({"ISO8859_3", 8, "iso8859-3.txt", "ISO-8859-3", "ISO-8859-3"});
  registerSingleByte({"ISO8859_4", 9, "iso8859-4.txt", "ISO-8859-4", "ISO-8859-4"});
  registerSingleByte({"ISO8859_5", 10, "iso8859-5.txt", "ISO-8859-5", "ISO-8859-5"});
  registerSingleByte({"ISO8859_7", 11, "iso8859-7.txt", "ISO-8859-7", "ISO-8859-7"});
  registerSingleByte({"Thai", 16, "thai-tis620.txt", "TIS-620", "TIS-620"});
  registerSingleByte({"Vietnamese", 17, "vietnamese-cp1258.txt", "CP1258", "windows-1258"});
  return true;
}();

}  // namespace
