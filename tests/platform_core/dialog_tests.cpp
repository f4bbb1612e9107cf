// Modal dialogs from templates: creation, the nested loop and its ending, the owner, focus,
// dialog keys, dialog units, the item helpers, and full-screen preparation.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>

#include "core_test_support.h"
#include "platform/shellext/aygshell.h"
#include "platform/system/device_screen.h"
#include "platform/system/dialog_manager.h"
#include "platform/system/resources.h"
#include "platform/system/window_host.h"
#include "platform/system/window_records.h"
#include "platform/testing/message_spy.h"
#include "platform/testing/test_hooks.h"
#include "platform/testing/test_host.h"

using namespace coretest;
using platform::testing::DeviceSandbox;
using platform::testing::MessageSpy;
using platform::testing::ScopedHook;

namespace {

// A resource section of our own, under an instance of our own.
const HINSTANCE kDialogInstance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x7A10000));

const platform::DialogItem kItems[] = {
    {u"TestField", u"42", 3001, WS_TABSTOP, 0, 10, 20, 40, 12},
    {u"TestField", u"label", IDC_STATIC, 0, 0, 10, 40, 40, 12},
    {u"BUTTON", u"OK", IDOK, WS_TABSTOP, 0, 10, 60, 30, 14},
    {u"BUTTON", u"Apply", 3005, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 50, 60, 30, 14},
    {u"BUTTON", u"CANCEL", IDCANCEL, WS_TABSTOP, 0, 90, 60, 30, 14},
};
const platform::DialogItem kBrokenItems[] = {
    {u"TestField", u"", 1, 0, 0, 0, 0, 10, 10},
    {u"NoSuchControl", u"", 2, 0, 0, 0, 0, 10, 10},
};
const platform::DialogTemplate kDialogs[] = {
    {100, u"TEST DIALOG", 0, 0, 0, 140, 90, nullptr, 9, kItems, std::size(kItems)},
    {101, u"BROKEN", 0, 0, 0, 100, 50, nullptr, 9, kBrokenItems, std::size(kBrokenItems)},
    {102, u"EMPTY", 0, 5, 5, 60, 40, nullptr, 9, nullptr, 0},
};
const platform::ResourceSection kSection{kDialogs, std::size(kDialogs), nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0};

struct DialogLog {
  std::vector<UINT> messages;   // what the dialog procedure saw, in order
  LPARAM initParam = 0;         // WM_INITDIALOG's parameter
  bool controlsAtInit = false;  // the controls existed when WM_INITDIALOG arrived
  bool ownerEnabledAtInit = true;
  std::vector<WORD> commands;   // the low words of WM_COMMAND
  HFONT fontAtInit = nullptr;
};
DialogLog* dialogLog = nullptr;
bool endOnCommand = true;

BOOL testDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (dialogLog == nullptr) return FALSE;
  dialogLog->messages.push_back(message);
  if (message == WM_INITDIALOG) {
    dialogLog->initParam = lParam;
    dialogLog->controlsAtInit = GetDlgItem(dialog, 3001) != nullptr && GetDlgItem(dialog, IDCANCEL) != nullptr;
    dialogLog->ownerEnabledAtInit = IsWindowEnabled(GetParent(dialog)) != FALSE;
    dialogLog->fontAtInit = reinterpret_cast<HFONT>(SendMessage(dialog, WM_GETFONT, 0, 0));
    return TRUE;
  }
  if (message == WM_USER + 3) {
    // A handled message's result goes through the dialog's message-result slot.
    SetWindowLongPtr(dialog, DWLP_MSGRESULT, 77);
    return TRUE;
  }
  if (message == WM_COMMAND) {
    dialogLog->commands.push_back(LOWORD(wParam));
    if (endOnCommand) EndDialog(dialog, LOWORD(wParam) == IDCANCEL ? 2 : 1000 + LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::RegisterResourceSection(kDialogInstance, &kSection);
    registerTestClass(u"TestField");
    WNDCLASS existing{};
    if (!GetClassInfo(nullptr, u"BUTTON", &existing)) registerTestClass(u"BUTTON");
    dialogLog = &log_;
    endOnCommand = true;
    owner_ = createTopLevel(u"Owner");
  }
  void TearDown() override {
    dialogLog = nullptr;
    platform::RegisterResourceSection(kDialogInstance, nullptr);
  }

  DeviceSandbox sandbox_;
  DialogLog log_;
  HWND owner_ = nullptr;
};

