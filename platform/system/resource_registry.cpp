// The program's resource section: registered once per instance, then looked up by number by
// LoadString, LoadIcon, LoadMenu, DialogBoxParam and the menu bar.
#include <map>

#include "platform/system/handle_allocator.h"
#include "platform/system/resources.h"
#include "platform/system/text_utils.h"

namespace platform {
namespace {

std::map<HINSTANCE, const ResourceSection*>& sections() {
  static std::map<HINSTANCE, const ResourceSection*> table;  // instance -> its section (not owned)
  return table;
}

// The section for an instance; no instance (nullptr) means the running program's.
const ResourceSection* sectionFor(HINSTANCE instance) {
  const auto it = sections().find(instance != nullptr ? instance : programInstance());
  return it == sections().end() ? nullptr : it->second;
}

}  // namespace

void RegisterResourceSection(HINSTANCE instance, const ResourceSection* section) {
  if (section == nullptr) {
    sections().erase(instance);
  } else {
    sections()[instance] = section;
  }
}

const ResourceSection* FindResourceSection(HINSTANCE instance) { return sectionFor(instance); }

const DialogTemplate* FindDialogTemplate(HINSTANCE instance, WORD id) {
  const ResourceSection* section = sectionFor(instance);
  if (section == nullptr || section->dialogs == nullptr) return nullptr;
  for (size_t i = 0; i < section->dialogCount; ++i) {
    if (section->dialogs[i].id == id) return &section->dialogs[i];
  }
  return nullptr;
}

const MenuTemplate* FindMenuTemplate(HINSTANCE instance, WORD id) {
  const ResourceSection* section = sectionFor(instance);
  if (section == nullptr || section->menus == nullptr) return nullptr;
  for (size_t i = 0; i < section->menuCount; ++i) {
    if (section->menus[i].id == id) return &section->menus[i];
  }
  return nullptr;
}

const MenuBarTemplate* FindMenuBarTemplate(HINSTANCE instance, WORD id) {
  const ResourceSection* section = sectionFor(instance);
  if (section == nullptr || section->menuBars == nullptr) return nullptr;
  for (size_t i = 0; i < section->menuBarCount; ++i) {
    if (section->menuBars[i].id == id) return &section->menuBars[i];
  }
  return nullptr;
}

const IconResource* FindIconResource(HINSTANCE instance, WORD id) {
  const ResourceSection* section = sectionFor(instance);
  if (section == nullptr || section->icons == nullptr) return nullptr;
  for (size_t i = 0; i < section->iconCount; ++i) {
    if (section->icons[i].id == id) return &section->icons[i];
  }
  return nullptr;
}

const StringResource* findStringResource(HINSTANCE instance, UINT id) {
  const ResourceSection* section = sectionFor(instance);
  if (section == nullptr || section->strings == nullptr) return nullptr;
  for (size_t i = 0; i < section->stringCount; ++i) {
    if (section->strings[i].id == id) return &section->strings[i];
  }
  return nullptr;
}

}  // namespace platform

int LoadString(HINSTANCE instance, UINT id, LPWSTR buffer, int maxCount) {
  const platform::StringResource* entry = platform::findStringResource(instance, id);
  if (entry == nullptr || entry->text == nullptr) {
    if (buffer != nullptr && maxCount > 0) buffer[0] = 0;
    return 0;
  }
  return platform::text::copyTruncated(platform::text::fromPointer(entry->text), buffer, maxCount);
}
