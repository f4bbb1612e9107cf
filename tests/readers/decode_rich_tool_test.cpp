// quillscope-decode --rich, run as a process: every rich document's text as the corpus expects
// it, and a password-protected Word file's notice and exit code.
#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

#include "tests/readers/reader_test_support.h"

namespace platform::textview {
namespace {

struct ToolRun {
  int exitCode = -1;   // the exit code, -1 when the tool did not exit normally
  std::string output;  // standard output
  std::string errors;  // standard error
};

class DecodeRichTool : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef QUILLSCOPE_DECODE_PATH
    GTEST_SKIP() << "quillscope-decode is not part of this build";
#endif
    folder_ = std::filesystem::temp_directory_path() / ("quill-rich-tool-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  ToolRun runRich(const std::filesystem::path& file) {
    ToolRun run;
#ifdef QUILLSCOPE_DECODE_PATH
    const std::filesystem::path errors = folder_ / "stderr";
    const std::string command = std::string("'") + QUILLSCOPE_DECODE_PATH + "' --rich '" + file.string() + "' 2>'" + errors.string() + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.errors = test_files::readBytes(errors);
#endif
    return run;
  }

  std::filesystem::path folder_;  // the test's own folder for files it writes
};

TEST_F(DecodeRichTool, PrintsTheTextOfEveryRichDocument) {
  // Files whose expected text the tool gives exactly once TAB is read as a line end.
  for (const char* name : {"en-formatting.doc", "en-formatting.rtf", "ja-text.doc", "table-multilang.doc", "table-multilang.rtf",
                           "pocketword-basic.psw", "pocketword-western.psw", "pocketword-rtf.psw", "html-named.doc",
                           "text-utf8-named.doc", "empty.doc"}) {
    const ToolRun run = runRich(test_files::dataDir() / "rich" / name);
    EXPECT_EQ(run.exitCode, 0) << name << ": " << run.errors;
    QString shown = QString::fromStdString(run.output).replace(u'\t', u'\n');
    QString expected = QString::fromStdString(readRichFile(std::string(name) + ".expected.txt")).replace(u'\t', u'\n');
    while (shown.endsWith(u'\n')) shown.chop(1);
    while (expected.endsWith(u'\n')) expected.chop(1);
    EXPECT_EQ(shown.toStdString(), expected.toStdString()) << name;
  }
}

TEST_F(DecodeRichTool, APasswordProtectedFilePrintsOnlyItsNotice) {
  // en-formatting.doc with the FIB's "encrypted" flag set: the FIB opens the first sector that
  // starts with Word's identifier.
  std::string bytes = readRichFile("en-formatting.doc");
  size_t fib = 512;
  while (fib + 12 < bytes.size() && !(bytes[fib] == '\xEC' && bytes[fib + 1] == '\xA5')) fib += 512;
  ASSERT_LT(fib + 12, bytes.size());
  bytes[fib + 0x0B] = static_cast<char>(bytes[fib + 0x0B] | 0x01);
  const std::filesystem::path file = folder_ / "locked.doc";
  std::ofstream(file, std::ios::binary) << bytes;

  const ToolRun run = runRich(file);
  EXPECT_EQ(run.exitCode, 7);
  EXPECT_EQ(run.output, "");
  EXPECT_EQ(run.errors, "quillscope-decode: This document is password-protected.\n");
}

}  // namespace
}  // namespace platform::textview
