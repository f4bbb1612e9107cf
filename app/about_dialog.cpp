#include "app/about_dialog.h"

#include "platform/shellext/aygshell.h"
#include "resources/resource_ids.h"

namespace {

BOOL aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG: {
      SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
      SHInitDialog(&init);
      HICON icon = LoadIcon(reinterpret_cast<HINSTANCE>(GetWindowLongPtr(dialog, GWLP_HINSTANCE)),
                            MAKEINTRESOURCE(res::kIconMain));
      SendDlgItemMessage(dialog, res::kAboutIcon, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void showAboutDialog(HWND owner, HINSTANCE instance) {
  DialogBoxParam(instance, MAKEINTRESOURCE(res::kDialogAbout), owner, aboutDialogProc, 0);
}
