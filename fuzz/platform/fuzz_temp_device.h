// A device folder for a fuzz target: a fresh temporary folder, made on first use and removed
// when the fuzzer process ends.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzzing {

// Makes "/tmp/<prefix>-XXXXXX" and returns its path; aborts when it cannot be made. The folder
// is removed at exit (only one per process: each target calls this once, from a static).
inline std::string makeTempDevice(const std::string& prefix) {
  std::string pattern = "/tmp/" + prefix + "-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  static std::string made;  // the folder removed at exit
  made = pattern;
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(made, ignored);
  });
  return pattern;
}

}  // namespace fuzzing
