#include "settings/settings_file.h"

#include <cstring>

void setDefaultSettings(SettingsImage& image) {
  std::memset(&image, 0, sizeof image);
  image.appKeysEnabled = 1;
  // In KeySlot order: UP, DOWN, LEFT, RIGHT, CENTER, application keys 1 to 4.
  static constexpr int32_t kDefaultBindings[kSettingsKeySlots] = {
      kActionLineUp, kActionLineDown, kActionPageUp, kActionPageDown, kActionNone,
      kActionFileOpen, kActionNone, kActionMinimize, kActionExit,
  };
  std::memcpy(image.keyActions, kDefaultBindings, sizeof kDefaultBindings);
  image.useSystemDialog = 1;
}

SettingsFile::SettingsFile() { load(); }

SettingsFile::~SettingsFile() { close(); }

void SettingsFile::load() {
  close();
  std::memset(&image, 0, sizeof image);
  handle = CreateFile(kSettingsPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  fileSize = GetFileSize(handle, nullptr);
  if (fileSize == sizeof(SettingsImage)) {
    DWORD read = 0;
    // A read that fails or comes up short (the file changed under us) would leave a half-zero
    // image; the defaults are the sound reading of it.
    if (!ReadFile(handle, &image, sizeof image, &read, nullptr) || read != sizeof image) setDefaultSettings(image);
  } else {
    setDefaultSettings(image);
  }
}

bool SettingsFile::save() {
  if (handle == INVALID_HANDLE_VALUE) return false;
  if (SetFilePointer(handle, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
  DWORD written = 0;
  return WriteFile(handle, &image, sizeof image, &written, nullptr) && written == sizeof image;
}

bool SettingsFile::close() {
  if (handle != INVALID_HANDLE_VALUE) {
    CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
  }
  return true;
}