TEST_F(DialogTest, ModalLoopRunsWithTheOwnerDisabledAndReturnsEndDialogsResult) {
  HWND seenDialog = nullptr;
  int seenTemplate = 0;
  bool ownerEnabledInLoop = true;
  bool postedMessageArrived = false;
  ScopedHandler handler([&](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (hwnd == owner_ && message == WM_USER + 7) postedMessageArrived = true;
    return std::nullopt;
  });
  ScopedHook<platform::testing::DialogResponder> responder(
      platform::testing::setDialogResponder, [&](HWND dialog, int templateId) {
        seenDialog = dialog;
        seenTemplate = templateId;
        ownerEnabledInLoop = IsWindowEnabled(owner_) != FALSE;
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(GetActiveWindow(), dialog);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 3001));  // the first control that tabbing reaches
        // Both dispatched by the dialog's own loop, in order.
        PostMessage(owner_, WM_USER + 7, 0, 0);
        PostMessage(dialog, WM_COMMAND, MAKEWPARAM(3005, BN_CLICKED), 0);
      });
  MessageSpy spy;
  spy.watch(owner_);
  const INT_PTR result = DialogBoxParam(kDialogInstance, MAKEINTRESOURCE(100), owner_, testDialogProc, 1234);
  EXPECT_EQ(result, 1000 + 3005);
  EXPECT_EQ(seenTemplate, 100);
  EXPECT_FALSE(IsWindow(seenDialog));
  EXPECT_FALSE(ownerEnabledInLoop);
  EXPECT_TRUE(postedMessageArrived);
  EXPECT_EQ(log_.initParam, 1234);
  EXPECT_TRUE(log_.controlsAtInit);
  EXPECT_FALSE(log_.ownerEnabledAtInit);
  ASSERT_FALSE(log_.messages.empty());
  EXPECT_EQ(log_.messages.front(), static_cast<UINT>(WM_SETFONT));
  EXPECT_NE(log_.fontAtInit, nullptr);
  // The owner lost the keyboard to the dialog and has it back, enabled, once the dialog is gone.
  EXPECT_TRUE(IsWindowEnabled(owner_));
  EXPECT_EQ(GetActiveWindow(), owner_);
  EXPECT_EQ(GetFocus(), owner_);
  std::vector<std::pair<UINT, WPARAM>> ownerSends;
  for (const auto& m : spy.messages()) {
    if (m.delivery == platform::testing::Delivery::Sent) ownerSends.emplace_back(m.message, m.wParam);
  }
  const std::vector<std::pair<UINT, WPARAM>> expected{
      {WM_KILLFOCUS, 0},
      {WM_ENABLE, FALSE},
      {WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0)},
      {WM_ENABLE, TRUE},
      {WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0)},
      {WM_SETFOCUS, 0},
  };
  ASSERT_EQ(ownerSends.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(ownerSends[i].first, expected[i].first) << i;
    if (expected[i].first == WM_ENABLE || expected[i].first == WM_ACTIVATE) {
      EXPECT_EQ(ownerSends[i].second, expected[i].second) << i;
    }
  }
}

TEST_F(DialogTest, EnterChoosesTheDefaultPushButtonAndEscapeCancels) {
  ScopedHook<platform::testing::DialogResponder> responder(platform::testing::setDialogResponder,
                                                           [](HWND, int) { platform::testing::pressKey(VK_RETURN); });
  EXPECT_EQ(DialogBoxParam(kDialogInstance, MAKEINTRESOURCE(100), owner_, testDialogProc, 0), 1000 + 3005);
  EXPECT_EQ(log_.commands, std::vector<WORD>{3005});

  log_ = DialogLog{};
  ScopedHook<platform::testing::DialogResponder> escape(platform::testing::setDialogResponder,
                                                        [](HWND, int) { platform::testing::pressKey(VK_ESCAPE); });
  EXPECT_EQ(DialogBoxParam(kDialogInstance, MAKEINTRESOURCE(100), owner_, testDialogProc, 0), 2);
  EXPECT_EQ(log_.commands, std::vector<WORD>{IDCANCEL});
}

