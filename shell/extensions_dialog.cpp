#include "shell/extensions_dialog.h"

#include <vector>

#include "platform/shellext/aygshell.h"
#include "resources/resource_ids.h"
#include "shell/desktop_defaults.h"

namespace {

ExtensionsDialog* dialogObject(HWND dialog) {
  return reinterpret_cast<ExtensionsDialog*>(GetWindowLongPtr(dialog, DWLP_USER));
}

// The first opening on a device registers the document type. A key that could not be
// created at all (a damaged registry) starts nothing: the next opening tries again.
void registerOnFirstOpening() {
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyEx(HKEY_CLASSES_ROOT, kDocumentTypeKey, 0, const_cast<LPWSTR>(u""), 1, KEY_ALL_ACCESS, nullptr, &key,
                     &disposition) != ERROR_SUCCESS) {
    return;
  }
  RegCloseKey(key);
  if (disposition == REG_CREATED_NEW_KEY) registerDocumentType();
}

}  // namespace

INT_PTR ExtensionsDialog::run(HWND owner, HINSTANCE instance) {
  return DialogBoxParam(instance, MAKEINTRESOURCE(res::kDialogExtensions), owner, dialogProc,
                        reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK ExtensionsDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtr(dialog, DWLP_USER, lParam);
      reinterpret_cast<ExtensionsDialog*>(lParam)->initialise(dialog);
      return TRUE;
    case WM_COMMAND: {
      ExtensionsDialog* self = dialogObject(dialog);
      if (self == nullptr) return FALSE;
      if (LOWORD(wParam) == IDOK) {
        self->confirm(dialog);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

void ExtensionsDialog::initialise(HWND dialog) {
  SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
  SHInitDialog(&init);
  registerOnFirstOpening();
  for (const AssociatedExtension& entry : kAssociatedExtensions) {
    associated[entry.flagIndex] = isAssociated(entry.extension) ? 1 : 0;
  }
  for (const AssociatedExtension& entry : kAssociatedExtensions) {
    if (associated[entry.flagIndex] == 1) SendDlgItemMessage(dialog, entry.checkBox, BM_SETCHECK, BST_CHECKED, 0);
  }
}

void ExtensionsDialog::confirm(HWND dialog) {
  uint8_t shown[kAssociatedExtensionCount];
  for (const AssociatedExtension& entry : kAssociatedExtensions) {
    shown[entry.flagIndex] = associated[entry.flagIndex];
    associated[entry.flagIndex] = SendDlgItemMessage(dialog, entry.checkBox, BM_GETCHECK, 0, 0) != 0 ? 1 : 0;
  }
  std::vector<const char16_t*> associatedNow, handedBack, stillAssociated;
  for (const AssociatedExtension& entry : kAssociatedExtensions) {
    const uint8_t wanted = associated[entry.flagIndex];
    if (wanted == shown[entry.flagIndex]) {
      if (wanted == 1) stillAssociated.push_back(entry.extension);
      continue;  // left as it was: not written
    }
    if (wanted == 1 && associate(entry.extension)) {
      associatedNow.push_back(entry.extension);
      stillAssociated.push_back(entry.extension);
    } else if (wanted == 0 && restorePreviousHandler(entry.extension)) {
      handedBack.push_back(entry.extension);
    }
  }
  // The desktop follows what the registry now says.
  followOnDesktop(associatedNow, handedBack, stillAssociated);
}
