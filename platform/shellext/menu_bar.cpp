// SHCreateMenuBar: the shell's menu bar along the bottom 26 device pixels of the screen. It is
// a window of its own (owned by the program's window, never active), with one button per button
// of the menu-bar description, captioned from the string table. A button with a pop-up drops
// down that pop-up of the description's menu; the chosen item reaches the parent window as a
// posted WM_COMMAND with the item's id. A button without a pop-up posts its own command. A
// button's command sent to the bar itself presses that button.
#include "platform/shellext/menu_bar.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QWidget>
#include <cmath>
#include <map>
#include <vector>

#include "platform/shellext/aygshell.h"
#include "platform/system/device_screen.h"
#include "platform/system/menus.h"
#include "platform/system/resources.h"
#include "platform/system/window_host.h"

namespace platform::shell {
namespace {

constexpr const WCHAR* kMenuBarClass = u"menu_worker";

// What CreateWindowEx hands the menu bar's procedure.
struct MenuBarSetup {
  HWND owner;                          // the window that receives the commands
  HINSTANCE instance;                  // where the strings and the menu come from
  const MenuBarTemplate* description;  // the buttons (program resource, not owned)
};

struct MenuBar {
  HWND owner = nullptr;                 // receives the commands
  HMENU menu = nullptr;                 // the description's menu; owned, destroyed with the bar
  std::vector<MenuBarButton> buttons;   // copies of the description's buttons
  std::vector<QPushButton*> widgets;    // the buttons on screen; owned by Qt through the bar's widget
};

std::map<HWND, MenuBar>& bars() {
  static std::map<HWND, MenuBar> table;  // menu bar window -> its state
  return table;
}

void pressButton(HWND bar, size_t index) {
  const auto it = bars().find(bar);
  if (it == bars().end() || index >= it->second.buttons.size()) return;
  const MenuBar& state = it->second;
  const MenuBarButton& button = state.buttons[index];
  if (button.popupIndex < 0) {
    PostMessage(state.owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(button.command), 0), 0);
    return;
  }
  const HMENU popup = GetSubMenu(state.menu, button.popupIndex);
  if (popup == nullptr) return;
  const RECT rect = menuBarButtonRect(bar, static_cast<int>(index));
  RECT barRect{};
  GetWindowRect(bar, &barRect);
  const HWND owner = state.owner;
  // The pop-up opens upwards from the top of the bar, at the button's left edge.
  const UINT chosen = menus::trackMenu(popup, barRect.left + rect.left, barRect.top, owner, true);
  if (chosen != 0 && IsWindow(owner)) PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
}

QWidget* buildWidget(HWND hwnd, MenuBar& state, HINSTANCE instance) {
  auto* widget = new QWidget();
  widget->setObjectName(QStringLiteral("quillscope-menu-bar"));
  widget->setAutoFillBackground(true);
  QPalette colours = widget->palette();
  colours.setColor(QPalette::Window, QColor(0, 48, 120));
  widget->setPalette(colours);
  auto* layout = new QHBoxLayout(widget);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (size_t i = 0; i < state.buttons.size(); ++i) {
    WCHAR caption[128] = {};
    LoadString(instance, state.buttons[i].stringId, caption, 128);
    auto* button = new QPushButton(widgets::toQString(caption), widget);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFlat(true);
    button->setEnabled(state.buttons[i].enabled);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    button->setStyleSheet(QStringLiteral("QPushButton { color: white; padding: 0 12px; }"));
    QObject::connect(button, &QPushButton::clicked, widget, [hwnd, i] { pressButton(hwnd, i); });
    layout->addWidget(button);
    state.widgets.push_back(button);
  }
  layout->addStretch(1);
  return widget;
}

LRESULT menuBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCT*>(lParam);
      const auto* setup = static_cast<const MenuBarSetup*>(create->lpCreateParams);
      if (setup == nullptr || setup->description == nullptr) return -1;
      MenuBar& state = bars()[hwnd];
      state.owner = setup->owner;
      if (setup->description->menuId != 0) {
        state.menu = LoadMenu(setup->instance, MAKEINTRESOURCE(setup->description->menuId));
      }
      for (size_t i = 0; i < setup->description->buttonCount && setup->description->buttons != nullptr; ++i) {
        state.buttons.push_back(setup->description->buttons[i]);
      }
      widgets::attachWidget(hwnd, buildWidget(hwnd, state, setup->instance), widgets::InputRouting::Native);
      return 0;
    }
    case WM_COMMAND: {
      // A button's own command sent to the bar presses that button, as a tap would: the
      // program opens a menu from the keyboard this way (F10, Alt+F).
      const auto it = bars().find(hwnd);
      if (it == bars().end()) return 0;
      for (size_t i = 0; i < it->second.buttons.size(); ++i) {
        if (it->second.buttons[i].command != LOWORD(wParam) || !it->second.buttons[i].enabled) continue;
        pressButton(hwnd, i);
        return 0;
      }
      return 0;
    }
    case WM_DESTROY: {
      const auto it = bars().find(hwnd);
      if (it != bars().end()) {
        if (it->second.menu != nullptr) DestroyMenu(it->second.menu);
        bars().erase(it);
      }
      return 0;
    }
    default:
      return DefWindowProc(hwnd, message, wParam, lParam);
  }
}

}  // namespace

void registerMenuBarClass() {
  WNDCLASS wc{};
  wc.lpfnWndProc = menuBarProc;
  wc.lpszClassName = kMenuBarClass;
  widgets::registerSystemClass(wc);
}

RECT menuBarButtonRect(HWND menuBar, int index) {
  const auto it = bars().find(menuBar);
  if (it == bars().end() || index < 0 || static_cast<size_t>(index) >= it->second.widgets.size()) return RECT{};
  const QWidget* button = it->second.widgets[static_cast<size_t>(index)];
  const QWidget* bar = widgets::widgetOf(menuBar);
  if (bar == nullptr) return RECT{};
  // The bar's layout may not have run yet: let it place the buttons first.
  if (bar->layout() != nullptr) bar->layout()->activate();
  const QRect geometry = button->geometry();
  const double scale = widgets::deviceScale();
  const auto device = [scale](int px) { return static_cast<LONG>(std::lround(px / scale)); };
  return RECT{device(geometry.left()), device(geometry.top()), device(geometry.left() + geometry.width()),
              device(geometry.top() + geometry.height())};
}

}  // namespace platform::shell

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
  if (info == nullptr || info->cbSize != kShMenuBarInfoSize || !IsWindow(info->hwndParent)) return FALSE;
  const platform::MenuBarTemplate* description =
      platform::FindMenuBarTemplate(info->hInstRes, static_cast<WORD>(info->nToolBarId));
  if (description == nullptr) return FALSE;
  platform::shell::MenuBarSetup setup{info->hwndParent, info->hInstRes, description};
  const HWND bar = CreateWindowEx(WS_EX_NOACTIVATE, platform::shell::kMenuBarClass, u"", WS_VISIBLE, 0,
                                  platform::kDeviceScreenHeight - kMenuBarHeight, platform::kDeviceScreenWidth,
                                  kMenuBarHeight, info->hwndParent, nullptr, info->hInstRes, &setup);
  if (bar == nullptr) return FALSE;
  info->hwndMB = bar;
  return TRUE;
}
