// The one modal loop that dialogs, message boxes and the open dialog run while they wait for
// an answer.
#include <QDialog>
#include <QObject>

#include "platform/system/message_loop.h"

namespace platform::messages {

bool runModalLoop(const std::function<bool()>& finished, const std::function<bool(MSG&)>& preview) {
  while (!finished()) {
    MSG msg{};
    if (!waitForMessage(&msg, nullptr, 0, 0, finished)) break;
    if (msg.message == WM_QUIT) {
      // The quit request ends this loop and stays for the loops outside it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    if (preview && preview(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  return true;
}

bool runDesktopDialog(QDialog& dialog) {
  bool finished = false;
  const QMetaObject::Connection connection = QObject::connect(&dialog, &QDialog::finished, [&finished] {
    finished = true;
    wakeEventLoop();
  });
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.open();
  const bool answered = runModalLoop([&finished] { return finished; });
  if (!answered) dialog.reject();
  QObject::disconnect(connection);
  return answered;
}

}  // namespace platform::messages
