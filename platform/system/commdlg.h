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

// ---------------------------------------------------------------------------------------------
// The find dialog: modeless. It reports to its owner through the registered message named
// FINDMSGSTRING, whose lParam is the FINDREPLACE record the program gave FindText.
// ---------------------------------------------------------------------------------------------
inline constexpr DWORD FR_DOWN = 0x00000001;        // search towards the end
inline constexpr DWORD FR_WHOLEWORD = 0x00000002;   // whole words only
inline constexpr DWORD FR_MATCHCASE = 0x00000004;   // case matters
inline constexpr DWORD FR_FINDNEXT = 0x00000008;    // reported: "Find Next" was chosen
inline constexpr DWORD FR_DIALOGTERM = 0x00000040;  // reported: the dialog is closing
inline constexpr WCHAR FINDMSGSTRING[] = u"commdlg_FindReplace";
inline constexpr DWORD kFindReplaceSize = 40;  // the record's size on the handheld

struct FINDREPLACE {
  DWORD lStructSize;          // 40
  HWND hwndOwner;             // the window that receives the find message
  HINSTANCE hInstance;        // unused
  DWORD Flags;                // in: FR_DOWN, FR_MATCHCASE, FR_WHOLEWORD; out: the same and what happened
  LPWSTR lpstrFindWhat;       // in/out: the text to find, the program's buffer
  LPWSTR lpstrReplaceWith;    // unused (no replacing in a viewer)
  WORD wFindWhatLen;          // size of lpstrFindWhat in units
  WORD wReplaceWithLen;       // unused
  LPARAM lCustData;           // the program's own value
  void* lpfnHook;             // unused
  LPCWSTR lpTemplateName;     // unused
};
// The dialog's controls, for the owner: the status line under the buttons says what the
// last search found (the program sets it; the dialog clears it when the text changes).
inline constexpr int kFindWhatId = 0x480;     // the find-what field
inline constexpr int kFindStatusId = 0x481;   // the status line
// Creates and shows the find dialog (modeless) and returns it; the record must live until the
// dialog reports FR_DIALOGTERM. The program's message loop passes messages through
// IsDialogMessage(dialog, ...) so that Enter and Escape reach it.
HWND FindText(FINDREPLACE* request);
// The number of a message known by its name (FINDMSGSTRING), the same for every window of the
// program: 0xC000 and up, the same number for the same name (compared without regard to case);
// 0 for no name.
UINT RegisterWindowMessage(LPCWSTR name);
