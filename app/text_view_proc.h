// The handler placed in front of the text view: keys go to the main window, a tap-and-hold
// offers "COPY" when something is selected, everything else reaches the text view unchanged.
#pragma once

#include "platform/system/windows.h"

// The text view's own procedure, saved when textViewProc is installed in front of it.
extern WNDPROC savedTextViewProc;

LRESULT textViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Whether the text view has a selection (something for COPY to copy).
bool textViewHasSelection(HWND textView);

// The keyboard's way to the "COPY" menu (the Menu key, Shift+F10): offered where the pointer
// is when it is over the text view, else at the view's top left; only while something is
// selected, as with the tap-and-hold.
void offerCopyMenuAtPointer(HWND textView);
