// The layer's seam for answers that would otherwise wait for a person: modal dialogs, message
// boxes, the open-file dialog, the tap-and-hold gesture and pop-up menus. The layer asks the
// installed responder first; with none installed it shows the real thing. The test support
// (platform/testing) installs responders here; the product never does.
#pragma once

#include <functional>
#include <string>

#include "platform/system/windows.h"

struct OPENFILENAME;
struct SHRGINFO;

namespace platform::responders {

// Runs inside the dialog's modal loop, right after WM_INITDIALOG was handled and the dialog is
// shown; the responder drives the controls and ends the dialog (e.g. by clicking OK).
using DialogResponder = std::function<void(HWND dialog, int templateId)>;

struct MessageBoxCall {
  HWND owner;              // owner window (not owned by the record)
  std::u16string text;     // message text
  std::u16string caption;  // title
  UINT type;               // MB_* style
};
// Answers a message box instead of showing it; returns the button id.
using MessageBoxResponder = std::function<int(const MessageBoxCall&)>;

// Answers the open-file dialog: return a device path to choose it, or an empty text to cancel.
using OpenFileResponder = std::function<std::u16string(const OPENFILENAME&)>;

// Decides a tap-and-hold recognition: return 1000 for a hold, 0 otherwise.
using GestureResponder = std::function<DWORD(const SHRGINFO&)>;

// Chooses from a pop-up menu: return the command id of the item to choose, or 0 to dismiss.
using PopupMenuResponder = std::function<UINT(HMENU menu, int x, int y, HWND owner)>;

// Each setter installs a responder (an empty function removes it) and returns the previous one.
DialogResponder setDialogResponder(DialogResponder responder);
MessageBoxResponder setMessageBoxResponder(MessageBoxResponder responder);
OpenFileResponder setOpenFileResponder(OpenFileResponder responder);
GestureResponder setGestureResponder(GestureResponder responder);
PopupMenuResponder setPopupMenuResponder(PopupMenuResponder responder);

// The installed responders (empty functions when none is installed). Copies, so that a
// responder may replace itself while it runs.
DialogResponder currentDialogResponder();
MessageBoxResponder currentMessageBoxResponder();
OpenFileResponder currentOpenFileResponder();
GestureResponder currentGestureResponder();
PopupMenuResponder currentPopupMenuResponder();

// Removes every responder.
void resetResponders();

}  // namespace platform::responders
