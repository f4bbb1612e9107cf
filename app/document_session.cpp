#include "app/document_session.h"

#include <algorithm>

#include "app/background_load.h"
#include "app/decode_document.h"
#include "app/document_loader.h"
#include "app/document_status.h"

namespace {

struct DiskState {
  bool present = false;  // a file (not a folder) is there
  uint64_t size = 0;     // its size in bytes
  FILETIME lastWrite{};  // its modification time
};

DiskState diskStateOf(const std::u16string& path) {
  DiskState disk;
  WIN32_FIND_DATA data{};
  HANDLE search = FindFirstFile(path.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return disk;
  FindClose(search);
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return disk;
  disk.present = true;
  disk.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  disk.lastWrite = data.ftLastWriteTime;
  return disk;
}

bool sameTime(const FILETIME& a, const FILETIME& b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// The main window; while it is being created (a document named on the command line) the
// record does not hold its handle yet, but the text view's parent is it.
HWND mainWindowOf(const ViewerState& state) {
  return state.mainWindow != nullptr ? state.mainWindow : GetParent(state.textView);
}

// A document whose text the view shows and whose place is worth keeping.
bool readable(const ViewerState& state) {
  return !state.session.path.empty() && state.session.problem == OpenProblem::kNone && state.textView != nullptr;
}

int64_t topCharacter(const ViewerState& state) {
  return static_cast<int64_t>(SendMessage(state.textView, EM_GETTOPCHAR, 0, 0));
}

void rememberPlace(ViewerState& state, int64_t top) {
  ReadingSession& session = state.session;
  session.positions.remember(
      StoredPosition{session.path, session.size, static_cast<uint32_t>(std::max<int64_t>(top, 0)), state.encoding});
}

// Loads, decodes and asks for the refresh, as the open command does after a choice.
void loadChosenDocument(ViewerState& state) {
  loadDocument(state, state.mainWindow);
  decodeDocument(state);
  PostMessage(state.mainWindow, WM_PAINT, 0, 0);
}

}  // namespace

void keepPlaceForDecodingAgain(ViewerState& state) {
  state.session.pendingTopCharacter = readable(state) ? topCharacter(state) : -1;
  if (state.richDocument == kDecodedText && state.byteCount > 0) SendMessage(state.textView, EM_CLEARALL, 0, 0);
}

void leaveDocument(ViewerState& state) {
  if (!readable(state)) return;
  // A big document left while it loads still has the place it was to be shown at.
  const int64_t pending = state.session.pendingTopCharacter;
  rememberPlace(state, backgroundLoadPending(state) && pending >= 0 ? pending : topCharacter(state));
}

void noteDocumentShown(ViewerState& state, ShowReason reason) {
  ReadingSession& session = state.session;
  int64_t place = -1;
  if (reason == ShowReason::kDecodedAgain) {
    // The place the view showed before the text was decoded again (keepPlaceForDecodingAgain);
    // the refresh sets the new text from the top.
    place = session.pendingTopCharacter;
  } else {
    const uint64_t sizeBefore = session.size;
    const int64_t placeBefore = session.pendingTopCharacter;
    session.path = state.path;
    const DiskState disk = diskStateOf(session.path);
    session.size = disk.size;
    session.lastWrite = disk.lastWrite;
    session.changedOnDisk = false;
    if (reason == ShowReason::kReloaded) {
      // Text that only grew (or kept its size) keeps the reader's place.
      if (disk.size >= sizeBefore) place = placeBefore;
    } else {
      session.lastReadEncoding = -1;
    }
  }
  session.pendingTopCharacter = -1;
  assessDocument(state);

  if (reason == ShowReason::kOpened && session.problem == OpenProblem::kNone) {
    if (const StoredPosition* stored = session.positions.find(session.path)) {
      if (stored->encoding != state.encoding) session.lastReadEncoding = static_cast<int32_t>(stored->encoding);
      // Another size is another text: its old place means nothing there.
      if (stored->size == session.size) place = stored->topCharacter;
    }
    rememberPlace(state, place);
  }
  if (place > 0) {
    session.pendingTopCharacter = place;
    PostMessage(mainWindowOf(state), kRestorePlaceMessage, 0, 0);
  }
  if (!session.path.empty()) SetTimer(mainWindowOf(state), kDiskCheckTimer, kDiskCheckMs, nullptr);
  showDocumentStatus(state);
}

void restorePlace(ViewerState& state) {
  ReadingSession& session = state.session;
  // The first screen of a big document holds only its start: the place waits for the rest.
  if (session.pendingTopCharacter < 0 || backgroundLoadPending(state)) return;
  SendMessage(state.textView, EM_SETTOPCHAR, static_cast<WPARAM>(session.pendingTopCharacter), 0);
  session.pendingTopCharacter = -1;
}

void checkDocumentOnDisk(ViewerState& state) {
  ReadingSession& session = state.session;
  if (session.path.empty() || session.changedOnDisk) return;
  const DiskState disk = diskStateOf(session.path);
  const bool wasPresent = session.problem == OpenProblem::kNone;
  const bool changed = disk.present != wasPresent ||
                       (disk.present && (disk.size != session.size || !sameTime(disk.lastWrite, session.lastWrite)));
  if (!changed) return;
  session.changedOnDisk = true;
  showDocumentStatus(state);
}

void reloadDocument(ViewerState& state) {
  if (state.path[0] == 0) return;
  state.session.pendingTopCharacter = readable(state) ? topCharacter(state) : -1;
  loadChosenDocument(state);
  noteDocumentShown(state, ShowReason::kReloaded);
}

void openDocumentPath(ViewerState& state, LPCWSTR path) {
  if (path == nullptr || path[0] == 0 || lstrlen(path) >= kPathUnits) return;  // a cut path names another file
  leaveDocument(state);
  lstrcpyn(state.path, path, kPathUnits);
  state.richDocument = documentModeOf(state.path);
  loadChosenDocument(state);
  noteDocumentShown(state, ShowReason::kOpened);
}

void openDroppedFiles(ViewerState& state, HDROP drop) {
  const UINT count = DragQueryFile(drop, 0xFFFFFFFFu, nullptr, 0);
  WCHAR path[kPathUnits] = {};
  // A path that does not fit is not cut to another one: the drop is let go.
  if (count > 0 && DragQueryFile(drop, 0, nullptr, 0) < static_cast<UINT>(kPathUnits)) {
    DragQueryFile(drop, 0, path, kPathUnits);
  }
  DragFinish(drop);
  if (path[0] != 0) openDocumentPath(state, path);
}
