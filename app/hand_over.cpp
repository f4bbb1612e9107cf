#include "app/hand_over.h"

#include "app/document_session.h"

bool handOverDocument(HWND runningViewer, LPCWSTR path) {
  const int units = lstrlen(path);
  if (units == 0 || units >= kPathUnits) return false;
  COPYDATASTRUCT block{kHandOverCopyDataKind, static_cast<DWORD>((units + 1) * sizeof(WCHAR)),
                       const_cast<WCHAR*>(path)};
  return SendMessage(runningViewer, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&block)) == TRUE;
}

LRESULT receiveHandedOverDocument(ViewerState& state, HWND mainWindow, const COPYDATASTRUCT* block) {
  if (block == nullptr || block->dwData != kHandOverCopyDataKind || block->lpData == nullptr ||
      block->cbData % sizeof(WCHAR) != 0) {
    return FALSE;
  }
  const auto* units = static_cast<const WCHAR*>(block->lpData);
  const std::size_t count = block->cbData / sizeof(WCHAR);
  std::size_t length = 0;
  while (length < count && units[length] != 0) ++length;
  if (length == 0 || length >= static_cast<std::size_t>(kPathUnits)) return FALSE;  // refused whole, never cut
  std::copy(units, units + length, state.handedOverPath);
  state.handedOverPath[length] = 0;
  // Opened from the queue: the sender does not wait for the load, and a dialog the viewer is
  // showing finishes its own message first.
  PostMessage(mainWindow, kOpenHandedOverMessage, 0, 0);
  return TRUE;
}

void openHandedOverDocument(ViewerState& state) {
  if (state.handedOverPath[0] == 0) return;
  WCHAR path[kPathUnits] = {};
  lstrcpyn(path, state.handedOverPath, kPathUnits);
  state.handedOverPath[0] = 0;
  openDocumentPath(state, path);  // as a chosen document: its place, title and disk check too
}
