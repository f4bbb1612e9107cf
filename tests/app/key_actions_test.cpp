// Key actions, hot keys and the copy gesture, as exact message traffic.
#include <algorithm>
#include <cstring>

#include "app/key_actions.h"
#include "app/text_view_proc.h"
#include "platform/shellext/aygshell.h"
#include "tests/app/viewer_fixture.h"

using platform::testing::Delivery;
using platform::testing::MessageSpy;
using platform::testing::ScopedHook;

namespace {

std::string settingsWithKeys(const int32_t (&keys)[9], int32_t appKeys = 1) {
  std::string bytes = settingsBytes(100, 1, 0, appKeys);
  std::memcpy(&bytes[144], keys, sizeof keys);
  return bytes;
}

class KeyActionTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    // Start with a document so that no open command is pending.
    device->writeFile(u"\\a.txt", std::string(2000, 'a') + "\n");
  }
};

TEST_F(KeyActionTest, ThreeLineDownSendsThreeSingleLineScrolls) {
  const int32_t keys[9] = {11, 10, 6, 7, 0, 1, 0, 2, 3};
  startViewer(u"\\a.txt", settingsWithKeys(keys));
  platform::testing::pumpMessages();
  MessageSpy spy;
  spy.watch(state->textView);
  SendMessage(state->mainWindow, WM_KEYDOWN, VK_UP, 0);
  const auto log = spy.messagesFor(state->textView);
  ASSERT_EQ(log.size(), 3u);
  for (const auto& m : log) {
    EXPECT_EQ(m.message, WM_VSCROLL);
    EXPECT_EQ(m.wParam, SB_LINEDOWN);
    EXPECT_EQ(m.lParam, 0);
  }
  spy.clear();
  SendMessage(state->mainWindow, WM_KEYDOWN, VK_DOWN, 0);  // "3 Line Up"
  EXPECT_EQ(spy.compare({{WM_VSCROLL, Delivery::Sent, true, SB_LINEUP},
                         {WM_VSCROLL, Delivery::Sent, true, SB_LINEUP},
                         {WM_VSCROLL, Delivery::Sent, true, SB_LINEUP}},
                        state->textView),
            "");
}

TEST_F(KeyActionTest, PageAndLineActionsSendTheirScrollCodes) {
  const int32_t keys[9] = {8, 9, 6, 7, 0, 1, 0, 2, 3};
  startViewer(u"\\a.txt", settingsWithKeys(keys));
  platform::testing::pumpMessages();
  MessageSpy spy;
  spy.watch(state->textView);
  for (WORD key : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT}) SendMessage(state->mainWindow, WM_KEYDOWN, key, 0);
  EXPECT_EQ(spy.compare({{WM_VSCROLL, Delivery::Sent, true, SB_LINEUP},
                         {WM_VSCROLL, Delivery::Sent, true, SB_LINEDOWN},
                         {WM_VSCROLL, Delivery::Sent, true, SB_PAGEUP},
                         {WM_VSCROLL, Delivery::Sent, true, SB_PAGEDOWN}},
                        state->textView),
            "");
}

TEST_F(KeyActionTest, KeysOutsideTheTableAndUnboundActionsDoNothing) {
  const int32_t keys[9] = {0, 12, -1, 99, 0, 0, 0, 0, 0};
  startViewer(u"\\a.txt", settingsWithKeys(keys));
  platform::testing::pumpMessages();
  MessageSpy spy;
  spy.watch(state->textView);
  spy.watch(state->mainWindow);
  for (WORD key : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_RETURN, WORD{'A'}, WORD{0x70}, WORD{0xC5}, WORD{0x2D}}) {
    SendMessage(state->mainWindow, WM_KEYDOWN, key, 0);
  }
  EXPECT_TRUE(spy.messagesFor(state->textView).empty());
  EXPECT_EQ(spy.messagesFor(state->mainWindow).size(), 9u);  // the key-downs themselves
  EXPECT_TRUE(platform::testing::pumpMessages());           // nothing was posted: no quit
}

TEST_F(KeyActionTest, ExitActionEndsTheProgramWithCodeZero) {
  startViewer(u"\\a.txt", settingsBytes(100, 1, 0));
  platform::testing::pumpMessages();
  MessageSpy spy;
  spy.watch(state->mainWindow);
  SendMessage(state->mainWindow, WM_HOTKEY, 5004, MAKELPARAM(MOD_WIN, VK_APP4));  // default: "Exit"
  EXPECT_EQ(spy.compare({{WM_HOTKEY}, {WM_DESTROY}}, state->mainWindow), "");
  MSG msg{};
  ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 0u);
  EXPECT_TRUE(IsWindow(state->mainWindow));
}

TEST_F(KeyActionTest, FileOpenActionPostsTheOpenCommand) {
  startViewer(u"\\a.txt", settingsBytes(100, 1, 0));
  platform::testing::pumpMessages();
  int dialogs = 0;
  ScopedHook<platform::testing::OpenFileResponder> chooser(platform::testing::setOpenFileResponder,
                                                           [&](const auto&) { ++dialogs; return std::u16string(); });
  SendMessage(state->mainWindow, WM_KEYDOWN, VK_APP1, 0);  // default: "File Open"
  EXPECT_EQ(dialogs, 0);
  platform::testing::pumpMessages();
  EXPECT_EQ(dialogs, 1);
}

