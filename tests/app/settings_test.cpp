// The settings file and applying it: sizes, defaults, kept bytes, hot keys, character sets.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "app/apply_settings.h"
#include "settings/settings_file.h"
#include "tests/app/viewer_fixture.h"

using platform::testing::DeviceSandbox;
using platform::testing::ScopedHook;

namespace {

const std::u16string kSettingsDevicePath = u"\\Program Files\\Quillscope\\Setting.dat";

void expectDefaults(const SettingsImage& image) {
  EXPECT_EQ(image.zoomPercent, 0);
  EXPECT_EQ(image.faceName[0], 0);
  EXPECT_EQ(image.encoding, 0);
  EXPECT_EQ(image.lineStyle, 0);
  EXPECT_EQ(image.appKeysEnabled, 1);
  const int32_t keys[9] = {8, 9, 6, 7, 0, 1, 0, 2, 3};
  EXPECT_EQ(std::memcmp(image.keyActions, keys, sizeof keys), 0);
  EXPECT_EQ(image.useSystemDialog, 1);
  for (uint8_t b : image.reserved) EXPECT_EQ(b, 0);
}

TEST(SettingsFileTest, NoFileIsCreatedEmptyAndGivesTheDefaults) {
  DeviceSandbox device;
  device.writeFile(u"\\Program Files\\Quillscope\\keep", "");
  {
    SettingsFile settings;
    expectDefaults(settings.image);
    EXPECT_EQ(settings.fileSize, 0u);
  }
  EXPECT_TRUE(device.exists(kSettingsDevicePath));
  EXPECT_EQ(device.readFile(kSettingsDevicePath), "");
}

TEST(SettingsFileTest, FilesOf183And185BytesLoadAsDefaultsAndAreNotTouched) {
  for (size_t size : {183u, 185u}) {
    DeviceSandbox device;
    std::string bytes(size, '\x05');
    device.writeFile(kSettingsDevicePath, bytes);
    { SettingsFile settings; expectDefaults(settings.image); }
    EXPECT_EQ(device.readFile(kSettingsDevicePath), bytes) << size;
  }
}

TEST(SettingsFileTest, SaveKeepsReservedBytesAndALongerFileKeepsItsTail) {
  DeviceSandbox device;
  std::string bytes = settingsBytes(100, 3, 1);
  for (int i = 68; i < 132; ++i) bytes[i] = static_cast<char>(i);
  device.writeFile(kSettingsDevicePath, bytes);
  {
    SettingsFile settings;
    EXPECT_EQ(settings.image.encoding, 3);
    settings.image.zoomPercent = 150;
    EXPECT_TRUE(settings.save());
  }
  std::string saved = device.readFile(kSettingsDevicePath);
  ASSERT_EQ(saved.size(), 184u);
  EXPECT_EQ(saved.substr(68, 64), bytes.substr(68, 64));
  int32_t zoom = 0;
  std::memcpy(&zoom, saved.data(), 4);
  EXPECT_EQ(zoom, 150);

  std::string longer = bytes + "tail";
  device.writeFile(kSettingsDevicePath, longer);
  {
    SettingsFile settings;  // 188 bytes: the defaults
    expectDefaults(settings.image);
    EXPECT_TRUE(settings.save());
  }
  saved = device.readFile(kSettingsDevicePath);
  ASSERT_EQ(saved.size(), 188u);
  EXPECT_EQ(saved.substr(184), "tail");
}

TEST(SettingsFileTest, TwoOpenersShareTheFile) {
  DeviceSandbox device;
  device.writeFile(kSettingsDevicePath, settingsBytes(90, 1, 0));
  SettingsFile first;
  SettingsFile second;
  EXPECT_NE(first.handle, INVALID_HANDLE_VALUE);
  EXPECT_NE(second.handle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(second.image.zoomPercent, 90);
}

TEST(SettingsFileTest, MissingFolderGivesDefaultsAndSaveFails) {
  DeviceSandbox device;  // no "\Program Files\Quillscope" at all
  SettingsFile settings;
  expectDefaults(settings.image);
  EXPECT_FALSE(settings.save());
  EXPECT_FALSE(device.exists(kSettingsDevicePath));
}

// A save in a child process of its own under a file size limit (which is per process) that
// cuts its writes short, as a full disk would. Returns 1 when save() reported success, 0 when
// it reported failure, -1 when the child ended otherwise.
int saveUnderSizeLimit(rlim_t limit, int32_t zoom) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);  // the write comes back short instead of ending the program
    const rlimit bytes{limit, limit};
    if (::setrlimit(RLIMIT_FSIZE, &bytes) != 0) ::_exit(3);
    SettingsFile settings;
    settings.image.zoomPercent = zoom;
    settings.image.encoding = 7;
    ::_exit(settings.save() ? 1 : 0);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 1) return -1;
  return WEXITSTATUS(status);
}

