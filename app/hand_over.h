// Handing a document to the running viewer: a start that finds a viewer already running on its
// device, and names a document, passes the document's path to that viewer (WM_COPYDATA), which
// opens it as the open command opens a chosen file. A start without a document only brings the
// running viewer forward.
#pragma once

#include "app/viewer_state.h"

// The WM_COPYDATA kind of a handed-over path ("QSOD"): UTF-16 units, zero-terminated or not,
// fewer than kPathUnits.
inline constexpr ULONG_PTR kHandOverCopyDataKind = 0x51534F44;
// Posted by the main window to itself to open the handed-over document once the current
// message is done.
inline constexpr UINT kOpenHandedOverMessage = WM_APP + 1;

// The second start's side: hands `path` to the running viewer's main window. Returns whether
// that viewer took it; a path that does not fit a path buffer is not handed over.
bool handOverDocument(HWND runningViewer, LPCWSTR path);

// The running viewer's side of WM_COPYDATA: keeps the path and posts kOpenHandedOverMessage.
// Returns TRUE when the block was a path it took, FALSE for anything else.
LRESULT receiveHandedOverDocument(ViewerState& state, HWND mainWindow, const COPYDATASTRUCT* block);

// Opens the kept path as a chosen document: path, rich-document flag, load, decode, refresh.
void openHandedOverDocument(ViewerState& state);
