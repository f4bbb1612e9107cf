// Input to the standard controls as a user gives it: mouse presses and releases sent to the Qt
// widgets that show the controls, so that the controls' own handling of that input (and the
// notifications it sends) runs exactly as it does for a person at the desktop.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QPointer>

#include "platform/system/window_host.h"
#include "platform/testing/test_host.h"

namespace platform::testing {
namespace {

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& position, Qt::MouseButton button) {
  if (target == nullptr) return;
  const QPointF local(position);
  const QPointF global(target->mapToGlobal(position));
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent event(type, local, global, type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

// A short left click: the pointer arrives, presses and releases at `position` of `target`.
void click(QWidget* target, const QPoint& position) {
  QPointer<QWidget> guard(target);
  sendMouse(guard, QEvent::MouseMove, position, Qt::NoButton);
  if (guard) sendMouse(guard, QEvent::MouseButtonPress, position, Qt::LeftButton);
  if (guard) sendMouse(guard, QEvent::MouseButtonRelease, position, Qt::LeftButton);
}

// The centre of row `index` in an item view's viewport, scrolled into view first; a point
// below the last row when the index is not a row.
QPoint rowCentre(QAbstractItemView& view, int index) {
  const QModelIndex item = view.model() != nullptr ? view.model()->index(index, 0) : QModelIndex();
  if (!item.isValid()) return QPoint(view.viewport()->width() / 2, view.viewport()->height() - 1);
  view.scrollTo(item);
  return view.visualRect(item).center();
}

QAbstractItemView* itemViewOf(HWND hwnd) { return qobject_cast<QAbstractItemView*>(widgets::widgetOf(hwnd)); }

}  // namespace

void clickButton(HWND button) {
  QWidget* widget = widgets::widgetOf(button);
  if (widget == nullptr) return;
  click(widget, widget->rect().center());
}

void chooseComboItem(HWND combo, int index) {
  auto* box = qobject_cast<QComboBox*>(widgets::widgetOf(combo));
  if (box == nullptr) return;
  QPointer<QComboBox> guard(box);
  // A press on the closed box drops its list down; then a click on the entry chooses it.
  sendMouse(box, QEvent::MouseButtonPress, box->rect().center(), Qt::LeftButton);
  if (guard) sendMouse(box, QEvent::MouseButtonRelease, box->rect().center(), Qt::LeftButton);
  if (!guard || !box->view()->isVisible()) return;  // a disabled box does not open
  QAbstractItemView* view = box->view();
  click(view->viewport(), rowCentre(*view, index));
}

void chooseListBoxItem(HWND listBox, int index) {
  QAbstractItemView* view = itemViewOf(listBox);
  if (view == nullptr) return;
  click(view->viewport(), rowCentre(*view, index));
}

void chooseListViewItem(HWND listView, int index) { chooseListBoxItem(listView, index); }

void doubleClickListViewItem(HWND listView, int index) {
  QAbstractItemView* view = itemViewOf(listView);
  if (view == nullptr) return;
  const QPoint position = rowCentre(*view, index);
  QPointer<QWidget> viewport(view->viewport());
  click(viewport, position);
  // The desktop turns the second press of a quick pair into a double click.
  if (viewport) sendMouse(viewport, QEvent::MouseButtonDblClick, position, Qt::LeftButton);
  if (viewport) sendMouse(viewport, QEvent::MouseButtonRelease, position, Qt::LeftButton);
}

}  // namespace platform::testing
