#include "app/choose_document.h"

#include <cstring>

#include "app/document_loader.h"
#include "app/file_browser.h"
#include "platform/system/commdlg.h"

const WCHAR kSystemFilterList[] =
    u"Document File\0*.txt;*.prc;*.pdb;*.doc;*.psw\0"
    u"Text File(*.txt)\0*.txt\0"
    u"Palm Doc(*.pdb,*.prc)\0*.prc;*.pdb\0"
    u"All File(*.*)\0*.*\0";

bool chooseDocument(ViewerState& state, HWND owner) {
  bool chosen = false;
  if (state.useSystemDialog) {
    std::memset(state.path, 0, sizeof state.path);
    OPENFILENAME request{};
    request.lStructSize = kOpenFileNameSize;
    request.hwndOwner = owner;
    request.lpstrFilter = kSystemFilterList;
    request.lpstrFile = state.path;
    request.nMaxFile = kSystemDialogPathUnits;
    request.Flags = OFN_FILEMUSTEXIST;
    chosen = GetOpenFileName(&request) != FALSE;
  } else {
    state.path[0] = 0;
    // The program's own file browser is built by the settings; without one no dialog runs.
    if (state.fileBrowser) chosen = state.fileBrowser->run(owner, state.path) != 0;
  }
  if (chosen) state.richDocument = documentModeOf(state.path);
  return chosen;
}
