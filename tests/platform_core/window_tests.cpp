// Windows and classes: creation and destruction sequences, subclassing, default handling,
// window longs, rectangles, painting requests and focus.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>

#include "core_test_support.h"
#include "platform/shellext/aygshell.h"
#include "platform/system/device_screen.h"
#include "platform/system/window_host.h"
#include "platform/system/window_records.h"
#include "platform/testing/message_spy.h"
#include "platform/testing/test_host.h"

using namespace coretest;
using platform::testing::DeviceSandbox;
using platform::testing::MessageSpy;

namespace {

class WindowTest : public ::testing::Test {
 protected:
  DeviceSandbox sandbox_;
};

TEST_F(WindowTest, CreationDeliversCreateBeforeReturningThenSizeMoveShowAndActivation) {
  MessageSpy spy;
  spy.watchAll();
  CREATESTRUCT seen{};
  bool visibleDuringCreate = true;
  int marker = 7;
  ScopedHandler handler([&](HWND hwnd, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
    if (message == WM_CREATE) {
      seen = *reinterpret_cast<const CREATESTRUCT*>(lParam);
      visibleDuringCreate = IsWindowVisible(hwnd) != FALSE;
    }
    return std::nullopt;
  });
  registerTestClass(u"CoreTest");
  const HWND hwnd = CreateWindowEx(0, u"CoreTest", u"Title", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, nullptr, nullptr, platform::testing::testInstance(), &marker);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(spy.compare({sent(WM_CREATE), byDefault(WM_CREATE), sent(WM_SIZE), byDefault(WM_SIZE), sent(WM_MOVE),
                         byDefault(WM_MOVE), sent(WM_SHOWWINDOW, TRUE), byDefault(WM_SHOWWINDOW),
                         sent(WM_ACTIVATE, WA_ACTIVE), byDefault(WM_ACTIVATE), sent(WM_SETFOCUS),
                         byDefault(WM_SETFOCUS)},
                        hwnd),
            "");
  EXPECT_EQ(seen.lpCreateParams, &marker);
  EXPECT_EQ(seen.x, 0);
  EXPECT_EQ(seen.y, kTopBarHeight);
  EXPECT_EQ(seen.cx, 480);
  EXPECT_EQ(seen.cy, 640 - kTopBarHeight);
  EXPECT_EQ(std::u16string(seen.lpszName), u"Title");
  EXPECT_FALSE(visibleDuringCreate);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(GetFocus(), hwnd);
  EXPECT_EQ(GetActiveWindow(), hwnd);
}

TEST_F(WindowTest, DefaultRectangleLeavesRoomForTheMenuBarAfterTheProgramsMove) {
  const HWND hwnd = createTopLevel();
  RECT rect{};
  ASSERT_TRUE(GetWindowRect(hwnd, &rect));
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 26);
  EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
  MessageSpy spy;
  spy.watch(hwnd);
  MoveWindow(hwnd, rect.left, rect.top, rect.right, rect.bottom - 52, FALSE);
  EXPECT_EQ(spy.compare({{WM_SIZE, platform::testing::Delivery::Sent, true, SIZE_RESTORED, true, MAKELPARAM(480, 588)},
                         byDefault(WM_SIZE)}),
            "");
  GetWindowRect(hwnd, &rect);
  EXPECT_EQ(rect.bottom, 640 - kMenuBarHeight);
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.left, 0);
  EXPECT_EQ(client.right, 480);
  EXPECT_EQ(client.bottom, 588);
  // A child's rectangle is kept in its parent's client area and reported on the screen.
  const HWND child = createChild(hwnd, 5);
  GetWindowRect(child, &rect);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.top, 26 + 20);
  POINT point{3, 4};
  ClientToScreen(child, &point);
  EXPECT_EQ(point.x, 13);
  EXPECT_EQ(point.y, 50);
  ScreenToClient(child, &point);
  EXPECT_EQ(point.x, 3);
}

