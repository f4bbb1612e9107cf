// The document's life beyond the handheld's load: where the reader left it (restored when it
// is opened again), whether it changed on disk (checked every two seconds, reloaded only by
// F5), and the title that says all of it.
#pragma once

#include "app/viewer_state.h"
#include "platform/system/shellapi.h"

// Posted to the main window after the refresh request of a load that has a place to go back
// to: by then the text is in the view, so the place can be shown.
inline constexpr UINT kRestorePlaceMessage = WM_APP + 2;  // (WM_APP + 1 is the hand-over's)
// The main window's timer that looks for changes of the document on disk.
inline constexpr UINT_PTR kDiskCheckTimer = 13001;
inline constexpr UINT kDiskCheckMs = 2000;

enum class ShowReason {
  kOpened,        // a document was loaded (command line, open command, drop, recent list)
  kDecodedAgain,  // the same bytes under the settings just confirmed: the place is kept
  kReloaded,      // F5: the file read again; the place is kept when the file did not shrink
};

// Remembers where the reader is in the document shown (before another is chosen, and at exit).
void leaveDocument(ViewerState& state);
// Before the document is decoded again under another encoding: keeps the place the view shows
// for the new text and has the view let go of the old one.
void keepPlaceForDecodingAgain(ViewerState& state);
// After a load or decode and its refresh request: assesses the document, picks the place to
// show (posting kRestorePlaceMessage), remembers it among the recent documents, shows the title.
void noteDocumentShown(ViewerState& state, ShowReason reason);
// kRestorePlaceMessage: shows the place picked for the document.
void restorePlace(ViewerState& state);
// The disk-check timer: a change of the open document's size or time shows in the title.
void checkDocumentOnDisk(ViewerState& state);
// F5: reads the document again from disk with the same encoding.
void reloadDocument(ViewerState& state);
// Opens `path` as the open command opens a chosen document (drop, recent documents).
void openDocumentPath(ViewerState& state, LPCWSTR path);
// WM_DROPFILES: the first file dropped is opened as the open command opens a choice.
void openDroppedFiles(ViewerState& state, HDROP drop);
