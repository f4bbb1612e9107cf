// The hooks that let a test answer dialogs, message boxes, the tap-and-hold gesture and pop-up
// menus. (The open-file dialog's hook lives with that dialog.)
#include <utility>

#include "platform/testing/hook_access.h"

namespace platform::testing {
namespace {

struct Hooks {
  DialogResponder dialog;        // answers modal dialogs
  MessageBoxResponder messageBox;  // answers message boxes
  GestureResponder gesture;      // decides tap-and-hold recognitions
  PopupMenuResponder popupMenu;  // chooses from pop-up menus
};

Hooks& hooks() {
  static Hooks instance;
  return instance;
}

}  // namespace

DialogResponder setDialogResponder(DialogResponder responder) {
  return std::exchange(hooks().dialog, std::move(responder));
}

MessageBoxResponder setMessageBoxResponder(MessageBoxResponder responder) {
  return std::exchange(hooks().messageBox, std::move(responder));
}

GestureResponder setGestureResponder(GestureResponder responder) {
  return std::exchange(hooks().gesture, std::move(responder));
}

PopupMenuResponder setPopupMenuResponder(PopupMenuResponder responder) {
  return std::exchange(hooks().popupMenu, std::move(responder));
}

const DialogResponder& currentDialogResponder() { return hooks().dialog; }
const MessageBoxResponder& currentMessageBoxResponder() { return hooks().messageBox; }
const GestureResponder& currentGestureResponder() { return hooks().gesture; }
const PopupMenuResponder& currentPopupMenuResponder() { return hooks().popupMenu; }

void resetCoreHooks() { hooks() = Hooks{}; }

}  // namespace platform::testing
