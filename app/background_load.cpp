#include "app/background_load.h"

#include <algorithm>

#include "app/display.h"
#include "app/document_session.h"
#include "convert/decode_text.h"
#include "convert/encoding_catalogue.h"

namespace {

// The loader thread reads in pieces: a cancel is seen within one piece, and the file table is
// never held for long by one read.
constexpr DWORD kReadPieceBytes = DWORD{8} << 20;

// Whether the row's text may be shown from a first screen cut after a line feed: every
// catalogue row but the Palm DOC books, whose text is not the file's bytes.
bool rowDecodesInOrder(uint32_t encoding) {
  const EncodingRow* row = encodingRow(encoding);
  return row != nullptr && row->room == TextRoom::kUnitPerByte;
}

}  // namespace

uint32_t firstScreenLength(const char16_t* text, uint32_t count) {
  if (count <= kUnsettledTailUnits) return 0;
  for (uint32_t end = count - kUnsettledTailUnits; end >= 1; --end) {
    if (text[end - 1] == u'\n') return end;
  }
  return 0;
}

namespace {

DWORD loadWholeDocument(LPVOID parameter) {
  BackgroundLoad& load = *static_cast<BackgroundLoad*>(parameter);
  DWORD total = 0;
  bool failed = false;
  while (total < load.size && !load.cancelled.load(std::memory_order_relaxed)) {
    const DWORD piece = std::min<DWORD>(load.size - total, kReadPieceBytes);
    DWORD read = 0;
    if (!ReadFile(load.file, load.bytes->data + total, piece, &read, nullptr)) {
      failed = true;
      break;
    }
    if (read == 0) break;  // the file got shorter: what is there is the document
    total += read;
  }
  CloseHandle(load.file);
  load.file = nullptr;
  if (load.cancelled.load(std::memory_order_relaxed)) return 1;
  // A failed read shows as an empty document, as a failed whole read does.
  load.byteCount = failed ? 0 : static_cast<int32_t>(total);
  load.bytes->data[load.byteCount] = 0;
  load.text->data[0] = 0;
  if (load.byteCount > 0) decodeText(load.encoding, *load.bytes, load.byteCount, *load.text);
  load.census = takeCensus(load.text->text());
  // The view's index of the text is made here too, off the main thread.
  load.wholeText = textHandoverOf(*load.text);
  if (load.wholeText.text != nullptr) PrepareTextHandover(&load.wholeText);
  return 0;
}

// The first screen: decoded from the first bytes, up to a line feed that is surely the whole
// text's too.
bool decodeFirstScreen(HANDLE file, uint32_t encoding, WideBuffer& firstScreen) {
  ByteBuffer head;
  if (!head.ensureCapacity(kFirstScreenBytes)) return false;
  DWORD read = 0;
  if (!ReadFile(file, head.data, kFirstScreenBytes, &read, nullptr) || read == 0) return false;
  head.data[read] = 0;  // the decoders read the zero byte after the last one
  const DecodeOutcome outcome = decodeText(encoding, head, static_cast<int32_t>(read), firstScreen);
  const uint32_t length = outcome.decoded ? firstScreenLength(firstScreen.data, outcome.units) : 0;
  if (length == 0) return false;
  firstScreen.data[length] = 0;
  return true;
}

}  // namespace

uint32_t startBackgroundLoad(ViewerState& state, HANDLE file, uint32_t size) {
  if (state.richDocument != kDecodedText || size < kBackgroundLoadThreshold || !rowDecodesInOrder(state.encoding)) {
    return 0;
  }
  auto load = std::make_unique<BackgroundLoad>();
  const bool started = decodeFirstScreen(file, state.encoding, load->firstScreen) &&
                       SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 && state.fileBytes.ensureCapacity(size) &&
                       state.wideText.ensureCapacity(size);
  if (!started) {
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);  // the whole read starts from the beginning
    return 0;
  }
  state.byteCount = 0;  // until the rest is in
  load->file = file;
  load->size = size;
  load->encoding = state.encoding;
  load->bytes = &state.fileBytes;
  load->text = &state.wideText;
  load->thread = CreateThread(nullptr, 0, loadWholeDocument, load.get(), 0, nullptr);
  if (load->thread == nullptr) {
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    return 0;
  }
  state.backgroundLoad = std::move(load);
  return size;
}

bool backgroundLoadPending(const ViewerState& state) { return state.backgroundLoad != nullptr; }

WideBuffer* firstScreenText(ViewerState& state) {
  return state.backgroundLoad != nullptr ? &state.backgroundLoad->firstScreen : nullptr;
}

void checkBackgroundLoad(ViewerState& state) {
  if (state.backgroundLoad == nullptr) {
    KillTimer(state.mainWindow, kBackgroundLoadTimer);
    return;
  }
  if (WaitForSingleObject(state.backgroundLoad->thread, 0) == WAIT_OBJECT_0) finishBackgroundLoad(state);
}

namespace {

// Takes the pending load from the viewer once its thread has ended (told to stop first with
// `stop`) and stops the timer that looked for it.
std::unique_ptr<BackgroundLoad> endedLoad(ViewerState& state, bool stop) {
  std::unique_ptr<BackgroundLoad> load = std::move(state.backgroundLoad);
  if (stop) load->cancelled.store(true, std::memory_order_relaxed);
  WaitForSingleObject(load->thread, INFINITE);
  CloseHandle(load->thread);
  if (state.mainWindow != nullptr) KillTimer(state.mainWindow, kBackgroundLoadTimer);
  return load;
}

}  // namespace

void finishBackgroundLoad(ViewerState& state) {
  if (state.backgroundLoad == nullptr) return;
  const std::unique_ptr<BackgroundLoad> load = endedLoad(state, false);
  state.byteCount = load->byteCount;

  // The view shows the first screen, perhaps scrolled or with a selection: the whole text
  // takes its place there.
  const HWND view = state.textView;
  const auto top = static_cast<WPARAM>(SendMessage(view, EM_GETTOPCHAR, 0, 0));
  DWORD selectionStart = 0;
  DWORD selectionEnd = 0;
  SendMessage(view, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart), reinterpret_cast<LPARAM>(&selectionEnd));
  if (load->wholeText.text != nullptr) {
    SendMessage(view, EM_SETTEXTHANDOVER, 0, reinterpret_cast<LPARAM>(&load->wholeText));
  } else {
    SendMessage(view, EM_CLEARALL, 0, 0);  // nothing was read: an empty document
  }
  if (top > 0) SendMessage(view, EM_SETTOPCHAR, top, 0);
  if (selectionStart != selectionEnd) SendMessage(view, EM_SETSEL, selectionStart, selectionEnd);

  assessDocument(state, &load->census);
  showDocumentStatus(state);
  restorePlace(state);
}

void cancelBackgroundLoad(ViewerState& state) {
  if (state.backgroundLoad == nullptr) return;
  const std::unique_ptr<BackgroundLoad> load = endedLoad(state, true);
  DiscardTextHandover(&load->wholeText);
  state.byteCount = 0;
  if (state.fileBytes.data != nullptr) state.fileBytes.data[0] = 0;
  if (state.wideText.data != nullptr) state.wideText.data[0] = 0;
}
