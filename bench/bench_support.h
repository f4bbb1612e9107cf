// What every benchmark family shares: the generated inputs, the two peer converters (glibc iconv
// and ICU) and the registration of one catalogue entry against its peers.
#pragma once

#include <benchmark/benchmark.h>
#include <iconv.h>
#include <unicode/ucnv.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "decode/document_buffers.h"

// One input file, loaded as the viewer loads a document: its bytes and a zero byte after them.
struct BenchInput {
  std::vector<uint8_t> storage;  // owned: the file's bytes and the zero byte

  const uint8_t* data() const { return storage.data(); }
  int32_t size() const { return static_cast<int32_t>(storage.size() - 1); }
};

// Makes sure the data folder holds the generated inputs, running tools/gen_bench_text.py into it
// when its manifest is missing. The folder is $QUILL_BENCH_DATA, else bench-data in the build
// tree. Returns false (after saying why on stderr) when the inputs cannot be made.
bool prepareBenchData();

// The named file of the data folder, loaded once and kept for the whole run.
const BenchInput& benchInput(const std::string& name);

// glibc iconv from one encoding to UTF-16LE. Owns its conversion descriptor.
class IconvToUtf16 {
 public:
  explicit IconvToUtf16(const char* from);
  ~IconvToUtf16();
  IconvToUtf16(const IconvToUtf16&) = delete;
  IconvToUtf16& operator=(const IconvToUtf16&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  // Converts the whole input from the initial state; returns the units written, or -1 when
  // iconv stopped early (an invalid sequence or too little room).
  int64_t convert(const uint8_t* in, size_t n, char16_t* out, size_t capacityUnits);

 private:
  iconv_t cd_;  // owned
};

// An ICU converter to UTF-16. Owns the converter.
class IcuToUtf16 {
 public:
  explicit IcuToUtf16(const char* name);
  ~IcuToUtf16();
  IcuToUtf16(const IcuToUtf16&) = delete;
  IcuToUtf16& operator=(const IcuToUtf16&) = delete;

  bool ok() const { return converter_ != nullptr; }
  // Converts the whole input from the initial state; returns the units written, or -1.
  int64_t convert(const uint8_t* in, size_t n, char16_t* out, size_t capacityUnits);

 private:
  UConverter* converter_ = nullptr;  // owned
};

// Records how many units the decode step left before its ending zero, as a sanity check that
// stands beside the peers' unit counts in the output; a text of no units is an error.
void reportTextUnits(benchmark::State& state, const WideBuffer& text);

// A catalogue entry measured against its peers on the same bytes. Plain values.
struct DecodeEntry {
  const char* label;      // the entry in benchmark names: Decode/<label>/<who>
  uint32_t row;           // the EncodingIndex that decodeText runs
  const char* file;       // the input in the data folder
  const char* iconvName;  // glibc iconv's name for the encoding
  const char* icuName;    // ICU's converter name
};

// Registers Decode/<label>/ours (decodeText), Decode/<label>/iconv and Decode/<label>/icu; all
// report the input's bytes per second.
void registerDecodeEntry(const DecodeEntry& entry);
