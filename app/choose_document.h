// The open command: the user picks a document with the system's open dialog or the program's
// own file browser, as the settings say.
#pragma once

#include "app/viewer_state.h"

inline constexpr DWORD kSystemDialogPathUnits = 256;  // the system dialog writes at most 255 units

// The file types offered by the system dialog: pairs of name and ";"-separated patterns, each
// zero-terminated, and one more zero at the end.
extern const WCHAR kSystemFilterList[];

// Writes the chosen path into state.path and sets state.richDocument from it. Returns whether
// a file was chosen; on a cancel the path is empty and richDocument unchanged.
bool chooseDocument(ViewerState& state, HWND owner);