TEST_F(WindowTest, CreationRefusedByTheProcedureLeavesNoWindow) {
  const size_t before = platform::windows::liveWindowCount();
  MessageSpy spy;
  spy.watchAll();
  ScopedHandler handler([](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_CREATE) return -1;
    return std::nullopt;
  });
  EXPECT_EQ(createTopLevel(), nullptr);
  EXPECT_EQ(platform::windows::liveWindowCount(), before);
  ASSERT_EQ(spy.messages().size(), 1u);
  EXPECT_EQ(spy.messages()[0].message, WM_CREATE);
  // Unknown classes and children without a parent are refused too.
  EXPECT_EQ(CreateWindowEx(0, u"NoSuchClass", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(CreateWindowEx(0, u"CoreTest", u"", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(WindowTest, DestroySendsDestroyToTheWindowThenItsChildrenAndFreesThem) {
  const HWND parent = createTopLevel(u"Parent", 0);
  const HWND first = createChild(parent, 1);
  const HWND second = createChild(parent, 2);
  const HWND grandchild = createChild(first, 3);
  MessageSpy spy;
  spy.watchAll();
  std::vector<HWND> order;
  ScopedHandler handler([&](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_DESTROY) {
      order.push_back(hwnd);
      EXPECT_TRUE(IsWindow(hwnd));  // still usable while it handles its destruction
    }
    return std::nullopt;
  });
  ASSERT_TRUE(DestroyWindow(parent));
  EXPECT_EQ(order, (std::vector<HWND>{parent, first, grandchild, second}));
  for (HWND hwnd : {parent, first, second, grandchild}) EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(DestroyWindow(parent));
  EXPECT_EQ(SendMessage(first, WM_GETTEXTLENGTH, 0, 0), 0);
  EXPECT_FALSE(PostMessage(first, WM_USER, 0, 0));
}

TEST_F(WindowTest, ClassNamesCompareWithoutCaseAndAClassWithWindowsStays) {
  ASSERT_NE(registerTestClass(u"MixedCase"), 0);
  EXPECT_EQ(registerTestClass(u"MIXEDCASE"), 0);  // the same class
  const HWND hwnd = CreateWindowEx(0, u"mixedcase", u"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                   platform::testing::testInstance(), nullptr);
  ASSERT_NE(hwnd, nullptr);
  WCHAR name[32];
  EXPECT_EQ(GetClassName(hwnd, name, 32), 9);
  EXPECT_EQ(std::u16string(name), u"MixedCase");
  EXPECT_EQ(GetClassName(hwnd, name, 4), 3);
  EXPECT_EQ(std::u16string(name), u"Mix");
  EXPECT_FALSE(UnregisterClass(u"MIXEDcase", platform::testing::testInstance()));
  DestroyWindow(hwnd);
  EXPECT_TRUE(UnregisterClass(u"MIXEDcase", platform::testing::testInstance()));
  EXPECT_EQ(CreateWindowEx(0, u"MixedCase", u"", 0, 0, 0, 10, 10, nullptr, nullptr, platform::testing::testInstance(),
                           nullptr),
            nullptr);
}

WNDPROC savedProc = nullptr;
int subclassCalls = 0;

LRESULT subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ++subclassCalls;
  if (message == WM_USER + 1) return 42;
  return CallWindowProc(savedProc, hwnd, message, wParam, lParam);
}

TEST_F(WindowTest, SubclassingReturnsThePreviousProcedureAndCallWindowProcReachesIt) {
  const HWND hwnd = createTopLevel(u"Sub", 0);
  savedProc = reinterpret_cast<WNDPROC>(SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProc)));
  EXPECT_EQ(savedProc, &testWindowProc);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtr(hwnd, GWLP_WNDPROC)), &subclassProc);
  MessageSpy spy;
  spy.watch(hwnd);
  subclassCalls = 0;
  EXPECT_EQ(SendMessage(hwnd, WM_USER + 1, 0, 0), 42);
  EXPECT_EQ(SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"via subclass")), TRUE);
  EXPECT_EQ(subclassCalls, 2);
  EXPECT_EQ(spy.compare({sent(WM_USER + 1), sent(WM_SETTEXT), byDefault(WM_SETTEXT)}), "");
  WCHAR text[32];
  EXPECT_EQ(GetWindowText(hwnd, text, 32), 12);
  // A procedure does not fit the 32-bit call on this host: it is refused, not cut.
  EXPECT_EQ(SetWindowLong(hwnd, GWL_WNDPROC, 1234), 0);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtr(hwnd, GWLP_WNDPROC)), &subclassProc);
}

