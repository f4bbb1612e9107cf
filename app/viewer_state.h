// The one record of the running viewer. It lives on the entry point's stack for the whole run;
// the main window finds it again through its user data on every message.
#pragma once

#include <cstdint>
#include <memory>

#include "app/find_command.h"
#include "app/reading_session.h"
#include "decode/document_buffers.h"
#include "platform/system/windows.h"
#include "platform/textview/richink.h"

class FileBrowserDialog;
struct BackgroundLoad;

inline constexpr int kPathUnits = 1024;  // path buffers hold 1024 units with the terminator
inline constexpr int kKeySlotCount = 9;

// How the document in memory is shown.
enum RichDocumentMode : int32_t {
  kNoDocumentYet = -1,  // nothing chosen since start-up
  kDecodedText = 0,     // plain text the program decodes
  kRichDocument = 1,    // streamed unconverted into the text view
};

// Where the stream-in callback is in the bytes it hands to the text view.
struct StreamCursor {
  const uint8_t* start = nullptr;    // first byte of the file's bytes, borrowed from fileBytes
  const uint8_t* current = nullptr;  // next byte to deliver
  int32_t limit = 0;                 // bytes to deliver in all: byteCount + 1 (the zero byte too)
};

struct ViewerState {
  HWND mainWindow = nullptr;        // the main window
  HINSTANCE instance = nullptr;     // the program instance, owner of every resource
  LOGFONT font{};                   // the text font: height, character set and face name
  uint32_t encoding = 0;            // the EncodingIndex in force
  int32_t zoomPercent = 0;          // text view zoom in percent
  uint32_t lineStyle = 0;           // 0 none, 1 ruled lines, 2 dotted lines
  uint32_t appKeysEnabled = 0;      // 1 = the application keys are hot keys while focused
  bool hotKeysRegistered = false;   // true while the four hot keys are registered
  int32_t keyActions[kKeySlotCount]{};  // KeyAction per KeySlot: UP, DOWN, LEFT, RIGHT, CENTER, APP1..4
  HWND menuBar = nullptr;           // the shell menu bar of the main window
  HWND textView = nullptr;          // the text view child
  std::unique_ptr<FileBrowserDialog> fileBrowser;  // owned: the program's own open dialog, or none
  bool useSystemDialog = false;     // open through the system's dialog, else the file browser
  ByteBuffer fileBytes;             // owned: the raw bytes of the loaded file and a zero byte
  int32_t byteCount = 0;            // bytes the last load read: the document's length
  WideBuffer wideText;              // owned: the decoded text, zero-terminated, until the refresh
                                    // hands its storage over to the text view (then empty)
  RichDocumentMode richDocument = kNoDocumentYet;  // how the document in memory is shown
  EDITSTREAM streamRequest{};       // the stream-in request handed to the text view
  StreamCursor streamCursor;        // read position while a rich document is streamed
  WCHAR path[kPathUnits]{};         // the current document's full path, zero-terminated
  WCHAR handedOverPath[kPathUnits]{};  // a document another start handed over, until it is opened; else empty
  ReadingSession session;           // the document as the title reports it, and where the reader was
  FindSession find;                 // the find dialog and what was last looked for
  std::unique_ptr<BackgroundLoad> backgroundLoad;  // owned: a big document's load still running
                                                   // on its own thread (it borrows fileBytes and
                                                   // wideText meanwhile), or none

  // Takes the command line verbatim as the path. A command line that does not fit is refused
  // whole (the path stays empty, so the open command runs) rather than cut to another path.
  explicit ViewerState(LPCWSTR commandLine);
  ~ViewerState();
  ViewerState(const ViewerState&) = delete;
  ViewerState& operator=(const ViewerState&) = delete;

  // After the message loop: stops a background load, gives back the file's bytes, frees the
  // file browser (and its font) and unregisters the hot keys.
  void teardown();
};

// The ViewerState stored in a window's user data.
ViewerState* viewerStateOf(HWND hwnd);
