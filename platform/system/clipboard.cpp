// The clipboard: the desktop's clipboard through QGuiApplication::clipboard(). The program puts
// text there as a zero-terminated UTF-16 string in LocalAlloc memory; the layer reads it within
// the block's bounds and owns the block from then on.
#include <QClipboard>
#include <QGuiApplication>

#include "platform/system/local_memory.h"
#include "platform/system/qt_units.h"
#include "platform/system/windows.h"

namespace {

struct ClipboardState {
  bool open = false;        // OpenClipboard was called and CloseClipboard not yet
  void* given = nullptr;    // the block the program handed over last (owned)
  void* handedOut = nullptr;  // the copy GetClipboardData gave out last (owned)
};

ClipboardState& state() {
  static ClipboardState instance;
  return instance;
}

void release(void*& block) {
  if (block != nullptr) LocalFree(block);
  block = nullptr;
}

}  // namespace

BOOL OpenClipboard(HWND /*owner*/) {
  if (state().open) return FALSE;
  state().open = true;
  return TRUE;
}

BOOL EmptyClipboard() {
  if (!state().open) return FALSE;
  release(state().given);
  if (QGuiApplication::instance() != nullptr) QGuiApplication::clipboard()->clear();
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  if (!state().open || format != CF_UNICODETEXT || data == nullptr) return nullptr;
  const auto size = platform::memory::localBlockSize(data);
  if (!size) return nullptr;  // only LocalAlloc memory can be handed over
  const auto* units = static_cast<const char16_t*>(data);
  const size_t maxUnits = *size / sizeof(char16_t);
  size_t length = 0;
  while (length < maxUnits && units[length] != 0) ++length;
  if (QGuiApplication::instance() != nullptr) {
    QGuiApplication::clipboard()->setText(platform::unitsToQString(units, static_cast<qsizetype>(length)));
  }
  if (state().given != data) release(state().given);
  state().given = data;
  return data;
}

HANDLE GetClipboardData(UINT format) {
  if (!state().open || format != CF_UNICODETEXT || QGuiApplication::instance() == nullptr) return nullptr;
  const QString text = QGuiApplication::clipboard()->text();
  release(state().handedOut);
  const size_t bytes = (static_cast<size_t>(text.size()) + 1) * sizeof(char16_t);
  auto* copy = static_cast<char16_t*>(LocalAlloc(LMEM_FIXED, bytes));
  if (copy == nullptr) return nullptr;
  std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), text.size(), copy);
  copy[text.size()] = 0;
  state().handedOut = copy;
  return copy;
}

BOOL CloseClipboard() {
  if (!state().open) return FALSE;
  state().open = false;
  return TRUE;
}
