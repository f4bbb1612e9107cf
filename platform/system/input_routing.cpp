// Desktop input to platform messages. One application-wide event filter sees every key, pointer
// and wheel event of the program:
//  - a press of a registered hot key, wherever the focus is, becomes WM_HOTKEY (posted) for the
//    registering window, and the desktop event is used up;
//  - on a window whose input is routed as messages (the main window, the text view), keys become
//    posted WM_KEYDOWN / WM_KEYUP with virtual-key codes, and the pointer becomes WM_LBUTTONDOWN,
//    WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE (device pixels of the window) and WM_MOUSEWHEEL;
//    the right button arrives as the stylus with MK_RBUTTON set;
//  - on a native control inside a dialog, Enter and Escape become WM_KEYDOWN for the control, so
//    that the dialog's modal loop turns them into IDOK / IDCANCEL as the platform does;
//  - the desktop's focus moves between windows are reported through SetFocus.
#include "platform/system/input_routing.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>

#include "platform/system/hot_keys.h"
#include "platform/system/key_mapping.h"
#include "platform/system/message_loop.h"
#include "platform/system/window_host.h"
#include "platform/system/window_records.h"
#include "platform/system/window_widgets.h"

namespace platform::input {
namespace {

PointerState& mutablePointer() {
  static PointerState state;
  return state;
}

bool isInPopup(const QWidget* widget) {
  const QWidget* window = widget->window();
  return window != nullptr && (window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip);
}

bool isInDialog(HWND hwnd) {
  const auto top = windows::findWindow(windows::topLevelAncestor(hwnd));
  return top && top->windowClass->folded == u"#32770";
}

QPoint toDeviceScreen(const QPointF& globalPosition) {
  QWidget* screen = widgets::deviceSurface();
  if (screen == nullptr) return {};
  const QPoint local = screen->mapFromGlobal(globalPosition.toPoint());
  const double scale = widgets::deviceScale();
  return QPoint(static_cast<int>(std::floor(local.x() / scale)), static_cast<int>(std::floor(local.y() / scale)));
}

LPARAM windowPointParam(const QWidget* receiver, const QPointF& localPosition, const QWidget* windowWidget) {
  const QPointF inWindow = receiver == windowWidget ? localPosition : receiver->mapTo(windowWidget, localPosition);
  const double scale = widgets::deviceScale();
  const auto x = static_cast<int>(std::floor(inWindow.x() / scale));
  const auto y = static_cast<int>(std::floor(inWindow.y() / scale));
  return MAKELPARAM(static_cast<WORD>(static_cast<int16_t>(x)), static_cast<WORD>(static_cast<int16_t>(y)));
}

WPARAM keyStateParam(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  WPARAM state = 0;
  if (buttons & Qt::LeftButton) state |= MK_LBUTTON;
  if (buttons & Qt::RightButton) state |= MK_RBUTTON;
  if (modifiers & Qt::ShiftModifier) state |= MK_SHIFT;
  if (modifiers & Qt::ControlModifier) state |= MK_CONTROL;
  return state;
}

void trackPointer(QEvent::Type type, const QMouseEvent* mouse) {
  auto& pointer = mutablePointer();
  pointer.position = toDeviceScreen(mouse->globalPosition());
  if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
    const bool right = mouse->button() == Qt::RightButton;
    // A press that propagates to a parent widget is the same press.
    if (!pointer.down || pointer.rightButton != right) {
      pointer.down = true;
      pointer.rightButton = right;
      pointer.pressPosition = pointer.position;
      pointer.pressTime = messages::elapsedMilliseconds();
      ++pointer.pressCount;
    }
  } else if (type == QEvent::MouseButtonRelease) {
    if (mouse->buttons() == Qt::NoButton) pointer.down = false;
  }
}

// A press gives the keyboard focus to a window that takes focus by clicking. The desktop does
// this itself for the presses it reports; presses made by a program or a test get the same.
void giveFocusOnPress(const QWidget* receiver, HWND hwnd) {
  if (GetFocus() == hwnd || !IsWindowEnabled(hwnd)) return;
  const QWidget* focusTaker = receiver;
  while (focusTaker != nullptr && (focusTaker->focusPolicy() & Qt::ClickFocus) == 0) {
    if (widgets::windowOf(focusTaker->parentWidget()) != hwnd) return;
    focusTaker = focusTaker->parentWidget();
  }
  if (focusTaker != nullptr) SetFocus(hwnd);
}

// The modifiers held once this key event is over: a modifier key's own press or release counts
// (the desktop reports the state from before the event).
UINT heldAfter(WORD vk, bool press, UINT modifiers) {
  UINT own = 0;
  if (vk == 0x10) own = MOD_SHIFT;
  if (vk == 0x11) own = MOD_CONTROL;
  if (vk == 0x12) own = MOD_ALT;
  return press ? (modifiers | own) : (modifiers & ~own);
}

class InputRouter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
        return routeKey(widget, static_cast<QKeyEvent*>(event));
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
        return routeMouse(widget, static_cast<QMouseEvent*>(event));
      case QEvent::Wheel:
        return routeWheel(widget, static_cast<QWheelEvent*>(event));
      default:
        return false;
    }
  }

 private:
  static bool routeKey(QWidget* receiver, QKeyEvent* key) {
    // Keys reach the focus widget first and then, if it ignores them, its parents; only the
    // first delivery is the press itself.
    const QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && receiver != focus) return false;
    if (isInPopup(receiver)) return false;
    const WORD vk = widgets::virtualKeyFromQtKey(key->key());
    if (vk == 0) return false;
    const bool press = key->type() == QEvent::KeyPress;
    const UINT modifiers = widgets::modifiersFromQt(key->modifiers());
    rememberModifiers(heldAfter(vk, press, modifiers));
    const auto hotKey = windows::findHotKey(vk, modifiers);
    if (hotKey.window != nullptr && windows::findWindow(hotKey.window)) {
      if (press) {
        PostMessage(hotKey.window, WM_HOTKEY, static_cast<WPARAM>(hotKey.id),
                    MAKELPARAM(static_cast<WORD>(hotKey.modifiers), vk));
      }
      return true;
    }
    const HWND hwnd = widgets::windowOf(receiver);
    const auto record = windows::findWindow(hwnd);
    if (!record) return false;
    const bool dialogKey = vk == VK_RETURN || vk == VK_ESCAPE;
    if (record->routing == widgets::InputRouting::Native && !(dialogKey && isInDialog(hwnd))) return false;
    // As the platform reports them, keys typed with Alt held (bit 29 set) and F10 are the
    // keys that work the menus: WM_SYSKEYDOWN / WM_SYSKEYUP.
    const bool alt = (modifiers & MOD_ALT) != 0;
    const bool menuKey = alt || vk == VK_F10;
    const LPARAM altFlag = alt ? (LPARAM{1} << 29) : 0;
    if (press) {
      const QString text = key->text();
      if (text.size() == 1 && text.at(0).unicode() >= 0x20) messages::rememberKeyText(vk, text.at(0).unicode());
      const LPARAM flags = 1 | (key->isAutoRepeat() ? (1 << 30) : 0) | altFlag;
      PostMessage(hwnd, menuKey ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, flags);
    } else if (record->routing == widgets::InputRouting::Messages) {
      PostMessage(hwnd, menuKey ? WM_SYSKEYUP : WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u) | altFlag);
    }
    return true;
  }

  static bool routeMouse(QWidget* receiver, QMouseEvent* mouse) {
    const QEvent::Type type = mouse->type();
    trackPointer(type, mouse);
    if (isInPopup(receiver)) return false;
    const HWND hwnd = widgets::windowOf(receiver);
    const auto record = windows::findWindow(hwnd);
    if (record && type == QEvent::MouseButtonPress) giveFocusOnPress(receiver, hwnd);
    if (qobject_cast<QAbstractSlider*>(receiver) != nullptr) return false;
    if (!record || record->routing != widgets::InputRouting::Messages || record->widget.isNull()) return false;
    const LPARAM point = windowPointParam(receiver, mouse->position(), record->widget.data());
    const bool stylusButton = mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton;
    switch (type) {
      case QEvent::MouseButtonPress:
        if (!stylusButton) return false;
        PostMessage(hwnd, WM_LBUTTONDOWN, keyStateParam(mouse->buttons(), mouse->modifiers()), point);
        return true;
      case QEvent::MouseButtonDblClick: {
        if (!stylusButton) return false;
        const bool wantsDoubleClicks = (record->windowClass->info.style & CS_DBLCLKS) != 0 &&
                                       mouse->button() == Qt::LeftButton;
        PostMessage(hwnd, wantsDoubleClicks ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN,
                    keyStateParam(mouse->buttons(), mouse->modifiers()), point);
        return true;
      }
      case QEvent::MouseButtonRelease:
        if (!stylusButton) return false;
        PostMessage(hwnd, WM_LBUTTONUP, keyStateParam(mouse->buttons(), mouse->modifiers()), point);
        return true;
      case QEvent::MouseMove:
        messages::postCoalescedMouseMove(hwnd, keyStateParam(mouse->buttons(), mouse->modifiers()), point);
        return true;
      default:
        return false;
    }
  }

  static bool routeWheel(QWidget* receiver, QWheelEvent* wheel) {
    if (isInPopup(receiver) || qobject_cast<QAbstractSlider*>(receiver) != nullptr) return false;
    const HWND hwnd = widgets::windowOf(receiver);
    const auto record = windows::findWindow(hwnd);
    if (!record || record->routing != widgets::InputRouting::Messages) return false;
    const int delta = wheel->angleDelta().y();
    if (delta == 0) return true;
    // The wheel's position is given on the screen, as the platform does.
    const QPoint onScreen = toDeviceScreen(wheel->globalPosition());
    const WPARAM wParam = MAKEWPARAM(static_cast<WORD>(keyStateParam(wheel->buttons(), wheel->modifiers())),
                                     static_cast<WORD>(static_cast<int16_t>(std::clamp(delta, -32768, 32767))));
    PostMessage(hwnd, WM_MOUSEWHEEL, wParam,
                MAKELPARAM(static_cast<WORD>(static_cast<int16_t>(onScreen.x())),
                           static_cast<WORD>(static_cast<int16_t>(onScreen.y()))));
    return true;
  }
};

}  // namespace

const PointerState& pointerState() { return mutablePointer(); }

void installInputRouting() {
  static InputRouter* router = nullptr;
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (router != nullptr || app == nullptr) return;
  router = new InputRouter();
  router->setParent(app);
  app->installEventFilter(router);
  QObject::connect(app, &QApplication::focusChanged, router, [](QWidget*, QWidget* now) {
    if (widgets::isPlatformChangingWidgets() || now == nullptr) return;
    const HWND hwnd = widgets::windowOf(now);
    if (hwnd == nullptr || hwnd == GetFocus()) return;
    SetFocus(hwnd);
  });
}

}  // namespace platform::input

BOOL GetCursorPos(POINT* point) {
  if (point == nullptr) return FALSE;
  const QPoint position = platform::input::toDeviceScreen(QCursor::pos());
  *point = POINT{position.x(), position.y()};
  return TRUE;
}
