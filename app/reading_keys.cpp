#include "app/reading_keys.h"

#include "app/document_session.h"
#include "app/find_command.h"
#include "app/recent_documents.h"
#include "platform/system/key_state.h"

namespace {

bool held(int virtualKey) { return GetKeyState(virtualKey) < 0; }

}  // namespace

bool runReadingKey(ViewerState& state, WORD virtualKey) {
  const bool control = held(VK_CONTROL);
  const bool shift = held(VK_SHIFT);
  if (held(VK_MENU)) return false;
  if (virtualKey == VK_F5 && !control && !shift) {
    reloadDocument(state);
    return true;
  }
  if (!control) return false;
  switch (virtualKey) {
    case 'F':
      if (shift) return false;
      runFindCommand(state);
      return true;
    case 'G':
      findAgain(state, !shift);
      return true;
    case 'O':
      if (!shift) return false;  // Ctrl+O alone is the open command
      showRecentDocuments(state);
      return true;
    default:
      return false;
  }
}
