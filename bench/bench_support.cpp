#include "bench/bench_support.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>

#include "convert/decode_text.h"

namespace {

std::filesystem::path dataFolder() {
  if (const char* dir = std::getenv("QUILL_BENCH_DATA"); dir != nullptr && *dir != '\0') return dir;
  return QUILL_BENCH_DEFAULT_DATA_DIR;
}

// The units a converter may need for n input bytes: at most one per byte, plus slack for a
// converter that writes a byte-order mark or checks its room pessimistically.
size_t unitsFor(size_t n) { return n + 64; }

void runOurs(benchmark::State& state, uint32_t row, const std::string& file) {
  const BenchInput& input = benchInput(file);
  ByteBuffer bytes;
  if (!bytes.ensureCapacity(static_cast<uint32_t>(input.size()))) {
    state.SkipWithError("no memory for the ByteBuffer");
    return;
  }
  std::copy(input.storage.begin(), input.storage.end(), bytes.data);
  WideBuffer text;
  if (!text.ensureCapacity(static_cast<uint32_t>(input.size()) + 1)) {
    state.SkipWithError("no memory for the WideBuffer");
    return;
  }
  text.data[0] = 0;
  for (auto _ : state) {
    decodeText(row, bytes, input.size(), text);
    benchmark::DoNotOptimize(text.data);
    benchmark::ClobberMemory();
  }
  reportTextUnits(state, text);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * input.size());
}

template <typename Converter>
void runPeer(benchmark::State& state, const char* name, const std::string& file) {
  const BenchInput& input = benchInput(file);
  Converter converter(name);
  if (!converter.ok()) {
    state.SkipWithError("the peer has no converter of that name");
    return;
  }
  std::vector<char16_t> out(unitsFor(input.storage.size()));
  int64_t units = 0;
  for (auto _ : state) {
    units = converter.convert(input.data(), static_cast<size_t>(input.size()), out.data(), out.size());
    if (units < 0) {
      state.SkipWithError("the peer stopped before the end of the input");
      break;
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.counters["units"] = static_cast<double>(units);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * input.size());
}

}  // namespace

void reportTextUnits(benchmark::State& state, const WideBuffer& text) {
  const size_t units = text.data == nullptr ? 0 : std::char_traits<char16_t>::length(text.data);
  if (units == 0) state.SkipWithError("the decode step produced no text");
  state.counters["units"] = static_cast<double>(units);
}

bool prepareBenchData() {
  const std::filesystem::path folder = dataFolder();
  if (std::filesystem::exists(folder / "manifest.txt")) return true;
  const char* python = std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
  const std::string command = std::string(python) + " \"" QUILL_SOURCE_DIR "/tools/gen_bench_text.py\" \"" +
                              folder.string() + "\"";
  std::fprintf(stderr, "Generating the benchmark inputs (once): %s\n", command.c_str());
  if (std::system(command.c_str()) != 0 || !std::filesystem::exists(folder / "manifest.txt")) {
    std::fprintf(stderr, "The benchmark inputs could not be generated into %s\n", folder.c_str());
    return false;
  }
  return true;
}

const BenchInput& benchInput(const std::string& name) {
  static std::map<std::string, std::unique_ptr<BenchInput>> loaded;
  std::unique_ptr<BenchInput>& slot = loaded[name];
  if (!slot) {
    slot = std::make_unique<BenchInput>();
    std::ifstream in(dataFolder() / name, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "Missing benchmark input %s in %s\n", name.c_str(), dataFolder().c_str());
      std::exit(2);
    }
    slot->storage.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    slot->storage.push_back(0);
  }
  return *slot;
}

IconvToUtf16::IconvToUtf16(const char* from) : cd_(iconv_open("UTF-16LE", from)) {}

IconvToUtf16::~IconvToUtf16() {
  if (ok()) iconv_close(cd_);
}

int64_t IconvToUtf16::convert(const uint8_t* in, size_t n, char16_t* out, size_t capacityUnits) {
  iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  char* inPointer = const_cast<char*>(reinterpret_cast<const char*>(in));
  size_t inLeft = n;
  char* outPointer = reinterpret_cast<char*>(out);
  size_t outLeft = capacityUnits * sizeof(char16_t);
  if (iconv(cd_, &inPointer, &inLeft, &outPointer, &outLeft) == static_cast<size_t>(-1)) return -1;
  // Flush any shift state, as the end of a document does.
  if (iconv(cd_, nullptr, nullptr, &outPointer, &outLeft) == static_cast<size_t>(-1)) return -1;
  return static_cast<int64_t>((capacityUnits * sizeof(char16_t) - outLeft) / sizeof(char16_t));
}

IcuToUtf16::IcuToUtf16(const char* name) {
  UErrorCode error = U_ZERO_ERROR;
  converter_ = ucnv_open(name, &error);
  if (U_FAILURE(error)) converter_ = nullptr;
}

IcuToUtf16::~IcuToUtf16() {
  if (converter_ != nullptr) ucnv_close(converter_);
}

int64_t IcuToUtf16::convert(const uint8_t* in, size_t n, char16_t* out, size_t capacityUnits) {
  UErrorCode error = U_ZERO_ERROR;
  // ucnv_toUChars resets the converter, converts everything and flushes.
  const int32_t units = ucnv_toUChars(converter_, out, static_cast<int32_t>(capacityUnits),
                                      reinterpret_cast<const char*>(in), static_cast<int32_t>(n), &error);
  return U_FAILURE(error) ? -1 : units;
}

void registerDecodeEntry(const DecodeEntry& entry) {
  const std::string prefix = std::string("Decode/") + entry.label + "/";
  const std::string file = entry.file;
  const uint32_t row = entry.row;
  const char* iconvName = entry.iconvName;
  const char* icuName = entry.icuName;
  benchmark::RegisterBenchmark((prefix + "ours").c_str(), [row, file](benchmark::State& s) { runOurs(s, row, file); });
  benchmark::RegisterBenchmark((prefix + "iconv").c_str(),
                               [iconvName, file](benchmark::State& s) { runPeer<IconvToUtf16>(s, iconvName, file); });
  benchmark::RegisterBenchmark((prefix + "icu").c_str(),
                               [icuName, file](benchmark::State& s) { runPeer<IcuToUtf16>(s, icuName, file); });
}
