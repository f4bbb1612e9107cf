// SHInitDialog: prepares a dialog the way the shell does. Sized to the screen, it covers the
// device screen below the top bar (and the menu bar's place too, as dialogs have none); with a
// Done button, the top bar shows "OK" while the dialog is active, and it sends IDOK.
#include "platform/shellext/aygshell.h"
#include "platform/system/device_screen.h"

BOOL SHInitDialog(SHINITDLGINFO* info) {
  if (info == nullptr || (info->dwMask & SHIDIM_FLAGS) == 0 || !IsWindow(info->hDlg)) return FALSE;
  const DWORD flags = info->dwFlags;
  if ((flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN)) != 0) {
    const bool fullScreen = (flags & (SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR)) != 0;
    const int bottom = fullScreen ? platform::kDeviceScreenHeight : platform::kDeviceScreenHeight - kMenuBarHeight;
    MoveWindow(info->hDlg, 0, kTopBarHeight, platform::kDeviceScreenWidth, bottom - kTopBarHeight, TRUE);
  }
  platform::widgets::setDoneButton(info->hDlg, (flags & SHIDIF_DONEBUTTON) != 0);
  return TRUE;
}
