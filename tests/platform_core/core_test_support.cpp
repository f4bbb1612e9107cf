#include "core_test_support.h"

#include <utility>

#include "platform/testing/test_host.h"

namespace coretest {
namespace {

Handler& handler() {
  static Handler current;
  return current;
}

}  // namespace

void setHandler(Handler h) { handler() = std::move(h); }

LRESULT testWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (handler()) {
    if (const auto answer = handler()(hwnd, message, wParam, lParam)) return *answer;
  }
  return DefWindowProc(hwnd, message, wParam, lParam);
}

ATOM registerTestClass(const char16_t* name, UINT style, int windowExtra) {
  WNDCLASS wc{};
  wc.style = style;
  wc.lpfnWndProc = testWindowProc;
  wc.cbWndExtra = windowExtra;
  wc.hInstance = platform::testing::testInstance();
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = name;
  return RegisterClass(&wc);
}

HWND createTopLevel(const char16_t* title, DWORD style) {
  WNDCLASS existing{};
  if (!GetClassInfo(platform::testing::testInstance(), u"CoreTest", &existing)) registerTestClass(u"CoreTest");
  return CreateWindowEx(0, u"CoreTest", title, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                        nullptr, nullptr, platform::testing::testInstance(), nullptr);
}

HWND createChild(HWND parent, int id, DWORD style) {
  WNDCLASS existing{};
  if (!GetClassInfo(platform::testing::testInstance(), u"CoreTest", &existing)) registerTestClass(u"CoreTest");
  return CreateWindowEx(0, u"CoreTest", u"", style, 10, 20, 100, 50, parent,
                        reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), platform::testing::testInstance(), nullptr);
}

platform::testing::ExpectedMessage sent(UINT message) { return {message, platform::testing::Delivery::Sent}; }
platform::testing::ExpectedMessage posted(UINT message) { return {message, platform::testing::Delivery::Posted}; }
platform::testing::ExpectedMessage byDefault(UINT message) { return {message, platform::testing::Delivery::Default}; }
platform::testing::ExpectedMessage sent(UINT message, WPARAM wParam) {
  return {message, platform::testing::Delivery::Sent, true, wParam};
}
platform::testing::ExpectedMessage posted(UINT message, WPARAM wParam, LPARAM lParam) {
  return {message, platform::testing::Delivery::Posted, true, wParam, true, lParam};
}

}  // namespace coretest
