// Finding text from the viewer: the find dialog and its keys, a match across a segment cut of
// a long line, the status line when nothing is found, find again after the dialog closed.
#include <cstring>

#include "app/find_command.h"
#include "platform/system/key_state.h"
#include "tests/app/viewer_fixture.h"

namespace {

class FindTest : public ViewerTest {
 protected:
  void lookFor(const std::u16string& text) {
    std::memcpy(state->find.text, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
    platform::testing::pressKey('F', MOD_CONTROL);
    platform::testing::pumpMessages();
    ASSERT_NE(state->find.dialog, nullptr);
  }
  void findNext() {
    platform::testing::clickButton(GetDlgItem(state->find.dialog, IDOK));
    platform::testing::pumpMessages();
  }
  std::pair<DWORD, DWORD> selection() {
    DWORD start = 0;
    DWORD end = 0;
    SendMessage(state->textView, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
  }
  std::u16string status() {
    WCHAR buffer[128] = {};
    GetDlgItemText(state->find.dialog, kFindStatusId, buffer, 128);
    return buffer;
  }
};

TEST_F(FindTest, FindsAcrossASegmentCutThenAgainWithTheDialogClosed) {
  // A line of 20,000 units without a line end: the view cuts it into segments near 8192.
  std::string line(20000, 'x');
  std::memcpy(&line[8188], "needle", 6);
  std::memcpy(&line[15000], "NEEDLE", 6);
  device->writeFile(u"\\long.txt", line + "\r\nthe needle at the end");
  platform::testing::ScopedHook<platform::testing::MessageBoxResponder> advice(
      platform::testing::setMessageBoxResponder, [](const auto&) { return IDOK; });
  startViewer(u"\\long.txt", settingsBytes(100, 4, 0));  // UTF-8
  platform::testing::pumpMessages();

  lookFor(u"needle");
  findNext();
  EXPECT_EQ(selection(), (std::pair<DWORD, DWORD>{8188, 8194}));
  EXPECT_EQ(status(), u"");
  findNext();
  EXPECT_EQ(selection(), (std::pair<DWORD, DWORD>{15000, 15006}));
  EXPECT_GT(SendMessage(state->textView, EM_GETTOPCHAR, 0, 0), 0);  // scrolled to it

  platform::testing::clickButton(GetDlgItem(state->find.dialog, IDCANCEL));
  platform::testing::pumpMessages();
  EXPECT_EQ(state->find.dialog, nullptr);

  platform::testing::pressKey('G', MOD_CONTROL);
  platform::testing::pumpMessages();
  EXPECT_EQ(selection(), (std::pair<DWORD, DWORD>{20006, 20012}));
  platform::testing::pressKey('G', MOD_CONTROL | MOD_SHIFT);
  platform::testing::pumpMessages();
  EXPECT_EQ(selection(), (std::pair<DWORD, DWORD>{15000, 15006}));
  EXPECT_EQ(state->find.dialog, nullptr);  // found: nothing to say
}

TEST_F(FindTest, CaseWholeWordAndNotFoundAreSaidInTheDialog) {
  device->writeFile(u"\\a.txt", "Cathedral cat CAT");
  startViewer(u"\\a.txt", settingsBytes(100, 4, 0));
  platform::testing::pumpMessages();
  lookFor(u"cat");
  CheckDlgButton(state->find.dialog, 0x410, BST_CHECKED);  // whole word
  CheckDlgButton(state->find.dialog, 0x411, BST_CHECKED);  // case
  findNext();
  EXPECT_EQ(selection(), (std::pair<DWORD, DWORD>{10, 13}));
  findNext();  // the only one: found again from the top
  EXPECT_EQ(selection(), (std::pair<DWORD, DWORD>{10, 13}));
  EXPECT_EQ(status(), u"Passed the end: found from the top");

  platform::testing::clickButton(GetDlgItem(state->find.dialog, IDCANCEL));
  platform::testing::pumpMessages();
  lookFor(u"dog");
  findNext();
  EXPECT_EQ(status(), u"Cannot find \"dog\"");
  EXPECT_EQ(selection(), (std::pair<DWORD, DWORD>{10, 13}));  // left where it was
}

TEST_F(FindTest, WithoutASelectionTheSearchStartsWhereTheReaderIs) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "mark " + std::to_string(i) + "\r\n";
  device->writeFile(u"\\m.txt", text);
  startViewer(u"\\m.txt", settingsBytes(100, 4, 0));
  platform::testing::pumpMessages();
  SendMessage(state->textView, WM_VSCROLL, SB_PAGEDOWN, 0);
  const auto top = static_cast<DWORD>(SendMessage(state->textView, EM_GETTOPCHAR, 0, 0));
  ASSERT_GT(top, 0u);
  lookFor(u"mark");
  findNext();
  EXPECT_EQ(selection().first, top);
}

TEST_F(FindTest, JapaneseText) {
  device->writeFile(u"\\j.txt", "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x93\xfa\x96\x7b");  // 日本語の日本 in Shift-JIS
  startViewer(u"\\j.txt", settingsBytes(100, 1, 0));
  platform::testing::pumpMessages();
  lookFor(u"\u65E5\u672C");
  findNext();
  findNext();
  EXPECT_EQ(selection(), (std::pair<DWORD, DWORD>{4, 6}));
}

}  // namespace
