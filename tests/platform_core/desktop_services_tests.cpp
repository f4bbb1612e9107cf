// The platform's desktop services beyond the handheld: the desktop window's title, dropped
// files, registered messages, and the modeless find dialog with its reports to the owner.
#include <gtest/gtest.h>

#include "core_test_support.h"
#include "platform/system/commdlg.h"
#include "platform/system/shellapi.h"
#include "platform/testing/test_host.h"

using namespace coretest;
using platform::testing::DeviceSandbox;

namespace {

class DesktopServicesTest : public ::testing::Test {
 protected:
  DeviceSandbox device;
};

TEST_F(DesktopServicesTest, DesktopTitleIsTheDesktopWindowsNotTheProgramsWindow) {
  const HWND top = createTopLevel(u"Quillscope");
  EXPECT_TRUE(SetWindowText(GetDesktopWindow(), u"a.txt - Quillscope"));
  WCHAR text[64] = {};
  EXPECT_EQ(GetWindowText(GetDesktopWindow(), text, 64), 18);
  EXPECT_EQ(std::u16string(text), u"a.txt - Quillscope");
  EXPECT_EQ(GetWindowText(GetDesktopWindow(), text, 6), 5);  // cut to the buffer, terminated
  EXPECT_EQ(std::u16string(text), u"a.txt");
  GetWindowText(top, text, 64);
  EXPECT_EQ(std::u16string(text), u"Quillscope");  // FindWindow still finds it by this
}

TEST_F(DesktopServicesTest, RegisteredMessagesAreOnePerNameAboveC000) {
  const UINT find = RegisterWindowMessage(FINDMSGSTRING);
  EXPECT_GE(find, 0xC000u);
  EXPECT_EQ(RegisterWindowMessage(u"COMMDLG_FINDREPLACE"), find);
  EXPECT_NE(RegisterWindowMessage(u"another"), find);
  EXPECT_EQ(RegisterWindowMessage(u""), 0u);
}

TEST_F(DesktopServicesTest, DroppedFilesInsideTheDeviceReachTheAcceptingWindow) {
  device.writeFile(u"\\a.txt", "a");
  device.writeFile(u"\\b.txt", "b");
  const HWND top = createTopLevel();
  HDROP received = nullptr;
  ScopedHandler handler([&](HWND hwnd, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
    if (hwnd == top && message == WM_DROPFILES) received = reinterpret_cast<HDROP>(wParam);
    return std::nullopt;
  });
  platform::testing::dropFiles({device.hostPath(u"\\a.txt")});
  platform::testing::pumpMessages();
  EXPECT_EQ(received, nullptr);  // nobody accepts drops yet

  DragAcceptFiles(top, TRUE);
  platform::testing::dropFiles({"/etc/hostname", device.hostPath(u"\\b.txt"), device.hostPath(u"\\a.txt")});
  platform::testing::pumpMessages();
  ASSERT_NE(received, nullptr);
  EXPECT_EQ(DragQueryFile(received, 0xFFFFFFFF, nullptr, 0), 2u);  // outside the device: left out
  WCHAR path[8] = {};
  EXPECT_EQ(DragQueryFile(received, 0, nullptr, 0), 6u);
  EXPECT_EQ(DragQueryFile(received, 0, path, 8), 6u);
  EXPECT_EQ(std::u16string(path), u"\\b.txt");
  EXPECT_EQ(DragQueryFile(received, 1, path, 4), 3u);  // cut to the buffer
  EXPECT_EQ(DragQueryFile(received, 2, path, 8), 0u);
  DragFinish(received);
  EXPECT_EQ(DragQueryFile(received, 0xFFFFFFFF, nullptr, 0), 0u);  // given back
}

TEST_F(DesktopServicesTest, FindDialogReportsSearchesAndItsEnd) {
  const HWND owner = createTopLevel();
  std::vector<DWORD> reports;
  ScopedHandler handler([&](HWND hwnd, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
    if (hwnd == owner && message == RegisterWindowMessage(FINDMSGSTRING)) {
      reports.push_back(reinterpret_cast<FINDREPLACE*>(lParam)->Flags);
      return 0;
    }
    return std::nullopt;
  });
  WCHAR text[16] = u"word";
  FINDREPLACE request{};
  request.lStructSize = kFindReplaceSize;
  request.hwndOwner = owner;
  request.Flags = FR_DOWN | FR_MATCHCASE;
  request.lpstrFindWhat = text;
  request.wFindWhatLen = 16;
  EXPECT_EQ(FindText(nullptr), nullptr);
  const HWND dialog = FindText(&request);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(IsWindowVisible(dialog));
  SetDlgItemText(dialog, kFindWhatId, u"other");
  CheckDlgButton(dialog, 0x420, BST_CHECKED);  // up: the dialog keeps down unchecked
  SendMessage(dialog, WM_COMMAND, MAKEWPARAM(0x420, BN_CLICKED), 0);
  platform::testing::clickButton(GetDlgItem(dialog, IDOK));
  platform::testing::pumpMessages();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], FR_FINDNEXT | FR_MATCHCASE);
  EXPECT_EQ(std::u16string(text), u"other");
  platform::testing::clickButton(GetDlgItem(dialog, IDCANCEL));
  platform::testing::pumpMessages();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[1] & FR_DIALOGTERM, FR_DIALOGTERM);
  EXPECT_FALSE(IsWindow(dialog));
}

}  // namespace
