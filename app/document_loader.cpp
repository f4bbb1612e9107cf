#include "app/document_loader.h"

#include <cstring>

#include "app/background_load.h"

namespace {

constexpr WCHAR kSizeAdviceText[] = u"Quillscope can display up to 64kbyte text.";
constexpr WCHAR kSizeAdviceCaption[] = u"Information";
// Sizes are signed 32-bit in the buffers, and the stream hands out the zero byte too, so
// byteCount + 1 must fit: 2^31 - 2 bytes at most.
constexpr uint32_t kLargestDocument = 0x7FFFFFFE;

bool endsWith(LPCWSTR path, int length, const WCHAR (&suffix)[5]) {
  return std::memcmp(path + length - 4, suffix, 4 * sizeof(WCHAR)) == 0;
}

// The size of an open file, or 0 when it cannot be sized or is too large for the buffers:
// such a file shows as an empty document, never as a wrapped size.
uint32_t documentSize(HANDLE file) {
  DWORD high = 0;
  const uint32_t size = GetFileSize(file, &high);
  return high != 0 || size > kLargestDocument ? 0 : size;
}

// Reads the whole of the open file of `size` bytes into the byte buffer and closes it.
// Returns `size`, or 0 when there is no storage for it.
uint32_t readWholeFile(ViewerState& state, HANDLE file, uint32_t size) {
  if (size > 0 && state.fileBytes.ensureCapacity(size) && state.wideText.ensureCapacity(size)) {
    DWORD read = 0;
    if (ReadFile(file, state.fileBytes.data, size, &read, nullptr) && read <= size) {
      state.byteCount = static_cast<int32_t>(read);
    }
  } else if (size > 0) {
    size = 0;  // no storage for it
  }
  CloseHandle(file);
  return size;
}

}  // namespace

bool isRichDocumentPath(LPCWSTR path) {
  const int length = lstrlen(path);
  if (length <= 3) return false;
  return endsWith(path, length, u".psw") || endsWith(path, length, u".doc");
}

RichDocumentMode documentModeOf(LPCWSTR path) { return isRichDocumentPath(path) ? kRichDocument : kDecodedText; }

void loadDocument(ViewerState& state, HWND mainWindow) {
  cancelBackgroundLoad(state);  // the buffers are about to hold another document
  state.byteCount = 0;
  uint32_t size = 0;
  HANDLE file = CreateFile(state.path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    size = documentSize(file);
    // A big plain text shows its first screen now; a thread of its own reads the rest.
    if (startBackgroundLoad(state, file, size) == 0) size = readWholeFile(state, file, size);
  }

  if (!backgroundLoadPending(state)) {
    // Even an empty document keeps its zero byte after the content.
    if (state.fileBytes.data == nullptr) state.fileBytes.ensureCapacity(1);
    if (state.fileBytes.data != nullptr) state.fileBytes.data[state.byteCount] = 0;
    if (state.wideText.data != nullptr) state.wideText.data[0] = 0;
  }

  SendMessage(state.textView, EM_CLEARALL, 0, 0);

  if (state.richDocument == kRichDocument) {
    state.streamCursor.start = state.fileBytes.data;
    state.streamCursor.current = state.fileBytes.data;
    state.streamCursor.limit = state.fileBytes.data != nullptr ? state.byteCount + 1 : 0;
    state.streamRequest.dwCookie = reinterpret_cast<DWORD_PTR>(&state.streamCursor);
    state.streamRequest.dwError = 0;
    state.streamRequest.pfnCallback = streamInCallback;
    SendMessage(state.textView, EM_STREAMIN, SF_PWI, reinterpret_cast<LPARAM>(&state.streamRequest));
    return;
  }

  if (size > kSizeAdviceLimit) {
    // Advice only: the whole file is still decoded and shown.
    MessageBox(mainWindow, kSizeAdviceText, kSizeAdviceCaption, MB_OK | MB_ICONEXCLAMATION);
  }
  SendMessage(state.textView, EM_STREAMIN, SF_TEXT, 0);
}

DWORD streamInCallback(DWORD_PTR cookie, BYTE* buffer, LONG requested, LONG* delivered) {
  auto* cursor = reinterpret_cast<StreamCursor*>(cookie);
  const int64_t consumed = cursor->current - cursor->start;
  const int64_t available = consumed < cursor->limit ? cursor->limit - consumed : 0;
  const int64_t n = requested < available ? (requested > 0 ? requested : 0) : available;
  *delivered = static_cast<LONG>(n);
  if (n > 0) {
    std::memcpy(buffer, cursor->current, static_cast<size_t>(n));
    cursor->current += n;
  }
  return 0;
}
