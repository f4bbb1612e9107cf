// The Key dialog driven as a user drives it: through its controls, from the menu command and
// from its key action.
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>

#include "app/file_browser.h"
#include "app/key_actions.h"
#include "resources/resource_ids.h"
#include "settings/key_dialog.h"
#include "tests/app/viewer_fixture.h"

using platform::testing::ScopedHook;

namespace {

const std::u16string kSettingsDevicePath = u"\\Program Files\\Quillscope\\Setting.dat";

std::u16string selectedText(HWND dialog, int list) {
  WCHAR text[32]{};
  GetDlgItemText(dialog, list, text, 32);
  return text;
}

class KeyDialogTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    device->writeFile(u"\\a.txt", "text\n");  // a document, so that no open command is pending
  }
  // Runs "KEY BIND" from the menu with `drive` acting on the dialog; returns how often it showed.
  int runKeyBind(std::function<void(HWND)> drive) {
    int shown = 0;
    ScopedHook<platform::testing::DialogResponder> responder(
        platform::testing::setDialogResponder, [&](HWND dialog, int templateId) {
          if (templateId == res::kDialogView) {  // applySettings finds no zoom chosen
            ++viewDialogs;
            clickCancel(dialog);
            return;
          }
          ++shown;
          EXPECT_EQ(templateId, res::kDialogKey);
          drive(dialog);
        });
    SendMessage(state->mainWindow, WM_COMMAND, res::kCommandKeyBind, 0);
    return shown;
  }
  int viewDialogs = 0;  // View dialogs that the applySettings after the Key dialog showed
  static void clickOk(HWND dialog) { platform::testing::clickButton(GetDlgItem(dialog, IDOK)); }
  static void clickCancel(HWND dialog) { platform::testing::clickButton(GetDlgItem(dialog, IDCANCEL)); }
};

TEST_F(KeyDialogTest, MissingFileShowsTheDefaultBindingsInTheirLists) {
  // The settings folder exists but holds no file: the defaults, each in the list of its key.
  startViewer(u"\\a.txt", settingsBytes(100, 1, 0));
  ASSERT_EQ(std::remove(device->hostPath(kSettingsDevicePath).c_str()), 0);
  const struct {
    int list;
    const char16_t* name;
  } kExpected[] = {
      {res::kKeyUpList, u"Line Up"},        {res::kKeyDownList, u"Line Down"},   {res::kKeyLeftList, u"Page Up"},
      {res::kKeyRightList, u"Page Down"},   {res::kKeyCenterList, u"None"},      {res::kKeyOutLeftList, u"File Open"},
      {res::kKeyInLeftList, u"None"},       {res::kKeyInRightList, u"Minimize"}, {res::kKeyOutRightList, u"Exit"},
  };
  EXPECT_EQ(runKeyBind([&](HWND dialog) {
              for (const auto& expected : kExpected) {
                EXPECT_EQ(selectedText(dialog, expected.list), expected.name) << expected.list;
                EXPECT_EQ(SendDlgItemMessage(dialog, expected.list, CB_GETCOUNT, 0, 0), 12);
              }
              EXPECT_EQ(SendDlgItemMessage(dialog, res::kKeyAppKeysCheck, BM_GETCHECK, 0, 0), BST_CHECKED);
              EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, res::kKeyAppKeysGroup)));
              clickCancel(dialog);
            }),
            1);
  // Cancel wrote nothing; the file that the dialog's reading created stays empty, so the
  // settings applied afterwards have no zoom and ask for one.
  EXPECT_EQ(device->readFile(kSettingsDevicePath), "");
  EXPECT_EQ(viewDialogs, 1);
}

TEST_F(KeyDialogTest, TheCheckBoxGreysExactlyTheApplicationKeyControls) {
  startViewer(u"\\a.txt", settingsBytes(100, 1, 0));
  const std::set<int> appKeyControls = {res::kKeyOutLeftList, res::kKeyInLeftList, res::kKeyInRightList,
                                        res::kKeyOutRightList, res::kKeyAppKeysGroup};
  runKeyBind([&](HWND dialog) {
    for (bool checked : {false, true}) {
      platform::testing::clickButton(GetDlgItem(dialog, res::kKeyAppKeysCheck));
      for (int id = res::kKeyAppKeysCheck; id <= res::kKeyAppKeysGroup; ++id) {
        const bool greyed = !checked && appKeyControls.count(id) != 0;
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, id)) == FALSE, greyed) << id << (checked ? " checked" : " cleared");
      }
      EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));
    }
    clickCancel(dialog);
  });
}

