// Menus, pop-up menus, the shell's menu bar and the tap-and-hold gesture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>

#include "core_test_support.h"
#include "platform/shellext/aygshell.h"
#include "platform/shellext/menu_bar.h"
#include "platform/system/menus.h"
#include "platform/system/resources.h"
#include "platform/testing/message_spy.h"
#include "platform/testing/test_hooks.h"
#include "platform/testing/test_host.h"

using namespace coretest;
using platform::testing::DeviceSandbox;
using platform::testing::MessageSpy;
using platform::testing::ScopedHook;

namespace {

const HINSTANCE kShellInstance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x7B20000));

const platform::MenuItemTemplate kFileItems[] = {
    {u"OPEN...", 2003, MF_STRING, nullptr, 0},
    {nullptr, 0, MF_SEPARATOR, nullptr, 0},
    {u"EXIT", 2001, MF_STRING, nullptr, 0},
};
const platform::MenuItemTemplate kToolItems[] = {
    {u"ABOUT", 2004, MF_STRING, nullptr, 0},
    {u"GREYED", 2009, MF_GRAYED, nullptr, 0},
};
const platform::MenuItemTemplate kTopItems[] = {
    {u"FILE", 0, MF_POPUP, kFileItems, std::size(kFileItems)},
    {u"TOOL", 0, MF_POPUP, kToolItems, std::size(kToolItems)},
};
const platform::MenuTemplate kMenus[] = {{1001, kTopItems, std::size(kTopItems)}};
const platform::MenuBarButton kButtons[] = {
    {4001, 1002, 0, true},
    {4003, 1003, 1, true},
    {4002, 1004, -1, true},
};
const platform::MenuBarTemplate kMenuBars[] = {{1001, 1001, kButtons, std::size(kButtons)}};
const platform::StringResource kStrings[] = {{4001, u"FILE"}, {4002, u"OPTION"}, {4003, u"TOOL"}};
const platform::ResourceSection kSection{nullptr, 0, kMenus, std::size(kMenus), kMenuBars, std::size(kMenuBars),
                                         kStrings, std::size(kStrings), nullptr, 0};

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::RegisterResourceSection(kShellInstance, &kSection); }
  void TearDown() override { platform::RegisterResourceSection(kShellInstance, nullptr); }
  DeviceSandbox sandbox_;
};

TEST_F(ShellTest, MenusLoadFromTemplatesAndAnswerTheirQueries) {
  const HMENU menu = LoadMenu(kShellInstance, MAKEINTRESOURCE(1001));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(GetMenuItemCount(menu), 2);
  const HMENU file = GetSubMenu(menu, 0);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(GetMenuItemCount(file), 3);
  EXPECT_EQ(GetMenuItemID(file, 0), 2003u);
  EXPECT_EQ(GetMenuItemID(file, 1), 0u);  // separator
  EXPECT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(-1));  // a pop-up has no command
  EXPECT_EQ(GetMenuItemID(file, 7), static_cast<UINT>(-1));
  EXPECT_EQ(GetSubMenu(file, 0), nullptr);
  WCHAR text[8];
  EXPECT_EQ(GetMenuString(menu, 2001, text, 8, MF_BYCOMMAND), 4);  // found through the pop-up
  EXPECT_EQ(std::u16string(text), u"EXIT");
  EXPECT_EQ(GetMenuString(file, 0, text, 4, MF_BYPOSITION), 3);
  EXPECT_EQ(std::u16string(text), u"OPE");
  EXPECT_EQ(EnableMenuItem(menu, 2003, MF_GRAYED), static_cast<BOOL>(MF_ENABLED));
  EXPECT_FALSE(platform::menus::isEnabledCommand(menu, 2003));
  EXPECT_EQ(EnableMenuItem(menu, 7777, MF_GRAYED), -1);
  EXPECT_EQ(LoadMenu(kShellInstance, MAKEINTRESOURCE(5)), nullptr);
  const size_t live = platform::menus::liveMenuCount();
  EXPECT_TRUE(DestroyMenu(menu));
  EXPECT_EQ(platform::menus::liveMenuCount(), live - 3);  // the menu and its two pop-ups
  EXPECT_FALSE(DestroyMenu(file));
}

