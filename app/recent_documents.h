// The recent documents (Ctrl+Shift+O): the last ten documents read, newest first, in a pop-up
// menu over the text; the one chosen by keyboard or pointer opens as the open command opens a
// choice.
#pragma once

struct ViewerState;

inline constexpr int kRecentCount = 10;
inline constexpr unsigned kRecentFirstCommand = 2101;  // menu commands 2101..2110

void showRecentDocuments(ViewerState& state);
