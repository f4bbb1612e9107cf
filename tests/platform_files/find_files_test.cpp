// Directory search: what a folder listing hands out, with attributes, sizes and times.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <filesystem>
#include <map>
#include <vector>

#include "platform/system/windows.h"
#include "tests/platform_files/device_folder.h"

namespace {

using quill_test::DeviceFolderTest;

class FindFilesTest : public DeviceFolderTest {
 protected:
  // Every entry a search hands out, by name.
  std::map<std::u16string, WIN32_FIND_DATA> list(const char16_t* pattern, std::vector<std::u16string>* order = nullptr) {
    std::map<std::u16string, WIN32_FIND_DATA> entries;
    WIN32_FIND_DATA data{};
    HANDLE search = FindFirstFile(pattern, &data);
    if (search == INVALID_HANDLE_VALUE) return entries;
    do {
      entries[data.cFileName] = data;
      if (order != nullptr) order->push_back(data.cFileName);
    } while (FindNextFile(search, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(FindClose(search));
    return entries;
  }
};

std::uint64_t ticks(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

TEST_F(FindFilesTest, ListsEntriesWithAttributesAndSizesButNoDotEntries) {
  writeHostFile("My Documents/book.pdb", std::string(1536, 'x'));
  writeHostFile("My Documents/.profile", "secret");
  writeHostFile("My Documents/Sub/inner.txt", "");
  std::filesystem::create_directories(host("My Documents/.cache"));

  for (const char16_t* pattern : {u"\\My Documents\\*.*", u"\\My Documents\\*", u"/my documents/*.*"}) {
    const auto entries = list(pattern);
    ASSERT_EQ(entries.size(), 4u) << "pattern " << std::string(pattern, pattern + 3);
    EXPECT_FALSE(entries.count(u"."));
    EXPECT_FALSE(entries.count(u".."));
    EXPECT_EQ(entries.at(u"book.pdb").dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(entries.at(u"book.pdb").nFileSizeLow, 1536u);
    EXPECT_EQ(entries.at(u"book.pdb").nFileSizeHigh, 0u);
    EXPECT_EQ(entries.at(u".profile").dwFileAttributes, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(entries.at(u"Sub").dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(entries.at(u".cache").dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
  }
}

TEST_F(FindFilesTest, PatternsMatchWithoutRegardToCase) {
  writeHostFile("d/a.txt", "");
  writeHostFile("d/B.TXT", "");
  writeHostFile("d/c.prc", "");
  writeHostFile("d/notes", "");
  std::vector<std::u16string> order;
  const auto texts = list(u"\\d\\*.txt", &order);
  EXPECT_EQ(order, (std::vector<std::u16string>{u"a.txt", u"B.TXT"}));  // name order, case aside
  EXPECT_EQ(list(u"\\d\\?.prc").size(), 1u);
  EXPECT_EQ(list(u"\\d\\*.*").size(), 4u);  // "*.*" takes names without a dot too
  EXPECT_EQ(list(u"\\d\\NOTES").count(u"notes"), 1u);
}

TEST_F(FindFilesTest, NothingFoundAndMissingFoldersAreErrors) {
  std::filesystem::create_directories(host("empty"));
  WIN32_FIND_DATA data{};
  EXPECT_EQ(FindFirstFile(u"\\empty\\*.*", &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(FindFirstFile(u"\\missing\\*.*", &data), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(FindFirstFile(u"\\empty\\", &data), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(FindNextFile(reinterpret_cast<HANDLE>(uintptr_t{0x40}), &data));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(FindClose(reinterpret_cast<HANDLE>(uintptr_t{0x40})));
}

TEST_F(FindFilesTest, TimesComeFromTheHost) {
  writeHostFile("t/old.txt", "x");
  struct utimbuf times {};
  times.actime = 1000000000;   // 2001-09-09 01:46:40 UTC
  times.modtime = 1000000000;
  ASSERT_EQ(::utime(host("t/old.txt").c_str(), &times), 0);
  const auto entries = list(u"\\t\\*.*");
  const WIN32_FIND_DATA& entry = entries.at(u"old.txt");
  const std::uint64_t expected = (1000000000ull + 11644473600ull) * 10000000ull;
  EXPECT_EQ(ticks(entry.ftLastWriteTime), expected);
  EXPECT_EQ(ticks(entry.ftLastAccessTime), expected);
  // Creation is the birth time where the host keeps one (now, not the back-dated 2001), and the
  // modification time otherwise: never before the modification time here.
  EXPECT_GE(ticks(entry.ftCreationTime), expected);
  SYSTEMTIME fields{};
  ASSERT_TRUE(FileTimeToSystemTime(&entry.ftLastWriteTime, &fields));
  EXPECT_EQ(fields.wYear, 2001);
  EXPECT_EQ(fields.wMonth, 9);
  EXPECT_EQ(fields.wDay, 9);
}

TEST_F(FindFilesTest, EntriesThatVanishDuringTheSearchArePassedOver) {
  writeHostFile("v/a.txt", "");
  writeHostFile("v/b.txt", "");
  writeHostFile("v/c.txt", "");
  WIN32_FIND_DATA data{};
  HANDLE search = FindFirstFile(u"\\v\\*.*", &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::u16string(data.cFileName), u"a.txt");
  std::filesystem::remove(host("v/b.txt"));
  ASSERT_TRUE(FindNextFile(search, &data));
  EXPECT_EQ(std::u16string(data.cFileName), u"c.txt");
  EXPECT_FALSE(FindNextFile(search, &data));
  FindClose(search);
}

}  // namespace