TEST_F(WindowTest, DefaultHandlingGivesThePlatformsResults) {
  const HWND hwnd = createTopLevel(u"", 0);
  EXPECT_EQ(DefWindowProc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"Hello")), TRUE);
  EXPECT_EQ(DefWindowProc(hwnd, WM_GETTEXTLENGTH, 0, 0), 5);
  WCHAR buffer[4] = {u'x', u'x', u'x', u'x'};
  EXPECT_EQ(DefWindowProc(hwnd, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 3);
  EXPECT_EQ(std::u16string(buffer), u"Hel");
  EXPECT_EQ(DefWindowProc(hwnd, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(GetWindowTextLength(hwnd), 5);
  EXPECT_EQ(DefWindowProc(hwnd, WM_COMMAND, 2003, 0), 0);
  EXPECT_EQ(DefWindowProc(hwnd, WM_USER + 99, 1, 2), 0);
  EXPECT_EQ(DefWindowProc(hwnd, WM_SETTEXT, 0, 0), TRUE);
  EXPECT_EQ(GetWindowTextLength(hwnd), 0);
  // WM_CLOSE's default destroys the window.
  EXPECT_EQ(SendMessage(hwnd, WM_CLOSE, 0, 0), 0);
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowTest, WindowLongsKeepUserDataIdsStylesAndBoundedExtraBytes) {
  registerTestClass(u"WithExtra", 0, 16);
  const HWND hwnd = CreateWindowEx(0, u"WithExtra", u"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                   platform::testing::testInstance(), nullptr);
  ASSERT_NE(hwnd, nullptr);
  int record = 0;
  EXPECT_EQ(SetWindowLongPtr(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&record)), 0);
  EXPECT_EQ(GetWindowLongPtr(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&record));
  EXPECT_EQ(SetWindowLongPtr(hwnd, 8, 0x1122334455667788), 0);
  EXPECT_EQ(GetWindowLongPtr(hwnd, 8), 0x1122334455667788);
  EXPECT_EQ(SetWindowLong(hwnd, 0, 77), 0);
  EXPECT_EQ(GetWindowLong(hwnd, 0), 77);
  // Offsets past the extra bytes neither read nor write.
  EXPECT_EQ(SetWindowLongPtr(hwnd, 12, 5), 0);
  EXPECT_EQ(GetWindowLongPtr(hwnd, 12), 0);
  EXPECT_EQ(GetWindowLong(hwnd, 16), 0);
  EXPECT_EQ(GetWindowLongPtr(hwnd, 8), 0x1122334455667788);
  EXPECT_EQ(GetWindowLong(hwnd, GWL_STYLE) & static_cast<LONG>(WS_VISIBLE), 0);
  ShowWindow(hwnd, SW_SHOW);
  EXPECT_NE(GetWindowLong(hwnd, GWL_STYLE) & static_cast<LONG>(WS_VISIBLE), 0);
  const HWND child = createChild(hwnd, 3001);
  EXPECT_EQ(GetWindowLong(child, GWL_ID), 3001);
  EXPECT_EQ(GetDlgCtrlID(child), 3001);
  EXPECT_EQ(GetDlgItem(hwnd, 3001), child);
  EXPECT_EQ(GetDlgItem(hwnd, 3002), nullptr);
  EXPECT_EQ(GetParent(child), hwnd);
  EXPECT_EQ(GetWindow(hwnd, GW_CHILD), child);
}

TEST_F(WindowTest, HandlesAreEvenAndTheMarkedHandleFindsItsWindow) {
  const HWND first = createTopLevel(u"Quillscope", 0);
  const HWND second = createTopLevel(u"Other", WS_VISIBLE);
  for (HWND hwnd : {first, second}) EXPECT_EQ(reinterpret_cast<uintptr_t>(hwnd) & 1, 0u);
  EXPECT_EQ(FindWindow(u"coretest", u"QUILLSCOPE"), first);
  EXPECT_EQ(FindWindow(nullptr, u"Other"), second);
  EXPECT_EQ(FindWindow(u"CoreTest", u"Missing"), nullptr);
  ShowWindow(first, SW_SHOW);
  SetForegroundWindow(second);
  EXPECT_EQ(GetActiveWindow(), second);
  const HWND marked = reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(first) | 1);
  EXPECT_TRUE(SetForegroundWindow(marked));
  EXPECT_EQ(GetActiveWindow(), first);
  EXPECT_EQ(GetFocus(), first);
}

TEST_F(WindowTest, UpdateWindowPaintsAFreshlyShownWindowOnce) {
  const HWND hwnd = createTopLevel(u"Paint", 0);
  MessageSpy spy;
  spy.watch(hwnd);
  int paints = 0;
  ScopedHandler handler([&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_PAINT) {
      ++paints;
      return 0;  // paints nothing and does not validate, as the viewer's refresh handler does
    }
    return std::nullopt;
  });
  UpdateWindow(hwnd);
  EXPECT_EQ(paints, 0);  // not shown yet
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  UpdateWindow(hwnd);
  EXPECT_EQ(paints, 1);
  platform::testing::pumpMessages();
  EXPECT_EQ(paints, 1);
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateWindow(hwnd);
  EXPECT_EQ(paints, 2);
}

