// Reading the chosen file into memory and preparing the text view for it.
#pragma once

#include "app/viewer_state.h"

inline constexpr uint32_t kSizeAdviceLimit = 65536;  // larger plain files get the size advice

// Whether the path ends in ".psw" or ".doc" exactly (case-sensitive).
bool isRichDocumentPath(LPCWSTR path);
// The mode a document of this path is shown in.
RichDocumentMode documentModeOf(LPCWSTR path);

// Reads the file named by `path` into the byte buffer (followed by a zero byte), empties the
// decoded text and clears the text view; a rich document is streamed into the text view here.
// A file that cannot be opened or read, or of 2^31 - 1 bytes or more, shows as an empty
// document; the viewer never creates or changes the user's files.
void loadDocument(ViewerState& state, HWND mainWindow);

// The text view's stream-in callback: hands out the file's bytes and the zero byte after them.
DWORD streamInCallback(DWORD_PTR cookie, BYTE* buffer, LONG requested, LONG* delivered);
