// Finding text in the document: Ctrl+F opens the system's modeless find dialog, "Find Next"
// (or Enter) selects the next match in the text view and scrolls it into view, Ctrl+G and
// Shift+Ctrl+G find again forward and backward once the dialog is closed. The search runs
// over the document's text in the view; it wraps around once and says so, and a text that is
// not there is reported in the dialog's status line, never in a message box.
#pragma once

#include "platform/system/commdlg.h"

struct ViewerState;

inline constexpr int kFindTextUnits = 256;  // the find-what buffer, with its terminator

struct FindSession {
  HWND dialog = nullptr;              // the find dialog while it is open
  FINDREPLACE request{};              // the record the dialog edits; lives as long as the viewer
  WCHAR text[kFindTextUnits]{};       // what to find, zero-terminated (request.lpstrFindWhat)
};

// The number of the find dialog's message (registered once).
UINT findDialogMessage();
// Ctrl+F: opens the find dialog, or brings it forward when it is open.
void runFindCommand(ViewerState& state);
// The find dialog's message: a search, or the dialog closing.
void onFindDialogMessage(ViewerState& state, const FINDREPLACE* request);
// Ctrl+G (forward) and Shift+Ctrl+G (backward): the last text again; without one, the dialog.
void findAgain(ViewerState& state, bool forward);
// The modeless dialog's share of the message loop: true when it used the message up.
bool isFindDialogMessage(const ViewerState& state, const MSG* msg);