TEST_F(WindowTest, FocusChangesSendKillFocusThenSetFocusAtOnce) {
  const HWND top = createTopLevel();
  const HWND first = createChild(top, 1);
  const HWND second = createChild(top, 2);
  MessageSpy spy;
  spy.watchAll();
  HWND focusDuringKill = nullptr;
  ScopedHandler handler([&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (message == WM_KILLFOCUS) focusDuringKill = GetFocus();
    return std::nullopt;
  });
  EXPECT_EQ(SetFocus(first), top);
  EXPECT_EQ(SetFocus(second), first);
  EXPECT_EQ(focusDuringKill, second);
  const auto log = spy.messages();
  std::vector<std::pair<HWND, UINT>> sends;
  for (const auto& m : log) {
    if (m.delivery == platform::testing::Delivery::Sent) sends.emplace_back(m.hwnd, m.message);
  }
  EXPECT_EQ(sends, (std::vector<std::pair<HWND, UINT>>{{top, WM_KILLFOCUS}, {first, WM_SETFOCUS},
                                                         {first, WM_KILLFOCUS}, {second, WM_SETFOCUS}}));
  EXPECT_EQ(log[1].wParam, reinterpret_cast<WPARAM>(first));  // WM_KILLFOCUS names the new window
  // Disabling the focused window takes the focus away; destroying a window that holds it too.
  spy.clear();
  EnableWindow(second, FALSE);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(spy.compare({sent(WM_KILLFOCUS), byDefault(WM_KILLFOCUS), sent(WM_ENABLE, FALSE), byDefault(WM_ENABLE)}),
            "");
  SetFocus(first);
  DestroyWindow(first);
  EXPECT_EQ(GetFocus(), top);
}

TEST_F(WindowTest, MinimisingLetsTheKeyboardGoAndForegroundingBringsItBack) {
  const HWND top = createTopLevel();
  EXPECT_EQ(GetFocus(), top);
  ShowWindow(top, SW_MINIMIZE);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_TRUE(platform::widgets::isDeviceScreenMinimised());
  SetForegroundWindow(top);
  EXPECT_FALSE(platform::widgets::isDeviceScreenMinimised());
  EXPECT_EQ(GetFocus(), top);
}

}  // namespace

namespace {

TEST_F(WindowTest, AFocusChangeMadeOnTheDesktopIsReportedLikeSetFocus) {
  const HWND top = createTopLevel();
  const HWND view = createChild(top, 1);
  QWidget* screen = platform::widgets::deviceScreen();
  screen->activateWindow();
  QApplication::processEvents();
  if (!screen->isActiveWindow()) GTEST_SKIP() << "this desktop platform does not activate windows";
  MessageSpy spy;
  spy.watchAll();
  platform::widgets::widgetOf(view)->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  EXPECT_EQ(GetFocus(), view);
  EXPECT_EQ(spy.compare({sent(WM_KILLFOCUS), byDefault(WM_KILLFOCUS), sent(WM_SETFOCUS), byDefault(WM_SETFOCUS)}), "");
}

}  // namespace

namespace {

// The desktop window resized by the user: the device screen takes the largest scale that fits,
// centred, and every window's widget follows, while the program's coordinates stay as they are.
TEST_F(WindowTest, ResizingTheDesktopWindowScalesTheDeviceScreen) {
  const HWND top = createTopLevel();
  const HWND child = createChild(top, 1);  // 100 x 50 at 10, 20
  QWidget* window = platform::widgets::deviceScreen();
  QWidget* surface = platform::widgets::deviceSurface();
  const double before = platform::widgets::deviceScale();
  RECT childBefore{};
  GetWindowRect(child, &childBefore);
  struct Case {
    QSize window;    // the desktop window's new size
    double scale;    // the scale it gives
    QPoint surface;  // where the device screen then stands in the window
  };
  for (const Case& c : {Case{{1000, 1280}, 2.0, {20, 0}}, Case{{480, 800}, 1.0, {0, 80}}, Case{{720, 960}, 1.5, {0, 0}}}) {
    window->resize(c.window);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(platform::widgets::deviceScale(), c.scale) << c.window.width();
    EXPECT_EQ(surface->geometry(), QRect(c.surface, QSize(480, 640) * c.scale));
    const QWidget* widget = platform::widgets::widgetOf(child);
    EXPECT_EQ(widget->size(), QSize(100, 50) * c.scale);
    RECT childNow{};
    GetWindowRect(child, &childNow);
    EXPECT_EQ(std::memcmp(&childNow, &childBefore, sizeof(RECT)), 0);
  }
  // Small screens: the fitting default leaves room for the window's frame and never goes
  // below half size; a large screen gets the usual 1.5.
  EXPECT_DOUBLE_EQ(platform::widgets::fittingScale(1366, 768), 1.125);
  EXPECT_DOUBLE_EQ(platform::widgets::fittingScale(1280, 1024), 1.5);
  EXPECT_DOUBLE_EQ(platform::widgets::fittingScale(320, 240), 0.5);
  platform::widgets::setDeviceScale(before);
}

}  // namespace
