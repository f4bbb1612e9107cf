// The handler placed in front of the text view: keys go to the main window, a tap-and-hold
// offers "COPY", everything else reaches the text view unchanged.
#pragma once

#include "platform/system/windows.h"

// The text view's own procedure, saved when textViewProc is installed in front of it.
extern WNDPROC savedTextViewProc;

LRESULT textViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
