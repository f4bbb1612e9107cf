// Test windows for the core tests: classes whose procedure lets each test answer the messages
// it cares about and passes the rest to DefWindowProc.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/system/windows.h"
#include "platform/testing/message_spy.h"

namespace coretest {

// Answers a message for the test (a value), or lets the default handling run (nothing).
using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

// The handler that the test classes' procedure consults; cleared by ScopedHandler's end.
void setHandler(Handler handler);
struct ScopedHandler {
  explicit ScopedHandler(Handler handler) { setHandler(std::move(handler)); }
  ~ScopedHandler() { setHandler(nullptr); }
  ScopedHandler(const ScopedHandler&) = delete;
  ScopedHandler& operator=(const ScopedHandler&) = delete;
};

LRESULT testWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Registers a test class with the test instance (background: the stock white brush).
ATOM registerTestClass(const char16_t* name, UINT style = 0, int windowExtra = 0);
// A visible top-level window of class "CoreTest" (registered on first use in each test).
HWND createTopLevel(const char16_t* title = u"Core", DWORD style = WS_VISIBLE);
HWND createChild(HWND parent, int id, DWORD style = WS_CHILD | WS_VISIBLE);

// Shorthands for expected sequences.
platform::testing::ExpectedMessage sent(UINT message);
platform::testing::ExpectedMessage posted(UINT message);
platform::testing::ExpectedMessage byDefault(UINT message);
platform::testing::ExpectedMessage sent(UINT message, WPARAM wParam);
platform::testing::ExpectedMessage posted(UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace coretest
