// A message spy for tests: records, in one ordered log, the messages that chosen windows
// receive (sent, posted and dispatched, or passed to default handling), so a test can assert
// the exact sequence.
#pragma once

#include <string>
#include <vector>

#include "platform/system/message_loop.h"
#include "platform/system/windows.h"

namespace platform::testing {

// How a message arrived (sent, posted or default handling).
using Delivery = messages::Delivery;

struct SpiedMessage {
  HWND hwnd;          // the window
  UINT message;       // number
  WPARAM wParam;      // first parameter
  LPARAM lParam;      // second parameter
  Delivery delivery;  // how it arrived
};

// What a test expects; wParam/lParam are compared only when their `check` flag is set.
struct ExpectedMessage {
  UINT message;            // number
  Delivery delivery = Delivery::Sent;
  bool checkWParam = false;
  WPARAM wParam = 0;
  bool checkLParam = false;
  LPARAM lParam = 0;
};

class MessageSpy {
 public:
  MessageSpy();   // starts recording (installs the layer's delivery observer); one spy at a time
  ~MessageSpy();  // stops recording
  MessageSpy(const MessageSpy&) = delete;
  MessageSpy& operator=(const MessageSpy&) = delete;

  void watch(HWND hwnd);  // record messages to this window (call once per window)
  void watchAll();        // record messages to every window, those not yet created included
  void clear();
  std::vector<SpiedMessage> messages() const;  // in order of arrival
  std::vector<SpiedMessage> messagesFor(HWND hwnd) const;
  // Compares the log for `hwnd` (all watched windows when nullptr) with `expected`; on a
  // mismatch returns a side-by-side listing of expected and actual, else an empty string.
  std::string compare(const std::vector<ExpectedMessage>& expected, HWND hwnd = nullptr) const;

 private:
  friend void recordSpiedMessage(HWND, UINT, WPARAM, LPARAM, Delivery);
  std::vector<HWND> watched_;       // windows being recorded
  bool watchingAll_ = false;        // every window is recorded
  std::vector<SpiedMessage> log_;   // the messages, in order
  MessageSpy* previous_;            // the spy that recorded before this one; it records again after
};

// The layer's delivery observer while a spy exists; records a delivery when the spy watches
// the window.
void recordSpiedMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Delivery delivery);

// A readable name for a message number ("WM_SETTEXT", "EM_STREAMIN", ...) for logs.
std::string messageName(UINT message);

}  // namespace platform::testing
