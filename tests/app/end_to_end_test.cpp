// The whole program in a sandboxed device, driven as a user drives it: first start, View
// dialog confirmed, a file chosen and shown, a key pressed, Exit; then the settings file.
#include <cstring>

#include "app/main_window.h"
#include "app/win_main.h"
#include "platform/system/commdlg.h"
#include "resources/resource_ids.h"
#include "tests/app/viewer_fixture.h"

using platform::testing::ScopedHook;

namespace {

TEST(EndToEnd, FirstStartChooseSettingsOpenAFileReadItAndExit) {
  platform::testing::DeviceSandbox device;
  device.writeFile(u"\\Program Files\\Quillscope\\readme", "");  // the installed program folder
  std::string text = "\x82\xa0\x82\xa2\r\n";                    // Shift-JIS
  for (int i = 0; i < 200; ++i) text += "line " + std::to_string(i) + "\r\n";
  device.writeFile(u"\\My Documents\\diary.txt", text);

  std::vector<int> dialogs;
  ScopedHook<platform::testing::DialogResponder> viewDialog(
      platform::testing::setDialogResponder, [&](HWND dialog, int templateId) {
        dialogs.push_back(templateId);
        platform::testing::chooseComboItem(GetDlgItem(dialog, res::kViewZoomList), 2);      // "100"
        platform::testing::chooseComboItem(GetDlgItem(dialog, res::kViewEncodingList), 1);  // Shift JIS
        platform::testing::chooseComboItem(GetDlgItem(dialog, res::kViewLineStyleList), 1); // "Line"
        platform::testing::clickButton(GetDlgItem(dialog, IDOK));
      });
  HWND mainWindow = nullptr;
  std::u16string shown;
  ScopedHook<platform::testing::OpenFileResponder> openDialog(
      platform::testing::setOpenFileResponder, [&](const OPENFILENAME& request) {
        mainWindow = request.hwndOwner;
        // The user reads a little, then leaves with the "Exit" key once the file is shown.
        platform::testing::pressKey(VK_DOWN);
        PostMessage(mainWindow, WM_KEYDOWN, VK_APP4, 0);
        return std::u16string(u"\\My Documents\\diary.txt");
      });

  WCHAR commandLine[] = u"";
  const int exitCode = WinMain(platform::testing::testInstance(), nullptr, commandLine, SW_SHOW);
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(dialogs, std::vector<int>{res::kDialogView});
  ASSERT_NE(mainWindow, nullptr);
  HWND textView = GetWindow(mainWindow, GW_CHILD);
  WCHAR firstUnits[3]{};
  GetWindowText(textView, firstUnits, 3);
  EXPECT_EQ(std::u16string(firstUnits), u"\u3042\u3044");

  const std::string saved = device.readFile(u"\\Program Files\\Quillscope\\Setting.dat");
  ASSERT_EQ(saved.size(), 184u);
  EXPECT_EQ(littleEndian32At(saved, 0), 100);
  EXPECT_EQ(littleEndian32At(saved, 132), 1);
  EXPECT_EQ(littleEndian32At(saved, 136), 1);
  EXPECT_EQ(littleEndian32At(saved, 140), 1);
  const int32_t keys[9] = {8, 9, 6, 7, 0, 1, 0, 2, 3};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(littleEndian32At(saved, 144 + 4 * i), keys[i]);
  EXPECT_EQ(littleEndian32At(saved, 180), 1);
  EXPECT_EQ(saved.substr(68, 64), std::string(64, '\0'));
}

TEST(EndToEnd, TheProgramsOwnFileBrowserOpensAShiftJisFileFromAFolder) {
  platform::testing::DeviceSandbox device;
  // Settings chosen before: zoom 100, Shift-JIS, the program's own file browser.
  std::string settings(184, '\0');
  auto put = [&](size_t offset, int32_t value) { std::memcpy(&settings[offset], &value, 4); };
  put(0, 100);
  put(132, 1);
  put(140, 1);
  const int32_t keys[9] = {8, 9, 6, 7, 0, 1, 0, 2, 3};
  for (int i = 0; i < 9; ++i) put(144 + 4 * static_cast<size_t>(i), keys[i]);
  put(180, 0);
  device.writeFile(u"\\Program Files\\Quillscope\\Setting.dat", settings);
  device.writeFile(u"\\My Documents\\books\\tale.txt", "\x82\xa0\x82\xa2\x82\xa4\r\n");  // Shift-JIS
  device.writeFile(u"\\My Documents\\top.txt", "not this one");

  std::vector<int> dialogs;
  HWND mainWindow = nullptr;
  ScopedHook<platform::testing::DialogResponder> browser(
      platform::testing::setDialogResponder, [&](HWND dialog, int templateId) {
        dialogs.push_back(templateId);
        mainWindow = FindWindow(u"Quillscope_", nullptr);
        const HWND directories = GetDlgItem(dialog, res::kOpenDirectoryList);
        const LRESULT books = SendMessage(directories, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(u"books"));
        ASSERT_GE(books, 0);
        platform::testing::chooseListBoxItem(directories, static_cast<int>(books));
        platform::testing::chooseListViewItem(GetDlgItem(dialog, res::kOpenFileList), 0);
        platform::testing::clickButton(GetDlgItem(dialog, IDOK));
        // Once the file is shown, the user leaves with the "Exit" key.
        PostMessage(mainWindow, WM_KEYDOWN, VK_APP4, 0);
      });

  WCHAR commandLine[] = u"";  // no document named: the open command runs at start-up
  EXPECT_EQ(WinMain(platform::testing::testInstance(), nullptr, commandLine, SW_SHOW), 0);
  EXPECT_EQ(dialogs, std::vector<int>{res::kDialogOpenFile});
  ASSERT_NE(mainWindow, nullptr);
  WCHAR shown[4]{};
  GetWindowText(GetWindow(mainWindow, GW_CHILD), shown, 4);
  EXPECT_EQ(std::u16string(shown), u"\u3042\u3044\u3046");
}

}  // namespace