TEST_F(DialogTest, TheQuitRequestEndsNestedLoopsAndStaysForTheOuterOne) {
  int responderCalls = 0;
  ScopedHook<platform::testing::DialogResponder> responder(
      platform::testing::setDialogResponder, [&](HWND dialog, int templateId) {
        ++responderCalls;
        if (templateId == 100) {
          // A dialog opened from inside the first one; the quit request ends both.
          EXPECT_EQ(DialogBoxParam(kDialogInstance, MAKEINTRESOURCE(102), dialog, testDialogProc, 0), 0);
          EXPECT_EQ(platform::dialogs::modalDepth(), 1);
        } else {
          EXPECT_EQ(platform::dialogs::modalDepth(), 2);
          PostQuitMessage(5);
        }
      });
  EXPECT_EQ(DialogBoxParam(kDialogInstance, MAKEINTRESOURCE(100), owner_, testDialogProc, 0), 0);
  EXPECT_EQ(responderCalls, 2);
  EXPECT_EQ(platform::dialogs::modalDepth(), 0);
  MSG msg{};
  EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(DialogTest, ControlsArePlacedInDialogUnitsOfTheDialogFont) {
  std::optional<platform::dialogs::BaseUnits> units;
  RECT field{};
  RECT apply{};
  ScopedHook<platform::testing::DialogResponder> responder(
      platform::testing::setDialogResponder, [&](HWND dialog, int) {
        units = platform::dialogs::baseUnitsFor(reinterpret_cast<HFONT>(SendMessage(dialog, WM_GETFONT, 0, 0)));
        RECT dialogRect{};
        GetWindowRect(dialog, &dialogRect);
        GetWindowRect(GetDlgItem(dialog, 3001), &field);
        GetWindowRect(GetDlgItem(dialog, 3005), &apply);
        for (RECT* r : {&field, &apply}) {
          r->left -= dialogRect.left;
          r->right -= dialogRect.left;
          r->top -= dialogRect.top;
          r->bottom -= dialogRect.top;
        }
        EndDialog(dialog, 0);
      });
  DialogBoxParam(kDialogInstance, MAKEINTRESOURCE(100), owner_, testDialogProc, 0);
  ASSERT_TRUE(units.has_value());
  // A 9-point font on the 96-dpi device: letters a few pixels wide, lines over ten pixels.
  EXPECT_GE(units->baseX, 4);
  EXPECT_LE(units->baseX, 10);
  EXPECT_GE(units->baseY, 10);
  EXPECT_LE(units->baseY, 20);
  const auto across = [&](int du) { return static_cast<LONG>(std::lround(du * units->baseX / 4.0)); };
  const auto down = [&](int du) { return static_cast<LONG>(std::lround(du * units->baseY / 8.0)); };
  EXPECT_EQ(field.left, across(10));
  EXPECT_EQ(field.top, down(20));
  EXPECT_EQ(field.right - field.left, across(40));
  EXPECT_EQ(field.bottom - field.top, down(12));
  EXPECT_EQ(apply.left, across(50));
  EXPECT_EQ(apply.top, down(60));
}

TEST_F(DialogTest, TemplatesThatCannotBeBuiltGiveMinusOneAndLeaveNothing) {
  const size_t before = platform::windows::liveWindowCount();
  EXPECT_EQ(DialogBoxParam(kDialogInstance, MAKEINTRESOURCE(999), owner_, testDialogProc, 0), -1);
  EXPECT_EQ(DialogBoxParam(kDialogInstance, MAKEINTRESOURCE(101), owner_, testDialogProc, 0), -1);
  EXPECT_EQ(DialogBoxParam(kDialogInstance, u"named", owner_, testDialogProc, 0), -1);
  EXPECT_EQ(platform::windows::liveWindowCount(), before);
  EXPECT_TRUE(IsWindowEnabled(owner_));
}

TEST_F(DialogTest, ItemHelpersReadAndWriteTheControls) {
  endOnCommand = false;
  ScopedHook<platform::testing::DialogResponder> responder(
      platform::testing::setDialogResponder, [&](HWND dialog, int) {
        BOOL ok = FALSE;
        EXPECT_EQ(GetDlgItemInt(dialog, 3001, &ok, FALSE), 42u);
        EXPECT_TRUE(ok);
        for (const auto& [text, isSigned, value, translated] :
             std::vector<std::tuple<const char16_t*, BOOL, UINT, BOOL>>{{u"  17", FALSE, 17, TRUE},
                                                                         {u"-7", TRUE, static_cast<UINT>(-7), TRUE},
                                                                         {u"-7", FALSE, 0, FALSE},
                                                                         {u"12abc", FALSE, 12, TRUE},
                                                                         {u"abc", FALSE, 0, FALSE},
                                                                         {u"", FALSE, 0, FALSE},
                                                                         {u"99999999999", FALSE, 0, FALSE},
                                                                         {u"2147483648", TRUE, 0, FALSE}}) {
          ASSERT_TRUE(SetDlgItemText(dialog, 3001, text));
          EXPECT_EQ(GetDlgItemInt(dialog, 3001, &ok, isSigned), value) << std::string(text, text + lstrlen(text));
          EXPECT_EQ(ok, translated);
        }
        SetDlgItemText(dialog, 3001, u"abcdef");
        WCHAR buffer[4];
        EXPECT_EQ(GetDlgItemText(dialog, 3001, buffer, 4), 3u);
        EXPECT_EQ(std::u16string(buffer), u"abc");
        EXPECT_EQ(GetDlgItemText(dialog, 4444, buffer, 4), 0u);
        EXPECT_EQ(buffer[0], 0);
        EXPECT_EQ(SendDlgItemMessage(dialog, 3001, WM_GETTEXTLENGTH, 0, 0), 6);
        // The dialog's own slots: user data and the message result.
        SetWindowLongPtr(dialog, DWLP_USER, 0x5151);
        EXPECT_EQ(GetWindowLongPtr(dialog, DWLP_USER), 0x5151);
        EXPECT_EQ(SendMessage(dialog, WM_USER + 3, 0, 0), 77);
        EXPECT_EQ(SendMessage(dialog, WM_USER + 4, 0, 0), 0);  // not handled: the default result
        EXPECT_EQ(SendMessage(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"Renamed")), TRUE);
        EndDialog(dialog, 9);
      });
  EXPECT_EQ(DialogBoxParam(kDialogInstance, MAKEINTRESOURCE(100), owner_, testDialogProc, 0), 9);
}

