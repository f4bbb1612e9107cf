// The viewer's screen as a picture: the device screen with every window on it, rendered by
// Qt (also on the headless platform) and written as PNG.
#include <QApplication>
#include <QPixmap>
#include <QString>

#include "platform/host/launcher.h"
#include "platform/system/window_host.h"

namespace platform::host {

bool writeScreenshot(const char* pngPath) {
  if (pngPath == nullptr || *pngPath == 0 || QApplication::instance() == nullptr) return false;
  QWidget* screen = deviceScreen();
  if (screen == nullptr) return false;
  // Pending layout and paint requests first, so the picture shows what the viewer shows.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  const QPixmap picture = screen->grab();
  return !picture.isNull() && picture.save(QString::fromLocal8Bit(pngPath), "PNG");
}

}  // namespace platform::host
