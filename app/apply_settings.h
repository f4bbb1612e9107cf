// Putting the settings file into effect on the running viewer.
#pragma once

#include "app/viewer_state.h"

inline constexpr LONG kTextFontHeight = 12;

// Reads the settings file (running the View dialog first while no zoom has been chosen) into
// the viewer's state: font, encoding, zoom, line style, key bindings, dialog choice, and the
// application-key hot keys on `mainWindow` (the window given, which may not be stored yet), and
// builds a new file browser with the new font in place of the old one.
void applySettings(ViewerState& state, HWND mainWindow);

// The file browser's font height for a zoom: zoom × 12 / 100, truncated toward zero. Worked
// out in 64 bits, so that any zoom a settings file holds gives a defined height.
inline int32_t fileBrowserFontHeight(int32_t zoomPercent) {
  return static_cast<int32_t>(int64_t{zoomPercent} * kTextFontHeight / 100);
}
