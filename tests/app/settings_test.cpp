// The settings file and applying it: sizes, defaults, kept bytes, hot keys, character sets.
#include <cstring>

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

TEST(FileBrowserFontHeight, TruncatesTowardZero) {
  const int32_t zooms[] = {0, 90, 95, 100, 105, 110, 115, 125, 150, 200};
  const int32_t heights[] = {0, 10, 11, 12, 12, 13, 13, 15, 18, 24};
  for (size_t i = 0; i < std::size(zooms); ++i) EXPECT_EQ(fileBrowserFontHeight(zooms[i]), heights[i]) << zooms[i];
}

class ApplySettingsTest : public ViewerTest {};

TEST_F(ApplySettingsTest, ImageReachesTheViewerState) {
  startViewer(u"", settingsBytes(125, 14, 2, 1, 0, u"Noto Sans CJK JP"));
  EXPECT_EQ(state->zoomPercent, 125);
  EXPECT_EQ(state->encoding, 14u);
  EXPECT_EQ(state->lineStyle, 2u);
  EXPECT_EQ(state->useSystemDialog, 0u);
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