TEST_F(ShellTest, PopupMenuChoicesArePostedToTheOwnerAsCommands) {
  const HWND owner = createTopLevel(u"Owner");
  const HMENU popup = CreatePopupMenu();
  AppendMenu(popup, MF_STRING, 2006, u"COPY");
  AppendMenu(popup, MF_STRING | MF_GRAYED, 2007, u"OFF");
  std::vector<std::tuple<HMENU, int, int, HWND>> calls;
  UINT answer = 2006;
  ScopedHook<platform::testing::PopupMenuResponder> responder(
      platform::testing::setPopupMenuResponder, [&](HMENU menu, int x, int y, HWND window) {
        calls.emplace_back(menu, x, y, window);
        return answer;
      });
  MessageSpy spy;
  spy.watch(owner);
  EXPECT_TRUE(TrackPopupMenuEx(popup, TPM_LEFTALIGN, 12, 34, owner, nullptr));
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0], std::make_tuple(popup, 12, 34, owner));
  // The owner may set the items up before the menu shows; the choice arrives later, through the queue.
  const auto initPopup = sent(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup));
  EXPECT_EQ(spy.compare({initPopup, byDefault(WM_INITMENUPOPUP)}), "");
  platform::testing::pumpMessages();
  EXPECT_EQ(spy.compare({initPopup, byDefault(WM_INITMENUPOPUP), posted(WM_COMMAND, 2006, 0), byDefault(WM_COMMAND)}), "");
  // With TPM_RETURNCMD the choice is returned instead.
  spy.clear();
  EXPECT_EQ(TrackPopupMenuEx(popup, TPM_RETURNCMD, 0, 0, owner, nullptr), 2006);
  // A dismissed menu, a greyed item and an id the menu does not have choose nothing.
  for (UINT notChosen : {0u, 2007u, 4242u}) {
    answer = notChosen;
    EXPECT_TRUE(TrackPopupMenuEx(popup, 0, 0, 0, owner, nullptr));
    EXPECT_EQ(TrackPopupMenuEx(popup, TPM_RETURNCMD, 0, 0, owner, nullptr), 0);
  }
  platform::testing::pumpMessages();
  for (const auto& m : spy.messages()) EXPECT_NE(m.message, WM_COMMAND);
  DestroyMenu(popup);
  EXPECT_FALSE(TrackPopupMenuEx(popup, 0, 0, 0, owner, nullptr));
}

TEST_F(ShellTest, ADesktopPopupMenuIsChosenWithTheKeyboard) {
  const HWND owner = createTopLevel(u"Owner");
  const HMENU popup = CreatePopupMenu();
  AppendMenu(popup, MF_STRING, 2006, u"COPY");
  AppendMenu(popup, MF_STRING, 2008, u"SECOND");
  bool sawMenu = false;
  QTimer::singleShot(50, [&] {
    QWidget* shown = QApplication::activePopupWidget();
    sawMenu = qobject_cast<QMenu*>(shown) != nullptr;
    if (shown == nullptr) return;
    for (int key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}) {
      QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
      QCoreApplication::sendEvent(shown, &press);
    }
  });
  const BOOL chosen = TrackPopupMenuEx(popup, TPM_RETURNCMD, 10, 10, owner, nullptr);
  EXPECT_TRUE(sawMenu);
  EXPECT_EQ(chosen, 2008);
  DestroyMenu(popup);
}

