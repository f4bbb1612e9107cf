// A parent window for control tests: it records, in order, every notification a control sends
// it (WM_COMMAND codes and WM_NOTIFY records copied at the moment they arrive), lets a test
// answer them, and watches the parent with the layer's message spy.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/system/commctrl.h"
#include "platform/system/windows.h"
#include "platform/testing/message_spy.h"
#include "platform/testing/test_host.h"

namespace controls_test {

struct Notification {
  UINT message = 0;         // WM_COMMAND or WM_NOTIFY
  int id = 0;               // the control id
  UINT code = 0;            // the notification code (HIWORD of wParam, or NMHDR::code)
  HWND control = nullptr;   // lParam of WM_COMMAND, NMHDR::hwndFrom of WM_NOTIFY
  NMLISTVIEW listView{};    // the record of a list-view notification (zero otherwise)
  LRESULT selectionAtArrival = 0;  // the control's selection when it arrived (see selectionQuery)
};

// A readable name for a notification code, for failure listings.
std::string codeName(UINT message, UINT code);
std::string describe(const std::vector<Notification>& notifications);

class ControlTest : public ::testing::Test {
 public:
  // Called for every notification; its result is the parent's answer (default 0).
  std::function<LRESULT(const Notification&)> answer;
  // Asked when a notification arrives; its result is kept in selectionAtArrival.
  std::function<LRESULT(HWND control)> selectionQuery;

 protected:
  void SetUp() override;
  void TearDown() override;

  // A child control of the parent; WS_CHILD | WS_VISIBLE are added.
  HWND create(LPCWSTR className, DWORD style, int id, int width = 120, int height = 24, LPCWSTR text = u"");

  // The notifications received since the last clear, in order.
  const std::vector<Notification>& notifications() const;
  std::vector<UINT> codes() const;  // just their codes
  void clearNotifications();
  // Gives `control` the focus (as a user's first click would) and then clears the logs, so
  // that what follows is only what the action under test sends.
  void focusAndClear(HWND control);

  HWND parent() const { return parent_; }
  platform::testing::MessageSpy& spy() { return *spy_; }

 private:
  std::unique_ptr<platform::testing::DeviceSandbox> sandbox_;  // the test's device folder
  std::unique_ptr<platform::testing::MessageSpy> spy_;         // watches the parent
  HWND parent_ = nullptr;                                      // the recording parent window
};

// A WM_COMMAND notification as the spy records it.
platform::testing::ExpectedMessage command(HWND control, WORD code);

}  // namespace controls_test
