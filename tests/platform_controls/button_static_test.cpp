// Buttons (push, check box, radio, group box) and static text: clicks, check states, the
// notifications they send, and the window text.
#include <string>

#include "tests/platform_controls/control_test_support.h"

namespace controls_test {
namespace {

using platform::testing::clickButton;

std::u16string windowText(HWND hwnd, int capacity, LRESULT* result = nullptr) {
  std::u16string buffer(128, u'#');
  const LRESULT copied = SendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(capacity), reinterpret_cast<LPARAM>(buffer.data()));
  if (result != nullptr) *result = copied;
  return buffer.substr(0, buffer.find(u'\0'));
}

using ButtonTest = ControlTest;

TEST_F(ButtonTest, AutoCheckBoxTogglesItselfBeforeItReportsTheClick) {
  HWND box = create(WC_BUTTON, BS_AUTOCHECKBOX | WS_TABSTOP, 3005, 120, 20, u"Default File Dialog");
  selectionQuery = [](HWND control) { return SendMessage(control, BM_GETCHECK, 0, 0); };
  EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  clearNotifications();

  // The press takes the focus from the parent before the release reports the click.
  clickButton(box);
  EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  platform::testing::ExpectedMessage focusLost{WM_KILLFOCUS};
  platform::testing::ExpectedMessage focusLostDefault{WM_KILLFOCUS, platform::testing::Delivery::Default};
  EXPECT_EQ(spy().compare({focusLost, focusLostDefault, command(box, BN_CLICKED)}, parent()), "");
  EXPECT_EQ(GetFocus(), box);
  ASSERT_EQ(notifications().size(), 1u);
  EXPECT_EQ(notifications()[0].selectionAtArrival, BST_CHECKED);  // already checked when the parent hears of it

  clickButton(box);
  EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(codes(), (std::vector<UINT>{BN_CLICKED, BN_CLICKED}));
}

TEST_F(ButtonTest, ProgramCheckStateSendsNothingAndBmClickActsLikeTheUser) {
  HWND box = create(WC_BUTTON, BS_AUTOCHECKBOX, 5000, 120, 20, u"Enable Application Key");
  clearNotifications();
  EXPECT_EQ(SendMessage(box, BM_SETCHECK, BST_CHECKED, 0), 0);
  EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessage(box, BM_SETCHECK, 2, 0), 0);  // a two-state box knows only checked
  EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(parent(), 5000), BST_CHECKED);
  SendMessage(box, BM_SETCHECK, BST_UNCHECKED, 0);
  EXPECT_TRUE(notifications().empty()) << describe(notifications());

  SendMessage(box, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(spy().compare({command(box, BN_CLICKED)}, parent()), "");
  EXPECT_EQ(SendMessage(box, BM_GETSTATE, 0, 0) & 0x3, BST_CHECKED);
}

