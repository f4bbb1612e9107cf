// The message queue and desktop input: send versus post, the quit request, timers, keys
// (mapping, routing, hot keys) and the pointer.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>
#include <Qt>

#include "core_test_support.h"
#include "platform/system/window_host.h"
#include "platform/testing/message_spy.h"
#include "platform/testing/test_host.h"

using namespace coretest;
using platform::testing::DeviceSandbox;
using platform::testing::MessageSpy;

namespace {

class QueueTest : public ::testing::Test {
 protected:
  DeviceSandbox sandbox_;
};

TEST_F(QueueTest, SentMessagesArriveAtOncePostedOnesWhenTheQueueIsPumped) {
  const HWND hwnd = createTopLevel(u"Queue", 0);
  MessageSpy spy;
  spy.watch(hwnd);
  ScopedHandler handler([](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_USER + 2) return static_cast<LRESULT>(wParam * 2);
    return std::nullopt;
  });
  EXPECT_TRUE(PostMessage(hwnd, WM_USER + 1, 1, 0));
  EXPECT_EQ(SendMessage(hwnd, WM_USER + 2, 21, 0), 42);
  EXPECT_TRUE(PostMessage(hwnd, WM_PAINT, 0, 0));
  EXPECT_EQ(spy.compare({sent(WM_USER + 2)}), "");
  EXPECT_TRUE(platform::testing::pumpMessages());
  // The posted refresh (15) is an ordinary message: it arrives once and nothing repeats it.
  EXPECT_EQ(spy.compare({sent(WM_USER + 2), posted(WM_USER + 1), byDefault(WM_USER + 1), posted(WM_PAINT),
                         byDefault(WM_PAINT)}),
            "");
  platform::testing::pumpFor(50);
  EXPECT_EQ(spy.messages().size(), 5u);
}

TEST_F(QueueTest, GetMessageWaitsForTheDesktopAndEndsWithTheQuitRequestAfterOtherMessages) {
  const HWND hwnd = createTopLevel(u"Loop", 0);
  QTimer::singleShot(30, [hwnd] { PostMessage(hwnd, WM_USER + 5, 5, 6); });
  MSG msg{};
  ASSERT_EQ(GetMessage(&msg, nullptr, 0, 0), TRUE);
  EXPECT_EQ(msg.hwnd, hwnd);
  EXPECT_EQ(msg.message, WM_USER + 5);
  EXPECT_EQ(msg.lParam, 6);
  PostQuitMessage(3);
  PostMessage(hwnd, WM_USER + 6, 0, 0);
  ASSERT_EQ(GetMessage(&msg, nullptr, 0, 0), TRUE);
  EXPECT_EQ(msg.message, WM_USER + 6);
  EXPECT_EQ(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE), TRUE);
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_FALSE(platform::testing::pumpMessages());  // the quit request stays for the loop
  EXPECT_EQ(GetMessage(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_EQ(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE), FALSE);
}

TEST_F(QueueTest, TimersPostOneMessageAtATimeUntilKilled) {
  const HWND hwnd = createTopLevel(u"Timer", 0);
  int ticks = 0;
  ScopedHandler handler([&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_TIMER && wParam == 9) ++ticks;
    return std::nullopt;
  });
  EXPECT_EQ(SetTimer(hwnd, 9, 20, nullptr), 9u);
  platform::testing::pumpFor(150);
  EXPECT_GE(ticks, 2);
  EXPECT_TRUE(KillTimer(hwnd, 9));
  const int afterKill = ticks;
  platform::testing::pumpFor(80);
  EXPECT_EQ(ticks, afterKill);
  EXPECT_FALSE(KillTimer(hwnd, 9));
}

int threadTimerCalls = 0;
void countThreadTimer(HWND, UINT, UINT_PTR, DWORD) { ++threadTimerCalls; }

TEST_F(QueueTest, ATimerWithItsOwnProcedureCallsItWithoutAWindow) {
  threadTimerCalls = 0;
  const UINT_PTR id = SetTimer(nullptr, 0, 20, reinterpret_cast<void*>(&countThreadTimer));
  ASSERT_NE(id, 0u);
  platform::testing::pumpFor(120);
  EXPECT_GE(threadTimerCalls, 1);
  EXPECT_TRUE(KillTimer(nullptr, id));
}

TEST_F(QueueTest, DesktopKeysMapToTheHandheldsKeys) {
  using platform::widgets::virtualKeyFromQtKey;
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Left), VK_LEFT);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Up), 38);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Right), 39);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Down), 40);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Return), 13);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Enter), 13);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_F1), 193);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_F2), 194);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_F3), 195);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_F4), 196);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_F5), 0x74);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_A), 'A');
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Z), 'Z');
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_7), '7');
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Escape), 27);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_PageUp), 33);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_PageDown), 34);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Home), 36);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_End), 35);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Space), 32);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Tab), 9);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Backspace), 8);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Delete), 46);
  EXPECT_EQ(virtualKeyFromQtKey(Qt::Key_Launch0), 0);
}

