// Forgetting the program's windows, classes, hot keys, timers and queued messages.
#include "platform/system/program_reset.h"

#include <QCoreApplication>

#include "platform/system/cursors.h"
#include "platform/system/hot_keys.h"
#include "platform/system/menus.h"
#include "platform/system/message_loop.h"
#include "platform/system/window_records.h"

namespace platform::reset {

void resetProgramState() {
  windows::destroyAllWindows();
  windows::unregisterProgramClasses();
  windows::unregisterAllHotKeys();
  messages::killAllTimers();
  messages::clearQueue();
  menus::destroyAllMenus();
  cursors::restoreCursor();
  CloseClipboard();
  if (QCoreApplication::instance() != nullptr) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace platform::reset
