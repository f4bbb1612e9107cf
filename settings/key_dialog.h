// The Key dialog: binds a KeyAction to each of the nine keys and switches the capture of the
// four application keys. It edits appKeysEnabled and the nine key actions of the settings file
// (bytes 140 to 179) and nothing else; the viewer picks them up when its caller applies the
// settings file again, whatever the dialog's outcome.
#pragma once

#include <cstdint>

#include "platform/system/windows.h"
#include "settings/settings_image.h"

class KeyDialog {
 public:
  KeyDialog() = default;

  // Shows dialog 1006 modally over `parent`. Returns 1 in every case: after OK, after Cancel and
  // when the dialog could not be shown.
  int run(HWND parent, HINSTANCE instance);

  HINSTANCE instance = nullptr;                  // where the dialog template comes from
  int32_t appKeysEnabled = 0;                    // 1 while "Enable Application Key" is checked
  int32_t keyActions[kSettingsKeySlots]{};       // KeyAction per KeySlot, in the settings' order

 private:
  static BOOL CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void initControls(HWND dialog);
  void updateAppKeyControls(HWND dialog);
  void readControls(HWND dialog);
};

// The Key dialog's list for each KeySlot (UP, DOWN, LEFT, RIGHT, CENTER, APP1..APP4).
extern const int kKeySlotLists[kSettingsKeySlots];
