#include "app/viewer_state.h"

#include "app/background_load.h"
#include "app/file_browser.h"
#include "app/key_actions.h"

ViewerState::ViewerState(LPCWSTR commandLine) {
  // The command line is the path, quotes and spaces included. One that does not fit in the
  // path buffer is refused rather than cut, since a cut path names a different file.
  if (commandLine != nullptr && lstrlen(commandLine) < kPathUnits) {
    wsprintf(path, u"%s", commandLine);
  } else {
    path[0] = 0;
  }
}

// A load still running writes into the buffers: it ends before they go.
ViewerState::~ViewerState() { cancelBackgroundLoad(*this); }

void ViewerState::teardown() {
  cancelBackgroundLoad(*this);
  fileBytes.release();
  fileBrowser.reset();
  unregisterAppKeys(*this);
}

ViewerState* viewerStateOf(HWND hwnd) {
  return reinterpret_cast<ViewerState*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
}
