// Input as a user gives it: real desktop key and mouse events, delivered through the
// application's event dispatch so that the layer's routing (hot keys, messages, focus) runs.
#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <cmath>

#include "platform/system/key_mapping.h"
#include "platform/system/window_host.h"
#include "platform/testing/test_host.h"

namespace platform::testing {
namespace {

QString keyText(WORD vk) {
  if (vk >= 'A' && vk <= 'Z') return QString(QChar(static_cast<char16_t>(vk + 32)));
  if ((vk >= '0' && vk <= '9') || vk == VK_SPACE) return QString(QChar(static_cast<char16_t>(vk)));
  if (vk == VK_RETURN) return QStringLiteral("\r");
  if (vk == VK_ESCAPE) return QString(QChar(0x1B));
  if (vk == VK_TAB) return QStringLiteral("\t");
  if (vk == VK_BACK) return QString(QChar(0x08));
  return {};
}

// The desktop pixel inside device pixel (x, y) of the window's widget.
QPoint desktopPoint(int x, int y) {
  const double scale = widgets::deviceScale();
  return QPoint(static_cast<int>(std::floor((x + 0.5) * scale)), static_cast<int>(std::floor((y + 0.5) * scale)));
}

struct MouseTarget {
  QPointer<QWidget> widget;  // the deepest widget under the point
  QPoint local;              // the point in its coordinates
  QPoint global;             // the point on the desktop
};

MouseTarget targetAt(HWND hwnd, int x, int y) {
  MouseTarget target;
  QWidget* window = widgets::widgetOf(hwnd);
  if (window == nullptr) return target;
  const QPoint point = desktopPoint(x, y);
  QWidget* child = window->childAt(point);
  QWidget* receiver = child != nullptr ? child : window;
  target.widget = receiver;
  target.local = receiver->mapFrom(window, point);
  target.global = window->mapToGlobal(point);
  return target;
}

void sendMouse(const MouseTarget& target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons) {
  if (target.widget.isNull()) return;
  QMouseEvent event(type, QPointF(target.local), QPointF(target.global), button, buttons, Qt::NoModifier);
  QCoreApplication::sendEvent(target.widget.data(), &event);
}

void click(HWND hwnd, int x, int y, Qt::MouseButton button) {
  const MouseTarget target = targetAt(hwnd, x, y);
  sendMouse(target, QEvent::MouseButtonPress, button, button);
  sendMouse(target, QEvent::MouseButtonRelease, button, Qt::NoButton);
}

}  // namespace

void pressKey(WORD vk) { pressKey(vk, 0); }

void pressKey(WORD vk, UINT modifiers) {
  Qt::KeyboardModifiers held = Qt::NoModifier;
  if (modifiers & MOD_CONTROL) held |= Qt::ControlModifier;
  if (modifiers & MOD_SHIFT) held |= Qt::ShiftModifier;
  if (modifiers & MOD_ALT) held |= Qt::AltModifier;
  QWidget* target = QApplication::focusWidget();
  if (target == nullptr) target = widgets::widgetOf(GetFocus());
  if (target == nullptr) target = widgets::deviceScreen();
  if (target == nullptr) return;
  QPointer<QWidget> guard(target);
  const int key = widgets::qtKeyFromVirtualKey(vk);
  const QString text = keyText(vk);
  QKeyEvent press(QEvent::KeyPress, key, held, text);
  QCoreApplication::sendEvent(target, &press);
  if (guard.isNull()) return;
  QKeyEvent release(QEvent::KeyRelease, key, held, text);
  QCoreApplication::sendEvent(guard.data(), &release);
}

void dropFiles(const std::vector<std::string>& hostPaths) {
  QWidget* screen = widgets::deviceScreen();
  if (screen == nullptr) return;
  QList<QUrl> urls;
  for (const std::string& path : hostPaths) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
  QMimeData data;
  data.setUrls(urls);
  const QPointF centre(screen->width() / 2.0, screen->height() / 2.0);
  QDragEnterEvent enter(centre.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(screen, &enter);
  QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(screen, &drop);
}

void tap(HWND hwnd, int x, int y) { click(hwnd, x, y, Qt::LeftButton); }

void rightClick(HWND hwnd, int x, int y) { click(hwnd, x, y, Qt::RightButton); }

void pressAndHold(HWND hwnd, int x, int y, int holdMs) {
  const MouseTarget target = targetAt(hwnd, x, y);
  if (target.widget.isNull()) return;
  sendMouse(target, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
  bool released = false;
  QTimer release;
  release.setSingleShot(true);
  QObject::connect(&release, &QTimer::timeout, [&] {
    released = true;
    sendMouse(target, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
  });
  release.start(std::max(holdMs, 0));
  // Messages are dispatched meanwhile; a recognition that the press starts runs nested in here
  // and sees the release when the timer fires.
  pumpFor(std::max(holdMs, 0) + 20);
  if (!released) {
    release.stop();
    sendMouse(target, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
  }
  pumpMessages();
}

}  // namespace platform::testing
