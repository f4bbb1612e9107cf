// Cursors: the standard arrow and wait cursors. Setting the wait cursor shows the desktop's
// busy cursor over the whole program (an application override cursor); the arrow, or no
// cursor, restores the desktop's own.
#include <QCursor>
#include <QGuiApplication>

#include "platform/system/cursors.h"
#include "platform/system/handle_allocator.h"
#include "platform/system/windows.h"

namespace platform::cursors {
namespace {

struct CursorState {
  HCURSOR arrow = handles::allocateHandle<HCURSOR>();  // IDC_ARROW
  HCURSOR wait = handles::allocateHandle<HCURSOR>();   // IDC_WAIT
  HCURSOR current = nullptr;                           // the cursor last set
  bool overriding = false;                             // the busy cursor is installed
};

CursorState& state() {
  static CursorState instance;
  return instance;
}

}  // namespace

bool isWaitCursorShown() { return state().overriding; }

void restoreCursor() { SetCursor(nullptr); }

}  // namespace platform::cursors

HCURSOR LoadCursor(HINSTANCE instance, LPCWSTR name) {
  if (instance != nullptr) return nullptr;
  if (name == IDC_ARROW) return platform::cursors::state().arrow;
  if (name == IDC_WAIT) return platform::cursors::state().wait;
  return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
  auto& s = platform::cursors::state();
  const HCURSOR previous = s.current;
  s.current = cursor;
  const bool wantWait = cursor != nullptr && cursor == s.wait;
  if (QGuiApplication::instance() == nullptr) return previous;
  if (wantWait && !s.overriding) {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    s.overriding = true;
  } else if (!wantWait && s.overriding) {
    QGuiApplication::restoreOverrideCursor();
    s.overriding = false;
  }
  return previous;
}
