// Pushing the decoded text and the view settings into the text view (the refresh request).
#pragma once

#include "app/viewer_state.h"

// Page-style values of the three line styles: none, ruled lines, dotted lines.
inline constexpr WPARAM kPageStyleForLineStyle[3] = {PS_NONE, PS_RULEDLINES, PS_DOTTEDLINES};

void refreshDisplay(ViewerState& state);
