#include "settings/settings_file.h"

#include <cstring>
#include <vector>

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

namespace {

bool writeAll(HANDLE file, const void* bytes, DWORD count) {
  DWORD written = 0;
  return WriteFile(file, bytes, count, &written, nullptr) && written == count;
}

// Copies what `from` holds after the image to `to`, whatever its length.
bool copyTail(HANDLE from, HANDLE to) {
  if (SetFilePointer(from, sizeof(SettingsImage), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
  static constexpr DWORD kChunk = 64 * 1024;
  std::vector<uint8_t> chunk(kChunk);
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(from, chunk.data(), kChunk, &read, nullptr)) return false;
    if (read == 0) return true;
    if (!writeAll(to, chunk.data(), read)) return false;
  }
}

}  // namespace

bool SettingsFile::save() {
  if (handle == INVALID_HANDLE_VALUE) return false;
  // The new content goes to a file of its own beside the settings file, all of it and through
  // to the storage, and then takes the settings file's name in one step. A save cut short (a
  // full disk, a killed program) leaves the old file whole; a handle opened before the save
  // keeps reading the old image.
  HANDLE temporary =
      CreateFile(kSettingsSavePath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (temporary == INVALID_HANDLE_VALUE) return false;
  const bool complete = writeAll(temporary, &image, sizeof image) && copyTail(handle, temporary) &&
                        FlushFileBuffers(temporary);
  CloseHandle(temporary);
  if (!complete || !DeleteAndRenameFile(kSettingsPath, kSettingsSavePath)) {
    DeleteFile(kSettingsSavePath);
    return false;
  }
  // The handle still holds the file as it was before; take the one just saved.
  close();
  handle = CreateFile(kSettingsPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  fileSize = GetFileSize(handle, nullptr);
  return true;
}

bool SettingsFile::close() {
  if (handle != INVALID_HANDLE_VALUE) {
    CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
  }
  return true;
}
