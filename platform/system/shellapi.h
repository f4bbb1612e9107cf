// The shell's drop-files service: a window that accepts dropped files receives WM_DROPFILES
// (posted) with a drop handle, reads the files' paths with DragQueryFile and gives the handle
// back with DragFinish.
#pragma once

#include "platform/system/windows.h"

struct HDROP__;
using HDROP = HDROP__*;

inline constexpr UINT WM_DROPFILES = 0x0233;  // wParam: the HDROP

// Lets `window` (a top-level window) receive files dropped on the viewer, or stops it.
void DragAcceptFiles(HWND window, BOOL accept);
// With index 0xFFFFFFFF: the number of files dropped. Otherwise the device path of file `index`
// copied into `buffer` (at most count - 1 units and a zero; nothing when buffer is nullptr);
// returns its length in units without the zero, or 0 for an index past the last file.
UINT DragQueryFile(HDROP drop, UINT index, LPWSTR buffer, UINT count);
// Gives the drop handle back; the handle is invalid afterwards.
void DragFinish(HDROP drop);
