// Getting the layer ready: the device screen, desktop input routing and the system classes.
#include "platform/host/platform_startup.h"

#include <QApplication>

#include "platform/shellext/menu_bar.h"
#include "platform/system/dialog_manager.h"
#include "platform/system/input_routing.h"
#include "platform/system/window_host.h"

namespace platform::host {

void initialisePlatform() {
  if (QApplication::instance() == nullptr) return;
  static bool initialised = false;
  if (initialised) return;
  initialised = true;
  widgets::deviceScreen();
  input::installInputRouting();
  dialogs::registerDialogClass();
  shell::registerMenuBarClass();
  widgets::registerStandardControls();
}

}  // namespace platform::host
