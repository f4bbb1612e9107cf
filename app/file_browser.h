// The program's own "OPEN FILE" dialog, used instead of the system's open dialog when the
// settings say so: a list of file types, the current directory, its subdirectories and a
// three-column list of files. Shortcut files are followed; OK yields the chosen file's full path.
// The object survives between runs, so the dialog reopens in the directory and with the file
// type where the user left it, until the settings are applied again and a new one replaces it.
#pragma once

#include <cstdint>

#include "platform/system/windows.h"

inline constexpr int kBrowserPathUnits = 1024;      // every path buffer, terminator included
inline constexpr int kBrowserFaceNameUnits = 128;   // room for the face name (31 units are used)
inline constexpr int kBrowserExtensionUnits = 128;  // an extension of at most 127 units is compared
inline constexpr int kBrowserSizeTextUnits = 32;
inline constexpr int kBrowserDateTextUnits = 128;

// The file types: pairs of a name and its extensions (with their dot, ";"-separated, no "*"),
// each zero-terminated, and one more zero at the end. ".*" takes every name that has a dot.
extern const WCHAR kBrowserFilterList[];

class FileBrowserDialog {
 public:
  // Copies the face name; starts in "\My Documents\" with the first file type and no font.
  FileBrowserDialog(HINSTANCE instance, const WCHAR* faceName, int32_t fontHeight, uint32_t charset,
                    const WCHAR* filters);
  ~FileBrowserDialog();  // releases the font the dialog made
  FileBrowserDialog(const FileBrowserDialog&) = delete;
  FileBrowserDialog& operator=(const FileBrowserDialog&) = delete;

  // Shows dialog 1008 modally over `owner`. Returns 1 when a file was chosen and its path written
  // to `output` (1024 units), else 0; also 0 at once, without a dialog, while this browser is
  // already running (a second open command queued behind the first).
  uint8_t run(HWND owner, WCHAR* output);
  bool isRunning() const { return running; }

  // The dialog's steps, each on the dialog window it is given.
  void initialise(HWND dialog);     // full screen, the font, the file types and the columns
  void listDirectory(HWND dialog);  // fills both lists from currentDirectory
  // Adds one directory entry that is not a directory: a shortcut to a directory goes to the
  // directory list, a file that passes the filter becomes row `counter`. Returns the next counter.
  int addFileRow(HWND dialog, const WIN32_FIND_DATA& entry, int counter);
  void changeDirectory(const WCHAR* item);  // enters a directory-list item (".." goes up)
  void acceptSelection(HWND dialog);        // OK: the selected row's path into output
  // The target path of a shortcut `name` in `directory`, into `target` (1024 units); false
  // when the name is no shortcut or its target cannot be read.
  static bool resolveShortcut(const WCHAR* directory, const WCHAR* name, WCHAR* target);
  // Whether a name or path passes the selected file type.
  bool passesFilter(const WCHAR* text) const;

  HWND fileList = nullptr;             // the file list control (1010), looked up at each initialisation
  HINSTANCE instance;                  // where the dialog template comes from
  WCHAR* output = nullptr;             // the caller's path buffer of 1024 units, set by run; borrowed
  WCHAR faceName[kBrowserFaceNameUnits]{};  // the font face name, copied at construction
  int32_t fontHeight;                  // the lists' font height (zoom × 12 / 100)
  uint32_t charset;                    // the font's character set; the low 8 bits are used
  uint8_t result = 0;                  // 1 when the last run ended with a file chosen, else 0
  LOGFONT fontRecord{};                // the font description, built at each initialisation
  HFONT fontHandle = nullptr;          // owned: the font made from fontRecord, or none
  WCHAR currentDirectory[kBrowserPathUnits]{};  // the directory shown, ending with "\"; "\" is the root
  int32_t filterIndex = 0;             // the selected file type, 0-based
  const WCHAR* filters;                // the file types; borrowed (kBrowserFilterList)
  bool running = false;                // true while run shows the dialog

 private:
  static BOOL CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void enterSelectedDirectory(HWND dialog);
  BOOL onDirectoryListKey(HWND dialog, WORD virtualKey);
};

// The text of the size column for a file of `bytes`: "999 B", then decimal kilobytes with one
// decimal ("1.0 K" for 1000 bytes, "1048.6 K" for one mebibyte). Sizes are 64-bit throughout.
void formatFileSize(uint64_t bytes, WCHAR* text, int textUnits);
// The calendar date shown for a file: its creation time (or, where the file system keeps none,
// its modification time) in the user's local time. False when the time cannot be converted.
bool localFileDate(const FILETIME& created, const FILETIME& modified, SYSTEMTIME& date);
