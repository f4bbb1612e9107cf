// The desktop's own default applications, beyond the handheld's registry: the XDG
// "mimeapps.list" in the user's configuration folder, which file managers read to choose the
// program that opens a file, and the desktop entry "quillscope.desktop" in the user's
// applications folder that such a default names.
//
// Only in desktop mode: in sandbox mode nothing outside the device is touched and every call
// answers FALSE. Every file is written whole to a temporary file and renamed over the old one,
// so a crash leaves the old file or the new, never a mix; every line this program does not
// change is kept as it was.
#pragma once

#include "platform/system/windows.h"

// Makes the viewer the default application for the MIME type. The default it had is kept
// first, in "desktop-defaults.list" in the program's data folder (not when the default already
// is the viewer), and the desktop entry is written. Returns TRUE when the viewer is the default.
BOOL SHSetDesktopDefault(LPCWSTR mimeType);

// Gives the MIME type back to the default it had before SHSetDesktopDefault, or to none when it
// had none, but only while the default still is the viewer: a default that another program
// took since stays. The desktop entry goes once no MIME type names the viewer any more (when
// this program wrote it). Returns TRUE when the file was changed.
BOOL SHRestoreDesktopDefault(LPCWSTR mimeType);

// The desktop entry's id, as mimeapps.list names it.
inline constexpr char kDesktopEntryId[] = "quillscope.desktop";
