// Pop-up menus: TrackPopupMenuEx shows a menu as a desktop pop-up at a point of the device
// screen and waits until it closes; the chosen command reaches the owner as a posted
// WM_COMMAND (or is returned with TPM_RETURNCMD). A test's responder chooses instead.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <cmath>

#include "platform/system/menus.h"
#include "platform/system/qt_units.h"
#include "platform/system/responders.h"
#include "platform/system/window_host.h"

namespace platform::menus {
namespace {

void buildDesktopMenu(QMenu& target, HMENU menu, int depth) {
  const MenuRecord* record = findMenu(menu);
  if (record == nullptr || depth > 16) return;
  for (const auto& item : record->items) {
    if ((item.flags & MF_SEPARATOR) != 0) {
      target.addSeparator();
      continue;
    }
    const QString text = platform::unitsToQString(item.text).replace(QLatin1Char('&'), QLatin1String("&&"));
    const bool enabled = (item.flags & (MF_GRAYED | MF_DISABLED)) == 0;
    if ((item.flags & MF_POPUP) != 0) {
      QMenu* sub = target.addMenu(text);
      sub->setEnabled(enabled);
      buildDesktopMenu(*sub, item.submenu, depth + 1);
      continue;
    }
    QAction* action = target.addAction(text);
    action->setData(static_cast<uint>(item.id));
    action->setEnabled(enabled);
    if ((item.flags & MF_CHECKED) != 0) {
      action->setCheckable(true);
      action->setChecked(true);
    }
  }
}

}  // namespace

UINT trackMenu(HMENU menu, int x, int y, HWND owner, bool above) {
  if (findMenu(menu) == nullptr) return 0;
  if (IsWindow(owner)) SendMessage(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
  UINT chosen = 0;
  const auto responder = platform::responders::currentPopupMenuResponder();
  if (responder) {
    chosen = responder(menu, x, y, owner);
  } else if (QApplication::instance() != nullptr && widgets::deviceScreen() != nullptr) {
    QMenu desktopMenu(widgets::deviceScreen());
    buildDesktopMenu(desktopMenu, menu, 0);
    const double scale = widgets::deviceScale();
    QPoint point(static_cast<int>(std::lround(x * scale)), static_cast<int>(std::lround(y * scale)));
    point = widgets::deviceSurface()->mapToGlobal(point);
    if (above) point.ry() -= desktopMenu.sizeHint().height();
    if (const QAction* action = desktopMenu.exec(point)) chosen = action->data().toUInt();
  }
  // Only a command that the menu offers, enabled, counts as chosen.
  return chosen != 0 && isEnabledCommand(menu, chosen) ? chosen : 0;
}

}  // namespace platform::menus

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const void* /*params*/) {
  if (platform::menus::findMenu(menu) == nullptr) return FALSE;
  if ((flags & TPM_RETURNCMD) == 0 && !IsWindow(owner)) return FALSE;
  const UINT chosen = platform::menus::trackMenu(menu, x, y, owner, false);
  if ((flags & TPM_RETURNCMD) != 0) return static_cast<BOOL>(chosen);
  if (chosen != 0) PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
  return TRUE;
}
