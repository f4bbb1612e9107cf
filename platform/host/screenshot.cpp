// The viewer's screen as a picture: the device screen with every window on it, rendered by
// Qt (also on the headless platform) and written as PNG. Desktop dialogs that stand over the
// screen in windows of their own (a message box, the file dialog) are drawn in too, where they
// stand, so the picture shows what the user would see.
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QString>

#include "platform/host/launcher.h"
#include "platform/system/window_host.h"

namespace platform::host {
namespace {

// Where a desktop dialog stands on the picture: its place relative to the screen, or the
// middle of the screen when it lies outside (the headless platform places windows anywhere).
QPoint placeOnScreen(const QWidget* dialog, const QWidget* screen, const QSize& pictureSize) {
  const QRect onScreen = dialog->frameGeometry().translated(-screen->mapToGlobal(QPoint(0, 0)));
  if (QRect(QPoint(0, 0), pictureSize).contains(onScreen)) return onScreen.topLeft();
  return QPoint((pictureSize.width() - dialog->width()) / 2, (pictureSize.height() - dialog->height()) / 2);
}

}  // namespace

bool writeScreenshot(const char* pngPath) {
  if (pngPath == nullptr || *pngPath == 0 || QApplication::instance() == nullptr) return false;
  QWidget* screen = widgets::deviceSurface();
  if (screen == nullptr) return false;
  // Pending layout and paint requests first, so the picture shows what the viewer shows.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  QPixmap picture = screen->grab();
  if (picture.isNull()) return false;

  QPainter painter(&picture);
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window == screen->window() || !window->isVisible() || !(window->windowType() == Qt::Dialog)) continue;
    painter.drawPixmap(placeOnScreen(window, screen, picture.size()), window->grab());
  }
  painter.end();
  return picture.save(QString::fromLocal8Bit(pngPath), "PNG");
}

}  // namespace platform::host
