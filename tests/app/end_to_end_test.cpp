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

}  // namespace
