// Fuzzes the desktop launcher's command line: the input's zero-separated words as argv. The
// options must be read as written (the document path is argv's tail, unchanged), and the
// program's command line must be the path's text verbatim or a device path that names the
// same host file (up to the case of names the host holds in another case). The device is the
// whole host ("\" is "/"), so that every path the input names has a device path.
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/host/launcher_options.h"
#include "platform/system/files/device_paths.h"

using namespace platform;

namespace {

// Ends the run at a failed check, saying which.
#define check(condition) ((condition) ? void() : fail(__LINE__))
[[noreturn]] void fail(int line) {
  std::fprintf(stderr, "fuzz_launcher_options.cpp:%d: check failed\n", line);
  std::abort();
}

void setUpDevice() {
  static const bool done = [] {
    files::setDeviceRoot("/");
    return true;
  }();
  (void)done;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  setUpDevice();
  std::vector<std::string> words{"quillscope"};
  std::string word;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      words.push_back(word);
      word.clear();
    } else {
      word += static_cast<char>(data[i]);
    }
  }
  words.push_back(word);
  std::vector<const char*> argv;
  for (const std::string& w : words) argv.push_back(w.c_str());
  argv.push_back(nullptr);

  const host::LauncherOptions options = host::parseLauncherOptions(static_cast<int>(words.size()), argv.data());
  if (!options.error.empty()) return 0;
  // The document path's words are argv's last words, as given.
  check(options.words.size() < words.size());
  for (size_t i = 0; i < options.words.size(); ++i) {
    check(options.words[i] == words[words.size() - options.words.size() + i]);
  }
  if (!options.words.empty() && options.words.front().rfind("--", 0) == 0) {
    check(words[words.size() - options.words.size() - 1] == "--");  // an option-like path follows "--"
  }

  const std::u16string commandLine = host::commandLineFor(options.words);
  std::string joined;
  for (const std::string& w : options.words) joined += (joined.empty() ? "" : " ") + w;
  const QString text = QString::fromLocal8Bit(joined.c_str());
  if (commandLine != text.toStdU16String()) {
    check(!commandLine.empty() && commandLine[0] == u'\\');
    // The file the text names, ".." at the root staying there as the host resolves it.
    std::string normal =
        std::filesystem::path(QFile::encodeName(QDir::current().absoluteFilePath(text)).toStdString()).lexically_normal();
    while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
    const QString named = QFile::decodeName(QByteArray::fromStdString(normal));
    const QString found = QFile::decodeName(QByteArray::fromStdString(files::hostPathFor(commandLine)));
    check(found.compare(named, Qt::CaseInsensitive) == 0);
  }
  return 0;
}
