// Throughput of the Word and RTF readers beside antiword and catdoc on the same files, in file
// bytes per second of wall-clock time. The peers run as processes writing to /dev/null, as a script would run
// them; their rows include starting the process, which a small file makes visible (the
// "start" rows time `true` for that share). Inputs: $QUILL_RICH_BENCH_DATA (big.doc and
// big.rtf from tools/gen_rich_bench.py) and tests/data/rich/medium-en.doc.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/textview/readers/rtf_reader.h"
#include "platform/textview/readers/word_reader.h"

extern char** environ;

namespace {

std::string dataPath(const std::string& name) {
  if (name == "medium-en.doc") return std::string(QUILL_SOURCE_DIR) + "/tests/data/rich/medium-en.doc";
  const char* dir = std::getenv("QUILL_RICH_BENCH_DATA");
  return std::string(dir != nullptr ? dir : "bench-data-rich") + "/" + name;
}

const std::vector<uint8_t>& input(const std::string& name) {
  static std::vector<std::pair<std::string, std::vector<uint8_t>>> loaded;
  for (const auto& [n, bytes] : loaded) {
    if (n == name) return bytes;
  }
  std::ifstream in(dataPath(name), std::ios::binary);
  loaded.emplace_back(name, std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  return loaded.back().second;
}

// Runs the program on the file with its output to /dev/null: -1 when it could not start, else
// 0 for a normal exit or the number of the signal that ended it.
int runProcess(const char* program, const std::string& file) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv{const_cast<char*>(program)};
  if (!file.empty()) argv.push_back(const_cast<char*>(file.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, program, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  if (WIFEXITED(status) && WEXITSTATUS(status) == 127) return -1;  // the shell's "not found"
  return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

void BM_Reader(benchmark::State& state, const platform::textview::DocumentReader* reader, const std::string& name) {
  const std::vector<uint8_t>& bytes = input(name);
  if (bytes.empty()) return state.SkipWithError(("missing input " + dataPath(name)).c_str());
  for (auto _ : state) {
    const platform::textview::TextDocument document = reader->read(platform::textview::ByteView(bytes.data(), bytes.size()));
    benchmark::DoNotOptimize(document.length());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

void BM_Process(benchmark::State& state, const char* program, const std::string& name) {
  const std::vector<uint8_t>& bytes = input(name);
  if (bytes.empty()) return state.SkipWithError(("missing input " + dataPath(name)).c_str());
  if (runProcess(program, dataPath(name)) < 0) return state.SkipWithError((std::string(program) + " is not installed").c_str());
  int signal = 0;
  for (auto _ : state) signal = runProcess(program, dataPath(name));
  if (signal > 0) state.SetLabel("ended by signal " + std::to_string(signal));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

void BM_ProcessStart(benchmark::State& state) {
  for (auto _ : state) runProcess("true", "");
}

const int registered = [] {
  using platform::textview::rtfReader;
  using platform::textview::wordReader;
  for (const std::string name : {"big.doc", "medium-en.doc"}) {
    benchmark::RegisterBenchmark(("Word/quillscope/" + name).c_str(), BM_Reader, &wordReader(), name)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark(("Word/antiword/" + name).c_str(), BM_Process, "antiword", name)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark(("Word/catdoc/" + name).c_str(), BM_Process, "catdoc", name)->Unit(benchmark::kMillisecond)->UseRealTime();
  }
  benchmark::RegisterBenchmark("RTF/quillscope/big.rtf", BM_Reader, &rtfReader(), std::string("big.rtf"))->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("Process/start", BM_ProcessStart)->Unit(benchmark::kMillisecond)->UseRealTime();
  return 0;
}();

}  // namespace

BENCHMARK_MAIN();
