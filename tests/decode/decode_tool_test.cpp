// quillscope-decode, run as a separate process: what it writes, and its exit codes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

extern char** environ;

namespace {

// What one run of the tool produced.
struct ToolRun {
  int exitCode = -1;   // the process's exit code, -1 if it did not exit normally
  std::string output;  // standard output, as bytes
  std::string errors;  // standard error
};

class DecodeToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef QUILLSCOPE_DECODE_PATH
    GTEST_SKIP() << "quillscope-decode is not part of this build";
#endif
    char pattern[] = "/tmp/quill-decode-tool-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    if (!folder_.empty()) std::system(("rm -rf '" + folder_ + "'").c_str());
  }

  // Writes `content` to a file in the test's folder and returns its path.
  std::string file(const std::string& name, const std::string& content) {
    const std::string path = folder_ + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  // Runs the tool with `arguments`, standard output and error going to files.
  ToolRun run(const std::vector<std::string>& arguments) {
#ifdef QUILLSCOPE_DECODE_PATH
    const std::string tool = QUILLSCOPE_DECODE_PATH;
#else
    const std::string tool;
#endif
    const std::string outPath = folder_ + "/stdout";
    const std::string errPath = folder_ + "/stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv{const_cast<char*>(tool.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ToolRun result;
    pid_t child = 0;
    const int spawned = posix_spawn(&child, tool.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(spawned, 0) << "cannot start " << tool;
    if (spawned != 0) return result;
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    result.output = test_files::readBytes(outPath);
    result.errors = test_files::readBytes(errPath);
    return result;
  }

  std::string folder_;  // a fresh folder for the test's files, removed afterwards
};

TEST_F(DecodeToolTest, DecodesShiftJisToUtf8ByDefault) {
  const std::string path = file("sjis.txt", "\x82\xA0 abc\n\xB1\x87\x40");
  const ToolRun result = run({path});
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  // U+3042, ASCII, U+FF71, and row 13's 0xFFFF kept as EF BF BF.
  EXPECT_EQ(result.output, "\xE3\x81\x82 abc\n\xEF\xBD\xB1\xEF\xBF\xBF");
  EXPECT_EQ(run({"--encoding", "0", path}).output, result.output);
  EXPECT_EQ(run({"--encoding=1", path}).output, result.output);
}

TEST_F(DecodeToolTest, AcceptsCatalogueNamesExactly) {
  const std::string path = file("euc.txt", "\xA4\xA2\x8E\xB1");
  const ToolRun byName = run({"--encoding", "Japanese (EUC)", path});
  EXPECT_EQ(byName.exitCode, 0) << byName.errors;
  EXPECT_EQ(byName.output, "\xE3\x81\x82\xEF\xBD\xB1");
  EXPECT_EQ(run({"-e", "3", path}).output, byName.output);

  for (const char* wrong : {"japanese (euc)", "Japanese(EUC)", "EUC-JP", "4294967296", "-2147483649", "3x", ""}) {
    const ToolRun refused = run({"--encoding", wrong, path});
    EXPECT_EQ(refused.exitCode, 4) << wrong;
    EXPECT_NE(refused.errors.find("unknown encoding"), std::string::npos) << wrong;
    EXPECT_TRUE(refused.output.empty());
  }
}

TEST_F(DecodeToolTest, Utf16WritesEveryUnitUpToTheEndingZero) {
  // An embedded zero stays, with what follows it; no ending zero unit and no byte-order mark.
  const std::string path = file("zero.txt", std::string("a\0\x82\xA0", 4));
  const ToolRun result = run({"--utf16", path});
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(result.output, std::string("a\0\0\0\x42\x30", 6));
  EXPECT_EQ(run({path}).output, std::string("a\0\xE3\x81\x82", 5));
}

TEST_F(DecodeToolTest, RawCopyAndSurrogatesInUtf8) {
  // Index 25 copies the bytes as little-endian pairs: a surrogate pair, then a lone surrogate.
  const std::string path = file("raw.bin", std::string("\x3D\xD8\x00\xDE\x00\xD8!", 7));
  const ToolRun utf8 = run({"--encoding", "25", path});
  EXPECT_EQ(utf8.exitCode, 0) << utf8.errors;
  EXPECT_EQ(utf8.output, "\xF0\x9F\x98\x80\xEF\xBF\xBD!");  // U+1F600, U+FFFD, "!" with its zero byte
  const ToolRun utf16 = run({"--encoding", "-1", "--utf16", path});
  EXPECT_EQ(utf16.output, std::string("\x3D\xD8\x00\xDE\x00\xD8!\0", 8));
}

TEST_F(DecodeToolTest, PalmDocHeaderTestFailureGivesEmptyOutputAndANote) {
  const std::string path = file("plain.txt", "This plain text is long enough to reach byte 33, but is no book.");
  const ToolRun result = run({"--encoding", "Palm DOC(Western)", path});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_TRUE(result.output.empty());
  EXPECT_NE(result.errors.find("nothing was decoded"), std::string::npos);
}

TEST_F(DecodeToolTest, ExitCodesForFilesAndUsage) {
  const std::string path = file("a.txt", "a");
  const ToolRun missing = run({folder_ + "/no-such-file"});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.errors.find("no-such-file"), std::string::npos);
  EXPECT_EQ(run({folder_}).exitCode, 3);  // a directory
  EXPECT_EQ(run({}).exitCode, 1);
  EXPECT_EQ(run({path, path}).exitCode, 1);
  EXPECT_EQ(run({"--bogus", path}).exitCode, 1);
  EXPECT_EQ(run({path, "--encoding"}).exitCode, 1);
  // An empty file decodes to nothing.
  const ToolRun empty = run({file("empty.txt", "")});
  EXPECT_EQ(empty.exitCode, 0);
  EXPECT_TRUE(empty.output.empty());
}

TEST_F(DecodeToolTest, RefusesFilesOf2GiBAndMore) {
  const std::string path = folder_ + "/huge.bin";
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  const bool sized = ftruncate(fd, off_t{1} << 31) == 0;  // sparse: no disk space is used
  close(fd);
  if (!sized) GTEST_SKIP() << "cannot make a 2 GiB sparse file here";
  const ToolRun result = run({path});
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_NE(result.errors.find("2 GiB"), std::string::npos);
  EXPECT_TRUE(result.output.empty());
}

TEST_F(DecodeToolTest, ListAndHelp) {
  const ToolRun list = run({"--list"});
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_NE(list.output.find("   19  Palm DOC(Western)           238\n"), std::string::npos) << list.output;
  EXPECT_NE(list.output.find("    7  Central Europe(ISO-8859-2)  238\n"), std::string::npos);
  EXPECT_NE(list.output.find("   16  Thai (TS620)                106\n"), std::string::npos);
  const ToolRun help = run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.output.find("U+FFFD"), std::string::npos);
  EXPECT_NE(help.output.find("Exit codes"), std::string::npos);
}

}  // namespace
