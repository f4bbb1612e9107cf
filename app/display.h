// Pushing the decoded text and the view settings into the text view (the refresh request).
#pragma once

#include "app/viewer_state.h"

// Page-style values of the three line styles: none, ruled lines, dotted lines.
inline constexpr WPARAM kPageStyleForLineStyle[3] = {PS_NONE, PS_RULEDLINES, PS_DOTTEDLINES};

// The record that hands a decoded text's storage over to the text view (EM_SETTEXTHANDOVER);
// the buffer is left without storage. Its text is nullptr when the buffer had none.
TEXTHANDOVER textHandoverOf(WideBuffer& text);
// Hands the decoded text's storage over to the text view, which shows it in place; the buffer
// is left without storage. Nothing when it has none.
void handOverText(HWND view, WideBuffer& text);

void refreshDisplay(ViewerState& state);
