// The system's open-file dialog.
#pragma once

#include "platform/system/windows.h"

inline constexpr DWORD kOpenFileNameSize = 76;  // the record's size on the handheld
inline constexpr DWORD OFN_READONLY = 0x00000001;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

struct OPENFILENAME {
  DWORD lStructSize;          // 76
  HWND hwndOwner;             // owner window
  HINSTANCE hInstance;        // unused here
  LPCWSTR lpstrFilter;        // pairs of zero-terminated texts (name, patterns), ended by a zero
  LPWSTR lpstrCustomFilter;   // unused (none)
  DWORD nMaxCustFilter;       // unused
  DWORD nFilterIndex;         // 1-based pair to start with; 0 = the first
  LPWSTR lpstrFile;           // in/out: the chosen full path, borrowed buffer
  DWORD nMaxFile;             // size of lpstrFile in units
  LPWSTR lpstrFileTitle;      // out: the name alone (optional)
  DWORD nMaxFileTitle;        // size of lpstrFileTitle
  LPCWSTR lpstrInitialDir;    // starting folder (optional)
  LPCWSTR lpstrTitle;         // title (optional)
  DWORD Flags;                // OFN_* flags
  WORD nFileOffset;           // out: offset of the name in lpstrFile
  WORD nFileExtension;        // out: offset of the extension in lpstrFile
  LPCWSTR lpstrDefExt;        // default extension (optional)
  LPARAM lCustData;           // unused
  void* lpfnHook;             // unused
  LPCWSTR lpTemplateName;     // unused
};
// Shows the desktop's file dialog. Writes the chosen path (a device path that fits nMaxFile
// units with its terminator) and returns non-zero; returns 0 on cancel or when the path does
// not fit.
BOOL GetOpenFileName(OPENFILENAME* request);