// Every save leaves either the whole old file or the whole new one, whatever point the write
// is cut at, and a reader that opened the file before the save still reads a whole image.
TEST(SettingsFileTest, ASaveCutShortLeavesTheOldFileWhole) {
  const std::string image = settingsBytes(100, 1, 0);
  struct Case {
    std::string old;  // the file before the save
    rlim_t limit;     // the largest file the save may write
  };
  const Case cases[] = {
      {image, 0}, {image, 1}, {image, 100}, {image, 183}, {image, 184}, {image, RLIM_INFINITY},
      {image + "tail", 184}, {image + "tail", 187}, {image + "tail", 188}, {std::string(100, '\x05'), 150},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("old file of " + std::to_string(c.old.size()) + " bytes, limit " + std::to_string(c.limit));
    DeviceSandbox device;
    device.writeFile(kSettingsDevicePath, c.old);
    SettingsFile reader;  // opened before the save
    const size_t newSize = std::max<size_t>(184, c.old.size());
    const int saved = saveUnderSizeLimit(c.limit, 175);
    ASSERT_GE(saved, 0);
    const std::string after = device.readFile(kSettingsDevicePath);
    if (c.limit >= newSize) {
      EXPECT_EQ(saved, 1);
      ASSERT_EQ(after.size(), newSize);
      int32_t zoom = 0;
      int32_t encoding = 0;
      std::memcpy(&zoom, after.data(), 4);
      std::memcpy(&encoding, after.data() + 132, 4);
      EXPECT_EQ(zoom, 175);
      EXPECT_EQ(encoding, 7);
      EXPECT_EQ(after.substr(184), c.old.size() > 184 ? c.old.substr(184) : "");
    } else {
      EXPECT_EQ(saved, 0);
      EXPECT_EQ(after, c.old);
    }
    EXPECT_FALSE(device.exists(u"\\Program Files\\Quillscope\\Setting.dat.new"));
    char seen[184] = {};
    DWORD read = 0;
    ASSERT_NE(SetFilePointer(reader.handle, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    ASSERT_TRUE(ReadFile(reader.handle, seen, sizeof seen, &read, nullptr));
    EXPECT_EQ(std::string(seen, read), c.old.substr(0, 184));
  }
}

TEST(FileBrowserFontHeight, TruncatesTowardZero) {
  // A hostile zoom from a settings file gives a height too, not an overflow.
  const int32_t zooms[] = {0, 90, 95, 100, 105, 110, 115, 125, 150, 200, INT32_MAX, INT32_MIN};
  const int32_t heights[] = {0, 10, 11, 12, 12, 13, 13, 15, 18, 24, 257698037, -257698037};
  for (size_t i = 0; i < std::size(zooms); ++i) EXPECT_EQ(fileBrowserFontHeight(zooms[i]), heights[i]) << zooms[i];
}

class ApplySettingsTest : public ViewerTest {};

TEST_F(ApplySettingsTest, ImageReachesTheViewerState) {
  startViewer(u"", settingsBytes(125, 14, 2, 1, 0, u"Noto Sans CJK JP"));
  EXPECT_EQ(state->zoomPercent, 125);
  EXPECT_EQ(state->encoding, 14u);
  EXPECT_EQ(state->lineStyle, 2u);
  EXPECT_FALSE(state->useSystemDialog);
  EXPECT_EQ(std::u16string(state->font.lfFaceName), u"Noto Sans CJK JP");
  EXPECT_EQ(state->font.lfHeight, 12);
  EXPECT_EQ(state->font.lfCharSet, 136);
  EXPECT_EQ(state->keyActions[0], 8);
  EXPECT_EQ(state->keyActions[8], 3);
  EXPECT_TRUE(state->hotKeysRegistered);
}

TEST_F(ApplySettingsTest, OutOfRangeEncodingsGiveCharacterSet128) {
  for (int32_t encoding : {25, -1}) {
    device->writeFile(kSettingsDevicePath, settingsBytes(100, encoding, 0));
    if (!state) startViewer(u"", "");
    applySettings(*state, state->mainWindow);
    EXPECT_EQ(state->font.lfCharSet, 128) << encoding;
  }
}

TEST_F(ApplySettingsTest, AppKeysFlagOfTwoNeitherRegistersNorUnregisters) {
  startViewer(u"", settingsBytes(100, 1, 0, /*appKeys=*/2));
  EXPECT_FALSE(state->hotKeysRegistered);
  state->hotKeysRegistered = true;
  applySettings(*state, state->mainWindow);
  EXPECT_TRUE(state->hotKeysRegistered);

  device->writeFile(kSettingsDevicePath, settingsBytes(100, 1, 0, /*appKeys=*/0));
  applySettings(*state, state->mainWindow);
  EXPECT_FALSE(state->hotKeysRegistered);
}

TEST_F(ApplySettingsTest, FaceNameWithoutTerminatorIsCutToTheFontRecord) {
  std::string bytes = settingsBytes(100, 1, 0);
  for (int i = 0; i < 32; ++i) { bytes[4 + 2 * i] = 'F'; bytes[5 + 2 * i] = 0; }
  startViewer(u"", bytes);
  EXPECT_EQ(lstrlen(state->font.lfFaceName), 31);
}

}  // namespace
