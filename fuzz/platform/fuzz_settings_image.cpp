// Fuzzes the settings file with every content of 0 to 400 bytes: loaded through the program's
// own file services in a sandboxed device, put to use where its values reach without a window
// (the character set of the encoding, the file browser's font height), then saved with other
// values and loaded again. A file of exactly 184 bytes is the image, any other gives the
// defaults; a save leaves the new image followed by the old file's bytes after its first 184,
// and nothing beside it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "convert/encoding_catalogue.h"
#include "fuzz/platform/fuzz_temp_device.h"
#include "platform/system/files/device_paths.h"
#include "app/apply_settings.h"
#include "settings/settings_file.h"

namespace fs = std::filesystem;

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

// The settings file of the device, made once: "\" is a fresh temporary folder.
const std::string& settingsHostPath() {
  static const std::string path = [] {
    const std::string folder = fuzzing::makeTempDevice("quill-fuzz-settings");
    fs::create_directories(folder + "/Program Files/Quillscope");
    platform::files::setDeviceRoot(folder);
    return folder + "/Program Files/Quillscope/Setting.dat";
  }();
  return path;
}

std::string readHost(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 400) return 0;
  const std::string& path = settingsHostPath();
  const std::string old(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << old;
  }

  SettingsFile settings;
  SettingsImage expected{};
  if (size == sizeof expected) {
    std::memcpy(&expected, data, size);
  } else {
    setDefaultSettings(expected);
  }
  check(std::memcmp(&settings.image, &expected, sizeof expected) == 0);
  check(settings.fileSize == size);

  // Where the values reach without a window: any value is a defined result.
  const uint8_t charset = charsetForEncoding(static_cast<uint32_t>(settings.image.encoding));
  check(charset == 128 || static_cast<uint32_t>(settings.image.encoding) < static_cast<uint32_t>(kEncodingCount));
  (void)fileBrowserFontHeight(settings.image.zoomPercent);

  settings.image.zoomPercent ^= 0x5A5A;
  settings.image.encoding += 1;
  SettingsImage saved = settings.image;
  check(settings.save());
  std::string image(sizeof saved, '\0');
  std::memcpy(image.data(), &saved, sizeof saved);
  check(readHost(path) == image + (size > sizeof saved ? old.substr(sizeof saved) : std::string()));
  check(!fs::exists(path + ".new"));
  settings.load();
  if (size <= sizeof saved) check(std::memcmp(&settings.image, &saved, sizeof saved) == 0);
  return 0;
}
