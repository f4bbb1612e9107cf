// The file browser on big folders: the device's directory search alone (FindFirstFile and
// FindNextFile over every entry), and a whole listing as the OPEN FILE dialog makes it (search,
// file types, shortcut test, both lists filled with names, dates and sizes). Each folder holds
// N ".txt" files and is made once, in a sandboxed device, before its benchmarks run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "app/file_browser.h"
#include "platform/testing/test_hooks.h"
#include "platform/testing/test_host.h"
#include "resources/quillscope_resources.h"

namespace {

// The device of the whole run; main removes it (and its folders) before the program ends.
std::unique_ptr<platform::testing::DeviceSandbox> sandbox;

platform::testing::DeviceSandbox& device() { return *sandbox; }

// "\My Documents\<count>\" with `count` files, made on first use.
std::u16string folderWith(int count) {
  static std::map<int, std::u16string> made;
  const auto found = made.find(count);
  if (found != made.end()) return found->second;
  const std::string name = std::to_string(count);
  const std::u16string folder = u"\\My Documents\\" + std::u16string(name.begin(), name.end()) + u"\\";
  device().writeFile(folder + u"placeholder.txt", "x");
  const std::string host = device().hostPath(folder);
  for (int i = 1; i < count; ++i) {
    char file[64];
    std::snprintf(file, sizeof file, "/document%06d.txt", i);
    if (FILE* out = std::fopen((host + file).c_str(), "w")) {
      std::fputs("text\n", out);
      std::fclose(out);
    }
  }
  return made[count] = folder;
}

void DirectorySearch(benchmark::State& state) {
  const std::u16string pattern = folderWith(static_cast<int>(state.range(0))) + u"*.*";
  int64_t entries = 0;
  for (auto _ : state) {
    WIN32_FIND_DATA entry{};
    HANDLE search = FindFirstFile(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
      state.SkipWithError("the folder cannot be searched");
      return;
    }
    do {
      ++entries;
      benchmark::DoNotOptimize(entry.cFileName[0]);
    } while (FindNextFile(search, &entry));
    FindClose(search);
  }
  state.SetItemsProcessed(entries);
}

void BrowserListing(benchmark::State& state) {
  const std::u16string folder = folderWith(static_cast<int>(state.range(0)));
  FileBrowserDialog browser(platform::testing::testInstance(), u"", 12, 0, kBrowserFilterList);
  lstrcpyn(browser.currentDirectory, folder.c_str(), kBrowserPathUnits);
  int64_t rows = 0;
  platform::testing::ScopedHook<platform::testing::DialogResponder> responder(
      platform::testing::setDialogResponder, [&](HWND dialog, int) {
        for (auto _ : state) {
          browser.listDirectory(dialog);
          rows += SendDlgItemMessage(dialog, 1010, 0x1004 /* LVM_GETITEMCOUNT */, 0, 0);
        }
        SendMessage(dialog, WM_COMMAND, IDCANCEL, 0);
      });
  WCHAR output[kBrowserPathUnits]{};
  browser.run(nullptr, output);
  state.SetItemsProcessed(rows);
}

BENCHMARK(DirectorySearch)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BrowserListing)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  platform::testing::initTestHost(&argc, argv, &quillscopeResources());
  sandbox = std::make_unique<platform::testing::DeviceSandbox>();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  sandbox.reset();
  return 0;
}
