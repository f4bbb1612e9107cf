// The "EDIT" control: a single-line text field (the find dialog's find-what field). It answers
// WM_SETTEXT, WM_GETTEXT, EM_SETSEL (0x00B1, as the text view's) and EM_LIMITTEXT, and tells
// its parent of the user's changes with WM_COMMAND(EN_CHANGE).
#pragma once

#include "platform/system/windows.h"

inline constexpr const WCHAR* WC_EDIT = u"EDIT";
inline constexpr UINT EM_LIMITTEXT = 0x00C5;  // wParam: most units the user may type (0 = 32767)
inline constexpr WORD EN_CHANGE = 0x0300;
