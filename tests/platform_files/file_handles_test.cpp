// Open files: dispositions, share modes, reads and writes, the file pointer, sizes, attributes,
// folders and deleting.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/system/windows.h"
#include "tests/platform_files/device_folder.h"

namespace {

using quill_test::DeviceFolderTest;

constexpr const char16_t* kSettings = u"\\Program Files\\Quillscope\\Setting.dat";

class FileHandlesTest : public DeviceFolderTest {
 protected:
  HANDLE open(const char16_t* path, DWORD access, DWORD share, DWORD disposition) {
    return CreateFile(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
};

TEST_F(FileHandlesTest, OpenAlwaysCreatesAndOpenExistingNeedsTheFile) {
  std::filesystem::create_directories(host("My Documents"));
  SetLastError(12345);
  HANDLE created = open(u"\\My Documents\\new.txt", GENERIC_READ, 0, OPEN_ALWAYS);
  ASSERT_NE(created, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(created) % 2, 0u);  // handles are even
  EXPECT_TRUE(std::filesystem::exists(host("My Documents/new.txt")));
  EXPECT_EQ(GetFileSize(created, nullptr), 0u);
  CloseHandle(created);

  HANDLE again = open(u"\\My Documents\\new.txt", GENERIC_READ, 0, OPEN_ALWAYS);
  ASSERT_NE(again, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  CloseHandle(again);

  EXPECT_EQ(open(u"\\My Documents\\missing.txt", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(std::filesystem::exists(host("My Documents/missing.txt")));
  EXPECT_EQ(open(u"\\No Folder\\missing.txt", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  // The settings folder missing: even open-always fails, and nothing is made.
  EXPECT_EQ(open(kSettings, GENERIC_READ | GENERIC_WRITE, 3, OPEN_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(std::filesystem::exists(host("Program Files")));
}

TEST_F(FileHandlesTest, CreateNewCreateAlwaysAndTruncateExisting) {
  writeHostFile("a.txt", "old contents");
  EXPECT_EQ(open(u"\\a.txt", GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  EXPECT_EQ(readHostFile("a.txt"), "old contents");

  HANDLE file = open(u"\\a.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(readHostFile("a.txt"), "");
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(file, "fresh", 5, &written, nullptr));
  EXPECT_EQ(written, 5u);
  CloseHandle(file);
  EXPECT_EQ(readHostFile("a.txt"), "fresh");

  EXPECT_EQ(open(u"\\a.txt", GENERIC_READ, 0, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);  // needs write access
  file = open(u"\\a.txt", GENERIC_WRITE, 0, TRUNCATE_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_EQ(readHostFile("a.txt"), "");
  EXPECT_EQ(open(u"\\b.txt", GENERIC_WRITE, 0, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(open(u"\\a.txt", GENERIC_READ, 0, 0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(FileHandlesTest, SettingsFileSharedForReadingAndWritingOpensTwice) {
  std::filesystem::create_directories(host("Program Files/Quillscope"));
  HANDLE first = open(kSettings, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS);
  HANDLE second = open(kSettings, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS);
  ASSERT_NE(first, INVALID_HANDLE_VALUE);
  ASSERT_NE(second, INVALID_HANDLE_VALUE);
  EXPECT_NE(first, second);
  // Each handle has a pointer of its own.
  DWORD count = 0;
  EXPECT_TRUE(WriteFile(first, "ABCD", 4, &count, nullptr));
  char buffer[8] = {};
  EXPECT_TRUE(ReadFile(second, buffer, 8, &count, nullptr));
  EXPECT_EQ(std::string(buffer, count), "ABCD");
  // An open that shares nothing meets handles that hold the file: refused.
  EXPECT_EQ(open(kSettings, GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  CloseHandle(first);
  CloseHandle(second);
}

TEST_F(FileHandlesTest, UnsharedOpenLocksOutEveryOtherOpenUntilClosed) {
  writeHostFile("doc.txt", "text");
  HANDLE viewer = open(u"\\doc.txt", GENERIC_READ, 0, OPEN_ALWAYS);
  ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
  for (DWORD share : {0u, 1u, 2u, 3u}) {
    EXPECT_EQ(open(u"\\doc.txt", GENERIC_READ, share, OPEN_EXISTING), INVALID_HANDLE_VALUE) << share;
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  }
  // Another spelling of the same file meets the same lock.
  EXPECT_EQ(open(u"/DOC.TXT", GENERIC_READ, 3, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  // A refused CREATE_ALWAYS leaves the locked file whole.
  EXPECT_EQ(open(u"\\doc.txt", GENERIC_WRITE, 3, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(readHostFile("doc.txt"), "text");
  EXPECT_FALSE(DeleteFile(u"\\doc.txt"));
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  CloseHandle(viewer);
  HANDLE after = open(u"\\doc.txt", GENERIC_READ, 0, OPEN_EXISTING);
  EXPECT_NE(after, INVALID_HANDLE_VALUE);
  CloseHandle(after);
}

TEST_F(FileHandlesTest, ShareModesAreCheckedBothWays) {
  writeHostFile("f", "x");
  HANDLE reader = open(u"\\f", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  HANDLE secondReader = open(u"\\f", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_NE(secondReader, INVALID_HANDLE_VALUE);  // reading shared with reading
  EXPECT_EQ(open(u"\\f", GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);  // writing not shared
  // Asking for reading alone but not sharing it with the readers already there: refused too.
  EXPECT_EQ(open(u"\\f", GENERIC_READ, FILE_SHARE_WRITE, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  CloseHandle(reader);
  CloseHandle(secondReader);
  HANDLE writer = open(u"\\f", GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(open(u"\\f", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);  // must share writing
  HANDLE tolerant = open(u"\\f", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  EXPECT_NE(tolerant, INVALID_HANDLE_VALUE);
  CloseHandle(writer);
  CloseHandle(tolerant);
}

TEST_F(FileHandlesTest, ReadsStopAtTheEndAndRespectTheHandlesAccess) {
  writeHostFile("ten.bin", "0123456789");
  HANDLE file = open(u"\\ten.bin", GENERIC_READ, 0, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  char buffer[32];
  std::fill(std::begin(buffer), std::end(buffer), '#');
  DWORD got = 99;
  ASSERT_TRUE(ReadFile(file, buffer, 4, &got, nullptr));
  EXPECT_EQ(std::string(buffer, got), "0123");
  ASSERT_TRUE(ReadFile(file, buffer, 32, &got, nullptr));  // more than is left: what is there
  EXPECT_EQ(std::string(buffer, got), "456789");
  EXPECT_EQ(buffer[6], '#');  // nothing past it was touched
  ASSERT_TRUE(ReadFile(file, buffer, 32, &got, nullptr));
  EXPECT_EQ(got, 0u);
  DWORD written = 7;
  EXPECT_FALSE(WriteFile(file, "x", 1, &written, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(written, 0u);
  CloseHandle(file);

  HANDLE writeOnly = open(u"\\ten.bin", GENERIC_WRITE, 0, OPEN_EXISTING);
  EXPECT_FALSE(ReadFile(writeOnly, buffer, 1, &got, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  CloseHandle(writeOnly);
}

TEST_F(FileHandlesTest, FilePointerMovesFromEachOriginAndRefusesNegativePositions) {
  writeHostFile("p.bin", "abcdefghij");
  HANDLE file = open(u"\\p.bin", GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_BEGIN), 3u);
  EXPECT_EQ(SetFilePointer(file, 2, nullptr, FILE_CURRENT), 5u);
  EXPECT_EQ(SetFilePointer(file, -1, nullptr, FILE_END), 9u);
  char c = 0;
  DWORD got = 0;
  ReadFile(file, &c, 1, &got, nullptr);
  EXPECT_EQ(c, 'j');
  EXPECT_EQ(SetFilePointer(file, -11, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 10u);  // unchanged by the refusal
  // With the high part the distance is 64 bits, and positions past 4 GiB are reachable.
  LONG high = 1;
  EXPECT_EQ(SetFilePointer(file, 0, &high, FILE_BEGIN), 0u);
  EXPECT_EQ(high, 1);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  high = -1;
  EXPECT_EQ(SetFilePointer(file, -2, &high, FILE_CURRENT), 0xFFFFFFFEu);  // 4 GiB - 2
  EXPECT_EQ(high, 0);
  EXPECT_EQ(SetFilePointer(file, 1, nullptr, 7), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  CloseHandle(file);
}

TEST_F(FileHandlesTest, SizesReportTheHighPartOfLargeFiles) {
  writeHostFile("big.bin", "");
  ASSERT_EQ(::truncate(host("big.bin").c_str(), (5ll << 30) + 7), 0);  // sparse: 5 GiB and 7 bytes
  HANDLE file = open(u"\\big.bin", GENERIC_READ, 0, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD high = 0;
  EXPECT_EQ(GetFileSize(file, &high), (1u << 30) + 7);
  EXPECT_EQ(high, 1u);
  EXPECT_EQ(GetFileSize(file, nullptr), (1u << 30) + 7);  // only the low part without a pointer
  CloseHandle(file);
  EXPECT_EQ(GetFileSize(file, &high), INVALID_FILE_SIZE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(FileHandlesTest, FoldersAreNotFilesAndHandlesCloseOnce) {
  std::filesystem::create_directories(host("My Documents"));
  EXPECT_EQ(open(u"\\My Documents", GENERIC_READ, 3, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(open(u"\\", GENERIC_READ, 3, OPEN_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(open(nullptr, GENERIC_READ, 3, OPEN_ALWAYS), INVALID_HANDLE_VALUE);
  ASSERT_EQ(::mkfifo(host("pipe").c_str(), 0600), 0);
  EXPECT_EQ(open(u"\\pipe", GENERIC_READ, 3, OPEN_EXISTING), INVALID_HANDLE_VALUE);  // refused, not waited on

  HANDLE file = open(u"\\once.txt", GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_FALSE(CloseHandle(file));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  DWORD got = 0;
  char c;
  EXPECT_FALSE(ReadFile(file, &c, 1, &got, nullptr));
  EXPECT_FALSE(ReadFile(reinterpret_cast<HANDLE>(uintptr_t{0x1234}), &c, 1, &got, nullptr));
}

TEST_F(FileHandlesTest, AttributesFoldersAndDeleting) {
  writeHostFile("My Documents/plain.txt", "x");
  writeHostFile("My Documents/.hidden", "x");
  writeHostFile("My Documents/locked.txt", "x");
  ::chmod(host("My Documents/locked.txt").c_str(), 0444);
  EXPECT_EQ(GetFileAttributes(u"\\My Documents\\plain.txt"), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(GetFileAttributes(u"\\My Documents\\.hidden"), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(GetFileAttributes(u"\\My Documents\\locked.txt"), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(GetFileAttributes(u"\\My Documents"), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetFileAttributes(u"\\"), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetFileAttributes(u"\\My Documents\\none"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(GetFileAttributes(u"\\nowhere\\none"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

  EXPECT_TRUE(CreateDirectory(u"\\My Documents\\Books", nullptr));
  EXPECT_EQ(GetFileAttributes(u"\\My Documents\\Books"), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(CreateDirectory(u"\\My Documents\\books", nullptr));  // the same name, other case
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(CreateDirectory(u"\\a\\b\\c", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

  EXPECT_FALSE(DeleteFile(u"\\My Documents\\locked.txt"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(DeleteFile(u"\\My Documents\\Books"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(DeleteFile(u"\\My Documents\\plain.txt"));
  EXPECT_FALSE(std::filesystem::exists(host("My Documents/plain.txt")));
  EXPECT_FALSE(DeleteFile(u"\\My Documents\\plain.txt"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

// Symbolic links in the device: one that stays inside is followed; one that leads out is a
// missing file for every service, and no service creates, changes or lists anything through
// it; a dangling link never gets its target created.
TEST_F(FileHandlesTest, LinksOutOfTheDeviceAreMissingAndDanglingLinksCreateNothing) {
  char outsideTemplate[] = "/tmp/quill-outside-XXXXXX";
  ASSERT_NE(::mkdtemp(outsideTemplate), nullptr);
  const std::string outside = outsideTemplate;
  { std::ofstream(outside + "/secret.txt") << "outside"; }
  writeHostFile("inside.txt", "inside");
  std::filesystem::create_directories(host("Program Files/Quillscope"));
  std::filesystem::create_symlink(outside + "/created.dat", host("Program Files/Quillscope/Setting.dat"));
  std::filesystem::create_symlink(outside + "/secret.txt", host("secret.txt"));
  std::filesystem::create_symlink(outside, host("out"));
  std::filesystem::create_symlink(host("inside.txt"), host("in.txt"));
  std::filesystem::create_symlink(host("missing.txt"), host("dangling.txt"));

  struct Case {
    const char16_t* path;
    DWORD disposition;
    DWORD error;  // the open's error, or ERROR_SUCCESS when it opens
  };
  const Case cases[] = {
      {kSettings, OPEN_ALWAYS, ERROR_ACCESS_DENIED},     // the settings load's open
      {kSettings, OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
      {u"\\secret.txt", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
      {u"\\secret.txt", CREATE_ALWAYS, ERROR_ACCESS_DENIED},
      {u"\\secret.txt", TRUNCATE_EXISTING, ERROR_FILE_NOT_FOUND},
      {u"\\out\\secret.txt", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
      {u"\\out\\new.txt", CREATE_NEW, ERROR_ACCESS_DENIED},
      {u"\\out\\..\\out\\new.txt", OPEN_ALWAYS, ERROR_ACCESS_DENIED},
      {u"\\dangling.txt", OPEN_ALWAYS, ERROR_ACCESS_DENIED},  // its target would be inside, still not made
      {u"\\dangling.txt", CREATE_ALWAYS, ERROR_ACCESS_DENIED},
      {u"\\in.txt", OPEN_EXISTING, ERROR_SUCCESS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.path).toStdString() + " disposition " + std::to_string(c.disposition));
    HANDLE file = open(c.path, GENERIC_READ | GENERIC_WRITE, 0, c.disposition);
    if (c.error == ERROR_SUCCESS) {
      ASSERT_NE(file, INVALID_HANDLE_VALUE);
      char bytes[6] = {};
      DWORD got = 0;
      EXPECT_TRUE(ReadFile(file, bytes, 6, &got, nullptr));
      EXPECT_EQ(std::string(bytes, got), "inside");
      CloseHandle(file);
    } else {
      EXPECT_EQ(file, INVALID_HANDLE_VALUE);
      EXPECT_EQ(GetLastError(), c.error);
    }
  }
  EXPECT_EQ(GetFileAttributes(u"\\secret.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributes(u"\\out\\secret.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(CreateDirectory(u"\\out\\made", nullptr));
  EXPECT_FALSE(DeleteFile(u"\\out\\secret.txt"));
  WIN32_FIND_DATA found{};
  EXPECT_EQ(FindFirstFile(u"\\out\\*", &found), INVALID_HANDLE_VALUE);
  std::vector<std::u16string> listed;
  HANDLE search = FindFirstFile(u"\\*", &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  do listed.emplace_back(found.cFileName);
  while (FindNextFile(search, &found));
  FindClose(search);
  EXPECT_EQ(listed, (std::vector<std::u16string>{u"dangling.txt", u"in.txt", u"inside.txt", u"Program Files"}));

  // Outside, everything is as it was.
  std::vector<std::string> outsideNames;
  for (const auto& entry : std::filesystem::directory_iterator(outside)) outsideNames.push_back(entry.path().filename());
  EXPECT_EQ(outsideNames, std::vector<std::string>{"secret.txt"});
  std::ifstream secret(outside + "/secret.txt");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(secret), {}), "outside");
  EXPECT_FALSE(std::filesystem::exists(host("missing.txt")));
  std::filesystem::remove_all(outside);
}

// Replacing a file in one step: a handle opened before keeps the old content, the name gives
// the new; the source must be a closed plain file and the target must exist.
TEST_F(FileHandlesTest, DeleteAndRenameReplacesAFileInOneStep) {
  writeHostFile("old.txt", "old");
  writeHostFile("new.txt", "new");
  HANDLE before = open(u"\\old.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  ASSERT_NE(before, INVALID_HANDLE_VALUE);
  HANDLE source = open(u"\\new.txt", GENERIC_WRITE, 0, OPEN_EXISTING);
  EXPECT_TRUE(FlushFileBuffers(source));
  EXPECT_FALSE(DeleteAndRenameFile(u"\\old.txt", u"\\new.txt"));
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  CloseHandle(source);
  EXPECT_FALSE(FlushFileBuffers(source));

  EXPECT_TRUE(DeleteAndRenameFile(u"\\old.txt", u"\\new.txt"));
  EXPECT_EQ(readHostFile("old.txt"), "new");
  EXPECT_FALSE(std::filesystem::exists(host("new.txt")));
  char bytes[8] = {};
  DWORD got = 0;
  EXPECT_TRUE(ReadFile(before, bytes, sizeof bytes, &got, nullptr));
  EXPECT_EQ(std::string(bytes, got), "old");
  CloseHandle(before);

  EXPECT_FALSE(DeleteAndRenameFile(u"\\old.txt", u"\\new.txt"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  writeHostFile("third.txt", "3");
  EXPECT_FALSE(DeleteAndRenameFile(u"\\missing.txt", u"\\third.txt"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  std::filesystem::create_symlink(host("old.txt"), host("link.txt"));
  EXPECT_FALSE(DeleteAndRenameFile(u"\\link.txt", u"\\third.txt"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(readHostFile("old.txt"), "new");
}

TEST(LastErrorTest, EachThreadHasItsOwn) {
  SetLastError(ERROR_SHARING_VIOLATION);
  DWORD seenByOtherThread = 1;
  std::thread other([&] {
    seenByOtherThread = GetLastError();
    SetLastError(ERROR_ACCESS_DENIED);
  });
  other.join();
  EXPECT_EQ(seenByOtherThread, ERROR_SUCCESS);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
}

}  // namespace
