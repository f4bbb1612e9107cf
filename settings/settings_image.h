// The settings file's whole content: exactly 184 bytes, no header, magic, version or checksum.
// Integers are 32-bit signed little-endian, text UTF-16 little-endian.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

inline constexpr int kSettingsFaceNameUnits = 32;
inline constexpr int kSettingsKeySlots = 9;

// What a key can be bound to; the settings file stores these numbers per KeySlot.
enum KeyAction : int32_t {
  kActionNone = 0,
  kActionFileOpen = 1,
  kActionMinimize = 2,
  kActionExit = 3,
  kActionViewOption = 4,
  kActionKeyOption = 5,
  kActionPageUp = 6,
  kActionPageDown = 7,
  kActionLineUp = 8,
  kActionLineDown = 9,
  kActionThreeLinesUp = 10,
  kActionThreeLinesDown = 11,
};

struct SettingsImage {
  int32_t zoomPercent;                        // text view zoom in percent; 0 = not chosen yet
  char16_t faceName[kSettingsFaceNameUnits];  // font face name, zero-terminated, rest zero
  uint8_t reserved[64];                       // kept byte for byte through load and save, never read
  int32_t encoding;                           // EncodingIndex 0..19
  int32_t lineStyle;                          // 0 "None", 1 "Line", 2 "Dot "
  int32_t appKeysEnabled;                     // 1 = the application keys are captured as hot keys
  int32_t keyActions[kSettingsKeySlots];      // KeyAction per KeySlot: UP, DOWN, LEFT, RIGHT, CENTER, APP1..4
  int32_t useSystemDialog;                    // 1 = the system's open dialog, 0 = the file browser
};

static_assert(sizeof(SettingsImage) == 184, "the settings image is 184 bytes");
static_assert(offsetof(SettingsImage, faceName) == 4);
static_assert(offsetof(SettingsImage, reserved) == 68);
static_assert(offsetof(SettingsImage, encoding) == 132);
static_assert(offsetof(SettingsImage, lineStyle) == 136);
static_assert(offsetof(SettingsImage, appKeysEnabled) == 140);
static_assert(offsetof(SettingsImage, keyActions) == 144);
static_assert(offsetof(SettingsImage, useSystemDialog) == 180);
// The image is read and written as one block, so the host must share the file's byte order.
static_assert(std::endian::native == std::endian::little, "the settings image is little-endian");

// The defaults: every byte zero except the key bindings, appKeysEnabled and useSystemDialog.
void setDefaultSettings(SettingsImage& image);
