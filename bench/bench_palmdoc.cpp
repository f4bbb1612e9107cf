// Palm DOC rows 18 (Japanese) and 19 (Western) on compressed books, and decompressPalmDoc
// against the straightforward byte-at-a-time decompressor.
//
// iconv and ICU know no Palm DOC, so their rows are what a program built on them would do: the
// straightforward decompressor, then the peer's conversion of the text (code page 932 or
// ISO-8859-1). All rows report the book's file bytes per second.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_support.h"
#include "convert/decode_text.h"
#include "palmdoc/palmdoc.h"

namespace {

// Where the compressed text of a generated book lies, and how long it is decompressed.
struct BookText {
  const uint8_t* stream = nullptr;  // record 1 onwards, inside the loaded book
  size_t streamBytes = 0;           // to the end of the file
  size_t textLength = 0;            // record 0's text length
};

uint32_t bigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

// The generator writes well-formed books; the offsets are still checked before use.
BookText bookText(const BenchInput& book) {
  BookText text;
  const size_t size = static_cast<size_t>(book.size());
  if (size < 90) return text;
  const size_t record0 = bigEndian32(book.data() + 78);
  const size_t record1 = bigEndian32(book.data() + 86);
  if (record0 + 8 > size || record1 > size) return text;
  text.stream = book.data() + record1;
  text.streamBytes = size - record1;
  text.textLength = bigEndian32(book.data() + record0 + 4);
  return text;
}

// The obvious decompressor: one byte at a time, a bounds check before every byte written.
size_t decompressByteAtATime(const uint8_t* in, size_t n, uint8_t* out, size_t capacity) {
  size_t i = 0, o = 0;
  while (i < n) {
    const unsigned m = in[i++];
    if (m == 0) break;
    if (m <= 8) {
      for (unsigned k = 0; k < m; ++k) {
        if (i >= n || o >= capacity) return o;
        out[o++] = in[i++];
      }
    } else if (m < 0x80) {
      if (o >= capacity) return o;
      out[o++] = static_cast<uint8_t>(m);
    } else if (m < 0xC0) {
      if (i >= n) return o;
      const unsigned v = ((m << 8) | in[i++]) & 0x3FFF;
      const size_t distance = v >> 3;
      const unsigned length = (v & 7) + 3;
      if (distance == 0 || distance > o) return o;
      for (unsigned k = 0; k < length; ++k) {
        if (o >= capacity) return o;
        out[o] = out[o - distance];
        ++o;
      }
    } else {
      if (o + 2 > capacity) return o;
      out[o++] = ' ';
      out[o++] = static_cast<uint8_t>(m ^ 0x80);
    }
  }
  return o;
}

template <typename Converter>
void decompressThenConvert(benchmark::State& state, const char* converterName, const std::string& file) {
  const BenchInput& book = benchInput(file);
  const BookText text = bookText(book);
  Converter converter(converterName);
  if (text.stream == nullptr || !converter.ok()) {
    state.SkipWithError("no book or no converter");
    return;
  }
  std::vector<uint8_t> scratch(text.textLength + 1);
  std::vector<char16_t> out(text.textLength + 64);
  int64_t units = 0;
  for (auto _ : state) {
    const size_t count = decompressByteAtATime(text.stream, text.streamBytes, scratch.data(), text.textLength);
    units = converter.convert(scratch.data(), count, out.data(), out.size());
    if (units < 0) {
      state.SkipWithError("the peer stopped before the end of the text");
      break;
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.counters["units"] = static_cast<double>(units);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * book.size());
}

void decompressOurs(benchmark::State& state, const std::string& file) {
  const BenchInput& book = benchInput(file);
  const BookText text = bookText(book);
  std::vector<uint8_t> scratch(text.textLength + 1);
  for (auto _ : state) {
    const int32_t count = decompressPalmDoc(text.stream, text.stream + text.streamBytes, scratch.data(), scratch.size());
    benchmark::DoNotOptimize(count);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.streamBytes));
}

void decompressBaseline(benchmark::State& state, const std::string& file) {
  const BenchInput& book = benchInput(file);
  const BookText text = bookText(book);
  std::vector<uint8_t> scratch(text.textLength + 1);
  for (auto _ : state) {
    const size_t count = decompressByteAtATime(text.stream, text.streamBytes, scratch.data(), text.textLength);
    scratch[count] = 0;
    benchmark::DoNotOptimize(count);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.streamBytes));
}

// The decode step on a book, the WideBuffer grown once as the viewer grows it.
void decodeOurs(benchmark::State& state, uint32_t row, const std::string& file) {
  const BenchInput& book = benchInput(file);
  ByteBuffer bytes;
  if (!bytes.ensureCapacity(static_cast<uint32_t>(book.size()))) {
    state.SkipWithError("no memory for the ByteBuffer");
    return;
  }
  std::copy(book.storage.begin(), book.storage.end(), bytes.data);
  WideBuffer text;
  if (!text.ensureCapacity(static_cast<uint32_t>(book.size()) + 1)) {
    state.SkipWithError("no memory for the WideBuffer");
    return;
  }
  text.data[0] = 0;
  for (auto _ : state) {
    decodeText(row, bytes, book.size(), text);
    benchmark::DoNotOptimize(text.data);
    benchmark::ClobberMemory();
  }
  reportTextUnits(state, text);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * book.size());
}

void registerBook(const char* label, uint32_t row, const char* file, const char* iconvName, const char* icuName) {
  const std::string decode = std::string("Decode/") + label + "/";
  const std::string decompress = std::string("Decompress/") + label + "/";
  const std::string path = file;
  benchmark::RegisterBenchmark((decode + "ours").c_str(), [row, path](benchmark::State& s) { decodeOurs(s, row, path); });
  benchmark::RegisterBenchmark((decode + "iconv").c_str(), [iconvName, path](benchmark::State& s) {
    decompressThenConvert<IconvToUtf16>(s, iconvName, path);
  });
  benchmark::RegisterBenchmark((decode + "icu").c_str(), [icuName, path](benchmark::State& s) {
    decompressThenConvert<IcuToUtf16>(s, icuName, path);
  });
  benchmark::RegisterBenchmark((decompress + "ours").c_str(), [path](benchmark::State& s) { decompressOurs(s, path); });
  benchmark::RegisterBenchmark((decompress + "baseline").c_str(),
                               [path](benchmark::State& s) { decompressBaseline(s, path); });
}

[[maybe_unused]] const bool registered = [] {
  registerBook("PalmDocJapanese", 18, "palmdoc-japanese.pdb", "CP932", "ibm-943_P15A-2003");
  registerBook("PalmDocWestern", 19, "palmdoc-western.pdb", "ISO-8859-1", "ISO-8859-1");
  return true;
}();

}  // namespace