TEST_F(DialogTest, FullScreenPreparationFillsTheScreenAndTheDoneButtonSendsOk) {
  ScopedHook<platform::testing::DialogResponder> responder(
      platform::testing::setDialogResponder, [&](HWND dialog, int) {
        SHINITDLGINFO info{SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
        ASSERT_TRUE(SHInitDialog(&info));
        RECT rect{};
        GetWindowRect(dialog, &rect);
        EXPECT_EQ(rect.left, 0);
        EXPECT_EQ(rect.top, kTopBarHeight);
        EXPECT_EQ(rect.right, 480);
        EXPECT_EQ(rect.bottom, 640);
        auto* done = platform::widgets::deviceScreen()->findChild<QPushButton*>(QStringLiteral("quillscope-done-button"));
        ASSERT_NE(done, nullptr);
        EXPECT_TRUE(done->isVisibleTo(platform::widgets::deviceScreen()));
        done->click();
      });
  EXPECT_EQ(DialogBoxParam(kDialogInstance, MAKEINTRESOURCE(100), owner_, testDialogProc, 0), 1000 + IDOK);
  EXPECT_EQ(log_.commands, std::vector<WORD>{IDOK});
  SHINITDLGINFO wrong{0, owner_, 13};
  EXPECT_FALSE(SHInitDialog(&wrong));
  EXPECT_FALSE(SHInitDialog(nullptr));
}

}  // namespace
