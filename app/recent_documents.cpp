#include "app/recent_documents.h"

#include <string>
#include <vector>

#include "app/document_session.h"

namespace {

// "&1 name.txt  \folder\": the digit chooses it from the keyboard, the folder tells twins apart.
std::u16string itemText(size_t index, const std::u16string& path) {
  const size_t slash = path.find_last_of(u"\\/");
  const std::u16string name = slash == std::u16string::npos ? path : path.substr(slash + 1);
  const std::u16string folder = slash == std::u16string::npos ? std::u16string() : path.substr(0, slash + 1);
  const char16_t digit = static_cast<char16_t>(index == 9 ? u'0' : u'1' + index);
  return std::u16string(u"&") + digit + u" " + name + u"  " + folder;
}

}  // namespace

void showRecentDocuments(ViewerState& state) {
  std::vector<std::u16string> paths;
  for (const StoredPosition& entry : state.session.positions.entries()) {
    if (paths.size() == kRecentCount) break;
    paths.push_back(entry.path);
  }
  HMENU menu = CreatePopupMenu();
  if (paths.empty()) AppendMenu(menu, MF_STRING | MF_GRAYED, kRecentFirstCommand, u"No recent documents");
  for (size_t i = 0; i < paths.size(); ++i) {
    AppendMenu(menu, MF_STRING, kRecentFirstCommand + static_cast<UINT>(i), itemText(i, paths[i]).c_str());
  }
  // Over the top left of the text, where the reader's eyes are.
  POINT at{24, 24};
  ClientToScreen(state.textView, &at);
  const UINT chosen = static_cast<UINT>(TrackPopupMenuEx(menu, TPM_RETURNCMD, at.x, at.y, state.mainWindow, nullptr));
  DestroyMenu(menu);
  if (chosen >= kRecentFirstCommand && chosen < kRecentFirstCommand + paths.size()) {
    const std::u16string path = paths[chosen - kRecentFirstCommand];  // a copy: opening reorders the list
    openDocumentPath(state, path.c_str());
  }
}
