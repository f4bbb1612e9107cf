#include "app/commands.h"

#include "app/apply_settings.h"
#include "app/choose_document.h"
#include "app/decode_document.h"
#include "app/document_loader.h"
#include "app/viewer_state.h"
#include "settings/view_dialog.h"

void runViewCommand(ViewerState& state) {
  ViewDialog dialog;
  if (dialog.run(state.mainWindow, state.instance)) {
    applySettings(state, state.mainWindow);
    decodeDocument(state);
    PostMessage(state.mainWindow, WM_PAINT, 0, 0);
  }
}

void runKeyBindCommand(ViewerState& state) {
  // The key bindings are edited in the settings file; re-applying it picks up any change.
  applySettings(state, state.mainWindow);
}

void runOpenCommand(ViewerState& state) {
  if (chooseDocument(state, state.mainWindow)) {
    loadDocument(state, state.mainWindow);
    decodeDocument(state);
    PostMessage(state.mainWindow, WM_PAINT, 0, 0);
  }
}
