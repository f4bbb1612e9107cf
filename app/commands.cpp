#include "app/commands.h"

#include "app/apply_settings.h"
#include "app/background_load.h"
#include "app/choose_document.h"
#include "app/decode_document.h"
#include "app/document_loader.h"
#include "app/document_session.h"
#include "app/viewer_state.h"
#include "settings/key_dialog.h"
#include "settings/view_dialog.h"
#include "shell/extensions_dialog.h"

void runViewCommand(ViewerState& state) {
  ViewDialog dialog;
  if (dialog.run(state.mainWindow, state.instance)) {
    finishBackgroundLoad(state);  // the text is decoded again from all of the file's bytes
    applySettings(state, state.mainWindow);
    // The view lets go of the old text before the new one is decoded, so that the two are never
    // held together; the place it showed is kept for the new text.
    keepPlaceForDecodingAgain(state);
    decodeDocument(state);
    PostMessage(state.mainWindow, WM_PAINT, 0, 0);
    if (!state.session.path.empty()) noteDocumentShown(state, ShowReason::kDecodedAgain);
  }
}

void runKeyBindCommand(ViewerState& state) {
  // The dialog edits the settings file; applying it again puts the bindings and the capture of
  // the application keys into effect, after OK and Cancel alike.
  KeyDialog dialog;
  dialog.run(state.mainWindow, state.instance);
  applySettings(state, state.mainWindow);
}

void runOpenCommand(ViewerState& state) {
  leaveDocument(state);  // while the view still shows it
  if (chooseDocument(state, state.mainWindow)) {
    loadDocument(state, state.mainWindow);
    decodeDocument(state);
    PostMessage(state.mainWindow, WM_PAINT, 0, 0);
    noteDocumentShown(state, ShowReason::kOpened);
  }
}

void runExtensionCommand(ViewerState& state) {
  ExtensionsDialog dialog;
  dialog.run(state.mainWindow, state.instance);
}
