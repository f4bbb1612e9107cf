// The settings file "\Program Files\Quillscope\Setting.dat": one open handle and one image,
// for the length of one operation.
#pragma once

#include "platform/system/windows.h"
#include "settings/settings_image.h"

inline constexpr WCHAR kSettingsPath[] = u"\\Program Files\\Quillscope\\Setting.dat";
// Where a save writes the new content before it takes the settings file's name.
inline constexpr WCHAR kSettingsSavePath[] = u"\\Program Files\\Quillscope\\Setting.dat.new";

class SettingsFile {
 public:
  SettingsFile();   // runs load()
  ~SettingsFile();  // closes the file
  SettingsFile(const SettingsFile&) = delete;
  SettingsFile& operator=(const SettingsFile&) = delete;

  // Opens (creating it empty when missing) and reads the file: a 184-byte file is the image,
  // anything else gives the defaults. Apart from creating a missing file, nothing is changed.
  void load();
  // Replaces the file by the 184 bytes of the image followed by the file's bytes after its
  // first 184 (a longer file keeps its length and its tail), in one step: afterwards the file
  // holds either the old content or the new, never a mix. True only when the new content is
  // in place and written through to the storage; the handle then holds the saved file.
  bool save();
  bool close();

  HANDLE handle = INVALID_HANDLE_VALUE;  // owned: the open file, for reading and writing
  DWORD fileSize = 0;                    // the file's size when it was opened (low 32 bits)
  SettingsImage image{};                 // the settings as loaded, or the defaults
};