TEST_F(KeyDialogTest, OkChangesOnlyTheCaptureAndTheChangedBinding) {
  // Every byte outside the key settings is distinctive, so that any other change would show.
  std::string file = settingsBytes(125, 7, 2, 1, 0, u"Some Face");
  for (int i = 68; i < 132; ++i) file[static_cast<size_t>(i)] = static_cast<char>(i);
  startViewer(u"\\a.txt", file);
  runKeyBind([&](HWND dialog) {
    platform::testing::chooseComboItem(GetDlgItem(dialog, res::kKeyInRightList), kActionPageDown);
    platform::testing::clickButton(GetDlgItem(dialog, res::kKeyAppKeysCheck));  // cleared
    clickOk(dialog);
  });
  const std::string saved = device->readFile(kSettingsDevicePath);
  ASSERT_EQ(saved.size(), 184u);
  std::vector<size_t> changed;
  for (size_t i = 0; i < saved.size(); ++i) {
    if (saved[i] != file[i]) changed.push_back(i);
  }
  EXPECT_EQ(changed, (std::vector<size_t>{140, 172}));
  EXPECT_EQ(littleEndian32At(saved, 140), 0);
  EXPECT_EQ(littleEndian32At(saved, 172), kActionPageDown);
  // The following applySettings put them into effect.
  EXPECT_EQ(state->appKeysEnabled, 0u);
  EXPECT_EQ(state->keyActions[kSlotApp3], kActionPageDown);
  EXPECT_FALSE(state->hotKeysRegistered);
}

TEST_F(KeyDialogTest, CancelWritesNothingYetTheSettingsAreAppliedAgain) {
  startViewer(u"\\a.txt", settingsBytes(100, 1, 0));
  const std::string before = device->readFile(kSettingsDevicePath);
  ASSERT_TRUE(state->fileBrowser);
  lstrcpyn(state->fileBrowser->currentDirectory, u"\\elsewhere\\", kBrowserPathUnits);
  runKeyBind([&](HWND dialog) {
    platform::testing::chooseComboItem(GetDlgItem(dialog, res::kKeyUpList), kActionExit);
    platform::testing::clickButton(GetDlgItem(dialog, res::kKeyAppKeysCheck));
    clickCancel(dialog);
  });
  EXPECT_EQ(device->readFile(kSettingsDevicePath), before);
  // applySettings ran: a fresh file browser, back in its starting folder.
  ASSERT_TRUE(state->fileBrowser);
  EXPECT_EQ(std::u16string(state->fileBrowser->currentDirectory), u"\\My Documents\\");
  EXPECT_EQ(state->keyActions[kSlotUp], kActionLineUp);
}

TEST_F(KeyDialogTest, HotKeysFollowTheCheckBoxAfterOk) {
  const struct {
    int32_t stored;       // appKeysEnabled in the file
    bool toggle;          // the user clicks the check box once
    bool registeredAfter; // the hot keys after OK and the following applySettings
  } kCases[] = {{1, false, true}, {1, true, false}, {0, true, true}, {0, false, false}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "stored " << c.stored << (c.toggle ? ", toggled" : ""));
    TearDown();
    SetUp();
    startViewer(u"\\a.txt", settingsBytes(100, 1, 0, c.stored));
    runKeyBind([&](HWND dialog) {
      if (c.toggle) platform::testing::clickButton(GetDlgItem(dialog, res::kKeyAppKeysCheck));
      clickOk(dialog);
    });
    EXPECT_EQ(state->hotKeysRegistered, c.registeredAfter);
    EXPECT_EQ(littleEndian32At(device->readFile(kSettingsDevicePath), 140), c.registeredAfter ? 1 : 0);
  }
}

TEST_F(KeyDialogTest, TheKeyOptionActionRunsTheDialogToo) {
  startViewer(u"\\a.txt", settingsBytes(100, 1, 0));
  int shown = 0;
  ScopedHook<platform::testing::DialogResponder> responder(
      platform::testing::setDialogResponder, [&](HWND dialog, int templateId) {
        ++shown;
        EXPECT_EQ(templateId, res::kDialogKey);
        platform::testing::chooseComboItem(GetDlgItem(dialog, res::kKeyCenterList), kActionThreeLinesDown);
        clickOk(dialog);
      });
  runKeyAction(*state, kActionKeyOption);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(state->keyActions[kSlotCenter], kActionThreeLinesDown);
}

}  // namespace
