// The View dialog driven as a user drives it: through its controls.
#include <cstring>

#include "resources/resource_ids.h"
#include "settings/view_dialog.h"
#include "tests/app/viewer_fixture.h"

using platform::testing::ScopedHook;

namespace {

const std::u16string kSettingsDevicePath = u"\\Program Files\\Quillscope\\Setting.dat";

LRESULT selection(HWND dialog, int list) { return SendDlgItemMessage(dialog, list, CB_GETCURSEL, 0, 0); }

std::u16string selectedText(HWND dialog, int list) {
  WCHAR text[64]{};
  GetDlgItemText(dialog, list, text, 64);
  return text;
}

std::u16string firstFontFamily() {
  std::u16string name;
  EnumFontFamilies(nullptr, nullptr,
                   [](const LOGFONT* font, const TEXTMETRIC*, DWORD, LPARAM out) {
                     *reinterpret_cast<std::u16string*>(out) = font->lfFaceName;
                     return 0;
                   },
                   reinterpret_cast<LPARAM>(&name));
  return name;
}

class ViewDialogTest : public ViewerTest {
 protected:
  // Runs the dialog once with `drive` acting on it; returns run's result.
  int runDialog(std::function<void(HWND)> drive) {
    int shown = 0;
    ScopedHook<platform::testing::DialogResponder> responder(
        platform::testing::setDialogResponder, [&](HWND dialog, int templateId) {
          ++shown;
          EXPECT_EQ(templateId, res::kDialogView);
          drive(dialog);
        });
    ViewDialog dialog;
    const int result = dialog.run(state->mainWindow, state->instance);
    EXPECT_EQ(shown, 1);
    return result;
  }
  void clickOk(HWND dialog) { platform::testing::clickButton(GetDlgItem(dialog, IDOK)); }
  void clickCancel(HWND dialog) { platform::testing::clickButton(GetDlgItem(dialog, IDCANCEL)); }
};

TEST_F(ViewDialogTest, FirstRunAsksForTheSettingsAndStoresTheChoices) {
  int shown = 0;
  ScopedHook<platform::testing::DialogResponder> responder(
      platform::testing::setDialogResponder, [&](HWND dialog, int) {
        ++shown;
        EXPECT_EQ(selection(dialog, res::kViewZoomList), CB_ERR);
        EXPECT_EQ(selection(dialog, res::kViewFontList), CB_ERR);
        EXPECT_EQ(selectedText(dialog, res::kViewEncodingList), u"Japanese (Auto)");
        EXPECT_EQ(selectedText(dialog, res::kViewLineStyleList), u"None");
        EXPECT_EQ(SendDlgItemMessage(dialog, res::kViewSystemDialogCheck, BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendDlgItemMessage(dialog, res::kViewZoomList, CB_GETCOUNT, 0, 0), 9);
        EXPECT_EQ(SendDlgItemMessage(dialog, res::kViewEncodingList, CB_GETCOUNT, 0, 0), 20);
        EXPECT_LE(SendDlgItemMessage(dialog, res::kViewFontList, CB_GETCOUNT, 0, 0), 20);
        platform::testing::chooseComboItem(GetDlgItem(dialog, res::kViewZoomList), 5);       // "115"
        platform::testing::chooseComboItem(GetDlgItem(dialog, res::kViewLineStyleList), 2);  // "Dot "
        platform::testing::chooseComboItem(GetDlgItem(dialog, res::kViewEncodingList), 3);
        clickOk(dialog);
      });
  device->writeFile(u"\\Program Files\\Quillscope\\placeholder", "");
  startViewer(u"", "");
  EXPECT_EQ(shown, 1);
  const std::string saved = device->readFile(kSettingsDevicePath);
  ASSERT_EQ(saved.size(), 184u);
  EXPECT_EQ(littleEndian32At(saved, 0), 115);
  EXPECT_EQ(littleEndian32At(saved, 132), 3);
  EXPECT_EQ(littleEndian32At(saved, 136), 2);
  EXPECT_EQ(littleEndian32At(saved, 140), 1);
  const int32_t keys[9] = {8, 9, 6, 7, 0, 1, 0, 2, 3};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(littleEndian32At(saved, 144 + 4 * i), keys[i]);
  EXPECT_EQ(littleEndian32At(saved, 180), 1);
  // The viewer goes on with what was stored.
  EXPECT_EQ(state->zoomPercent, 115);
  EXPECT_EQ(state->lineStyle, 2u);
  EXPECT_EQ(state->encoding, 3u);
}

TEST_F(ViewDialogTest, AStoredZoomOf120SelectsNothingAndOkStoresZero) {
  startViewer(u"", settingsBytes(120, 1, 0));
  EXPECT_EQ(runDialog([&](HWND dialog) {
              EXPECT_EQ(selection(dialog, res::kViewZoomList), CB_ERR);
              clickOk(dialog);
            }),
            1);
  EXPECT_EQ(littleEndian32At(device->readFile(kSettingsDevicePath), 0), 0);
}

TEST_F(ViewDialogTest, FaceIsMatchedExactlyIncludingCase) {
  const std::u16string family = firstFontFamily();
  ASSERT_FALSE(family.empty());
  std::u16string otherCase = family;
  for (auto& c : otherCase) c = (c >= u'a' && c <= u'z') ? c - 32 : (c >= u'A' && c <= u'Z') ? c + 32 : c;
  ASSERT_NE(otherCase, family);

  startViewer(u"", settingsBytes(100, 1, 0, 1, 1, family));
  runDialog([&](HWND dialog) {
    EXPECT_EQ(selectedText(dialog, res::kViewFontList), family);
    clickCancel(dialog);
  });
  device->writeFile(kSettingsDevicePath, settingsBytes(100, 1, 0, 1, 1, otherCase));
  runDialog([&](HWND dialog) {
    EXPECT_EQ(selection(dialog, res::kViewFontList), CB_ERR);
    clickOk(dialog);
  });
  // With no face selected, OK stores an empty face name.
  EXPECT_EQ(device->readFile(kSettingsDevicePath).substr(4, 2), std::string(2, '\0'));
}

TEST_F(ViewDialogTest, CancelLeavesTheFileByteForByte) {
  std::string bytes = settingsBytes(150, 7, 1);
  for (int i = 68; i < 132; ++i) bytes[i] = static_cast<char>(255 - i);
  startViewer(u"", bytes);
  EXPECT_EQ(runDialog([&](HWND dialog) {
              platform::testing::chooseComboItem(GetDlgItem(dialog, res::kViewZoomList), 0);
              clickCancel(dialog);
            }),
            0);
  EXPECT_EQ(device->readFile(kSettingsDevicePath), bytes);
}

TEST_F(ViewDialogTest, OkKeepsKeyBindingsAndReservedBytes) {
  std::string bytes = settingsBytes(100, 1, 0, /*appKeys=*/0, 1);
  const int32_t keys[9] = {11, 10, 1, 2, 3, 4, 5, 6, 7};
  std::memcpy(&bytes[144], keys, sizeof keys);
  for (int i = 68; i < 132; ++i) bytes[i] = static_cast<char>(i * 3);
  startViewer(u"", bytes);
  runDialog([&](HWND dialog) {
    platform::testing::chooseComboItem(GetDlgItem(dialog, res::kViewZoomList), 8);  // "200"
    platform::testing::clickButton(GetDlgItem(dialog, res::kViewSystemDialogCheck));
    clickOk(dialog);
  });
  const std::string saved = device->readFile(kSettingsDevicePath);
  EXPECT_EQ(saved.substr(68, 64), bytes.substr(68, 64));
  EXPECT_EQ(saved.substr(140, 40), bytes.substr(140, 40));
  EXPECT_EQ(littleEndian32At(saved, 0), 200);
  EXPECT_EQ(littleEndian32At(saved, 180), 0);
}

TEST_F(ViewDialogTest, OutOfRangeEncodingShowsNoSelectionAndOkStoresMinusOne) {
  startViewer(u"", settingsBytes(100, 25, 7));
  runDialog([&](HWND dialog) {
    EXPECT_EQ(selection(dialog, res::kViewEncodingList), CB_ERR);
    EXPECT_EQ(selection(dialog, res::kViewLineStyleList), CB_ERR);
    clickOk(dialog);
  });
  const std::string saved = device->readFile(kSettingsDevicePath);
  EXPECT_EQ(littleEndian32At(saved, 132), -1);
  EXPECT_EQ(littleEndian32At(saved, 136), -1);
}

TEST_F(ViewDialogTest, ConfirmedViewCommandDecodesTheSameBytesAgain) {
  device->writeFile(u"\\a.txt", "\xa4\xa2");  // EUC-JP あ, read first as Shift-JIS
  startViewer(u"\\a.txt", settingsBytes(100, 1, 0));
  platform::testing::pumpMessages();
  ScopedHook<platform::testing::DialogResponder> responder(
      platform::testing::setDialogResponder, [&](HWND dialog, int) {
        platform::testing::chooseComboItem(GetDlgItem(dialog, res::kViewEncodingList), 3);
        clickOk(dialog);
      });
  device->writeFile(u"\\a.txt", "changed on disk");
  SendMessage(state->mainWindow, WM_COMMAND, 2002, 0);
  platform::testing::pumpMessages();
  WCHAR shown[8]{};
  GetWindowText(state->textView, shown, 8);
  EXPECT_EQ(std::u16string(shown), u"\u3042");
  EXPECT_EQ(state->font.lfCharSet, 128);
}

}  // namespace
