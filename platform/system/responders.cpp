// The installed responders. The open-file dialog may be answered from another thread than the
// one that installed its responder, so every access takes the lock.
#include "platform/system/responders.h"

#include <mutex>
#include <utility>

namespace platform::responders {
namespace {

struct Responders {
  DialogResponder dialog;          // answers modal dialogs
  MessageBoxResponder messageBox;  // answers message boxes
  OpenFileResponder openFile;      // answers the open-file dialog
  GestureResponder gesture;        // decides tap-and-hold recognitions
  PopupMenuResponder popupMenu;    // chooses from pop-up menus
};

std::mutex& respondersMutex() {
  static std::mutex mutex;
  return mutex;
}

Responders& installed() {
  static Responders instance;
  return instance;
}

// Swaps `responder` into the slot `member` of the installed set; returns the previous one.
template <typename Responder>
Responder exchange(Responder Responders::*member, Responder responder) {
  std::lock_guard<std::mutex> lock(respondersMutex());
  return std::exchange(installed().*member, std::move(responder));
}

template <typename Responder>
Responder current(Responder Responders::*member) {
  std::lock_guard<std::mutex> lock(respondersMutex());
  return installed().*member;
}

}  // namespace

DialogResponder setDialogResponder(DialogResponder r) { return exchange(&Responders::dialog, std::move(r)); }
MessageBoxResponder setMessageBoxResponder(MessageBoxResponder r) {
  return exchange(&Responders::messageBox, std::move(r));
}
OpenFileResponder setOpenFileResponder(OpenFileResponder r) { return exchange(&Responders::openFile, std::move(r)); }
GestureResponder setGestureResponder(GestureResponder r) { return exchange(&Responders::gesture, std::move(r)); }
PopupMenuResponder setPopupMenuResponder(PopupMenuResponder r) {
  return exchange(&Responders::popupMenu, std::move(r));
}

DialogResponder currentDialogResponder() { return current(&Responders::dialog); }
MessageBoxResponder currentMessageBoxResponder() { return current(&Responders::messageBox); }
OpenFileResponder currentOpenFileResponder() { return current(&Responders::openFile); }
GestureResponder currentGestureResponder() { return current(&Responders::gesture); }
PopupMenuResponder currentPopupMenuResponder() { return current(&Responders::popupMenu); }

void resetResponders() {
  std::lock_guard<std::mutex> lock(respondersMutex());
  installed() = Responders{};
}

}  // namespace platform::responders
