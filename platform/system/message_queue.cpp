// The message queue of the one user-interface thread, woven into Qt's event loop: PostMessage
// queues and wakes the loop, GetMessage runs Qt's event processing while the queue is empty,
// SendMessage calls the procedure at once. A quit request is a flag that GetMessage answers
// with WM_QUIT once no other message is waiting, as the platform does.
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <map>
#include <utility>

#include "platform/system/message_loop.h"
#include "platform/system/single_instance.h"
#include "platform/system/window_records.h"

namespace platform::messages {
namespace {

struct QueueState {
  std::deque<MSG> queue;                 // posted messages, oldest first
  bool quitPending = false;              // PostQuitMessage was called and WM_QUIT not yet handed out
  int quitCode = 0;                      // its exit code
  int64_t lastDispatch = 0;              // elapsedMilliseconds() of the last message handed out
  std::map<WORD, char16_t> keyText;      // last character the desktop typed for each virtual key
};

QueueState& state() {
  static QueueState instance;
  return instance;
}

QElapsedTimer& clock() {
  static QElapsedTimer timer = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return timer;
}

bool matches(const MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (hwnd != nullptr && msg.hwnd != hwnd && !windows::isSelfOrDescendant(hwnd, msg.hwnd)) return false;
  if (filterMin == 0 && filterMax == 0) return true;
  return msg.message >= filterMin && msg.message <= filterMax;
}

// Finds the first queued message that matches; removes it when asked.
bool takeMessage(MSG* out, HWND hwnd, UINT filterMin, UINT filterMax, bool remove) {
  auto& queue = state().queue;
  for (auto it = queue.begin(); it != queue.end(); ++it) {
    if (!matches(*it, hwnd, filterMin, filterMax)) continue;
    if (out != nullptr) *out = *it;
    if (remove) queue.erase(it);
    return true;
  }
  return false;
}

bool takeQuit(MSG* out, bool remove) {
  if (!state().quitPending) return false;
  if (out != nullptr) {
    *out = MSG{};
    out->message = WM_QUIT;
    out->wParam = static_cast<WPARAM>(state().quitCode);
    out->time = static_cast<DWORD>(elapsedMilliseconds());
  }
  if (remove) state().quitPending = false;
  return true;
}

MSG makeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG msg{};
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = static_cast<DWORD>(elapsedMilliseconds());
  return msg;
}

void enqueue(const MSG& msg) {
  state().queue.push_back(msg);
  wakeEventLoop();
}

}  // namespace

namespace {
DeliveryObserver installedObserver = nullptr;  // told of every delivery; nullptr: none
}  // namespace

DeliveryObserver setDeliveryObserver(DeliveryObserver observer) { return std::exchange(installedObserver, observer); }

void reportDelivery(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Delivery delivery) {
  if (installedObserver != nullptr) installedObserver(hwnd, message, wParam, lParam, delivery);
}

LRESULT deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Delivery delivery) {
  // The shared pointer keeps the record alive while its procedure runs, even if the procedure
  // destroys the window.
  const auto record = windows::findWindow(hwnd);
  if (!record) return 0;
  reportDelivery(hwnd, message, wParam, lParam, delivery);
  const WNDPROC procedure = record->procedure;
  if (procedure == nullptr) return DefWindowProc(hwnd, message, wParam, lParam);
  return procedure(hwnd, message, wParam, lParam);
}

void wakeEventLoop() {
  if (QCoreApplication::instance() == nullptr) return;
  if (auto* dispatcher = QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread())) {
    dispatcher->wakeUp();
  }
}

