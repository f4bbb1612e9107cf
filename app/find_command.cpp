#include "app/find_command.h"

#include <string>

#include "app/viewer_state.h"

namespace {

void setStatus(const ViewerState& state, const std::u16string& text) {
  if (state.find.dialog != nullptr) SetDlgItemText(state.find.dialog, kFindStatusId, text.c_str());
}

// Searches once from the selection (after it forward, before it backward; without one, from the
// first character shown), then once more from the other end. Returns the match's start, or -1.
LONG searchFromSelection(const ViewerState& state, DWORD flags, bool* wrapped) {
  DWORD selectionStart = 0;
  DWORD selectionEnd = 0;
  SendMessage(state.textView, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart), reinterpret_cast<LPARAM>(&selectionEnd));
  if (selectionStart == selectionEnd) {
    // Nothing selected: from where the reader is, the first character shown.
    selectionStart = selectionEnd = static_cast<DWORD>(SendMessage(state.textView, EM_GETTOPCHAR, 0, 0));
  }
  const bool forward = (flags & FR_DOWN) != 0;
  FINDTEXTEX find{};
  find.lpstrText = state.find.text;
  find.chrg = forward ? CHARRANGE{static_cast<LONG>(selectionEnd), -1} : CHARRANGE{static_cast<LONG>(selectionStart), 0};
  LRESULT start = SendMessage(state.textView, EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&find));
  *wrapped = false;
  if (start < 0) {
    const LONG length = static_cast<LONG>(SendMessage(state.textView, WM_GETTEXTLENGTH, 0, 0));
    find.chrg = forward ? CHARRANGE{0, -1} : CHARRANGE{length, 0};
    start = SendMessage(state.textView, EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&find));
    *wrapped = start >= 0;
  }
  if (start < 0) return -1;
  // The caret at the match's start, so that scrolling it into view shows where it begins.
  SendMessage(state.textView, EM_SETSEL, static_cast<WPARAM>(find.chrgText.cpMax), find.chrgText.cpMin);
  SendMessage(state.textView, EM_SCROLLCARET, 0, 0);
  return static_cast<LONG>(start);
}

void search(ViewerState& state, DWORD flags) {
  if (state.find.text[0] == 0) return;
  bool wrapped = false;
  if (searchFromSelection(state, flags, &wrapped) < 0) {
    // Said in the dialog: opened for it when it is closed.
    if (state.find.dialog == nullptr) runFindCommand(state);
    setStatus(state, u"Cannot find \"" + std::u16string(state.find.text) + u"\"");
  } else if (wrapped) {
    setStatus(state, (flags & FR_DOWN) != 0 ? u"Passed the end: found from the top" : u"Passed the top: found from the end");
  } else {
    setStatus(state, u"");
  }
}

}  // namespace

UINT findDialogMessage() {
  static const UINT number = RegisterWindowMessage(FINDMSGSTRING);
  return number;
}

void runFindCommand(ViewerState& state) {
  FindSession& find = state.find;
  if (find.dialog != nullptr && IsWindow(find.dialog)) {
    SetForegroundWindow(find.dialog);
    SetFocus(GetDlgItem(find.dialog, kFindWhatId));
    return;
  }
  if (find.request.lStructSize == 0) find.request.Flags = FR_DOWN;  // the first time: forward
  find.request.lStructSize = kFindReplaceSize;
  find.request.hwndOwner = state.mainWindow;
  find.request.lpstrFindWhat = find.text;
  find.request.wFindWhatLen = kFindTextUnits;
  find.dialog = FindText(&find.request);
}

void onFindDialogMessage(ViewerState& state, const FINDREPLACE* request) {
  if (request == nullptr || request != &state.find.request) return;
  if ((request->Flags & FR_DIALOGTERM) != 0) {
    state.find.dialog = nullptr;
    SetFocus(state.mainWindow);
    return;
  }
  if ((request->Flags & FR_FINDNEXT) != 0) search(state, request->Flags & (FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD));
}

void findAgain(ViewerState& state, bool forward) {
  if (state.find.text[0] == 0) {
    runFindCommand(state);
    return;
  }
  const DWORD options = state.find.request.Flags & (FR_MATCHCASE | FR_WHOLEWORD);
  search(state, options | (forward ? FR_DOWN : 0));
}

bool isFindDialogMessage(const ViewerState& state, const MSG* msg) {
  return state.find.dialog != nullptr && IsDialogMessage(state.find.dialog, msg) != FALSE;
}
