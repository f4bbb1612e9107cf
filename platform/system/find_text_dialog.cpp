// FindText: the system's modeless find dialog. It edits the program's FINDREPLACE record and
// reports to the owner through the registered message FINDMSGSTRING: FR_FINDNEXT with the
// text and options when "Find Next" is chosen (or Enter pressed, through IsDialogMessage),
// FR_DIALOGTERM when it closes (Cancel, Escape, or the desktop closing it). Its status line is
// the owner's to fill.
#include "platform/system/commdlg.h"
#include "platform/system/dialog_manager.h"
#include "platform/system/edit_control.h"
#include "platform/system/resources.h"

namespace {

constexpr int kWholeWordId = 0x410;
constexpr int kMatchCaseId = 0x411;
constexpr int kUpId = 0x420;
constexpr int kDownId = 0x421;
constexpr UINT kCloseLater = WM_USER + 1;  // the dialog goes once the click that closed it is done

constexpr DWORD kTabStop = WS_TABSTOP;
constexpr platform::DialogItem kFindItems[] = {
    {WC_STATIC, u"Find what:", IDC_STATIC, SS_LEFT, 0, 4, 6, 40, 10},
    {WC_EDIT, u"", kFindWhatId, kTabStop | WS_BORDER, WS_EX_CLIENTEDGE, 46, 4, 120, 13},
    {WC_BUTTON, u"&Find Next", IDOK, BS_DEFPUSHBUTTON | kTabStop, 0, 172, 4, 52, 14},
    {WC_BUTTON, u"Cancel", IDCANCEL, BS_PUSHBUTTON | kTabStop, 0, 172, 21, 52, 14},
    {WC_BUTTON, u"Match &whole word only", kWholeWordId, BS_AUTOCHECKBOX | kTabStop, 0, 4, 21, 96, 11},
    {WC_BUTTON, u"Match &case", kMatchCaseId, BS_AUTOCHECKBOX | kTabStop, 0, 4, 33, 96, 11},
    {WC_BUTTON, u"&Up", kUpId, BS_AUTORADIOBUTTON | kTabStop, 0, 104, 21, 30, 11},
    {WC_BUTTON, u"&Down", kDownId, BS_AUTORADIOBUTTON, 0, 104, 33, 34, 11},
    {WC_STATIC, u"", kFindStatusId, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 4, 48, 220, 10},
};
// At the bottom of the screen (the position is kept inside it), so the text stays in sight.
constexpr platform::DialogTemplate kFindTemplate{
    0, u"Find", WS_POPUP | WS_CAPTION, 0, 400, 228, 60, nullptr, 0, kFindItems, sizeof kFindItems / sizeof kFindItems[0]};

FINDREPLACE* requestOf(HWND dialog) { return reinterpret_cast<FINDREPLACE*>(GetWindowLongPtr(dialog, DWLP_USER)); }

UINT findMessage() {
  static const UINT number = RegisterWindowMessage(FINDMSGSTRING);
  return number;
}

bool hasText(HWND dialog) { return GetWindowTextLength(GetDlgItem(dialog, kFindWhatId)) > 0; }

// Copies the dialog's state into the record and tells the owner.
void report(HWND dialog, DWORD what) {
  FINDREPLACE* request = requestOf(dialog);
  if (request == nullptr) return;
  GetDlgItemText(dialog, kFindWhatId, request->lpstrFindWhat, request->wFindWhatLen);
  DWORD flags = what;
  if (IsDlgButtonChecked(dialog, kDownId) == BST_CHECKED) flags |= FR_DOWN;
  if (IsDlgButtonChecked(dialog, kMatchCaseId) == BST_CHECKED) flags |= FR_MATCHCASE;
  if (IsDlgButtonChecked(dialog, kWholeWordId) == BST_CHECKED) flags |= FR_WHOLEWORD;
  request->Flags = flags;
  SendMessage(request->hwndOwner, findMessage(), 0, reinterpret_cast<LPARAM>(request));
}

void initialise(HWND dialog, FINDREPLACE* request) {
  SetWindowLongPtr(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(request));
  SendDlgItemMessage(dialog, kFindWhatId, EM_LIMITTEXT, static_cast<WPARAM>(request->wFindWhatLen - 1), 0);
  SetDlgItemText(dialog, kFindWhatId, request->lpstrFindWhat);
  CheckDlgButton(dialog, kWholeWordId, (request->Flags & FR_WHOLEWORD) != 0 ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, kMatchCaseId, (request->Flags & FR_MATCHCASE) != 0 ? BST_CHECKED : BST_UNCHECKED);
  const bool down = (request->Flags & FR_DOWN) != 0;
  CheckDlgButton(dialog, kDownId, down ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, kUpId, down ? BST_UNCHECKED : BST_CHECKED);
  EnableWindow(GetDlgItem(dialog, IDOK), hasText(dialog));
}

BOOL findDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      initialise(dialog, reinterpret_cast<FINDREPLACE*>(lParam));
      return TRUE;
    case kCloseLater:
      DestroyWindow(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          if (hasText(dialog)) report(dialog, FR_FINDNEXT);
          return TRUE;
        case IDCANCEL:
          if (!IsWindowVisible(dialog)) return TRUE;  // already closing
          report(dialog, FR_DIALOGTERM);
          ShowWindow(dialog, SW_HIDE);
          PostMessage(dialog, kCloseLater, 0, 0);
          return TRUE;
        case kUpId:
        case kDownId:
          // One direction at a time: the program keeps radio buttons in step.
          CheckDlgButton(dialog, kUpId, LOWORD(wParam) == kUpId ? BST_CHECKED : BST_UNCHECKED);
          CheckDlgButton(dialog, kDownId, LOWORD(wParam) == kDownId ? BST_CHECKED : BST_UNCHECKED);
          return TRUE;
        case kFindWhatId:
          if (HIWORD(wParam) == EN_CHANGE) {
            EnableWindow(GetDlgItem(dialog, IDOK), hasText(dialog));
            SetDlgItemText(dialog, kFindStatusId, u"");
          }
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

HWND FindText(FINDREPLACE* request) {
  if (request == nullptr || request->lStructSize != kFindReplaceSize || !IsWindow(request->hwndOwner) ||
      request->lpstrFindWhat == nullptr || request->wFindWhatLen < 1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return platform::dialogs::createModelessDialog(kFindTemplate, request->hwndOwner, findDialogProc,
                                                 reinterpret_cast<LPARAM>(request));
}