TEST_F(QueueTest, KeysReachTheFocusWindowAsPostedKeyDownsAndHotKeysTakeThemOver) {
  const HWND main = createTopLevel(u"Main");
  const HWND view = createChild(main, 0);
  SetFocus(view);
  MessageSpy spy;
  spy.watch(main);
  spy.watch(view);
  platform::testing::pressKey(VK_DOWN);
  platform::testing::pumpMessages();
  EXPECT_EQ(spy.compare({posted(WM_KEYDOWN, VK_DOWN, 1), byDefault(WM_KEYDOWN), posted(WM_KEYUP),
                         byDefault(WM_KEYUP)},
                        view),
            "");
  EXPECT_EQ(spy.compare({}, main), "");

  // Registered, the application key goes to the registering window wherever the focus is.
  spy.clear();
  ASSERT_TRUE(RegisterHotKey(main, 5001, MOD_WIN, VK_APP1));
  EXPECT_FALSE(RegisterHotKey(view, 7, MOD_WIN, VK_APP1));  // one owner per key
  platform::testing::pressKey(VK_APP1);
  platform::testing::pumpMessages();
  EXPECT_EQ(spy.compare({posted(WM_HOTKEY, 5001, MAKELPARAM(MOD_WIN, VK_APP1)), byDefault(WM_HOTKEY)}, main), "");
  EXPECT_EQ(spy.compare({}, view), "");

  // Unregistered, it is an ordinary key again.
  spy.clear();
  EXPECT_TRUE(UnregisterHotKey(main, 5001));
  EXPECT_FALSE(UnregisterHotKey(main, 5001));
  platform::testing::pressKey(VK_APP1);
  platform::testing::pumpMessages();
  EXPECT_EQ(spy.compare({posted(WM_KEYDOWN, VK_APP1, 1), byDefault(WM_KEYDOWN), posted(WM_KEYUP),
                         byDefault(WM_KEYUP)},
                        view),
            "");
  EXPECT_EQ(spy.compare({}, main), "");
}

TEST_F(QueueTest, TranslateMessageGivesTheTypedCharacter) {
  const HWND hwnd = createTopLevel(u"Chars");
  MessageSpy spy;
  spy.watch(hwnd);
  platform::testing::pressKey('Q');
  MSG msg{};
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  ASSERT_EQ(msg.message, WM_KEYDOWN);
  EXPECT_TRUE(TranslateMessage(&msg));
  DispatchMessage(&msg);
  platform::testing::pumpMessages();
  EXPECT_EQ(spy.compare({posted(WM_KEYDOWN), byDefault(WM_KEYDOWN), posted(WM_KEYUP), byDefault(WM_KEYUP),
                         posted(WM_CHAR, u'q', 1), byDefault(WM_CHAR)}),
            "");
}

TEST_F(QueueTest, TapsArriveAsStylusMessagesInDevicePixelsOfTheWindow) {
  const HWND main = createTopLevel(u"Main");
  const HWND view = createChild(main, 0);
  MessageSpy spy;
  spy.watch(view);
  platform::testing::tap(view, 33, 17);
  platform::testing::pumpMessages();
  std::vector<platform::testing::ExpectedMessage> expected{
      sent(WM_SETFOCUS), byDefault(WM_SETFOCUS), posted(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(33, 17)),
      byDefault(WM_LBUTTONDOWN), posted(WM_LBUTTONUP, 0, MAKELPARAM(33, 17)), byDefault(WM_LBUTTONUP)};
  EXPECT_EQ(spy.compare(expected), "");
  EXPECT_EQ(GetFocus(), view);
  spy.clear();
  platform::testing::rightClick(view, 5, 6);
  platform::testing::pumpMessages();
  EXPECT_EQ(spy.compare({posted(WM_LBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 6)), byDefault(WM_LBUTTONDOWN),
                         posted(WM_LBUTTONUP, 0, MAKELPARAM(5, 6)), byDefault(WM_LBUTTONUP)}),
            "");
}

}  // namespace

namespace {

TEST_F(QueueTest, WheelTurnsArriveAsWheelMessagesWithTheScreenPosition) {
  const HWND main = createTopLevel(u"Main");
  const HWND view = createChild(main, 0);  // at 10, 20 in the main window, which starts at 0, 26
  MessageSpy spy;
  spy.watch(view);
  QWidget* widget = platform::widgets::widgetOf(view);
  ASSERT_NE(widget, nullptr);
  const double scale = platform::widgets::deviceScale();
  const QPointF local(std::floor(4.5 * scale), std::floor(6.5 * scale));
  QWheelEvent wheel(local, widget->mapToGlobal(local), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(widget, &wheel);
  platform::testing::pumpMessages();
  EXPECT_EQ(spy.compare({posted(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(14, 52)),
                         byDefault(WM_MOUSEWHEEL)}),
            "");
}

TEST_F(QueueTest, ClosingTheDesktopWindowAsksTheProgramsWindowsToClose) {
  const HWND main = createTopLevel(u"Main");
  bool destroyed = false;
  ScopedHandler handler([&](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (hwnd == main && message == WM_DESTROY) {
      destroyed = true;
      PostQuitMessage(0);
    }
    return std::nullopt;
  });
  MessageSpy spy;
  spy.watch(main);
  platform::widgets::deviceScreen()->close();
  EXPECT_TRUE(destroyed);  // the default handling of WM_CLOSE destroyed it
  EXPECT_FALSE(IsWindow(main));
  ASSERT_FALSE(spy.messages().empty());
  EXPECT_EQ(spy.messages()[0].message, static_cast<UINT>(WM_CLOSE));
  EXPECT_FALSE(platform::testing::pumpMessages());  // and the program's quit request waits
}

}  // namespace
