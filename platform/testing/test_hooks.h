// Hooks that let a test answer what would otherwise wait for a person: modal dialogs, message
// boxes, the open-file dialog, the tap-and-hold gesture and pop-up menus. Each setter returns
// the previous hook; ScopedHook restores it.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "platform/system/windows.h"

struct OPENFILENAME;
struct SHRGINFO;

namespace platform::testing {

// Runs inside the dialog's modal loop, right after WM_INITDIALOG was handled and the dialog is
// shown; the test drives the controls and ends the dialog (e.g. by clicking OK).
using DialogResponder = std::function<void(HWND dialog, int templateId)>;
DialogResponder setDialogResponder(DialogResponder responder);

struct MessageBoxCall {
  HWND owner;              // owner window
  std::u16string text;     // message text
  std::u16string caption;  // title
  UINT type;               // MB_* style
};
// Answers a message box instead of showing it; returns the button id.
using MessageBoxResponder = std::function<int(const MessageBoxCall&)>;
MessageBoxResponder setMessageBoxResponder(MessageBoxResponder responder);

// Answers the open-file dialog: return a device path to choose it, or an empty text to cancel.
using OpenFileResponder = std::function<std::u16string(const OPENFILENAME&)>;
OpenFileResponder setOpenFileResponder(OpenFileResponder responder);

// Decides a tap-and-hold recognition: return 1000 for a hold, 0 otherwise.
using GestureResponder = std::function<DWORD(const SHRGINFO&)>;
GestureResponder setGestureResponder(GestureResponder responder);

// Chooses from a pop-up menu: return the command id of the item to choose, or 0 to dismiss.
using PopupMenuResponder = std::function<UINT(HMENU menu, int x, int y, HWND owner)>;
PopupMenuResponder setPopupMenuResponder(PopupMenuResponder responder);

template <typename Hook>
class ScopedHook {
 public:
  ScopedHook(Hook (*setter)(Hook), Hook hook) : setter_(setter), previous_(setter(std::move(hook))) {}
  ~ScopedHook() { setter_(std::move(previous_)); }
  ScopedHook(const ScopedHook&) = delete;
  ScopedHook& operator=(const ScopedHook&) = delete;

 private:
  Hook (*setter_)(Hook);  // the setter that installed the hook
  Hook previous_;         // the hook to put back
};

}  // namespace platform::testing
