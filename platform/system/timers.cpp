// Timers: SetTimer and KillTimer on Qt timers. A timer posts WM_TIMER to its window when it
// fires, unless one is already waiting in the queue (the platform never lets timer messages
// pile up).
#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <map>
#include <memory>
#include <utility>

#include "platform/system/message_loop.h"
#include "platform/system/window_records.h"

namespace platform::messages {
namespace {

struct TimerTable {
  std::map<std::pair<HWND, UINT_PTR>, std::unique_ptr<QTimer>> timers;  // (window, id) -> the desktop timer
  UINT_PTR nextThreadTimerId = 0x7F00;                                   // ids handed out for window-less timers
};

TimerTable& table() {
  static TimerTable instance;
  return instance;
}

}  // namespace

void killTimersOf(HWND hwnd) {
  auto& timers = table().timers;
  for (auto it = timers.begin(); it != timers.end();) {
    if (it->first.first == hwnd) {
      removeMessages(hwnd, WM_TIMER, it->first.second);
      it = timers.erase(it);
    } else {
      ++it;
    }
  }
}

void killAllTimers() { table().timers.clear(); }

}  // namespace platform::messages

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void* timerProc) {
  using namespace platform::messages;
  if (QCoreApplication::instance() == nullptr) return 0;
  if (hwnd != nullptr && !platform::windows::findWindow(hwnd)) return 0;
  if (hwnd == nullptr) id = table().nextThreadTimerId++;
  auto timer = std::make_unique<QTimer>();
  timer->setInterval(static_cast<int>(std::max<UINT>(elapseMs, 10)));
  const LPARAM procValue = reinterpret_cast<LPARAM>(timerProc);
  QObject::connect(timer.get(), &QTimer::timeout, [hwnd, id, procValue] {
    if (!isMessageQueued(hwnd, WM_TIMER, id)) PostMessage(hwnd, WM_TIMER, id, procValue);
  });
  timer->start();
  table().timers[{hwnd, id}] = std::move(timer);
  return hwnd == nullptr ? id : (id == 0 ? 1 : id);
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  using namespace platform::messages;
  const auto it = table().timers.find({hwnd, id});
  if (it == table().timers.end()) return FALSE;
  table().timers.erase(it);
  removeMessages(hwnd, WM_TIMER, id);
  return TRUE;
}