void processPendingEvents() {
  if (QCoreApplication::instance() == nullptr) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  // Widgets of destroyed windows are deleted later; at a loop's own level that is safe, since
  // no handler of theirs can be running below this call.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool waitForMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, const std::function<bool()>& stop,
                    int64_t deadline) {
  // Wakes the desktop's wait at the deadline. Precise, because a coarse timer may fire a little
  // early and leave the loop waiting with nothing left to wake it.
  QTimer wakeUp;
  wakeUp.setTimerType(Qt::PreciseTimer);
  wakeUp.setSingleShot(true);
  for (;;) {
    if (stop && stop()) return false;
    if (takeMessage(msg, hwnd, filterMin, filterMax, true) || takeQuit(msg, true)) {
      state().lastDispatch = elapsedMilliseconds();
      return true;
    }
    if (QCoreApplication::instance() == nullptr) {
      // Without the desktop nothing can ever arrive: answer as if the program were told to quit.
      if (msg != nullptr) *msg = makeMessage(nullptr, WM_QUIT, 0, 0);
      return true;
    }
    if (deadline >= 0) {
      const int64_t remaining = deadline - elapsedMilliseconds();
      if (remaining <= 0) return false;
      if (!wakeUp.isActive()) wakeUp.start(static_cast<int>(std::min<int64_t>(remaining, 1 << 30)));
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
}

void runDesktopUntil(const std::function<bool()>& stop, int64_t deadline) {
  if (QCoreApplication::instance() == nullptr) return;
  QTimer wakeUp;
  wakeUp.setTimerType(Qt::PreciseTimer);
  wakeUp.setSingleShot(true);
  for (;;) {
    if (stop && stop()) return;
    if (deadline >= 0) {
      const int64_t remaining = deadline - elapsedMilliseconds();
      if (remaining <= 0) return;
      if (!wakeUp.isActive()) wakeUp.start(static_cast<int>(std::min<int64_t>(remaining, 1 << 30)));
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
}

bool isMessageQueued(HWND hwnd, UINT message, WPARAM wParam) {
  for (const auto& msg : state().queue) {
    if (msg.hwnd == hwnd && msg.message == message && msg.wParam == wParam) return true;
  }
  return false;
}

void removeMessagesFor(HWND hwnd) {
  auto& queue = state().queue;
  std::erase_if(queue, [hwnd](const MSG& msg) { return msg.hwnd == hwnd; });
}

void removeMessages(HWND hwnd, UINT message, WPARAM wParam) {
  auto& queue = state().queue;
  std::erase_if(queue, [&](const MSG& msg) {
    return msg.hwnd == hwnd && msg.message == message && msg.wParam == wParam;
  });
}

void clearQueue() {
  state().queue.clear();
  state().quitPending = false;
  state().quitCode = 0;
}

size_t queuedMessageCount() { return state().queue.size(); }

bool isQuitPending() { return state().quitPending; }

void postCoalescedMouseMove(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  auto& queue = state().queue;
  if (!queue.empty() && queue.back().hwnd == hwnd && queue.back().message == WM_MOUSEMOVE) {
    queue.back().wParam = wParam;
    queue.back().lParam = lParam;
    queue.back().time = static_cast<DWORD>(elapsedMilliseconds());
    return;
  }
  enqueue(makeMessage(hwnd, WM_MOUSEMOVE, wParam, lParam));
}

int64_t elapsedMilliseconds() { return clock().elapsed(); }

int64_t lastDispatchTime() { return state().lastDispatch; }

void rememberKeyText(WORD virtualKey, char16_t character) { state().keyText[virtualKey] = character; }

}  // namespace platform::messages

using platform::messages::state;

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Another viewer's window: only a block of bytes can cross to it.
  if (platform::single_instance::isRemoteWindow(hwnd)) {
    LRESULT result = 0;
    if (message != WM_COPYDATA || lParam == 0) return 0;
    return platform::single_instance::sendRemoteCopyData(hwnd, *reinterpret_cast<const COPYDATASTRUCT*>(lParam), result)
               ? result
               : 0;
  }
  return platform::messages::deliver(hwnd, message, wParam, lParam, platform::messages::Delivery::Sent);
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (hwnd != nullptr && !platform::windows::findWindow(hwnd)) return FALSE;
  platform::messages::enqueue(platform::messages::makeMessage(hwnd, message, wParam, lParam));
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  state().quitPending = true;
  state().quitCode = exitCode;
  platform::messages::wakeEventLoop();
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (msg == nullptr) return -1;
  platform::messages::waitForMessage(msg, hwnd, filterMin, filterMax, nullptr);
  return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags) {
  using namespace platform::messages;
  const bool remove = (removeFlags & PM_REMOVE) != 0;
  if (!takeMessage(nullptr, hwnd, filterMin, filterMax, false) && !state().quitPending) {
    // Give the desktop a chance to turn waiting input into messages, as the platform does.
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
  if (takeMessage(msg, hwnd, filterMin, filterMax, remove) || takeQuit(msg, remove)) {
    if (remove) state().lastDispatch = elapsedMilliseconds();
    return TRUE;
  }
  return FALSE;
}

BOOL TranslateMessage(const MSG* msg) {
  if (msg == nullptr || msg->message != WM_KEYDOWN) return FALSE;
  const WORD vk = LOWORD(msg->wParam);
  char16_t character = 0;
  const auto remembered = state().keyText.find(vk);
  if (remembered != state().keyText.end()) {
    character = remembered->second;
  } else if ((vk >= '0' && vk <= '9') || vk == VK_SPACE || vk == VK_RETURN || vk == VK_BACK || vk == VK_TAB ||
             vk == VK_ESCAPE) {
    character = static_cast<char16_t>(vk);
  } else if (vk >= 'A' && vk <= 'Z') {
    character = static_cast<char16_t>(vk + 32);
  }
  if (character == 0) return FALSE;
  platform::messages::enqueue(platform::messages::makeMessage(msg->hwnd, WM_CHAR, character, msg->lParam));
  return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
  if (msg == nullptr) return 0;
  if (msg->message == WM_TIMER && msg->lParam != 0) {
    // A timer with a procedure of its own calls it instead of the window procedure.
    using TimerProc = void (*)(HWND, UINT, UINT_PTR, DWORD);
    auto* proc = reinterpret_cast<TimerProc>(msg->lParam);
    proc(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
    return 0;
  }
  if (msg->hwnd == nullptr) return 0;  // a thread message has no procedure to go to
  return platform::messages::deliver(msg->hwnd, msg->message, msg->wParam, msg->lParam,
                                     platform::messages::Delivery::Posted);
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (proc == nullptr) return 0;
  return proc(hwnd, message, wParam, lParam);
}

DWORD GetTickCount() { return static_cast<DWORD>(platform::messages::elapsedMilliseconds()); }
