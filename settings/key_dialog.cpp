#include "settings/key_dialog.h"

#include <cstring>

#include "platform/shellext/aygshell.h"
#include "resources/resource_ids.h"
#include "settings/key_action_names.h"
#include "settings/settings_file.h"

const int kKeySlotLists[kSettingsKeySlots] = {
    res::kKeyUpList,      res::kKeyDownList,     res::kKeyLeftList,     res::kKeyRightList,    res::kKeyCenterList,
    res::kKeyOutLeftList, res::kKeyInLeftList,   res::kKeyInRightList,  res::kKeyOutRightList,
};

namespace {

// The controls that only mean something while the application keys are captured.
constexpr int kAppKeyControls[] = {res::kKeyOutLeftList, res::kKeyInLeftList, res::kKeyInRightList,
                                   res::kKeyOutRightList, res::kKeyAppKeysGroup};

KeyDialog* dialogObject(HWND dialog) { return reinterpret_cast<KeyDialog*>(GetWindowLongPtr(dialog, DWLP_USER)); }

void enableAppKeyControls(HWND dialog, bool enabled) {
  for (int id : kAppKeyControls) EnableWindow(GetDlgItem(dialog, id), enabled ? TRUE : FALSE);
}

}  // namespace

int KeyDialog::run(HWND parent, HINSTANCE programInstance) {
  instance = programInstance;
  DialogBoxParam(instance, MAKEINTRESOURCE(res::kDialogKey), parent, dialogProc, reinterpret_cast<LPARAM>(this));
  return 1;
}

BOOL CALLBACK KeyDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  // Every message works on the settings file as it stands now: nothing is kept in between.
  SettingsFile settings;
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtr(dialog, DWLP_USER, lParam);
      KeyDialog* self = reinterpret_cast<KeyDialog*>(lParam);
      self->appKeysEnabled = settings.image.appKeysEnabled;
      std::memcpy(self->keyActions, settings.image.keyActions, sizeof self->keyActions);
      self->initControls(dialog);
      return TRUE;
    }
    case WM_COMMAND: {
      KeyDialog* self = dialogObject(dialog);
      if (self == nullptr) return FALSE;
      if (LOWORD(wParam) == IDOK) {
        self->readControls(dialog);
        // Only bytes 140 to 179 change: everything else is what the file holds at this moment.
        settings.image.appKeysEnabled = self->appKeysEnabled;
        std::memcpy(settings.image.keyActions, self->keyActions, sizeof self->keyActions);
        settings.save();
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      // The check box, and any list's notification: the group follows the check box.
      self->updateAppKeyControls(dialog);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void KeyDialog::initControls(HWND dialog) {
  SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
  SHInitDialog(&init);

  // Unsorted lists of the twelve names in KeyAction order: a position is its KeyAction.
  for (int action = 0; action < kKeyActionCount; ++action) {
    for (int list = res::kKeyOutLeftList; list <= res::kKeyCenterList; ++list) {
      SendDlgItemMessage(dialog, list, CB_INSERTSTRING, static_cast<WPARAM>(action),
                         reinterpret_cast<LPARAM>(keyActionName(action)));
    }
  }
  // A value outside 0..11 leaves its list without a selection.
  for (int slot = 0; slot < kSettingsKeySlots; ++slot) {
    SendDlgItemMessage(dialog, kKeySlotLists[slot], CB_SETCURSEL, static_cast<WPARAM>(static_cast<intptr_t>(keyActions[slot])), 0);
  }
  SendDlgItemMessage(dialog, res::kKeyAppKeysCheck, BM_SETCHECK, appKeysEnabled != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
  enableAppKeyControls(dialog, appKeysEnabled != 0);
}

void KeyDialog::updateAppKeyControls(HWND dialog) {
  appKeysEnabled = SendDlgItemMessage(dialog, res::kKeyAppKeysCheck, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  // Greyed lists keep their selections; OK still reads and stores them.
  enableAppKeyControls(dialog, appKeysEnabled != 0);
}

void KeyDialog::readControls(HWND dialog) {
  for (int slot = 0; slot < kSettingsKeySlots; ++slot) {
    keyActions[slot] = static_cast<int32_t>(SendDlgItemMessage(dialog, kKeySlotLists[slot], CB_GETCURSEL, 0, 0));
  }
  appKeysEnabled = SendDlgItemMessage(dialog, res::kKeyAppKeysCheck, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}
