// Where the reader left each document: kept across documents and runs, dropped when the file
// changed size, and a store file that is damaged or foreign does no harm. F5 reads the
// document again at the same place.
#include <filesystem>

#include "app/commands.h"
#include "app/document_session.h"
#include "app/position_store.h"
#include "app/main_window.h"
#include "platform/system/key_state.h"
#include "tests/app/viewer_fixture.h"

using platform::testing::ScopedHook;

namespace {

std::string numberedLines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

class ReadingPlaceTest : public ViewerTest {
 protected:
  // The open command, answered with `path` as a person would choose it.
  void openThroughCommand(const std::u16string& path) {
    ScopedHook<platform::testing::OpenFileResponder> chooser(platform::testing::setOpenFileResponder,
                                                             [&](const OPENFILENAME&) { return path; });
    runOpenCommand(*state);
    platform::testing::pumpMessages();
  }
  int64_t top() { return SendMessage(state->textView, EM_GETTOPCHAR, 0, 0); }
  void scrollPages(int pages) {
    for (int i = 0; i < pages; ++i) SendMessage(state->textView, WM_VSCROLL, SB_PAGEDOWN, 0);
  }
  std::u16string title() {
    WCHAR buffer[512] = {};
    GetWindowText(GetDesktopWindow(), buffer, 512);
    return buffer;
  }
  void restart(int32_t encoding) {
    DestroyWindow(state->mainWindow);  // the reader's place is kept as the window goes
    MSG quit{};
    PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // its quit request ends no loop here
    state.reset();
    UnregisterClass(kMainWindowClass, platform::testing::testInstance());
    startViewer(u"\\a.txt", settingsBytes(100, encoding, 0));
    platform::testing::pumpMessages();
  }
};

TEST_F(ReadingPlaceTest, ReopenedDocumentShowsTheSameFirstLine) {
  device->writeFile(u"\\a.txt", numberedLines(400));
  device->writeFile(u"\\b.txt", numberedLines(10));
  startViewer(u"\\a.txt", settingsBytes(100, 1, 0));
  platform::testing::pumpMessages();
  scrollPages(3);
  const int64_t place = top();
  ASSERT_GT(place, 0);

  openThroughCommand(u"\\b.txt");
  EXPECT_EQ(top(), 0);
  openThroughCommand(u"\\a.txt");
  EXPECT_EQ(top(), place);

  // Across runs too; and a run in another encoding says which one the document was read in.
  restart(4);
  EXPECT_EQ(top(), place);
  EXPECT_NE(title().find(u"last read as Japanese (Shift JIS)"), std::u16string::npos) << std::string(title().begin(), title().end());
}

TEST_F(ReadingPlaceTest, AnotherSizeDropsThePlace) {
  device->writeFile(u"\\a.txt", numberedLines(400));
  device->writeFile(u"\\b.txt", numberedLines(10));
  startViewer(u"\\a.txt", settingsBytes(100, 1, 0));
  platform::testing::pumpMessages();
  scrollPages(2);
  openThroughCommand(u"\\b.txt");
  device->writeFile(u"\\a.txt", numberedLines(401));
  openThroughCommand(u"\\a.txt");
  EXPECT_EQ(top(), 0);
}

TEST_F(ReadingPlaceTest, DamagedStoreIsIgnoredAndReplaced) {
  device->writeFile(u"\\a.txt", numberedLines(400));
  device->writeFile(kPositionsPath, "QSPOS001\x03\0\0\0garbage that is no list of places");
  startViewer(u"\\a.txt", settingsBytes(100, 1, 0));
  platform::testing::pumpMessages();
  EXPECT_EQ(top(), 0);
  scrollPages(2);
  const int64_t place = top();
  restart(1);
  EXPECT_EQ(top(), place);
  const std::string bytes = device->readFile(kPositionsPath);
  const auto entries = position_file::parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  ASSERT_TRUE(entries.has_value());
  EXPECT_EQ(entries->front().path, u"\\a.txt");
}

TEST_F(ReadingPlaceTest, ReloadShowsWhatWasAddedAtTheSamePlace) {
  device->writeFile(u"\\a.txt", numberedLines(400));
  startViewer(u"\\a.txt", settingsBytes(100, 1, 0));
  platform::testing::pumpMessages();
  scrollPages(2);
  const int64_t place = top();
  device->writeFile(u"\\a.txt", numberedLines(400) + "the added line");
  checkDocumentOnDisk(*state);
  EXPECT_NE(title().find(u"changed on disk"), std::u16string::npos);
  platform::testing::pressKey(VK_F5);
  platform::testing::pumpMessages();
  EXPECT_EQ(top(), place);
  const int length = GetWindowTextLength(state->textView);
  std::u16string text(static_cast<size_t>(length) + 1, u'\0');
  GetWindowText(state->textView, text.data(), length + 1);
  EXPECT_NE(text.find(u"the added line"), std::u16string::npos);
  EXPECT_EQ(title().find(u"changed on disk"), std::u16string::npos);
}

TEST_F(ReadingPlaceTest, DroppedFileOpensAndDroppedFolderSaysWhy) {
  device->writeFile(u"\\a.txt", "first");
  device->writeFile(u"\\b.txt", "second");
  std::filesystem::create_directories(device->hostPath(u"\\Books"));
  startViewer(u"\\a.txt", settingsBytes(100, 1, 0));
  platform::testing::pumpMessages();
  platform::testing::dropFiles({device->hostPath(u"\\b.txt"), device->hostPath(u"\\a.txt")});
  platform::testing::pumpMessages();
  EXPECT_EQ(std::u16string(state->path), u"\\b.txt");
  EXPECT_EQ(title(), u"b.txt - Japanese (Shift JIS) - Quillscope");
  platform::testing::dropFiles({device->hostPath(u"\\Books")});
  platform::testing::pumpMessages();
  EXPECT_EQ(title(), u"Books - cannot be opened: is a folder - Quillscope");
}

TEST_F(ReadingPlaceTest, RecentDocumentsListTheLastTenAndOpenTheChoice) {
  for (int i = 0; i < 12; ++i) device->writeFile(u"\\r" + std::u16string(1, u'a' + i) + u".txt", "text");
  startViewer(u"\\ra.txt", settingsBytes(100, 1, 0));
  platform::testing::pumpMessages();
  for (int i = 1; i < 12; ++i) openThroughCommand(u"\\r" + std::u16string(1, u'a' + i) + u".txt");
  std::vector<std::u16string> items;
  ScopedHook<platform::testing::PopupMenuResponder> chooser(
      platform::testing::setPopupMenuResponder, [&](HMENU menu, int, int, HWND) {
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
          WCHAR text[64] = {};
          GetMenuString(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
          items.push_back(text);
        }
        return GetMenuItemID(menu, 3);  // the fourth newest
      });
  platform::testing::pressKey('O', MOD_CONTROL | MOD_SHIFT);
  platform::testing::pumpMessages();
  ASSERT_EQ(items.size(), 10u);
  EXPECT_EQ(items[0], u"&1 rl.txt  \\");
  EXPECT_EQ(items[9], u"&0 rc.txt  \\");
  EXPECT_EQ(std::u16string(state->path), u"\\ri.txt");
}

TEST(PositionFile, KeepsWhatItWroteAndRefusesAnythingElse) {
  std::vector<StoredPosition> entries = {{u"\\a.txt", 12, 5, 1}, {u"\\My Documents\\\u65E5.txt", 1ull << 33, 70000, 12}};
  const std::string bytes = position_file::serialize(entries);
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  EXPECT_EQ(position_file::parse(data, bytes.size()), entries);

  std::string flipped = bytes;
  flipped[30] ^= 1;
  std::string manyEntries = bytes;
  manyEntries[8] = static_cast<char>(201);
  const std::string cases[] = {bytes.substr(0, bytes.size() - 1), bytes + "x", flipped, manyEntries,
                               "XSPOS001" + bytes.substr(8), ""};
  for (const std::string& damaged : cases) {
    EXPECT_FALSE(position_file::parse(reinterpret_cast<const uint8_t*>(damaged.data()), damaged.size()).has_value());
  }
}

TEST_F(ReadingPlaceTest, StoreKeepsTheNewest200) {
  PositionStore store;
  for (uint32_t i = 0; i < 205; ++i) store.remember({u"\\d" + std::u16string(1, u'a' + i % 26) + std::u16string(i / 26 + 1, u'x'), i, i, 0});
  PositionStore reread;
  ASSERT_EQ(reread.entries().size(), 200u);
  EXPECT_EQ(reread.entries().front().size, 204u);
  EXPECT_EQ(reread.entries().back().size, 5u);
}

}  // namespace