TEST_F(ButtonTest, PlainCheckBoxLeavesItsStateToTheProgram) {
  HWND box = create(WC_BUTTON, BS_CHECKBOX, 77, 120, 20, u"manual");
  focusAndClear(box);
  clickButton(box);
  EXPECT_EQ(SendMessage(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(codes(), (std::vector<UINT>{BN_CLICKED}));
}

TEST_F(ButtonTest, PushButtonsReportClicksWithTheirIdsAndDisabledOnesStayQuiet) {
  HWND ok = create(WC_BUTTON, BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 60, 24, u"OK");
  HWND cancel = create(WC_BUTTON, BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 60, 24, u"CANCEL");
  focusAndClear(cancel);
  clickButton(cancel);
  clickButton(ok);
  EXPECT_EQ(spy().compare({command(cancel, BN_CLICKED), command(ok, BN_CLICKED)}, parent()), "");
  EXPECT_EQ(SendMessage(ok, BM_GETCHECK, 0, 0), 0);  // push buttons have no check state

  EnableWindow(ok, FALSE);
  clearNotifications();
  clickButton(ok);
  EXPECT_TRUE(notifications().empty()) << describe(notifications());
  EnableWindow(ok, TRUE);
  clickButton(ok);
  EXPECT_EQ(codes(), (std::vector<UINT>{BN_CLICKED}));
}

TEST_F(ButtonTest, GroupBoxShowsACaptionAndNeverNotifies) {
  HWND group = create(WC_BUTTON, BS_GROUPBOX, 5010, 200, 80, u"APPLICATION KEY");
  clearNotifications();
  clickButton(group);
  SendMessage(group, BM_CLICK, 0, 0);
  EXPECT_TRUE(notifications().empty()) << describe(notifications());
  EXPECT_EQ(windowText(group, 64), u"APPLICATION KEY");
  // Disabling it (as the key dialog does with its group) is kept.
  EnableWindow(group, FALSE);
  EXPECT_FALSE(IsWindowEnabled(group));
}

TEST_F(ButtonTest, AutoRadioButtonsClearTheOthersOfTheirGroup) {
  HWND first = create(WC_BUTTON, BS_AUTORADIOBUTTON | WS_GROUP, 10, 80, 20, u"one");
  HWND second = create(WC_BUTTON, BS_AUTORADIOBUTTON, 11, 80, 20, u"two");
  HWND other = create(WC_BUTTON, BS_AUTORADIOBUTTON | WS_GROUP, 12, 80, 20, u"other group");
  SendMessage(first, BM_SETCHECK, BST_CHECKED, 0);
  SendMessage(other, BM_SETCHECK, BST_CHECKED, 0);
  focusAndClear(second);
  clickButton(second);
  EXPECT_EQ(SendMessage(second, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessage(first, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessage(other, BM_GETCHECK, 0, 0), BST_CHECKED);
  // A click on the checked radio button keeps it checked.
  clickButton(second);
  EXPECT_EQ(SendMessage(second, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(codes(), (std::vector<UINT>{BN_CLICKED, BN_CLICKED}));
}

using StaticTest = ControlTest;
using AnyControlTest = ControlTest;

// Every class keeps the handle of WM_SETFONT for WM_GETFONT and nothing else: the program may
// delete the font at once and the control goes on working.
TEST_F(AnyControlTest, FontHandleIsRememberedOnlyForWmGetFont) {
  const LPCWSTR classes[] = {WC_BUTTON, WC_STATIC, WC_COMBOBOX, WC_LISTBOX, WC_LISTVIEW};
  const DWORD styles[] = {BS_AUTOCHECKBOX, SS_LEFT, CBS_DROPDOWNLIST, LBS_NOTIFY, LVS_REPORT};
  for (int i = 0; i < 5; ++i) {
    HWND control = create(classes[i], styles[i], 100 + i, 120, 40, u"text");
    EXPECT_EQ(SendMessage(control, WM_GETFONT, 0, 0), 0) << i;
    LOGFONT logFont{};
    logFont.lfHeight = 14;
    HFONT font = CreateFontIndirect(&logFont);
    SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EXPECT_EQ(SendMessage(control, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font)) << i;
    DeleteObject(font);
    platform::testing::pumpMessages();  // the control is drawn after its font is gone
    EXPECT_EQ(SendMessage(control, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font)) << i;
    SendMessage(control, WM_SETFONT, 0, FALSE);
    EXPECT_EQ(SendMessage(control, WM_GETFONT, 0, 0), 0) << i;
  }
}

TEST_F(StaticTest, TextIsReplacedByWmSetTextAndNeverNotifies) {
  HWND label = create(WC_STATIC, SS_LEFTNOWORDWRAP, 1012, 90, 14, u"DirName");
  EXPECT_EQ(windowText(label, 32), u"DirName");
  clearNotifications();
  const std::u16string path = u"\\My Documents\\a folder with a long name\\<b>not markup</b>\\";
  EXPECT_EQ(SendMessage(label, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str())), TRUE);
  EXPECT_EQ(windowText(label, 128), path);
  EXPECT_EQ(SendMessage(label, WM_GETTEXTLENGTH, 0, 0), static_cast<LRESULT>(path.size()));
  EXPECT_TRUE(SetDlgItemText(parent(), 1012, u"\\"));
  EXPECT_EQ(windowText(label, 8), u"\\");
  EXPECT_TRUE(notifications().empty()) << describe(notifications());
}

TEST_F(StaticTest, IconControlAnswersStmSetIconWithThePreviousIcon) {
  HWND icon = create(WC_STATIC, SS_ICON, 1100, 20, 20);
  HICON loaded = LoadIcon(platform::testing::testInstance(), MAKEINTRESOURCE(1000));
  if (loaded == nullptr) GTEST_SKIP() << "this build has no program resources (icon 1000)";
  EXPECT_EQ(SendMessage(icon, STM_SETICON, reinterpret_cast<WPARAM>(loaded), 0), 0);
  EXPECT_EQ(SendMessage(icon, STM_SETICON, 0, 0), reinterpret_cast<LRESULT>(loaded));
  // A text control is no icon control.
  HWND text = create(WC_STATIC, SS_LEFT, 5, 60, 14, u"label");
  EXPECT_EQ(SendMessage(text, STM_SETICON, reinterpret_cast<WPARAM>(loaded), 0), 0);
  EXPECT_EQ(windowText(text, 16), u"label");
}

}  // namespace
}  // namespace controls_test
