// The View dialog: zoom, font face, encoding, line style and the choice of open dialog. It
// edits those five fields of the settings file and tells its caller only whether the user
// accepted; the viewer picks the values up by applying the settings file again.
#pragma once

#include <cstdint>

#include "platform/system/windows.h"

inline constexpr int kViewFontSlots = 20;      // at most 20 font families are listed
inline constexpr int kViewFontSlotUnits = 33;  // each slot holds a name and its terminator
inline constexpr int kZoomChoiceCount = 9;
inline constexpr int kLineStyleCount = 3;

// The zoom entries, in list order ("120" is not offered), and the line styles by value.
extern const WCHAR* const kZoomChoices[kZoomChoiceCount];
extern const WCHAR* const kLineStyleNames[kLineStyleCount];

class ViewDialog {
 public:
  ViewDialog() = default;

  // Shows dialog 1004 modally over `parent`; returns true after OK, false after Cancel or when
  // the dialog could not be shown.
  bool run(HWND parent, HINSTANCE instance);

  HINSTANCE instance = nullptr;                          // where the dialog template comes from
  WCHAR fontNames[kViewFontSlots][kViewFontSlotUnits]{}; // the enumerated family names
  int32_t fontCount = 0;                                 // filled slots of fontNames, 0..20
  WCHAR faceName[64]{};                                  // the face being edited (33 units are read)
  int32_t encoding = 0;                                  // EncodingIndex, -1 when none selected
  int32_t zoomPercent = 0;                               // zoom in percent, 0 when none selected
  int32_t lineStyle = 0;                                 // line style, -1 when none selected
  bool accepted = false;                                 // true after OK: the result of run
  int32_t useSystemDialog = 0;                           // 1 when "Default File Dialog" is checked

  // Called once per font family by the enumeration; stops it after 20 names.
  static int CALLBACK collectFontName(const LOGFONT* logFont, const TEXTMETRIC* metrics, DWORD fontType,
                                      LPARAM self);

 private:
  static BOOL CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void initControls(HWND dialog);
  void readControls(HWND dialog);
};
