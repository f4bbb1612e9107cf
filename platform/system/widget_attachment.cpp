// Windows meet widgets here: attachWidget puts a control's widget on screen inside its parent
// window's widget (or on the device screen for a top-level window), and the record's geometry,
// visibility and enabled state are mirrored onto it. A window whose class brings no widget gets
// a plain surface filled with its class brush.
#include <QApplication>
#include <QHash>
#include <cmath>
#include <vector>

#include "platform/system/device_screen.h"
#include "platform/system/gdi_objects.h"
#include "platform/system/qt_units.h"
#include "platform/system/window_host.h"
#include "platform/system/window_records.h"
#include "platform/system/window_widgets.h"

namespace platform::widgets {
namespace {

QHash<const QWidget*, HWND>& windowsByWidget() {
  static QHash<const QWidget*, HWND> table;  // widget -> the window it shows
  return table;
}

int platformChangeDepth = 0;  // > 0 while the layer itself moves widgets (their focus moves are not the user's)

struct PlatformChange {
  PlatformChange() { ++platformChangeDepth; }
  ~PlatformChange() { --platformChangeDepth; }
  PlatformChange(const PlatformChange&) = delete;
  PlatformChange& operator=(const PlatformChange&) = delete;
};

QRect scaledRect(const RECT& rect) {
  const double scale = widgets::deviceScale();
  const auto px = [scale](LONG value) { return static_cast<int>(std::lround(value * scale)); };
  return QRect(px(rect.left), px(rect.top), px(rect.right) - px(rect.left), px(rect.bottom) - px(rect.top));
}

// The widget that holds a window's widget: its parent window's, or the device screen.
QWidget* containerFor(const windows::WindowRecord& record) {
  if (record.isChild()) {
    ensureWidget(record.parent);
    const auto parent = windows::findWindow(record.parent);
    return parent ? parent->widget.data() : nullptr;
  }
  return widgets::deviceSurface();
}

void placeInContainer(windows::WindowRecord& record) {
  QWidget* container = containerFor(record);
  if (record.widget.isNull() || container == nullptr) return;
  if (record.widget->parentWidget() != container) record.widget->setParent(container);
  syncGeometry(record);
  syncEnabled(record);
  syncVisibility(record);
}

}  // namespace

bool isPlatformChangingWidgets() { return platformChangeDepth > 0; }

void ensureWidget(HWND hwnd) {
  const auto record = windows::findWindow(hwnd);
  if (!record || !record->widget.isNull() || QApplication::instance() == nullptr) return;
  PlatformChange change;
  auto* surface = new QWidget();
  surface->setObjectName(platform::unitsToQString(record->windowClass->name));
  if (const auto colour = gdi::brushColor(record->windowClass->info.hbrBackground)) {
    surface->setAutoFillBackground(true);
    QPalette colours = surface->palette();
    colours.setColor(QPalette::Window, *colour);
    surface->setPalette(colours);
  }
  surface->setFocusPolicy(Qt::StrongFocus);
  widgets::attachWidget(hwnd, surface, widgets::InputRouting::Messages);
  record->plainSurface = true;
}

void syncGeometry(windows::WindowRecord& record) {
  if (record.widget.isNull()) return;
  PlatformChange change;
  record.widget->setGeometry(scaledRect(record.rect));
}

void resyncAllGeometry() {
  std::vector<HWND> pending = windows::topLevelWindows();
  while (!pending.empty()) {
    const auto record = windows::findWindow(pending.back());
    pending.pop_back();
    if (!record) continue;
    syncGeometry(*record);
    pending.insert(pending.end(), record->children.begin(), record->children.end());
  }
}

void syncVisibility(windows::WindowRecord& record) {
  if (record.widget.isNull()) return;
  PlatformChange change;
  record.widget->setVisible(record.visible);
}

void syncEnabled(windows::WindowRecord& record) {
  if (record.widget.isNull()) return;
  PlatformChange change;
  record.widget->setEnabled(record.enabled);
}

void raise(windows::WindowRecord& record) {
  if (record.widget.isNull()) return;
  PlatformChange change;
  record.widget->raise();
}

void repaint(windows::WindowRecord& record) {
  if (!record.widget.isNull()) record.widget->update();
}

void releaseWidget(windows::WindowRecord& record) {
  QWidget* widget = record.widget.data();
  record.widget.clear();
  if (widget == nullptr) return;
  PlatformChange change;
  windowsByWidget().remove(widget);
  widget->hide();
  // Deleted later: the widget may be the one whose event handler is destroying the window.
  widget->deleteLater();
}

void focusWidgetOf(HWND hwnd) {
  const auto record = windows::findWindow(hwnd);
  if (!record || record->widget.isNull()) return;
  // Focus already inside the window's widget (a control's inner widget) stays where it is.
  const QWidget* current = QApplication::focusWidget();
  if (current != nullptr && (current == record->widget || record->widget->isAncestorOf(current))) return;
  PlatformChange change;
  if (record->widget->focusPolicy() != Qt::NoFocus) {
    record->widget->setFocus(Qt::OtherFocusReason);
  } else if (QWidget* proxy = record->widget->focusProxy()) {
    proxy->setFocus(Qt::OtherFocusReason);
  }
}

}  // namespace platform::widgets

namespace platform::widgets {

void attachWidget(HWND hwnd, QWidget* widget, InputRouting routing) {
  const auto record = windows::findWindow(hwnd);
  if (!record || widget == nullptr) return;
  widgets::PlatformChange change;
  QWidget* previous = record->widget.data();
  record->widget = widget;
  record->routing = routing;
  record->plainSurface = false;
  widgets::windowsByWidget().insert(widget, hwnd);
  if (routing == InputRouting::Messages && widget->focusPolicy() == Qt::NoFocus) widget->setFocusPolicy(Qt::StrongFocus);
  widgets::placeInContainer(*record);
  if (previous != nullptr && previous != widget) {
    // The children's widgets move into the new widget before the old one goes.
    for (HWND child : record->children) {
      if (const auto childRecord = windows::findWindow(child)) widgets::placeInContainer(*childRecord);
    }
    widgets::windowsByWidget().remove(previous);
    previous->hide();
    previous->deleteLater();
  }
}

QWidget* widgetOf(HWND hwnd) {
  const auto record = windows::findWindow(hwnd);
  return record ? record->widget.data() : nullptr;
}

HWND windowOf(const QWidget* widget) {
  const auto& table = widgets::windowsByWidget();
  for (const QWidget* current = widget; current != nullptr; current = current->parentWidget()) {
    const auto it = table.constFind(current);
    if (it != table.constEnd()) return windows::findWindow(it.value()) ? it.value() : nullptr;
  }
  return nullptr;
}

}  // namespace platform::widgets
