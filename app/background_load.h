// Big plain documents: the first screen is decoded from the start of the file and shown at
// once, while a thread of its own reads and decodes the whole file into the document buffers;
// the view then takes the whole text in place of the first screen's, at the same place.
//
// The first screen's text is exactly the start of the whole text: every catalogue row but the
// Palm DOC books decodes from left to right, so the text of the file's first bytes is the start
// of the whole text except for its last few characters, which may have wanted bytes beyond
// (a sequence cut in two, or a decoder that takes a line feed into a sequence). The first
// screen ends at the last line feed well before that end. Palm DOC books, rich documents, files
// under kBackgroundLoadThreshold and files without such a line feed near their start are read
// and decoded at once, as before.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "app/document_status.h"
#include "app/viewer_state.h"
#include "platform/textview/richink.h"

// Files of at least this many bytes are loaded in the background.
inline constexpr uint32_t kBackgroundLoadThreshold = uint32_t{4} << 20;
// How much of the file the first screen is decoded from, at most.
inline constexpr uint32_t kFirstScreenBytes = uint32_t{256} << 10;
// How often the main window looks whether the loader thread is done.
inline constexpr UINT_PTR kBackgroundLoadTimer = 13002;
inline constexpr UINT kBackgroundLoadCheckMs = 10;

// One background load. The thread owns `file` and writes `bytes`, `text` and the results; the
// main thread reads the results only after the thread has ended, and touches neither buffer
// while it runs.
struct BackgroundLoad {
  HANDLE thread = nullptr;            // the loader thread, owned until its end is collected
  HANDLE file = nullptr;              // the open document, owned by the thread, which closes it
  uint32_t size = 0;                  // the file's size when it was opened: the bytes to read
  uint32_t encoding = 0;              // the EncodingIndex the whole text is decoded with
  ByteBuffer* bytes = nullptr;        // the viewer's byte buffer, borrowed while the thread runs
  WideBuffer* text = nullptr;         // the viewer's text buffer, borrowed while the thread runs
  std::atomic<bool> cancelled{false};  // set by the main thread: stop reading, decode nothing
  int32_t byteCount = 0;              // result: the bytes read (0 when the read failed)
  TextCensus census;                  // result: the census of the decoded text
  TEXTHANDOVER wholeText{};           // result: the decoded text's storage, taken from `text` and
                                      // indexed for the view; owned until sent or discarded
  WideBuffer firstScreen;             // owned until the view takes it: the first screen's text
};

// Units the text decoded from a file's first bytes may be trusted at its end not to hold.
inline constexpr uint32_t kUnsettledTailUnits = 16;
// How much of the text decoded from a file's first bytes (`count` units) is the first screen:
// up to and including the last line feed followed by at least kUnsettledTailUnits more units.
// 0 when there is none.
uint32_t firstScreenLength(const char16_t* text, uint32_t count);

// Starts loading the document open as `file` (of `size` bytes) in the background when it is
// one for that (see above): decodes its first screen, hands the file to the loader thread,
// leaves the byte count at 0 until the rest is in, and returns `size`. Returns 0 for any other
// document, with the file positioned at its start and still the caller's.
uint32_t startBackgroundLoad(ViewerState& state, HANDLE file, uint32_t size);
// Whether a background load has started and its result has not been taken yet.
bool backgroundLoadPending(const ViewerState& state);
// The first screen's text while it waits for the view: the view takes its storage over.
WideBuffer* firstScreenText(ViewerState& state);
// Looks whether the thread is done (the main window's timer) and, when it is, shows the whole
// text (see finishBackgroundLoad).
void checkBackgroundLoad(ViewerState& state);
// Waits for the thread, then gives the view the whole text at the place it shows, takes the
// census, updates the title and restores a reader's place still pending. Nothing without a
// pending load.
void finishBackgroundLoad(ViewerState& state);
// Stops a pending load and drops what it read; the buffers are the viewer's again.
void cancelBackgroundLoad(ViewerState& state);
