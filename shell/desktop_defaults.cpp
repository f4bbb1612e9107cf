#include "shell/desktop_defaults.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/shellext/desktop_defaults.h"

namespace {

// The extensions' MIME types.
struct ExtensionTypes {
  const char16_t* extension;                 // ".txt"
  std::vector<const char16_t*> mimeTypes;    // what the desktop calls such files
};

const std::vector<ExtensionTypes>& extensionTypes() {
  static const std::vector<ExtensionTypes> table = {
      {u".txt", {u"text/plain"}},
      {u".pdb", {u"application/vnd.palm", u"application/x-aportisdoc"}},
      {u".prc", {u"application/vnd.palm", u"application/x-aportisdoc", u"application/x-mobipocket-ebook"}},
      {u".doc", {u"application/msword"}},
      {u".psw", {u"application/x-pocket-word"}},
  };
  return table;
}

std::vector<std::u16string_view> typesOf(const std::vector<const char16_t*>& extensions) {
  std::vector<std::u16string_view> types;
  for (const char16_t* extension : extensions) {
    for (const char16_t* type : mimeTypesOf(extension)) {
      if (std::find(types.begin(), types.end(), type) == types.end()) types.push_back(type);
    }
  }
  return types;
}

}  // namespace

std::vector<const char16_t*> mimeTypesOf(const char16_t* extension) {
  for (const ExtensionTypes& entry : extensionTypes()) {
    if (std::u16string_view(entry.extension) == extension) return entry.mimeTypes;
  }
  return {};
}

void followOnDesktop(const std::vector<const char16_t*>& associatedNow, const std::vector<const char16_t*>& handedBack,
                     const std::vector<const char16_t*>& stillAssociated) {
  const std::vector<std::u16string_view> kept = typesOf(stillAssociated);
  for (std::u16string_view type : typesOf(handedBack)) {
    if (std::find(kept.begin(), kept.end(), type) == kept.end()) SHRestoreDesktopDefault(std::u16string(type).c_str());
  }
  for (std::u16string_view type : typesOf(associatedNow)) SHSetDesktopDefault(std::u16string(type).c_str());
}
