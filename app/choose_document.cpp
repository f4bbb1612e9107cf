#include "app/choose_document.h"

#include <cstring>

#include "app/document_loader.h"
#include "platform/system/commdlg.h"

const WCHAR kSystemFilterList[] =
    u"Document File\0*.txt;*.prc;*.pdb;*.doc;*.psw\0"
    u"Text File(*.txt)\0*.txt\0"
    u"Palm Doc(*.pdb,*.prc)\0*.prc;*.pdb\0"
    u"All File(*.*)\0*.*\0";

int chooseDocument(ViewerState& state, HWND owner) {
  int result = 0;
  if (state.useSystemDialog != 0) {
    std::memset(state.path, 0, sizeof state.path);
    OPENFILENAME request{};
    request.lStructSize = kOpenFileNameSize;
    request.hwndOwner = owner;
    request.lpstrFilter = kSystemFilterList;
    request.lpstrFile = state.path;
    request.nMaxFile = kSystemDialogPathUnits;
    request.Flags = OFN_FILEMUSTEXIST;
    result = GetOpenFileName(&request);
  } else {
    state.path[0] = 0;
    // The program's own file browser is built by the settings; without one no dialog runs.
    result = 0;
  }
  if (result != 0) state.richDocument = isRichDocumentPath(state.path);
  return result;
}
