// The EXTENSIONS dialog (template 1013): one check box per extension, checked when the extension
// is associated with the viewer. The first opening on a device registers the viewer's document
// type. OK associates each extension whose box the user checked and hands back each one whose
// box the user cleared; an extension whose box was left as it was is not written, so a handler
// that another program set meanwhile stays. In desktop mode the desktop's own default
// applications follow the same changes (see desktop_defaults.h).
#pragma once

#include <cstdint>

#include "platform/system/windows.h"
#include "shell/associations.h"

class ExtensionsDialog {
 public:
  ExtensionsDialog() = default;

  // Shows dialog 1013 modally over `owner`. Returns 1 after OK (or the Done button), 2 after
  // CANCEL, and what the platform returns when the dialog could not be shown.
  INT_PTR run(HWND owner, HINSTANCE instance);

  // One flag per extension, in the order .txt, .pdb, .prc, .doc, .psw: 1 when associated. The
  // dialog's initialisation fills them from the registry, OK from the boxes.
  uint8_t associated[kAssociatedExtensionCount];

 private:
  static BOOL CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void initialise(HWND dialog);
  void confirm(HWND dialog);
};