TEST_F(ShellTest, TheMenuBarDropsDownThePopupsOfItsDescription) {
  const HWND main = createTopLevel(u"Main");
  SHMENUBARINFO info{};
  info.cbSize = 20;  // not the handheld's record size
  info.hwndParent = main;
  info.nToolBarId = 1001;
  info.hInstRes = kShellInstance;
  EXPECT_FALSE(SHCreateMenuBar(&info));
  info.cbSize = kShMenuBarInfoSize;
  info.nToolBarId = 77;
  EXPECT_FALSE(SHCreateMenuBar(&info));
  info.nToolBarId = 1001;
  ASSERT_TRUE(SHCreateMenuBar(&info));
  const HWND bar = info.hwndMB;
  ASSERT_TRUE(IsWindow(bar));
  RECT rect{};
  GetWindowRect(bar, &rect);
  EXPECT_EQ(rect.top, 640 - kMenuBarHeight);
  EXPECT_EQ(rect.bottom, 640);
  EXPECT_EQ(rect.right, 480);
  EXPECT_EQ(GetActiveWindow(), main);  // the bar never takes the activation
  EXPECT_EQ(GetParent(bar), main);

  std::vector<std::u16string> firstItems;
  UINT answer = 2001;
  ScopedHook<platform::testing::PopupMenuResponder> responder(
      platform::testing::setPopupMenuResponder, [&](HMENU menu, int, int y, HWND owner) {
        WCHAR text[16] = {};
        GetMenuString(menu, 0, text, 16, MF_BYPOSITION);
        firstItems.emplace_back(text);
        EXPECT_EQ(owner, main);
        EXPECT_EQ(y, 640 - kMenuBarHeight);
        return answer;
      });
  MessageSpy spy;
  spy.watch(main);
  const auto tapButton = [&](int index) {
    const RECT button = platform::shell::menuBarButtonRect(bar, index);
    ASSERT_GT(button.right, button.left);
    platform::testing::tap(bar, (button.left + button.right) / 2, (button.top + button.bottom) / 2);
    platform::testing::pumpMessages();
  };
  tapButton(0);
  answer = 2004;
  tapButton(1);
  tapButton(2);  // no pop-up: the button's own command
  EXPECT_EQ(firstItems, (std::vector<std::u16string>{u"OPEN...", u"ABOUT"}));
  EXPECT_EQ(spy.compare({sent(WM_INITMENUPOPUP), byDefault(WM_INITMENUPOPUP), posted(WM_COMMAND, 2001, 0),
                         byDefault(WM_COMMAND), sent(WM_INITMENUPOPUP), byDefault(WM_INITMENUPOPUP),
                         posted(WM_COMMAND, 2004, 0), byDefault(WM_COMMAND), posted(WM_COMMAND, 1004, 0),
                         byDefault(WM_COMMAND)}),
            "");
  // The bar goes with its window.
  DestroyWindow(main);
  EXPECT_FALSE(IsWindow(bar));
}

class GestureTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    main_ = createTopLevel(u"Main");
    view_ = createChild(main_, 0);
  }
  // The window asks for the gesture on every stylus press, as the viewer's text view does.
  std::vector<DWORD> results_;
  ScopedHandler handler_{[this](HWND hwnd, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
    if (hwnd != view_ || message != WM_LBUTTONDOWN) return std::nullopt;
    SHRGINFO info{kShrgInfoSize, hwnd, {static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))},
                  SHRG_RETURNCMD};
    results_.push_back(SHRecognizeGesture(&info));
    return 0;
  }};
  HWND main_ = nullptr;
  HWND view_ = nullptr;
};

TEST_F(GestureTest, HoldingStillRecognisesTheGestureAndATapDoesNot) {
  platform::testing::tap(view_, 40, 40);
  platform::testing::pumpMessages();
  platform::testing::pressAndHold(view_, 40, 40, 120);
  platform::testing::pressAndHold(view_, 40, 40, 700);
  EXPECT_EQ(results_, (std::vector<DWORD>{0, 0, GN_CONTEXTMENU}));
}

TEST_F(GestureTest, ARightButtonPressIsTheGestureAtOnce) {
  // Pressed and released before the program handles the press: still the gesture, at once.
  platform::testing::rightClick(view_, 10, 10);
  platform::testing::pumpMessages();
  // A later left tap is not.
  platform::testing::tap(view_, 10, 10);
  platform::testing::pumpMessages();
  EXPECT_EQ(results_, (std::vector<DWORD>{GN_CONTEXTMENU, 0}));
}

TEST_F(GestureTest, TheRecordSizeIsCheckedAndATestCanDecide) {
  SHRGINFO info{16, view_, {1, 1}, SHRG_RETURNCMD};
  EXPECT_EQ(SHRecognizeGesture(&info), 0u);
  EXPECT_EQ(SHRecognizeGesture(nullptr), 0u);
  std::vector<POINT> asked;
  ScopedHook<platform::testing::GestureResponder> responder(platform::testing::setGestureResponder,
                                                            [&](const SHRGINFO& request) -> DWORD {
                                                              asked.push_back(request.ptDown);
                                                              return GN_CONTEXTMENU;
                                                            });
  platform::testing::tap(view_, 7, 9);
  platform::testing::pumpMessages();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].x, 7);
  EXPECT_EQ(asked[0].y, 9);
  EXPECT_EQ(results_, std::vector<DWORD>{GN_CONTEXTMENU});
}

}  // namespace