TEST_F(KeyActionTest, FocusChangesRegisterAndUnregisterTheHotKeysOnce) {
  startViewer(u"\\a.txt", settingsBytes(100, 1, 0, /*appKeys=*/1));
  platform::testing::pumpMessages();
  EXPECT_TRUE(state->hotKeysRegistered);
  SendMessage(state->mainWindow, WM_KILLFOCUS, 0, 0);
  EXPECT_FALSE(state->hotKeysRegistered);
  EXPECT_EQ(UnregisterHotKey(state->mainWindow, 5001), FALSE);  // already gone
  SendMessage(state->mainWindow, WM_KILLFOCUS, 0, 0);
  EXPECT_FALSE(state->hotKeysRegistered);
  SendMessage(state->mainWindow, WM_SETFOCUS, 0, 0);
  SendMessage(state->mainWindow, WM_SETFOCUS, 0, 0);
  EXPECT_TRUE(state->hotKeysRegistered);
  // Registered once: a second registration of the same id by another window would fail.
  EXPECT_EQ(RegisterHotKey(state->textView, 5001, MOD_WIN, VK_APP1), FALSE);
}

TEST_F(KeyActionTest, WithApplicationKeysOffFocusRegistersNothingAndKeysStillWork) {
  const int32_t keys[9] = {8, 9, 6, 7, 0, 9, 0, 2, 3};  // APP1: "Line Down"
  startViewer(u"\\a.txt", settingsWithKeys(keys, /*appKeys=*/0));
  platform::testing::pumpMessages();
  SendMessage(state->mainWindow, WM_SETFOCUS, 0, 0);
  EXPECT_FALSE(state->hotKeysRegistered);
  EXPECT_EQ(RegisterHotKey(state->textView, 5001, MOD_WIN, VK_APP1), TRUE);
  UnregisterHotKey(state->textView, 5001);
  MessageSpy spy;
  spy.watch(state->textView);
  SendMessage(state->mainWindow, WM_KEYDOWN, VK_APP1, 0);
  EXPECT_EQ(spy.compare({{WM_VSCROLL, Delivery::Sent, true, SB_LINEDOWN}}, state->textView), "");
}

TEST_F(KeyActionTest, AKeyInTheTextViewMovesTheFocusToTheMainWindowAndRunsTheAction) {
  startViewer(u"\\a.txt", settingsBytes(100, 1, 0));
  platform::testing::pumpMessages();
  SetFocus(state->textView);
  MessageSpy spy;
  spy.watch(state->textView);
  spy.watch(state->mainWindow);
  SendMessage(state->textView, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(GetFocus(), state->mainWindow);
  // The text view's own procedure never sees the key; it gets the scroll the action sends.
  EXPECT_EQ(spy.compare({{WM_KEYDOWN}, {WM_KILLFOCUS}, {WM_SETFOCUS}, {WM_KEYDOWN}, {WM_VSCROLL}}), "");
}

TEST_F(KeyActionTest, ShortTapReachesTheTextViewAndAHeldOneShowsTheCopyMenu) {
  startViewer(u"\\a.txt", settingsBytes(100, 1, 0));
  platform::testing::pumpMessages();

  // Wrap the text view's own procedure to see what it receives behind the viewer's handler.
  static std::vector<UINT> ownProcedureSaw;
  static WNDPROC original;
  ownProcedureSaw.clear();
  original = savedTextViewProc;
  savedTextViewProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    ownProcedureSaw.push_back(m);
    return CallWindowProc(original, h, m, w, l);
  };

  DWORD gestureAnswer = 0;
  std::vector<SHRGINFO> gestures;
  ScopedHook<platform::testing::GestureResponder> gesture(platform::testing::setGestureResponder,
                                                          [&](const SHRGINFO& info) {
                                                            gestures.push_back(info);
                                                            return gestureAnswer;
                                                          });
  std::vector<std::u16string> menus;
  ScopedHook<platform::testing::PopupMenuResponder> popup(
      platform::testing::setPopupMenuResponder, [&](HMENU menu, int x, int y, HWND owner) {
        EXPECT_EQ(owner, state->textView);
        EXPECT_EQ(x, 30);
        EXPECT_EQ(y, 40);
        EXPECT_EQ(GetMenuItemCount(menu), 1);
        WCHAR text[16]{};
        GetMenuString(menu, 0, text, 16, MF_BYPOSITION);
        menus.push_back(text);
        return UINT{2006};
      });

  SendMessage(state->textView, WM_LBUTTONDOWN, 0, MAKELPARAM(30, 40));
  ASSERT_EQ(gestures.size(), 1u);
  EXPECT_EQ(gestures[0].cbSize, 20u);
  EXPECT_EQ(gestures[0].hwndClient, state->textView);
  EXPECT_EQ(gestures[0].ptDown.x, 30);
  EXPECT_EQ(gestures[0].dwFlags, 1u);
  EXPECT_EQ(std::count(ownProcedureSaw.begin(), ownProcedureSaw.end(), WM_LBUTTONDOWN), 1);
  EXPECT_TRUE(menus.empty());

  ownProcedureSaw.clear();
  gestureAnswer = 1000;
  // With nothing selected there is nothing to copy: a hold offers no menu.
  SendMessage(state->textView, WM_LBUTTONDOWN, 0, MAKELPARAM(30, 40));
  EXPECT_TRUE(menus.empty());
  SendMessage(state->textView, EM_SETSEL, 0, 5);
  SendMessage(state->textView, WM_LBUTTONDOWN, 0, MAKELPARAM(30, 40));
  platform::testing::pumpMessages();
  EXPECT_EQ(menus, std::vector<std::u16string>{u"COPY"});
  // The held button-down never reached the text view; the chosen "COPY" became a copy message.
  EXPECT_EQ(std::count(ownProcedureSaw.begin(), ownProcedureSaw.end(), WM_LBUTTONDOWN), 0);
  EXPECT_EQ(std::count(ownProcedureSaw.begin(), ownProcedureSaw.end(), WM_COPY), 1);
  savedTextViewProc = original;
}

}  // namespace
