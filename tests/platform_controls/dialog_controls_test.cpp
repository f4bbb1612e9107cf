// The controls inside a modal dialog built from a template: the dialog manager creates them by
// class name and gives them the dialog font, and the user's choices reach the dialog procedure
// as they do on the platform.
#include <string>
#include <vector>

#include "platform/system/resources.h"
#include "platform/testing/test_hooks.h"
#include "tests/platform_controls/control_test_support.h"

namespace controls_test {
namespace {

using platform::DialogItem;
using platform::DialogTemplate;

constexpr WORD kDialogId = 77;
constexpr int kEnableBox = 5000;
constexpr int kGroup = 5010;
constexpr int kKeyList = 5001;
constexpr int kNameList = 1009;
constexpr int kFileList = 1010;

const DialogItem kItems[] = {
    {WC_BUTTON, u"Enable Application Key", kEnableBox, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 4, 4, 112, 12},
    {WC_BUTTON, u"APPLICATION KEY", kGroup, BS_GROUPBOX, 0, 2, 18, 116, 34},
    {WC_STATIC, u"OUT LEFT", IDC_STATIC, SS_LEFT, 0, 6, 28, 40, 10},
    {WC_COMBOBOX, u"", kKeyList, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, 48, 26, 64, 80},
    {WC_LISTBOX, u"", kNameList, LBS_SORT | LBS_NOTIFY | WS_BORDER | WS_VSCROLL, 0, 2, 54, 116, 30},
    {WC_LISTVIEW, u"", kFileList, LVS_REPORT | LVS_SORTASCENDING | LVS_SINGLESEL | WS_BORDER, 0, 2, 86, 116, 40},
    {WC_BUTTON, u"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 10, 130, 45, 14},
    {WC_BUTTON, u"CANCEL", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 0, 65, 130, 45, 14},
};
const DialogTemplate kDialog = {kDialogId, u"KEY DIALOG", WS_POPUP | WS_CAPTION, 0, 0, 120, 150, nullptr, 9, kItems,
                                sizeof(kItems) / sizeof(kItems[0])};
const platform::ResourceSection kResources = {&kDialog, 1, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0};

// What the dialog procedure saw, in order: "command id code" and "notify id code".
std::vector<std::string> g_seen;

BOOL dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      for (const char16_t* name : {u"None", u"File Open", u"Exit"}) {
        SendDlgItemMessage(dialog, kKeyList, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
      }
      SendDlgItemMessage(dialog, kKeyList, CB_SETCURSEL, 1, 0);
      CheckDlgButton(dialog, kEnableBox, BST_CHECKED);
      for (const char16_t* name : {u"music", u"..", u"Books"}) {
        SendDlgItemMessage(dialog, kNameList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
      }
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      g_seen.push_back("command " + std::to_string(id) + " " + std::to_string(HIWORD(wParam)));
      if (id == IDOK || id == IDCANCEL) {
        EndDialog(dialog, id);
        return TRUE;
      }
      if (id == kEnableBox) {
        // The key dialog greys the application-key lists and their group with the box.
        const BOOL enabled = IsDlgButtonChecked(dialog, kEnableBox) == BST_CHECKED;
        EnableWindow(GetDlgItem(dialog, kKeyList), enabled);
        EnableWindow(GetDlgItem(dialog, kGroup), enabled);
      }
      return TRUE;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code == NM_CLICK || header->code == LVN_ITEMCHANGED) {
        g_seen.push_back("notify " + std::to_string(header->idFrom) + " " + codeName(WM_NOTIFY, header->code));
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

class DialogControlsTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    g_seen.clear();
    platform::RegisterResourceSection(instance(), &kResources);
  }
  void TearDown() override {
    platform::RegisterResourceSection(instance(), nullptr);
    ControlTest::TearDown();
  }
  // A program instance of this test's own, holding only the dialog above.
  static HINSTANCE instance() {
    static int marker = 0;
    return reinterpret_cast<HINSTANCE>(&marker);
  }
  INT_PTR run(platform::testing::DialogResponder responder) {
    platform::testing::ScopedHook<platform::testing::DialogResponder> hook(platform::testing::setDialogResponder,
                                                                          std::move(responder));
    return DialogBoxParam(instance(), MAKEINTRESOURCE(kDialogId), parent(), dialogProc, 0);
  }
};

TEST_F(DialogControlsTest, TemplateControlsTakeTheDialogFontAndTheUsersChoices) {
  LRESULT keyChoice = -2;
  LRESULT nameChoice = -2;
  std::u16string keyText;
  const INT_PTR result = run([&](HWND dialog, int) {
    const LRESULT dialogFont = SendMessage(dialog, WM_GETFONT, 0, 0);
    EXPECT_NE(dialogFont, 0);
    for (int id : {kEnableBox, kGroup, kKeyList, kNameList, kFileList, IDOK}) {
      EXPECT_EQ(SendDlgItemMessage(dialog, id, WM_GETFONT, 0, 0), dialogFont) << "control " << id;
    }
    EXPECT_EQ(SendDlgItemMessage(dialog, kKeyList, CB_GETCOUNT, 0, 0), 3);
    HWND list = GetDlgItem(dialog, kKeyList);
    platform::testing::chooseComboItem(list, 2);
    keyChoice = SendMessage(list, CB_GETCURSEL, 0, 0);
    WCHAR text[16] = {};
    GetDlgItemText(dialog, kKeyList, text, 16);
    keyText = text;
    platform::testing::chooseListBoxItem(GetDlgItem(dialog, kNameList), 1);
    nameChoice = SendDlgItemMessage(dialog, kNameList, LB_GETCURSEL, 0, 0);
    platform::testing::clickButton(GetDlgItem(dialog, IDOK));
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(keyChoice, 2);
  EXPECT_EQ(keyText, u"Exit");
  EXPECT_EQ(nameChoice, 1);  // "Books", sorted after ".."
  const std::vector<std::string> expected = {
      "command 5001 3",  // CBN_SETFOCUS: the click took the focus
      "command 5001 7",  // CBN_DROPDOWN
      "command 5001 9",  // CBN_SELENDOK
      "command 5001 8",  // CBN_CLOSEUP
      "command 5001 1",  // CBN_SELCHANGE
      "command 5001 4",  // CBN_KILLFOCUS: the list box took it
      "command 1009 4",  // LBN_SETFOCUS (a notifying list box reports its focus)
      "command 1009 1",  // LBN_SELCHANGE
      "command 1009 5",  // LBN_KILLFOCUS: the OK button took it
      "command 1 0",     // BN_CLICKED of OK
  };
  EXPECT_EQ(g_seen, expected);
}

TEST_F(DialogControlsTest, CheckBoxGreysTheListsItControlsAndTheirSelectionStays) {
  BOOL listEnabled = TRUE;
  LRESULT keptSelection = -2;
  const INT_PTR result = run([&](HWND dialog, int) {
    platform::testing::clickButton(GetDlgItem(dialog, kEnableBox));
    listEnabled = IsWindowEnabled(GetDlgItem(dialog, kKeyList));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kGroup)));
    // A greyed list takes no choice, and keeps the one it had.
    platform::testing::chooseComboItem(GetDlgItem(dialog, kKeyList), 0);
    keptSelection = SendDlgItemMessage(dialog, kKeyList, CB_GETCURSEL, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kEnableBox), BST_UNCHECKED);
    platform::testing::clickButton(GetDlgItem(dialog, IDCANCEL));
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_FALSE(listEnabled);
  EXPECT_EQ(keptSelection, 1);
}

TEST_F(DialogControlsTest, EnterOnAListChoosesTheDefaultButton) {
  const INT_PTR result = run([&](HWND dialog, int) {
    SetFocus(GetDlgItem(dialog, kKeyList));
    platform::testing::pressKey(VK_RETURN);
  });
  EXPECT_EQ(result, IDOK);
}

}  // namespace
}  // namespace controls_test
